#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

#include "config/Settings.h"
#include "platform/settings/FileSettingsStore.h"

namespace miv {
namespace {

namespace fs = std::filesystem;

class FileSettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "miv-settings-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        directory_ = pattern;
    }
    void TearDown() override { fs::remove_all(directory_); }

    static unsigned mode(const fs::path& path)
    {
        struct stat info {};
        EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
        return info.st_mode & 07777;
    }

    fs::path directory_;
};

TEST_F(FileSettingsStoreTest, TheFileIsMadeWithItsDirectoriesAndIsPrivate)
{
    const fs::path path = directory_ / "config" / "MIV" / "MIV.ini";
    FileSettingsStore store(path);
    Settings settings(store);
    EXPECT_TRUE(settings.firstRun());
    EXPECT_EQ(store.load().status, SettingsLoad::Status::Missing);

    ASSERT_TRUE(settings.writeEmailAccount({MailOption::WebMail, "", "ana", "secret"}));
    EXPECT_FALSE(settings.firstRun());
    EXPECT_EQ(mode(path), 0600u);
    EXPECT_EQ(mode(path.parent_path()), 0700u);
    EXPECT_EQ(settings.readEmailAccount().password, "secret");
    // Only the file itself was left behind, no temporary.
    EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(FileSettingsStoreTest, AnOpenFileIsMadePrivateWhenRewritten)
{
    const fs::path path = directory_ / "MIV.ini";
    std::ofstream(path) << "[Operador]\nCallsign=G4ABC\n";
    fs::permissions(path, fs::perms(0644));
    FileSettingsStore store(path);
    Settings settings(store);
    EXPECT_FALSE(settings.firstRun());
    EXPECT_EQ(settings.readOperatorDetails().callsign, "G4ABC");
    ASSERT_TRUE(settings.writeSoundCards({"in", "out"}));
    EXPECT_EQ(mode(path), 0600u);
    EXPECT_EQ(settings.readOperatorDetails().callsign, "G4ABC");
}

TEST_F(FileSettingsStoreTest, TheFirstRunTestLooksAtTheVeryFileUsed)
{
    // Another file of a similar name beside it does not count.
    std::ofstream(directory_ / "miv.ini") << "[Operador]\n";
    FileSettingsStore store(directory_ / "MIV.ini");
    EXPECT_TRUE(Settings(store).firstRun());
}

TEST_F(FileSettingsStoreTest, AWriteThatCannotBeDoneIsReportedWithThePath)
{
    // A plain file where a directory should be stops everyone, root included.
    std::ofstream(directory_ / "not-a-directory") << "x";
    const fs::path path = directory_ / "not-a-directory" / "MIV" / "MIV.ini";
    FileSettingsStore store(path);
    const SettingsSave saved = Settings(store).writeOperatorDetails({});
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.error.find(path.string()), std::string::npos) << saved.error;
}

TEST_F(FileSettingsStoreTest, ALinkedSettingsFileStaysALink)
{
    const fs::path real = directory_ / "real.ini";
    const fs::path link = directory_ / "MIV.ini";
    std::ofstream(real) << "[Email]\nOption=1\n";
    fs::create_symlink(real, link);
    FileSettingsStore store(link);
    ASSERT_TRUE(Settings(store).writeSoundCards({"in", "out"}));
    EXPECT_TRUE(fs::is_symlink(link));
    std::ifstream in(real);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "[Email]\nOption=1\n\n[Tarjeta Sonido]\nEntrada=in\nSalida=out\n");
}

TEST_F(FileSettingsStoreTest, OnlyARegularFileOfSettingsSizeIsRead)
{
    const fs::path pipe = directory_ / "pipe.ini";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    SettingsLoad loaded = FileSettingsStore(pipe).load();  // would wait for a writer
    EXPECT_EQ(loaded.status, SettingsLoad::Status::Failed);
    EXPECT_NE(loaded.error.find(pipe.string()), std::string::npos) << loaded.error;

    EXPECT_EQ(FileSettingsStore(directory_).load().status, SettingsLoad::Status::Failed);

    const fs::path large = directory_ / "large.ini";
    std::ofstream(large) << "[Operador]\nCallsign=G4ABC\n" << std::string(1 << 20, ';');
    loaded = FileSettingsStore(large).load();
    EXPECT_EQ(loaded.status, SettingsLoad::Status::Failed);
    EXPECT_TRUE(loaded.text.empty());

    const fs::path fits = directory_ / "fits.ini";
    const std::string text = "[Operador]\nCallsign=G4ABC\n" + std::string(100'000, ';');
    std::ofstream(fits) << text;
    loaded = FileSettingsStore(fits).load();
    EXPECT_EQ(loaded.status, SettingsLoad::Status::Loaded);
    EXPECT_EQ(loaded.text, text);
}

TEST(DefaultSettingsPath, FollowsTheBaseDirectoryRules)
{
    EXPECT_EQ(defaultSettingsPath("/xdg", "/home/ana"), fs::path("/xdg/MIV/MIV.ini"));
    EXPECT_EQ(defaultSettingsPath(nullptr, "/home/ana"), fs::path("/home/ana/.config/MIV/MIV.ini"));
    EXPECT_EQ(defaultSettingsPath("", "/home/ana"), fs::path("/home/ana/.config/MIV/MIV.ini"));
    EXPECT_EQ(defaultSettingsPath("relative/dir", "/home/ana"), fs::path("/home/ana/.config/MIV/MIV.ini"));
}

}  // namespace
}  // namespace miv
