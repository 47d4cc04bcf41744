#include "tx/Render.h"

#include "platform/AudioSink.h"
#include "platform/OperatorMessages.h"
#include "platform/TextWindow.h"

namespace miv {

namespace {

// Takes every block at once.
class CollectingSink final : public AudioSink {
public:
    explicit CollectingSink(std::vector<std::int16_t>& samples) : samples_(samples) {}
    bool open(int /*slots*/) override { return true; }
    void queue(int /*slot*/, const AudioBlock& block) override
    {
        samples_.insert(samples_.end(), block.begin(), block.end());
    }
    bool slotDone(int /*slot*/) const override { return true; }
    void close() override {}

private:
    std::vector<std::int16_t>& samples_;
};

}  // namespace

bool runTransmission(Transmitter& transmitter, long idleCharacters, const std::function<bool()>& abandon)
{
    transmitter.pressTransmitButton();
    if (!transmitter.transmitting())
        return false;
    while (transmitter.transmitting()) {
        if (transmitter.state() == TxState::Transmitting && transmitter.idleCharacters() >= idleCharacters)
            transmitter.pressTransmitButton();
        transmitter.tick();
        if (abandon && abandon()) {
            transmitter.shutdown();
            break;
        }
    }
    return true;
}

RenderedTransmission renderTransmission(const ModemMode& mode, const std::string& text, const RenderOptions& options)
{
    RenderedTransmission out;
    ModeSwitches switches;
    switches.selectBandwidth(mode.bw2250);
    switches.selectChannel(mode.eme);
    switches.selectSymbolRate(mode.baud16);
    FixedClock clock(options.utc);
    MemoryTextWindow sendWindow;
    MemoryTextWindow receiveWindow;
    sendWindow.setText(text);
    sendWindow.moveToEnd();
    CollectingSink sink(out.samples);
    StderrMessages messages;
    NoPttKeyer keyer;
    TransmitterHooks hooks;
    Transmitter transmitter(switches, sendWindow, receiveWindow, clock, sink, messages, keyer, hooks);
    transmitter.setLongInitialTone(options.longInitialTone);
    runTransmission(transmitter, options.idleCharacters);
    out.receiveWindow = receiveWindow.text();
    return out;
}

}  // namespace miv
