#include "ui/NeedleGauge.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

#include "station/NeedleGeometry.h"

namespace miv {

namespace {

constexpr qreal kNeedleWidth = 2.0;
constexpr int kTicks = 10;  // divisions of the dial, every 10 %

QPointF tip(const NeedleGeometry& g)
{
    return {g.tipX, g.tipY};
}

}  // namespace

NeedleGauge::NeedleGauge(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void NeedleGauge::setValue(float percent)
{
    if (percent == value_)
        return;
    value_ = percent;
    update();
}

QSize NeedleGauge::sizeHint() const
{
    return {120, 70};
}

QSize NeedleGauge::minimumSizeHint() const
{
    return {40, 26};
}

void NeedleGauge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const NeedleGeometry needle = needleGeometry(width(), height(), value_);
    if (needle.radius < 1)
        return;
    painter.setRenderHint(QPainter::Antialiasing);

    // The dial from the same geometry as the needle, so the two always agree.
    const QPointF pivot(needle.pivotX, needle.pivotY);
    const qreal r = needle.radius;
    painter.setPen(QPen(QColor(150, 150, 150), 1.0));
    painter.drawArc(QRectF(pivot.x() - r, pivot.y() - r, 2 * r, 2 * r), 0, 180 * 16);
    for (int i = 0; i <= kTicks; ++i) {
        const NeedleGeometry mark = needleGeometry(width(), height(), 100.0f * i / kTicks);
        const QPointF direction = (tip(mark) - pivot) / mark.length;
        const qreal inner = i % 5 == 0 ? r * 0.82 : r * 0.9;
        painter.drawLine(pivot + direction * inner, pivot + direction * r);
    }

    painter.setPen(QPen(Qt::black, kNeedleWidth, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(pivot, tip(needle));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const qreal hub = std::max<qreal>(2.0, r - needle.length);
    QPainterPath hubPath;
    hubPath.moveTo(pivot);
    hubPath.arcTo(QRectF(pivot.x() - hub, pivot.y() - hub, 2 * hub, 2 * hub), 0, 180);
    hubPath.closeSubpath();
    painter.drawPath(hubPath);
}

}  // namespace miv
