#include "tx/SymbolGenerator.h"

#include <algorithm>

#include "modem/Frame.h"
#include "modem/Varicode.h"

namespace miv {

namespace {

constexpr int kBackspace = 8;
constexpr int kCarriageReturn = 13;

// "<HH:MM UTC> ", the time with two digits each.
std::string timeStamp(const UtcTime& time)
{
    std::string stamp = "<00:00 UTC> ";
    stamp[1] = static_cast<char>('0' + time.hour / 10 % 10);
    stamp[2] = static_cast<char>('0' + time.hour % 10);
    stamp[4] = static_cast<char>('0' + time.minute / 10 % 10);
    stamp[5] = static_cast<char>('0' + time.minute % 10);
    return stamp;
}

}  // namespace

SymbolGenerator::SymbolGenerator(const ModeSwitches& switches, TextWindow& sendWindow, TextWindow& receiveWindow,
                                 const Clock& clock, TransmitVariables& vars)
    : switches_(switches),
      sendWindow_(sendWindow),
      receiveWindow_(receiveWindow),
      clock_(clock),
      vars_(vars)
{
}

void SymbolGenerator::reset()
{
    endFlag_ = false;
    coded_.fill(0);
    codedCount_ = 0;
    encoder_.reset();
    idleCharacters_ = 0;

    receiveWindow_.moveToEnd();
    receiveWindow_.setSelText("\r\n");
    receiveWindow_.setInsertColour(Colour::Red);
    receiveWindow_.setSelText("TX ");
    receiveWindow_.setInsertColour(Colour::Black);
    receiveWindow_.setSelText(timeStamp(clock_.utcNow()));
    receiveWindow_.setInsertColour(Colour::Red);
    snapshot_ = receiveWindow_.text();
    oneShot_ = true;
}

std::uint8_t SymbolGenerator::NextSymbol(long symbolCount)
{
    if (codedCount_ < 3) {
        if (endFlag_) {
            vars_.EndSignal = true;
            return 0;
        }
        const std::string text = sendWindow_.text();
        const int length = static_cast<int>(text.size());
        if (vars_.BackspaceRequest) {
            vars_.BackspaceRequest = false;
            if (vars_.SentCount == 0) {
                encodeCharacter(0);
            } else {
                --vars_.SentCount;
                rebuildEcho(text);
                encodeCharacter(kBackspace);
            }
        } else {
            // The window may have shrunk under the generator (a macro, a paste, a
            // clear): what it pointed past is gone, so it has sent everything there is.
            vars_.SentCount = std::min(vars_.SentCount, length);
            const bool stopRequested = vars_.txState == TxState::StopRequested;
            if (vars_.SentCount == length) {
                if (length == 1 && oneShot_ && stopRequested) {
                    oneShot_ = false;
                    ++idleCharacters_;
                    encodeCharacter(0);
                } else if (stopRequested) {
                    queueEndMarker(symbolCount);
                } else {
                    ++idleCharacters_;
                    encodeCharacter(0);
                }
            } else {
                ++vars_.SentCount;
                const int c = static_cast<unsigned char>(text[static_cast<std::size_t>(vars_.SentCount - 1)]);
                markSent(c);
                encodeCharacter(c);
            }
        }
    }

    const int v = symbolValue(coded_[0], coded_[1], coded_[2], coded_[3]);
    std::copy(coded_.begin() + 4, coded_.begin() + codedCount_, coded_.begin());
    codedCount_ -= 4;
    return GrayTone[static_cast<std::size_t>(v)];
}

void SymbolGenerator::encodeCharacter(int c)
{
    const ModemMode& mode = switches_.mode();
    if (mode.sixBitAlphabet()) {
        const int v = MapCharacter(c, true);
        for (int bit = 5; bit >= 0; --bit)
            encodeBit((v >> bit) & 1);
    } else {
        for (const char bit : VaricodeTable[static_cast<std::size_t>(c & 0xFF)])
            encodeBit(bit == '1' ? 1 : 0);
    }
}

void SymbolGenerator::encodeBit(int bit)
{
    const auto pair = encoder_.encode(bit);
    coded_[static_cast<std::size_t>(codedCount_++)] = pair.first;
    coded_[static_cast<std::size_t>(codedCount_++)] = pair.second;
}

void SymbolGenerator::queueEndMarker(long symbolCount)
{
    endFlag_ = true;
    oneShot_ = true;
    // The zero run clears the encoder and lines the marker up so that its first coded
    // bit is the third of a symbol whose interleaver index is one more than a multiple
    // of 4: the marker then makes the same 28 tones whatever preceded it.
    const long a = (4 - symbolCount % 4) % 4;
    const long e = codedCount_ == 0 ? 2 : 1;
    const long zeros = 2 * a + e + 8;
    // The rate bit is 1 only where the varicode is sent. In the 6-bit alphabet a 1 here,
    // with the zeros after it, reaches the far screen as "@" before the end is
    // recognised; EME with its hidden rate switch at 16 baud would end every message so.
    const ModemMode& mode = switches_.mode();
    encodeBit(mode.baud16 && !mode.eme ? 1 : 0);
    for (long i = 0; i < zeros; ++i)
        encodeBit(0);
    for (const std::uint8_t bit : EndMarkerA)
        encodeBit(bit);
    for (const std::uint8_t bit : EndMarkerB)
        encodeBit(bit);
}

void SymbolGenerator::markSent(int c)
{
    const int caret = sendWindow_.selStart();
    sendWindow_.setSelStart(vars_.SentCount - 1);
    sendWindow_.setSelLength(1);
    sendWindow_.setInsertColour(Colour::Red);
    sendWindow_.setSelStart(caret);
    sendWindow_.setInsertColour(Colour::Black);

    const char one[2] = {static_cast<char>(c), '\0'};
    receiveWindow_.moveToEnd();
    receiveWindow_.setSelText(echoOf(std::string_view(one, 1)));
}

// The echo is what has been sent, less the withdrawn character: the sent part of the
// send window, echoed as each character was.
void SymbolGenerator::rebuildEcho(const std::string& text)
{
    const auto sent = std::string_view(text).substr(0, static_cast<std::size_t>(vars_.SentCount));
    receiveWindow_.setText(snapshot_);
    receiveWindow_.moveToEnd();
    receiveWindow_.setInsertColour(Colour::Red);
    receiveWindow_.setSelText(echoOf(sent));
}

std::string SymbolGenerator::echoOf(std::string_view sent) const
{
    const bool reduced = switches_.mode().sixBitAlphabet();
    std::string echo;
    echo.reserve(sent.size());
    for (const char ch : sent) {
        const int c = static_cast<unsigned char>(ch);
        echo += c == kCarriageReturn ? '\r' : static_cast<char>(UpperCaseIfReduced(c, reduced));
    }
    return echo;
}

}  // namespace miv
