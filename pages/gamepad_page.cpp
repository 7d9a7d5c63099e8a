// The gamepad page: which pad input stands for each of the game's buttons,
// for two players, one player shown at a time (pages/assign_lists.h). An
// input is chosen from a list of every input of the detected pads or
// captured live: while the page is active a 33 ms timer polls the pads and
// selects the first pressed or deflected input in the focused list.
//
// List 1041 + a holds PadRow entry a (pages/pad_lists.h has how the lists
// hold and show codes). "Up(A)".."Right(A)" (AssignIndex 16..19) form an
// AnalogGroup, whose lists fill and clear one another by the group's rule.
//
// Pads plugged in or removed while the tool runs are picked up
// (input/pad_watch.h): the lists are rebuilt, keeping what they showed.
// "Pad Layout" assigns the shown player's pad (pad N for player N) by the
// pad's own layout (input/pad_layout.h). The page shows where each pad's
// layout came from beside its pad line; the button is enabled only while
// the shown player's pad has one. "Swap Pads" gives each player the other
// pad; the notes say when the pads are listed the other way round since
// the last save (input/pad_order.h), and when the shown player has both
// triggers of a pad whose triggers share one axis.
#include "pages/pages.h"

#include <string.h>

#include "input/input.h"
#include "input/pad_binding.h"
#include "input/pad_entries.h"
#include "input/pad_layout.h"
#include "input/pad_order.h"
#include "input/pad_watch.h"
#include "pages/assign_page.h"
#include "pages/assign_pass.h"
#include "pages/pad_lists.h"
#include "settings/settings.h"

AssignPage PadPage;
// Whether each pad line is marked: an input of that pad is pressed.
static bool PadLineActive[PAD_SLOTS];

static_assert(PAD_ENTRY_TEXT_SIZE <= ASSIGN_INPUT_TEXT_SIZE, "the lines take entry texts");

// The Advanced boxes count every pad, usable or not; Z is always captured
// and so has no box. "Assign All" needs a usable pad.
static void EnablePadButtons(HWND page)
{
    uint32_t rotationAxes = 0, sliders = 0, buttons = 0;
    for (const PadCapsRecord &caps : PadCaps) {
        rotationAxes += caps.HasRx + caps.HasRy + caps.HasRz;
        sliders += caps.SliderCount;
        buttons += caps.ButtonCount;
    }
    EnableWindow(GetDlgItem(page, IDC_ROTATER), rotationAxes != 0);
    EnableWindow(GetDlgItem(page, IDC_SLIDER), sliders != 0);
    EnableWindow(GetDlgItem(page, IDC_ASSIGN_ALL), buttons != 0);
}

static void FillPadCombos(AssignPage &page)
{
    FillPadLists(page.window, true);
    EnablePadButtons(page.window);
}

// The pad lines: each slot's product name, or that it is empty; the hint
// to connect a pad while none is.
static void ShowPadNames(HWND page)
{
    bool any = false;
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        char format[64], text[MAX_PATH + 64];
        if (PadDevices[pad]) {
            any = true;
            char noName[32];
            LoadPageText(page, IDS_PAD_LINE, format, sizeof format);
            wsprintfA(text, format, pad + 1,
                      PadNames[pad][0] ? PadNames[pad]
                                       : LoadPageText(page, IDS_PAD_NO_NAME, noName, sizeof noName));
        } else {
            LoadPageText(page, IDS_PAD_NOT_CONNECTED, format, sizeof format);
            wsprintfA(text, format, pad + 1);
        }
        SetDlgItemTextA(page, IDC_PAD_LINE_FIRST + pad, text);
    }
    ShowWindow(GetDlgItem(page, IDC_PAD_HINT), any ? SW_HIDE : SW_SHOW);
}

// "Pad Layout" works for the shown player's pad while its layout is known.
static void EnablePadLayoutButton(const AssignPage &page)
{
    EnableWindow(GetDlgItem(page.window, IDC_PAD_LAYOUT),
                 PadLayouts[page.player].source >= PAD_LAYOUT_PLAYER_FILE);
}

// Where each pad's layout came from; the hint says what to do while an
// attached pad's layout is not known.
static void ShowPadLayouts(const AssignPage &page)
{
    static const UINT SourceTexts[] = {
        0, IDS_LAYOUT_UNKNOWN, IDS_LAYOUT_PLAYER_FILE, IDS_LAYOUT_XINPUT, IDS_LAYOUT_BUILT_IN,
    };
    bool unknown = false;
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        PadLayoutSource source = PadLayouts[pad].source;
        unknown = unknown || source == PAD_LAYOUT_UNKNOWN;
        char text[64] = "";
        if (SourceTexts[source])
            LoadPageText(page.window, SourceTexts[source], text, sizeof text);
        SetDlgItemTextA(page.window, IDC_PAD_LAYOUT_SOURCE_FIRST + pad, text);
    }
    ShowWindow(GetDlgItem(page.window, IDC_PAD_LAYOUT_HINT), unknown ? SW_SHOW : SW_HIDE);
    EnablePadLayoutButton(page);
}

// "Pad Layout": the shown player's lists from the layout of the pad with
// the same number, found afresh; Apply becomes active.
static void AssignPadLayout(AssignPage &page)
{
    int pad = page.player;
    FindPadLayoutsNow();
    if (PadLayouts[pad].source < PAD_LAYOUT_PLAYER_FILE)
        return;
    uint32_t row[ASSIGN_COUNT];
    PadMappingCodes(PadLayouts[pad].mapping, PadCaps[pad], pad, row);
    CloseFocusedDropDown(page.window);
    ShowAssignValues(page, row);
    RefreshAssignMarks(page);
    MarkSheetChanged(page.window);
}

// The note on a pad whose layout puts both triggers on one axis, when the
// shown player has both of them, into text (size bytes); false when none is
// due. A stick's two ends never share a note: they cannot be pushed at once.
static bool TriggerNote(const AssignPage &page, char *text, int size)
{
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        const PadLayoutRecord &layout = PadLayouts[pad];
        uint32_t codes[2];
        uint16_t names[2];
        if (layout.source < PAD_LAYOUT_PLAYER_FILE ||
            !PadTriggersShareAxis(layout.mapping, PadCaps[pad], pad, layout.vendor, codes, names))
            continue;
        bool shown[2] = {};
        for (int a : AssignListOrder) {
            for (int t = 0; t < 2; ++t)
                shown[t] = shown[t] || page.marks.shown[a] == codes[t];
        }
        if (!shown[0] || !shown[1])
            continue;
        char format[160], left[16], right[16];
        LoadPageText(page.window, IDS_TRIGGERS_ONE_AXIS, format, sizeof format);
        LoadPageText(page.window, names[0], left, sizeof left);
        LoadPageText(page.window, names[1], right, sizeof right);
        if (lstrlenA(format) + lstrlenA(left) + lstrlenA(right) >= size)
            return false;
        wsprintfA(text, format, left, right);
        return true;
    }
    return false;
}

// The notes on the pads, each on a line of its own: that they are listed
// the other way round since the last save, that a player's triggers share
// an axis.
static void ShowPadNotes(const AssignPage &page)
{
    char text[512] = "", trigger[256];
    if (PadsListedReversed())
        LoadPageText(page.window, IDS_PADS_REVERSED, text, 256);
    if (TriggerNote(page, trigger, sizeof trigger)) {
        if (text[0])
            lstrcatA(text, "\n");
        lstrcatA(text, trigger);
    }
    SetDlgItemTextA(page.window, IDC_PAD_NOTES, text);
}

// "Swap Pads" works while either player's row names a pad.
static bool NamesAPad(const AssignPage &page)
{
    const uint32_t *other = Settings.PadRow[1 - page.player];
    for (int a : AssignListOrder) {
        if (page.marks.shown[a] != ASSIGN_NO_INPUT || IsToolPadBinding(other[a]))
            return true;
    }
    return false;
}

// After every change of the shown inputs.
static void ShowPadInputsState(AssignPage &page)
{
    EnableWindow(GetDlgItem(page.window, IDC_SWAP_PADS), NamesAPad(page));
    ShowPadNotes(page);
}

// "Swap Pads": every code of both players' rows that names pad 1 names pad
// 2, and the other way round. The shown player's lists show it at once
// (an input of a pad that is not there keeps an entry of its own), the
// other player's row changes in the record; Apply becomes active. Only "no
// input", and the 0 of the ids without a list, stay as they are.
static void SwapPads(AssignPage &page)
{
    uint32_t shown[ASSIGN_COUNT];
    uint32_t *other = Settings.PadRow[1 - page.player];
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        bool listed = AssignList(page.window, a) != NULL;
        shown[a] = listed ? AssignListValue(page, a) : 0;
        if (shown[a] != PAD_BINDING_NONE && listed)
            shown[a] ^= PAD_BINDING_PAD1;
        if (other[a] != PAD_BINDING_NONE && (listed || other[a] != 0))
            other[a] ^= PAD_BINDING_PAD1;
    }
    NotePadsSwapped();
    CloseFocusedDropDown(page.window);
    ShowAssignValues(page, shown);
    RefreshAssignMarks(page);
    MarkSheetChanged(page.window);
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
static void RebuildPadCombos(AssignPage &page)
{
    uint32_t shown[ASSIGN_COUNT];
    for (int a = 0; a < ASSIGN_COUNT; ++a)
        shown[a] = AssignList(page.window, a) ? AssignListValue(page, a) : PAD_BINDING_NONE;
    CloseFocusedDropDown(page.window);
    FillPadLists(page.window, false);
    EnablePadButtons(page.window);
    ShowAssignValues(page, shown);
    ShowPadNames(page.window);
    RefreshAssignMarks(page);
    ShowPadActivity(page.window);
}

// What the pad watch found changed (PAD_WATCH_ bits): the pads, or their
// layouts, which name their inputs.
static void OnPadsChanged(int changes)
{
    if (!PadPage.window)
        return;
    // A pass never takes an input of a pad that is gone.
    if (changes & PAD_WATCH_DEVICES)
        EndAssignPass(PadPage);
    RebuildPadCombos(PadPage);
    ShowPadLayouts(PadPage);
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

static void OnCommand(HWND page, int id, int notification)
{
    AssignPageCommand(PadPage, id, notification);
    switch (id) {
    case IDC_PLAYER1:
    case IDC_PLAYER2:
        EnablePadLayoutButton(PadPage);
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
        // The pad defaults also clear PadAdvancedFlags, so both Advanced
        // marks go too.
        ShowPadAdvancedFlags(page);
        return;
    case IDC_PAD_LAYOUT:
        if (notification == BN_CLICKED)
            AssignPadLayout(PadPage);
        return;
    case IDC_SWAP_PADS:
        if (notification == BN_CLICKED)
            SwapPads(PadPage);
        return;
    }
}

// What the pad lists offer and show, and how the pads are read.
static uint32_t PollPadInputs(InputChoice choose, void *context)
{
    return PollPads(Settings.PadAdvancedFlags, choose, context);
}

static uint32_t HeldPadInputs(InputChoice choose, void *context)
{
    return HeldPadInput(Settings.PadAdvancedFlags, choose, context);
}

// The other player's codes count by the input they name, also when no
// list offers it; a code of another shape counts as no input.
static uint32_t PadInputOf(uint32_t code)
{
    return IsToolPadBinding(code) ? code : ASSIGN_NO_INPUT;
}

static void ReadPadRow(int player, uint32_t values[ASSIGN_COUNT])
{
    memcpy(values, Settings.PadRow[player], sizeof Settings.PadRow[player]);
}

static void WritePadRow(int player, const uint32_t values[ASSIGN_COUNT])
{
    memcpy(Settings.PadRow[player], values, sizeof Settings.PadRow[player]);
}

// "Assign All", "Pad Layout" and "Swap Pads" have tooltips of their own.
static const TooltipEntry GamepadTooltips[] = {
    ASSIGN_LIST_TOOLTIPS,
    { IDC_ASSIGN_ALL, IDS_TIP_ASSIGN_ALL },
    { IDC_PAD_LAYOUT, IDS_TIP_PAD_LAYOUT },
    { IDC_SWAP_PADS, IDS_TIP_SWAP_PADS },
};

static const AssignPageKind GamepadKind = {
    PollPadInputs, HeldPadInputs, PadBindingActive, StopPadCapture,
    PadEntryOffered, FormatPadEntry,
    FillPadCombos, ShowPadValue, ShowPadInput, PadInputOf, PAD_BINDING_NONE, true,
    ReadPadRow, WritePadRow, ApplyPadDefaults,
    GamepadTooltips, TOOLTIP_ROWS(GamepadTooltips),
    ShowPadInputsState,
};

static void OnInitDialog(HWND page)
{
    // The pads' layouts first: they name the entries.
    StartPadWatch(OnPadsChanged);
    memset(PadLineActive, 0, sizeof PadLineActive);
    OpenAssignPage(PadPage, GamepadKind, page);
    ShowPadAdvancedFlags(page);
    // Where each axis rests, from the pads as they are when the page is
    // first shown; pads opened again learn it anew.
    LearnPadRest();
    ShowPadNames(page);
    ShowPadLayouts(PadPage);
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
    case WM_NOTIFY: {
        UINT code = ((const NMHDR *)lparam)->code;
        // Pads plugged in meanwhile are looked for at the first tick.
        if (code == (UINT)PSN_SETACTIVE)
            WatchPadsFromNextTick();
        INT_PTR result = AssignPageNotify(PadPage, (const NMHDR *)lparam);
        // Saved, the pads are in their saved order.
        if (code == (UINT)PSN_APPLY)
            ShowPadNotes(PadPage);
        return result;
    }
    case WM_TIMER:
        PadWatchTick();
        AssignPageTick(PadPage);
        ShowPadActivity(page);
        return 0;
    case WM_CTLCOLORSTATIC: {
        HWND control = (HWND)lparam;
        int id = GetDlgCtrlID(control);
        if (id >= IDC_PAD_LINE_FIRST && id < IDC_PAD_LINE_FIRST + PAD_SLOTS) {
            return MarkedStaticColours(page, (HDC)wparam, control,
                                       PadLineActive[id - IDC_PAD_LINE_FIRST] ? LABEL_PRESSED : 0);
        }
        return AssignLabelColours(PadPage, (HDC)wparam, control);
    }
    }
    return 0;
}
