#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "modem/Convolutional.h"
#include "modem/ModemMode.h"
#include "platform/Clock.h"
#include "platform/TextWindow.h"

namespace miv {

// Turns the send window's text into data tone indices, one per symbol time, taking
// characters only as the coded bits run out, so text typed while sending goes out
// too. Marks sent characters red in the send window and echoes them after a "TX "
// header in the receive window. Once the end is requested and everything is sent it
// appends the end marker and raises the end signal.
class SymbolGenerator {
public:
    SymbolGenerator(const ModeSwitches& switches, TextWindow& sendWindow, TextWindow& receiveWindow,
                    const Clock& clock);

    // NextSymbol(True): a new transmission from the send window's first character,
    // with no request pending; writes the header.
    void reset();
    // NextSymbol(False): the tone of the next symbol; `symbolCount` is the refill
    // routines' symbol count n, which places the end marker. Returns 0 with the end
    // signal raised once the marker has gone out.
    std::uint8_t NextSymbol(long symbolCount);

    // The operator asked to stop: the text is finished, then the end marker follows.
    void requestEnd() { endRequested_ = true; }
    // Backspace pressed at the caret just after the sent text: the last sent character
    // is withdrawn, and its echo with it.
    void requestBackspace() { backspaceRequested_ = true; }
    bool backspaceRequested() const { return backspaceRequested_; }

    // Characters of the send window taken for sending (SentCount); they are never
    // removed from the window, this only points into it.
    int sentCount() const { return sentCount_; }
    // The end marker has gone out (EndSignal).
    bool endSignal() const { return endSignal_; }
    // Idle characters sent because the send window had nothing new.
    long idleCharacters() const { return idleCharacters_; }

private:
    // Room for the end marker's 146 coded bits on top of what may wait.
    static constexpr int kCodedBitCapacity = 401;

    void takeCharacter(long symbolCount);
    void encodeCharacter(int c);
    void encodeBit(int bit);
    void queueEndMarker(long symbolCount);
    void markSent(int c);
    void rebuildEcho(const std::string& text);
    std::string echoOf(std::string_view sent) const;

    const ModeSwitches& switches_;
    TextWindow& sendWindow_;
    TextWindow& receiveWindow_;
    const Clock& clock_;

    std::array<std::uint8_t, kCodedBitCapacity> coded_{};  // oldest first
    int codedCount_ = 0;
    ConvolutionalEncoder encoder_;
    int sentCount_ = 0;
    bool endRequested_ = false;
    bool backspaceRequested_ = false;
    bool markerQueued_ = false;
    bool endSignal_ = false;
    bool oneShot_ = false;  // a one-character text gets one idle before the marker
    std::string snapshot_;  // the receive window just after the header
    long idleCharacters_ = 0;
};

}  // namespace miv
