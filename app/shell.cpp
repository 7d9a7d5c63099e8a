// Start-up, single instance and the property sheet.
#include "app/shell.h"

#include <commctrl.h>
#include <dbt.h>
#include <stddef.h>
#include <string.h>

#include "input/input.h"
#include "input/pad_watch.h"
#include "res/resource.h"

HINSTANCE ModuleInstance;

// The sheet walks the page array by each record's dwSize, so the array is
// made of records of exactly that size: the header and page forms with the
// wizard fields, 52 and 48 bytes in the 32-bit build. The platform's
// *_SIZE macros are not constant expressions in C++ (and MinGW's
// PROPSHEETHEADERA_V2_SIZE names its member through an undefined macro), so
// the sizes are spelled out as the same end-of-member offsets.
static const DWORD SheetHeaderSize = offsetof(PROPSHEETHEADERA, hbmHeader) + sizeof(HBITMAP);
static_assert(sizeof(PROPSHEETPAGEA_V2) ==
              offsetof(PROPSHEETPAGEA, pszHeaderSubTitle) + sizeof(LPCSTR), "page records are packed");
#if defined(_WIN32) && !defined(_WIN64)
static_assert(SheetHeaderSize == 52, "32-bit sheet header is 52 bytes");
static_assert(sizeof(PROPSHEETPAGEA_V2) == 48, "32-bit page record is 48 bytes");
#endif

struct SheetPage {
    WORD template_id;
    DLGPROC procedure;
};

static const SheetPage SheetPages[SHEET_PAGE_COUNT] = {
    { IDD_GRAPHIC_AUDIO, GraphicAudioPageProc },
    { IDD_KEYBOARD, KeyboardPageProc },
    { IDD_GAMEPAD, GamepadPageProc },
};

void DescribeSheet(PROPSHEETHEADERA *header, PROPSHEETPAGEA_V2 pages[SHEET_PAGE_COUNT])
{
    for (int i = 0; i < SHEET_PAGE_COUNT; ++i) {
        // Tab titles come from the templates' captions.
        memset(&pages[i], 0, sizeof pages[i]);
        pages[i].dwSize = PROPSHEETPAGEA_V2_SIZE;
        pages[i].dwFlags = PSP_DEFAULT;
        pages[i].hInstance = ModuleInstance;
        pages[i].pszTemplate = MAKEINTRESOURCEA(SheetPages[i].template_id);
        pages[i].pfnDlgProc = SheetPages[i].procedure;
    }
    memset(header, 0, sizeof *header);
    header->dwSize = SheetHeaderSize;
    header->dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    header->hInstance = ModuleInstance;
    header->pszCaption = CONFIG_TITLE;
    header->nPages = SHEET_PAGE_COUNT;
    header->nStartPage = 0;
    header->ppsp = (LPCPROPSHEETPAGEA)pages;
    header->pfnCallback = SheetCallback;
}

// Windows tells every top-level window when devices come and go
// (DBT_DEVNODES_CHANGED), often many times for one plug; Wine and Proton
// tell windows that asked for it when a HID device (every pad) arrives or
// leaves. The pad watch then looks for changed pads a moment later
// (input/pad_watch.h).
//
// The sheet is subclassed to take these; the subclass keeps the handle of
// the HID notice's registration, which goes with the sheet.
static const UINT_PTR SheetSubclass = 1;
static const GUID HidInterfaceClass = {
    0x4D1E55B2, 0xF16F, 0x11CF, { 0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30 } };

static HDEVNOTIFY AskForHidNotices(HWND sheet)
{
    DEV_BROADCAST_DEVICEINTERFACE_A filter;
    memset(&filter, 0, sizeof filter);
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = HidInterfaceClass;
    return RegisterDeviceNotificationA(sheet, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

static LRESULT CALLBACK SheetSubclassProc(HWND sheet, UINT message, WPARAM wparam, LPARAM lparam,
                                          UINT_PTR, DWORD_PTR hidNotification)
{
    switch (message) {
    case WM_DEVICECHANGE:
        if (wparam != DBT_DEVNODES_CHANGED && wparam != DBT_DEVICEARRIVAL &&
            wparam != DBT_DEVICEREMOVECOMPLETE)
            break;
        NoticeDeviceChange(sheet);
        return TRUE;
    case WM_NCDESTROY:
        if (hidNotification)
            UnregisterDeviceNotification((HDEVNOTIFY)hidNotification);
        RemoveWindowSubclass(sheet, SheetSubclassProc, SheetSubclass);
        break;
    }
    return DefSubclassProc(sheet, message, wparam, lparam);
}

int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM)
{
    if (message == PSCB_INITIALIZED) {
        // No context-help button in the title bar.
        LONG style = GetWindowLongA(sheet, GWL_EXSTYLE);
        SetWindowLongA(sheet, GWL_EXSTYLE, style & ~WS_EX_CONTEXTHELP);
        SetWindowSubclass(sheet, SheetSubclassProc, SheetSubclass, (DWORD_PTR)AskForHidNotices(sheet));
    }
    return 0;
}

// SetDefaultDllDirectories exists from Windows 8 on (and on Windows 7 with
// its loader update), so it is looked up rather than imported.
typedef BOOL (WINAPI *SetDefaultDllDirectoriesProc)(DWORD);

void LimitDllSearchPath()
{
    SetDllDirectoryA("");
    // Where the system offers it, also name the default directories (the
    // tool's own folder and the system directory) outright: some systems,
    // Wine among them, keep the current directory despite the empty DLL
    // directory.
    FARPROC address = GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (address) {
        SetDefaultDllDirectoriesProc setDefault =
            reinterpret_cast<SetDefaultDllDirectoriesProc>(reinterpret_cast<void *>(address));
        setDefault(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    }
}

int RunConfigTool(HINSTANCE instance)
{
    ModuleInstance = instance;

    // The tool runs with the game folder as its current directory, where
    // anyone may have put a DLL.
    LimitDllSearchPath();

    HANDLE running = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, CONFIG_TITLE);
    if (running) {
        CloseHandle(running);
        return 0;
    }
    // Never closed: the guard lives as long as the process. Without it the
    // tool simply runs unguarded.
    CreateMutexA(NULL, FALSE, CONFIG_TITLE);

    PROPSHEETHEADERA header;
    PROPSHEETPAGEA_V2 pages[SHEET_PAGE_COUNT];
    DescribeSheet(&header, pages);
    InitCommonControls();
    int result = (int)PropertySheetA(&header);

    CloseInputDevices();
    return result;
}
