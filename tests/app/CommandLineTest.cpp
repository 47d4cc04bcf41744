// miv-cli rx and channel as a user runs them, pipelines included.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "app/cli/ExitCodes.h"
#include "platform/audio/AudioFileReader.h"
#include "rx/RxTestSupport.h"

namespace miv::test {
namespace {

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

class CommandLineTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = std::filesystem::temp_directory_path() / ("miv-cli-" + std::to_string(::getpid()) + "-" +
                                                         testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    // Runs a shell command line in which MIV stands for the program.
    Outcome run(std::string line) const
    {
        const std::string program = std::string(MIV_BINARY_DIR) + "/src/app/miv-cli";
        for (std::size_t at = 0; (at = line.find("MIV", at)) != std::string::npos;)
            line.replace(at, 3, program);
        const std::string errFile = path("stderr");
        FILE* pipe = ::popen(("(" + line + ") 2>" + errFile).c_str(), "r");
        std::string out;
        std::array<char, 4096> buffer{};
        std::size_t n = 0;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            out.append(buffer.data(), n);
        const int status = ::pclose(pipe);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, readTextFile(errFile)};
    }

    std::filesystem::path dir_;
};

TEST_F(CommandLineTest, PrintsTheReceiveWindowAsTheOperatorSeesIt)
{
    const Outcome r = run("MIV rx --utc 12:00 --bw 500 " + vectorPath("hf500-16.noisy.flac"));
    EXPECT_EQ(r.exitCode, cli::kExitOk) << r.err;
    EXPECT_EQ(r.out, readTextFile(vectorPath("hf500-16.noisy.expected.txt")));
}

TEST_F(CommandLineTest, PrintsOneJsonObjectPerMessage)
{
    const Outcome r = run("MIV rx --json --utc 12:00 " + vectorPath("hf2250-16.noisy.flac"));
    ASSERT_EQ(r.exitCode, cli::kExitOk) << r.err;
    ASSERT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["text"], "CQ CQ de G4ABC G4ABC pse k");
    EXPECT_EQ(j["time"], "12:00");
    EXPECT_EQ(j["frequency_shift"], 23.4375);
    EXPECT_FALSE(j["cancelled"].get<bool>());
    EXPECT_GE(j["frame_acquisition"].get<int>(), 14);
    EXPECT_GE(j["final_acquisition"].get<int>(), 8);
    EXPECT_LE(j["viterbi_errors"].get<int>(), 50);
    EXPECT_LT(j["metric"].get<double>(), 0);
    EXPECT_LT(j["volume"].get<double>(), 0);
}

TEST_F(CommandLineTest, ChannelPipesIntoTheReceiverThroughStandardStreams)
{
    const Outcome r = run("MIV channel --snr 0 --freq-offset -40 --delay 0.3 --seed 9 " + vectorPath("hf2250-16.flac") +
                          " -o - | MIV rx --utc 12:00 -");
    EXPECT_EQ(r.exitCode, cli::kExitOk) << r.err;
    EXPECT_EQ(r.out, "\nRX: <12:00 UTC> <-39.1 Hz.> CQ CQ de G4ABC G4ABC pse k <STOP>\n");
}

TEST_F(CommandLineTest, ChannelWritesTheSameFileForTheSameSeed)
{
    const std::string input = vectorPath("hf500-16.flac");
    ASSERT_EQ(run("MIV channel --snr 5 --seed 3 " + input + " -o " + path("a.wav")).exitCode, cli::kExitOk);
    ASSERT_EQ(run("MIV channel --snr 5 --seed 3 " + input + " -o " + path("b.flac")).exitCode, cli::kExitOk);
    AudioFileReader wav(path("a.wav"));
    AudioFileReader flac(path("b.flac"));
    EXPECT_EQ(wav.readAll(), flac.readAll());
    // The raw stream holds the same samples as the WAV after its 44-byte header.
    const Outcome raw = run("MIV channel --snr 5 --seed 3 " + input + " -o - | cmp -s - " + path("a.wav") + " 0 44");
    EXPECT_EQ(raw.exitCode, 0);
}

TEST_F(CommandLineTest, ChannelIntoAClosedPipeIsAnOutputError)
{
    // The reader quits at once; the output is far more than a pipe holds.
    const Outcome r =
        run("{ MIV channel --snr 5 " + vectorPath("hf500-16.flac") + " -o -; echo \"exit $?\" >&2; } | true");
    EXPECT_NE(r.err.find("cannot write to standard output"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("exit 4"), std::string::npos) << r.err;
}

TEST_F(CommandLineTest, BadInputIsAMessageAndExitCodeThree)
{
    std::ofstream(path("empty.wav"));
    std::ofstream(path("text.wav")) << "this is not audio at all, just words in a file";
    {
        std::ifstream in(vectorPath("hf500-16.flac"), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(path("cut.flac"), std::ios::binary) << bytes.substr(0, bytes.size() / 3);
    }
    for (const auto& [file, message] :
         std::vector<std::pair<std::string, std::string>>{{path("missing.wav"), "no such file"},
                                                          {path("empty.wav"), "empty"},
                                                          {path("text.wav"), "not a readable audio file"},
                                                          {path("cut.flac"), "truncated"}}) {
        const Outcome r = run("MIV rx --bw 500 " + file);
        EXPECT_EQ(r.exitCode, cli::kExitInputError) << file;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    EXPECT_EQ(run("MIV rx - </dev/null").exitCode, cli::kExitInputError);
    EXPECT_EQ(run("MIV channel --snr 0 " + path("text.wav") + " -o " + path("x.wav")).exitCode, cli::kExitInputError);
    EXPECT_EQ(run("MIV rx --utc 24:00 " + vectorPath("eme.flac")).exitCode, cli::kExitUsage);
}

TEST_F(CommandLineTest, ChannelRefusesSettingsThatAreNotNumbers)
{
    const std::string input = vectorPath("hf500-16.flac");
    for (const std::string settings :
         {"--snr nan", "--snr -inf", "--snr -1e308", "--snr 0 --freq-offset nan", "--snr 0 --delay nan"}) {
        const Outcome r = run("MIV channel " + settings + " " + input + " -o " + path("x.wav"));
        EXPECT_EQ(r.exitCode, cli::kExitUsage) << settings;
        EXPECT_FALSE(std::filesystem::exists(path("x.wav"))) << settings;
    }
}

}  // namespace
}  // namespace miv::test
