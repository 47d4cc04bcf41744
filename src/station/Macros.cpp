#include "station/Macros.h"

#include "modem/Charset.h"

namespace miv {

namespace {

std::string sendable(std::string_view utf8)
{
    return utf8ToCp1252(utf8).text;
}

std::string join(std::initializer_list<std::string_view> pieces)
{
    std::string text;
    for (std::string_view piece : pieces)
        text += piece;
    return text;
}

std::vector<std::string> fastTexts(Macro macro, const std::string& h, const std::string& m, const OperatorDetails& d)
{
    switch (macro) {
    case Macro::CQ:
        return {join({"CQ CQ CQ de ", m, " ", m, " ", m, " pse k "})};
    case Macro::Call:
        return {join({h, " de ", m, " "})};
    case Macro::Email: {
        const std::string e = sendable(d.email);
        return {join({"My email is: <", e, "> <", e, "> <", e, "> "})};
    }
    case Macro::Bye:
        return {join({"tnx fer QSO, 73. ", h, " de ", m, " sk "})};
    default:
        return {};
    }
}

std::vector<std::string> slowTexts(Macro macro, const std::string& h, const std::string& m, const OperatorDetails& d)
{
    const std::string locator = upperCase1252(sendable(d.locator));
    switch (macro) {
    case Macro::CQ:
        return {join({"CQ ", m, " ", locator, " "})};
    case Macro::Call:
        return {join({h, " ", m, " ", locator, " OOO "})};
    case Macro::Email:
        return {join({"<", upperCase1252(sendable(d.email)), "> "})};
    case Macro::Bye:
        return {"73 "};
    default:
        return {};
    }
}

}  // namespace

const char* macroCaption(Macro macro)
{
    static constexpr std::array<const char*, kMacros.size()> kCaptions{"CQ", "CALL",    "CALL3", "Me",  "RRR",
                                                                       "RO", "Station", "@",     "BYE", "Custom"};
    return kCaptions[static_cast<std::size_t>(macro)];
}

const char* macroName(Macro macro)
{
    static constexpr std::array<const char*, kMacros.size()> kNames{"CQ", "Call",    "Call3", "Me",  "RRR",
                                                                    "RO", "Station", "Email", "Bye", "Custom"};
    return kNames[static_cast<std::size_t>(macro)];
}

std::vector<std::string> macroTexts(Macro macro, const ModemMode& mode, std::string_view destination,
                                    const OperatorDetails& details)
{
    const std::string h = sendable(destination);
    const std::string m = sendable(details.callsign);
    switch (macro) {
    case Macro::Call3:
        return {join({h, " ", h, " ", h, " de ", m, " ", m, " ", m, " kn "})};
    case Macro::Me:
        return {join({"My name is: ", sendable(details.name)}),
                join({", my QTH is: ", sendable(details.qth), ", Locator: ", sendable(details.locator), " "})};
    case Macro::RRR:
        return {"RRR "};
    case Macro::RO:
        return {join({h, " ", m, " RO "})};
    case Macro::Station:
        return {join({"My Station: ", sendable(details.station), " "})};
    case Macro::Custom:
        return {join({sendable(details.custom), " "})};
    default:
        // The symbol-rate choice decides even in EME, where it is hidden.
        return mode.baud16 ? fastTexts(macro, h, m, details) : slowTexts(macro, h, m, details);
    }
}

bool macroVisible(Macro macro, const ModemMode& mode)
{
    const bool conversational = !mode.eme && mode.baud16;
    switch (macro) {
    case Macro::Call3:
    case Macro::Me:
    case Macro::Station:
        return conversational;
    case Macro::RO:
    case Macro::RRR:
        return !conversational;
    default:
        return true;
    }
}

bool macroEnabled(Macro macro, bool transmitting)
{
    return macro != Macro::CQ || !transmitting;
}

bool insertMacro(Macro macro, const ModemMode& mode, std::string_view destination, const OperatorDetails& details,
                 TextWindow& sendWindow)
{
    const bool cq = macro == Macro::CQ;
    if (cq)
        sendWindow.setText("");
    for (const std::string& text : macroTexts(macro, mode, destination, details)) {
        sendWindow.moveToEnd();
        sendWindow.setInsertColour(Colour::Black);
        sendWindow.setSelText(text);
    }
    return cq;
}

std::string upperCase1252(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        const auto code = static_cast<unsigned char>(c);
        if ((code >= 'a' && code <= 'z') || (code >= 0xE0 && code <= 0xFE && code != 0xF7))
            c = static_cast<char>(code - 0x20);
        else if (code == 0x9A || code == 0x9C || code == 0x9E)  // š œ ž
            c = static_cast<char>(code - 0x10);
        else if (code == 0xFF)  // ÿ
            c = static_cast<char>(0x9F);
    }
    return out;
}

}  // namespace miv
