// The gamepad page: which pad input stands for each of the game's buttons,
// for two players, one player shown at a time. An input is chosen from a
// list of every input of the detected pads or captured live: while the page
// is active a 33 ms timer polls the pads and selects the first pressed or
// deflected input in the focused list.
//
// List 1041 + a holds PadRow entry a (pages/pad_lists.h has how the lists
// hold and show codes). The template has no list for AssignIndex 14, 15
// and 20..23: messages to those ids do nothing and return 0, so filling
// and loading pass over them and storing writes 0.
//
// "Up(A)".."Right(A)" (AssignIndex 16..19) form an AnalogGroup: choosing an
// axis or slider end there fills in both ends of it, a hat direction all
// four directions of that hat, and a button or "None" removes every hat
// direction from the group and an axis or slider end from its pair partner.
//
// Pads plugged in or removed while the tool runs are picked up
// (input/pad_watch.h): the lists are rebuilt, keeping what they showed.
// "Pad Layout" assigns the shown player's pad (pad N for player N) by the
// pad's own layout (input/pad_layout.h). The page shows where each pad's
// layout came from beside its pad line; the button is enabled only while
// the shown player's pad has one.
#include "pages/pages.h"

#include <commctrl.h>
#include <prsht.h>
#include <string.h>

#include "app/tooltips.h"
#include "input/input.h"
#include "input/pad_binding.h"
#include "input/pad_entries.h"
#include "input/pad_layout.h"
#include "input/pad_watch.h"
#include "pages/assign_pass.h"
#include "pages/pad_lists.h"
#include "res/resource.h"
#include "settings/settings.h"

int PadPagePlayer;
HWND PadPageWindow;
static AssignPageMarks PadMarks;
// Whether each pad line is marked: an input of that pad is pressed.
static bool PadLineActive[PAD_SLOTS];

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

void FillPadCombos()
{
    FillPadLists(PadPageWindow, true);
    EnablePadButtons(PadPageWindow);
}

static void RefreshPadMarks(int shownPlayer);

void LoadPadRow(int player)
{
    ShowPadRow(PadPageWindow, Settings.PadRow[player]);
    RefreshPadMarks(player);
}

void StorePadRow(int player)
{
    uint32_t *row = Settings.PadRow[player];
    for (int a = 0; a < ASSIGN_COUNT; ++a)
        row[a] = SelectedPadCode(PadList(PadPageWindow, a));
}

// After every change of the shown inputs: the duplicate line, the warning
// and pressed marks. The other player's codes count by the input they
// name, also when no list offers it; a code of another shape counts as no
// input.
static_assert(PAD_ENTRY_TEXT_SIZE <= DUPLICATE_INPUT_SIZE, "the duplicate line takes entry texts");
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
    ShowDuplicates(page, PadMarks, other, otherPlayer, FormatPadEntry);
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

// "Pad Layout" works for the shown player's pad while its layout is known.
static void EnablePadLayoutButton(HWND page)
{
    EnableWindow(GetDlgItem(page, IDC_PAD_LAYOUT),
                 PadLayouts[PadPagePlayer].source >= PAD_LAYOUT_PLAYER_FILE);
}

// Where each pad's layout came from; the hint says what to do while an
// attached pad's layout is not known.
static void ShowPadLayouts(HWND page)
{
    static const char *const SourceTexts[] = {
        "", "Layout: unknown", "Layout: own file", "Layout: XInput", "Layout: built in",
    };
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
    FindPadLayoutsNow();
    if (PadLayouts[pad].source < PAD_LAYOUT_PLAYER_FILE)
        return;
    uint32_t row[ASSIGN_COUNT];
    PadMappingCodes(PadLayouts[pad].mapping, PadCaps[pad], pad, row);
    CloseFocusedDropDown(page);
    ShowPadRow(page, row);
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
    FillPadLists(page, false);
    EnablePadButtons(page);
    ShowPadRow(page, shown);
    ShowPadNames(page);
    RefreshPadMarks(PadPagePlayer);
    ShowPadActivity(page);
}

// What the pad watch found changed (PAD_WATCH_ bits): the pads, or their
// layouts, which name their inputs.
static void OnPadsChanged(int changes)
{
    HWND page = PadPageWindow;
    if (!page)
        return;
    // A pass never takes an input of a pad that is gone.
    if (changes & PAD_WATCH_DEVICES)
        EndAssignPass(page);
    RebuildPadCombos(page);
    ShowPadLayouts(page);
}

// Whether a capture into the list of AssignIndex a changed what it shows,
// or in an AnalogGroup what any of the group's lists shows, against the
// codes the marks last took.
static bool CaptureChangedLists(HWND page, int a)
{
    int first = InAnalogGroup(a) ? AnalogGroupOf(a) : a;
    int end = InAnalogGroup(a) ? first + 4 : a + 1;
    for (int k = first; k < end; ++k) {
        HWND list = PadList(page, k);
        if (list && SelectedPadCode(list) != PadMarks.shown[k])
            return true;
    }
    return false;
}

// A pad input pressed or deflected while the list of AssignIndex a has the
// focus: the list shows it, in an AnalogGroup by the group's rule, and
// Apply becomes active (also when the input has no entry, and again at
// every tick while it stays pressed or deflected).
static void CapturePadInput(HWND page, int a, uint32_t code)
{
    char label[PAD_LABEL_SIZE];
    FormatPadBinding(label, code);
    HWND focus = PadList(page, a);
    if (InAnalogGroup(a))
        ApplyAnalogGroupRule(page, focus, code, label, a);
    else
        ShowPadLabel(focus, label);
    // The marks follow only when a list now shows something else (every
    // message costs a wineserver round trip under Wine while the pads are
    // acquired).
    if (CaptureChangedLists(page, a))
        RefreshPadMarks(PadPagePlayer);
    MarkSheetChanged(page);
}

void PadCaptureTick(HWND page)
{
    PadWatchTick();
    if (!AssignPassTick(page)) {
        uint32_t code = PollPads(Settings.PadAdvancedFlags);
        int a = code != PAD_BINDING_NONE ? FocusedAssignIndex(page) : -1;
        if (a >= 0)
            CapturePadInput(page, a, code);
    }
    // The inputs held now, whichever list has the focus.
    MarkPressedLabels(PadMarks, PadBindingActive);
    ShowPadActivity(page);
}

// What "Assign All" reads and does on this page.
static uint32_t PollPadInputs(InputChoice choose)
{
    return PollPads(Settings.PadAdvancedFlags, choose);
}

static uint32_t HeldPadInputs(InputChoice choose)
{
    return HeldPadInput(Settings.PadAdvancedFlags, choose);
}

static const AssignPassInputs PadPassInputs = {
    PollPadInputs, HeldPadInputs, PadBindingActive, PadEntryOffered, CapturePadInput, FormatPadEntry,
};

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
    if (InAnalogGroup(a)) {
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
    AssignPassCommand(page, id, notification);
    switch (id) {
    case IDC_ASSIGN_ALL:
        StartAssignPass(page, PadMarks, PadPassInputs);
        return;
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
    // The pads' layouts first: they name the entries.
    StartPadWatch(OnPadsChanged);
    FillPadCombos();
    CheckDlgButton(page, IDC_PLAYER1, BST_CHECKED);
    CheckDlgButton(page, IDC_PLAYER2, BST_UNCHECKED);
    ShowPadAdvancedFlags(page);
    FindAssignLabels(page, PadMarks);
    LoadPadRow(PadPagePlayer);
    memset(PadLineActive, 0, sizeof PadLineActive);
    // Where each axis rests, from the pads as they are when the page is
    // first shown; pads opened again learn it anew.
    LearnPadRest();
    ShowPadNames(page);
    ShowPadLayouts(page);
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
        // Pads plugged in meanwhile are looked for at the first tick.
        if (((const NMHDR *)lparam)->code == (UINT)PSN_SETACTIVE)
            WatchPadsFromNextTick();
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
