#pragma once

#include <QColor>
#include <QMetaObject>
#include <QString>
#include <string>
#include <string_view>

#include "platform/TextWindow.h"

class QTextEdit;

namespace miv {

// The text-window interface over a QTextEdit. The document holds one character for
// every 8-bit character of the text, so positions are the same on both sides: a CR is
// a paragraph break, an LF an invisible zero-width space (CR LF shows as one line
// break), other control characters their visible Unicode pictures, everything else
// its Windows-1252 character. Every insertion goes through here with the colour of
// the next insertion kept apart from the caret, as the interface requires.
class QtTextWindow final : public TextWindow {
public:
    explicit QtTextWindow(QTextEdit& edit);
    ~QtTextWindow() override;
    QtTextWindow(const QtTextWindow&) = delete;  // bound to one widget's signals
    QtTextWindow& operator=(const QtTextWindow&) = delete;

    std::string text() const override;
    void setText(const std::string& text) override;
    int selStart() const override;
    void setSelStart(int position) override;
    void setSelLength(int length) override;
    void setInsertColour(Colour color) override;
    void setSelText(const std::string& text) override;

    int selLength() const;
    Colour insertColour() const { return insertColour_; }
    // The colour of the character at `position`; line breaks carry none of their own.
    Colour colourAt(int position) const;
    // The characters of the given colour, in order (what a reader of that colour sees).
    std::string textIn(Colour color) const;

private:
    int documentLength() const;

    QTextEdit& edit_;
    Colour insertColour_ = Colour::Black;
    mutable std::string text_;  // the document's text, rebuilt after a change
    mutable bool textValid_ = false;
    QMetaObject::Connection changed_;
};

QString toDocumentText(std::string_view text);
std::string fromDocumentText(const QString& text);
// The 8-bit text as the clipboard and other programs want it: UTF-8, "\n" line ends.
QString toPlainUnicode(std::string_view text);
QColor toQColor(Colour color);
Colour fromQColor(const QColor& color);

}  // namespace miv
