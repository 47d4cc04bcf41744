#include "platform/cpu/ProcStatProcessorTimes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace miv {
namespace {

TEST(ProcStatProcessorTimes, ReadsEveryProcessorLineInOrder)
{
    const auto path = std::filesystem::temp_directory_path() / ("miv-proc-stat-" + std::to_string(::getpid()));
    std::ofstream(path) << "cpu  400 0 200 1000 40 0 0 0 0 0\n"
                           "cpu0 100 5 50 300 10 3 2 1 7 0\n"
                           "cpu1 12 x 3 4\n"
                           "cpu2 1 0 0 9\n"
                           "intr 12345 0 0\n";
    ProcStatProcessorTimes times(path.string());
    ASSERT_TRUE(times.collect());
    std::filesystem::remove(path);
    ASSERT_EQ(times.processorCount(), 3);
    // busy = user + nice + system + irq + softirq + steal (guest is in user); the total
    // adds idle and iowait.
    EXPECT_EQ(times.ticks(0)->busy, 100u + 5 + 50 + 3 + 2 + 1);
    EXPECT_EQ(times.ticks(0)->total, times.ticks(0)->busy + 300 + 10);
    EXPECT_FALSE(times.ticks(1));         // not numbers
    EXPECT_EQ(times.ticks(2)->busy, 1u);  // an old kernel's four fields
    EXPECT_EQ(times.ticks(2)->total, 10u);
    EXPECT_FALSE(times.ticks(3) || times.ticks(-1));
    EXPECT_FALSE(ProcStatProcessorTimes(path.string()).collect());  // gone

    ProcStatProcessorTimes kernel;
    ASSERT_TRUE(kernel.collect());
    ASSERT_GE(kernel.processorCount(), 1);
    EXPECT_LE(kernel.ticks(0)->busy, kernel.ticks(0)->total);
}

}  // namespace
}  // namespace miv
