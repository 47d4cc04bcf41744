// The reference transmissions were made by a program that shares no code with this
// one; a table wrong in both our halves would still decode against itself, not here.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "rx/RxTestSupport.h"

namespace miv::test {
namespace {

struct VectorCase {
    std::string name;
    StepSettings settings;
};

void PrintTo(const VectorCase& c, std::ostream* os)
{
    *os << c.name;
}

nlohmann::json trace(const std::string& name)
{
    return nlohmann::json::parse(readTextFile(vectorPath(name + ".trace.json")));
}

// LF line ends and no final line break, as in the expected files.
std::string normalised(std::string text)
{
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;)
        text.erase(at, 1);
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

class NoisyVector : public testing::TestWithParam<VectorCase> {};

TEST_P(NoisyVector, ReproducesTheExpectedWindowTextExactly)
{
    const VectorCase& c = GetParam();
    const Decoded decoded = decodeFile(vectorPath(c.name + ".noisy.flac"), c.settings);
    EXPECT_EQ(normalised(decoded.window), normalised(readTextFile(vectorPath(c.name + ".noisy.expected.txt"))));
    ASSERT_EQ(decoded.reports.size(), 1u);
    EXPECT_FALSE(decoded.reports[0].cancelled);
    EXPECT_EQ(decoded.reports[0].receivedText, trace(c.name)["text"].get<std::string>());
}

INSTANTIATE_TEST_SUITE_P(Vectors, NoisyVector,
                         testing::Values(VectorCase{"hf2250-16", {true, false, true, false, true}},
                                         VectorCase{"hf500-16", {false, false, true, false, true}},
                                         VectorCase{"eme", {true, true, true, true, true}}),
                         [](const auto& param) {
                             std::string n = param.param.name;
                             std::erase(n, '-');
                             return n;
                         });

class CleanVector : public testing::TestWithParam<VectorCase> {};

TEST_P(CleanVector, DecodesToTheTracedText)
{
    const VectorCase& c = GetParam();
    const std::string text = trace(c.name)["text"].get<std::string>();
    const Decoded decoded = decodeFile(vectorPath(c.name + ".flac"), c.settings);
    EXPECT_EQ(decoded.window, messageLine("0.0", text));
    ASSERT_EQ(decoded.reports.size(), 1u);
    EXPECT_EQ(decoded.reports[0].receivedText, text);
    EXPECT_EQ(decoded.reports[0].frameScore, 20);
    EXPECT_EQ(decoded.reports[0].finalScore, 16);
    EXPECT_EQ(decoded.reports[0].viterbiErrors, 0);
}

// Every receive step that can hear each vector: the fixed rate, and Auto with the
// symbol-rate switch showing the other rate (the lock switches it).
INSTANTIATE_TEST_SUITE_P(Vectors, CleanVector,
                         testing::Values(VectorCase{"hf2250-16", {true, false, true, false, true}},
                                         VectorCase{"hf2250-16", {true, false, false, true, true}},
                                         VectorCase{"hf500-16", {false, false, true, false, false}},
                                         VectorCase{"hf500-16", {false, false, false, true, true}},
                                         VectorCase{"hf2250-1", {true, false, false, false, false}},
                                         VectorCase{"hf2250-1", {true, false, true, true, true}},
                                         VectorCase{"hf500-1", {false, false, false, false, true}},
                                         VectorCase{"hf500-1", {false, false, true, true, false}},
                                         VectorCase{"eme", {true, true, true, false, true}},
                                         VectorCase{"eme", {false, true, false, true, false}}),
                         [](const auto& param) {
                             std::string n = param.param.name + (param.param.settings.autoBaud ? "_auto" : "_fixed") +
                                             (param.param.settings.afcWide ? "_wide" : "_narrow");
                             std::erase(n, '-');
                             return n + "_" + std::to_string(param.index);
                         });

}  // namespace
}  // namespace miv::test
