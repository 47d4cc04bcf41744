#include "station/CpuMonitor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace miv {
namespace {

using ::testing::ElementsAre;
using ::testing::FloatEq;
using Reading = std::vector<std::optional<ProcessorTicks>>;  // a missing entry is an unreadable line

// Readings handed out one collect() at a time; nullopt: the source cannot be read.
class ScriptedTimes final : public ProcessorTimes {
public:
    explicit ScriptedTimes(std::vector<std::optional<Reading>> script) : script_(std::move(script)) {}

    bool collect() override
    {
        if (next_ >= script_.size())
            return false;
        current_ = script_[next_++];
        return current_.has_value();
    }
    int processorCount() const override { return current_ ? static_cast<int>(current_->size()) : 0; }
    std::optional<ProcessorTicks> ticks(int processor) const override
    {
        return (*current_)[static_cast<std::size_t>(processor)];
    }

private:
    std::vector<std::optional<Reading>> script_;
    std::size_t next_ = 0;
    std::optional<Reading> current_;
};

ProcessorTicks at(std::uint64_t busy, std::uint64_t total)
{
    return {busy, total};
}

// The loads read after a start on the first reading, one per reading after it; the
// operator is told nothing.
std::vector<float> loadsRead(const std::vector<std::optional<Reading>>& script)
{
    ScriptedTimes times(script);
    RecordedMessages messages;
    CpuMonitor monitor(times, messages);
    EXPECT_TRUE(monitor.start());
    std::vector<float> loads;
    for (std::size_t n = 1; n < script.size(); ++n)
        loads.push_back(monitor.readLoad());
    EXPECT_TRUE(messages.shown.empty());
    return loads;
}

// Only the first two processors count, averaged; one processor counts alone.
TEST(CpuMonitor, AveragesAtMostTwoProcessorsSinceTheLastReading)
{
    EXPECT_THAT(loadsRead({Reading{at(0, 0), at(0, 0), at(0, 0), at(0, 0)},
                           Reading{at(50, 100), at(100, 100), at(0, 100), at(0, 100)}}),
                ElementsAre(FloatEq(75)));
    // No ticks since the second reading: nothing to measure.
    EXPECT_THAT(loadsRead({Reading{at(1000, 5000)}, Reading{at(1070, 5080)}, Reading{at(1070, 5080)}}),
                ElementsAre(FloatEq(87.5), FloatEq(0)));
}

// (40 + 0) / 2, then nothing could be read, then (50 + 25) / 2.
TEST(CpuMonitor, AFailedReadingCountsZeroAndTheNextSpansTheGap)
{
    EXPECT_THAT(loadsRead({Reading{at(0, 0), at(0, 0)}, Reading{at(40, 100), std::nullopt}, std::nullopt,
                           Reading{at(140, 300), at(100, 400)}}),
                ElementsAre(FloatEq(20), FloatEq(0), FloatEq(37.5)));
}

TEST(CpuMonitor, FailuresAtStartTellTheOperatorOnce)
{
    const std::pair<std::optional<Reading>, const char*> cases[] = {
        {std::nullopt, "Windows performance service disabled or broken!"},
        {Reading{}, "CPU usage query failed!"},
        {Reading{at(0, 0), std::nullopt}, "CPU Usage Fail"},
    };
    for (const auto& [first, text] : cases) {
        ScriptedTimes times({first, Reading{at(1, 1), at(1, 1)}});
        RecordedMessages messages;
        CpuMonitor monitor(times, messages);
        EXPECT_FALSE(monitor.start()) << text;
        ASSERT_EQ(messages.shown.size(), 1u) << text;
        EXPECT_EQ(messages.shown[0].text, text);
        EXPECT_EQ(messages.shown[0].title, "MIV");
        EXPECT_EQ(monitor.readLoad(), 0.0f);
    }
}

}  // namespace
}  // namespace miv
