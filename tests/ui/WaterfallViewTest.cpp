#include "ui/WaterfallView.h"

#include <QImage>
#include <QtTest>

#include <cmath>
#include <numbers>

#include "station/Waterfall.h"

namespace miv {

namespace {

void feed(Waterfall& waterfall, int count, float amplitude, double hz)
{
    for (int t = 0; t < count; ++t)
        waterfall.DrawWaterfall(static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * t / 8000.0)));
}

QImage grabbed(WaterfallView& view, const char* name)
{
    QImage image = view.grab().toImage();
    if (const QByteArray dir = qgetenv("MIV_PICTURE_DIR"); !dir.isEmpty())
        image.save(QString("%1/waterfall-%2.png").arg(QString(dir), name));
    return image;
}

// Widget column showing bin b when 769 bins are stretched across the width.
int column(const QImage& image, int bin)
{
    return (2 * bin + 1) * image.width() / (2 * kWaterfallBins);
}

}  // namespace

class WaterfallViewTest : public QObject {
    Q_OBJECT

private slots:
    void silenceIsWhiteWithRedMarks()
    {
        ModeSwitches switches;
        WaterfallView view;
        view.resize(1538, 60);
        Waterfall waterfall(switches, view);
        feed(waterfall, 4 * kWaterfallLength, 0.0f, 0.0);
        const QImage image = grabbed(view, "silence");
        QCOMPARE(image.width(), 1538);
        // Four lines, each scrolled down twice before the next: seven rows drawn.
        QCOMPARE(image.pixel(column(image, 333), 7), qRgb(255, 255, 255));
        for (int y = 0; y < 7; ++y) {
            QCOMPARE(image.pixel(column(image, 333), y), qRgb(255, 0, 0));
            QCOMPARE(image.pixel(column(image, 436), y), qRgb(255, 0, 0));
            QCOMPARE(image.pixel(column(image, 384), y), qRgb(255, 255, 255));
            QCOMPARE(image.pixel(column(image, 10), y), qRgb(255, 255, 255));
        }
    }

    void strongToneIsADarkColumnAt1500Hz()
    {
        ModeSwitches switches;
        WaterfallView view;
        view.resize(900, 80);
        Waterfall waterfall(switches, view);
        feed(waterfall, 6 * kWaterfallLength, 10000.0f, 1500.0);
        const QImage image = grabbed(view, "tone");
        const int x = column(image, 384);
        for (int y = 0; y < 11; ++y) {
            QCOMPARE(image.pixel(x, y), qRgb(0, 0, 0));
            QCOMPARE(image.pixel(column(image, 200), y), qRgb(255, 255, 255));
        }
    }

    void newestLineOnTopOlderLinesMoveDown()
    {
        WaterfallView view;
        view.resize(769, 10);
        WaterfallLine black{};
        WaterfallLine grey;
        grey.fill(0x808080);
        view.drawLine(black);
        view.scrollDown();
        view.scrollDown();
        view.drawLine(grey);
        const QImage& picture = view.picture();
        QCOMPARE(picture.width(), kWaterfallBins);
        QCOMPARE(picture.height(), 10);
        QCOMPARE(picture.pixel(5, 0), qRgb(128, 128, 128));
        QCOMPARE(picture.pixel(5, 1), qRgb(0, 0, 0));
        QCOMPARE(picture.pixel(5, 2), qRgb(0, 0, 0));
        QCOMPARE(picture.pixel(5, 3), qRgb(255, 255, 255));
    }

    void resizingKeepsTheLinesAndOneColumnPerBin()
    {
        WaterfallView view;
        view.resize(769, 4);
        WaterfallLine line;
        line.fill(0xFFFFFF);
        line[700] = 0;
        view.drawLine(line);
        view.scrollDown();
        view.resize(400, 20);
        const QImage image = view.grab().toImage();
        QCOMPARE(view.picture().height(), 20);
        QCOMPARE(view.picture().width(), kWaterfallBins);
        QCOMPARE(view.picture().pixel(700, 1), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(column(image, 700), 1), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(column(image, 700), 5), qRgb(255, 255, 255));

        view.clear();
        QCOMPARE(view.picture().pixel(700, 1), qRgb(255, 255, 255));
    }
};

}  // namespace miv

QTEST_MAIN(miv::WaterfallViewTest)
#include "WaterfallViewTest.moc"
