#include "ui/WaterfallView.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

namespace miv {

WaterfallView::WaterfallView(QWidget* parent) : QWidget(parent), picture_(kWaterfallBins, 1, QImage::Format_RGB32)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    picture_.fill(Qt::white);
}

QSize WaterfallView::sizeHint() const
{
    return {kWaterfallBins, 150};
}

void WaterfallView::drawLine(const WaterfallLine& line)
{
    fitHeight();
    auto* row = reinterpret_cast<QRgb*>(picture_.scanLine(0));
    for (int x = 0; x < kWaterfallBins; ++x)
        row[x] = 0xFF000000u | line[static_cast<std::size_t>(x)];
    update();
}

void WaterfallView::scrollDown()
{
    fitHeight();
    // Every row takes the one above; the top row stays until the next line covers it.
    for (int y = picture_.height() - 1; y > 0; --y)
        std::memcpy(picture_.scanLine(y), picture_.constScanLine(y - 1),
                    static_cast<std::size_t>(picture_.bytesPerLine()));
    update();
}

void WaterfallView::clear()
{
    picture_.fill(Qt::white);
    update();
}

void WaterfallView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(rect(), picture_);
}

void WaterfallView::resizeEvent(QResizeEvent*)
{
    fitHeight();
}

// A hidden widget gets its resize event only when shown, so the lines that arrive
// before that look at the height directly.
void WaterfallView::fitHeight()
{
    const int rows = std::max(1, height());
    if (rows == picture_.height())
        return;
    QImage resized(kWaterfallBins, rows, QImage::Format_RGB32);
    resized.fill(Qt::white);
    const int kept = std::min(rows, picture_.height());
    for (int y = 0; y < kept; ++y)
        std::memcpy(resized.scanLine(y), picture_.constScanLine(y), static_cast<std::size_t>(picture_.bytesPerLine()));
    picture_ = std::move(resized);
}

}  // namespace miv
