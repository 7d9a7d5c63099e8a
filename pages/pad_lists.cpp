// The gamepad page's lists: filling them with the pads' entries, showing
// codes in them, and the AnalogGroup rule. Every list entry is a text and
// a PadBinding (its item data), and the text begins with the code's label
// (input/pad_entries.h). A list selects an entry by its code; a code loaded
// from the settings is first turned into the code of its entry
// (PadEntryCode), by the entries' labels.
//
// A stored code of the tool's shape that no entry offers (its pad is not
// connected, or lacks that input) gets an entry of its own at the end of
// its list, so that it is shown and saved unchanged until the player
// chooses otherwise.
#include "pages/pad_lists.h"

#include "input/input.h"
#include "input/pad_binding.h"
#include "input/pad_entries.h"
#include "input/pad_watch.h"
#include "pages/page_common.h"

// The code of the selected entry: PAD_BINDING_NONE (CB_ERR) for a list
// without a selection.
static uint32_t SelectedPadCode(HWND list)
{
    LRESULT item = SendMessageA(list, CB_GETCURSEL, 0, 0);
    return (uint32_t)SendMessageA(list, CB_GETITEMDATA, (WPARAM)item, 0);
}

// Selects the entry of a code: one of the entries every list holds, or the
// list's kept entry after them. CB_ERR when none is; the selection then
// stays as it was.
static LRESULT SelectPadCode(HWND list, uint32_t code)
{
    int entry = PadEntryIndex(code);
    if (entry < 0) {
        entry = PadListEntries.count;
        if (SendMessageA(list, CB_GETCOUNT, 0, 0) <= entry ||
            (uint32_t)SendMessageA(list, CB_GETITEMDATA, (WPARAM)entry, 0) != code)
            return CB_ERR;
    }
    return SendMessageA(list, CB_SETCURSEL, (WPARAM)entry, 0);
}

// What a choice by code looks like to the user: the list closes, then
// shows the code's entry, if it has one.
static void ShowPadCode(HWND list, uint32_t code)
{
    SendMessageA(list, CB_SHOWDROPDOWN, FALSE, 0);
    SelectPadCode(list, code);
}

// Selects "None", entry 0.
static void ClearPadList(HWND list)
{
    SelectPadCode(list, PAD_BINDING_NONE);
}

// Appends an entry: its text, and its code as item data.
static LRESULT AddPadEntry(HWND list, const char *text, uint32_t code)
{
    LRESULT item = SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)text);
    SendMessageA(list, CB_SETITEMDATA, (WPARAM)item, (LPARAM)code);
    return item;
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
        lists[a] = AssignList(page, a);
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
    char entry[PAD_ENTRY_TEXT_SIZE], format[64], text[PAD_ENTRY_TEXT_SIZE + 64];
    FormatPadEntry(entry, code);
    LoadPageText(GetParent(list), PadDevices[PadBindingPad(code)] ? IDS_KEPT_NOT_ON_PAD
                                                                   : IDS_KEPT_NOT_CONNECTED,
                 format, sizeof format);
    wsprintfA(text, format, entry);
    SendMessageA(list, CB_SETCURSEL, (WPARAM)AddPadEntry(list, text, code), 0);
    FitDroppedWidth(list, text);
}

void ShowPadValue(HWND list, uint32_t code)
{
    // The entry kept for the code shown before goes first, so that it can
    // never be selected.
    int count = PadListEntries.count;
    while (SendMessageA(list, CB_GETCOUNT, 0, 0) > count)
        SendMessageA(list, CB_DELETESTRING, (WPARAM)count, 0);
    uint32_t entry = PadEntryCode(code);
    if (SelectPadCode(list, entry) != CB_ERR)
        return;
    if (IsToolPadBinding(entry))
        AddKeptEntry(list, entry);
    else
        SendMessageA(list, CB_SETCURSEL, 0, 0);
}

void ApplyAnalogGroupRule(HWND page, int assignIndex, uint32_t code)
{
    int group = AnalogGroupOf(assignIndex);
    int pair = AnalogPairOf(assignIndex);
    int partner = AnalogPartnerOf(assignIndex);

    if (code & PAD_BINDING_BUTTON) {
        // A button, or "None" (which carries every kind bit).
        ShowPadCode(AssignList(page, assignIndex), code);
        for (int k = group; k < group + ANALOG_GROUP_SIZE; ++k) {
            HWND member = AssignList(page, k);
            uint32_t current = SelectedPadCode(member);
            if ((current & PAD_BINDING_POV) || ((current & PAD_BINDING_MOVING) && k == partner))
                ClearPadList(member);
        }
    } else if (code & PAD_BINDING_MOVING) {
        // Both ends of the axis or slider: the low end in the even member.
        for (uint32_t end = 0; end < ANALOG_PAIR_SIZE; ++end)
            ShowPadCode(AssignList(page, pair + (int)end), PadBindingAtEnd(code, end));
        for (int k = group; k < group + ANALOG_GROUP_SIZE; ++k) {
            HWND member = AssignList(page, k);
            if (SelectedPadCode(member) & PAD_BINDING_POV)
                ClearPadList(member);
        }
    } else if (code & PAD_BINDING_POV) {
        // Up, down, left and right of the hat, in member order.
        for (uint32_t d = PAD_POV_UP; d <= PAD_POV_RIGHT; ++d)
            ShowPadCode(AssignList(page, group + (int)d), PadBindingTurned(code, d));
    }
}

bool ShowPadInput(AssignPage &page, int a, uint32_t code)
{
    if (InAnalogGroup(a))
        ApplyAnalogGroupRule(page.window, a, code);
    else
        ShowPadCode(AssignList(page.window, a), code);
    // Whether the list, or in an AnalogGroup any of the group's lists,
    // shows something else now.
    int first = InAnalogGroup(a) ? AnalogGroupOf(a) : a;
    int end = InAnalogGroup(a) ? first + ANALOG_GROUP_SIZE : a + 1;
    for (int k = first; k < end; ++k) {
        if (AssignList(page.window, k) && AssignListValue(page, k) != page.marks.shown[k])
            return true;
    }
    return false;
}

void CloseFocusedDropDown(HWND page)
{
    int focused = FocusedAssignIndex(page);
    if (focused >= 0)
        SendMessageA(AssignList(page, focused), CB_SHOWDROPDOWN, FALSE, 0);
}
