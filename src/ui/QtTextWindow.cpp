#include "ui/QtTextWindow.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

#include "modem/Charset.h"

namespace miv {

namespace {

constexpr char16_t kLineFeed = 0x200B;         // zero-width space
constexpr char16_t kControlPictures = 0x2400;  // U+2400 + code for codes 0..31
constexpr char16_t kDeletePicture = 0x2421;

QTextCharFormat colored(Colour color)
{
    QTextCharFormat format;
    format.setForeground(toQColor(color));
    return format;
}

}  // namespace

QString toDocumentText(std::string_view text)
{
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (char c : text) {
        const auto code = static_cast<std::uint8_t>(c);
        if (code == '\r')
            out += QChar::ParagraphSeparator;
        else if (code == '\n')
            out += QChar(kLineFeed);
        else if (code == '\t')
            out += QChar(u'\t');
        else if (code < 0x20)
            out += QChar(static_cast<char16_t>(kControlPictures + code));
        else if (code == 0x7F)
            out += QChar(kDeletePicture);
        else
            out += QChar(static_cast<char16_t>(fromCp1252(code)));
    }
    return out;
}

std::string fromDocumentText(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar qc : text) {
        const char16_t u = qc.unicode();
        if (u == QChar::ParagraphSeparator || u == QChar::LineSeparator)
            out += '\r';
        else if (u == kLineFeed)
            out += '\n';
        else if (u >= kControlPictures && u < kControlPictures + 0x20)
            out += static_cast<char>(u - kControlPictures);
        else if (u == kDeletePicture)
            out += '\x7f';
        else if (const auto code = toCp1252(u))
            out += static_cast<char>(*code);
        else
            out += '?';  // only characters put in through toDocumentText are expected
    }
    return out;
}

QString toPlainUnicode(std::string_view text)
{
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            lines += text[i];
        }
    }
    return QString::fromStdString(cp1252ToUtf8(lines));
}

QColor toQColor(Colour colour)
{
    return QColor::fromRgb(rgb(colour));
}

Colour fromQColor(const QColor& colour)
{
    return static_cast<Colour>(colour.rgb() & 0xFFFFFFu);
}

QtTextWindow::QtTextWindow(QTextEdit& edit) : edit_(edit)
{
    changed_ =
        QObject::connect(edit_.document(), &QTextDocument::contentsChanged, &edit_, [this] { textValid_ = false; });
}

QtTextWindow::~QtTextWindow()
{
    QObject::disconnect(changed_);
}

int QtTextWindow::documentLength() const
{
    // The document always ends in a paragraph separator of its own that is not text.
    return edit_.document()->characterCount() - 1;
}

std::string QtTextWindow::text() const
{
    if (!textValid_) {
        text_ = fromDocumentText(edit_.document()->toRawText().left(documentLength()));
        textValid_ = true;
    }
    return text_;
}

void QtTextWindow::setText(const std::string& text)
{
    QTextCursor cursor(edit_.document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(toDocumentText(text), colored(Colour::Black));
    cursor.setPosition(0);
    edit_.setTextCursor(cursor);
}

int QtTextWindow::selStart() const
{
    return edit_.textCursor().selectionStart();
}

int QtTextWindow::selLength() const
{
    const QTextCursor cursor = edit_.textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void QtTextWindow::setSelStart(int position)
{
    QTextCursor cursor = edit_.textCursor();
    cursor.setPosition(std::clamp(position, 0, documentLength()));
    edit_.setTextCursor(cursor);
}

void QtTextWindow::setSelLength(int length)
{
    QTextCursor cursor = edit_.textCursor();
    const int start = cursor.selectionStart();
    cursor.setPosition(start);
    cursor.setPosition(std::clamp(start + length, start, documentLength()), QTextCursor::KeepAnchor);
    edit_.setTextCursor(cursor);
}

void QtTextWindow::setInsertColour(Colour color)
{
    insertColour_ = color;
    QTextCursor cursor = edit_.textCursor();
    if (cursor.hasSelection())
        cursor.mergeCharFormat(colored(color));
}

void QtTextWindow::setSelText(const std::string& text)
{
    QTextCursor cursor = edit_.textCursor();
    cursor.insertText(toDocumentText(text), colored(insertColour_));
    edit_.setTextCursor(cursor);
}

std::string QtTextWindow::textIn(Colour color) const
{
    const std::string all = text();
    std::string out;
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i] != '\r' && colourAt(static_cast<int>(i)) == color)
            out += all[i];
    return out;
}

Colour QtTextWindow::colourAt(int position) const
{
    const QTextBlock block = edit_.document()->findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(position))
            return fromQColor(fragment.charFormat().foreground().color());
    }
    return Colour::Black;
}

}  // namespace miv
