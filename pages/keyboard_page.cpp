// The keyboard page: which key stands for each of the game's buttons, for
// two players, one player shown at a time (pages/assign_lists.h). A key is
// chosen from a list or captured live: while the page is active a 33 ms
// timer polls the keyboard and selects the held key in the focused list.
//
// Every list holds the rows of the key table; row r is item r (the lists
// are not sorted) and carries its key code as item data. A row reads as
// the player's keyboard layout names its key (KeyRows). A player's KeyRow
// is in the game's KeySlot order, the lists in AssignIndex order.
#include "pages/pages.h"

#include <string.h>

#include "input/input.h"
#include "input/keyboard_layout.h"
#include "pages/assign_page.h"
#include "settings/settings.h"

AssignPage KeyPage;

// Row 0 is "no key". Keys missing here can be neither chosen nor captured.
// The texts are the keys' names on a US keyboard, but for the two keys only
// a Japanese keyboard has (0x91, 0x92), named as it prints them.
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

int KeyCodeToRow(int code)
{
    for (int r = 0; r < KEY_NAME_ROWS; ++r) {
        if (KeyNameTable[r].code == code)
            return r;
    }
    return 0;
}

// A key code as an input: ASSIGN_NO_INPUT for "None" and for a code that
// no row has (which shows as "None").
static uint32_t KeyInput(uint32_t code)
{
    return KeyCodeToRow((int)code) == 0 ? ASSIGN_NO_INPUT : code;
}

static uint32_t KeyOrNone(int code)
{
    return code < 0 ? ASSIGN_NO_INPUT : KeyInput((uint32_t)code);
}

// The keys the lists offer: a key held outside the table is no input.
static uint32_t PollKeys(InputChoice choose, void *context)
{
    return KeyOrNone(PollKeyboard(choose, context));
}

static uint32_t HeldKeys(InputChoice choose, void *context)
{
    return KeyOrNone(HeldKey(choose, context));
}

static bool KeyInputHeld(uint32_t input)
{
    return KeyHeld((int)input);
}

static bool KeyOffered(uint32_t code)
{
    return KeyInput(code) != ASSIGN_NO_INPUT;
}

// The rows' texts, wherever the page shows a key: in the lists, after a
// capture, in the duplicate line and in the line of "Assign All".
#define KEY_ROW_TEXT_SIZE 32
struct KeyRowNames {
    char text[KEY_NAME_ROWS][KEY_ROW_TEXT_SIZE];
    bool byLayout[KEY_NAME_ROWS];   // the text is the layout's name of the key
};
static KeyRowNames KeyRows;

// The rows the layout may name: keys below 0x80 whose table text is one
// character (letters, digits, signs). The others (the arrows, Space, the
// numpad, the F keys, the Japanese keyboard's own codes) keep the table's.
static bool LayoutMayName(const KeyName &key)
{
    return key.code < 0x80 && key.text[0] && !key.text[1];
}

// Whether the layout names a row's key with this text.
static bool LayoutNames(const KeyRowNames &names, const char *text)
{
    for (int r = 0; r < KEY_NAME_ROWS; ++r) {
        if (names.byLayout[r] && !strcmp(names.text[r], text))
            return true;
    }
    return false;
}

// Names the rows as the player's layout does, in the page's language: a
// key that types one character shows it; on a Japanese keyboard the table
// is the keyboard's own. No two rows read the same: keys the layout names
// alike both keep the table's names, and a row that keeps a name the layout
// gives another key says which keyboard has it ("JIS" for the Japanese
// keyboard's own codes 0x90..0x94, "US" for the others, such as a dead key).
static void NameKeyRows(HWND page, KeyRowNames &names)
{
    bool japanese = JapaneseKeyboard();
    for (int r = 0; r < KEY_NAME_ROWS; ++r) {
        const KeyName &key = KeyNameTable[r];
        names.byLayout[r] = !japanese && LayoutMayName(key) &&
                           LayoutKeyText(key.code, names.text[r], KEY_ROW_TEXT_SIZE);
    }
    bool alike[KEY_NAME_ROWS] = {};
    for (int r = 0; r < KEY_NAME_ROWS; ++r) {
        for (int s = r + 1; s < KEY_NAME_ROWS; ++s) {
            if (names.byLayout[r] && names.byLayout[s] && !strcmp(names.text[r], names.text[s]))
                alike[r] = alike[s] = true;
        }
    }
    for (int r = 0; r < KEY_NAME_ROWS; ++r)
        names.byLayout[r] = names.byLayout[r] && !alike[r];
    char onJis[32], onUs[32];
    LoadPageText(page, IDS_KEY_ON_JIS, onJis, sizeof onJis);
    LoadPageText(page, IDS_KEY_ON_US, onUs, sizeof onUs);
    for (int r = 0; r < KEY_NAME_ROWS; ++r) {
        const KeyName &key = KeyNameTable[r];
        if (names.byLayout[r])
            continue;
        // The format (31 bytes at most) with the table's text.
        char shown[sizeof onJis + KEY_ROW_TEXT_SIZE];
        if (LayoutNames(names, key.text))
            wsprintfA(shown, key.code >= 0x90 && key.code <= 0x94 ? onJis : onUs, key.text);
        else
            lstrcpynA(shown, key.text, sizeof shown);
        lstrcpynA(names.text[r], shown, KEY_ROW_TEXT_SIZE);
    }
}

static void KeyInputText(char *text, uint32_t input)
{
    lstrcpynA(text, KeyRows.text[KeyCodeToRow((int)input)], ASSIGN_INPUT_TEXT_SIZE);
}

static void FillKeyCombos(AssignPage &page)
{
    NameKeyRows(page.window, KeyRows);
    SetAssignListsRedraw(page.window, FALSE);
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        // Ids without a list are passed over, as SendDlgItemMessageA would.
        HWND list = AssignList(page.window, a);
        if (!list)
            continue;
        // Room for every row at once, rather than grown row by row.
        SendMessageA(list, CB_INITSTORAGE, KEY_NAME_ROWS, KEY_NAME_ROWS * 12);
        for (int r = 0; r < KEY_NAME_ROWS; ++r) {
            SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)KeyRows.text[r]);
            SendMessageA(list, CB_SETITEMDATA, r, KeyNameTable[r].code);
        }
    }
    SetAssignListsRedraw(page.window, TRUE);
}

// WM_INPUTLANGCHANGE, a switch of layouts: the rows are named again, and
// only the items whose text changed are replaced. Every row keeps its
// index and code, so every list keeps its selection; the marks follow, so
// that the duplicate line names the keys as the lists now do.
static void RenameKeyRows(AssignPage &page)
{
    KeyRowNames before = KeyRows;
    NameKeyRows(page.window, KeyRows);
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        HWND list = AssignList(page.window, a);
        if (!list)
            continue;
        LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
        bool changed = false;
        for (int r = 0; r < KEY_NAME_ROWS; ++r) {
            if (!strcmp(before.text[r], KeyRows.text[r]))
                continue;
            SendMessageA(list, CB_DELETESTRING, r, 0);
            SendMessageA(list, CB_INSERTSTRING, r, (LPARAM)KeyRows.text[r]);
            SendMessageA(list, CB_SETITEMDATA, r, KeyNameTable[r].code);
            changed = true;
        }
        // Deleting the selected item cleared the selection.
        if (changed)
            SendMessageA(list, CB_SETCURSEL, selected, 0);
    }
    RefreshAssignMarks(page);
}

static void ShowKeyCode(HWND list, uint32_t code)
{
    SendMessageA(list, CB_SETCURSEL, KeyCodeToRow((int)code), 0);
}

// A key captured into the list of AssignIndex a: the list closes and shows
// it; true when it showed another key.
static bool ShowCapturedKey(AssignPage &page, int a, uint32_t code)
{
    HWND list = AssignList(page.window, a);
    int row = KeyCodeToRow((int)code);
    SendMessageA(list, CB_SHOWDROPDOWN, FALSE, 0);
    if (SendMessageA(list, CB_GETCURSEL, 0, 0) == row)
        return false;
    SendMessageA(list, CB_SETCURSEL, row, 0);
    return true;
}

static void ReadKeyRow(int player, uint32_t values[ASSIGN_COUNT])
{
    for (int a = 0; a < ASSIGN_COUNT; ++a)
        values[a] = Settings.KeyRow[player][KeySlotMap[a]];
}

// Only a code's low 8 bits are stored.
static void WriteKeyRow(int player, const uint32_t values[ASSIGN_COUNT])
{
    for (int a = 0; a < ASSIGN_COUNT; ++a)
        Settings.KeyRow[player][KeySlotMap[a]] = (uint8_t)values[a];
}

// "Assign All" has a tooltip of its own.
static const TooltipEntry KeyboardTooltips[] = {
    ASSIGN_LIST_TOOLTIPS,
    { IDC_ASSIGN_ALL, IDS_TIP_ASSIGN_ALL },
};

static const AssignPageKind KeyboardKind = {
    PollKeys, HeldKeys, KeyInputHeld, StopKeyboardCapture,
    KeyOffered, KeyInputText,
    FillKeyCombos, ShowKeyCode, ShowCapturedKey, KeyInput, 0, false,
    ReadKeyRow, WriteKeyRow, ApplyKeyDefaults,
    KeyboardTooltips, TOOLTIP_ROWS(KeyboardTooltips),
    NULL,
};

INT_PTR CALLBACK KeyboardPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG:
        OpenAssignPage(KeyPage, KeyboardKind, page);
        return TRUE;
    case WM_COMMAND:
        AssignPageCommand(KeyPage, LOWORD(wparam), HIWORD(wparam));
        return 0;
    case WM_NOTIFY:
        return AssignPageNotify(KeyPage, (const NMHDR *)lparam);
    case WM_TIMER:
        AssignPageTick(KeyPage);
        return 0;
    case WM_CTLCOLORSTATIC:
        return AssignLabelColours(KeyPage, (HDC)wparam, (HWND)lparam);
    case WM_INPUTLANGCHANGE:
        // The sheet's default handling hands it to every page; the default
        // handling goes on to the page's own controls.
        RenameKeyRows(KeyPage);
        return 0;
    }
    return 0;
}
