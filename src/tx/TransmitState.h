#pragma once

#include <cstdint>

namespace miv {

enum class TxState : std::uint8_t {
    Receiving = 0,
    Transmitting = 1,
    StopRequested = 2,  // the text is finished, then the end marker goes out
};

// The variables the transmitter's parts share between ticks and key events. The
// Transmitter owns them and resets them at the start of each transmission.
struct TransmitVariables {
    TxState txState = TxState::Receiving;
    bool CancelRequest = false;    // the abort dialog's YES: end at the next queued block
    bool LongInitialTone = false;  // set by the CQ macro, cleared by Clear Screen
    int SentCount = 0;             // characters of the send window taken for sending
    bool BackspaceRequest = false;
    bool BackspaceConfirmed = false;  // the key press removed the character from the window
    bool EndSignal = false;           // the end marker has gone out of the generator
};

}  // namespace miv
