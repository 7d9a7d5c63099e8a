// Tells the end-to-end suite where things are on the screen and when the
// tool is ready for the next input: it finds the running tool's sheet and
// prints screen rectangles of its tabs, the current page's controls, the
// sheet's buttons and a message box's buttons, so that clicks land on the
// real windows. It only reads; every input comes from the X server.
//
// Usage: window_probe COMMAND [ARG] [COMMAND [ARG]]...; one output line per
// command; exit code 1 (with a message) as soon as one fails.
//   wait-sheet          wait until the sheet is shown          -> "ready"
//   sheet               rectangle of the whole sheet           -> "left top right bottom"
//   page                rectangle of the current page          -> "left top right bottom"
//   tab N               rectangle of tab N                     -> "left top right bottom"
//   control ID          a control of the current page, else of the sheet
//   wait-page N         wait until page N is the current page  -> "N"
//   wait-focus ID       wait until control ID has the keyboard focus
//   wait-closed ID      wait until list ID shows no drop-down part
//   wait-text ID=TEXT   wait until control ID shows TEXT (a list: its selection)
//   message-box ID      wait for a message box over the sheet; rectangle of its button ID
//   wait-no-message-box wait until no message box is shown     -> "none"
// The waits give up after 10 seconds.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char *const SheetCaption = "ZEPHRANIX Configuration";
const DWORD WaitLimit = 10000;

struct Search {
    HWND sheet;
    HWND messageBox;
};

// The sheet is the captioned dialog that holds a tab control; a message
// box over it is a window the sheet owns.
BOOL CALLBACK FindToolWindows(HWND window, LPARAM context)
{
    Search &search = *(Search *)context;
    char caption[64];
    if (!IsWindowVisible(window) || !GetWindowTextA(window, caption, sizeof caption) ||
        strcmp(caption, SheetCaption) != 0)
        return TRUE;
    if (FindWindowExA(window, NULL, WC_TABCONTROLA, NULL))
        search.sheet = window;
    else
        search.messageBox = window;
    return TRUE;
}

Search FindTool()
{
    Search search = {};
    EnumWindows(FindToolWindows, (LPARAM)&search);
    if (search.messageBox && GetWindow(search.messageBox, GW_OWNER) != search.sheet)
        search.messageBox = NULL;
    return search;
}

// Polls a condition every 20 ms until it holds or the limit passes.
template <typename Condition> bool WaitFor(Condition condition)
{
    DWORD start = GetTickCount();
    do {
        if (condition())
            return true;
        Sleep(20);
    } while (GetTickCount() - start < WaitLimit);
    return false;
}

void PrintRect(RECT rect)
{
    printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
}

bool PrintWindowRect(HWND window)
{
    RECT rect;
    if (!window || !IsWindowVisible(window) || !GetWindowRect(window, &rect))
        return false;
    PrintRect(rect);
    return true;
}

// TCM_GETITEMRECT writes into the tool's own memory, so the record is
// placed there and read back.
bool PrintTabRect(HWND sheet, int index)
{
    HWND tabs = (HWND)SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0);
    DWORD processId = 0;
    GetWindowThreadProcessId(tabs, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!tabs || !process)
        return false;
    void *remote = VirtualAllocEx(process, NULL, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    RECT rect = {};
    bool found = remote && SendMessageA(tabs, TCM_GETITEMRECT, index, (LPARAM)remote) &&
                 ReadProcessMemory(process, remote, &rect, sizeof rect, NULL);
    if (remote)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    if (!found)
        return false;
    MapWindowPoints(tabs, HWND_DESKTOP, (POINT *)&rect, 2);
    PrintRect(rect);
    return true;
}

HWND CurrentPage(HWND sheet)
{
    return (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
}

int CurrentPageIndex(HWND sheet)
{
    return (int)SendMessageA(sheet, PSM_HWNDTOINDEX, (WPARAM)CurrentPage(sheet), 0);
}

// The text a control shows: for a drop-down list, its selected entry. The
// wide message, because Wine copies an ANSI one between processes only in
// part.
bool ShowsText(HWND control, const char *text)
{
    wchar_t shown[256], wanted[256];
    if (!MultiByteToWideChar(CP_ACP, 0, text, -1, wanted, 256))
        return false;
    SendMessageW(control, WM_GETTEXT, 256, (LPARAM)shown);
    return wcscmp(shown, wanted) == 0;
}

int FocusedId(HWND sheet)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(sheet, NULL), &info) || !info.hwndFocus)
        return -1;
    return GetDlgCtrlID(info.hwndFocus);
}

bool Fail(const char *command, const char *argument)
{
    fprintf(stderr, "window_probe: %s %s failed\n", command, argument ? argument : "");
    return false;
}

bool TakesArgument(const char *command)
{
    return strcmp(command, "wait-sheet") != 0 && strcmp(command, "sheet") != 0 &&
           strcmp(command, "page") != 0 && strcmp(command, "wait-no-message-box") != 0;
}

bool Run(const char *command, const char *argument)
{
    int number = argument ? (int)strtol(argument, NULL, 0) : 0;
    HWND sheet = NULL;
    if (!WaitFor([&] { return (sheet = FindTool().sheet) != NULL; }))
        return Fail(command, "(no sheet)");

    if (!strcmp(command, "wait-sheet")) {
        puts("ready");
        return true;
    }
    if (!strcmp(command, "sheet"))
        return PrintWindowRect(sheet) || Fail(command, NULL);
    if (!strcmp(command, "page"))
        return PrintWindowRect(CurrentPage(sheet)) || Fail(command, NULL);
    if (!argument && TakesArgument(command))
        return Fail(command, "(argument missing)");
    if (!strcmp(command, "tab"))
        return PrintTabRect(sheet, number) || Fail(command, argument);
    if (!strcmp(command, "control")) {
        HWND control = GetDlgItem(CurrentPage(sheet), number);
        if (!control || !IsWindowVisible(control))
            control = GetDlgItem(sheet, number);
        return PrintWindowRect(control) || Fail(command, argument);
    }
    if (!strcmp(command, "wait-page")) {
        if (!WaitFor([&] { return CurrentPageIndex(sheet) == number; }))
            return Fail(command, argument);
        printf("%d\n", number);
        return true;
    }
    if (!strcmp(command, "wait-focus")) {
        if (!WaitFor([&] { return FocusedId(sheet) == number; }))
            return Fail(command, argument);
        printf("%d\n", number);
        return true;
    }
    if (!strcmp(command, "wait-closed")) {
        HWND list = GetDlgItem(CurrentPage(sheet), number);
        if (!list || !WaitFor([&] { return !SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0); }))
            return Fail(command, argument);
        printf("%d\n", number);
        return true;
    }
    if (!strcmp(command, "wait-text")) {
        const char *text = strchr(argument, '=');
        HWND list = GetDlgItem(CurrentPage(sheet), number);
        if (!text || !list || !WaitFor([&] { return ShowsText(list, text + 1); }))
            return Fail(command, argument);
        puts(text + 1);
        return true;
    }
    if (!strcmp(command, "message-box")) {
        HWND box = NULL;
        if (!WaitFor([&] { return (box = FindTool().messageBox) != NULL; }))
            return Fail(command, argument);
        return PrintWindowRect(GetDlgItem(box, number)) || Fail(command, argument);
    }
    if (!strcmp(command, "wait-no-message-box")) {
        if (!WaitFor([&] { return FindTool().messageBox == NULL; }))
            return Fail(command, NULL);
        puts("none");
        return true;
    }
    return Fail(command, "(unknown command)");
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const char *command = argv[i];
        const char *argument = NULL;
        if (TakesArgument(command) && i + 1 < argc)
            argument = argv[++i];
        if (!Run(command, argument))
            return 1;
        fflush(stdout);
    }
    return 0;
}
