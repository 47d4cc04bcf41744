#include "platform/TextWindow.h"

#include <algorithm>

namespace miv {

void MemoryTextWindow::setText(const std::string& text)
{
    text_ = text;
    colours_.assign(text.size(), Colour::Black);
    selStart_ = 0;
    selLength_ = 0;
}

void MemoryTextWindow::setSelStart(int position)
{
    selStart_ = std::clamp(position, 0, static_cast<int>(text_.size()));
    selLength_ = 0;
}

void MemoryTextWindow::setSelLength(int length)
{
    selLength_ = std::clamp(length, 0, static_cast<int>(text_.size()) - selStart_);
}

void MemoryTextWindow::setInsertColour(Colour colour)
{
    insertColour_ = colour;
    std::fill_n(colours_.begin() + selStart_, selLength_, colour);
}

void MemoryTextWindow::setSelText(const std::string& text)
{
    const auto start = static_cast<std::size_t>(selStart_);
    const auto count = static_cast<std::size_t>(selLength_);
    text_.replace(start, count, text);
    colours_.erase(colours_.begin() + selStart_, colours_.begin() + selStart_ + selLength_);
    colours_.insert(colours_.begin() + selStart_, text.size(), insertColour_);
    selStart_ += static_cast<int>(text.size());
    selLength_ = 0;
}

std::string MemoryTextWindow::textIn(Colour colour) const
{
    std::string out;
    for (std::size_t i = 0; i < text_.size(); ++i)
        if (colours_[i] == colour)
            out += text_[i];
    return out;
}

}  // namespace miv
