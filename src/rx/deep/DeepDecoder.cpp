#include "rx/deep/DeepDecoder.h"

#include <algorithm>
#include <cmath>

#include "modem/Convolutional.h"
#include "modem/Frame.h"
#include "rx/deep/ToneLikelihood.h"

namespace miv {

namespace {

// Symbols between a symbol entering the Viterbi decoder and its bits going out: long
// enough to be as good as deciding on the whole message, and to keep the end
// marker's rate bit and zeros undecided until the marker is recognised.
constexpr int kDecisionDelay = 40;
// The first interleaver input that carries data; 1..20 are the preamble.
constexpr int kFirstDataInput = 21;
constexpr int kPreambleLength = 20;
// The end marker's first 16 tones: its later ones may still be in the interleaver when
// the transmission stops, and never be sent.
constexpr int kEndMarkerSeen = 16;
constexpr int kHopRows = 288;

// Tracking compares, on the tone a symbol carried, an early and a late window a 32nd
// of a symbol either side (the energy has a corner at the right timing, so the
// difference is steep there while the two windows share most of their noise), and two
// frequencies a quarter of a bin either side. With energies over the noise and the
// signal's Es/N0 ρ, an error of τ symbols makes the late minus the early energy
// −4ρτ(1 − δ), and one of u bins makes the high minus the low 2.78ρu.
constexpr double kEarlyLate = 1.0 / 32;
constexpr double kFrequencyProbe = 1.0 / 4;
constexpr double kFrequencySlope = 2.78;
// Correlation of the noise in the two probe frequencies (sinc of half a bin).
constexpr double kProbeCorrelation = 0.637;
// What the preamble search leaves uncertain, and how fast timing and frequency may
// drift: the sound cards' clocks, and the Doppler drift of a moonbounce path (Hz/s).
constexpr double kStartSpread = 1.0 / 16;
constexpr double kOffsetSpread = 1.0 / 8;
constexpr double kClockSpread = 0.0004;
// Decoder steps behind the newest at which the best path's tones steer the tracking.
constexpr int kTrackingDelay = 8;
constexpr double kDopplerSpread = 0.05;
// On HF the carrier holds still: its slope may grow only this share as fast, since a
// slope learnt from the carrier readings of fading symbols would lose the track.
constexpr double kHfDriftShare = 0.1;
// The noise power follows the measured one with this weight per symbol, the Es/N0
// estimate with these.
constexpr float kNoiseWeight = 1.0f / 16;
constexpr float kPreambleSignalWeight = 1.0f / 8;
constexpr float kSignalWeight = 1.0f / 32;
constexpr float kMinimumEsOverN0 = 0.5f;

// A message is shown once the tones its first decoded symbols took stand this far
// above the noise on average: where the decoder follows noise alone, the best path's
// tones average 2.84 with a spread of 0.17 (measured over 500 locks on noise), so 3.5
// lies four spreads above. It is given up when the average over the latest decoded
// symbols falls to what noise gives.
constexpr float kConfirmQuality = 3.5f;
constexpr float kLostQuality = 3.0f;
constexpr int kQualityWindow = 48;
// Summed log-likelihood ratio over the end marker's first symbols that ends a message.
// On weak signals (about 400 messages near the 50 % point) it stayed below 0.1 everywhere
// but at the marker, while fades and noise leave a real marker as low as 6.6; a missed
// marker lets the message run on into noise until it is cancelled.
constexpr float kEndThreshold = 8.0f;
constexpr int kErrorWindow = 50;

int hopRowOf(int symbol)
{
    return (symbol - 1) % kHopRows + 1;
}

// The interleaver input carried by sent symbol `symbol` (1 = the first preamble symbol,
// interleaver output 4); 0 or less for the register's initial contents.
int interleaverInput(int symbol)
{
    const int n = symbol + 3;
    switch (n % 4) {
    case 1:
        return n - 9;
    case 2:
        return n - 7;
    case 3:
        return n - 5;
    default:
        return n - 3;
    }
}

// The sent symbol that carries interleaver input `input`.
int sentSymbolOf(int input)
{
    static constexpr std::array<int, 4> kDelay{6, 0, 2, 4};  // by input mod 4
    return input + kDelay[static_cast<std::size_t>(input % 4)];
}

// Log of the mean of exp(likelihood) over the 16 tones.
float logMeanExp(const std::array<float, 16>& likelihood)
{
    const float top = *std::max_element(likelihood.begin(), likelihood.end());
    double sum = 0;
    for (float l : likelihood)
        sum += std::exp(static_cast<double>(l - top));
    return top + static_cast<float>(std::log(sum / 16));
}

}  // namespace

DeepDecoder::DeepDecoder(const DeepMode& mode, DeepMessageSink& sink)
    : mode_(mode),
      sink_(sink),
      demodulator_(mode),
      viterbi_(kDecisionDelay)
{
}

DeepDecoder::Fit DeepDecoder::fitSynchronisation(const SampleHistory& history, const std::vector<KnownTone>& known,
                                                 Fit guess, double symbolFraction, double binFraction) const
{
    const int n = mode_.symbolSamples;
    const auto energyAt = [&](double dt, double df) {
        double sum = 0;
        for (const KnownTone& k : known) {
            const double fromMiddle = k.symbol - guess.middle;
            const auto start =
                static_cast<std::int64_t>(std::llround(guess.start + fromMiddle * guess.samplesPerSymbol + dt));
            if (!history.holds(start, start + n))
                continue;
            const double hz = mode_.lowestTone + mode_.tonePosition(hopRowOf(k.symbol), k.tone) * mode_.toneSpacing() +
                              guess.offsetHz + fromMiddle * guess.driftHzPerSymbol + df;
            sum += toneEnergy(history, start, n, hz);
        }
        return sum;
    };
    // Two rounds of a 9 × 9 grid, the second a quarter of the first's steps around its best.
    double bestDt = 0;
    double bestDf = 0;
    double timeStep = n * symbolFraction;
    double frequencyStep = mode_.symbolRate() * binFraction;
    for (int round = 0; round < 2; ++round) {
        const double centreDt = bestDt;
        const double centreDf = bestDf;
        double best = -1;
        for (int i = -4; i <= 4; ++i) {
            for (int j = -4; j <= 4; ++j) {
                const double e = energyAt(centreDt + i * timeStep, centreDf + j * frequencyStep);
                if (e > best) {
                    best = e;
                    bestDt = centreDt + i * timeStep;
                    bestDf = centreDf + j * frequencyStep;
                }
            }
        }
        timeStep /= 4;
        frequencyStep /= 4;
    }
    return {guess.middle, guess.start + bestDt, guess.offsetHz + bestDf, guess.samplesPerSymbol,
            guess.driftHzPerSymbol};
}

void DeepDecoder::startTracking(const Fit& fit, double trust)
{
    const double n = mode_.symbolSamples;
    timing_.start(fit.middle, fit.start, n * kStartSpread * trust, fit.samplesPerSymbol, n * kClockSpread);
    frequency_.start(fit.middle, fit.offsetHz, mode_.symbolRate() * kOffsetSpread * trust, fit.driftHzPerSymbol,
                     (mode_.eme() ? kDopplerSpread : kDopplerSpread * kHfDriftShare) * n / kDeepSampleRate);
    offsetHz_ = fit.offsetHz;
}

void DeepDecoder::start(const SampleHistory& history, const PreambleDetection& detection)
{
    std::vector<KnownTone> preamble;
    for (int k = 0; k < kPreambleLength; ++k)
        preamble.push_back({kPreambleSlot[static_cast<std::size_t>(k)], PreambleSymbols[static_cast<std::size_t>(k)]});
    const double n = mode_.symbolSamples;
    const Fit guess{kPreambleMiddle, static_cast<double>(detection.firstSymbolStart) + (kPreambleMiddle - 1) * n,
                    detection.offsetHz, n, detection.driftHzPerSymbol};
    startTracking(fitSynchronisation(history, preamble, guess, 1.0 / 32, 1.0 / 16), 1);
    preambleScore_ = detection.score;
    resynchronised_ = false;
    confirmed_ = false;
    restart();
    active_ = true;
    advance(history);
}

void DeepDecoder::restart()
{
    readings_.fill(Reading{});
    symbols_.fill(Symbol{});
    nextSymbol_ = 1;
    noise_ = 0;
    esOverN0_ = 0;
    frameScore_ = 0;
    nextInput_ = kFirstDataInput;
    viterbi_.reset();
    bitsShown_ = 0;
    recentErrors_.clear();
    errorCount_ = 0;
    recentQuality_.clear();
    qualitySum_ = 0;
}

void DeepDecoder::resynchronise(const SampleHistory& history, const std::vector<std::uint8_t>& path)
{
    std::vector<KnownTone> known;
    for (int s = 1; s < nextSymbol_; ++s) {
        const int input = interleaverInput(s);
        if (input <= 0)
            known.push_back({s, 0});  // the interleaver's initial contents
        else if (input <= kPreambleLength)
            known.push_back({s, PreambleSymbols[static_cast<std::size_t>(input - 1)]});
    }
    for (std::size_t i = 0; i < path.size(); ++i)
        known.push_back({sentSymbolOf(kFirstDataInput + static_cast<int>(i)), GrayTone[path[i]]});

    // The fit moves lines of the tracked slopes through the middle of these symbols: the
    // clock error's always, the carrier's only in EME, where the Doppler shift drifts. On
    // HF a carrier slope learnt over fading symbols is noise that derails the tracking.
    const double middle = (known.front().symbol + known.back().symbol) / 2.0;
    const double driftHzPerSymbol = mode_.eme() ? frequency_.slope() : 0;
    const Fit guess{middle, timing_.at(middle), frequency_.at(middle), timing_.slope(), driftHzPerSymbol};
    const double trust = 4 / std::sqrt(static_cast<double>(known.size()));
    startTracking(fitSynchronisation(history, known, guess, 1.0 / 64, 1.0 / 32), trust);
    resynchronised_ = true;
    restart();
}

void DeepDecoder::advance(const SampleHistory& history)
{
    const double length = mode_.symbolSamples * (1 + kEarlyLate) + 2;
    while (active_ && timing_.at(nextSymbol_) + length <= static_cast<double>(history.count()))
        readSymbol(history);
}

void DeepDecoder::readSymbol(const SampleHistory& history)
{
    const int symbol = nextSymbol_++;
    const auto start = static_cast<std::int64_t>(std::llround(timing_.at(symbol)));
    offsetHz_ = frequency_.at(symbol);
    const int group = mode_.group(hopRowOf(symbol));
    const double groupHz = mode_.lowestTone + (group - 1) * kTonesPerGroup * mode_.toneSpacing() + offsetHz_;
    Reading& reading = readingOf(symbol);
    reading = {symbol, start, groupHz, 0};
    demodulator_.transform(history, start, groupHz);

    std::array<float, 16> energy{};
    for (int k = 0; k < 16; ++k)
        energy[static_cast<std::size_t>(k)] = demodulator_.energy(k * mode_.toneBins);
    double noiseSum = 0;
    int noiseBins = 0;
    if (mode_.toneBins == 1) {
        // One bin per tone: the other groups, which this symbol does not use, hold noise.
        for (int g = 1; g <= mode_.groups; ++g) {
            if (g == group)
                continue;
            for (int k = 0; k < 16; ++k)
                noiseSum += demodulator_.energy((g - group) * kTonesPerGroup + k);
            noiseBins += 16;
        }
    } else {
        // Bins between the tones are orthogonal to every tone of the symbol.
        for (int k = 0; k < 16; ++k) {
            for (int j = 1; j < mode_.toneBins; ++j)
                noiseSum += demodulator_.energy(k * mode_.toneBins + j);
        }
        noiseBins = 16 * (mode_.toneBins - 1);
    }
    // On a signal without noise the bins beside the tones hold only their leakage, which
    // follows every small timing and frequency error: Es/N0 is taken as 40 dB at most.
    constexpr float kLeastNoise = 1e-4f;
    const float strongest = *std::max_element(energy.begin(), energy.end());
    const float measured = std::max(static_cast<float>(noiseSum / noiseBins), kLeastNoise * strongest);
    noise_ = noise_ == 0 ? measured : noise_ + kNoiseWeight * (measured - noise_);
    reading.noise = noise_;
    for (float& e : energy)
        e = noise_ > 0 ? e / noise_ : 0.0f;

    const int input = interleaverInput(symbol);
    if (input >= 1 && input <= kPreambleLength) {
        // A preamble symbol: its tone is known, which measures Es/N0 directly.
        const int tone = PreambleSymbols[static_cast<std::size_t>(input - 1)];
        const float signal = energy[static_cast<std::size_t>(tone)] - 1;
        esOverN0_ = esOverN0_ == 0 ? signal : esOverN0_ + kPreambleSignalWeight * (signal - esOverN0_);
        esOverN0_ = std::max(esOverN0_, kMinimumEsOverN0);
        if (std::max_element(energy.begin(), energy.end()) - energy.begin() == tone)
            ++frameScore_;
        measure(history, symbol, tone, energy[static_cast<std::size_t>(tone)]);
    } else if (input >= kFirstDataInput) {
        // A data symbol: the 16 energies together hold one signal and 16 noise bins.
        float total = 0;
        for (float e : energy)
            total += e;
        esOverN0_ = std::max(esOverN0_ + kSignalWeight * (total - 16 - esOverN0_), kMinimumEsOverN0);
        Symbol& s = symbolAt(input);
        s.energy = energy;
        for (std::size_t k = 0; k < 16; ++k)
            s.likelihood[k] = toneLogLikelihood(energy[k], esOverN0_);
        s.input = input;
    }
    feedDecoder(history);
}

void DeepDecoder::measure(const SampleHistory& history, int symbol, int tone, float energy)
{
    const Reading& r = readingOf(symbol);
    // A tone that hardly stands out of the noise was probably decided wrongly.
    constexpr float kTrackedEnergy = 2;
    if (r.symbol != symbol || energy < kTrackedEnergy || r.noise <= 0)
        return;
    const int n = mode_.symbolSamples;
    // The discriminators' slopes grow with the symbol's own energy: on a fading path a
    // symbol in a peak stands far above the mean Es/N0, and scaling its reading by the
    // mean would overcorrect. Only energies beyond what noise makes of the mean (two
    // standard deviations) count as a peak.
    const double mean = esOverN0_;
    const double rho = std::max(mean, energy - 1 - 2 * std::sqrt(2 * mean + 1));
    const double noise = r.noise;
    const double toneHz = r.groupHz + tone * mode_.toneSpacing();
    const auto shift = std::max<std::int64_t>(1, std::llround(n * kEarlyLate));
    const double delta = static_cast<double>(shift) / n;
    const double early = toneEnergy(history, r.start - shift, n, toneHz) / noise;
    const double late = toneEnergy(history, r.start + shift, n, toneHz) / noise;
    const double timingSpread = std::sqrt(8 * delta * (rho + 1)) / (4 * rho * (1 - delta)) * n;
    timing_.measure(symbol, static_cast<double>(r.start) + (late - early) / (4 * rho * (1 - delta)) * n, timingSpread);

    const double probe = kFrequencyProbe * mode_.symbolRate();
    const double low = toneEnergy(history, r.start, n, toneHz - probe) / noise;
    const double high = toneEnergy(history, r.start, n, toneHz + probe) / noise;
    const double nominalGroupHz =
        mode_.lowestTone + (mode_.group(hopRowOf(symbol)) - 1) * kTonesPerGroup * mode_.toneSpacing();
    const double frequencySpread = std::sqrt(2 * (1 - kProbeCorrelation) * (2 * rho + 1)) / (kFrequencySlope * rho);
    frequency_.measure(symbol, r.groupHz - nominalGroupHz + (high - low) / (kFrequencySlope * rho) * mode_.symbolRate(),
                       frequencySpread * mode_.symbolRate());
}

bool DeepDecoder::endMarkerAt(int m) const
{
    // A symbol counts at most as much against the marker as a certain one counts for it:
    // a strong signal whose marker symbol is lost in a fade or smeared by a second path
    // would otherwise outweigh all the others.
    const float certain = std::log(16.0f);
    float score = 0;
    for (int i = 0; i < kEndMarkerSeen; ++i) {
        const Symbol& s = symbolAt(m + i);
        score +=
            std::max(s.likelihood[ReceiverSequence[static_cast<std::size_t>(i)]] - logMeanExp(s.likelihood), -certain);
    }
    return score >= kEndThreshold;
}

bool DeepDecoder::confirmOrRestart(const SampleHistory& history)
{
    const std::vector<std::uint8_t> path = viterbi_.bestPath(kDecisionDelay);
    // First fit timing and frequency to every symbol so far and decode again; then
    // decide whether this is a message.
    if (!resynchronised_) {
        resynchronise(history, path);
        return false;
    }
    if (!onSignal(path)) {
        stop();
        return false;
    }
    show();
    return true;
}

bool DeepDecoder::onSignal(const std::vector<std::uint8_t>& path) const
{
    float quality = 0;
    for (std::size_t i = 0; i < path.size(); ++i)
        quality += symbolAt(kFirstDataInput + static_cast<int>(i)).energy[GrayTone[path[i]]];
    return !path.empty() && quality / static_cast<float>(path.size()) >= kConfirmQuality;
}

void DeepDecoder::show()
{
    confirmed_ = true;
    shownTiming_ = timing_.at(1);
    // The shift at the lock, as the standard path shows it: where the preamble lay.
    sink_.messageStarted(frequency_.at(kPreambleMiddle), frameScore_);
}

void DeepDecoder::feedDecoder(const SampleHistory& history)
{
    while (active_ && symbolAt(nextInput_).input == nextInput_) {
        const int input = nextInput_++;
        std::array<std::uint8_t, 2> bits{};
        const bool released = viterbi_.step(symbolAt(input).likelihood, bits);
        // Timing and frequency follow the tones of the best path a few symbols back:
        // nearly as sure as the final decisions, and much nearer the symbols being read.
        if (viterbi_.steps() > kTrackingDelay) {
            const int tracked = input - kTrackingDelay;
            const int tone = GrayTone[viterbi_.bestPathSymbol(kTrackingDelay)];
            measure(history, sentSymbolOf(tracked), tone, symbolAt(tracked).energy[static_cast<std::size_t>(tone)]);
        }
        if (!confirmed_ && viterbi_.steps() == kDecisionDelay && !confirmOrRestart(history))
            return;
        if (released) {
            decided(input - kDecisionDelay, GrayTone[viterbi_.releasedSymbol()]);
            release(bits[0], bits[1]);
            if (static_cast<int>(recentQuality_.size()) == kQualityWindow &&
                qualitySum_ / kQualityWindow < kLostQuality) {
                cancel();
                return;
            }
        }
        // The end marker starts at an input one more than a multiple of 4.
        const int m = input - kEndMarkerSeen + 1;
        if (m >= kFirstDataInput && m % 4 == 1 && endMarkerAt(m)) {
            finishAtEndMarker(m);
            return;
        }
    }
}

void DeepDecoder::decided(int input, int tone)
{
    const Symbol& s = symbolAt(input);
    const auto hard = std::max_element(s.energy.begin(), s.energy.end()) - s.energy.begin();
    const std::uint8_t error = hard != tone ? 1 : 0;
    recentErrors_.push_back(error);
    errorCount_ += error;
    if (static_cast<int>(recentErrors_.size()) > kErrorWindow) {
        errorCount_ -= recentErrors_.front();
        recentErrors_.pop_front();
    }
    recentQuality_.push_back(s.energy[static_cast<std::size_t>(tone)]);
    qualitySum_ += recentQuality_.back();
    if (static_cast<int>(recentQuality_.size()) > kQualityWindow) {
        qualitySum_ -= recentQuality_.front();
        recentQuality_.pop_front();
    }
}

void DeepDecoder::release(std::uint8_t first, std::uint8_t second)
{
    sink_.bitsDecoded(first, second);
    bitsShown_ += 2;
}

std::size_t DeepDecoder::textBitsBeforeMarker(const std::vector<std::uint8_t>& tail) const
{
    // The tail ends in the zeros before the marker, after the rate bit: 1 at 16 baud,
    // 0 at 1 baud, and either in EME depending on the sending station.
    std::size_t last = tail.size();
    while (last > 0 && tail[last - 1] == 0)
        --last;
    if (last == 0)
        return 0;
    const std::size_t one = last - 1;  // the last 1 bit
    if (!mode_.sixBitAlphabet)
        return one + 1;  // varicode: the rate bit, whose 1 completes the last character
    // Six-bit characters start at multiples of 6 from the first data bit. In EME a last 1
    // that opens a character followed by zeros only is the rate bit ("@" when shown);
    // at 1 baud on HF the rate bit is always 0.
    const auto position = static_cast<std::size_t>(bitsShown_) + one;
    if (mode_.eme() && position % 6 == 0)
        return one;
    return (position / 6 + 1) * 6 - static_cast<std::size_t>(bitsShown_);
}

void DeepDecoder::finishAtEndMarker(int m)
{
    // A message shorter than the decision delay is shown only if its symbols, too,
    // prove the lock is on a signal.
    if (!confirmed_) {
        if (!onSignal(viterbi_.bestPath(std::min(viterbi_.steps(), kDecisionDelay)))) {
            stop();
            return;
        }
        show();
    }
    // The encoder is cleared (state 0) before the marker's first symbol; what comes
    // before it is the text, then the rate bit and zeros, which are not shown.
    std::vector<std::uint8_t> bits;
    for (const auto& pair : viterbi_.finish(0, m - 1 - kFirstDataInput)) {
        bits.push_back(pair[0]);
        bits.push_back(pair[1]);
    }
    bits.resize(textBitsBeforeMarker(bits));
    if (bits.size() % 2 != 0)
        bits.push_back(0);
    for (std::size_t i = 0; i < bits.size(); i += 2)
        release(bits[i], bits[i + 1]);
    int finalScore = 0;
    for (int i = 0; i < kEndMarkerSeen; ++i) {
        const Symbol& s = symbolAt(m + i);
        const auto hard = std::max_element(s.energy.begin(), s.energy.end()) - s.energy.begin();
        if (hard == ReceiverSequence[static_cast<std::size_t>(i)])
            ++finalScore;
    }
    active_ = false;
    sink_.messageEnded(finalScore);
}

void DeepDecoder::cancel()
{
    if (!active_)
        return;
    const bool shown = confirmed_;
    stop();
    if (shown)
        sink_.messageCancelled();
}

void DeepDecoder::stop()
{
    active_ = false;
    confirmed_ = false;
}

int DeepDecoder::timingDriftRows() const
{
    if (!confirmed_)
        return 0;
    const double n = mode_.symbolSamples;
    const double rows = (timing_.at(nextSymbol_) - shownTiming_ - (nextSymbol_ - 1) * n) / (n / 8);
    return static_cast<int>(std::clamp(std::lround(rows), -4L, 4L));
}

double DeepDecoder::snrDb() const
{
    constexpr double kReferenceBandwidth = 2500;
    return 10 * std::log10(std::max(esOverN0_, kMinimumEsOverN0) * mode_.symbolRate() / kReferenceBandwidth);
}

}  // namespace miv
