#include "platform/cpu/ProcStatProcessorTimes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace miv {
namespace {

class ProcStatFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = std::filesystem::temp_directory_path() /
               ("miv-proc-stat-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override { std::filesystem::remove(path); }
    void write(const std::string& text) { std::ofstream(path) << text; }

    std::filesystem::path path;
};

TEST_F(ProcStatFile, ReadsEveryProcessorLineInOrder)
{
    write(
        "cpu  400 0 200 1000 40 0 0 0 0 0\n"
        "cpu0 100 5 50 300 10 3 2 1 7 0\n"
        "cpu1 200 0 100 200 0 0 0 0 0 0\n"
        "cpu2 1 0 0 9\n"
        "cpu3 0 0 0 0 0 0 0 0 0 0\n"
        "intr 12345 0 0\n"
        "ctxt 999\n");
    ProcStatProcessorTimes times(path.string());
    ASSERT_TRUE(times.collect());
    ASSERT_EQ(times.processorCount(), 4);
    // busy = user + nice + system + irq + softirq + steal; idle adds idle + iowait.
    const auto cpu0 = times.ticks(0);
    ASSERT_TRUE(cpu0);
    EXPECT_EQ(cpu0->busy, 100u + 5 + 50 + 3 + 2 + 1);
    EXPECT_EQ(cpu0->total, cpu0->busy + 300 + 10);
    EXPECT_EQ(times.ticks(2)->busy, 1u);  // an old kernel's four fields
    EXPECT_EQ(times.ticks(2)->total, 10u);
    EXPECT_FALSE(times.ticks(4));
}

TEST_F(ProcStatFile, UnreadableLineAndMissingFile)
{
    write("cpu0 12 x 3 4\ncpu1 1 2 3 4\n");
    ProcStatProcessorTimes times(path.string());
    ASSERT_TRUE(times.collect());
    EXPECT_EQ(times.processorCount(), 2);
    EXPECT_FALSE(times.ticks(0));
    EXPECT_TRUE(times.ticks(1));

    ProcStatProcessorTimes missing((path / "absent").string());
    EXPECT_FALSE(missing.collect());
}

TEST(ProcStat, TheKernelsOwnFileParses)
{
    ProcStatProcessorTimes times;
    ASSERT_TRUE(times.collect());
    ASSERT_GE(times.processorCount(), 1);
    const auto cpu0 = times.ticks(0);
    ASSERT_TRUE(cpu0);
    EXPECT_LE(cpu0->busy, cpu0->total);
}

}  // namespace
}  // namespace miv
