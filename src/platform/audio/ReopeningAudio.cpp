#include "platform/audio/ReopeningAudio.h"

#include "platform/audio/LentAudio.h"

namespace miv {

bool ReopeningSource::open(int slots)
{
    close();
    device_ = open_();
    if (device_ && device_->open(slots))
        return true;
    device_.reset();
    return false;
}

void ReopeningSource::read(int slot, AudioBlock& out) const
{
    if (device_)
        device_->read(slot, out);
}

void ReopeningSource::requeue(int slot)
{
    if (device_)
        device_->requeue(slot);
}

void ReopeningSource::close()
{
    if (device_)
        device_->close();
    device_.reset();
}

bool ReopeningSink::open(int slots)
{
    close();
    device_ = open_();
    if (device_ && device_->open(slots))
        return true;
    device_.reset();
    return false;
}

void ReopeningSink::queue(int slot, const AudioBlock& block)
{
    if (device_)
        device_->queue(slot, block);
}

void ReopeningSink::close()
{
    if (device_)
        device_->close();
    device_.reset();
}

void StandInAudioDevices::replaceCapture(std::string name, std::unique_ptr<AudioSource> recording)
{
    captureName_ = std::move(name);
    recording_ = std::move(recording);
}

void StandInAudioDevices::replacePlayback(std::string name, std::unique_ptr<AudioSink> file)
{
    playbackName_ = std::move(name);
    file_ = std::move(file);
}

std::vector<std::string> StandInAudioDevices::captureDevices()
{
    return recording_ ? std::vector<std::string>{captureName_} : devices_.captureDevices();
}

std::vector<std::string> StandInAudioDevices::playbackDevices()
{
    return file_ ? std::vector<std::string>{playbackName_} : devices_.playbackDevices();
}

std::unique_ptr<AudioSource> StandInAudioDevices::makeSource(int position)
{
    if (recording_)
        return std::make_unique<LentSource>(*recording_);
    return devices_.makeSource(position);
}

std::unique_ptr<AudioSink> StandInAudioDevices::makeSink(int position)
{
    if (file_)
        return std::make_unique<LentSink>(*file_);
    return devices_.makeSink(position);
}

}  // namespace miv
