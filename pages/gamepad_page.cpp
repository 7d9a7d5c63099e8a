// The gamepad page: which pad input stands for each of the game's buttons,
// for two players, one player shown at a time. An input is chosen from a
// list of every input of the detected pads or captured live: while the page
// is active a 33 ms timer polls the pads and selects the first pressed or
// deflected input in the focused list.
//
// Every list entry is a text and a PadBinding (its item data), and the text
// is the code's label: a code is shown by searching its label with the
// list's own prefix search, which is also how loading and capture find it.
// List 1041 + a holds PadRow entry a. The template has no list for
// AssignIndex 14, 15 and 20..23: messages to those ids do nothing and
// return 0, so filling and loading pass over them and storing writes 0.
//
// "Up(A)".."Right(A)" (AssignIndex 16..19) form an AnalogGroup: choosing an
// axis or slider end there fills in both ends of it, a hat direction all
// four directions of that hat, and a button or "None" removes every hat
// direction from the group and an axis or slider end from its pair partner.
//
// A stored code of the tool's own shape that no entry offers (its pad is
// not connected, or lacks that input) gets an entry of its own at the end
// of its list, so that it is shown and saved unchanged until the player
// chooses otherwise. Pads plugged in or removed while the tool runs are
// picked up: the lists are rebuilt, keeping what they showed.
//
// "Pad Layout" assigns the shown player's pad (pad N for player N) by the
// pad's own layout (input/pad_layout.h). The page finds each pad's layout
// at its first tick after it is shown, whenever the pads change and when
// the player's gamecontrollerdb.txt changes, and shows where it came from
// beside each pad line; the button is enabled only while the shown
// player's pad has one.
#include "pages/pages.h"

#include <commctrl.h>
#include <prsht.h>
#include <string.h>

#include "app/tooltips.h"
#include "input/input.h"
#include "input/pad_binding.h"
#include "input/pad_layout.h"
#include "res/resource.h"
#include "settings/settings.h"

int PadPagePlayer;
HWND PadPageWindow;
static AssignPageMarks PadMarks;
// Entries every list holds after FillPadCombos: "None" and both pads'. An
// entry after them is the list's kept entry, at most one.
static int PadEntryCount;
// Whether each pad line is marked: an input of that pad is pressed.
static bool PadLineActive[PAD_SLOTS];
// While the page is shown it looks for pads plugged in or removed by
// itself, since Wine does not always tell the sheet and DirectInput may
// list a pad later than any notice: every half second it reads the
// system's device list, and when that changed it asks DirectInput.
// DirectInput's enumeration also runs unasked, as often as its own cost
// allows: at most every 0.9 s, and no more than 1/4000 of the time, but at
// least every 4 s whatever it costs (15 to 85 ms on Windows, a few ms
// under Wine), so that a pad listed late shows within a few seconds.
static int TicksToPadCheck;
static const int PadCheckTicks = 15;
static DWORD NextPadEnumeration;   // GetTickCount
static const DWORD PadEnumerationWaitMin = 900;
static const DWORD PadEnumerationWaitMax = 4000;
static const DWORD PadEnumerationCostShare = 4000;

// Each pad's layout and where it came from, found again when the pads or
// the player's file change; PadLayoutsFound is false until then.
static PadLayoutRecord PadLayouts[PAD_SLOTS];
static bool PadLayoutsFound;
static uint32_t PadLayoutFileStamp;

// AssignIndex 16 and above belong to an AnalogGroup (16..19, 20..23).
static const int AnalogGroupFirst = 16;

// The most entries one pad adds: six axes with two ends each, then what a
// PadBinding can name of sliders, hats and buttons.
#define PAD_ENTRY_MAX (6 * 2 + 2 * PAD_BINDING_SLIDERS + 4 * PAD_BINDING_HATS + PAD_BINDING_BUTTONS)

// The list of an AssignIndex; NULL for the ids without a control, and every
// message sent to NULL does nothing and returns 0, as for such an id.
static HWND PadList(HWND page, int assignIndex)
{
    return GetDlgItem(page, IDC_ASSIGN_FIRST + assignIndex);
}

// The code of the selected entry: PAD_BINDING_NONE (CB_ERR) for a list
// without a selection, 0 for an id without a control.
static uint32_t SelectedPadCode(HWND list)
{
    LRESULT item = SendMessageA(list, CB_GETCURSEL, 0, 0);
    return (uint32_t)SendMessageA(list, CB_GETITEMDATA, (WPARAM)item, 0);
}

// Selects the first entry whose text begins with the label, searching from
// entry 1 to the end and then entry 0 ("None"), letters without regard to
// case. CB_ERR when no entry does; the selection then stays as it was.
static LRESULT SelectPadLabel(HWND list, const char *label)
{
    return SendMessageA(list, CB_SELECTSTRING, 0, (LPARAM)label);
}

static LRESULT SelectPadCode(HWND list, uint32_t code)
{
    char label[PAD_LABEL_SIZE];
    FormatPadBinding(label, code);
    return SelectPadLabel(list, label);
}

// What a choice by code looks like to the user: the list closes, then
// shows the code's entry if it has one.
static void ShowPadLabel(HWND list, const char *label)
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

// Pad p's entries in list order: X and Y always, then Z, Rx, Ry and Rz
// where present (low end first), slider ends, hat directions (up, down,
// left, right) and buttons. A pad without buttons is no usable pad and adds
// nothing. Sliders, hats and buttons stop at what a PadBinding can name, so
// that every entry stores back as the input it shows.
static int ListPadEntries(int pad, uint32_t codes[PAD_ENTRY_MAX])
{
    const PadCapsRecord &caps = PadCaps[pad];
    if (caps.ButtonCount == 0)
        return 0;
    uint32_t padBits = PadBindingPadBits(pad);
    int n = 0;

    const bool axisPresent[6] = { true, true, caps.HasZ != 0, caps.HasRx != 0,
                                  caps.HasRy != 0, caps.HasRz != 0 };
    for (uint32_t axis = 0; axis < 6; ++axis) {
        if (!axisPresent[axis])
            continue;
        codes[n++] = padBits | PAD_BINDING_AXIS | (2 * axis);
        codes[n++] = padBits | PAD_BINDING_AXIS | (2 * axis + 1);
    }
    for (uint32_t s = 0; s < caps.SliderCount && s < PAD_BINDING_SLIDERS; ++s) {
        codes[n++] = padBits | PAD_BINDING_SLIDER | (s << 8);
        codes[n++] = padBits | PAD_BINDING_SLIDER | (s << 8) | 1;
    }
    for (uint32_t h = 0; h < caps.PovCount && h < PAD_BINDING_HATS; ++h) {
        for (uint32_t d = PAD_POV_UP; d <= PAD_POV_RIGHT; ++d)
            codes[n++] = padBits | PAD_BINDING_POV | (h << 8) | d;
    }
    for (uint32_t b = 0; b < caps.ButtonCount && b < PAD_BINDING_BUTTONS; ++b)
        codes[n++] = padBits | PAD_BINDING_BUTTON | b;
    return n;
}

// Appends an entry: the code's label as text, the code as item data.
static void AddPadEntry(HWND list, uint32_t code)
{
    char label[PAD_LABEL_SIZE];
    FormatPadBinding(label, code);
    LRESULT item = SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)label);
    SendMessageA(list, CB_SETITEMDATA, (WPARAM)item, (LPARAM)code);
}

// Every list's entries: "None", then pad 0's, then pad 1's.
#define LIST_ENTRY_MAX (1 + PAD_SLOTS * PAD_ENTRY_MAX)
static int ListAllEntries(uint32_t codes[LIST_ENTRY_MAX])
{
    codes[0] = PAD_BINDING_NONE;
    int n = 1;
    for (int pad = 0; pad < PAD_SLOTS; ++pad)
        n += ListPadEntries(pad, codes + n);
    return n;
}

// Makes every list hold the entries of the pads as they are now, and
// enables the Advanced boxes for them. The entries the lists already hold
// that stay the same (all of pad 0's when only pad 1 came or went) are
// kept: under Wine a list's entry costs tens of microseconds to remove and
// as much to add again. Any entry after them goes, kept entries included.
static void UpdatePadEntries(HWND page)
{
    static uint32_t held[LIST_ENTRY_MAX];   // what the lists hold now
    uint32_t codes[LIST_ENTRY_MAX];
    int count = ListAllEntries(codes);
    int same = 0;
    while (same < count && same < PadEntryCount && codes[same] == held[same])
        ++same;
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
        for (int i = same; i < count; ++i)
            AddPadEntry(list, codes[i]);
    }
    SetAssignListsRedraw(page, TRUE);
    memcpy(held, codes, count * sizeof codes[0]);
    PadEntryCount = count;

    // The Advanced boxes count every pad, usable or not; Z is always
    // captured and so has no box.
    uint32_t rotationAxes = 0, sliders = 0;
    for (const PadCapsRecord &caps : PadCaps) {
        rotationAxes += caps.HasRx + caps.HasRy + caps.HasRz;
        sliders += caps.SliderCount;
    }
    EnableWindow(GetDlgItem(page, IDC_ROTATER), rotationAxes != 0);
    EnableWindow(GetDlgItem(page, IDC_SLIDER), sliders != 0);
}

void FillPadCombos()
{
    // The lists are empty: everything is added.
    PadEntryCount = 0;
    UpdatePadEntries(PadPageWindow);
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

// Adds and selects the entry of a code that no entry offers: its label,
// and why it is not there.
static void AddKeptEntry(HWND list, uint32_t code)
{
    char text[PAD_LABEL_SIZE + 24];
    FormatPadBinding(text, code);
    lstrcatA(text, PadDevices[code >> 31] ? " (not on pad)" : " (not connected)");
    LRESULT item = SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)text);
    SendMessageA(list, CB_SETITEMDATA, (WPARAM)item, (LPARAM)code);
    SendMessageA(list, CB_SETCURSEL, (WPARAM)item, 0);
    FitDroppedWidth(list, text);
}

// Shows a row of codes in the lists. A code without an entry keeps its own
// entry when it has the tool's shape, and otherwise shows as "None" (and
// so is stored as "None" when the row is next stored).
static void ShowPadRow(const uint32_t row[ASSIGN_COUNT])
{
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        HWND list = PadList(PadPageWindow, a);
        if (!list)
            continue;
        // The entry kept for the code shown before goes first, so that it
        // can never match a search.
        while (SendMessageA(list, CB_GETCOUNT, 0, 0) > PadEntryCount)
            SendMessageA(list, CB_DELETESTRING, (WPARAM)PadEntryCount, 0);
        if (SelectPadCode(list, row[a]) != CB_ERR)
            continue;
        if (IsToolPadBinding(row[a]))
            AddKeptEntry(list, row[a]);
        else
            SendMessageA(list, CB_SETCURSEL, 0, 0);
    }
}

static void RefreshPadMarks(int shownPlayer);

void LoadPadRow(int player)
{
    ShowPadRow(Settings.PadRow[player]);
    RefreshPadMarks(player);
}

void StorePadRow(int player)
{
    uint32_t *row = Settings.PadRow[player];
    for (int a = 0; a < ASSIGN_COUNT; ++a)
        row[a] = SelectedPadCode(PadList(PadPageWindow, a));
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

// After every change of the shown inputs: the duplicate line, the warning
// and pressed marks. The other player's codes count by the input they
// name, also when no list offers it; a code of another shape shows as
// "None" and so is none.
static void RefreshPadMarks(int shownPlayer)
{
    HWND page = PadPageWindow;
    uint32_t other[ASSIGN_COUNT];
    int otherPlayer = 1 - shownPlayer;
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        HWND list = PadList(page, a);
        PadMarks.shown[a] = list ? SelectedPadCode(list) : ASSIGN_NO_INPUT;
        uint32_t code = Settings.PadRow[otherPlayer][a];
        other[a] = IsToolPadBinding(code) ? code : ASSIGN_NO_INPUT;
    }
    // An input's text is its label, as the lists show it.
    ShowDuplicates(page, PadMarks, other, otherPlayer, FormatPadBinding);
    MarkPressedLabels(PadMarks, PadBindingActive);
}

// The pad lines: each slot's product name, or that it is empty; the hint
// to connect a pad while none is.
static void ShowPadNames(HWND page)
{
    bool any = false;
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        char text[MAX_PATH + 32];
        if (PadDevices[pad]) {
            any = true;
            wsprintfA(text, "Pad %d: %s", pad + 1, PadNames[pad][0] ? PadNames[pad] : "(no name)");
        } else {
            wsprintfA(text, "Pad %d: not connected", pad + 1);
        }
        SetDlgItemTextA(page, IDC_PAD_LINE_FIRST + pad, text);
    }
    ShowWindow(GetDlgItem(page, IDC_PAD_HINT), any ? SW_HIDE : SW_SHOW);
}

// Closes the drop-down part of the focused list, the only one that can
// show it, before the lists change under it.
static void CloseFocusedDropDown(HWND page)
{
    int focused = FocusedAssignIndex(page);
    if (focused >= 0)
        SendMessageA(PadList(page, focused), CB_SHOWDROPDOWN, FALSE, 0);
}

// "Pad Layout" works for the shown player's pad while its layout is known.
static void EnablePadLayoutButton(HWND page)
{
    EnableWindow(GetDlgItem(page, IDC_PAD_LAYOUT),
                 PadLayoutsFound && PadLayouts[PadPagePlayer].source >= PAD_LAYOUT_PLAYER_FILE);
}

// Finds each pad's layout now and shows where it came from; the hint
// says what to do while an attached pad's layout is not known.
static void ShowPadLayouts(HWND page)
{
    static const char *const SourceTexts[] = {
        "", "Layout: unknown", "Layout: own file", "Layout: XInput", "Layout: built in",
    };
    PadLayoutFileStamp = PadMappingFileStamp();
    FindPadLayouts(PadLayouts);
    PadLayoutsFound = true;
    bool unknown = false;
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        PadLayoutSource source = PadLayouts[pad].source;
        unknown = unknown || source == PAD_LAYOUT_UNKNOWN;
        SetDlgItemTextA(page, IDC_PAD_LAYOUT_SOURCE_FIRST + pad, SourceTexts[source]);
    }
    ShowWindow(GetDlgItem(page, IDC_PAD_LAYOUT_HINT), unknown ? SW_SHOW : SW_HIDE);
    EnablePadLayoutButton(page);
}

// "Pad Layout": the shown player's lists from the layout of the pad with
// the same number, found afresh; Apply becomes active.
static void AssignPadLayout(HWND page)
{
    int pad = PadPagePlayer;
    ShowPadLayouts(page);
    if (PadLayouts[pad].source < PAD_LAYOUT_PLAYER_FILE)
        return;
    uint32_t row[ASSIGN_COUNT];
    PadMappingCodes(PadLayouts[pad].mapping, PadCaps[pad], pad, row);
    CloseFocusedDropDown(page);
    ShowPadRow(row);
    RefreshPadMarks(PadPagePlayer);
    MarkSheetChanged(page);
}

// Marks the line of each pad while any of its inputs is pressed, so that a
// player can tell which pad is which.
static void ShowPadActivity(HWND page)
{
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        bool active = PadActive(pad);
        if (active == PadLineActive[pad])
            continue;
        PadLineActive[pad] = active;
        InvalidateRect(GetDlgItem(page, IDC_PAD_LINE_FIRST + pad), NULL, TRUE);
    }
}

// The pads changed: the lists are built again from the new pads, showing
// the same codes as before (a kept code finds its pad's entry again when
// the pad is back), and the marks and pad lines follow.
static void RebuildPadCombos(HWND page)
{
    uint32_t shown[ASSIGN_COUNT];
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        HWND list = PadList(page, a);
        shown[a] = list ? SelectedPadCode(list) : PAD_BINDING_NONE;
    }
    CloseFocusedDropDown(page);
    UpdatePadEntries(page);
    ShowPadRow(shown);
    ShowPadNames(page);
    ShowPadLayouts(page);
    RefreshPadMarks(PadPagePlayer);
    ShowPadActivity(page);
}

void NoticePadChanges()
{
    if (RefreshPadDevices() && PadPageWindow)
        RebuildPadCombos(PadPageWindow);
}

// Whether a capture into the list of AssignIndex a changed what it shows,
// or in an AnalogGroup what any of the group's lists shows, against the
// codes the marks last took.
static bool CaptureChangedLists(HWND page, int a)
{
    int first = a < AnalogGroupFirst ? a : a & ~3;
    int end = a < AnalogGroupFirst ? a + 1 : first + 4;
    for (int k = first; k < end; ++k) {
        HWND list = PadList(page, k);
        if (list && SelectedPadCode(list) != PadMarks.shown[k])
            return true;
    }
    return false;
}

// DirectInput's enumeration, timed to know when it may run again unasked.
static void CheckPadsNow()
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    NoticePadChanges();
    QueryPerformanceCounter(&end);
    DWORD cost = (DWORD)((end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
    DWORD wait = cost * PadEnumerationCostShare;
    if (wait < PadEnumerationWaitMin)
        wait = PadEnumerationWaitMin;
    if (wait > PadEnumerationWaitMax)
        wait = PadEnumerationWaitMax;
    NextPadEnumeration = GetTickCount() + wait;
}

void PadCaptureTick(HWND page)
{
    if (--TicksToPadCheck <= 0) {
        TicksToPadCheck = PadCheckTicks;
        if (PadDevicesMayHaveChanged() || (LONG)(GetTickCount() - NextPadEnumeration) >= 0)
            CheckPadsNow();
        // The player may have added a line meanwhile.
        if (PadLayoutsFound && PadMappingFileStamp() != PadLayoutFileStamp)
            ShowPadLayouts(page);
    }
    // At the first tick after the page is shown, not while it is made.
    if (!PadLayoutsFound)
        ShowPadLayouts(page);
    uint32_t code = PollPads();
    if (code != PAD_BINDING_NONE) {
        int a = FocusedAssignIndex(page);
        if (a >= 0) {
            char label[PAD_LABEL_SIZE];
            FormatPadBinding(label, code);
            HWND focus = PadList(page, a);
            if (a < AnalogGroupFirst)
                ShowPadLabel(focus, label);
            else
                ApplyAnalogGroupRule(page, focus, code, label, a);
            // While an input is held, every tick captures it again; the
            // marks follow only when a list now shows something else
            // (every message costs a wineserver round trip under Wine
            // while the pads are acquired).
            if (CaptureChangedLists(page, a))
                RefreshPadMarks(PadPagePlayer);
            // Also when the input has no entry, and again at every tick
            // while it stays pressed or deflected.
            MarkSheetChanged(page);
        }
    }
    // The inputs held now, whichever list has the focus.
    MarkPressedLabels(PadMarks, PadBindingActive);
    ShowPadActivity(page);
}

// The page became the active one (also again after an Apply): pads
// plugged in meanwhile are looked for at the first tick.
static void OnPadPageActive()
{
    TicksToPadCheck = 1;
}

// The Advanced marks from PadAdvancedFlags, whether or not a box is enabled.
static void ShowPadAdvancedFlags(HWND page)
{
    uint32_t flags = Settings.PadAdvancedFlags;
    CheckDlgButton(page, IDC_ROTATER,
                   (flags & PAD_ADVANCED_ROTATION) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_SLIDER, (flags & PAD_ADVANCED_SLIDERS) ? BST_CHECKED : BST_UNCHECKED);
}

// Sets or clears one PadAdvancedFlags bit from its box; the other bits keep
// what the file held.
static void StorePadAdvancedFlag(HWND page, int id, uint32_t bit)
{
    if (IsDlgButtonChecked(page, id) == BST_CHECKED)
        Settings.PadAdvancedFlags |= bit;
    else
        Settings.PadAdvancedFlags &= ~bit;
}

// Stores the shown player's row and shows the other's; the radio button of
// the player already shown does nothing. Apply keeps its state.
static void ShowPadPlayer(int player)
{
    if (PadPagePlayer == player)
        return;
    StorePadRow(PadPagePlayer);
    LoadPadRow(player);
    PadPagePlayer = player;
    EnablePadLayoutButton(PadPageWindow);
}

// "Reset to Default": the shown player's pad defaults, which also clear
// PadAdvancedFlags, so both Advanced marks go too. Apply keeps its state.
static void ResetPadPlayer(HWND page)
{
    ApplyPadDefaults(PadPagePlayer);
    LoadPadRow(PadPagePlayer);
    ShowPadAdvancedFlags(page);
}

// The user chose an entry in a list: inside an AnalogGroup the group rule
// follows the choice.
static void OnPadListChosen(HWND page, int id)
{
    int a = id - IDC_ASSIGN_FIRST;
    if (a >= AnalogGroupFirst) {
        HWND list = PadList(page, a);
        uint32_t code = SelectedPadCode(list);
        char label[PAD_LABEL_SIZE];
        FormatPadBinding(label, code);
        ApplyAnalogGroupRule(page, list, code, label, a);
    }
    RefreshPadMarks(PadPagePlayer);
    MarkSheetChanged(page);
}

static void OnCommand(HWND page, int id, int notification)
{
    switch (id) {
    case IDC_PLAYER1:
        ShowPadPlayer(0);
        return;
    case IDC_PLAYER2:
        ShowPadPlayer(1);
        return;
    case IDC_ROTATER:
        // Rewrites both bits from the two boxes.
        StorePadAdvancedFlag(page, IDC_ROTATER, PAD_ADVANCED_ROTATION);
        StorePadAdvancedFlag(page, IDC_SLIDER, PAD_ADVANCED_SLIDERS);
        MarkSheetChanged(page);
        return;
    case IDC_SLIDER:
        StorePadAdvancedFlag(page, IDC_SLIDER, PAD_ADVANCED_SLIDERS);
        MarkSheetChanged(page);
        return;
    case IDC_RESET:
        ResetPadPlayer(page);
        return;
    case IDC_PAD_LAYOUT:
        if (notification == BN_CLICKED)
            AssignPadLayout(page);
        return;
    }
    if (id >= IDC_ASSIGN_FIRST && id <= IDC_ASSIGN_LAST && notification == CBN_SELCHANGE)
        OnPadListChosen(page, id);
}

static void OnInitDialog(HWND page)
{
    PadPageWindow = page;   // first: the helpers reach the controls through it
    FillPadCombos();
    CheckDlgButton(page, IDC_PLAYER1, BST_CHECKED);
    CheckDlgButton(page, IDC_PLAYER2, BST_UNCHECKED);
    ShowPadAdvancedFlags(page);
    FindAssignLabels(page, PadMarks);
    LoadPadRow(PadPagePlayer);
    memset(PadLineActive, 0, sizeof PadLineActive);
    PadLayoutsFound = false;
    NextPadEnumeration = GetTickCount();
    // Where each axis rests, from the pads as they are when the page is
    // first shown; pads opened again learn it anew.
    LearnPadRest();
    ShowPadNames(page);
    // Last, once the page is shown, as on the keyboard page.
    AddPageTooltipsAfterShown(page, AssignTooltips, PAD_TOOLTIP_ROWS);
}

static const AssignPageCapture PadPageCapture = { StorePadRow, StopPadCapture };

INT_PTR CALLBACK GamepadPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page);
        return TRUE;
    case WM_COMMAND:
        OnCommand(page, LOWORD(wparam), HIWORD(wparam));
        return 0;
    case WM_NOTIFY:
        if (((const NMHDR *)lparam)->code == (UINT)PSN_SETACTIVE)
            OnPadPageActive();
        return AssignmentPageNotify(page, (const NMHDR *)lparam, PadPageCapture, PadPagePlayer);
    case WM_TIMER:
        FinishPageTooltips(page);
        PadCaptureTick(page);
        return 0;
    case WM_CTLCOLORSTATIC: {
        HWND control = (HWND)lparam;
        int id = GetDlgCtrlID(control);
        if (id >= IDC_PAD_LINE_FIRST && id < IDC_PAD_LINE_FIRST + PAD_SLOTS) {
            return MarkedStaticColours(page, (HDC)wparam, control,
                                       PadLineActive[id - IDC_PAD_LINE_FIRST] ? LABEL_PRESSED : 0);
        }
        return AssignLabelColours(page, PadMarks, (HDC)wparam, control);
    }
    }
    return 0;
}
