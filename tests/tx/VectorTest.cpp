// The reference transmissions in tests/vectors were made by a program that shares no
// code with this one: matching them sample for sample catches a fault that our
// transmitter and receiver would share.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/audio/AudioFileReader.h"
#include "tx/Render.h"

namespace miv {
namespace {

struct Vector {
    std::string name;
    nlohmann::json trace;
    ModemMode mode;
    std::string text;
    RenderOptions options;
};

Vector loadVector(const std::string& name)
{
    Vector v;
    v.name = name;
    std::ifstream in(std::string(MIV_VECTORS_DIR) + "/" + name + ".trace.json");
    v.trace = nlohmann::json::parse(in);
    const auto& m = v.trace["mode"];
    v.mode.bw2250 = m["bw"].get<int>() == 2250;
    v.mode.eme = m["channel"].get<std::string>() == "eme";
    v.mode.baud16 = m["baud"].get<int>() == 16;
    v.text = v.trace["text"].get<std::string>();
    v.options.longInitialTone = v.trace["long_tone"].get<bool>();
    v.options.idleCharacters = v.trace["idle"].is_null() ? 0 : v.trace["idle"].get<long>();
    return v;
}

class ReferenceTransmission : public ::testing::TestWithParam<const char*> {};

TEST_P(ReferenceTransmission, RenderedAudioMatchesSampleForSample)
{
    const Vector v = loadVector(GetParam());
    const auto reference = AudioFileReader(std::string(MIV_VECTORS_DIR) + "/" + v.name + ".flac").readAll();
    ASSERT_FALSE(reference.empty());
    const auto rendered = renderTransmission(v.mode, v.text, v.options).samples;

    ASSERT_EQ(rendered.size(), reference.size());
    EXPECT_EQ(static_cast<long>(rendered.size()), v.trace["end"]["total_samples"].get<long>());
    const auto mismatch = std::mismatch(rendered.begin(), rendered.end(), reference.begin());
    EXPECT_TRUE(mismatch.first == rendered.end()) << "first different sample " << (mismatch.first - rendered.begin())
                                                  << ": " << *mismatch.first << " instead of " << *mismatch.second;
}

INSTANTIATE_TEST_SUITE_P(Vectors, ReferenceTransmission,
                         ::testing::Values("hf2250-16", "hf500-16", "hf2250-1", "hf500-1", "eme"),
                         [](const auto& param) {
                             std::string name = param.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
}  // namespace miv
