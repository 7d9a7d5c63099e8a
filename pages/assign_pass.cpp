// "Assign All": the pass over an assignment page's lists, for the keyboard
// and the gamepad page alike. One pass runs at a time, on the shown page.
#include "pages/assign_pass.h"

#include <commctrl.h>
#include <string.h>

#include "pages/page_common.h"

static int GivenTo(const AssignPassState &pass, uint32_t input)
{
    for (int i = 0; i < pass.givenCount; ++i) {
        if (pass.given[i].input == input)
            return pass.given[i].assignIndex;
    }
    return -1;
}

static void Give(AssignPassState &pass, uint32_t input, int assignIndex)
{
    if (pass.givenCount < ASSIGN_COUNT && GivenTo(pass, input) < 0)
        pass.given[pass.givenCount++] = { input, assignIndex };
}

static bool IsBlocked(const AssignPassState &pass, uint32_t input)
{
    for (int i = 0; i < pass.blockedCount; ++i) {
        if (pass.blocked[i] == input)
            return true;
    }
    return false;
}

// The choices the polls ask, with the page as their context: Block records
// every held input and takes none; PassChoice takes an input the list may
// have; TakeNone takes none.
static bool Block(void *context, uint32_t input)
{
    AssignPassState &pass = ((AssignPage *)context)->pass;
    if (pass.blockedCount < ASSIGN_PASS_BLOCKED_MAX)
        pass.blocked[pass.blockedCount++] = input;
    return false;
}

static bool PassChoice(void *context, uint32_t input)
{
    AssignPage &page = *(AssignPage *)context;
    AssignPassState &pass = page.pass;
    if (!page.kind->offered(input) || IsBlocked(pass, input))
        return false;
    if (GivenTo(pass, input) >= 0) {
        pass.pressedAgain = input;
        return false;
    }
    return true;
}

static bool TakeNone(void *, uint32_t)
{
    return false;
}

// The line of the pass takes the place of the duplicate line while the
// pass runs.
static void ShowPassLine(HWND page, bool show)
{
    ShowWindow(GetDlgItem(page, IDC_ASSIGN_PASS_LINE), show ? SW_SHOWNA : SW_HIDE);
    ShowWindow(GetDlgItem(page, IDC_DUPLICATES), show ? SW_HIDE : SW_SHOWNA);
}

// The button a list stands for, and what it does in the game where its
// tooltip says so (the part in braces): "Up (Jump)".
static void WantedButton(const AssignPage &page, int a, char *wanted, int size)
{
    const char *name = page.marks.names[a];
    lstrcpynA(wanted, name, size);
    const AssignPageKind &kind = *page.kind;
    for (int i = 0; i < kind.tooltipRows; ++i) {
        char action[128], format[32];
        if (kind.tooltips[i].control_id != IDC_ASSIGN_FIRST + a ||
            !LoadTooltipMark(page.window, kind.tooltips[i].string_id, action, sizeof action))
            continue;
        LoadPageText(page.window, IDS_PASS_WANTED, format, sizeof format);
        wsprintfA(wanted, format, name, action);
        return;
    }
}

// What the pass wants now, how to skip and how to stop.
static void ShowWantedInput(AssignPage &page)
{
    const AssignPassState &pass = page.pass;
    char wanted[LABEL_NAME_SIZE + 160], format[256], text[512];
    WantedButton(page, AssignListOrder[pass.step], wanted, sizeof wanted);
    if (pass.pressedAgain != ASSIGN_NO_INPUT) {
        char input[ASSIGN_INPUT_TEXT_SIZE];
        page.kind->inputText(input, pass.pressedAgain);
        LoadPageText(page.window, IDS_PASS_GIVEN_ALREADY, format, sizeof format);
        wsprintfA(text, format, input, page.marks.names[GivenTo(pass, pass.pressedAgain)], wanted);
    } else {
        LoadPageText(page.window, IDS_PASS_PRESS, format, sizeof format);
        wsprintfA(text, format, wanted);
    }
    SetDlgItemTextA(page.window, IDC_ASSIGN_PASS_LINE, text);
    ShowPassLine(page.window, true);
}

// The list of a step has the focus (moved there by the pass, or by Tab).
// What is held now waits for its release.
static void FocusStep(AssignPage &page, int step, bool moveFocus)
{
    AssignPassState &pass = page.pass;
    pass.step = step;
    pass.taken = ASSIGN_NO_INPUT;
    pass.pressedAgain = ASSIGN_NO_INPUT;
    if (moveFocus)
        SetFocus(AssignList(page.window, AssignListOrder[step]));
    pass.blockedCount = 0;
    page.kind->held(Block, &page);
    ShowWantedInput(page);
}

// On to the next list the pass has not filled, or the end.
static void NextStep(AssignPage &page)
{
    int step = page.pass.step + 1;
    while (step < ASSIGN_LISTS && page.pass.filled[AssignListOrder[step]])
        ++step;
    if (step < ASSIGN_LISTS)
        FocusStep(page, step, true);
    else
        EndAssignPass(page);
}

// The list takes the input as a capture does. Lists of its AnalogGroup
// that the group's rule filled along with it count as given too.
static void Take(AssignPage &page, uint32_t input)
{
    AssignPassState &pass = page.pass;
    int a = AssignListOrder[pass.step];
    uint32_t before[ASSIGN_COUNT];
    memcpy(before, page.marks.shown, sizeof before);
    CaptureAssignInput(page, a, input);
    Give(pass, input, a);
    for (int k = AnalogGroupOf(a); InAnalogGroup(a) && k < AnalogGroupOf(a) + ANALOG_GROUP_SIZE; ++k) {
        uint32_t shown = page.marks.shown[k];
        if (k != a && shown != before[k] && shown != ASSIGN_NO_INPUT) {
            pass.filled[k] = true;
            Give(pass, shown, k);
        }
    }
    pass.taken = input;
    // A press shorter than a tick is let go already.
    if (!page.kind->isHeld(input))
        NextStep(page);
}

// The lists' own keys while a pass runs: Esc ends the pass rather than
// closing the sheet, and Enter does not press OK. A list asks for them
// (WM_GETDLGCODE) only while its page's pass runs, the only time it is
// subclassed this way; the dialog manager keeps them otherwise.
static const UINT_PTR PassSubclass = 0x1107;

static LRESULT CALLBACK PassListProc(HWND list, UINT message, WPARAM wparam, LPARAM lparam,
                                     UINT_PTR, DWORD_PTR context)
{
    AssignPage &page = *(AssignPage *)context;
    bool passKey = page.pass.running && (wparam == VK_ESCAPE || wparam == VK_RETURN);
    switch (message) {
    case WM_GETDLGCODE:
        if (passKey && lparam && ((const MSG *)lparam)->message == WM_KEYDOWN)
            return DefSubclassProc(list, message, wparam, lparam) | DLGC_WANTMESSAGE;
        break;
    case WM_KEYDOWN:
        if (passKey && wparam == VK_ESCAPE)
            EndAssignPass(page);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(list, PassListProc, PassSubclass);
        break;
    }
    return DefSubclassProc(list, message, wparam, lparam);
}

static void SubclassPassLists(AssignPage &page, bool subclass)
{
    for (int a : AssignListOrder) {
        HWND list = AssignList(page.window, a);
        if (!list)
            continue;
        if (subclass)
            SetWindowSubclass(list, PassListProc, PassSubclass, (DWORD_PTR)&page);
        else
            RemoveWindowSubclass(list, PassListProc, PassSubclass);
    }
}

void StartAssignPass(AssignPage &page)
{
    AssignPassState &pass = page.pass;
    if (!pass.running)
        SubclassPassLists(page, true);
    pass.running = true;
    pass.givenCount = 0;
    memset(pass.filled, 0, sizeof pass.filled);
    FocusStep(page, 0, true);
}

void EndAssignPass(AssignPage &page)
{
    if (!page.pass.running)
        return;
    page.pass.running = false;
    SubclassPassLists(page, false);
    SetDlgItemTextA(page.window, IDC_ASSIGN_PASS_LINE, "");
    ShowPassLine(page.window, false);
}

void AssignPassCommand(AssignPage &page, int id, int notification)
{
    AssignPassState &pass = page.pass;
    if (!pass.running)
        return;
    if (id < IDC_ASSIGN_FIRST || id > IDC_ASSIGN_LAST) {
        EndAssignPass(page);
        return;
    }
    int a = id - IDC_ASSIGN_FIRST;
    if (notification != CBN_SETFOCUS || a == AssignListOrder[pass.step])
        return;
    if (pass.step + 1 < ASSIGN_LISTS && a == AssignListOrder[pass.step + 1])
        FocusStep(page, pass.step + 1, false);
    else
        EndAssignPass(page);
}

bool AssignPassTick(AssignPage &page)
{
    AssignPassState &pass = page.pass;
    if (!pass.running)
        return false;
    // The focus left the lists.
    if (FocusedAssignIndex(page.window) != AssignListOrder[pass.step]) {
        EndAssignPass(page);
        return false;
    }
    // What was held when the list got the focus counts once it was let go.
    int kept = 0;
    for (int i = 0; i < pass.blockedCount; ++i) {
        if (page.kind->isHeld(pass.blocked[i]))
            pass.blocked[kept++] = pass.blocked[i];
    }
    pass.blockedCount = kept;
    // Every tick reads the devices and empties their buffers.
    uint32_t pressedAgain = pass.pressedAgain;
    uint32_t input = page.kind->poll(pass.taken == ASSIGN_NO_INPUT ? PassChoice : TakeNone, &page);
    if (pass.taken != ASSIGN_NO_INPUT) {
        if (!page.kind->isHeld(pass.taken))
            NextStep(page);
        return true;
    }
    if (input != ASSIGN_NO_INPUT)
        Take(page, input);
    else if (pass.pressedAgain != pressedAgain)
        ShowWantedInput(page);
    return true;
}
