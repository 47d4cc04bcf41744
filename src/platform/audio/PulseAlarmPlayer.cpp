#include "platform/audio/PulseAlarmPlayer.h"

#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/rtclock.h>
#include <pulse/simple.h>
#include <pulse/timeval.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/audio/AlarmRoute.h"

namespace miv {

namespace {

// A server that accepts the connection and then says nothing must not hold the alarm,
// nor the program's exit, which waits for it.
constexpr pa_usec_t kQueryTimeout = 3 * PA_USEC_PER_SEC;
// A short buffer: with the server's default of about two seconds the alarm would wait
// for the drain to start.
constexpr pa_usec_t kAlarmBuffer = 50 * PA_USEC_PER_MSEC;

// Asks the sound server for its default output; nothing when it cannot be reached.
class DefaultOutputQuery {
public:
    DefaultOutputQuery() : loop_(pa_mainloop_new()) {}
    ~DefaultOutputQuery()
    {
        if (timeout_)
            pa_mainloop_get_api(loop_)->time_free(timeout_);
        if (context_) {
            pa_context_disconnect(context_);
            pa_context_unref(context_);
        }
        if (loop_)
            pa_mainloop_free(loop_);
    }
    DefaultOutputQuery(const DefaultOutputQuery&) = delete;
    DefaultOutputQuery& operator=(const DefaultOutputQuery&) = delete;

    std::optional<OutputDevice> run()
    {
        if (!loop_ || !connect())
            return std::nullopt;
        if (!wait(pa_context_get_server_info(context_, &DefaultOutputQuery::onServerInfo, this)) ||
            result_.name.empty())
            return std::nullopt;
        if (!wait(pa_context_get_sink_info_by_name(context_, result_.name.c_str(), &DefaultOutputQuery::onSinkInfo,
                                                   this)))
            return std::nullopt;
        return result_;
    }

private:
    bool connect()
    {
        context_ = pa_context_new(pa_mainloop_get_api(loop_), "MIV alarm");
        if (!context_)
            return false;
        timeout_ =
            pa_context_rttime_new(context_, pa_rtclock_now() + kQueryTimeout, &DefaultOutputQuery::onTimeout, this);
        if (!timeout_ || pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            return false;
        for (;;) {
            const pa_context_state_t state = pa_context_get_state(context_);
            if (state == PA_CONTEXT_READY)
                return true;
            if (!PA_CONTEXT_IS_GOOD(state) || !iterate())
                return false;
        }
    }

    bool wait(pa_operation* operation)
    {
        if (!operation)
            return false;
        bool ok = true;
        while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING) {
            if (!iterate()) {
                ok = false;
                break;
            }
        }
        pa_operation_unref(operation);
        return ok;
    }

    // Waits for the next event; false once the loop fails or the time is up.
    bool iterate() { return pa_mainloop_iterate(loop_, 1, nullptr) >= 0 && !timedOut_; }

    static void onTimeout(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self)
    {
        static_cast<DefaultOutputQuery*>(self)->timedOut_ = true;
    }

    static void onServerInfo(pa_context*, const pa_server_info* info, void* self)
    {
        if (info && info->default_sink_name)
            static_cast<DefaultOutputQuery*>(self)->result_.name = info->default_sink_name;
    }

    static void onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* self)
    {
        if (eol == 0 && info && info->description)
            static_cast<DefaultOutputQuery*>(self)->result_.description = info->description;
    }

    pa_mainloop* loop_;
    pa_context* context_ = nullptr;
    pa_time_event* timeout_ = nullptr;
    bool timedOut_ = false;
    OutputDevice result_;
};

bool playOn(const std::string& sink, const std::vector<std::int16_t>& samples)
{
    const pa_sample_spec format{PA_SAMPLE_S16LE, kAlarmSampleRate, 1};
    constexpr std::uint32_t kDefault = static_cast<std::uint32_t>(-1);
    const pa_buffer_attr buffer{kDefault, static_cast<std::uint32_t>(pa_usec_to_bytes(kAlarmBuffer, &format)), kDefault,
                                kDefault, kDefault};
    int error = 0;
    pa_simple* stream =
        pa_simple_new(nullptr, "MIV", PA_STREAM_PLAYBACK, sink.c_str(), "Alarm", &format, nullptr, &buffer, &error);
    if (!stream)
        return false;
    const bool ok = pa_simple_write(stream, samples.data(), samples.size() * sizeof samples[0], &error) == 0 &&
                    pa_simple_drain(stream, &error) == 0;
    pa_simple_free(stream);
    return ok;
}

}  // namespace

PulseAlarmPlayer::PulseAlarmPlayer(std::function<void()> beep) : beep_(std::move(beep))
{
}

PulseAlarmPlayer::~PulseAlarmPlayer()
{
    if (worker_.joinable())
        worker_.join();
}

void PulseAlarmPlayer::play(std::span<const AlarmTone> tones, const std::string& transmitDevice)
{
    if (sounding_.exchange(true))
        return;
    if (worker_.joinable())
        worker_.join();
    worker_ = std::thread([this, samples = renderAlarm(tones), transmitDevice] {
        const std::optional<OutputDevice> output = DefaultOutputQuery().run();
        const bool played = alarmMayUseDefaultOutput(output, transmitDevice) && playOn(output->name, samples);
        if (!played && beep_)
            beep_();
        sounding_ = false;
    });
}

}  // namespace miv
