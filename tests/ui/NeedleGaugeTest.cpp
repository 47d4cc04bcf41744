#include "ui/NeedleGauge.h"

#include <QImage>
#include <QtTest>

#include "station/NeedleGeometry.h"

namespace miv {

namespace {

bool dark(const QImage& image, QPointF at)
{
    return qGray(image.pixel(at.toPoint())) < 96;
}

QImage draw(int width, int height, float percent, qreal scale = 1.0)
{
    NeedleGauge gauge;
    gauge.resize(width, height);
    gauge.setValue(percent);
    QImage image((gauge.size() * scale), QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    gauge.render(&image);
    return image;
}

}  // namespace

// The needle goes where the station's geometry says, at any size.
class NeedleGaugeTest : public QObject {
    Q_OBJECT

private slots:
    void needleFollowsTheGeometry()
    {
        for (const float percent : {0.0f, 50.0f, 100.0f}) {
            for (const QSize size : {QSize(120, 70), QSize(300, 120)}) {
                const QImage image = draw(size.width(), size.height(), percent);
                const NeedleGeometry g = needleGeometry(size.width(), size.height(), percent);
                const QPointF pivot(g.pivotX, g.pivotY - 0.5);
                const QPointF tip(g.tipX, g.tipY - 0.5);
                QVERIFY(dark(image, (pivot + tip) / 2));
                // Where the needle of another value would be, the dial is empty.
                const NeedleGeometry other =
                    needleGeometry(size.width(), size.height(), percent == 50.0f ? 0.0f : 50.0f);
                QVERIFY(!dark(image, (pivot + QPointF(other.tipX, other.tipY - 0.5)) / 2));
            }
        }
    }

    // At twice the pixel density the 2-pixel needle is 4 device pixels wide, not a
    // blurred stretch of the small picture.
    void staysCrispWhenScaled()
    {
        const QImage image = draw(120, 70, 50.0f, 2.0);
        int darkColumns = 0;
        for (int x = 100; x < 140; ++x)
            darkColumns += qGray(image.pixel(x, 86)) < 96;
        QVERIFY2(darkColumns >= 3 && darkColumns <= 5, qPrintable(QString::number(darkColumns)));
        QCOMPARE(qGray(image.pixel(113, 86)), 255);
    }
};

}  // namespace miv

QTEST_MAIN(miv::NeedleGaugeTest)
#include "NeedleGaugeTest.moc"
