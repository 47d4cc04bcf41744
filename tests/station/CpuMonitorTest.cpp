#include "station/CpuMonitor.h"

#include <gtest/gtest.h>

#include <vector>

namespace miv {
namespace {

// Readings handed out one collect() at a time; a missing entry is an unreadable line.
class ScriptedTimes final : public ProcessorTimes {
public:
    using Reading = std::vector<std::optional<ProcessorTicks>>;

    bool collect() override
    {
        if (next_ >= script.size())
            return false;
        current_ = script[next_++];
        return current_.has_value();
    }
    int processorCount() const override { return current_ ? static_cast<int>(current_->size()) : 0; }
    std::optional<ProcessorTicks> ticks(int processor) const override
    {
        return (*current_)[static_cast<std::size_t>(processor)];
    }

    std::vector<std::optional<Reading>> script;  // nullopt: the source cannot be read

private:
    std::size_t next_ = 0;
    std::optional<Reading> current_;
};

ProcessorTicks at(std::uint64_t busy, std::uint64_t total)
{
    return {busy, total};
}

// Only the first two processors count, averaged; one processor counts alone.
TEST(CpuMonitor, AveragesAtMostTwoProcessorsSinceTheLastReading)
{
    ScriptedTimes four;
    four.script = {ScriptedTimes::Reading{at(0, 0), at(0, 0), at(0, 0), at(0, 0)},
                   ScriptedTimes::Reading{at(50, 100), at(100, 100), at(0, 100), at(0, 100)}};
    RecordedMessages messages;
    CpuMonitor fourProcessors(four, messages);
    ASSERT_TRUE(fourProcessors.start());
    EXPECT_FLOAT_EQ(fourProcessors.readLoad(), 75.0f);

    ScriptedTimes one;
    one.script = {ScriptedTimes::Reading{at(1000, 5000)}, ScriptedTimes::Reading{at(1070, 5080)},
                  ScriptedTimes::Reading{at(1070, 5080)}};  // no ticks since: nothing to measure
    CpuMonitor oneProcessor(one, messages);
    ASSERT_TRUE(oneProcessor.start());
    EXPECT_FLOAT_EQ(oneProcessor.readLoad(), 87.5f);
    EXPECT_FLOAT_EQ(oneProcessor.readLoad(), 0.0f);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(CpuMonitor, AFailedReadingCountsZeroAndTheNextSpansTheGap)
{
    ScriptedTimes times;
    times.script = {
        ScriptedTimes::Reading{at(0, 0), at(0, 0)},
        ScriptedTimes::Reading{at(40, 100), std::nullopt},
        std::nullopt,
        ScriptedTimes::Reading{at(140, 300), at(100, 400)},
    };
    RecordedMessages messages;
    CpuMonitor monitor(times, messages);
    ASSERT_TRUE(monitor.start());
    EXPECT_FLOAT_EQ(monitor.readLoad(), 20.0f);  // (40 + 0) / 2
    EXPECT_FLOAT_EQ(monitor.readLoad(), 0.0f);   // nothing could be read
    EXPECT_FLOAT_EQ(monitor.readLoad(), 37.5f);  // (50 + 25) / 2
}

TEST(CpuMonitor, FailuresAtStartTellTheOperatorOnce)
{
    struct Case {
        std::optional<ScriptedTimes::Reading> first;
        const char* text;
    };
    const Case cases[] = {
        {std::nullopt, "Windows performance service disabled or broken!"},
        {ScriptedTimes::Reading{}, "CPU usage query failed!"},
        {ScriptedTimes::Reading{at(0, 0), std::nullopt}, "CPU Usage Fail"},
    };
    for (const Case& c : cases) {
        ScriptedTimes times;
        times.script = {c.first, ScriptedTimes::Reading{at(1, 1), at(1, 1)}};
        RecordedMessages messages;
        CpuMonitor monitor(times, messages);
        EXPECT_FALSE(monitor.start()) << c.text;
        ASSERT_EQ(messages.shown.size(), 1u) << c.text;
        EXPECT_EQ(messages.shown[0].text, c.text);
        EXPECT_EQ(messages.shown[0].title, "MIV");
        EXPECT_EQ(monitor.readLoad(), 0.0f);
    }
}

}  // namespace
}  // namespace miv
