#pragma once

#include <QImage>
#include <QWidget>

#include "station/Waterfall.h"

namespace miv {

// The waterfall's picture: one column per bin (0 to 3000 Hz) stretched across the
// widget's width, one row per pixel of its height, newest line at the top. The station's
// Waterfall draws into it through WaterfallCanvas.
class WaterfallView : public QWidget, public WaterfallCanvas {
    Q_OBJECT

public:
    explicit WaterfallView(QWidget* parent = nullptr);

    void drawLine(const WaterfallLine& line) override;
    void scrollDown() override;
    // Blank (white), as when the operator switches the waterfall off.
    void clear();

    // kWaterfallBins wide, as tall as the widget.
    const QImage& picture() const { return picture_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitHeight();

    QImage picture_;
};

}  // namespace miv
