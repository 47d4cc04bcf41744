// Draws the status displays as the operator sees them during a contact, for docs/:
// the waterfall fed with a recorded transmission, the readout over its initial tone at
// 1500 Hz, and the eight gauges after a lock and the end of the message.
//   displays_picture RECORDING.flac GAIN_DB OUT.png

#include <QApplication>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>


#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "platform/audio/AudioFileReader.h"
#include "station/CursorReadout.h"
#include "station/StatusGauges.h"
#include "station/Waterfall.h"
#include "ui/NeedleGauge.h"
#include "ui/WaterfallView.h"

namespace {

using namespace miv;

// 48 kHz to 8 kHz through a windowed-sinc low-pass, enough for a picture (the receiver
// has its own filter chain).
std::vector<float> decimate(const std::vector<float>& in)
{
    constexpr int kTaps = 63;
    constexpr double kCutoff = 3500.0 / 48000.0;
    std::array<double, kTaps> h{};
    for (int k = 0; k < kTaps; ++k) {
        const double n = k - (kTaps - 1) / 2.0;
        const double sinc =
            n == 0 ? 2 * kCutoff : std::sin(2 * std::numbers::pi * kCutoff * n) / (std::numbers::pi * n);
        h[static_cast<std::size_t>(k)] = sinc * (0.54 - 0.46 * std::cos(2 * std::numbers::pi * k / (kTaps - 1)));
    }
    std::vector<float> out;
    for (std::size_t i = kTaps; i < in.size(); i += 6) {
        double y = 0;
        for (int k = 0; k < kTaps; ++k)
            y += h[static_cast<std::size_t>(k)] * in[i - static_cast<std::size_t>(k)];
        out.push_back(static_cast<float>(y));
    }
    return out;
}

std::vector<float> readRecording(const char* path, float gainDb)
{
    AudioFileReader reader(path);
    const std::vector<std::int16_t> recorded = reader.readAll();
    const float gain = std::pow(10.0f, gainDb / 20.0f);
    std::vector<float> samples;
    samples.reserve(recorded.size());
    for (std::int16_t s : recorded)
        samples.push_back(gain * s);
    return samples;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s RECORDING.flac GAIN_DB OUT.png\n", argv[0]);
        return 2;
    }
    const std::vector<float> audio = decimate(readRecording(argv[1], std::strtof(argv[2], nullptr)));
    if (audio.empty()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }

    QWidget window;
    window.setStyleSheet("background: #d4d0c8;");
    auto* column = new QVBoxLayout(&window);
    auto* waterfallView = new WaterfallView;
    waterfallView->setFixedSize(2 * kWaterfallBins, 90);
    column->addWidget(waterfallView);
    auto* readout = new QLineEdit;
    readout->setReadOnly(true);
    readout->setStyleSheet("background: white;");
    column->addWidget(readout);

    ModeSwitches switches;
    Waterfall waterfall(switches, *waterfallView);
    float peak = 0.0f;
    for (float sample : audio) {
        waterfall.DrawWaterfall(sample);
        peak = std::max(peak, std::fabs(sample));
    }
    const int toneX = 1500 * waterfallView->width() / 3000;
    readout->setText(QString::fromStdString(cursorReadout(toneX, 45, waterfallView->width(), 90, true)));

    StatusGauges gauges(switches);
    gauges.startUp();
    gauges.refreshVolume(peak);
    gauges.showFrequencyShift(0.0f, switches.afcRange());
    gauges.showSymbolSynchronization(1);
    gauges.frameAcquired(17);
    gauges.refreshMetricAndErrors(-6.0f, 4);
    gauges.finalAcquired(13);
    gauges.refreshCpu(23.0f);

    auto* grid = new QGridLayout;
    column->addLayout(grid);
    const Gauge order[] = {Gauge::FrequencyShift,   Gauge::SymbolSynchronization, Gauge::Metric, Gauge::Errors,
                           Gauge::FrameAcquisition, Gauge::FinalAcquisition,      Gauge::Volume, Gauge::Cpu};
    for (int i = 0; i < kGaugeCount; ++i) {
        const GaugeDisplay& shown = gauges.display(order[i]);
        auto* needle = new NeedleGauge;
        needle->setFixedSize(180, 95);
        needle->setValue(shown.needle);
        auto* caption = new QLineEdit(QString::fromStdString(shown.caption));
        caption->setReadOnly(true);
        caption->setStyleSheet(QString("background: #%1;").arg(rgb(shown.background), 6, 16, QChar('0')));
        grid->addWidget(needle, (i / 4) * 2, i % 4, Qt::AlignHCenter);
        grid->addWidget(caption, (i / 4) * 2 + 1, i % 4);
    }

    window.adjustSize();
    return window.grab().save(argv[3]) ? 0 : 1;
}
