#include "ui/FrequencyScale.h"

#include <QPainter>

#include <algorithm>

namespace miv {

namespace {

constexpr int kShortTick = 3;
constexpr int kLongTick = 6;

}  // namespace

FrequencyScale::FrequencyScale(QWidget* parent) : QWidget(parent)
{
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    setFont(small);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize FrequencyScale::sizeHint() const
{
    return {300, fontMetrics().height() + kLongTick + 2};
}

void FrequencyScale::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics = fontMetrics();
    const int span = width() - 1;
    for (int hz = 0; hz <= kSpanHz; hz += kTickStepHz) {
        const int x = hz * span / kSpanHz;
        const bool labelled = hz % kLabelStepHz == 0;
        painter.drawLine(x, 0, x, labelled ? kLongTick : kShortTick);
        if (!labelled)
            continue;
        const QString label = QString::number(hz);
        const int labelWidth = metrics.horizontalAdvance(label);
        // The end labels stay inside the widget.
        const int left = std::clamp(x - labelWidth / 2, 0, span - labelWidth);
        painter.drawText(left, kLongTick + metrics.ascent(), label);
    }
}

}  // namespace miv
