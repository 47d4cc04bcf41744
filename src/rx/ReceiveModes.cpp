#include "rx/ReceiveModes.h"

#include <array>

#include "modem/Frame.h"
#include "rx/FourierAnalyser.h"

namespace miv {

namespace {

constexpr float kFastBinHz = 15.625f / 2;     // 1024 points at 8 kHz
constexpr float kSlowBinHz = 0.9765625f / 2;  // 16384 points at 8 kHz, 8192 at 4 kHz
constexpr int kFast = SpectrumHistory::kFastPlane;
constexpr int kSlow = SpectrumHistory::kSlowPlane;

// clang-format off
constexpr ReceiveMode kHf2250Fast{
    .chain = FilterChain::Hf, .routine = SpectrumRoutine::Fast,
    .plane = kFast, .toneStep = 2, .hops = true, .hopColumn = 1, .binHz = kFastBinHz,
    .wide = {26, 78}, .narrow = {44, 60}, .stored = {26, 366},
    .metricReference = 128, .metricFloorDb = -18, .trackingDecisions = 16, .estimatesToneNoise = true};
constexpr ReceiveMode kHf500Fast{
    .chain = FilterChain::Hf, .routine = SpectrumRoutine::Fast,
    .plane = kFast, .toneStep = 2, .hops = true, .hopColumn = 3, .binHz = kFastBinHz,
    .wide = {70, 122}, .narrow = {88, 104}, .stored = {70, 186},
    .metricReference = 128, .metricFloorDb = -18, .trackingDecisions = 16, .estimatesToneNoise = false};
constexpr ReceiveMode kHf2250Slow{
    .chain = FilterChain::Hf, .routine = SpectrumRoutine::Slow,
    .plane = kSlow, .toneStep = 32, .hops = true, .hopColumn = 1, .binHz = kSlowBinHz,
    .wide = {416, 1248}, .narrow = {704, 960}, .stored = {416, 5856},
    .metricReference = 2048, .metricFloorDb = -30, .trackingDecisions = 4, .estimatesToneNoise = true};
constexpr ReceiveMode kHf500Slow{
    .chain = FilterChain::Hf, .routine = SpectrumRoutine::Slow,
    .plane = kSlow, .toneStep = 8, .hops = true, .hopColumn = 2, .binHz = kSlowBinHz,
    .wide = {1120, 1952}, .narrow = {1408, 1664}, .stored = {1120, 2976},
    .metricReference = 2048, .metricFloorDb = -30, .trackingDecisions = 4, .estimatesToneNoise = true};
constexpr ReceiveMode kEmeNarrow{
    .chain = FilterChain::EmeNarrow, .routine = SpectrumRoutine::EmeNarrow,
    .plane = kSlow, .toneStep = 8, .hops = false, .hopColumn = 1, .binHz = kSlowBinHz,
    .wide = {816, 3280}, .narrow = {816, 3280}, .stored = {816, 3440},
    .metricReference = 2048, .metricFloorDb = -30, .trackingDecisions = 4, .estimatesToneNoise = false};
constexpr ReceiveMode kEmeWide{
    .chain = FilterChain::EmeWide, .routine = SpectrumRoutine::EmeWide,
    .plane = kSlow, .toneStep = 8, .hops = false, .hopColumn = 1, .binHz = kSlowBinHz,
    .wide = {400, 5744}, .narrow = {400, 5744}, .stored = {400, 5904},
    .metricReference = 2048, .metricFloorDb = -30, .trackingDecisions = 4, .estimatesToneNoise = false};
// clang-format on

constexpr ReceiveStep k2250x16{&kHf2250Fast, nullptr, -1};
constexpr ReceiveStep k500x16{&kHf500Fast, nullptr, -1};
constexpr ReceiveStep k2250Auto{&kHf2250Fast, &kHf2250Slow, 0};
constexpr ReceiveStep k500Auto{&kHf500Fast, &kHf500Slow, 1};
constexpr ReceiveStep k2250x1{nullptr, &kHf2250Slow, 2};
constexpr ReceiveStep k500x1{nullptr, &kHf500Slow, 3};
constexpr ReceiveStep kEmeNarrowStep{nullptr, &kEmeNarrow, 4};
constexpr ReceiveStep kEmeWideStep{nullptr, &kEmeWide, 5};

}  // namespace

const ReceiveMode& receiveMode(const ModeSwitches& switches)
{
    const ModemMode& mode = switches.mode();
    if (mode.eme)
        return switches.afcWide() ? kEmeWide : kEmeNarrow;
    if (mode.bw2250)
        return mode.baud16 ? kHf2250Fast : kHf2250Slow;
    return mode.baud16 ? kHf500Fast : kHf500Slow;
}

const ReceiveStep& receiveStep(const ModeSwitches& switches)
{
    const ModemMode& mode = switches.mode();
    if (mode.eme)
        return switches.afcWide() ? kEmeWideStep : kEmeNarrowStep;
    if (mode.autoBaud)
        return mode.bw2250 ? k2250Auto : k500Auto;
    if (mode.bw2250)
        return mode.baud16 ? k2250x16 : k2250x1;
    return mode.baud16 ? k500x16 : k500x1;
}

int groupStart(const ReceiveMode& mode, int startBin, int hopRow)
{
    if (!mode.hops)
        return startBin;
    return startBin + (HopTable.group(hopRow, mode.hopColumn) - 1) * 16 * mode.toneStep;
}

}  // namespace miv
