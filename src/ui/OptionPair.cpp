#include "ui/OptionPair.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace miv {

namespace {

QPixmap switchPicture(bool knobFirst)
{
    const qreal ratio = 2.0;  // drawn at twice the size, crisp on dense screens
    QPixmap picture(QSize(36, 18) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath track;
    track.addRoundedRect(QRectF(1, 3, 34, 12), 6, 6);
    painter.fillPath(track, QColor(90, 110, 140));
    painter.setPen(QPen(QColor(40, 40, 40), 1));
    painter.setBrush(QColor(235, 235, 235));
    painter.drawEllipse(QRectF(knobFirst ? 1 : 19, 1, 16, 16));
    return picture;
}

}  // namespace

OptionImage::OptionImage(const QString& name, bool knobFirst, QWidget* parent) : QLabel(parent)
{
    setObjectName(name);
    setPixmap(switchPicture(knobFirst));
    setCursor(Qt::PointingHandCursor);
}

void OptionImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

OptionPair::OptionPair(const QString& firstImage, const QString& firstLabel, const QString& secondImage,
                       const QString& secondLabel, QWidget* parent)
    : QWidget(parent),
      first_(new OptionImage(firstImage, true, this)),
      second_(new OptionImage(secondImage, false, this)),
      firstLabel_(new QLabel(firstLabel, this)),
      secondLabel_(new QLabel(secondLabel, this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(firstLabel_);
    layout->addWidget(first_);
    layout->addWidget(second_);
    layout->addWidget(secondLabel_);
    layout->addStretch();
    second_->hide();
    connect(first_, &OptionImage::clicked, this, &OptionPair::firstClicked);
    connect(second_, &OptionImage::clicked, this, &OptionPair::secondClicked);
}

void OptionPair::showFirst(bool first)
{
    first_->setVisible(first);
    second_->setVisible(!first);
}

}  // namespace miv
