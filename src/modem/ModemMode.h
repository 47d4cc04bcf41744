#pragma once

#include <string>
#include <vector>

namespace miv {

enum class EffectiveMode { Hf2250Fast, Hf2250Slow, Hf500Fast, Hf500Slow, Eme };

enum class CharacterCode { Varicode, SixBit };

// Everything the transmitter and the shared tables take from the mode (the receiver's
// view of the modes is rx/ReceiveModes).
struct ModeParameters {
    EffectiveMode mode;
    const char* name;
    int samplesPerSymbol;
    double baud;
    float toneSpacing;   // Hz, as computed: 31.25 / 2 or 7.8125 / 2
    int groups;          // tone groups of 16 the hopping visits
    double lowestTone;   // Hz, tone 0 of group 1
    double highestTone;  // Hz, tone 15 of the last group
    int hopColumn;       // HopTable column; EME does not hop and reads column 1
    bool hops;
    CharacterCode code;
    // Initial tone: none in EME.
    bool hasInitialTone;
    int initialToneGroup;
    int initialTone;
    int shortToneBlocks;  // heard without the CQ macro
    int longToneBlocks;   // heard after the CQ macro
};

// The four switches of the main window that make the mode.
struct ModemMode {
    bool bw2250 = true;
    bool eme = false;
    bool baud16 = true;
    bool autoBaud = true;  // read by the receiver only

    EffectiveMode effective() const;
    const ModeParameters& parameters() const;
    // Varicode only in HF at 16 baud; everything else sends the 6-bit alphabet.
    bool sixBitAlphabet() const { return eme || !baud16; }
    int samplesPerSymbol() const { return parameters().samplesPerSymbol; }

    friend bool operator==(const ModemMode&, const ModemMode&) = default;
};

const ModeParameters& modeParameters(EffectiveMode mode);

// Frequency of tone k (0..15) of group g (1..groups; ignored in EME).
double toneFrequency(const ModeParameters& mode, int group, int tone);

// How received audio becomes text: the receiver defined for this signal, decision for
// decision, or the deep path, which copies weaker signals.
enum class Decoder { Standard, Deep };

// The frequency range acquisition searches: the AFC switch's choice on the channel.
enum class AfcRange { HfWide, HfNarrow, EmeWide, EmeNarrow };

// Captions of the AFC range selector, which follow the channel.
std::string afcWideCaption(bool eme);
std::string afcNarrowCaption(bool eme);

// What the operator's clicks may not change: a transmission in progress or a message
// being received.
class ModeGuard {
public:
    virtual ~ModeGuard() = default;
    virtual bool transmitting() const = 0;
    virtual bool receiverLocked() const = 0;
};

// Side effects of accepted switch changes, for the window and the receiver to follow.
class ModeListener {
public:
    virtual ~ModeListener() = default;
    virtual void bandwidthChanged() {}
    // The send window is to be cleared and the macro buttons re-evaluated.
    virtual void symbolRateChanged() {}
    // As above, plus the EME frames hide or show, the AFC captions change and the
    // receiver's ring position returns to 0.
    virtual void channelChanged() {}
    virtual void autoBaudChanged() {}
    virtual void afcRangeChanged() {}
    // A lock showed the detected symbol rate; the macro buttons follow.
    virtual void detectedRateShown() {}
    virtual void waterfallChanged() {}
    // The message in progress is cancelled and reception restarts with the other decoder.
    virtual void decoderChanged() {}
    virtual void alarmChanged() {}
};

// The switches of the main window in one model that the option images mirror. Every
// reader asks it at the moment it needs the mode, so the last accepted click wins.
class ModeSwitches {
public:
    const ModemMode& mode() const { return mode_; }
    bool afcWide() const { return afcWide_; }
    bool waterfallOn() const { return waterfallOn_; }
    bool alarmOn() const { return alarmOn_; }
    Decoder decoder() const { return decoder_; }
    AfcRange afcRange() const;

    void setGuard(const ModeGuard* guard) { guard_ = guard; }
    void addListener(ModeListener* listener) { listeners_.push_back(listener); }
    void removeListener(ModeListener* listener);

    // The operator's clicks on a pair; false when the click was refused.
    bool clickBandwidth();
    bool clickChannel();
    bool clickSymbolRate();
    void clickAutoBaud();
    bool clickAfcRange();
    void clickWaterfall();
    void clickAlarm();

    // Settings: the bandwidth, channel, symbol-rate and waterfall switches go through
    // the click rules; the others only set the pair.
    bool selectBandwidth(bool bw2250);
    bool selectChannel(bool eme);
    bool selectSymbolRate(bool baud16);
    void selectWaterfall(bool on);
    void setAutoBaud(bool on);
    void setAfcWide(bool wide);
    void setAlarmOn(bool on);
    void setDecoder(Decoder decoder);

    // A lock shows the rate it found, whatever the guards say.
    void showDetectedRate(bool baud16);

private:
    bool modeClickAllowed() const;
    template <typename Event>
    void notify(Event event);

    ModemMode mode_;
    bool afcWide_ = true;
    bool waterfallOn_ = true;
    bool alarmOn_ = true;
    Decoder decoder_ = Decoder::Standard;
    const ModeGuard* guard_ = nullptr;
    std::vector<ModeListener*> listeners_;
};

}  // namespace miv
