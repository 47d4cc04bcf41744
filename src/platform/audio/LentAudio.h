#pragma once

#include "platform/AudioSink.h"
#include "platform/AudioSource.h"

namespace miv {

// Lends a long-lived source to one opening: the device outlives every opening made
// through it, so a recording carries on from one reception to the next.
class LentSource final : public AudioSource {
public:
    explicit LentSource(AudioSource& source) : source_(source) {}
    bool open(int count) override { return source_.open(count); }
    bool slotDone(int slot) override { return source_.slotDone(slot); }
    void read(int slot, AudioBlock& out) const override { source_.read(slot, out); }
    void requeue(int slot) override { source_.requeue(slot); }
    void close() override { source_.close(); }
    bool failed() const override { return source_.failed(); }

private:
    AudioSource& source_;
};

// The same for a long-lived sink.
class LentSink final : public AudioSink {
public:
    explicit LentSink(AudioSink& sink) : sink_(sink) {}
    bool open(int count) override { return sink_.open(count); }
    void queue(int slot, const AudioBlock& block) override { sink_.queue(slot, block); }
    bool slotDone(int slot) const override { return sink_.slotDone(slot); }
    void close() override { sink_.close(); }
    bool failed() const override { return sink_.failed(); }

private:
    AudioSink& sink_;
};

}  // namespace miv
