#include "rx/SignalGenerator.h"

#include <cmath>
#include <deque>

#include "modem/Convolutional.h"
#include "modem/Frame.h"
#include "modem/Varicode.h"
#include "platform/AudioBlock.h"

namespace miv::test {

namespace {

constexpr double kTwoPiSingle = 6.2831854820251465;  // 2π as a float

std::int16_t toneSample(double frequency, int t)
{
    const auto argument = kTwoPiSingle * frequency * t / 48000.0;
    const auto value = static_cast<float>(32767.0 * std::sin(argument));
    return static_cast<std::int16_t>(std::nearbyint(value));
}

void appendTone(std::vector<std::int16_t>& out, double frequency, int first, int count)
{
    for (int t = first; t < first + count; ++t)
        out.push_back(toneSample(frequency, t));
}

class Generator {
public:
    Generator(const ModemMode& mode, const std::string& text, const GeneratorOptions& options)
        : mode_(mode), text_(text), idles_(options.idleCharacters), endMarker_(options.endMarker)
    {
    }

    // The next interleaver input after the preamble; false at the end.
    bool next(int n, std::uint8_t& tone)
    {
        if (coded_.size() < 4) {
            if (endQueued_)
                return false;
            if (next_ < text_.size())
                encodeCharacter(static_cast<unsigned char>(text_[next_++]));
            else if (idles_ > 0 && idles_--)
                encodeCharacter(0);
            else if (endMarker_)
                queueEndMarker(n);
            else
                return false;
        }
        const int v = 8 * coded_[0] + 4 * coded_[1] + 2 * coded_[2] + coded_[3];
        coded_.erase(coded_.begin(), coded_.begin() + 4);
        tone = GrayTone[static_cast<std::size_t>(v)];
        return true;
    }

private:
    void encodeBit(int bit)
    {
        const auto pair = encoder_.encode(bit);
        coded_.push_back(pair.first);
        coded_.push_back(pair.second);
    }

    void encodeCharacter(int c)
    {
        const std::string bits = mode_.sixBitAlphabet() ? SixBitField(MapCharacter(c, true))
                                                        : std::string(VaricodeTable[static_cast<std::size_t>(c)]);
        for (char b : bits)
            encodeBit(b - '0');
    }

public:
    // Interleaver input index of the end marker's first tone; 0 until it is queued.
    int markerIndex() const { return markerIndex_; }

private:
    void queueEndMarker(int n)
    {
        endQueued_ = true;
        // The zero run puts the marker's first tone into input n + a + 5.
        markerIndex_ = n + (4 - n % 4) % 4 + 5;
        const int e = coded_.empty() ? 2 : 1;
        encodeBit(mode_.baud16 ? 1 : 0);
        const int zeros = 2 * ((4 - n % 4) % 4) + e + 8;
        for (int i = 0; i < zeros; ++i)
            encodeBit(0);
        for (auto b : EndMarkerA)
            encodeBit(b);
        for (auto b : EndMarkerB)
            encodeBit(b);
    }

    ModemMode mode_;
    std::string text_;
    std::size_t next_ = 0;
    int idles_;
    bool endMarker_;
    bool endQueued_ = false;
    int markerIndex_ = 0;
    ConvolutionalEncoder encoder_;
    std::deque<std::uint8_t> coded_;
};

}  // namespace

GeneratedTransmission generateTransmission(const ModemMode& mode, const std::string& text,
                                           const GeneratorOptions& options)
{
    const ModeParameters& p = mode.parameters();
    GeneratedTransmission out;
    auto& samples = out.samples;

    samples.assign(static_cast<std::size_t>((p.hasInitialTone ? 11 : 14) * kBlockSamples), 0);
    if (p.hasInitialTone) {
        const int blocks = p.samplesPerSymbol > kBlockSamples || options.longTone ? p.longToneBlocks : p.shortToneBlocks;
        const double f = toneFrequency(p, p.initialToneGroup, p.initialTone);
        for (int b = 0; b < blocks; ++b)
            appendTone(samples, f, 1, kBlockSamples);
    }
    out.firstSymbolSample = samples.size();

    Generator generator(mode, text, options);
    SymbolInterleaver interleaver;
    int hopRow = 0;
    for (int n = 1;; ++n) {
        std::uint8_t x = 0;
        bool end = false;
        if (n <= 20)
            x = PreambleSymbols[static_cast<std::size_t>(n - 1)];
        else
            end = !generator.next(n, x);
        const std::uint8_t y = interleaver.push(end ? 0 : x);
        if (n < 4)
            continue;
        hopRow = hopRow == kHopRows ? 1 : hopRow + 1;
        const int group = p.hops ? HopTable.group(hopRow, p.hopColumn) : 0;  // EME: the single group 0
        out.sentTones.push_back(y);
        out.sentGroups.push_back(static_cast<std::uint8_t>(group));
        const double f = toneFrequency(p, group, y);
        // The symbol time that signals the end is written out whole at 16 baud, only
        // its first block at 1 baud.
        appendTone(samples, f, 1, end ? kBlockSamples : p.samplesPerSymbol);
        if (end)
            break;
    }
    if (generator.markerIndex() > 0)
        out.endMarkerSample = out.firstSymbolSample +
                              static_cast<std::size_t>(generator.markerIndex() - 4) * static_cast<std::size_t>(p.samplesPerSymbol);
    return out;
}

}  // namespace miv::test
