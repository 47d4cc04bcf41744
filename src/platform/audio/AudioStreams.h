#pragma once

#include <functional>
#include <memory>

#include "platform/AudioBlock.h"

namespace miv {

// A device seen from its own audio thread: calls block for about one block's time,
// as a sound card does. A false result means the stream has failed.
class CaptureStream {
public:
    virtual ~CaptureStream() = default;
    virtual bool read(AudioBlock& block) = 0;
};

class PlaybackStream {
public:
    virtual ~PlaybackStream() = default;
    virtual bool write(const AudioBlock& block) = 0;
    // Drops audio the device still holds, so nothing more is heard once it returns.
    virtual void discard() {}
};

// Open a stream, or give nothing when the device is not available.
using CaptureStreamFactory = std::function<std::unique_ptr<CaptureStream>()>;
using PlaybackStreamFactory = std::function<std::unique_ptr<PlaybackStream>()>;

}  // namespace miv
