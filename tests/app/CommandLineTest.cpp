// miv-cli as a user runs it: the program in a shell, pipelines included, and a headless
// station mailing its reports through an SMTP server the test starts on 127.0.0.1.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "app/cli/ExitCodes.h"
#include "platform/TestDirectory.h"
#include "platform/audio/AudioFileReader.h"
#include "platform/mail/SmtpTestServer.h"
#include "tx/Render.h"

namespace miv::test {
namespace {

using cli::ExitCode;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

int code(ExitCode exitCode)
{
    return static_cast<int>(exitCode);
}

std::vector<std::int16_t> samplesOf(const std::string& path)
{
    AudioFileReader reader(path);
    auto samples = reader.readAll();
    EXPECT_TRUE(reader.ok()) << reader.error();
    return samples;
}

class CommandLine : public testing::Test {
protected:
    std::string path(const std::string& name) const { return dir_ / name; }
    static std::string vector(const std::string& name) { return std::string(MIV_VECTORS_DIR) + "/" + name; }

    // Runs a shell command line in which {miv} stands for the program, {tmp} for the
    // test's directory and {vectors} for the test vectors.
    Outcome run(std::string line) const
    {
        const std::pair<std::string, std::string> names[] = {
            {"{miv}", std::string(MIV_BINARY_DIR) + "/src/app/miv-cli"},
            {"{tmp}", dir_.path().string()},
            {"{vectors}", MIV_VECTORS_DIR}};
        for (const auto& [name, value] : names)
            for (std::size_t at = 0; (at = line.find(name, at)) != std::string::npos; at += value.size())
                line.replace(at, name.size(), value);
        FILE* pipe = ::popen(("(" + line + ") 2>" + path("stderr")).c_str(), "r");
        std::string out;
        std::array<char, 4096> buffer{};
        for (std::size_t n = 0; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
            out.append(buffer.data(), n);
        const int status = ::pclose(pipe);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, readFile(path("stderr"))};
    }

    TestDirectory dir_;
};

TEST_F(CommandLine, TxRendersTheReferenceTransmissionAndEveryOption)
{
    Outcome r = run("{miv} tx --text 'CQ CQ de G4ABC G4ABC pse k' --utc 12:00 -o {tmp}/ref.wav");
    ASSERT_EQ(r.status, code(ExitCode::Ok)) << r.err;
    EXPECT_EQ(samplesOf(path("ref.wav")), samplesOf(vector("hf2250-16.flac")));
    EXPECT_NE(r.err.find("157 blocks"), std::string::npos) << r.err;

    r = run("{miv} tx --bw 500 --baud 1 --long-tone --idle 2 --text qrz -o {tmp}/idle.flac");
    ASSERT_EQ(r.status, code(ExitCode::Ok)) << r.err;
    const ModemMode slow500{false, false, false, true};
    EXPECT_EQ(samplesOf(path("idle.flac")), renderTransmission(slow500, "qrz", {true, 2, {}}).samples);

    // A text file is UTF-8; its line ends are sent as Enter, the last one not at all.
    std::ofstream(path("text.txt")) << "Grüße\r\n73\n";
    r = run("{miv} tx --text-file {tmp}/text.txt -o - > {tmp}/raw");
    ASSERT_EQ(r.status, code(ExitCode::Ok)) << r.err;
    const std::string raw = readFile(path("raw"));
    const auto expected = renderTransmission(ModemMode{},
                                             "Gr\xFC\xDF"
                                             "e\r73")
                              .samples;
    ASSERT_EQ(raw.size(), 2 * expected.size());
    EXPECT_EQ(raw, std::string(reinterpret_cast<const char*>(expected.data()), raw.size()));  // little-endian host

    // --lossy sends what the far screen shows, and says what it left out.
    r = run("{miv} tx --lossy --baud 1 --text 'it\xE2\x80\x99s 5\xE2\x82\xAC;' -o {tmp}/lossy.wav");
    ASSERT_EQ(r.status, code(ExitCode::Ok)) << r.err;
    EXPECT_NE(r.err.find("character 3 (line 1, column 3): \"\xE2\x80\x99\" (U+2019)"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("character 8 (line 1, column 8): \";\" (U+003B)"), std::string::npos) << r.err;
    EXPECT_EQ(samplesOf(path("lossy.wav")), renderTransmission(ModemMode{true, false, false, true}, "its 5").samples);
}

TEST_F(CommandLine, RxPrintsTheReceiveWindowOrOneJsonObjectPerMessage)
{
    // The reference's expected window is the standard path's, decision for decision.
    Outcome r = run("{miv} rx --decoder standard --utc 12:00 --bw 500 {vectors}/hf500-16.noisy.flac");
    EXPECT_EQ(r.status, code(ExitCode::Ok)) << r.err;
    EXPECT_EQ(r.out, readFile(vector("hf500-16.noisy.expected.txt")));
    // A sound file through a pipe, which libsndfile cannot seek in.
    r = run("cat {vectors}/hf500-16.noisy.flac | {miv} rx --decoder standard --utc 12:00 --bw 500 /dev/stdin");
    EXPECT_EQ(r.status, code(ExitCode::Ok)) << r.err;
    EXPECT_EQ(r.out, readFile(vector("hf500-16.noisy.expected.txt")));

    r = run("{miv} rx --json --utc 12:00 {vectors}/hf2250-16.noisy.flac");
    ASSERT_EQ(r.status, code(ExitCode::Ok)) << r.err;
    ASSERT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["text"], "CQ CQ de G4ABC G4ABC pse k");
    EXPECT_EQ(j["time"], "12:00");
    EXPECT_NEAR(j["frequency_shift"].get<double>(), 25.0, 0.3);  // the channel's offset
    EXPECT_NEAR(j["snr_db"].get<double>(), -8.0, 1.0);           // and its SNR
    EXPECT_FALSE(j["cancelled"].get<bool>());
    EXPECT_GE(j["frame_acquisition"].get<int>(), 14);  // of 20, on this noisy vector
    EXPECT_GE(j["final_acquisition"].get<int>(), 8);   // of 16
    EXPECT_LE(j["viterbi_errors"].get<int>(), 50);
    EXPECT_LT(j["metric"].get<double>(), 0);
    EXPECT_LT(j["volume"].get<double>(), 0);
}

TEST_F(CommandLine, TxThroughTheChannelIntoRxThroughStandardStreams)
{
    const Outcome r =
        run("{miv} tx --utc 12:00 --text 'CQ CQ de G4ABC G4ABC pse k' -o - | "
            "{miv} channel --snr 0 --freq-offset -40 --delay 0.3 --seed 9 - -o - | {miv} rx --utc 12:00 -");
    EXPECT_EQ(r.status, code(ExitCode::Ok)) << r.err;
    // The header's shift is the receiver's estimate of the channel's -40 Hz.
    float shiftHz = 0;
    char text[64] = {};
    ASSERT_EQ(std::sscanf(r.out.c_str(), "\nRX: <12:00 UTC> <%f Hz.> %63[^\n]", &shiftHz, text), 2) << r.out;
    EXPECT_NEAR(shiftHz, -40.0, 0.3);
    EXPECT_STREQ(text, "CQ CQ de G4ABC G4ABC pse k <STOP>");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;  // one message, ended
}

TEST_F(CommandLine, ChannelWritesTheSameSamplesForTheSameSeedInEveryFormat)
{
    const std::string channel = "{miv} channel --snr 5 --seed 3 {vectors}/hf500-16.flac -o ";
    ASSERT_EQ(run(channel + "{tmp}/a.wav").status, code(ExitCode::Ok));
    ASSERT_EQ(run(channel + "{tmp}/b.flac").status, code(ExitCode::Ok));
    EXPECT_EQ(samplesOf(path("a.wav")), samplesOf(path("b.flac")));
    // The raw stream holds the same samples as the WAV after its 44-byte header.
    EXPECT_EQ(run(channel + "- | cmp -s - {tmp}/a.wav 0 80").status, 0);
}

TEST_F(CommandLine, EveryRefusalHasItsExitCodeAndSaysWhy)
{
    std::ofstream(path("text.wav")) << "this is not audio at all, just words in a file";
    std::ofstream(path("two-lines.txt")) << "qrz\n73\n";
    std::ofstream(path("long.txt")) << std::string(65537, 'e');
    const std::string flac = readFile(vector("hf500-16.flac"));
    // Its marker and most of the stream information, then nothing.
    std::ofstream(path("header.flac"), std::ios::binary) << flac.substr(0, 60);
    std::ofstream(path("cut.flac"), std::ios::binary) << flac.substr(0, flac.size() / 3);

    const struct {
        std::string line;
        ExitCode exitCode;
        std::string says;
    } refusals[] = {
        {"{miv} rx {tmp}/missing.wav", ExitCode::InputError, "no such file"},
        {"{miv} rx --bw 500 {tmp}/cut.flac", ExitCode::InputError, "truncated"},
        {"{miv} rx - </dev/null", ExitCode::InputError, "no audio on standard input"},
        {"{miv} rx --utc 24:00 {vectors}/eme.flac", ExitCode::Usage, "HH:MM"},
        {"{miv} rx --bw 500 {tmp}/header.flac", ExitCode::InputError, "truncated or corrupt\n"},
        {"{miv} rx --settings {tmp}/MIV.ini {vectors}/eme.flac", ExitCode::Usage, "--reports"},
        {"{miv} foo --text k -o {tmp}/x.wav", ExitCode::Usage, "no command \"foo\""},
        {"{miv} channel --snr 0 --seed -1 {tmp}/cut.flac -o {tmp}/x.wav", ExitCode::Usage, "whole number"},
        {"{miv} channel --snr 0 --seed 18446744073709551616 {tmp}/cut.flac -o {tmp}/x.wav", ExitCode::Usage,
         "whole number"},
        {"{miv} channel --snr 0 --seed 1e23 {tmp}/cut.flac -o {tmp}/x.wav", ExitCode::Usage, "whole number"},
        {"{miv} channel --snr 0 --fading 0.5 {tmp}/cut.flac -o {tmp}/x.wav", ExitCode::Usage, "SPREAD,DELAY"},
        {"{miv} channel --snr 0 {tmp}/text.wav -o {tmp}/x.wav", ExitCode::InputError, "not a readable audio file"},
        {"{miv} channel --snr 0 {vectors}/hf500-16.flac -o /nonexistent-dir/x.wav", ExitCode::OutputError,
         "/nonexistent-dir/x.wav"},
        {"{miv} channel --snr nan {tmp}/cut.flac -o {tmp}/x.wav", ExitCode::Usage, "finite"},
        {"{miv} channel --snr -inf {tmp}/cut.flac -o {tmp}/x.wav", ExitCode::Usage, "finite"},
        {"{miv} channel --snr -1e308 {tmp}/cut.flac -o {tmp}/x.wav", ExitCode::Usage, "--snr"},
        {"{miv} channel --snr 0 --freq-offset nan {tmp}/cut.flac -o {tmp}/x.wav", ExitCode::Usage, "finite"},
        {"{miv} channel --snr 0 --delay nan {tmp}/cut.flac -o {tmp}/x.wav", ExitCode::Usage, "finite"},
        // The reader quits at once; the output is far more than a pipe holds.
        {"{ {miv} channel --snr 5 {vectors}/hf500-16.flac -o -; echo \"exit $?\" >&2; } | true", ExitCode::OutputError,
         "cannot write to standard output"},
        {"{miv} tx --text '73 \xE2\x9C\x93 ok' -o {tmp}/x.wav", ExitCode::Unsendable, "\"\xE2\x9C\x93\" (U+2713)"},
        // Characters with an 8-bit code that no receiver shows, or that the mode's alphabet lacks.
        {"{miv} tx --text '5 \xE2\x82\xAC' -o {tmp}/x.wav", ExitCode::Unsendable, "character 3 (line 1, column 3)"},
        {"{miv} tx --text 'a\xC2\xA0"
         "b' -o {tmp}/x.wav",
         ExitCode::Unsendable, "(U+00A0)"},
        {"{miv} tx --channel eme --text \"it's\" -o {tmp}/x.wav", ExitCode::Unsendable, "(U+0027)"},
        {"{miv} tx --text-file {tmp}/two-lines.txt --baud 1 -o {tmp}/x.wav", ExitCode::Unsendable, "line end"},
        {"{miv} tx --text-file /dev/zero -o {tmp}/x.wav", ExitCode::InputError, "not a regular file"},
        {"{miv} tx --text-file {tmp}/long.txt -o {tmp}/x.wav", ExitCode::InputError, "over 65536 bytes"},
        {"{miv} tx --text 'bad \xC3' -o {tmp}/x.wav", ExitCode::InputError, "not valid UTF-8"},
        {"{miv} tx --text-file /nonexistent/text.txt -o {tmp}/x.wav", ExitCode::InputError, "/nonexistent/text.txt"},
        {"{miv} tx --text k -o /nonexistent-dir/out.wav", ExitCode::OutputError, "/nonexistent-dir/out.wav"},
        {"{miv} tx --text k --utc 9:05 -o {tmp}/x.wav", ExitCode::Usage, "HH:MM"},
        {"{miv} tx --text k --text-file f -o {tmp}/x.wav", ExitCode::Usage, "text"},
        {"{miv} tx -o {tmp}/x.wav", ExitCode::Usage, "text"},
        {"{miv} tx --text k", ExitCode::Usage, "--output"},
        {"{miv} tx --text k --bw 1000 -o {tmp}/x.wav", ExitCode::Usage, "--bw"},
        // A count that slipped through would fill the disk.
        {"{miv} tx --text k --idle -1 -o {tmp}/x.wav", ExitCode::Usage, "0 to 1000"},
        {"{miv} tx --text k --idle 1001 -o {tmp}/x.wav", ExitCode::Usage, "0 to 1000"},
        {"{miv} tx --text k --idle 99999999999999999999 -o {tmp}/x.wav", ExitCode::Usage, "0 to 1000"},
    };
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.line);
        const Outcome r = run(refusal.line + "; echo \"exit $?\" >&2");
        EXPECT_NE(r.err.find("exit " + std::to_string(code(refusal.exitCode))), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(refusal.says), std::string::npos) << r.err;
        EXPECT_LT(r.err.size(), 300u) << r.err;
        EXPECT_FALSE(std::filesystem::exists(path("x.wav")));
    }
}

TEST_F(CommandLine, AHeadlessStationMailsBesideTheDecodingAndSaysWhatBecameOfEveryAddress)
{
    // The server takes the report and never answers QUIT; the same address in the
    // second message is held back by the resend rule.
    SmtpTestServer server({"--mode", "silent-at-quit"});
    std::ofstream(path("MIV.ini")) << "[Operador]\nCallsign=EA4XYZ\nE-mail=ea4xyz@example.es\n"
                                   << "[Email]\nOption=1\nServidor SMTP=127.0.0.1:" << server.port() << "\n";
    const Outcome r = run(
        "{ {miv} tx --text 'qsl via <g4abc@example.com>' -o -; {miv} tx --text 'again <G4ABC@example.com>' -o -; } | "
        "{miv} rx --utc 12:00 --reports --mail-timeout 2 --settings {tmp}/MIV.ini -");
    ASSERT_EQ(r.status, code(ExitCode::Ok)) << r.err;
    EXPECT_NE(r.out.find("again <G4ABC@example.com>"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("g4abc@example.com: sent"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("G4ABC@example.com: held back"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("reports: 1 sent, 0 not sent, 1 held back, 0 abandoned"), std::string::npos) << r.err;

    const nlohmann::json seen = server.finish();
    ASSERT_TRUE(seen.value("accepted", false)) << seen.dump();
    EXPECT_EQ(seen["mail_from"], "<ea4xyz@example.es>");  // the operator's own address, from the settings
    EXPECT_EQ(seen["rcpt_to"], nlohmann::json::array({"<g4abc@example.com>"}));
    const std::string body = seen["body"].get<std::string>();
    EXPECT_NE(body.find("EA4XYZ has received your Radio Message sent at: 12:00 UTC"), std::string::npos) << body;
    EXPECT_NE(body.find("Received Message: 'qsl via <g4abc@example.com>'"), std::string::npos) << body;
    EXPECT_NE(body.find("Symbol Rate: 16 bauds"), std::string::npos) << body;
}

TEST_F(CommandLine, AHeadlessStationSaysWhenTheSettingsGiveNoWayToMail)
{
    ASSERT_EQ(run("{miv} tx --text 'qsl via <g4abc@example.com> 73' -o {tmp}/tx.wav").status, code(ExitCode::Ok));
    std::filesystem::create_directories(path("folder.ini"));
    std::ofstream(path("operator-only.ini")) << "[Operador]\nCallsign=EA4XYZ\n";
    for (const auto& [settings, says] : {std::pair{"folder.ini", "could not be read"},
                                         {"operator-only.ini", "no e-mail account is set"},
                                         {"missing.ini", "no settings file"}}) {
        const Outcome r =
            run(std::string("{miv} rx --utc 12:00 --reports --settings {tmp}/") + settings + " {tmp}/tx.wav");
        EXPECT_EQ(r.status, code(ExitCode::Ok)) << settings;
        EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace miv::test
