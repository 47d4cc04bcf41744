#include "app/cli/ModeOptions.h"

namespace miv::cli {

void ModeOptions::addTo(CLI::App& command)
{
    command.add_option("--bw", bandwidth, "Bandwidth in Hz")->check(CLI::IsMember({"2250", "500"}));
    command.add_option("--channel", channel, "Channel profile")->check(CLI::IsMember({"hf", "eme"}));
    command.add_option("--baud", baud, "Symbol rate")->check(CLI::IsMember({"16", "1"}));
    command.add_option("--auto", autoBaud, "Receive both symbol rates")->check(CLI::IsMember({"on", "off"}));
    command.add_option("--afc", afc, "AFC search range")->check(CLI::IsMember({"wide", "narrow"}));
}

void ModeOptions::applyTo(ModeSwitches& switches) const
{
    switches.selectBandwidth(bandwidth == "2250");
    switches.selectChannel(channel == "eme");
    switches.selectSymbolRate(baud == "16");
    switches.setAutoBaud(autoBaud == "on");
    switches.setAfcWide(afc == "wide");
}

}  // namespace miv::cli
