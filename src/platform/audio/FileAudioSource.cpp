#include "platform/audio/FileAudioSource.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace miv {

bool FileAudioSource::produce(AudioBlock& block)
{
    const int n = reader_.read(block.data(), kBlockSamples);
    if (n <= 0)
        return false;
    std::fill(block.begin() + n, block.end(), 0);
    return true;
}

bool RawAudioSource::produce(AudioBlock& block)
{
    if (ended_)
        return false;
    std::array<unsigned char, kBlockSamples * 2> bytes{};
    std::size_t have = 0;
    while (have < bytes.size()) {
        const ssize_t n = ::read(fd_, bytes.data() + have, bytes.size() - have);
        if (n > 0) {
            have += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            if (n < 0)
                error_ = std::string("cannot read the input: ") + std::strerror(errno);
            ended_ = true;
            break;
        }
    }
    bytesRead_ += static_cast<long long>(have);
    if (have % 2 != 0 && error_.empty())
        error_ = "the input ends in the middle of a sample";
    const std::size_t samples = have / 2;
    for (std::size_t i = 0; i < samples; ++i)
        block[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
    std::fill(block.begin() + static_cast<std::ptrdiff_t>(samples), block.end(), 0);
    return samples > 0;
}

}  // namespace miv
