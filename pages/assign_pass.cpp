// "Assign All": the pass over an assignment page's lists, for the keyboard
// and the gamepad page alike. One pass runs at a time, on the shown page.
#include "pages/assign_pass.h"

#include <string.h>

#include "res/resource.h"

// What each list does in the game, where its tooltip says so; the line
// adds it to the list's name.
static const char *const GameActions[ASSIGN_COUNT] = {
    "Jump", "Crouch", "Retreat/Guard", "Advance", "Heavy Slash", "Kick", "Slash", "Punch",
    "Memory", NULL, "Dust", "Taunt", NULL, NULL, NULL, NULL,
    "analog", "analog", "analog", "analog", NULL, NULL, NULL, NULL,
};

// The running pass; PassPage is NULL while none runs.
static HWND PassPage;
static const AssignPageMarks *PassMarks;
static const AssignPassInputs *PassInputs;
static int PassStep;          // the list that has the focus, in AssignListOrder
static uint32_t PassTaken;    // what that list took, until it is let go
// Inputs held when the list got the focus, until they are let go.
#define BLOCKED_MAX 64
static uint32_t Blocked[BLOCKED_MAX];
static int BlockedCount;
// The inputs the pass gave, and to which list; lists the AnalogGroup rule
// filled along with one the player pressed for are skipped.
struct GivenInput {
    uint32_t input;
    int assignIndex;
};
static GivenInput Given[ASSIGN_COUNT];
static int GivenCount;
static bool Filled[ASSIGN_COUNT];
// An input given before that the player pressed for this list.
static uint32_t PressedAgain;

static int GivenTo(uint32_t input)
{
    for (int i = 0; i < GivenCount; ++i) {
        if (Given[i].input == input)
            return Given[i].assignIndex;
    }
    return -1;
}

static void Give(uint32_t input, int assignIndex)
{
    if (GivenCount < ASSIGN_COUNT && GivenTo(input) < 0)
        Given[GivenCount++] = { input, assignIndex };
}

static bool IsBlocked(uint32_t input)
{
    for (int i = 0; i < BlockedCount; ++i) {
        if (Blocked[i] == input)
            return true;
    }
    return false;
}

// The choices the polls ask: Block records every held input and takes
// none; PassChoice takes an input the list may have; TakeNone takes none.
static bool Block(uint32_t input)
{
    if (BlockedCount < BLOCKED_MAX)
        Blocked[BlockedCount++] = input;
    return false;
}

static bool PassChoice(uint32_t input)
{
    if (!PassInputs->offered(input) || IsBlocked(input))
        return false;
    if (GivenTo(input) >= 0) {
        PressedAgain = input;
        return false;
    }
    return true;
}

static bool TakeNone(uint32_t)
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

// What the pass wants now, how to skip and how to stop.
static void ShowWantedInput(HWND page)
{
    int a = AssignListOrder[PassStep];
    const char *name = PassMarks->names[a];
    char wanted[LABEL_NAME_SIZE + 32];
    if (GameActions[a])
        wsprintfA(wanted, "%s (%s)", name, GameActions[a]);
    else
        lstrcpyA(wanted, name);
    char text[256];
    if (PressedAgain != ASSIGN_NO_INPUT) {
        char input[DUPLICATE_INPUT_SIZE];
        PassInputs->inputText(input, PressedAgain);
        wsprintfA(text, "Assign All: %s is on %s already; press another for %s. "
                        "Tab skips it, Esc stops.",
                  input, PassMarks->names[GivenTo(PressedAgain)], wanted);
    } else {
        wsprintfA(text, "Assign All: press the input for %s. Tab skips it, Esc stops.", wanted);
    }
    SetDlgItemTextA(page, IDC_ASSIGN_PASS_LINE, text);
    ShowPassLine(page, true);
}

// The list of a step has the focus (moved there by the pass, or by Tab).
// What is held now waits for its release.
static void FocusStep(HWND page, int step, bool moveFocus)
{
    PassStep = step;
    PassTaken = ASSIGN_NO_INPUT;
    PressedAgain = ASSIGN_NO_INPUT;
    if (moveFocus)
        SetFocus(GetDlgItem(page, IDC_ASSIGN_FIRST + AssignListOrder[step]));
    BlockedCount = 0;
    PassInputs->held(Block);
    ShowWantedInput(page);
}

// On to the next list the pass has not filled, or the end.
static void NextStep(HWND page)
{
    int step = PassStep + 1;
    while (step < ASSIGN_LISTS && Filled[AssignListOrder[step]])
        ++step;
    if (step < ASSIGN_LISTS)
        FocusStep(page, step, true);
    else
        EndAssignPass(page);
}

// The list takes the input as a capture does. Lists of its AnalogGroup
// that the group's rule filled along with it count as given too.
static void Take(HWND page, uint32_t input)
{
    int a = AssignListOrder[PassStep];
    uint32_t before[ASSIGN_COUNT];
    memcpy(before, PassMarks->shown, sizeof before);
    PassInputs->capture(page, a, input);
    Give(input, a);
    for (int k = AnalogGroupOf(a); InAnalogGroup(a) && k < AnalogGroupOf(a) + 4; ++k) {
        uint32_t shown = PassMarks->shown[k];
        if (k != a && shown != before[k] && shown != ASSIGN_NO_INPUT) {
            Filled[k] = true;
            Give(shown, k);
        }
    }
    PassTaken = input;
    // A press shorter than a tick is let go already.
    if (!PassInputs->isHeld(input))
        NextStep(page);
}

// The lists' own keys while a pass runs: Esc ends the pass rather than
// closing the sheet, and Enter does not press OK. A list asks for them
// (WM_GETDLGCODE) only then; the dialog manager keeps them otherwise.
struct PassList {
    HWND list;
    WNDPROC next;
};
static PassList PassLists[2 * ASSIGN_LISTS];

static LRESULT CALLBACK PassListProc(HWND list, UINT message, WPARAM wparam, LPARAM lparam)
{
    PassList *hooked = NULL;
    for (PassList &p : PassLists) {
        if (p.list == list)
            hooked = &p;
    }
    if (!hooked)
        return DefWindowProcW(list, message, wparam, lparam);
    WNDPROC next = hooked->next;
    bool passKey = PassPage && GetParent(list) == PassPage && (wparam == VK_ESCAPE || wparam == VK_RETURN);
    switch (message) {
    case WM_GETDLGCODE:
        if (passKey && lparam && ((const MSG *)lparam)->message == WM_KEYDOWN)
            return CallWindowProcW(next, list, message, wparam, lparam) | DLGC_WANTMESSAGE;
        break;
    case WM_KEYDOWN:
        if (passKey && wparam == VK_ESCAPE)
            EndAssignPass(PassPage);
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(list, GWLP_WNDPROC, (LONG_PTR)next);
        memset(hooked, 0, sizeof *hooked);
        break;
    }
    return CallWindowProcW(next, list, message, wparam, lparam);
}

// The first pass on a page gives its lists the procedure above; they keep
// it while they live.
static void HookPassLists(HWND page)
{
    for (int a : AssignListOrder) {
        HWND list = GetDlgItem(page, IDC_ASSIGN_FIRST + a);
        bool hooked = false;
        PassList *free = NULL;
        for (PassList &p : PassLists) {
            hooked = hooked || p.list == list;
            if (!free && !p.list)
                free = &p;
        }
        if (list && !hooked && free) {
            free->list = list;
            free->next = (WNDPROC)SetWindowLongPtrW(list, GWLP_WNDPROC, (LONG_PTR)PassListProc);
        }
    }
}

void StartAssignPass(HWND page, const AssignPageMarks &marks, const AssignPassInputs &inputs)
{
    HookPassLists(page);
    PassPage = page;
    PassMarks = &marks;
    PassInputs = &inputs;
    GivenCount = 0;
    memset(Filled, 0, sizeof Filled);
    FocusStep(page, 0, true);
}

void EndAssignPass(HWND page)
{
    if (!page || page != PassPage)
        return;
    PassPage = NULL;
    SetDlgItemTextA(page, IDC_ASSIGN_PASS_LINE, "");
    ShowPassLine(page, false);
}

void AssignPassCommand(HWND page, int id, int notification)
{
    if (!page || page != PassPage)
        return;
    if (id < IDC_ASSIGN_FIRST || id > IDC_ASSIGN_LAST) {
        EndAssignPass(page);
        return;
    }
    int a = id - IDC_ASSIGN_FIRST;
    if (notification != CBN_SETFOCUS || a == AssignListOrder[PassStep])
        return;
    if (PassStep + 1 < ASSIGN_LISTS && a == AssignListOrder[PassStep + 1])
        FocusStep(page, PassStep + 1, false);
    else
        EndAssignPass(page);
}

bool AssignPassTick(HWND page)
{
    if (!page || page != PassPage)
        return false;
    // The focus left the lists.
    if (FocusedAssignIndex(page) != AssignListOrder[PassStep]) {
        EndAssignPass(page);
        return false;
    }
    // What was held when the list got the focus counts once it was let go.
    int kept = 0;
    for (int i = 0; i < BlockedCount; ++i) {
        if (PassInputs->isHeld(Blocked[i]))
            Blocked[kept++] = Blocked[i];
    }
    BlockedCount = kept;
    // Every tick reads the devices and empties their buffers.
    uint32_t pressedAgain = PressedAgain;
    uint32_t input = PassInputs->poll(PassTaken == ASSIGN_NO_INPUT ? PassChoice : TakeNone);
    if (PassTaken != ASSIGN_NO_INPUT) {
        if (!PassInputs->isHeld(PassTaken))
            NextStep(page);
        return true;
    }
    if (input != ASSIGN_NO_INPUT)
        Take(page, input);
    else if (PressedAgain != pressedAgain)
        ShowWantedInput(page);
    return true;
}
