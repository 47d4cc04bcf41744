#include "ui/TextView.h"

#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include "modem/Charset.h"

namespace miv {

TextView::TextView(QWidget* parent) : QTextEdit(parent), window_(*this)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(std::max(font.pointSize(), 11));
    setFont(font);
    setUndoRedoEnabled(false);
    setAcceptRichText(false);
    setAcceptDrops(false);
}

QMimeData* TextView::createMimeDataFromSelection() const
{
    auto* mime = new QMimeData;
    const QTextCursor cursor = textCursor();
    const std::string all = window_.text();
    const auto start = static_cast<std::size_t>(cursor.selectionStart());
    const auto length = static_cast<std::size_t>(cursor.selectionEnd() - cursor.selectionStart());
    mime->setText(toPlainUnicode(std::string_view(all).substr(start, length)));
    return mime;
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= keys::kShift;
    if (modifiers & Qt::ControlModifier)
        shift |= keys::kCtrl;
    if (modifiers & Qt::AltModifier)
        shift |= keys::kAlt;
    return shift;
}

int keyDownCode(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey;  // the same codes, capitals whatever the shift
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return (modifiers & Qt::KeypadModifier) ? 96 + (qtKey - Qt::Key_0) : qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return keys::kBackspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return keys::kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return keys::kEnter;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return keys::kEscape;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return keys::kLeft;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return keys::kRight;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return keys::kDelete;
    // Symbols by the key that carries them on a US keyboard, shifted or not.
    case Qt::Key_Exclam:
        return '1';
    case Qt::Key_At:
        return '2';
    case Qt::Key_NumberSign:
        return '3';
    case Qt::Key_Dollar:
        return '4';
    case Qt::Key_Percent:
        return '5';
    case Qt::Key_AsciiCircum:
        return '6';
    case Qt::Key_Ampersand:
        return '7';
    case Qt::Key_ParenRight:
        return '0';
    case Qt::Key_ParenLeft:
        return '9';
    case Qt::Key_Asterisk:
        return (modifiers & Qt::KeypadModifier) ? 106 : '8';
    case Qt::Key_Plus:
        return (modifiers & Qt::KeypadModifier) ? 107 : 187;
    case Qt::Key_Minus:
        return (modifiers & Qt::KeypadModifier) ? 109 : 189;
    case Qt::Key_Period:
        return (modifiers & Qt::KeypadModifier) ? 110 : 190;
    case Qt::Key_Slash:
        return (modifiers & Qt::KeypadModifier) ? 111 : 191;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return 186;
    case Qt::Key_Equal:
        return 187;
    case Qt::Key_Comma:
    case Qt::Key_Less:
        return 188;
    case Qt::Key_Underscore:
        return 189;
    case Qt::Key_Greater:
        return 190;
    case Qt::Key_Question:
        return 191;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
        return 192;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return 219;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
        return 220;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return 221;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return 222;
    default:
        return keys::kOther;
    }
}

SendTextEdit::SendTextEdit(QWidget* parent) : TextView(parent)
{
    setTabChangesFocus(false);
    // Composed characters arrive as key events, so they meet the key rules too.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

bool SendTextEdit::passKeyDown(int code, int shift)
{
    if (keyDown_)
        keyDown_(code, shift);
    return code != 0;
}

int SendTextEdit::passKeyPress(int code)
{
    if (keyPress_)
        keyPress_(code);
    return code;
}

void SendTextEdit::typeCharacter(int code)
{
    if (code == keys::kBackspace) {
        removeOne(true);
        return;
    }
    window().setSelText(std::string(1, static_cast<char>(code)));
    ensureCursorVisible();
}

void SendTextEdit::removeOne(bool backwards)
{
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection())
        cursor.removeSelectedText();
    else if (backwards)
        cursor.deletePreviousChar();
    else
        cursor.deleteChar();
    setTextCursor(cursor);
}

void SendTextEdit::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const int key = event->key();
    event->accept();
    if (!passKeyDown(keyDownCode(key, modifiers), shiftState(modifiers)))
        return;

    switch (key) {
    case Qt::Key_Backspace:
        if (const int code = passKeyPress(keys::kBackspace))
            typeCharacter(code);
        return;
    case Qt::Key_Delete:
        removeOne(false);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const int code = passKeyPress(keys::kEnter))
            typeCharacter(code);
        return;
    case Qt::Key_Tab:
        if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            break;
        if (const int code = passKeyPress(keys::kTab))
            typeCharacter(code);
        return;
    case Qt::Key_Escape:
        passKeyPress(keys::kEscape);  // heard, never typed
        return;
    default:
        break;
    }

    const bool command = modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const QString text = event->text();
    if (!command && !text.isEmpty() && text.at(0).isPrint()) {
        for (char32_t c : text.toStdU32String()) {
            const auto code = toCp1252(c);
            if (!code)
                continue;  // nothing without an 8-bit code can be sent
            if (const int typed = passKeyPress(*code))
                typeCharacter(typed);
        }
        return;
    }

    const bool allowed = event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut) ||
                         event->matches(QKeySequence::Paste) || event->matches(QKeySequence::SelectAll) ||
                         key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down ||
                         key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    if (allowed)
        TextView::keyPressEvent(event);
    else
        event->ignore();  // menu mnemonics and shortcuts of the window
}

bool SendTextEdit::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText();
}

void SendTextEdit::insertFromMimeData(const QMimeData* source)
{
    // However it arrives (keys, menu, middle button), a paste is a Ctrl+V to the rules.
    if (!source->hasText() || !passKeyDown(keys::kV, keys::kCtrl))
        return;
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    text.replace(u'\n', u'\r');
    std::string typed;
    for (char32_t c : text.toStdU32String()) {
        const auto code = toCp1252(c);
        if (!code || (*code < 0x20 && *code != '\r' && *code != '\t'))
            continue;
        if (const int kept = passKeyPress(*code); kept != 0)
            typed += static_cast<char>(kept);
    }
    window().setSelText(typed);
    ensureCursorVisible();
}

void SendTextEdit::mousePressEvent(QMouseEvent* event)
{
    // A press inside the selection would start dragging it out, which moves text
    // without the key rules; here it only places the caret.
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection()) {
        const int position = cursorForPosition(event->position().toPoint()).position();
        if (position >= cursor.selectionStart() && position <= cursor.selectionEnd()) {
            cursor.clearSelection();
            setTextCursor(cursor);
        }
    }
    TextView::mousePressEvent(event);
}

void SendTextEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* copy = menu.addAction(tr("&Copy"), this, &QTextEdit::copy);
    copy->setEnabled(textCursor().hasSelection());
    menu.addAction(tr("&Paste"), this, &QTextEdit::paste);
    menu.addSeparator();
    menu.addAction(tr("Select &All"), this, &QTextEdit::selectAll);
    menu.exec(event->globalPos());
}

}  // namespace miv
