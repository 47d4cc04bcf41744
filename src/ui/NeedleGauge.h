#pragma once

#include <QWidget>

namespace miv {

// One analogue needle meter: a half-circle dial and a black needle at a percentage of
// full scale (0 left, 50 up, 100 right). All eight gauges are this widget; the station's
// StatusGauges says where each needle goes.
class NeedleGauge : public QWidget {
    Q_OBJECT

public:
    explicit NeedleGauge(QWidget* parent = nullptr);

    // Not clamped: beyond 0..100 % the needle swings below the horizontal.
    void setValue(float percent);
    float value() const { return value_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    float value_ = 0.0f;
};

}  // namespace miv
