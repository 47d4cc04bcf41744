#include "platform/audio/PulseAudio.h"

#include <pulse/pulseaudio.h>
#include <pulse/simple.h>

#include "platform/audio/ThreadedAudio.h"

namespace miv {

namespace {

constexpr const char* kClientName = "MIV";
constexpr pa_usec_t kListTimeout = 2'000'000;  // a server that does not answer in 2 s is not there
constexpr std::uint32_t kBlockBytes = kBlockSamples * sizeof(std::int16_t);

constexpr pa_sample_spec kFormat{PA_SAMPLE_S16LE, kSampleRate, 1};

struct ListRequest {
    pa_mainloop* loop = nullptr;
    bool timedOut = false;
    bool ready = false;
    bool failed = false;
    int pending = 0;
    std::vector<std::pair<std::string, std::string>> sources;
    std::vector<std::pair<std::string, std::string>> sinks;
};

void onContextState(pa_context* context, void* data)
{
    auto* request = static_cast<ListRequest*>(data);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        request->ready = true;
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        request->failed = true;
        break;
    default:
        break;
    }
}

void onTimeout(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* data)
{
    static_cast<ListRequest*>(data)->timedOut = true;
}

void onSource(pa_context*, const pa_source_info* info, int eol, void* data)
{
    auto* request = static_cast<ListRequest*>(data);
    if (eol != 0) {
        --request->pending;
        return;
    }
    request->sources.emplace_back(info->name, info->description ? info->description : info->name);
}

void onSink(pa_context*, const pa_sink_info* info, int eol, void* data)
{
    auto* request = static_cast<ListRequest*>(data);
    if (eol != 0) {
        --request->pending;
        return;
    }
    request->sinks.emplace_back(info->name, info->description ? info->description : info->name);
}

// Runs the loop until `done` holds, the server fails or the time is up.
template <typename Done>
bool runUntil(ListRequest& request, Done done)
{
    while (!done()) {
        if (request.failed || request.timedOut || pa_mainloop_iterate(request.loop, 1, nullptr) < 0)
            return false;
    }
    return true;
}

ListRequest listServerDevices()
{
    ListRequest request;
    request.loop = pa_mainloop_new();
    pa_mainloop_api* api = pa_mainloop_get_api(request.loop);
    timeval deadline{};
    pa_timeval_add(pa_gettimeofday(&deadline), kListTimeout);
    pa_time_event* timer = api->time_new(api, &deadline, onTimeout, &request);
    pa_context* context = pa_context_new(api, kClientName);
    pa_context_set_state_callback(context, onContextState, &request);
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 &&
        runUntil(request, [&] { return request.ready; })) {
        request.pending = 2;
        pa_operation* sources = pa_context_get_source_info_list(context, onSource, &request);
        pa_operation* sinks = pa_context_get_sink_info_list(context, onSink, &request);
        runUntil(request, [&] { return request.pending <= 0; });
        if (sources)
            pa_operation_unref(sources);
        if (sinks)
            pa_operation_unref(sinks);
        pa_context_disconnect(context);
    }
    pa_context_unref(context);
    api->time_free(timer);
    pa_mainloop_free(request.loop);
    return request;
}

class PulseCaptureStream final : public CaptureStream {
public:
    explicit PulseCaptureStream(pa_simple* stream) : stream_(stream) {}
    ~PulseCaptureStream() override { pa_simple_free(stream_); }
    PulseCaptureStream(const PulseCaptureStream&) = delete;  // owns the connection
    PulseCaptureStream& operator=(const PulseCaptureStream&) = delete;

    bool read(AudioBlock& block) override
    {
        int error = 0;
        return pa_simple_read(stream_, block.data(), kBlockBytes, &error) >= 0;
    }

private:
    pa_simple* stream_;
};

class PulsePlaybackStream final : public PlaybackStream {
public:
    explicit PulsePlaybackStream(pa_simple* stream) : stream_(stream) {}
    ~PulsePlaybackStream() override { pa_simple_free(stream_); }
    PulsePlaybackStream(const PulsePlaybackStream&) = delete;  // owns the connection
    PulsePlaybackStream& operator=(const PulsePlaybackStream&) = delete;

    bool write(const AudioBlock& block) override
    {
        int error = 0;
        return pa_simple_write(stream_, block.data(), kBlockBytes, &error) >= 0;
    }

    void discard() override
    {
        int error = 0;
        pa_simple_flush(stream_, &error);
    }

private:
    pa_simple* stream_;
};

pa_simple* connect(pa_stream_direction_t direction, const std::string& device)
{
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = static_cast<std::uint32_t>(-1);
    // Capture arrives a block at a time; playback holds two blocks in the server, so a
    // written block waits for the device and the transmitter keeps the device's pace.
    attributes.fragsize = kBlockBytes;
    attributes.tlength = 2 * kBlockBytes;
    int error = 0;
    return pa_simple_new(nullptr, kClientName, direction, device.empty() ? nullptr : device.c_str(),
                         direction == PA_STREAM_RECORD ? "Receive" : "Transmit", &kFormat, nullptr, &attributes,
                         &error);
}

}  // namespace

void PulseAudioDevices::refresh()
{
    const ListRequest request = listServerDevices();
    sources_.clear();
    sinks_.clear();
    for (const auto& [name, description] : request.sources)
        sources_.push_back({name, description});
    for (const auto& [name, description] : request.sinks)
        sinks_.push_back({name, description});
    listed_ = true;
}

std::vector<std::string> PulseAudioDevices::names(const std::vector<Device>& devices)
{
    std::vector<std::string> descriptions{kDefaultAudioDevice};
    for (const Device& device : devices)
        descriptions.push_back(device.description);
    return distinctDeviceNames(descriptions);
}

std::string PulseAudioDevices::serverName(const std::vector<Device>& devices, int position)
{
    // Position 0 is "Default"; the server's devices follow it.
    if (position < 1 || position > static_cast<int>(devices.size()))
        return {};
    return devices[static_cast<std::size_t>(position - 1)].name;
}

std::vector<std::string> PulseAudioDevices::captureDevices()
{
    refresh();
    return names(sources_);
}

std::vector<std::string> PulseAudioDevices::playbackDevices()
{
    refresh();
    return names(sinks_);
}

std::unique_ptr<AudioSource> PulseAudioDevices::makeSource(int position)
{
    if (!listed_ && position > 0)
        refresh();
    const std::string device = serverName(sources_, position);
    return std::make_unique<ThreadedSource>([device]() -> std::unique_ptr<CaptureStream> {
        pa_simple* stream = connect(PA_STREAM_RECORD, device);
        return stream ? std::make_unique<PulseCaptureStream>(stream) : nullptr;
    });
}

std::unique_ptr<AudioSink> PulseAudioDevices::makeSink(int position)
{
    if (!listed_ && position > 0)
        refresh();
    const std::string device = serverName(sinks_, position);
    return std::make_unique<ThreadedSink>([device]() -> std::unique_ptr<PlaybackStream> {
        pa_simple* stream = connect(PA_STREAM_PLAYBACK, device);
        return stream ? std::make_unique<PulsePlaybackStream>(stream) : nullptr;
    });
}

}  // namespace miv
