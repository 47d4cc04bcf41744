#include "rx/RxTestSupport.h"

#include <fstream>
#include <sstream>

#include "app/cli/RxRunner.h"
#include "platform/audio/FileAudioSource.h"

namespace miv::test {

void applySettings(ModeSwitches& switches, const StepSettings& settings)
{
    switches.selectBandwidth(settings.bw2250);
    switches.selectChannel(settings.eme);
    switches.selectSymbolRate(settings.baud16);
    switches.setAutoBaud(settings.autoBaud);
    switches.setAfcWide(settings.afcWide);
}

Decoded decode(BlockAudioSource& source, const StepSettings& settings)
{
    ModeSwitches switches;
    applySettings(switches, settings);
    FixedClock clock({12, 0, 0});
    RecordedMessages messages;
    cli::RxRunner runner(switches, clock, messages, source);
    runner.run();
    return {runner.window().text(), runner.reports()};
}

Decoded decodeSamples(const std::vector<std::int16_t>& samples, const StepSettings& settings)
{
    MemoryAudioSource source(samples);
    return decode(source, settings);
}

Decoded decodeFile(const std::string& path, const StepSettings& settings)
{
    FileAudioSource source(path);
    return decode(source, settings);
}

std::string messageLine(const std::string& shift, const std::string& text, const std::string& ending)
{
    return "\r\nRX: <12:00 UTC> <" + shift + " Hz.> " + text + ending;
}

std::string vectorPath(const std::string& name)
{
    return std::string(MIV_VECTORS_DIR) + "/" + name;
}

std::string readTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace miv::test
