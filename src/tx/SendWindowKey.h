#pragma once

namespace miv {

// The keys of the send window as the transmitter's rules know them. The window maps its
// toolkit's keys onto these; the character a key types follows in its own event.
enum class SendWindowKey {
    Character,  // a key that types: letters, digits, signs, space, Enter, Tab
    Backspace,
    Delete,
    Left,
    Right,
    Up,
    Down,
    Home,
    End,
    Escape,
    Paste,
    Other,  // page keys, function keys, a modifier alone
};

}  // namespace miv
