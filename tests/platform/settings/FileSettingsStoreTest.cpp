#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>

#include "config/Settings.h"
#include "platform/TestDirectory.h"
#include "platform/settings/FileSettingsStore.h"

namespace miv {
namespace {

namespace fs = std::filesystem;

unsigned mode(const fs::path& path)
{
    return static_cast<unsigned>(fs::status(path).permissions());
}

class FileSettingsStoreTest : public ::testing::Test {
protected:
    test::TestDirectory dir_;
    const fs::path& directory_ = dir_.path();
};

TEST_F(FileSettingsStoreTest, TheFileIsPrivateAndReplacedWhole)
{
    // The first run looks at the very file used, not at one of a similar name beside it.
    std::ofstream(directory_ / "miv.ini") << "[Operador]\n";
    const fs::path made = directory_ / "config" / "MIV" / "MIV.ini";
    FileSettingsStore store(made);
    Settings settings(store);
    EXPECT_TRUE(settings.firstRun());
    EXPECT_EQ(store.load().status, SettingsLoad::Status::Missing);
    ASSERT_TRUE(settings.writeEmailAccount({MailOption::WebMail, "", "ana", "secret"}));
    EXPECT_FALSE(settings.firstRun());
    EXPECT_EQ(mode(made), 0600u);
    EXPECT_EQ(mode(made.parent_path()), 0700u);
    EXPECT_EQ(settings.readEmailAccount().password, "secret");
    // Only the file itself was left behind, no temporary.
    EXPECT_EQ(std::distance(fs::directory_iterator(made.parent_path()), fs::directory_iterator()), 1);

    // A file others could read is made private when rewritten.
    const fs::path open = directory_ / "MIV.ini";
    std::ofstream(open) << "[Operador]\nCallsign=G4ABC\n";
    fs::permissions(open, fs::perms(0644));
    FileSettingsStore openStore(open);
    ASSERT_TRUE(Settings(openStore).writeSoundCards({"in", "out"}));
    EXPECT_EQ(mode(open), 0600u);
    EXPECT_EQ(Settings(openStore).readOperatorDetails().callsign, "G4ABC");

    // A link stays a link: its target is replaced.
    const fs::path real = directory_ / "real.ini";
    std::ofstream(real) << "[Email]\nOption=1\n";
    fs::create_symlink(real, directory_ / "link.ini");
    FileSettingsStore linked(directory_ / "link.ini");
    ASSERT_TRUE(Settings(linked).writeSoundCards({"in", "out"}));
    EXPECT_TRUE(fs::is_symlink(directory_ / "link.ini"));
    EXPECT_EQ(test::readFile(real), "[Email]\nOption=1\n\n[Tarjeta Sonido]\nEntrada=in\nSalida=out\n");
}

TEST_F(FileSettingsStoreTest, OnlyARegularFileOfSettingsSizeIsReadAndWhatWasNotReadIsNeverReplaced)
{
    const fs::path pipe = directory_ / "pipe.ini";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Reading would wait for a writer; settings that could not be read are never overwritten.
    FileSettingsStore pipeStore(pipe);
    Settings guarded(pipeStore);
    EXPECT_EQ(guarded.readOperatorDetails(), OperatorDetails{});
    EXPECT_NE(guarded.lastReadError().find(pipe.string()), std::string::npos) << guarded.lastReadError();
    EXPECT_FALSE(guarded.writeSoundCards({"a", "b"}));
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(FileSettingsStore(directory_).load().status, SettingsLoad::Status::Failed);

    const std::string header = "[Operador]\nCallsign=G4ABC\n";
    std::ofstream(directory_ / "large.ini") << header << std::string(1 << 20, ';');
    SettingsLoad loaded = FileSettingsStore(directory_ / "large.ini").load();
    EXPECT_EQ(loaded.status, SettingsLoad::Status::Failed);
    EXPECT_TRUE(loaded.text.empty());
    const std::string fits = header + std::string(100'000, ';');
    std::ofstream(directory_ / "fits.ini") << fits;
    loaded = FileSettingsStore(directory_ / "fits.ini").load();
    EXPECT_EQ(loaded.status, SettingsLoad::Status::Loaded);
    EXPECT_EQ(loaded.text, fits);

    // A plain file where a directory should be stops everyone, root included.
    std::ofstream(directory_ / "not-a-directory") << "x";
    const fs::path blocked = directory_ / "not-a-directory" / "MIV" / "MIV.ini";
    FileSettingsStore store(blocked);
    const SettingsSave saved = Settings(store).writeOperatorDetails({});
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.error.find(blocked.string()), std::string::npos) << saved.error;
}

TEST(DefaultSettingsPath, FollowsTheBaseDirectoryRules)
{
    EXPECT_EQ(defaultSettingsPath("/xdg", "/home/ana"), fs::path("/xdg/MIV/MIV.ini"));
    for (const char* ignored : {static_cast<const char*>(nullptr), "", "relative/dir"})
        EXPECT_EQ(defaultSettingsPath(ignored, "/home/ana"), fs::path("/home/ana/.config/MIV/MIV.ini"));
}

}  // namespace
}  // namespace miv
