#include "rx/RxTestSupport.h"

#include <fstream>
#include <sstream>

#include "app/cli/RxRunner.h"
#include "platform/audio/FileAudioSource.h"

namespace miv::test {

namespace {

Decoded decode(BlockAudioSource&& source, const StepSettings& settings)
{
    ModeSwitches switches;
    switches.selectBandwidth(settings.bw2250);
    switches.selectChannel(settings.eme);
    switches.selectSymbolRate(settings.baud16);
    switches.setAutoBaud(settings.autoBaud);
    switches.setAfcWide(settings.afcWide);
    switches.setDecoder(settings.decoder);
    FixedClock clock({12, 0, 0});
    RecordedMessages messages;
    cli::RxRunner runner(switches, clock, messages, source);
    runner.run();
    return {runner.window().text(), runner.reports()};
}

}  // namespace

Decoded decodeSamples(const std::vector<std::int16_t>& samples, const StepSettings& settings)
{
    return decode(MemoryAudioSource(samples), settings);
}

Decoded decodeFile(const std::string& path, const StepSettings& settings)
{
    return decode(FileAudioSource(path), settings);
}

std::string vectorPath(const std::string& name)
{
    return std::string(MIV_VECTORS_DIR) + "/" + name;
}

std::string readTextFile(const std::string& path)
{
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

}  // namespace miv::test
