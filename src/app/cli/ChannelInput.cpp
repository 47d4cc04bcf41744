#include "app/cli/ChannelInput.h"

#include <unistd.h>

#include <algorithm>

namespace miv::cli {

ChannelInput::~ChannelInput()
{
    if (spool_)
        std::fclose(spool_);
}

bool ChannelInput::rewind()
{
    ++pass_;
    if (path_ != "-") {
        file_ = std::make_unique<AudioFileReader>(path_);
        error_ = file_->error();
        return error_.empty();
    }
    if (pass_ == 1) {
        spool_ = std::tmpfile();
        if (!spool_) {
            error_ = "cannot make a temporary file for standard input";
            return false;
        }
        raw_ = std::make_unique<RawAudioSource>(STDIN_FILENO);
        raw_->open(1);
        return true;
    }
    std::fflush(spool_);
    if (std::fseek(spool_, 0, SEEK_SET) != 0 || std::ferror(spool_)) {
        error_ = "cannot keep standard input in a temporary file";
        return false;
    }
    return true;
}

std::size_t ChannelInput::read(std::span<std::int16_t> block)
{
    if (!error_.empty())
        return 0;
    if (file_) {
        const int n = file_->read(block.data(), static_cast<int>(block.size()));
        error_ = file_->error();
        return error_.empty() ? static_cast<std::size_t>(std::max(n, 0)) : 0;
    }
    if (pass_ == 1)
        return readStandardInput(block);
    return std::fread(block.data(), sizeof(std::int16_t), block.size(), spool_);
}

std::size_t ChannelInput::readStandardInput(std::span<std::int16_t> block)
{
    if (rawUsed_ == rawHave_) {
        if (!raw_->slotDone(0)) {
            error_ = raw_->error();
            if (error_.empty() && rawSamples_ == 0)
                error_ = "no audio on standard input";
            return 0;
        }
        raw_->read(0, rawBlock_);
        raw_->requeue(0);
        // The last block is padded with silence; keep only what arrived.
        const long long total = raw_->bytesRead() / 2;
        rawHave_ = static_cast<std::size_t>(total - rawSamples_);
        rawSamples_ = total;
        rawUsed_ = 0;
        error_ = raw_->error();
        if (!error_.empty())
            return 0;
        if (rawHave_ == 0) {
            if (rawSamples_ == 0)
                error_ = "no audio on standard input";
            return 0;
        }
    }
    const std::size_t n = std::min(block.size(), rawHave_ - rawUsed_);
    std::copy_n(rawBlock_.begin() + static_cast<std::ptrdiff_t>(rawUsed_), n, block.begin());
    rawUsed_ += n;
    if (std::fwrite(block.data(), sizeof(std::int16_t), n, spool_) != n) {
        error_ = "cannot keep standard input in a temporary file";
        return 0;
    }
    return n;
}

}  // namespace miv::cli
