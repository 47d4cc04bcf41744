#include "modem/ModemMode.h"

#include <algorithm>
#include <array>

namespace miv {

namespace {

constexpr float kFastSpacing = 31.25f / 2;
constexpr float kNarrowSpacing = 7.8125f / 2;

constexpr std::array<ModeParameters, 5> kModes{{
    {EffectiveMode::Hf2250Fast, "HF 2250 fast", 3072, 15.625, kFastSpacing, 9, 406.25, 2640.625, 1, true,
     CharacterCode::Varicode, true, 5, 6, 8, 48},
    {EffectiveMode::Hf2250Slow, "HF 2250 slow", 49152, 0.9765625, kFastSpacing, 9, 406.25, 2640.625, 1, true,
     CharacterCode::SixBit, true, 5, 6, 48, 48},
    {EffectiveMode::Hf500Fast, "HF 500 fast", 3072, 15.625, kFastSpacing, 2, 750, 1234.375, 3, true,
     CharacterCode::Varicode, true, 2, 0, 8, 48},
    {EffectiveMode::Hf500Slow, "HF 500 slow", 49152, 0.9765625, kNarrowSpacing, 8, 750, 1246.09375, 2, true,
     CharacterCode::SixBit, true, 5, 0, 48, 48},
    {EffectiveMode::Eme, "EME", 49152, 0.9765625, kNarrowSpacing, 1, 1500, 1558.59375, 1, false, CharacterCode::SixBit,
     false, 0, 0, 0, 0},
}};

}  // namespace

const ModeParameters& modeParameters(EffectiveMode mode)
{
    return kModes[static_cast<std::size_t>(mode)];
}

EffectiveMode ModemMode::effective() const
{
    if (eme)
        return EffectiveMode::Eme;
    if (bw2250)
        return baud16 ? EffectiveMode::Hf2250Fast : EffectiveMode::Hf2250Slow;
    return baud16 ? EffectiveMode::Hf500Fast : EffectiveMode::Hf500Slow;
}

const ModeParameters& ModemMode::parameters() const
{
    return modeParameters(effective());
}

double toneFrequency(const ModeParameters& mode, int group, int tone)
{
    const int position = mode.hops ? (group - 1) * 16 + tone : tone;
    return mode.lowestTone + position * static_cast<double>(mode.toneSpacing);
}

std::string afcWideCaption(bool eme)
{
    return eme ? "\u00b11300 Hz" : "\u00b1200 Hz";
}

std::string afcNarrowCaption(bool eme)
{
    return eme ? "\u00b1600 Hz" : "\u00b178 Hz";
}

AfcRange ModeSwitches::afcRange() const
{
    if (mode_.eme)
        return afcWide_ ? AfcRange::EmeWide : AfcRange::EmeNarrow;
    return afcWide_ ? AfcRange::HfWide : AfcRange::HfNarrow;
}

void ModeSwitches::removeListener(ModeListener* listener)
{
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

bool ModeSwitches::modeClickAllowed() const
{
    return guard_ == nullptr || (!guard_->transmitting() && !guard_->receiverLocked());
}

template <typename Event>
void ModeSwitches::notify(Event event)
{
    // A listener may add or remove listeners; walk a copy.
    const auto listeners = listeners_;
    for (ModeListener* listener : listeners)
        (listener->*event)();
}

bool ModeSwitches::clickBandwidth()
{
    if (!modeClickAllowed())
        return false;
    mode_.bw2250 = !mode_.bw2250;
    notify(&ModeListener::bandwidthChanged);
    return true;
}

bool ModeSwitches::clickChannel()
{
    if (!modeClickAllowed())
        return false;
    mode_.eme = !mode_.eme;
    notify(&ModeListener::channelChanged);
    return true;
}

bool ModeSwitches::clickSymbolRate()
{
    if (!modeClickAllowed())
        return false;
    mode_.baud16 = !mode_.baud16;
    notify(&ModeListener::symbolRateChanged);
    return true;
}

void ModeSwitches::clickAutoBaud()
{
    mode_.autoBaud = !mode_.autoBaud;
    notify(&ModeListener::autoBaudChanged);
}

bool ModeSwitches::clickAfcRange()
{
    // In EME the range also chooses the filter chain, so it waits for an idle receiver.
    if (mode_.eme && !modeClickAllowed())
        return false;
    afcWide_ = !afcWide_;
    notify(&ModeListener::afcRangeChanged);
    return true;
}

void ModeSwitches::clickWaterfall()
{
    waterfallOn_ = !waterfallOn_;
    notify(&ModeListener::waterfallChanged);
}

void ModeSwitches::clickAlarm()
{
    alarmOn_ = !alarmOn_;
    notify(&ModeListener::alarmChanged);
}

bool ModeSwitches::selectBandwidth(bool bw2250)
{
    return mode_.bw2250 == bw2250 || clickBandwidth();
}

bool ModeSwitches::selectChannel(bool eme)
{
    return mode_.eme == eme || clickChannel();
}

bool ModeSwitches::selectSymbolRate(bool baud16)
{
    return mode_.baud16 == baud16 || clickSymbolRate();
}

void ModeSwitches::selectWaterfall(bool on)
{
    if (waterfallOn_ != on)
        clickWaterfall();
}

void ModeSwitches::setAutoBaud(bool on)
{
    if (mode_.autoBaud != on) {
        mode_.autoBaud = on;
        notify(&ModeListener::autoBaudChanged);
    }
}

void ModeSwitches::setAfcWide(bool wide)
{
    if (afcWide_ != wide) {
        afcWide_ = wide;
        notify(&ModeListener::afcRangeChanged);
    }
}

void ModeSwitches::setAlarmOn(bool on)
{
    if (alarmOn_ != on) {
        alarmOn_ = on;
        notify(&ModeListener::alarmChanged);
    }
}

void ModeSwitches::setDecoder(Decoder decoder)
{
    if (decoder_ != decoder) {
        decoder_ = decoder;
        notify(&ModeListener::decoderChanged);
    }
}

void ModeSwitches::showDetectedRate(bool baud16)
{
    mode_.baud16 = baud16;
    notify(&ModeListener::detectedRateShown);
}

}  // namespace miv
