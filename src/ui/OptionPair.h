#pragma once

#include <QGroupBox>
#include <QLabel>

namespace miv {

// A two-state choice drawn as a pair of images of which exactly one is visible: the
// first image (knob towards the first label) or the second. Clicking the visible image
// asks for the other state; the window answers by showing what the model holds.
class OptionImage final : public QLabel {
    Q_OBJECT
public:
    OptionImage(const QString& name, bool knobFirst, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class OptionPair final : public QWidget {
    Q_OBJECT
public:
    // `firstImage`/`secondImage` name the two images ("bandwidth2250", "bandwidth500", ...).
    OptionPair(const QString& firstImage, const QString& firstLabel, const QString& secondImage,
               const QString& secondLabel, QWidget* parent = nullptr);

    void showFirst(bool first);
    bool firstShown() const { return !first_->isHidden(); }
    QLabel& firstLabel() { return *firstLabel_; }
    QLabel& secondLabel() { return *secondLabel_; }

signals:
    // The visible image was clicked: which one.
    void firstClicked();
    void secondClicked();

private:
    OptionImage* first_;
    OptionImage* second_;
    QLabel* firstLabel_;
    QLabel* secondLabel_;
};

}  // namespace miv
