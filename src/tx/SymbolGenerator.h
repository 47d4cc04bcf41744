#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "modem/Convolutional.h"
#include "modem/ModemMode.h"
#include "platform/Clock.h"
#include "platform/TextWindow.h"
#include "tx/TransmitState.h"

namespace miv {

// Turns the send window's text into data tone indices, one per symbol time, taking
// characters only as the coded bits run out, so text typed while sending goes out
// too. Marks sent characters red in the send window and echoes them after a "TX "
// header in the receive window. When the stop is requested and everything is sent it
// appends the end marker and raises EndSignal.
class SymbolGenerator {
public:
    SymbolGenerator(const ModeSwitches& switches, TextWindow& sendWindow, TextWindow& receiveWindow, const Clock& clock,
                    TransmitVariables& vars);

    // NextSymbol(True): a new transmission; writes the header.
    void reset();
    // NextSymbol(False): the tone of the next symbol; `symbolCount` is the refill
    // routines' symbol count n, which places the end marker. Returns 0 with EndSignal
    // raised once the marker has gone out.
    std::uint8_t NextSymbol(long symbolCount);

    // Idle characters sent because the send window had nothing new.
    long idleCharacters() const { return idleCharacters_; }

private:
    // Room for the end marker's 146 coded bits on top of what may wait.
    static constexpr int kCodedBitCapacity = 401;

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
    TransmitVariables& vars_;

    std::array<std::uint8_t, kCodedBitCapacity> coded_{};  // oldest first
    int codedCount_ = 0;
    ConvolutionalEncoder encoder_;
    bool endFlag_ = false;  // the end marker is queued
    bool oneShot_ = false;  // a one-character text gets one idle before the marker
    std::string snapshot_;  // the receive window just after the header
    long idleCharacters_ = 0;
};

}  // namespace miv
