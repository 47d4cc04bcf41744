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

QImage draw(NeedleGauge& gauge, qreal scale)
{
    QImage image((gauge.size() * scale), QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    gauge.render(&image);
    if (const QByteArray dir = qgetenv("MIV_PICTURE_DIR"); !dir.isEmpty())
        image.save(QString("%1/needle-%2-x%3.png").arg(QString(dir)).arg(gauge.value()).arg(scale));
    return image;
}

}  // namespace

class NeedleGaugeTest : public QObject {
    Q_OBJECT

private slots:
    void needlePointsLeftUpAndRight_data()
    {
        QTest::addColumn<float>("percent");
        QTest::addColumn<QPointF>("onNeedle");   // halfway along the needle
        QTest::addColumn<QPointF>("offNeedle");  // where another value would be
        // 120 x 70: pivot (60, 68), needle 49 long.
        QTest::newRow("0 %") << 0.0f << QPointF(35, 68) << QPointF(60, 43);
        QTest::newRow("50 %") << 50.0f << QPointF(60, 43) << QPointF(85, 67);
        QTest::newRow("100 %") << 100.0f << QPointF(85, 67) << QPointF(35, 67);
    }

    void needlePointsLeftUpAndRight()
    {
        QFETCH(float, percent);
        QFETCH(QPointF, onNeedle);
        QFETCH(QPointF, offNeedle);
        NeedleGauge gauge;
        gauge.resize(120, 70);
        gauge.setValue(percent);
        const QImage image = draw(gauge, 1.0);
        QVERIFY(dark(image, onNeedle));
        QVERIFY(!dark(image, offNeedle));
    }

    void staysCrispWhenScaled()
    {
        // At twice the pixel density the 2-pixel needle is 4 device pixels wide, not a
        // blurred stretch of the small picture.
        NeedleGauge gauge;
        gauge.resize(120, 70);
        gauge.setValue(50.0f);
        const QImage image = draw(gauge, 2.0);
        QCOMPARE(image.width(), 240);
        int darkColumns = 0;
        for (int x = 100; x < 140; ++x)
            darkColumns += qGray(image.pixel(x, 86)) < 96;
        QVERIFY2(darkColumns >= 3 && darkColumns <= 5, qPrintable(QString::number(darkColumns)));
        QCOMPARE(qGray(image.pixel(113, 86)), 255);
        QCOMPARE(qGray(image.pixel(127, 86)), 255);
    }

    void followsItsSize()
    {
        NeedleGauge gauge;
        gauge.resize(300, 120);
        gauge.setValue(100.0f);
        const QImage image = draw(gauge, 1.0);
        const NeedleGeometry g = needleGeometry(300, 120, 100.0f);
        QVERIFY(dark(image, QPointF((g.pivotX + g.tipX) / 2, g.pivotY - 0.5)));
        QVERIFY(dark(image, QPointF(g.tipX - 2, g.tipY - 0.5)));
    }

    void tooSmallToDrawStaysBlank()
    {
        NeedleGauge gauge;
        gauge.resize(8, 6);
        gauge.setValue(50.0f);
        const QImage image = draw(gauge, 1.0);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(qGray(image.pixel(x, y)), 255);
    }
};

}  // namespace miv

QTEST_MAIN(miv::NeedleGaugeTest)
#include "NeedleGaugeTest.moc"
