#pragma once

#include <QTextEdit>
#include <functional>

#include "tx/SendWindowKey.h"
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

// The send window's rules' name for a key event.
SendWindowKey sendWindowKey(const QKeyEvent& event);

// The send window. Every key first raises key-down, then, for a key that types,
// key-press with the 8-bit character; either handler may discard the key, and the
// key-press handler may replace the character. Only characters with an
// 8-bit code are typed or pasted; Backspace and Delete remove one character at a time
// and nothing edits the window behind the handlers' backs (no drag and drop, no undo,
// no word deletion).
class SendTextEdit final : public TextView {
    Q_OBJECT
public:
    using KeyDownHandler = std::function<bool(SendWindowKey key)>;  // false discards the key
    using KeyPressHandler = std::function<int(int character)>;      // what to type; 0 discards

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
    bool passKeyDown(SendWindowKey key);
    // Runs key-press for one character; 0 when discarded.
    int passKeyPress(int code);
    void typeCharacter(int code);
    void removeOne(bool backwards);

    KeyDownHandler keyDown_;
    KeyPressHandler keyPress_;
};

}  // namespace miv
