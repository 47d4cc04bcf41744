#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Colour.h"

namespace miv {

// The send and receive windows: a text of 8-bit characters (Windows-1252), each with
// its own colour, an insertion point with a selection, and the colour that the next
// insertion takes. Positions count from 0.
//
// The colour for the next insertion is a state of its own: moving the insertion point
// does not change it, only setInsertColour does.
class TextWindow {
public:
    virtual ~TextWindow() = default;

    virtual std::string text() const = 0;
    // Replaces the whole text, all of it in black; the insertion point goes to 0.
    virtual void setText(const std::string& text) = 0;

    virtual int selStart() const = 0;
    // Moves the insertion point (clamped to the text) and empties the selection.
    virtual void setSelStart(int position) = 0;
    // Selects `length` characters from the insertion point (clamped to the text).
    virtual void setSelLength(int length) = 0;
    // Colours the selection, if any, and everything inserted from now on.
    virtual void setInsertColour(Colour colour) = 0;
    // Replaces the selection by `text` in the current colour and puts the insertion
    // point just after it.
    virtual void setSelText(const std::string& text) = 0;

    int length() const { return static_cast<int>(text().size()); }
    void moveToEnd() { setSelStart(length()); }
    void append(const std::string& s)
    {
        moveToEnd();
        setSelText(s);
    }
};

// The text model of the core, the command line and the tests.
class MemoryTextWindow final : public TextWindow {
public:
    std::string text() const override { return text_; }
    void setText(const std::string& text) override;
    int selStart() const override { return selStart_; }
    void setSelStart(int position) override;
    void setSelLength(int length) override;
    void setInsertColour(Colour colour) override;
    void setSelText(const std::string& text) override;

    int selLength() const { return selLength_; }
    Colour insertColour() const { return insertColour_; }
    Colour colourAt(int position) const { return colours_.at(static_cast<std::size_t>(position)); }
    // The characters of the given colour, in order (what a reader of that colour sees).
    std::string textIn(Colour colour) const;

private:
    std::string text_;
    std::vector<Colour> colours_;
    int selStart_ = 0;
    int selLength_ = 0;
    Colour insertColour_ = Colour::Black;
};

}  // namespace miv
