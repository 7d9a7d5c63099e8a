// The gamepad page's lists: filling them with the pads' entries, showing a
// row of codes in them, and the AnalogGroup rule. Every list entry is a
// text and a PadBinding (its item data), and the text begins with the
// code's label (input/pad_entries.h): a code is shown by finding the entry
// whose label is the code's label, which is also how loading and capture
// find it.
//
// A stored code of the tool's own shape that no entry offers (its pad is
// not connected, or lacks that input) gets an entry of its own at the end
// of its list, so that it is shown and saved unchanged until the player
// chooses otherwise.
#include "pages/pad_lists.h"

#include "input/input.h"
#include "input/pad_binding.h"
#include "input/pad_entries.h"
#include "input/pad_watch.h"
#include "pages/pages.h"

HWND PadList(HWND page, int assignIndex)
{
    return GetDlgItem(page, IDC_ASSIGN_FIRST + assignIndex);
}

uint32_t SelectedPadCode(HWND list)
{
    LRESULT item = SendMessageA(list, CB_GETCURSEL, 0, 0);
    return (uint32_t)SendMessageA(list, CB_GETITEMDATA, (WPARAM)item, 0);
}

// Selects the entry whose label is this label, letters without regard to
// case: one of the entries every list holds, or the list's kept entry
// after them. CB_ERR when none is; the selection then stays as it was.
static LRESULT SelectPadLabel(HWND list, const char *label)
{
    int entry = PadEntryWithLabel(label);
    if (entry < 0) {
        entry = PadListEntries.count;
        if (SendMessageA(list, CB_GETCOUNT, 0, 0) <= entry)
            return CB_ERR;
        char kept[PAD_LABEL_SIZE];
        FormatPadBinding(kept, (uint32_t)SendMessageA(list, CB_GETITEMDATA, (WPARAM)entry, 0));
        if (lstrcmpiA(kept, label) != 0)
            return CB_ERR;
    }
    return SendMessageA(list, CB_SETCURSEL, (WPARAM)entry, 0);
}

static LRESULT SelectPadCode(HWND list, uint32_t code)
{
    char label[PAD_LABEL_SIZE];
    FormatPadBinding(label, code);
    return SelectPadLabel(list, label);
}

void ShowPadLabel(HWND list, const char *label)
{
    SendMessageA(list, CB_SHOWDROPDOWN, FALSE, 0);
    SelectPadLabel(list, label);
}

static void ShowPadCode(HWND list, uint32_t code)
{
    char label[PAD_LABEL_SIZE];
    FormatPadBinding(label, code);
    ShowPadLabel(list, label);
}

// Selects "None": its label finds only entry 0.
static void ClearPadList(HWND list)
{
    SelectPadCode(list, PAD_BINDING_NONE);
}

// Appends an entry: its text, and its code as item data.
static void AddPadEntry(HWND list, const char *text, uint32_t code)
{
    LRESULT item = SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)text);
    SendMessageA(list, CB_SETITEMDATA, (WPARAM)item, (LPARAM)code);
}

// The entries the lists already hold that stay the same (all of pad 0's
// when only pad 1 came or went) are kept: under Wine a list's entry costs
// tens of microseconds to remove and as much to add again. Any entry after
// them goes, kept entries included.
void FillPadLists(HWND page, bool listsEmpty)
{
    int same = RefreshPadListEntries(listsEmpty, PadLayouts);
    const PadEntryList &entries = PadListEntries;
    // Each list is looked up once rather than once per entry.
    HWND lists[ASSIGN_COUNT];
    for (int a = 0; a < ASSIGN_COUNT; ++a)
        lists[a] = PadList(page, a);
    SetAssignListsRedraw(page, FALSE);
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        HWND list = lists[a];
        if (!list)
            continue;
        if (same == 0) {
            SendMessageA(list, CB_RESETCONTENT, 0, 0);
        } else {
            for (int i = (int)SendMessageA(list, CB_GETCOUNT, 0, 0) - 1; i >= same; --i)
                SendMessageA(list, CB_DELETESTRING, (WPARAM)i, 0);
        }
        for (int i = same; i < entries.count; ++i)
            AddPadEntry(list, entries.texts[i], entries.codes[i]);
    }
    SetAssignListsRedraw(page, TRUE);

}

// Widens a list's drop-down part to show text whole.
static void FitDroppedWidth(HWND list, const char *text)
{
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(list, WM_GETFONT, 0, 0));
    SIZE size = { 0, 0 };
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    int width = size.cx + GetSystemMetrics(SM_CXVSCROLL) + 4 * GetSystemMetrics(SM_CXEDGE);
    if (width > SendMessageA(list, CB_GETDROPPEDWIDTH, 0, 0))
        SendMessageA(list, CB_SETDROPPEDWIDTH, width, 0);
}

// Adds and selects the entry of a code that no entry offers: its text, and
// why it is not there.
static void AddKeptEntry(HWND list, uint32_t code)
{
    char text[PAD_ENTRY_TEXT_SIZE + 24];
    FormatPadEntry(text, code);
    lstrcatA(text, PadDevices[code >> 31] ? " (not on pad)" : " (not connected)");
    LRESULT item = SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)text);
    SendMessageA(list, CB_SETITEMDATA, (WPARAM)item, (LPARAM)code);
    SendMessageA(list, CB_SETCURSEL, (WPARAM)item, 0);
    FitDroppedWidth(list, text);
}

void ShowPadRow(HWND page, const uint32_t row[ASSIGN_COUNT])
{
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        HWND list = PadList(page, a);
        if (!list)
            continue;
        // The entry kept for the code shown before goes first, so that it
        // can never match a search.
        int count = PadListEntries.count;
        while (SendMessageA(list, CB_GETCOUNT, 0, 0) > count)
            SendMessageA(list, CB_DELETESTRING, (WPARAM)count, 0);
        if (SelectPadCode(list, row[a]) != CB_ERR)
            continue;
        if (IsToolPadBinding(row[a]))
            AddKeptEntry(list, row[a]);
        else
            SendMessageA(list, CB_SETCURSEL, 0, 0);
    }
}

void ApplyAnalogGroupRule(HWND page, HWND list, uint32_t code, const char *label, int assignIndex)
{
    int group = assignIndex & ~3;
    int pair = assignIndex & ~1;
    int partner = assignIndex ^ 1;

    if (code & PAD_BINDING_BUTTON) {
        // A button, or "None" (which carries every kind bit).
        ShowPadLabel(list, label);
        for (int k = group; k < group + 4; ++k) {
            HWND member = PadList(page, k);
            uint32_t current = SelectedPadCode(member);
            if ((current & PAD_BINDING_POV) || ((current & PAD_BINDING_MOVING) && k == partner))
                ClearPadList(member);
        }
    } else if (code & PAD_BINDING_MOVING) {
        // Both ends of the axis or slider: the low end in the even member.
        for (uint32_t end = 0; end < 2; ++end)
            ShowPadCode(PadList(page, pair + (int)end), (code & ~1u) | end);
        for (int k = group; k < group + 4; ++k) {
            HWND member = PadList(page, k);
            if (SelectedPadCode(member) & PAD_BINDING_POV)
                ClearPadList(member);
        }
    } else if (code & PAD_BINDING_POV) {
        // Up, down, left and right of the hat, in member order.
        for (uint32_t d = PAD_POV_UP; d <= PAD_POV_RIGHT; ++d)
            ShowPadCode(PadList(page, group + (int)d), (code & ~3u) | d);
    }
}

void CloseFocusedDropDown(HWND page)
{
    int focused = FocusedAssignIndex(page);
    if (focused >= 0)
        SendMessageA(PadList(page, focused), CB_SHOWDROPDOWN, FALSE, 0);
}
