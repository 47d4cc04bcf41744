#include "ui/TextView.h"

#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include "modem/Charset.h"

namespace miv {

namespace {

// The characters that keys other than printing ones type.
constexpr int kBackspace = 8;
constexpr int kTab = 9;
constexpr int kCarriageReturn = 13;
constexpr int kEscape = 27;

}  // namespace

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

SendWindowKey sendWindowKey(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Backspace:
        return SendWindowKey::Backspace;
    case Qt::Key_Delete:
        return SendWindowKey::Delete;
    case Qt::Key_Left:
        return SendWindowKey::Left;
    case Qt::Key_Right:
        return SendWindowKey::Right;
    case Qt::Key_Up:
        return SendWindowKey::Up;
    case Qt::Key_Down:
        return SendWindowKey::Down;
    case Qt::Key_Home:
        return SendWindowKey::Home;
    case Qt::Key_End:
        return SendWindowKey::End;
    case Qt::Key_Escape:
        return SendWindowKey::Escape;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        return SendWindowKey::Character;
    default:
        break;
    }
    if (event.matches(QKeySequence::Paste))
        return SendWindowKey::Paste;
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint() ? SendWindowKey::Character : SendWindowKey::Other;
}

SendTextEdit::SendTextEdit(QWidget* parent) : TextView(parent)
{
    setTabChangesFocus(false);
    // Composed characters arrive as key events, so they meet the key rules too.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

bool SendTextEdit::passKeyDown(SendWindowKey key)
{
    return !keyDown_ || keyDown_(key);
}

int SendTextEdit::passKeyPress(int character)
{
    return keyPress_ ? keyPress_(character) : character;
}

void SendTextEdit::typeCharacter(int code)
{
    if (code == kBackspace) {
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
    if (!passKeyDown(sendWindowKey(*event)))
        return;

    switch (key) {
    case Qt::Key_Backspace:
        if (const int code = passKeyPress(kBackspace))
            typeCharacter(code);
        return;
    case Qt::Key_Delete:
        removeOne(false);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const int code = passKeyPress(kCarriageReturn))
            typeCharacter(code);
        return;
    case Qt::Key_Tab:
        if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            break;
        if (const int code = passKeyPress(kTab))
            typeCharacter(code);
        return;
    case Qt::Key_Escape:
        passKeyPress(kEscape);  // heard, never typed
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
    // However it arrives (keys, menu, middle button), a paste meets the key rules.
    if (!source->hasText() || !passKeyDown(SendWindowKey::Paste))
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
