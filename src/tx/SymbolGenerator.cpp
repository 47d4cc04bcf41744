#include "tx/SymbolGenerator.h"

#include <algorithm>

#include "modem/Frame.h"
#include "modem/Varicode.h"

namespace miv {

namespace {

constexpr int kIdle = 0;  // NUL, sent while the send window has nothing new
constexpr int kBackspace = 8;
constexpr int kCarriageReturn = 13;
// Four coded bits make one symbol; they arrive in pairs, so fewer than four waiting
// means none.
constexpr int kCodedBitsPerSymbol = 4;
constexpr int kSixBits = 6;

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
                                 const Clock& clock)
    : switches_(switches),
      sendWindow_(sendWindow),
      receiveWindow_(receiveWindow),
      clock_(clock)
{
}

void SymbolGenerator::reset()
{
    coded_.fill(0);
    codedCount_ = 0;
    encoder_.reset();
    sentCount_ = 0;
    endRequested_ = false;
    backspaceRequested_ = false;
    markerQueued_ = false;
    endSignal_ = false;
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
    if (codedCount_ < kCodedBitsPerSymbol) {
        if (markerQueued_) {
            endSignal_ = true;
            return 0;
        }
        takeCharacter(symbolCount);
    }
    const int v = symbolValue(coded_[0], coded_[1], coded_[2], coded_[3]);
    std::copy(coded_.begin() + kCodedBitsPerSymbol, coded_.begin() + codedCount_, coded_.begin());
    codedCount_ -= kCodedBitsPerSymbol;
    return GrayTone[static_cast<std::size_t>(v)];
}

// Withdraws the last sent character, takes the next one, idles or queues the end
// marker, and encodes what it chose.
void SymbolGenerator::takeCharacter(long symbolCount)
{
    const std::string text = sendWindow_.text();
    const int length = static_cast<int>(text.size());
    if (backspaceRequested_) {
        backspaceRequested_ = false;
        if (sentCount_ == 0) {
            encodeCharacter(kIdle);
        } else {
            --sentCount_;
            rebuildEcho(text);
            encodeCharacter(kBackspace);
        }
        return;
    }
    // The window may have shrunk under the generator (a macro, a paste, a clear): what
    // it pointed past is gone, so it has sent everything there is.
    sentCount_ = std::min(sentCount_, length);
    if (sentCount_ < length) {
        ++sentCount_;
        const int c = static_cast<unsigned char>(text[static_cast<std::size_t>(sentCount_ - 1)]);
        markSent(c);
        encodeCharacter(c);
    } else if (endRequested_ && !(length == 1 && oneShot_)) {
        queueEndMarker(symbolCount);
    } else {
        if (endRequested_)
            oneShot_ = false;
        ++idleCharacters_;
        encodeCharacter(kIdle);
    }
}

void SymbolGenerator::encodeCharacter(int c)
{
    if (switches_.mode().sixBitAlphabet()) {
        const int v = MapCharacter(c, true);
        for (int bit = kSixBits - 1; bit >= 0; --bit)
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
    markerQueued_ = true;
    oneShot_ = true;
    // The zero run clears the encoder and lines the marker up so that its first coded
    // bit is the third of a symbol whose interleaver index is one more than a multiple
    // of 4: the marker then makes the same 28 tones whatever preceded it.
    const long a = (kCodedBitsPerSymbol - symbolCount % kCodedBitsPerSymbol) % kCodedBitsPerSymbol;
    const long e = codedCount_ == 0 ? 2 : 1;
    const long zeros = 2 * a + e + 8;
    // The rate bit is 1 only where the varicode is sent. In the 6-bit alphabet a 1 here,
    // with the zeros after it, reaches the far screen as "@" before the end is
    // recognised; EME with its hidden rate switch at 16 baud would end every message so.
    encodeBit(switches_.mode().sixBitAlphabet() ? 0 : 1);
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
    sendWindow_.setSelStart(sentCount_ - 1);
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
    const auto sent = std::string_view(text).substr(0, static_cast<std::size_t>(sentCount_));
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
