// The settings file on disk: its location, reading it, and replacing it
// without ever losing the previous file.
#include "base/base.h"
#include "settings/settings.h"

#include "test_folder.h"

#include "time_scale.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        currentSettings = Settings{};
        settingsSnapshot = Settings{};
        snapshotTaken = false;
    }
    void TearDown() override { SetUp(); }

    std::wstring DataFolder() const { return root_.DataFolder(); }
    std::wstring SettingsFile() const { return root_.SettingsFile(); }
    void WriteSettingsFile(const std::string& bytes) { root_.WriteSettings(bytes); }

    AppDataFolder root_;
    ScopedEnvironment appData_{L"LOCALAPPDATA", root_.Path().c_str()};
};

TEST_F(SettingsFileTest, DataFolderFollowsLocalAppData) {
    EXPECT_EQ(GetAppDataFolder(), root_.Path() + L"\\Korvenda\\Slatewash");
    EXPECT_EQ(GetSettingsFilePath(), root_.Path() + L"\\Korvenda\\Slatewash\\settings.json");
}

TEST_F(SettingsFileTest, DataFolderFallsBackToCurrentDirectory) {
    {
        ScopedEnvironment missing(L"LOCALAPPDATA", nullptr);
        EXPECT_EQ(GetAppDataFolder(), L".\\Korvenda\\Slatewash");
    }
    {
        ScopedEnvironment empty(L"LOCALAPPDATA", L"");
        EXPECT_EQ(GetAppDataFolder(), L".\\Korvenda\\Slatewash");
    }
    {
        std::wstring longPath = L"C:\\" + std::wstring(30000, L'x');
        ScopedEnvironment fits(L"LOCALAPPDATA", longPath.c_str());
        std::wstring folder = GetAppDataFolder();
        EXPECT_EQ(folder.size(), longPath.size() + 19);
        EXPECT_TRUE(folder.starts_with(longPath));
    }
}

TEST_F(SettingsFileTest, SaveWritesTheDefaultFileByteForByteAndCreatesFolders) {
    ASSERT_FALSE(FileExists(DataFolder()));
    ASSERT_TRUE(SaveSettings());
    std::string first = ReadBytes(SettingsFile());
    EXPECT_EQ(first, ComposeSettingsText(Settings{}, WideToUtf8));

    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(ReadBytes(SettingsFile()), first);
    EXPECT_EQ(CountFiles(DataFolder()), 1) << "no temporary file is left behind";
}

TEST_F(SettingsFileTest, LoadWithoutFileOrWithEmptyFileKeepsValues) {
    currentSettings.Language = L"kept";
    LoadSettings();
    EXPECT_EQ(currentSettings.Language, L"kept");
    WriteSettingsFile("");
    LoadSettings();
    EXPECT_EQ(currentSettings.Language, L"kept");
    WriteSettingsFile("{}");
    LoadSettings();
    EXPECT_EQ(currentSettings, Settings{});
}

TEST_F(SettingsFileTest, ReadWholeFileKeepsEveryByte) {
    std::string bytes("\xEF\xBB\xBF{\0\"a\":\r\n1}", 11);
    WriteSettingsFile(bytes);
    EXPECT_EQ(ReadWholeFile(SettingsFile()), bytes);
    DWORD start = GetTickCount();
    EXPECT_EQ(ReadWholeFile(root_ / L"missing.json"), "");
    EXPECT_FALSE(FileExists(root_ / L"missing.json")) << "reading made the file";
    EXPECT_EQ(ReadWholeFile(root_ / L"missing\\settings.json"), "") << "nor its folder";
    EXPECT_EQ(ReadWholeFile(root_.Path()), "") << "a folder is not a file";
    EXPECT_LT(GetTickCount() - start, Scaled(300)) << "only a file held by another program is waited for";
}

TEST_F(SettingsFileTest, OversizedFileReadsAsEmpty) {
    WriteSettingsFile("");
    HANDLE file = CreateFileW(SettingsFile().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 16LL * 1024 * 1024 + 1;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    EXPECT_EQ(ReadWholeFile(SettingsFile()), "");

    currentSettings.HotkeyAlt = true;
    LoadSettings();
    EXPECT_TRUE(currentSettings.HotkeyAlt);
}

// The paster, or an editor, may have the file open while the settings are
// read: whatever such a handle lets others do, the file still reads. Only a
// handle that shares nothing keeps it unreadable, and then nothing changes.
TEST_F(SettingsFileTest, FileHeldOpenByAnotherHandleReadsUnlessItSharesNothing) {
    const struct {
        DWORD access, sharing;
        bool reads;
    } holders[] = {
        {GENERIC_READ, FILE_SHARE_READ, true},
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
        {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
        {GENERIC_WRITE, 0, false},
    };
    WriteSettingsFile("{\"HotkeyAlt\": true}");
    for (const auto& holder : holders) {
        SCOPED_TRACE(testing::Message() << "access " << std::hex << holder.access << ", sharing " << holder.sharing);
        HANDLE handle =
            CreateFileW(SettingsFile().c_str(), holder.access, holder.sharing, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        currentSettings = Settings{};
        LoadSettings();
        EXPECT_EQ(ReadWholeFile(SettingsFile()).empty(), !holder.reads);
        CloseHandle(handle);
        EXPECT_EQ(currentSettings.HotkeyAlt, holder.reads);
    }
}

// With no file yet, a temporary file that cannot be made is no save. (The
// ways of failing over an existing file are checked through the window.)
TEST_F(SettingsFileTest, ATemporaryFileThatCannotBeMadeIsNoSave) {
    std::wstring temp = SettingsFile() + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    root_.MakeDataFolder();
    ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
    EXPECT_FALSE(SaveSettings());
    EXPECT_FALSE(FileExists(SettingsFile()));
}

}  // namespace
