// setting.cfg when something stands in the way: held open by another
// program, read-only, in a folder that takes no new files. Loading falls
// back to the factory settings without a word; a failed save is reported
// once, keeps the sheet open with every choice, and OK works again once the
// obstacle is gone.

#include "tests/sheet_harness.h"

#include <prsht.h>
#include <stdio.h>
#include <functional>
#include <memory>

#include "res/resource.h"
#include "settings/settings.h"

namespace {

// The in-memory record as the file should hold it after a good save.
std::vector<uint8_t> RecordBytes()
{
    const uint8_t *bytes = (const uint8_t *)&Settings;
    return std::vector<uint8_t>(bytes, bytes + sizeof Settings);
}

// A valid file that differs from the factory settings: window mode,
// V-Sync off.
std::vector<uint8_t> UsersFile()
{
    std::vector<uint8_t> file(256, 0);
    const uint8_t display[11] = { 1, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0 };
    std::copy(display, display + 11, file.begin() + 244);
    return file;
}

// As root, Wine lets a program write a read-only file; Windows and other
// users do not. Whether this machine refuses, asked of a scratch file.
bool ReadOnlyRefusesWrites()
{
    const char *probe = "read-only-probe";
    WriteWholeFile(probe, { 0 });
    SetFileAttributesA(probe, FILE_ATTRIBUTE_READONLY);
    HANDLE file = CreateFileA(probe, GENERIC_WRITE, FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    bool refused = file == INVALID_HANDLE_VALUE;
    if (!refused)
        CloseHandle(file);
    SetFileAttributesA(probe, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(probe);
    return refused;
}

// A folder in which even root cannot create a file (sysfs, seen through
// drive Z:), standing for a game folder the user may not write.
const char *const FolderWithoutNewFiles = "Z:\\sys";

class FileFaultsTest : public SheetTest {
protected:
    // Opens every page, changes V-Sync, and presses OK against the
    // obstacle: one message box naming the file, the sheet stays open with
    // the change still to be saved.
    void ExpectOneReportAndAnOpenSheet()
    {
        ShowPage(KEYBOARD_PAGE);
        ShowPage(GAMEPAD_PAGE);
        ShowPage(GRAPHIC_PAGE);
        Click(GRAPHIC_PAGE, IDC_VSYNC);
        std::vector<std::string> boxes = PressCatchingMessageBoxes(PSBTN_OK);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].find(reportedPath), std::string::npos) << boxes[0];
        EXPECT_FALSE(SheetClosed());
        EXPECT_TRUE(ApplyEnabled());
    }
    // With the obstacle gone, OK saves everything and closes the sheet.
    void ExpectTheRetryToSave(uint8_t vsync)
    {
        EXPECT_TRUE(PressCatchingMessageBoxes(PSBTN_OK).empty());
        EXPECT_TRUE(SheetClosed());
        EXPECT_EQ(Settings.VSync, vsync);
        EXPECT_EQ(File(), RecordBytes());
    }
    // What the report must name (UTF-8).
    std::string reportedPath = "setting.cfg";

    bool ShowsFactorySettings()
    {
        return Checked(GRAPHIC_PAGE, IDC_FULL_TRUE) == BST_CHECKED &&
               Checked(GRAPHIC_PAGE, IDC_VSYNC) == BST_CHECKED;
    }
};

TEST_F(FileFaultsTest, ASaveBlockedAfterLoadingIsReportedOnceAndLosesNothing)
{
    struct Case {
        const char *obstacle;
        std::function<bool(std::function<void()> &remove)> put;   // false: not possible here
    };
    const Case cases[] = {
        { "held open by another program without sharing",
          [](std::function<void()> &remove) {
              auto other = std::make_shared<FileHeldElsewhere>("setting.cfg");
              remove = [other] { other->release(); };
              return other->held();
          } },
        { "read-only",
          [](std::function<void()> &remove) {
              remove = [] { SetFileAttributesA("setting.cfg", FILE_ATTRIBUTE_NORMAL); };
              SetFileAttributesA("setting.cfg", FILE_ATTRIBUTE_READONLY);
              return ReadOnlyRefusesWrites();
          } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.obstacle);
        TearDown();
        SetUp();
        WriteWholeFile("setting.cfg", UsersFile());
        OpenSheet();
        ASSERT_EQ(Checked(GRAPHIC_PAGE, IDC_WINDOW_MODE), BST_CHECKED);
        std::function<void()> remove;
        if (!c.put(remove)) {
            printf("[   NOTE   ] not tested here: a save into a file that is %s succeeds\n", c.obstacle);
            remove();
            continue;
        }
        ExpectOneReportAndAnOpenSheet();
        remove();
        // The user's file is as it was, not cut short or half written.
        EXPECT_EQ(File(), UsersFile());
        ExpectTheRetryToSave(1);
    }
}

TEST_F(FileFaultsTest, AnObstacleFromTheStartMeansFactorySettingsAndOneReport)
{
    struct Case {
        const char *obstacle;
        std::function<bool(const std::string &folder, std::function<void()> &remove)> put;
    };
    const Case cases[] = {
        { "setting.cfg held open by another program without sharing",
          [](const std::string &, std::function<void()> &remove) {
              WriteWholeFile("setting.cfg", UsersFile());
              auto other = std::make_shared<FileHeldElsewhere>("setting.cfg");
              remove = [other] { other->release(); };
              return other->held();
          } },
        { "setting.cfg is a folder",
          [](const std::string &, std::function<void()> &remove) {
              remove = [] { RemoveDirectoryA("setting.cfg"); };
              return CreateDirectoryA("setting.cfg", NULL) != FALSE;
          } },
        { "setting.cfg is a folder, in a folder named in Japanese",
          [this](const std::string &, std::function<void()> &remove) {
              // "\u30b2\u30fc\u30e0" ("game"), outside a Western ANSI code page.
              const WCHAR name[] = L"\u30b2\u30fc\u30e0";
              remove = [name] {
                  RemoveDirectoryW(L"setting.cfg");
                  SetCurrentDirectoryW(L"..");
                  RemoveDirectoryW(name);
              };
              reportedPath = "\\\xe3\x82\xb2\xe3\x83\xbc\xe3\x83\xa0\\setting.cfg";
              return CreateDirectoryW(name, NULL) && SetCurrentDirectoryW(name) &&
                     CreateDirectoryW(L"setting.cfg", NULL);
          } },
        { "a current folder that takes no new files",
          [](const std::string &folder, std::function<void()> &remove) {
              remove = [folder] { SetCurrentDirectoryA(folder.c_str()); };
              HANDLE probe = CreateFileA("Z:\\sys\\setting.cfg", GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, 0, NULL);
              if (probe != INVALID_HANDLE_VALUE) {
                  CloseHandle(probe);
                  return false;
              }
              return SetCurrentDirectoryA(FolderWithoutNewFiles) != FALSE;
          } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.obstacle);
        TearDown();
        SetUp();
        reportedPath = "setting.cfg";
        std::function<void()> remove;
        if (!c.put(folder, remove)) {
            printf("[   NOTE   ] not tested here: %s could not be arranged\n", c.obstacle);
            remove();
            continue;
        }
        {
            MessageBoxCatcher boxes;
            OpenSheet();
            EXPECT_TRUE(boxes.texts.empty());
        }
        EXPECT_TRUE(ShowsFactorySettings());
        EXPECT_FALSE(ApplyEnabled());
        ExpectOneReportAndAnOpenSheet();
        remove();
        ExpectTheRetryToSave(0);
    }
}

} // namespace
