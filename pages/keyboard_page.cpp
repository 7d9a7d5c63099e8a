// The keyboard page: which key stands for each of the game's buttons, for
// two players, one player shown at a time. A key is chosen from a list or
// captured live: while the page is active a 33 ms timer polls the keyboard
// and selects the held key in the focused list.
//
// The shown player's keys live in the 24 list selections (ids 1041..1064 by
// AssignIndex); the settings record is brought up to date only by
// StoreKeyRow, at a player switch and on PSN_APPLY. The template has no
// list for AssignIndex 14, 15 and 20..23: messages to those ids do nothing
// and return 0, so filling and loading pass over them and storing writes 0.
#include "pages/pages.h"

#include <commctrl.h>
#include <prsht.h>

#include "app/tooltips.h"
#include "input/input.h"
#include "pages/assign_pass.h"
#include "res/resource.h"
#include "settings/settings.h"

int KeyPagePlayer;
HWND KeyPageWindow;
static AssignPageMarks KeyMarks;

// Row r is item r of every list (the lists are not sorted); row 0 is "no
// key". Keys missing here can be neither chosen nor captured.
const KeyName KeyNameTable[KEY_NAME_ROWS] = {
    { "None", 0x00 },
    { "Up", 0xC8 },       { "Down", 0xD0 },      { "Left", 0xCB },      { "Right", 0xCD },
    { "Space", 0x39 },
    { "A", 0x1E }, { "B", 0x30 }, { "C", 0x2E }, { "D", 0x20 }, { "E", 0x12 }, { "F", 0x21 },
    { "G", 0x22 }, { "H", 0x23 }, { "I", 0x17 }, { "J", 0x24 }, { "K", 0x25 }, { "L", 0x26 },
    { "M", 0x32 }, { "N", 0x31 }, { "O", 0x18 }, { "P", 0x19 }, { "Q", 0x10 }, { "R", 0x13 },
    { "S", 0x1F }, { "T", 0x14 }, { "U", 0x16 }, { "V", 0x2F }, { "W", 0x11 }, { "X", 0x2D },
    { "Y", 0x15 }, { "Z", 0x2C },
    { "1", 0x02 }, { "2", 0x03 }, { "3", 0x04 }, { "4", 0x05 }, { "5", 0x06 },
    { "6", 0x07 }, { "7", 0x08 }, { "8", 0x09 }, { "9", 0x0A }, { "0", 0x0B },
    { "Numpad0", 0x52 }, { "Numpad1", 0x4F }, { "Numpad2", 0x50 }, { "Numpad3", 0x51 },
    { "Numpad4", 0x4B }, { "Numpad5", 0x4C }, { "Numpad6", 0x4D }, { "Numpad7", 0x47 },
    { "Numpad8", 0x48 }, { "Numpad9", 0x49 },
    { "Insert", 0xD2 },   { "Delete", 0xD3 },    { "Home", 0xC7 },      { "End", 0xCF },
    { "Page Up", 0xC9 },  { "Page Down", 0xD1 },
    { "@", 0x91 }, { "[", 0x1A }, { "]", 0x1B }, { ";", 0x27 }, { ":", 0x92 },
    { ",", 0x33 }, { ".", 0x34 }, { "/", 0x35 }, { "\\", 0x2B },
    { "F1", 0x3B }, { "F2", 0x3C }, { "F3", 0x3D }, { "F4", 0x3E },  { "F5", 0x3F },
    { "F6", 0x40 }, { "F7", 0x41 }, { "F8", 0x42 }, { "F9", 0x43 },  { "F10", 0x44 },
    { "F11", 0x57 }, { "F12", 0x58 },
};

// AssignIndex (list order: Up, Down, Left, Right, Circle, Cross, Triangle,
// Square, L1, L2, R1, R2, Select, Start, -, -, Up(A), Down(A), Left(A),
// Right(A), -, -, -, -) to KeySlot (the game's order inside a KeyRow).
const uint8_t KeySlotMap[ASSIGN_COUNT] = {
    12, 14, 15, 13, 5, 6, 4, 7, 2, 0, 3, 1, 8, 11, 9, 10, 16, 17, 18, 19, 20, 21, 22, 23,
};

static void RefreshKeyMarks(int shownPlayer);

static LRESULT SendToList(int assignIndex, UINT message, WPARAM wparam, LPARAM lparam)
{
    return SendDlgItemMessageA(KeyPageWindow, IDC_ASSIGN_FIRST + assignIndex, message, wparam,
                               lparam);
}

void FillKeyCombos()
{
    SetAssignListsRedraw(KeyPageWindow, FALSE);
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        // Each list is looked up once rather than once per message; ids
        // without a list are passed over, as SendDlgItemMessageA would.
        HWND list = GetDlgItem(KeyPageWindow, IDC_ASSIGN_FIRST + a);
        if (!list)
            continue;
        // Room for every row at once, rather than grown row by row.
        SendMessageA(list, CB_INITSTORAGE, KEY_NAME_ROWS, KEY_NAME_ROWS * 12);
        for (int r = 0; r < KEY_NAME_ROWS; ++r) {
            SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)KeyNameTable[r].text);
            SendMessageA(list, CB_SETITEMDATA, r, KeyNameTable[r].code);
        }
    }
    SetAssignListsRedraw(KeyPageWindow, TRUE);
}

int KeyCodeToRow(int code)
{
    for (int r = 0; r < KEY_NAME_ROWS; ++r) {
        if (KeyNameTable[r].code == code)
            return r;
    }
    return 0;
}

void LoadKeyRow(int player)
{
    const uint8_t *row = Settings.KeyRow[player];
    for (int a = 0; a < ASSIGN_COUNT; ++a)
        SendToList(a, CB_SETCURSEL, KeyCodeToRow(row[KeySlotMap[a]]), 0);
    RefreshKeyMarks(player);
}

void StoreKeyRow(int player)
{
    uint8_t *row = Settings.KeyRow[player];
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        LRESULT item = SendToList(a, CB_GETCURSEL, 0, 0);
        // A list without a selection stands for no key, not for CB_ERR's
        // low byte.
        LRESULT code = item < 0 ? 0 : SendToList(a, CB_GETITEMDATA, item, 0);
        row[KeySlotMap[a]] = (uint8_t)code;
    }
}

// A key code as an assignment: ASSIGN_NO_INPUT for "None" and for a code
// that no row has (which shows as "None").
static uint32_t KeyInput(int code)
{
    return KeyCodeToRow(code) == 0 ? ASSIGN_NO_INPUT : (uint32_t)code;
}

static void KeyInputText(char *buffer, uint32_t input)
{
    lstrcpynA(buffer, KeyNameTable[KeyCodeToRow((int)input)].text, DUPLICATE_INPUT_SIZE);
}

static bool KeyInputHeld(uint32_t input)
{
    return KeyHeld((int)input);
}

// After every change of the shown keys: the duplicate line, the warning
// and pressed marks.
static void RefreshKeyMarks(int shownPlayer)
{
    uint32_t other[ASSIGN_COUNT];
    int otherPlayer = 1 - shownPlayer;
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        LRESULT item = SendToList(a, CB_GETCURSEL, 0, 0);
        KeyMarks.shown[a] = KeyMarks.labels[a] && item >= 0
            ? KeyInput((int)SendToList(a, CB_GETITEMDATA, item, 0)) : ASSIGN_NO_INPUT;
        other[a] = KeyInput(Settings.KeyRow[otherPlayer][KeySlotMap[a]]);
    }
    ShowDuplicates(KeyPageWindow, KeyMarks, other, otherPlayer, KeyInputText);
    MarkPressedLabels(KeyMarks, KeyInputHeld);
}

// A key pressed while the list of AssignIndex a has the focus (a key of
// the table): the list shows it and Apply becomes active, again at every
// tick while the key stays held.
static void CaptureKey(HWND page, int a, uint32_t code)
{
    HWND focus = GetDlgItem(page, IDC_ASSIGN_FIRST + a);
    int row = KeyCodeToRow((int)code);
    SendMessageA(focus, CB_SHOWDROPDOWN, FALSE, 0);
    if (SendMessageA(focus, CB_GETCURSEL, 0, 0) != row) {
        SendMessageA(focus, CB_SETCURSEL, row, 0);
        RefreshKeyMarks(KeyPagePlayer);
    }
    MarkSheetChanged(page);
}

void KeyCaptureTick(HWND page)
{
    if (!AssignPassTick(page)) {
        // The lowest held code decides: a held key outside the table
        // blocks every key above it.
        int code = PollKeyboard();
        int a = code >= 0 ? FocusedAssignIndex(page) : -1;
        if (a >= 0 && KeyCodeToRow(code) != 0)
            CaptureKey(page, a, (uint32_t)code);
    }
    // The keys held now, whichever list has the focus.
    MarkPressedLabels(KeyMarks, KeyInputHeld);
}

// What "Assign All" reads and does on this page.
static uint32_t PollKeys(InputChoice choose)
{
    int code = PollKeyboard(choose);
    return code < 0 ? ASSIGN_NO_INPUT : (uint32_t)code;
}

static uint32_t HeldKeys(InputChoice choose)
{
    int code = HeldKey(choose);
    return code < 0 ? ASSIGN_NO_INPUT : (uint32_t)code;
}

static bool KeyOffered(uint32_t code)
{
    return KeyCodeToRow((int)code) != 0;
}

static const AssignPassInputs KeyPassInputs = {
    PollKeys, HeldKeys, KeyInputHeld, KeyOffered, CaptureKey, KeyInputText,
};

// A player switch keeps the shown player's choices in the record and shows
// the other row. Neither it nor a reset marks the sheet changed.
static void ShowKeyPlayer(int player)
{
    if (KeyPagePlayer == player)
        return;
    StoreKeyRow(KeyPagePlayer);
    LoadKeyRow(player);
    KeyPagePlayer = player;
}

static void OnCommand(HWND page, int id, int notification)
{
    AssignPassCommand(page, id, notification);
    switch (id) {
    case IDC_ASSIGN_ALL:
        StartAssignPass(page, KeyMarks, KeyPassInputs);
        return;
    case IDC_PLAYER1:
        ShowKeyPlayer(0);
        return;
    case IDC_PLAYER2:
        ShowKeyPlayer(1);
        return;
    case IDC_RESET:
        ApplyKeyDefaults(KeyPagePlayer);
        LoadKeyRow(KeyPagePlayer);
        return;
    }
    if (id >= IDC_ASSIGN_FIRST && id <= IDC_ASSIGN_LAST && notification == CBN_SELCHANGE) {
        RefreshKeyMarks(KeyPagePlayer);
        MarkSheetChanged(page);
    }
}

static void OnInitDialog(HWND page)
{
    KeyPageWindow = page;
    FillKeyCombos();
    CheckDlgButton(page, IDC_PLAYER1, KeyPagePlayer == 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_PLAYER2, KeyPagePlayer == 1 ? BST_CHECKED : BST_UNCHECKED);
    FindAssignLabels(page, KeyMarks);
    LoadKeyRow(KeyPagePlayer);
    // Last, once the page is shown: the page is filled, loaded and painted
    // before its 15 tooltip windows are made (under Wine each is a
    // top-level window with an X11 window of its own).
    AddPageTooltipsAfterShown(page, AssignTooltips, KEY_TOOLTIP_ROWS);
}

static const AssignPageCapture KeyPageCapture = { StoreKeyRow, StopKeyboardCapture };

INT_PTR CALLBACK KeyboardPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page);
        return TRUE;
    case WM_COMMAND:
        OnCommand(page, LOWORD(wparam), HIWORD(wparam));
        return 0;
    case WM_NOTIFY:
        return AssignmentPageNotify(page, (const NMHDR *)lparam, KeyPageCapture, KeyPagePlayer);
    case WM_TIMER:
        FinishPageTooltips(page);
        KeyCaptureTick(page);
        return 0;
    case WM_CTLCOLORSTATIC:
        return AssignLabelColours(page, KeyMarks, (HDC)wparam, (HWND)lparam);
    }
    return 0;
}
