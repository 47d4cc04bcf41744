#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "logbook/AdifReader.h"
#include "platform/TestDirectory.h"
#include "platform/logbook/FileLogFiles.h"
#include "platform/logbook/UdpDatagramSender.h"
#include "platform/logbook/UdpListener.h"

namespace miv {
namespace {

std::string record(const std::string& call, int n)
{
    const std::string serial = std::to_string(n);
    return "<CALL:" + std::to_string(call.size()) + ">" + call + " <QSO_DATE:8>20261207 <TIME_ON:4>1200 <MODE:4>MFSK " +
           "<SRX:" + std::to_string(serial.size()) + ">" + serial + " <EOR>\n";
}

TEST(FileLogFiles, TheHeaderOnceThenRecordsOnlyEverAppended)
{
    test::TestDirectory dir;
    const std::string path = dir / "new/deeper/miv_log.adi";
    FileLogFiles files;
    ASSERT_TRUE(files.append(path, "header\n<EOH>\n", record("K1ABC", 1)));
    ASSERT_TRUE(files.append(path, "header\n<EOH>\n", record("W1AW", 2)));
    EXPECT_EQ(test::readFile(path), "header\n<EOH>\n" + record("K1ABC", 1) + record("W1AW", 2));

    std::ofstream(dir / "blocker") << "a file where a directory should be";
    const LogAppend refused = files.append(dir / "blocker/miv_log.adi", "", "x");
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.error.find("could not be"), std::string::npos);
}

TEST(FileLogFiles, AnotherProgramAppendingMeanwhileLosesNothing)
{
    test::TestDirectory dir;
    const std::string path = dir / "shared.adi";
    constexpr int kEach = 100;  // each of ours is fsync'd
    FileLogFiles files;
    ASSERT_TRUE(files.append(path, "shared log\n<EOH>\n", record("MIV", 0)));
    // The other program: one record per write(), as a careful logger appends.
    std::thread other([&] {
        const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
        for (int n = 1; n <= kEach; ++n) {
            const std::string text = record("OTHER", n);
            EXPECT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        }
        ::close(fd);
    });
    for (int n = 1; n <= kEach; ++n)
        ASSERT_TRUE(files.append(path, "a second header would be a fault\n<EOH>\n", record("MIV", n)));
    other.join();

    const AdifLog log = readAdif(test::readFile(path));
    EXPECT_TRUE(log.problems.empty());
    ASSERT_EQ(log.records.size(), 2u * kEach + 1);
    int mine = 0;
    for (const ReadRecord& r : log.records)
        mine += r.record.get("CALL") == "MIV";
    EXPECT_EQ(mine, kEach + 1);
}

TEST(Datagrams, TargetsAsOperatorsTypeThem)
{
    DatagramTarget target;
    EXPECT_TRUE(parseDatagramTarget("report.pskreporter.info:4739", target));
    EXPECT_EQ(target, (DatagramTarget{"report.pskreporter.info", 4739}));
    EXPECT_TRUE(parseDatagramTarget("[::1]:2333", target));
    EXPECT_EQ(target.host, "::1");
    for (const char* bad : {"", "host", "host:", ":2333", "host:0", "host:65536", "host:23x", "::1:2333"})
        EXPECT_FALSE(parseDatagramTarget(bad, target)) << bad;
}

TEST(UdpDatagramSender, DatagramsArriveWholeAndInOrder)
{
    test::UdpListener listener;
    {
        UdpDatagramSender sender;
        sender.send({"127.0.0.1", listener.port()}, {1, 2, 3});
        sender.send({"localhost", listener.port()}, {4, 5});
        sender.send({"no-such-host.invalid", 9}, {6});  // dropped, nothing else suffers
    }
    EXPECT_EQ(listener.receive(), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(listener.receive(), (std::vector<std::uint8_t>{4, 5}));
}

}  // namespace
}  // namespace miv
