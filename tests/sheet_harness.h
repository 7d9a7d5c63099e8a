// Drives the tool's real property sheet from inside the test process: the
// same header and pages the tool shows, made modeless so a test can send
// real messages, pump, and read controls, the Apply button and the file.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/fake_directx.h"

#define SHEET_APPLY_BUTTON 0x3021

enum SheetPageIndex { GRAPHIC_PAGE = 0, KEYBOARD_PAGE = 1, GAMEPAD_PAGE = 2 };

// Handles every sent and posted message that is waiting, then returns.
void PumpMessages();
// Pumps for the given time, so that window timers fire.
void PumpFor(DWORD milliseconds);
// Pumps until the condition holds, giving up after the limit; returns
// whether it holds. The limit only guards against a hang.
bool PumpUntil(const std::function<bool()> &done, DWORD limitMilliseconds = 5000);
// Pumps until the fake DirectX has seen this call once more than now
// (e.g. "keyboard.GetDeviceState(256)": the next capture tick has run).
bool PumpUntilCalledAgain(const std::string &call);

// Puts the tool's process-wide state back to what a fresh process has.
void ResetToolState();

std::vector<uint8_t> ReadWholeFile(const char *path);
void WriteWholeFile(const char *path, const std::vector<uint8_t> &bytes);

// The Windows form of a Unix path (the build passes Unix paths); Wine maps
// / to drive Z:.
std::string WindowsPath(const char *unixPath);

// Starts a program with the given command line (taken as it is) and
// current directory.
PROCESS_INFORMATION StartProcess(const std::string &commandLine, const std::string &folder);
// Waits for the process and closes its handles; its exit code, or 0xDEAD
// when it had to be stopped after the timeout.
DWORD FinishProcess(PROCESS_INFORMATION &process, DWORD timeout = 20000);

// Another program (tests/helpers/test_helper) holding a file open for
// reading and writing without sharing, from construction until release()
// or destruction.
class FileHeldElsewhere {
public:
    explicit FileHeldElsewhere(const std::string &path);
    ~FileHeldElsewhere() { release(); }
    bool held() const { return isHeld; }
    void release();

private:
    PROCESS_INFORMATION process{};
    HANDLE heldEvent = NULL;
    HANDLE releaseEvent = NULL;
    bool isHeld = false;
};

// Message boxes shown while one is alive are recorded (their text as
// UTF-8) and closed at once.
class MessageBoxCatcher {
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    std::vector<std::string> texts;
};

// The window handle the input layer gets as its sheet in tests without a
// sheet; only the fakes see it.
#define TEST_SHEET_WINDOW ((HWND)(uintptr_t)0x5EE7)

// For tests of the tool's code without a window: fake DirectX (a keyboard,
// no pads) and the tool's state as in a fresh process; the input layer is
// closed again afterwards.
class ToolStateTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the input layer on the scripted world with TEST_SHEET_WINDOW.
    int OpenInput();
};

// Every test gets fake DirectX (both probes positive, a keyboard, no pads),
// the tool's state as in a fresh process, and its own empty current
// directory, which is where "setting.cfg" lives.
class SheetTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the sheet on its first page (which loads the settings).
    HWND OpenSheet();
    // Selects a page the way a click on its tab does; returns its window.
    HWND ShowPage(int index);
    HWND Page(int index) const;
    HWND Control(int page, int id) const { return GetDlgItem(Page(page), id); }

    // A user's click on a button or check box of a page.
    void Click(int page, int id);
    // Gives a control of a page the keyboard focus.
    void Focus(int page, int id);
    // A user's choice of item in an assignment list: the selection and
    // the CBN_SELCHANGE notification the list sends for it.
    void Choose(int page, int id, int item);
    // OK, Apply or Cancel (PSBTN_OK, PSBTN_APPLYNOW, PSBTN_CANCEL).
    void Press(int button);
    // The same, returning the texts of the message boxes it showed.
    std::vector<std::string> PressCatchingMessageBoxes(int button);

    bool ApplyEnabled() const;
    bool SheetClosed() const;
    UINT Checked(int page, int id) const;
    bool Enabled(int page, int id) const;
    int Selection(int page, int id) const;
    std::string SelectedText(int page, int id) const;
    std::vector<std::string> ListTexts(int page, int id) const;

    bool FileExists() const;
    std::vector<uint8_t> File() const { return ReadWholeFile("setting.cfg"); }

    HWND sheet = NULL;
    std::string folder;
    char previousFolder[MAX_PATH] = {};
};

// Watches each page's PSN_APPLY from outside: after a page has handled it,
// records which page it was and the file it left, then removes the file,
// so the next write is seen on its own.
class ApplyObserver {
public:
    struct Write {
        HWND page;
        std::vector<uint8_t> bytes;
    };
    ApplyObserver();
    ~ApplyObserver();
    // The pages that wrote, in order.
    std::vector<HWND> Pages() const;
    std::vector<Write> writes;
};

// The texts of every tooltip attached to a control of this page, by
// control id.
std::vector<std::pair<int, std::string>> PageTooltips(HWND page);

// A static control of a page by its whole text ("Up" is not "Up(A)").
HWND StaticNamed(HWND page, const char *text);
// How a page draws one of its static controls, as its WM_CTLCOLORSTATIC
// answers: "normal", "warning" (the warning colour) or "pressed" (the
// selection colours).
std::string DrawnAs(HWND page, HWND control);
// The window text of a control.
std::string TextOf(HWND control);

// Whether Windows chose the tool's Japanese resources (Wine does by LANG),
// and of a text in both languages the one of the language it chose.
inline bool JapaneseUi() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE; }
inline const char *InUi(const char *english, const char *japanese) { return JapaneseUi() ? japanese : english; }
