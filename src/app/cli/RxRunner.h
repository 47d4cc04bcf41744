#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "modem/ModemMode.h"
#include "platform/Clock.h"
#include "platform/OperatorMessages.h"
#include "platform/TextWindow.h"
#include "platform/audio/BlockAudioSource.h"
#include "rx/Receiver.h"
#include "station/ReceptionReports.h"
#include "station/StatusGauges.h"

namespace miv::cli {

// Runs a receiver over a recording as the window would over a sound card: one block
// per tick, the gauge timers simulated by audio time (the report quotes them), and,
// after the input, silence until the last symbols are decided. A message still being
// received when the silence runs out is cancelled, as stopping reception does.
class RxRunner final : private ReceiverObserver {
public:
    RxRunner(ModeSwitches& switches, const Clock& clock, OperatorMessages& messages, BlockAudioSource& source);

    // Called once per finished message.
    std::function<void(const ReceptionReport&)> onReport;
    // Called with receive-window text that can no longer change (between messages).
    std::function<void(const std::string&)> onText;

    void run();

    const MemoryTextWindow& window() const { return window_; }
    const std::vector<ReceptionReport>& reports() const { return reports_; }
    Receiver& receiver() { return receiver_; }

private:
    void frameAcquired(int matches) override { gauges_.frameAcquired(matches); }
    void messageEnded(const ReceivedMessage& message) override;
    void advanceGauges();
    void flushText(bool all);
    int symbolBlocks() const;

    ModeSwitches& switches_;
    BlockAudioSource& source_;
    MemoryTextWindow window_;
    StatusGauges gauges_;
    Receiver receiver_;
    std::vector<ReceptionReport> reports_;
    std::chrono::microseconds audioTime_{0};
    std::chrono::microseconds nextVolume_;
    std::chrono::microseconds nextMetric_;
    std::size_t textShown_ = 0;
};

}  // namespace miv::cli
