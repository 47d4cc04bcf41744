#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "config/Settings.h"
#include "modem/ModemMode.h"
#include "platform/TextWindow.h"

namespace miv {

// The ready-made messages of the ten macro buttons.
enum class Macro { CQ, Call, Call3, Me, RRR, RO, Station, Email, Bye, Custom };

inline constexpr std::array<Macro, 10> kMacros{Macro::CQ, Macro::Call,    Macro::Call3, Macro::Me,  Macro::RRR,
                                               Macro::RO, Macro::Station, Macro::Email, Macro::Bye, Macro::Custom};

const char* macroCaption(Macro macro);  // on the button: "CQ", "CALL", ... "@", "Custom"
const char* macroName(Macro macro);     // in English: "CQ", "Call", ... "Email", "Custom"

// The insertions one click makes, in order, as 8-bit text for the send window:
// characters without an 8-bit code are left out. `destination` is the other station's
// callsign; the details are the operator's (UTF-8), as typed.
std::vector<std::string> macroTexts(Macro macro, const ModemMode& mode, std::string_view destination,
                                    const OperatorDetails& details);

// The channel decides first (EME), then the symbol rate.
bool macroVisible(Macro macro, const ModemMode& mode);
// CQ replaces the send window's text, which the transmitter is reading while it sends.
bool macroEnabled(Macro macro, bool transmitting);

// Puts a macro into the send window: CQ replaces the whole text, every other macro
// appends at the end whatever the selection; the new text is black (not yet sent).
// True when the click asks for the long initial tone (CQ).
bool insertMacro(Macro macro, const ModemMode& mode, std::string_view destination, const OperatorDetails& details,
                 TextWindow& sendWindow);

// Upper case of an 8-bit text, letters with accents included.
std::string upperCase1252(std::string_view text);

}  // namespace miv
