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
#include "pages/pages.h"

#include "app/tooltips.h"
#include "input/input.h"
#include "input/pad_binding.h"
#include "res/resource.h"
#include "settings/settings.h"

int PadPagePlayer;
HWND PadPageWindow;

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

void FillPadCombos()
{
    HWND page = PadPageWindow;
    // Each list is looked up once rather than once per entry.
    HWND lists[ASSIGN_COUNT];
    for (int a = 0; a < ASSIGN_COUNT; ++a)
        lists[a] = PadList(page, a);
    SetAssignListsRedraw(page, FALSE);
    for (int a = 0; a < ASSIGN_COUNT; ++a)
        AddPadEntry(lists[a], PAD_BINDING_NONE);

    uint32_t rotationAxes = 0;
    uint32_t sliders = 0;
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        uint32_t codes[PAD_ENTRY_MAX];
        int count = ListPadEntries(pad, codes);
        for (int a = 0; a < ASSIGN_COUNT; ++a) {
            for (int i = 0; i < count; ++i)
                AddPadEntry(lists[a], codes[i]);
        }
        // The Advanced boxes count every pad, usable or not; Z is always
        // captured and so has no box.
        const PadCapsRecord &caps = PadCaps[pad];
        rotationAxes += caps.HasRx + caps.HasRy + caps.HasRz;
        sliders += caps.SliderCount;
    }
    SetAssignListsRedraw(page, TRUE);
    EnableWindow(GetDlgItem(page, IDC_ROTATER), rotationAxes != 0);
    EnableWindow(GetDlgItem(page, IDC_SLIDER), sliders != 0);
}

void LoadPadRow(int player)
{
    const uint32_t *row = Settings.PadRow[player];
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        HWND list = PadList(PadPageWindow, a);
        // A code without an entry shows as "None" and stays in the row
        // until the row is next stored.
        if (SelectPadCode(list, row[a]) == CB_ERR)
            SendMessageA(list, CB_SETCURSEL, 0, 0);
    }
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

void PadCaptureTick(HWND page)
{
    uint32_t code = PollPads();
    if (code == PAD_BINDING_NONE)
        return;
    char label[PAD_LABEL_SIZE];
    FormatPadBinding(label, code);
    int a = FocusedAssignIndex(page);
    if (a < 0)
        return;
    HWND focus = PadList(page, a);
    if (a < AnalogGroupFirst)
        ShowPadLabel(focus, label);
    else
        ApplyAnalogGroupRule(page, focus, code, label, a);
    // Also when the input has no entry, and again at every tick while it
    // stays pressed or deflected.
    MarkSheetChanged(page);
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
    }
    if (id >= IDC_ASSIGN_FIRST && id <= IDC_ASSIGN_LAST && notification == CBN_SELCHANGE)
        OnPadListChosen(page, id);
}

static void OnInitDialog(HWND page)
{
    PadPageWindow = page;   // first: the helpers reach the controls through it
    AddPageTooltips(page, AssignTooltips, TOOLTIP_ROWS);
    FillPadCombos();
    CheckDlgButton(page, IDC_PLAYER1, BST_CHECKED);
    CheckDlgButton(page, IDC_PLAYER2, BST_UNCHECKED);
    ShowPadAdvancedFlags(page);
    LoadPadRow(PadPagePlayer);
}

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
        return AssignmentPageNotify(page, (const NMHDR *)lparam, StorePadRow, PadPagePlayer);
    case WM_TIMER:
        PadCaptureTick(page);
        return 0;
    }
    return 0;
}
