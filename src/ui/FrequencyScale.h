#pragma once

#include <QWidget>

namespace miv {

// The waterfall's frequency scale: audio Hz from 0 at the left edge to 3000 Hz at the
// right, the waterfall's own span, a labelled tick every 500 Hz and a short one every
// 100 Hz.
class FrequencyScale final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSpanHz = 3000;
    static constexpr int kLabelStepHz = 500;
    static constexpr int kTickStepHz = 100;

    explicit FrequencyScale(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace miv
