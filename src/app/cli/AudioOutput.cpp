#include "app/cli/AudioOutput.h"

#include <csignal>

namespace miv::cli {

AudioOutput::AudioOutput(const std::string& path) : name_(path == "-" ? "to standard output" : path)
{
    if (path == "-") {
        // A closed pipe is a write error to report, not a signal that kills us.
        std::signal(SIGPIPE, SIG_IGN);
        raw_ = std::make_unique<RawStreamSink>(stdout);
        raw_->open(1);
        return;
    }
    std::string reason;
    file_ = SoundFileSink::create(path, reason);
    if (!file_)
        error_ = "cannot write " + name_ + ": " + reason;
}

AudioSink& AudioOutput::sink()
{
    return file_ ? static_cast<AudioSink&>(*file_) : *raw_;
}

void AudioOutput::write(std::span<const std::int16_t> samples)
{
    if (file_)
        file_->write(samples);
    else if (raw_)
        raw_->write(samples);
}

bool AudioOutput::failed() const
{
    return file_ ? file_->failed() : !raw_ || raw_->failed();
}

bool AudioOutput::finish()
{
    if (ready())
        sink().close();
    if (failed() && error_.empty())
        error_ = "cannot write " + name_ + (file_ ? ": " + file_->error() : "");
    return error_.empty();
}

long long AudioOutput::samplesWritten() const
{
    return file_ ? file_->samplesWritten() : raw_ ? raw_->samplesWritten() : 0;
}

}  // namespace miv::cli
