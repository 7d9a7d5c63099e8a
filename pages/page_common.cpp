// What every page does the same way: marking the sheet changed, saving;
// and what both assignment pages do alike: live capture and PSN_APPLY.
#include "pages/pages.h"

#include <commctrl.h>
#include <prsht.h>

#include "app/shell.h"
#include "res/resource.h"
#include "settings/settings.h"

// The capture timer of an assignment page: id 0 on the page window, ticks
// as WM_TIMER every 33 ms while the page is the sheet's active page.
static const UINT_PTR CaptureTimer = 0;
static const UINT CapturePeriod = 33;

void MarkSheetChanged(HWND page)
{
    SendMessageA(GetParent(page), PSM_CHANGED, (WPARAM)page, 0);
}

static void ReportSaveFailure(HWND page, DWORD error)
{
    char path[MAX_PATH];
    if (!GetFullPathNameA(SETTING_FILE_NAME, sizeof path, path, NULL))
        lstrcpyA(path, SETTING_FILE_NAME);
    char reason[512];
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error,
                        0, reason, sizeof reason, NULL))
        wsprintfA(reason, "Error %lu.", (unsigned long)error);
    char text[MAX_PATH + 640];
    wsprintfA(text, "The settings could not be saved to\n%s\n\n%s", path, reason);
    MessageBoxA(GetParent(page), text, CONFIG_TITLE, MB_OK | MB_ICONERROR);
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
    if (SaveSettingFile() == 0)
        return 0;
    ReportSaveFailure(page, GetLastError());
    // Before the veto is recorded: a notification handled by this same page
    // clears its DWLP_MSGRESULT.
    ReactivateCurrentPage(GetParent(page));
    // Veto the apply: the sheet stays open on this page so the user can
    // retry, and the pages after it are not asked to save again.
    SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_INVALID_NOCHANGEPAGE);
    return TRUE;
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
        HWND list = GetDlgItem(page, IDC_ASSIGN_FIRST + a);
        if (list)
            SendMessageA(list, WM_SETREDRAW, redraw, 0);
    }
}

INT_PTR AssignmentPageNotify(HWND page, const NMHDR *header, void (*storeRow)(int player),
                             int player)
{
    switch (header->code) {
    case PSN_APPLY:
        storeRow(player);
        return SaveSettingsForPage(page);
    case PSN_KILLACTIVE:
        KillTimer(page, CaptureTimer);
        return 0;
    case PSN_SETACTIVE:
        // Setting it again while it runs only restarts its period.
        SetTimer(page, CaptureTimer, CapturePeriod, NULL);
        return 0;
    }
    return 0;
}
