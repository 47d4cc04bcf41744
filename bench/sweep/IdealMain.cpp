// miv_ideal: the limit our receiver is measured against. An ideal non-coherent 16-FSK
// receiver (exact symbol timing and frequency, one matched filter per tone, no
// interleaving needed on a channel without fading) hands the maximum-likelihood tone
// metrics to a Viterbi decoder of the same rate-1/2, K = 7 code that keeps the whole
// message before deciding. The messages are the sweep's texts in both character codes,
// so the shares of messages copied and the character error rate are those of the sweep.
// A character counts as wrong when any of its data bits is decoded wrong.
//
// Per symbol of energy Es, tone k's matched filter gives y_k = sqrt(Es)·e^{jθ}·[k sent]
// + n_k with n_k complex Gaussian of variance N0, and the likelihood of tone k being
// the one sent, given the envelopes r = |y|, is proportional to I0(2·sqrt(Es)·r_k / N0).
// Two data bits per symbol: Es = 2·Eb.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "Sweep.h"
#include "modem/Convolutional.h"
#include "modem/Frame.h"
#include "modem/Varicode.h"

namespace {

using namespace miv;

struct Character {
    std::size_t firstBit;
    std::size_t bits;
};

struct Message {
    std::vector<std::uint8_t> bits;  // the text's data bits, then the end marker as tail
    std::vector<Character> characters;
};

Message encodeText(const std::string& text, bool sixBit)
{
    Message m;
    for (const char c : text) {
        const std::uint8_t value = MapCharacter(static_cast<unsigned char>(c), sixBit);
        if (sixBit && value == 0)
            continue;
        const std::string code = sixBit ? sixBitField(value) : std::string(VaricodeTable[value]);
        m.characters.push_back({m.bits.size(), code.size()});
        for (const char b : code)
            m.bits.push_back(b == '1');
    }
    // The tail protects the last characters as the end marker does on air.
    for (int i = 0; i < 8; ++i)
        m.bits.push_back(0);
    for (const std::uint8_t b : EndMarkerA)
        m.bits.push_back(b);
    if (m.bits.size() % 2 != 0)
        m.bits.push_back(0);
    return m;
}

double logI0(double x)
{
    if (x < 600)
        return std::log(std::cyl_bessel_i(0.0, x));
    return x - 0.5 * std::log(2 * std::numbers::pi * x);  // the asymptote, where I0 overflows
}

// Decoded data bits of one message sent at Eb/N0 (linear).
std::vector<std::uint8_t> sendAndDecode(const Message& m, double ebN0, std::mt19937_64& random)
{
    const double es = 2 * ebN0;  // N0 = 1
    std::normal_distribution<double> gauss(0, std::sqrt(0.5));
    std::uniform_real_distribution<double> phase(0, 2 * std::numbers::pi);

    ConvolutionalEncoder encoder;
    const std::size_t steps = m.bits.size() / 2;
    std::vector<std::array<double, 16>> toneMetric(steps);
    for (std::size_t s = 0; s < steps; ++s) {
        const auto a = encoder.encode(m.bits[2 * s]);
        const auto b = encoder.encode(m.bits[2 * s + 1]);
        const int tone = GrayTone[symbolValue(a.first, a.second, b.first, b.second)];
        const double theta = phase(random);
        for (int k = 0; k < 16; ++k) {
            double re = gauss(random);
            double im = gauss(random);
            if (k == tone) {
                re += std::sqrt(es) * std::cos(theta);
                im += std::sqrt(es) * std::sin(theta);
            }
            toneMetric[s][static_cast<std::size_t>(k)] = logI0(2 * std::sqrt(es) * std::hypot(re, im));
        }
    }

    // Viterbi over the whole message from the cleared register.
    constexpr double kUnreached = -1e300;
    std::array<double, 64> metric{};
    metric.fill(kUnreached);
    metric[0] = 0;
    std::vector<std::array<std::uint8_t, 64>> from(steps);
    for (std::size_t s = 0; s < steps; ++s) {
        std::array<double, 64> next{};
        for (std::size_t state = 0; state < 64; ++state) {
            const TrellisState& t = TrellisTable[state];
            double best = kUnreached;
            for (std::size_t j = 0; j < 4; ++j) {
                if (metric[t.predecessor[j]] == kUnreached)
                    continue;
                const double candidate = metric[t.predecessor[j]] + toneMetric[s][GrayTone[t.branchSymbol[j]]];
                if (candidate > best) {
                    best = candidate;
                    from[s][state] = t.predecessor[j];
                }
            }
            next[state] = best;
        }
        metric = next;
    }
    std::size_t state = static_cast<std::size_t>(std::max_element(metric.begin(), metric.end()) - metric.begin());
    std::vector<std::uint8_t> bits(m.bits.size());
    for (std::size_t s = steps; s-- > 0;) {
        bits[2 * s] = TrellisTable[state].firstBit;
        bits[2 * s + 1] = TrellisTable[state].secondBit;
        state = from[s][state];
    }
    return bits;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app("Ideal non-coherent 16-FSK with the rate-1/2, K = 7 code: message copy against Eb/N0");
    int messages = 2000;
    double from = 1;
    double to = 5;
    std::uint64_t seed = 1;
    app.add_option("--messages", messages, "Messages per Eb/N0 and code")->check(CLI::PositiveNumber);
    app.add_option("--from", from, "Lowest Eb/N0, dB");
    app.add_option("--to", to, "Highest Eb/N0, dB");
    app.add_option("--seed", seed, "Noise seed");
    CLI11_PARSE(app, argc, argv);

    std::printf("code,ebn0_db,bit_error_rate,copied,mean_cer\n");
    std::string summary;
    for (const bool sixBit : {false, true}) {
        // The thresholds are read off as the sweep reads its curves, with Eb/N0 for SNR.
        sweep::ModeResult curve{nullptr, Decoder::Standard, {}, {}, {}};
        std::vector<Message> encoded;
        for (const auto& text : sweep::messageTexts())
            encoded.push_back(encodeText(text, sixBit));
        for (double db = from; db <= to + 1e-9; db += 0.25) {
            std::mt19937_64 random(seed + static_cast<std::uint64_t>(std::lround(db * 100)) + (sixBit ? 7919 : 0));
            long bitErrors = 0;
            long bitCount = 0;
            int copied = 0;
            double cerSum = 0;
            for (int i = 0; i < messages; ++i) {
                const Message& m = encoded[static_cast<std::size_t>(i) % encoded.size()];
                const auto bits = sendAndDecode(m, std::pow(10.0, db / 10), random);
                const std::size_t textBits = m.characters.back().firstBit + m.characters.back().bits;
                int wrong = 0;
                for (const Character& c : m.characters) {
                    bool bad = false;
                    for (std::size_t b = c.firstBit; b < c.firstBit + c.bits; ++b)
                        bad = bad || bits[b] != m.bits[b];
                    wrong += bad;
                }
                for (std::size_t b = 0; b < textBits; ++b)
                    bitErrors += bits[b] != m.bits[b];
                bitCount += static_cast<long>(textBits);
                const double cer = static_cast<double>(wrong) / static_cast<double>(m.characters.size());
                copied += cer < 0.1;
                cerSum += cer;
            }
            std::printf("%s,%.2f,%.3e,%.4f,%.5f\n", sixBit ? "6-bit" : "varicode", db,
                        static_cast<double>(bitErrors) / static_cast<double>(bitCount),
                        static_cast<double>(copied) / messages, cerSum / messages);
            sweep::PointSummary point;
            point.snrDb = db;
            point.trials = messages;
            point.copied = copied;
            point.cerSum = cerSum;
            curve.points.push_back(point);
        }
        // SNR in 2500 Hz = Eb/N0 + 10·log10(Rb / 2500), Rb two data bits per symbol.
        const double rate = sixBit ? 2 * 0.9765625 : 2 * 15.625;
        const double toSnr = 10 * std::log10(rate / 2500);
        const auto copy = sweep::copyThreshold(curve);
        const auto cer = sweep::cerThreshold(curve, 0.01);
        char line[200];
        std::snprintf(line, sizeof line,
                      "%s at %g bit/s: 50 %% copied at Eb/N0 %.2f dB (SNR %.1f dB), CER 1 %% at Eb/N0 %.2f dB "
                      "(SNR %.1f dB)\n",
                      sixBit ? "6-bit alphabet" : "varicode", rate, copy.value_or(NAN), copy.value_or(NAN) + toSnr,
                      cer.value_or(NAN), cer.value_or(NAN) + toSnr);
        summary += line;
    }
    std::fputs(summary.c_str(), stderr);
    return 0;
}
