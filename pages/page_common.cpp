// What the pages do alike: marking the sheet changed, saving, the texts of
// the string table, marked static controls, the assignment lists.
#include "pages/page_common.h"

#include <commctrl.h>
#include <prsht.h>

#include "input/pad_order.h"
#include "settings/settings.h"

void MarkSheetChanged(HWND page)
{
    SendMessageA(GetParent(page), PSM_CHANGED, (WPARAM)page, 0);
}

static HINSTANCE PageModule(HWND page)
{
    return (HINSTANCE)GetWindowLongPtrA(page, GWLP_HINSTANCE);
}

char *LoadPageText(HWND page, UINT id, char *buffer, int size)
{
    if (LoadStringA(PageModule(page), id, buffer, size) <= 0)
        buffer[0] = '\0';
    return buffer;
}

// The message names the file as Explorer shows its folder: wide functions
// throughout, since a folder name outside the ANSI code page (a Japanese
// one on a Western Windows) would otherwise show as question marks. Its
// title is the sheet's.
static void ReportSaveFailure(HWND page, DWORD error)
{
    HINSTANCE module = PageModule(page);
    WCHAR path[MAX_PATH];
    DWORD length = GetFullPathNameW(L"" SETTING_FILE_NAME, MAX_PATH, path, NULL);
    if (length == 0 || length >= MAX_PATH)   // a longer path does not fit: the name alone
        lstrcpyW(path, L"" SETTING_FILE_NAME);
    WCHAR reason[512];
    if (!FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error,
                        0, reason, sizeof reason / sizeof reason[0], NULL)) {
        WCHAR format[64];
        LoadStringW(module, IDS_SAVE_ERROR, format, sizeof format / sizeof format[0]);
        wsprintfW(reason, format, (unsigned long)error);
    }
    WCHAR format[256], text[MAX_PATH + 768], title[128];
    LoadStringW(module, IDS_SAVE_FAILED, format, sizeof format / sizeof format[0]);
    wsprintfW(text, format, path, reason);
    HWND sheet = GetParent(page);
    GetWindowTextW(sheet, title, sizeof title / sizeof title[0]);
    MessageBoxW(sheet, text, title, MB_OK | MB_ICONERROR);
}

// The sheet told its current page PSN_KILLACTIVE before asking the pages
// to apply; a vetoed apply leaves that page shown, and the sheet does not
// activate it again. Doing it here restarts an assignment page's capture
// timer, which would otherwise stay off until the user changed tabs.
static void ReactivateCurrentPage(HWND sheet)
{
    HWND current = PropSheet_GetCurrentPageHwnd(sheet);
    if (!current)
        return;
    NMHDR header = { sheet, 0, (UINT)PSN_SETACTIVE };
    SendMessageA(current, WM_NOTIFY, 0, (LPARAM)&header);
}

INT_PTR SaveSettingsForPage(HWND page)
{
    // setting.cfg first; which pad was which follows, as a hint that may
    // fail without a word.
    if (SaveSettingFile() == 0) {
        WritePadOrder();
        return 0;
    }
    ReportSaveFailure(page, GetLastError());
    // Before the veto is recorded: a notification handled by this same page
    // clears its DWLP_MSGRESULT.
    ReactivateCurrentPage(GetParent(page));
    // Veto the apply: the sheet stays open on this page so the user can
    // retry, and the pages after it are not asked to save again.
    SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_INVALID_NOCHANGEPAGE);
    return TRUE;
}

// The warning colour of a label whose input is assigned twice: red, or on
// a high-contrast theme the theme's own link colour, which it keeps
// readable on the dialog background.
static COLORREF WarningColour()
{
    HIGHCONTRASTA contrast = { sizeof contrast, 0, NULL };
    if (SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON))
        return GetSysColor(COLOR_HOTLIGHT);
    return RGB(0xC0, 0, 0);
}

INT_PTR MarkedStaticColours(HWND page, HDC dc, HWND control, uint8_t marks)
{
    // The dialog's own answer is asked for below, and comes back here
    // first: it must get the default answer.
    static bool askingDialog;
    if (askingDialog || marks == 0)
        return 0;
    if (marks & LABEL_PRESSED) {
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        return (INT_PTR)GetSysColorBrush(COLOR_HIGHLIGHT);
    }
    // The page's own background (a themed page draws its tab's texture),
    // with the warning colour for the text.
    askingDialog = true;
    INT_PTR brush = (INT_PTR)DefDlgProcA(page, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)control);
    askingDialog = false;
    SetTextColor(dc, WarningColour());
    return brush;
}

HWND AssignList(HWND page, int assignIndex)
{
    return GetDlgItem(page, IDC_ASSIGN_FIRST + assignIndex);
}

int FocusedAssignIndex(HWND page)
{
    // The focused window's own id rather than a search of the 24 ids: each
    // GetDlgItem walks the page's children again, and this runs at every
    // tick while an input is held.
    HWND focus = GetFocus();
    if (!focus || GetAncestor(focus, GA_PARENT) != page)
        return -1;
    int id = GetDlgCtrlID(focus);
    if (id < IDC_ASSIGN_FIRST || id > IDC_ASSIGN_LAST)
        return -1;
    return id - IDC_ASSIGN_FIRST;
}

void SetAssignListsRedraw(HWND page, BOOL redraw)
{
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        HWND list = AssignList(page, a);
        if (list)
            SendMessageA(list, WM_SETREDRAW, redraw, 0);
    }
}
