#include "ui/LogQsoDialog.h"

#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeZone>
#include <QVBoxLayout>

#include "logbook/AdifReader.h"
#include "logbook/Bands.h"
#include "station/ProgramInfo.h"
#include "station/Station.h"

namespace miv {

namespace {

QDateTimeEdit* utcEdit(std::chrono::sys_seconds time, const char* name, QWidget* parent)
{
    auto* edit =
        new QDateTimeEdit(QDateTime::fromSecsSinceEpoch(time.time_since_epoch().count(), QTimeZone::utc()), parent);
    edit->setObjectName(name);
    edit->setTimeSpec(Qt::UTC);
    edit->setDisplayFormat("yyyy-MM-dd HH:mm:ss 'UTC'");
    return edit;
}

QLineEdit* lineEdit(const std::string& text, const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(QString::fromStdString(text), parent);
    edit->setObjectName(name);
    return edit;
}

std::chrono::sys_seconds utc(const QDateTimeEdit* edit)
{
    return std::chrono::sys_seconds{std::chrono::seconds{edit->dateTime().toSecsSinceEpoch()}};
}

QString megahertz(std::optional<double> hz)
{
    return hz ? QString::number(*hz / 1e6, 'f', 6) : QString();
}

}  // namespace

LogQsoDialog::LogQsoDialog(Station& station, OperatorMessages& messages, QWidget* parent)
    : QDialog(parent),
      station_(station),
      messages_(messages),
      draft_(station.draftQso())
{
    setObjectName("logQsoDialog");
    setWindowTitle("Log QSO");
    setAttribute(Qt::WA_DeleteOnClose);

    callsign_ = lineEdit(draft_.callsign, "qsoCallsign", this);
    start_ = utcEdit(draft_.start, "qsoStart", this);
    end_ = utcEdit(draft_.end, "qsoEnd", this);
    frequency_ = new QLineEdit(megahertz(draft_.frequencyHz), this);
    frequency_->setObjectName("qsoFrequency");
    band_ = lineEdit(draft_.frequencyHz ? std::string(bandOf(*draft_.frequencyHz).value_or("")) : std::string(),
                     "qsoBand", this);
    auto* mode = new QLabel(QString("%1 / %2").arg(kAdifMode.data()).arg(submodeName(draft_.mode).data()), this);
    mode->setObjectName("qsoMode");
    reportSent_ = lineEdit(draft_.reportSent, "qsoReportSent", this);
    reportReceived_ = lineEdit(draft_.reportReceived, "qsoReportReceived", this);
    name_ = lineEdit(draft_.name, "qsoName", this);
    qth_ = lineEdit(draft_.qth, "qsoQth", this);
    locator_ = lineEdit(draft_.locator, "qsoLocator", this);
    comment_ = lineEdit(draft_.comment, "qsoComment", this);
    auto* snr = new QLabel(draft_.snrDb ? QString("%1 dB").arg(*draft_.snrDb, 0, 'f', 0) : QString("-"), this);
    snr->setObjectName("qsoSnr");
    // The band follows a typed frequency; a frequency outside every band leaves it to the operator.
    connect(frequency_, &QLineEdit::textEdited, this, [this](const QString& text) {
        bool ok = false;
        const double mhz = text.toDouble(&ok);
        if (const auto band = ok ? bandOf(mhz * 1e6) : std::nullopt)
            band_->setText(QString::fromUtf8(band->data(), static_cast<qsizetype>(band->size())));
    });

    auto* form = new QFormLayout;
    form->addRow("Callsign", callsign_);
    form->addRow("Start", start_);
    form->addRow("End", end_);
    form->addRow("Frequency (MHz)", frequency_);
    form->addRow("Band", band_);
    form->addRow("Mode", mode);
    form->addRow("Report sent", reportSent_);
    form->addRow("Report received", reportReceived_);
    form->addRow("Name", name_);
    form->addRow("QTH", qth_);
    form->addRow("Locator", locator_);
    form->addRow("SNR (2500 Hz)", snr);
    form->addRow("Comment", comment_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

QString LogQsoDialog::read(Qso& qso) const
{
    qso = draft_;
    qso.callsign = callsign_->text().trimmed().toUpper().toStdString();
    if (qso.callsign.empty())
        return "The contact needs the other station's callsign.";
    qso.start = utc(start_);
    qso.end = utc(end_);
    if (qso.end < qso.start)
        return "The contact ends before it starts.";
    qso.frequencyHz.reset();
    if (const QString mhz = frequency_->text().trimmed(); !mhz.isEmpty()) {
        bool ok = false;
        const double value = mhz.toDouble(&ok);
        if (!ok || value <= 0)
            return "The frequency is in MHz, for example 14.0705.";
        qso.frequencyHz = value * 1e6;
    }
    qso.band = band_->text().trimmed().toStdString();
    qso.reportSent = reportSent_->text().trimmed().toStdString();
    qso.reportReceived = reportReceived_->text().trimmed().toStdString();
    qso.name = name_->text().trimmed().toStdString();
    qso.qth = qth_->text().trimmed().toStdString();
    qso.locator = locator_->text().trimmed().toUpper().toStdString();
    if (!qso.locator.empty() && !validLocator(qso.locator))
        return "The locator is a Maidenhead locator, for example IN80DO.";
    qso.comment = comment_->text().trimmed().toStdString();
    return {};
}

void LogQsoDialog::accept()
{
    Qso qso;
    if (const QString wrong = read(qso); !wrong.isEmpty()) {
        messages_.critical("Log QSO", wrong.toStdString());
        return;
    }
    if (const LogAppend logged = station_.logQso(qso); !logged) {
        messages_.critical("Log QSO", logged.error);
        return;
    }
    QDialog::accept();
}

}  // namespace miv
