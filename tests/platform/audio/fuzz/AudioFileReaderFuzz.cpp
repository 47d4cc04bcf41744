// libFuzzer target for the audio-file reader: any bytes must end in audio or in a
// message. Built by hand with clang, outside the test build:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I src \
//     tests/platform/audio/fuzz/AudioFileReaderFuzz.cpp src/platform/audio/AudioFileReader.cpp \
//     -lsndfile -lsamplerate -o fuzz_audio_file_reader
//   ./fuzz_audio_file_reader -max_total_time=120 corpus/

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/audio/AudioFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/miv-fuzz-" + std::to_string(::getpid()) + ".audio";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    miv::AudioFileReader reader(path);
    std::int16_t block[3072];
    long long total = 0;
    // Bounded, so a header claiming hours of audio does not stall the run.
    for (int n = 0; (n = reader.read(block, 3072)) > 0 && total < 48000 * 20;)
        total += n;
    return 0;
}
