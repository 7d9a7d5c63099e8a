// The sheet harness behind sheet_harness.h.
#include "tests/sheet_harness.h"

#include <commctrl.h>
#include <algorithm>
#include <prsht.h>

#include "app/shell.h"
#include "input/input.h"
#include "input/pad_entries.h"
#include "input/pad_order.h"
#include "input/pad_watch.h"
#include "pages/pages.h"
#include "settings/settings.h"

// The sheet the test opened, whose dialog messages the pump hands it.
static HWND PumpedSheet;

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        HWND sheet = PumpedSheet;
        if (sheet && IsWindow(sheet) && PropSheet_IsDialogMessage(sheet, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void PumpFor(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        PumpMessages();
        MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
    }
    PumpMessages();
}

bool PumpUntil(const std::function<bool()> &done, DWORD limitMilliseconds)
{
    DWORD start = GetTickCount();
    PumpMessages();
    while (!done()) {
        if (GetTickCount() - start >= limitMilliseconds)
            return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}

bool PumpUntilCalledAgain(const std::string &call)
{
    int before = FakeInput.Count(call);
    return PumpUntil([&] { return FakeInput.Count(call) > before; });
}

void ResetToolState()
{
    // Closing the devices also forgets what the polls read.
    CloseInputDevices();
    memset(&Settings, 0, sizeof Settings);
    memset(PadCaps, 0, sizeof PadCaps);
    memset(PadNames, 0, sizeof PadNames);
    PadSlotCounter = 0;
    SoundPresent = 0;
    PixelShaderCapable = 0;
    PumpedSheet = NULL;
    // The assignment pages' records, their passes included, and what the
    // gamepad lists held.
    KeyPage = AssignPage{};
    PadPage = AssignPage{};
    memset(&PadListEntries, 0, sizeof PadListEntries);
    memset(PadLayouts, 0, sizeof PadLayouts);
    memset(&PadOrder, 0, sizeof PadOrder);
}

std::vector<uint8_t> ReadWholeFile(const char *path)
{
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, NULL));
    DWORD read = 0;
    if (!bytes.empty())
        ::ReadFile(file, bytes.data(), (DWORD)bytes.size(), &read, NULL);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

void WriteWholeFile(const char *path, const std::vector<uint8_t> &bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    if (!bytes.empty())
        ::WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
}

std::string WindowsPath(const char *unixPath)
{
    std::string path = std::string("Z:") + unixPath;
    for (char &c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

PROCESS_INFORMATION StartProcess(const std::string &commandLine, const std::string &folder)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string command = commandLine;
    EXPECT_TRUE(CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(),
                               &startup, &process)) << command;
    return process;
}

DWORD FinishProcess(PROCESS_INFORMATION &process, DWORD timeout)
{
    DWORD code = 0xDEAD;
    if (!process.hProcess)
        return code;
    if (WaitForSingleObject(process.hProcess, timeout) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 0xDEAD);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    process = PROCESS_INFORMATION{};
    return code;
}

FileHeldElsewhere::FileHeldElsewhere(const std::string &path)
{
    static int serial;
    std::string base = "cfgtest-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    std::string heldName = base + "-held", releaseName = base + "-release";
    heldEvent = CreateEventA(NULL, TRUE, FALSE, heldName.c_str());
    releaseEvent = CreateEventA(NULL, TRUE, FALSE, releaseName.c_str());
    char folder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, folder);
    process = StartProcess("\"" + WindowsPath(TEST_HELPER_EXE) + "\" hold \"" + path + "\" " +
                               heldName + " " + releaseName, folder);
    HANDLE either[2] = { heldEvent, process.hProcess };
    isHeld = process.hProcess && WaitForMultipleObjects(2, either, FALSE, 20000) == WAIT_OBJECT_0;
}

void FileHeldElsewhere::release()
{
    if (releaseEvent) {
        SetEvent(releaseEvent);
        FinishProcess(process);
        CloseHandle(releaseEvent);
        CloseHandle(heldEvent);
        releaseEvent = heldEvent = NULL;
    }
    isHeld = false;
}

static HHOOK CatcherHook;
static MessageBoxCatcher *ActiveCatcher;

// A message box is a dialog of class #32770 whose static text (id 0xFFFF)
// carries the message; it is closed as soon as it activates.
static LRESULT CALLBACK CatchMessageBox(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HCBT_ACTIVATE && ActiveCatcher) {
        HWND box = (HWND)wparam;
        char className[16] = {};
        GetClassNameA(box, className, sizeof className);
        if (lstrcmpA(className, "#32770") == 0 && GetDlgItem(box, 0xFFFF)) {
            WCHAR text[1024] = {};
            GetDlgItemTextW(box, 0xFFFF, text, sizeof text / sizeof text[0]);
            char utf8[3 * 1024] = {};
            WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
            ActiveCatcher->texts.push_back(utf8);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(CatcherHook, code, wparam, lparam);
}

MessageBoxCatcher::MessageBoxCatcher()
{
    ActiveCatcher = this;
    CatcherHook = SetWindowsHookExA(WH_CBT, CatchMessageBox, NULL, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    UnhookWindowsHookEx(CatcherHook);
    ActiveCatcher = NULL;
}

void ToolStateTest::SetUp()
{
    ResetToolState();
    InstallFakeDirectX();
}

void ToolStateTest::TearDown()
{
    CloseInputDevices();
}

int ToolStateTest::OpenInput()
{
    return OpenInputDevices(GetModuleHandleA(NULL), TEST_SHEET_WINDOW);
}

void SheetTest::SetUp()
{
    InstallFakeDirectX();
    ResetToolState();
    ModuleInstance = GetModuleHandleA(NULL);

    GetCurrentDirectoryA(MAX_PATH, previousFolder);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::string(temp) + "cfgtest-" + info->test_suite_name() + "-" + info->name() + "-" +
             std::to_string(GetCurrentProcessId());
    for (char &c : folder) {
        if (c == '/')
            c = '_';
    }
    CreateDirectoryA(folder.c_str(), NULL);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str())) << folder;
}

static void RemoveFolder(const std::string &folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

void SheetTest::TearDown()
{
    if (sheet && IsWindow(sheet))
        DestroyWindow(sheet);
    PumpMessages();
    sheet = NULL;
    CloseInputDevices();
    SetCurrentDirectoryA(previousFolder);
    RemoveFolder(folder);
}

HWND SheetTest::OpenSheet()
{
    PROPSHEETHEADERA header;
    PROPSHEETPAGEA_V2 pages[SHEET_PAGE_COUNT];
    DescribeSheet(&header, pages);
    header.dwFlags |= PSH_MODELESS;
    sheet = (HWND)PropertySheetA(&header);
    PumpedSheet = sheet;
    PumpMessages();
    return sheet;
}

HWND SheetTest::ShowPage(int index)
{
    SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    PumpMessages();
    return Page(index);
}

HWND SheetTest::Page(int index) const
{
    return (HWND)SendMessageA(sheet, PSM_INDEXTOHWND, index, 0);
}

void SheetTest::Click(int page, int id)
{
    SendMessageA(Control(page, id), BM_CLICK, 0, 0);
    PumpMessages();
}

void SheetTest::Focus(int page, int id)
{
    SetFocus(Control(page, id));
    PumpMessages();
}

void SheetTest::Choose(int page, int id, int item)
{
    HWND list = Control(page, id);
    SendMessageA(list, CB_SETCURSEL, item, 0);
    SendMessageA(Page(page), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)list);
    PumpMessages();
}

void SheetTest::Press(int button)
{
    SendMessageA(sheet, PSM_PRESSBUTTON, button, 0);
    PumpMessages();
}

std::vector<std::string> SheetTest::PressCatchingMessageBoxes(int button)
{
    MessageBoxCatcher boxes;
    Press(button);
    return boxes.texts;
}

bool SheetTest::ApplyEnabled() const
{
    return IsWindowEnabled(GetDlgItem(sheet, SHEET_APPLY_BUTTON)) != FALSE;
}

bool SheetTest::SheetClosed() const
{
    return SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0) == 0;
}

UINT SheetTest::Checked(int page, int id) const
{
    return IsDlgButtonChecked(Page(page), id);
}

bool SheetTest::Enabled(int page, int id) const
{
    return IsWindowEnabled(Control(page, id)) != FALSE;
}

int SheetTest::Selection(int page, int id) const
{
    return (int)SendMessageA(Control(page, id), CB_GETCURSEL, 0, 0);
}

static std::string ItemText(HWND list, int item)
{
    char text[64] = {};
    if (item < 0 || SendMessageA(list, CB_GETLBTEXTLEN, item, 0) >= (LRESULT)sizeof text)
        return "";
    SendMessageA(list, CB_GETLBTEXT, item, (LPARAM)text);
    return text;
}

std::string SheetTest::SelectedText(int page, int id) const
{
    return ItemText(Control(page, id), Selection(page, id));
}

std::vector<std::string> SheetTest::ListTexts(int page, int id) const
{
    HWND list = Control(page, id);
    std::vector<std::string> texts;
    int count = (int)SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i)
        texts.push_back(ItemText(list, i));
    return texts;
}

bool SheetTest::FileExists() const
{
    return GetFileAttributesA("setting.cfg") != INVALID_FILE_ATTRIBUTES;
}

static HHOOK ObserverHook;
static ApplyObserver *ActiveObserver;

static LRESULT CALLBACK ObserveApply(int code, WPARAM wparam, LPARAM lparam)
{
    const CWPRETSTRUCT *call = (const CWPRETSTRUCT *)lparam;
    if (code == HC_ACTION && ActiveObserver && call->message == WM_NOTIFY &&
        ((const NMHDR *)call->lParam)->code == (UINT)PSN_APPLY) {
        std::vector<uint8_t> bytes = ReadWholeFile("setting.cfg");
        if (GetFileAttributesA("setting.cfg") != INVALID_FILE_ATTRIBUTES) {
            ActiveObserver->writes.push_back({ call->hwnd, bytes });
            DeleteFileA("setting.cfg");
        }
    }
    return CallNextHookEx(ObserverHook, code, wparam, lparam);
}

ApplyObserver::ApplyObserver()
{
    ActiveObserver = this;
    ObserverHook = SetWindowsHookExA(WH_CALLWNDPROCRET, ObserveApply, NULL, GetCurrentThreadId());
}

ApplyObserver::~ApplyObserver()
{
    UnhookWindowsHookEx(ObserverHook);
    ActiveObserver = NULL;
}

std::vector<HWND> ApplyObserver::Pages() const
{
    std::vector<HWND> pages;
    for (const Write &write : writes)
        pages.push_back(write.page);
    return pages;
}

struct TooltipSearch {
    HWND page;
    std::vector<std::pair<int, std::string>> found;
};

static BOOL CALLBACK CollectTooltips(HWND window, LPARAM context)
{
    TooltipSearch *search = (TooltipSearch *)context;
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, TOOLTIPS_CLASSA) != 0)
        return TRUE;
    int tools = (int)SendMessageA(window, TTM_GETTOOLCOUNT, 0, 0);
    for (int i = 0; i < tools; ++i) {
        // Read wide (the ANSI messages stop at 80 bytes), kept in the code page.
        WCHAR wide[1024] = {};
        char text[2048] = {};
        TOOLINFOW info{};
        info.cbSize = sizeof info;
        info.lpszText = wide;
        if (!SendMessageW(window, TTM_ENUMTOOLSW, i, (LPARAM)&info))
            continue;
        HWND control = (HWND)info.uId;
        if (GetParent(control) != search->page)
            continue;
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, NULL, NULL);
        search->found.push_back({ GetDlgCtrlID(control), text });
    }
    return TRUE;
}

std::vector<std::pair<int, std::string>> PageTooltips(HWND page)
{
    TooltipSearch search{ page, {} };
    EnumThreadWindows(GetCurrentThreadId(), CollectTooltips, (LPARAM)&search);
    std::sort(search.found.begin(), search.found.end());
    return search.found;
}

HWND StaticNamed(HWND page, const char *text)
{
    return FindWindowExA(page, NULL, "Static", text);
}

std::string DrawnAs(HWND page, HWND control)
{
    HDC dc = GetDC(control);
    SendMessageA(page, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)control);
    COLORREF text = GetTextColor(dc), back = GetBkColor(dc);
    ReleaseDC(control, dc);
    if (text == GetSysColor(COLOR_HIGHLIGHTTEXT) && back == GetSysColor(COLOR_HIGHLIGHT))
        return "pressed";
    if (text == GetSysColor(COLOR_WINDOWTEXT) || text == GetSysColor(COLOR_BTNTEXT))
        return "normal";
    return "warning";
}

std::string TextOf(HWND control)
{
    char text[1024] = {};
    GetWindowTextA(control, text, sizeof text);
    return text;
}
