#include "ui/WaterfallView.h"

#include <QImage>
#include <QtTest>

namespace miv {

// The waterfall's picture: one column per bin stretched across the widget, the newest
// line on top, older ones moving down, kept across a resize.
class WaterfallViewTest : public QObject {
    Q_OBJECT

private slots:
    void linesMoveDownAndSurviveAResize()
    {
        WaterfallView view;
        view.resize(769, 4);
        WaterfallLine line;
        line.fill(0xFFFFFF);
        line[700] = 0xFF0000;
        view.drawLine(line);
        view.scrollDown();
        line[700] = 0;
        view.drawLine(line);
        view.resize(400, 20);
        const QImage image = view.grab().toImage();
        const int x = (2 * 700 + 1) * image.width() / (2 * kWaterfallBins);  // the widget column of bin 700
        QCOMPARE(view.picture().size(), QSize(kWaterfallBins, 20));
        QCOMPARE(image.pixel(x, 0), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(x, 1), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(x, 5), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(x - 2, 1), qRgb(255, 255, 255));
        view.clear();
        QCOMPARE(view.picture().pixel(700, 1), qRgb(255, 255, 255));
    }
};

}  // namespace miv

QTEST_MAIN(miv::WaterfallViewTest)
#include "WaterfallViewTest.moc"
