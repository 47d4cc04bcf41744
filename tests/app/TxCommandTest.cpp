#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "tx/TxTestSupport.h"
#include "app/cli/Commands.h"
#include "app/cli/ExitCodes.h"
#include "tx/Render.h"

namespace miv {
namespace {

class TxCommand : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const auto& path : made_)
            std::filesystem::remove(path);
    }

    std::string path(const std::string& name)
    {
        made_.push_back(
            (std::filesystem::temp_directory_path() / ("miv-tx-" + std::to_string(::getpid()) + "-" + name)).string());
        return made_.back();
    }

    // Runs `miv-cli tx ARGS...` in-process; stderr and any usage error are kept in `err`.
    int run(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"miv-cli", "tx"});
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        CLI::App app;
        app.require_subcommand(1);
        int exitCode = cli::kExitOk;
        cli::addTxCommand(app, exitCode);
        testing::internal::CaptureStderr();
        std::string usage;
        try {
            app.parse(static_cast<int>(argv.size()), argv.data());
        } catch (const CLI::ParseError& e) {
            exitCode = e.get_exit_code() == 0 ? cli::kExitOk : cli::kExitUsage;
            usage = e.what();
        }
        err = testing::internal::GetCapturedStderr() + usage;
        return exitCode;
    }

    std::string err;

private:
    std::vector<std::string> made_;
};

TEST_F(TxCommand, RendersTheReferenceTransmission)
{
    const std::string out = path("ref.wav");
    ASSERT_EQ(run({"--text", "CQ CQ de G4ABC G4ABC pse k", "--utc", "12:00", "-o", out}), cli::kExitOk) << err;
    EXPECT_EQ(test::readSoundFile(out), test::readSoundFile(std::string(MIV_VECTORS_DIR) + "/hf2250-16.flac"));
    EXPECT_NE(err.find("157 blocks"), std::string::npos) << err;
}

TEST_F(TxCommand, ModeIdleAndLongToneOptions)
{
    const std::string out = path("idle.wav");
    ASSERT_EQ(run({"--bw", "500", "--baud", "1", "--long-tone", "--idle", "2", "--text", "qrz", "-o", out}),
              cli::kExitOk)
        << err;
    ModemMode mode;
    mode.bw2250 = false;
    mode.baud16 = false;
    const auto expected = renderTransmission(mode, "qrz", RenderOptions{true, 2, UtcTime{}}).samples;
    EXPECT_EQ(test::readSoundFile(out), expected);
}

TEST_F(TxCommand, TextFileIsUtf8WithLineEndsSentAsEnter)
{
    const std::string file = path("text.txt");
    std::ofstream(file) << "Grüße\r\n73\n";
    const std::string fromFile = path("file.wav");
    ASSERT_EQ(run({"--text-file", file, "-o", fromFile}), cli::kExitOk) << err;
    const auto expected = renderTransmission(ModemMode{},
                                             "Gr\xFC\xDF"
                                             "e\r73")
                              .samples;
    EXPECT_EQ(test::readSoundFile(fromFile), expected);
}

TEST_F(TxCommand, RefusesACharacterWithNo8BitCode)
{
    const std::string out = path("never.wav");
    EXPECT_EQ(run({"--text", "73 \xE2\x9C\x93 ok", "-o", out}), cli::kExitUnsendable);
    EXPECT_NE(err.find("\xE2\x9C\x93"), std::string::npos) << err;
    EXPECT_NE(err.find("U+2713"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(TxCommand, InputErrors)
{
    EXPECT_EQ(run({"--text", "bad \xC3", "-o", path("a.wav")}), cli::kExitInputError);
    EXPECT_EQ(run({"--text-file", "/nonexistent/text.txt", "-o", path("b.wav")}), cli::kExitInputError);
    EXPECT_NE(err.find("/nonexistent/text.txt"), std::string::npos);
}

TEST_F(TxCommand, UnwritableOutputIsAnOutputError)
{
    EXPECT_EQ(run({"--text", "k", "-o", "/nonexistent-dir/out.wav"}), cli::kExitOutputError);
    EXPECT_NE(err.find("/nonexistent-dir/out.wav"), std::string::npos);
}

TEST_F(TxCommand, UsageErrors)
{
    EXPECT_EQ(run({"--text", "k", "--utc", "24:00", "-o", path("c.wav")}), cli::kExitUsage);
    EXPECT_EQ(run({"--text", "k", "--utc", "9:05", "-o", path("c.wav")}), cli::kExitUsage);
    EXPECT_EQ(run({"--text", "k", "--text-file", "f", "-o", path("c.wav")}), cli::kExitUsage);
    EXPECT_EQ(run({"-o", path("c.wav")}), cli::kExitUsage);
    EXPECT_EQ(run({"--text", "k"}), cli::kExitUsage);
    EXPECT_EQ(run({"--text", "k", "--idle", "-1", "-o", path("c.wav")}), cli::kExitUsage);
    EXPECT_EQ(run({"--text", "k", "--bw", "1000", "-o", path("c.wav")}), cli::kExitUsage);
}

TEST_F(TxCommand, IdleCountIsBoundedWithAShortMessage)
{
    // An output that cannot be made keeps a count that slips through from filling the disk.
    for (const std::string count : {"-1", "1001", "99999999999999999999"}) {
        EXPECT_EQ(run({"--text", "k", "--idle", count, "-o", "/nonexistent-dir/d.wav"}), cli::kExitUsage) << count;
        EXPECT_NE(err.find("0 to 1000"), std::string::npos) << err;
        EXPECT_LT(err.size(), 100u) << err;
    }
}

}  // namespace
}  // namespace miv
