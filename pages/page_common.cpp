// What every page does the same way: marking the sheet changed, saving;
// and what both assignment pages do alike: live capture and PSN_APPLY.
#include "pages/pages.h"

#include <commctrl.h>
#include <prsht.h>
#include <string.h>

#include "app/shell.h"
#include "pages/assign_pass.h"
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

// The message names the file as Explorer shows its folder: wide functions
// throughout, since a folder name outside the ANSI code page (a Japanese
// one on a Western Windows) would otherwise show as question marks.
static void ReportSaveFailure(HWND page, DWORD error)
{
    WCHAR path[MAX_PATH];
    DWORD length = GetFullPathNameW(L"" SETTING_FILE_NAME, MAX_PATH, path, NULL);
    if (length == 0 || length >= MAX_PATH)   // a longer path does not fit: the name alone
        lstrcpyW(path, L"" SETTING_FILE_NAME);
    WCHAR reason[512];
    if (!FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error,
                        0, reason, sizeof reason / sizeof reason[0], NULL))
        wsprintfW(reason, L"Error %lu.", (unsigned long)error);
    WCHAR text[MAX_PATH + 640];
    wsprintfW(text, L"The settings could not be saved to\n%s\n\n%s", path, reason);
    MessageBoxW(GetParent(page), text, L"" CONFIG_TITLE, MB_OK | MB_ICONERROR);
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

INT_PTR AssignmentPageNotify(HWND page, const NMHDR *header, const AssignPageCapture &capture,
                             int player)
{
    switch (header->code) {
    case PSN_APPLY:
        capture.storeRow(player);
        return SaveSettingsForPage(page);
    case PSN_KILLACTIVE:
        EndAssignPass(page);
        KillTimer(page, CaptureTimer);
        capture.stopCapture();
        return 0;
    case PSN_SETACTIVE:
        // Setting it again while it runs only restarts its period.
        SetTimer(page, CaptureTimer, CapturePeriod, NULL);
        return 0;
    }
    return 0;
}

// The labels are the 5th to 22nd controls of both assignment templates, in
// the order of the lists they name (AssignListOrder).
static const int FirstLabelControl = 4;

void FindAssignLabels(HWND page, AssignPageMarks &marks)
{
    memset(&marks, 0, sizeof marks);
    for (uint32_t &input : marks.shown)
        input = ASSIGN_NO_INPUT;
    HWND control = GetWindow(page, GW_CHILD);
    for (int i = 0; control && i < FirstLabelControl; ++i)
        control = GetWindow(control, GW_HWNDNEXT);
    for (int a : AssignListOrder) {
        if (!control)
            break;
        marks.labels[a] = control;
        GetWindowTextA(control, marks.names[a], LABEL_NAME_SIZE);
        control = GetWindow(control, GW_HWNDNEXT);
    }
}

static void SetLabelMarks(AssignPageMarks &marks, int a, uint8_t value)
{
    if (marks.marks[a] == value)
        return;
    marks.marks[a] = value;
    InvalidateRect(marks.labels[a], NULL, TRUE);
}

void MarkPressedLabels(AssignPageMarks &marks, bool (*pressed)(uint32_t input))
{
    for (int a : AssignListOrder) {
        uint32_t input = marks.shown[a];
        bool down = input != ASSIGN_NO_INPUT && pressed(input);
        SetLabelMarks(marks, a, (uint8_t)((marks.marks[a] & ~LABEL_PRESSED) | (down ? LABEL_PRESSED : 0)));
    }
}

// A text built in a fixed buffer: appends stop at its end, so a damaged
// file with many duplicates cannot write past it.
struct BoundedText {
    char text[1024];
    int length;
};

static void Append(BoundedText &out, const char *part)
{
    while (*part && out.length < (int)sizeof out.text - 1)
        out.text[out.length++] = *part++;
    out.text[out.length] = '\0';
}

// Whether text fits the static control with word wrapping, in its font.
static bool FitsControl(HWND control, const char *text)
{
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(control, WM_GETFONT, 0, 0));
    RECT needed = { 0, 0, client.right, 0 };
    DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return needed.right <= client.right && needed.bottom <= client.bottom;
}

void ShowDuplicates(HWND page, AssignPageMarks &marks, const uint32_t other[ASSIGN_COUNT],
                    int otherPlayer, void (*inputText)(char *buffer, uint32_t input))
{
    static const char Heading[] = "Assigned twice: ";
    BoundedText line;
    line.length = 0;
    Append(line, Heading);
    int ends[ASSIGN_COUNT];   // where each named input's part ends
    int firstInputEnd = 0;    // the heading and the first input's text
    int named = 0;
    bool duplicate[ASSIGN_COUNT] = {};
    for (int a : AssignListOrder) {
        uint32_t input = marks.shown[a];
        if (input == ASSIGN_NO_INPUT || duplicate[a])
            continue;
        int shownCount = 0, otherCount = 0;
        for (int b : AssignListOrder) {
            shownCount += marks.shown[b] == input;
            otherCount += other[b] == input;
        }
        if (shownCount < 2 && otherCount == 0)
            continue;
        char text[DUPLICATE_INPUT_SIZE];
        inputText(text, input);
        if (named > 0)
            Append(line, "; ");
        Append(line, text);
        if (named == 0)
            firstInputEnd = line.length;
        Append(line, ":");
        const char *separator = " ";
        for (int b : AssignListOrder) {
            if (marks.shown[b] != input)
                continue;
            duplicate[b] = true;
            Append(line, separator);
            Append(line, marks.names[b]);
            separator = ", ";
        }
        for (int b : AssignListOrder) {
            if (other[b] != input)
                continue;
            char name[LABEL_NAME_SIZE + 16];
            wsprintfA(name, "%sPlayer %d %s", separator, otherPlayer + 1, marks.names[b]);
            Append(line, name);
            separator = ", ";
        }
        ends[named++] = line.length;
    }

    HWND control = GetDlgItem(page, IDC_DUPLICATES);
    if (named == 0) {
        line.text[0] = '\0';
    } else if (!FitsControl(control, line.text)) {
        // The first inputs that fit, and how many more there are; at
        // least the first input's own text.
        char shortened[sizeof line.text + 32];
        for (int kept = named - 1;; --kept) {
            int end = kept > 0 ? ends[kept - 1] : firstInputEnd;
            int more = named - (kept > 0 ? kept : 1);
            memcpy(shortened, line.text, end);
            shortened[end] = '\0';
            if (more > 0)
                wsprintfA(shortened + end, " and %d more", more);
            if (kept == 0 || FitsControl(control, shortened))
                break;
        }
        lstrcpynA(line.text, shortened, sizeof line.text);
    }
    SetWindowTextA(control, line.text);
    for (int a : AssignListOrder) {
        SetLabelMarks(marks, a, (uint8_t)((marks.marks[a] & ~LABEL_DUPLICATE) |
                                          (duplicate[a] ? LABEL_DUPLICATE : 0)));
    }
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

INT_PTR AssignLabelColours(HWND page, const AssignPageMarks &marks, HDC dc, HWND control)
{
    // The line of a pass of "Assign All", shown only while one runs, stands
    // out in the selection colours.
    if (GetDlgCtrlID(control) == IDC_ASSIGN_PASS_LINE)
        return MarkedStaticColours(page, dc, control, LABEL_PRESSED);
    for (int a : AssignListOrder) {
        if (marks.labels[a] == control)
            return MarkedStaticColours(page, dc, control, marks.marks[a]);
    }
    return 0;
}
