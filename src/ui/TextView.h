#pragma once

#include <QTextEdit>
#include <functional>

#include "ui/QtTextWindow.h"

namespace miv {

// A text window on screen: monospace, no undo history (the program colours every sent
// character), and copies that leave as plain Unicode text.
class TextView : public QTextEdit {
    Q_OBJECT
public:
    explicit TextView(QWidget* parent = nullptr);

    QtTextWindow& window() { return window_; }

protected:
    QMimeData* createMimeDataFromSelection() const override;

private:
    QtTextWindow window_;
};

// Key codes of the key-down event, as the send window's rules know them.
namespace keys {
inline constexpr int kBackspace = 8;
inline constexpr int kTab = 9;
inline constexpr int kEnter = 13;
inline constexpr int kEscape = 27;
inline constexpr int kLeft = 37;
inline constexpr int kRight = 39;
inline constexpr int kDelete = 46;
inline constexpr int kV = 86;
inline constexpr int kOther = 255;  // a key with no code of its own
inline constexpr int kShift = 1;    // shift-state bits
inline constexpr int kCtrl = 2;
inline constexpr int kAlt = 4;
}  // namespace keys

int keyDownCode(int qtKey, Qt::KeyboardModifiers modifiers);
int shiftState(Qt::KeyboardModifiers modifiers);

// The send window. Every key first raises key-down (key code and shift state), then,
// for a key that types, key-press (the 8-bit character code); a handler discards the
// key by setting the code to 0, and may replace the character. Only characters with an
// 8-bit code are typed or pasted; Backspace and Delete remove one character at a time
// and nothing edits the window behind the handlers' backs (no drag and drop, no undo,
// no word deletion).
class SendTextEdit final : public TextView {
    Q_OBJECT
public:
    using KeyDownHandler = std::function<void(int& keyCode, int shift)>;
    using KeyPressHandler = std::function<void(int& charCode)>;

    explicit SendTextEdit(QWidget* parent = nullptr);

    void setKeyDownHandler(KeyDownHandler handler) { keyDown_ = std::move(handler); }
    void setKeyPressHandler(KeyPressHandler handler) { keyPress_ = std::move(handler); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool passKeyDown(int code, int shift);
    // Runs key-press for one character; 0 when discarded.
    int passKeyPress(int code);
    void typeCharacter(int code);
    void removeOne(bool backwards);

    KeyDownHandler keyDown_;
    KeyPressHandler keyPress_;
};

}  // namespace miv
