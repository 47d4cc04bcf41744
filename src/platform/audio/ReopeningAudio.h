#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/AudioDevices.h"

namespace miv {

// A capture device chosen anew at every opening: the receiver keeps one source for its
// whole life while the operator may choose another sound card between two openings.
class ReopeningSource final : public AudioSource {
public:
    using Factory = std::function<std::unique_ptr<AudioSource>()>;
    explicit ReopeningSource(Factory open) : open_(std::move(open)) {}

    bool open(int slots) override;
    bool slotDone(int slot) override { return device_ && device_->slotDone(slot); }
    void read(int slot, AudioBlock& out) const override;
    void requeue(int slot) override;
    void close() override;
    bool failed() const override { return device_ && device_->failed(); }

    bool isOpen() const { return device_ != nullptr; }

private:
    Factory open_;
    std::unique_ptr<AudioSource> device_;
};

// The same for the playback device, chosen at the start of every transmission.
class ReopeningSink final : public AudioSink {
public:
    using Factory = std::function<std::unique_ptr<AudioSink>()>;
    explicit ReopeningSink(Factory open) : open_(std::move(open)) {}

    bool open(int slots) override;
    void queue(int slot, const AudioBlock& block) override;
    bool slotDone(int slot) const override { return device_ && device_->slotDone(slot); }
    void close() override;
    bool failed() const override { return device_ && device_->failed(); }

    bool isOpen() const { return device_ != nullptr; }

private:
    Factory open_;
    std::unique_ptr<AudioSink> device_;
};

// The machine's sound devices with a recording standing in for the capture devices, a
// file for the playback devices, or both: the dialog then lists the stand-in by its
// name alone, and every opening reaches the same recording or file, which carry on
// from one opening to the next.
class StandInAudioDevices final : public AudioDevices {
public:
    explicit StandInAudioDevices(AudioDevices& devices) : devices_(devices) {}

    void replaceCapture(std::string name, std::unique_ptr<AudioSource> recording);
    void replacePlayback(std::string name, std::unique_ptr<AudioSink> file);

    std::vector<std::string> captureDevices() override;
    std::vector<std::string> playbackDevices() override;
    std::unique_ptr<AudioSource> makeSource(int position) override;
    std::unique_ptr<AudioSink> makeSink(int position) override;

private:
    AudioDevices& devices_;
    std::string captureName_;
    std::unique_ptr<AudioSource> recording_;
    std::string playbackName_;
    std::unique_ptr<AudioSink> file_;
};

}  // namespace miv
