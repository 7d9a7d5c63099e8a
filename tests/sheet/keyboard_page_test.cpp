// The keyboard page on the real sheet: its lists, the two players, the
// reset, live capture from the fake keyboard, and the bytes that OK, Apply
// and Cancel leave in the file.

#include "tests/sheet_harness.h"

#include <commctrl.h>
#include <prsht.h>
#include <array>
#include <set>

#include "pages/pages.h"
#include "res/resource.h"
#include "settings/settings.h"

namespace {

// The assignment lists by their labels.
enum ListId {
    UP = 1041, DOWN, LEFT, RIGHT, CIRCLE, CROSS, TRIANGLE, SQUARE, L1, L2, R1, R2, SELECT, START,
    UP_A = 1057, DOWN_A, LEFT_A, RIGHT_A,
};
const int Lists[18] = { UP, DOWN, LEFT, RIGHT, CIRCLE, CROSS, TRIANGLE, SQUARE, L1, L2,
                        R1, R2, SELECT, START, UP_A, DOWN_A, LEFT_A, RIGHT_A };

// Scan codes the cases hold.
const int KeyEscape = 0x01, KeyQ = 0x10, KeyW = 0x11, KeyO = 0x18, KeyLeftCtrl = 0x1D,
          KeyA = 0x1E, KeyK = 0x25, KeyBackslash = 0x2B, KeyF12 = 0x58;

const char *const PollCall = "keyboard.GetDeviceState(256)";

// The factory keys of each player as the lists show them, in list order.
const std::vector<std::string> PlayerOneDefaults = {
    "W", "S", "A", "D", "O", "U", "I", "J", "8", "9", "L", "7", "B", "Space",
    "None", "None", "None", "None",
};
const std::vector<std::string> PlayerTwoDefaults = {
    "Up", "Down", "Left", "Right", "Numpad6", "Numpad4", "Numpad5", "Numpad1", "Numpad8",
    "Numpad9", "Numpad3", "Numpad7", "Page Up", "Page Down", "None", "None", "None", "None",
};

class KeyboardPageTest : public SheetTest {
protected:
    void OpenKeyboardPage()
    {
        OpenSheet();
        ShowPage(KEYBOARD_PAGE);
    }
    // Opens the sheet on a file whose two key rows are the given bytes and
    // whose other bytes are zero.
    void OpenWithKeyRows(const std::vector<uint8_t> &rows)
    {
        std::vector<uint8_t> file(256, 0);
        std::copy(rows.begin(), rows.end(), file.begin());
        WriteWholeFile("setting.cfg", file);
        OpenKeyboardPage();
    }
    std::string Shown(int id) const { return SelectedText(KEYBOARD_PAGE, id); }
    std::vector<std::string> ShownColumn() const
    {
        std::vector<std::string> column;
        for (int id : Lists)
            column.push_back(Shown(id));
        return column;
    }
    // The two key rows (bytes 0..47) of the file.
    std::vector<uint8_t> SavedKeyRows() const
    {
        std::vector<uint8_t> file = File();
        if (file.size() < 48)
            return {};
        return std::vector<uint8_t>(file.begin(), file.begin() + 48);
    }
    // Holds the keys, waits for the next capture tick, lets them go.
    bool HoldDuringATick(const std::vector<int> &codes)
    {
        for (int code : codes)
            FakeInput.keyboard.Press(code);
        bool ticked = PumpUntilCalledAgain(PollCall);
        FakeInput.keyboard.ReleaseAll();
        return ticked;
    }
    bool DroppedDown(int id) const
    {
        return SendMessageA(Control(KEYBOARD_PAGE, id), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
    }
};

TEST_F(KeyboardPageTest, TypicalRoadCapturesKIntoCircleAndOkWritesIt)
{
    OpenKeyboardPage();
    ASSERT_FALSE(ApplyEnabled());
    Focus(KEYBOARD_PAGE, CIRCLE);
    SendMessageA(Control(KEYBOARD_PAGE, CIRCLE), CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(DroppedDown(CIRCLE));

    FakeInput.keyboard.Press(KeyK);
    ASSERT_TRUE(PumpUntilCalledAgain(PollCall));
    ASSERT_TRUE(PumpUntilCalledAgain(PollCall));   // held past a tick: the same again
    EXPECT_EQ(Shown(CIRCLE), "K");
    EXPECT_FALSE(DroppedDown(CIRCLE));
    EXPECT_TRUE(ApplyEnabled());
    FakeInput.keyboard.ReleaseAll();

    Press(PSBTN_OK);
    EXPECT_TRUE(SheetClosed());
    std::vector<uint8_t> expected(DefaultKeyRows[0], DefaultKeyRows[0] + 24);
    expected.insert(expected.end(), DefaultKeyRows[1], DefaultKeyRows[1] + 24);
    expected[5] = 0x25;
    EXPECT_EQ(SavedKeyRows(), expected);
}

// In the language Windows chose, which a second run by ctest makes Japanese
// (where its locale is missing, Wine takes English instead: that fails
// here): the duplicate line, the line of Assign All; OK saves the same.
TEST_F(KeyboardPageTest, ItsTextsAreInTheUsersLanguageAndOkSavesTheSameBytes)
{
    const char *lang = getenv("LANG");
    ASSERT_EQ(JapaneseUi(), lang && strncmp(lang, "ja", 2) == 0) << "LANG=" << (lang ? lang : "") << ": is its locale made?";
    std::vector<uint8_t> file = { 0, 0, 0, 0, 0, KeyO };   // O on Circle
    OpenWithKeyRows(file);
    Choose(KEYBOARD_PAGE, CROSS, KeyCodeToRow(KeyO));
    Click(KEYBOARD_PAGE, IDC_ASSIGN_ALL);
    EXPECT_EQ(TextOf(Control(KEYBOARD_PAGE, IDC_DUPLICATES)), InUi("Assigned twice: O: Circle, Cross", "重複した割り当て: O: ○、×"));
    EXPECT_EQ(TextOf(Control(KEYBOARD_PAGE, IDC_ASSIGN_PASS_LINE)), InUi("Assign All: press the input for Up (Jump). Tab skips it, Esc stops.", "一括割り当て: 上（ジャンプ）の入力を押してください。\nTabでスキップ、Escで中止します。"));
    Press(PSBTN_OK);
    file.resize(256);
    file[6] = KeyO;
    EXPECT_EQ(File(), file);
}

TEST_F(KeyboardPageTest, EveryListOffersTheKeysInTableOrderWithTheirCodes)
{
    OpenKeyboardPage();
    std::vector<std::string> texts;
    std::set<uint8_t> codes;
    for (const KeyName &key : KeyNameTable) {
        texts.push_back(key.text);
        codes.insert(key.code);
    }
    EXPECT_EQ(codes.size(), (size_t)KEY_NAME_ROWS);   // no code in two rows
    for (int id : Lists) {
        SCOPED_TRACE(id);
        EXPECT_EQ(ListTexts(KEYBOARD_PAGE, id), texts);
        HWND list = Control(KEYBOARD_PAGE, id);
        for (int r = 0; r < KEY_NAME_ROWS; ++r)
            EXPECT_EQ(SendMessageA(list, CB_GETITEMDATA, r, 0), KeyNameTable[r].code) << r;
    }
    struct Row { int row; const char *text; int code; };
    const Row rows[] = { { 0, "None", 0 }, { 16, "K", 0x25 }, { 58, "@", 0x91 },
                         { 66, "\\", 0x2B }, { 78, "F12", 0x58 } };
    for (const Row &row : rows) {
        EXPECT_STREQ(KeyNameTable[row.row].text, row.text);
        EXPECT_EQ(KeyNameTable[row.row].code, row.code);
    }
    // The template has no list for AssignIndex 14, 15 and 20..23.
    const int missing[] = { 1055, 1056, 1061, 1062, 1063, 1064 };
    for (int id : missing)
        EXPECT_EQ(Control(KEYBOARD_PAGE, id), (HWND)NULL) << id;
}

TEST_F(KeyboardPageTest, FirstOpeningShowsPlayerOneAndBothPlayersHaveTheirDefaults)
{
    OpenKeyboardPage();
    EXPECT_EQ(Checked(KEYBOARD_PAGE, IDC_PLAYER1), BST_CHECKED);
    EXPECT_EQ(Checked(KEYBOARD_PAGE, IDC_PLAYER2), BST_UNCHECKED);
    EXPECT_EQ(ShownColumn(), PlayerOneDefaults);
    Click(KEYBOARD_PAGE, IDC_PLAYER2);
    EXPECT_EQ(Checked(KEYBOARD_PAGE, IDC_PLAYER2), BST_CHECKED);
    EXPECT_EQ(ShownColumn(), PlayerTwoDefaults);
    Click(KEYBOARD_PAGE, IDC_PLAYER1);
    EXPECT_EQ(ShownColumn(), PlayerOneDefaults);
    // Switching player is no change of its own.
    EXPECT_FALSE(ApplyEnabled());
}

TEST_F(KeyboardPageTest, ChoosingFromAListEnablesApplyAndStoresTheCodeInItsSlot)
{
    // Each list gets another key; the file's KeySlot order is the game's.
    struct Case { int id; int row; int slot; uint8_t code; };
    const Case cases[] = {
        { UP, 16, 12, 0x25 },       { DOWN, 66, 14, 0x2B },     { LEFT, 78, 15, 0x58 },
        { RIGHT, 1, 13, 0xC8 },     { CIRCLE, 22, 5, 0x10 },    { CROSS, 42, 6, 0x52 },
        { TRIANGLE, 58, 4, 0x91 },  { SQUARE, 62, 7, 0x92 },    { L1, 6, 2, 0x1E },
        { L2, 0, 0, 0x00 },         { R1, 41, 3, 0x0B },        { R2, 53, 1, 0xD3 },
        { SELECT, 5, 8, 0x39 },     { START, 67, 11, 0x3B },    { UP_A, 28, 16, 0x11 },
        { DOWN_A, 24, 17, 0x1F },   { LEFT_A, 3, 18, 0xCB },    { RIGHT_A, 4, 19, 0xCD },
    };
    OpenKeyboardPage();
    std::vector<uint8_t> expected(DefaultKeyRows[0], DefaultKeyRows[0] + 24);
    expected.insert(expected.end(), DefaultKeyRows[1], DefaultKeyRows[1] + 24);
    for (const Case &c : cases) {
        Press(PSBTN_APPLYNOW);
        ASSERT_FALSE(ApplyEnabled());
        Choose(KEYBOARD_PAGE, c.id, c.row);
        EXPECT_TRUE(ApplyEnabled()) << c.id;
        expected[c.slot] = c.code;
    }
    Press(PSBTN_OK);
    EXPECT_EQ(SavedKeyRows(), expected);
}

TEST_F(KeyboardPageTest, AStoredCodeOutsideTheTableShowsNoneAndIsStoredAsZero)
{
    std::vector<uint8_t> rows(DefaultKeyRows[0], DefaultKeyRows[0] + 24);
    rows.insert(rows.end(), DefaultKeyRows[1], DefaultKeyRows[1] + 24);
    rows[12] = KeyEscape;        // player 1 "Up"
    rows[24 + 12] = KeyEscape;   // player 2 "Up", never shown
    OpenWithKeyRows(rows);
    EXPECT_EQ(Shown(UP), "None");
    // A list left without a selection also stands for no key.
    SendMessageA(Control(KEYBOARD_PAGE, DOWN), CB_SETCURSEL, (WPARAM)-1, 0);
    Press(PSBTN_OK);
    std::vector<uint8_t> expected = rows;
    expected[12] = 0;
    expected[14] = 0;
    EXPECT_EQ(SavedKeyRows(), expected);
}

TEST_F(KeyboardPageTest, SlotsWithoutAListAreZeroedForEachStoredPlayerOnly)
{
    // Every byte of both rows holds a key the table has.
    const std::vector<uint8_t> rows(48, KeyBackslash);
    std::vector<uint8_t> zeroed(24, KeyBackslash);
    for (int slot : { 9, 10, 20, 21, 22, 23 })
        zeroed[slot] = 0;
    const std::vector<uint8_t> kept(24, KeyBackslash);
    struct Case {
        const char *road;
        bool openPage;
        std::vector<int> clicks;
        const std::vector<uint8_t> &playerOne;
        const std::vector<uint8_t> &playerTwo;
    };
    const Case cases[] = {
        { "page never opened", false, {}, kept, kept },
        { "player 1 shown", true, {}, zeroed, kept },
        { "player 2 shown at OK", true, { IDC_PLAYER2 }, zeroed, zeroed },
        { "player 2 shown, then player 1", true, { IDC_PLAYER2, IDC_PLAYER1 }, zeroed, zeroed },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.road);
        TearDown();
        SetUp();
        std::vector<uint8_t> file(256, 0);
        std::copy(rows.begin(), rows.end(), file.begin());
        WriteWholeFile("setting.cfg", file);
        OpenSheet();
        if (c.openPage)
            ShowPage(KEYBOARD_PAGE);
        for (int id : c.clicks)
            Click(KEYBOARD_PAGE, id);
        Press(PSBTN_OK);
        std::vector<uint8_t> expected = c.playerOne;
        expected.insert(expected.end(), c.playerTwo.begin(), c.playerTwo.end());
        EXPECT_EQ(SavedKeyRows(), expected);
    }
}

TEST_F(KeyboardPageTest, SwitchingPlayerKeepsAChangeAndCancelStillWritesNothing)
{
    OpenKeyboardPage();
    Choose(KEYBOARD_PAGE, UP, 16);   // "K"
    Click(KEYBOARD_PAGE, IDC_PLAYER2);
    EXPECT_EQ(Shown(UP), "Up");
    EXPECT_EQ(Settings.KeyRow[0][12], 0x25);   // stored by the switch

    // Player 2's own change, then a click on the player already shown:
    // nothing is stored or reloaded.
    Choose(KEYBOARD_PAGE, UP, 67);   // "F1"
    Click(KEYBOARD_PAGE, IDC_PLAYER2);
    EXPECT_EQ(Shown(UP), "F1");
    EXPECT_EQ(Settings.KeyRow[1][12], 0xC8);

    Click(KEYBOARD_PAGE, IDC_PLAYER1);
    EXPECT_EQ(Shown(UP), "K");
    EXPECT_EQ(Settings.KeyRow[1][12], 0x3B);
    Press(PSBTN_CANCEL);
    EXPECT_TRUE(SheetClosed());
    EXPECT_FALSE(FileExists());
}

TEST_F(KeyboardPageTest, ResetRestoresOnlyTheShownPlayerWithoutEnablingApply)
{
    OpenWithKeyRows(std::vector<uint8_t>(48, KeyBackslash));
    Click(KEYBOARD_PAGE, IDC_PLAYER2);
    Click(KEYBOARD_PAGE, IDC_RESET);
    EXPECT_EQ(ShownColumn(), PlayerTwoDefaults);
    EXPECT_FALSE(ApplyEnabled());
    Click(KEYBOARD_PAGE, IDC_PLAYER1);
    EXPECT_EQ(ShownColumn(), std::vector<std::string>(18, "\\"));

    // A reset keeps Apply enabled when it already was.
    Choose(KEYBOARD_PAGE, UP, 16);
    Click(KEYBOARD_PAGE, IDC_PLAYER2);
    Click(KEYBOARD_PAGE, IDC_RESET);
    EXPECT_TRUE(ApplyEnabled());

    Press(PSBTN_OK);
    std::vector<uint8_t> expected(24, KeyBackslash);
    for (int slot : { 9, 10, 20, 21, 22, 23 })
        expected[slot] = 0;   // stored by the switches
    expected[12] = 0x25;
    expected.insert(expected.end(), DefaultKeyRows[1], DefaultKeyRows[1] + 24);
    EXPECT_EQ(SavedKeyRows(), expected);
}

TEST_F(KeyboardPageTest, CaptureTakesTheLowestHeldKeyIntoTheFocusedListOnly)
{
    struct Case {
        const char *road;
        int focus;
        std::vector<int> held;
        const char *circle;   // what "Circle" then shows
        bool changed;         // Apply enabled afterwards
    };
    const Case cases[] = {
        { "W and A held", CIRCLE, { KeyW, KeyA }, "W", true },
        { "left Ctrl blocks A", CIRCLE, { KeyLeftCtrl, KeyA }, "O", false },
        { "left Ctrl does not block Q", CIRCLE, { KeyLeftCtrl, KeyQ }, "Q", true },
        { "Escape blocks everything", CIRCLE, { KeyEscape, KeyK, KeyF12 }, "O", false },
        { "the last row", CIRCLE, { KeyF12 }, "F12", true },
        { "the backslash row", CIRCLE, { KeyBackslash }, "\\", true },
        { "the key already shown", CIRCLE, { KeyO }, "O", true },
        { "focus on a radio button", IDC_PLAYER1, { KeyK }, "O", false },
        { "focus on the reset button", IDC_RESET, { KeyK }, "O", false },
    };
    OpenKeyboardPage();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.road);
        // Back to "O" with Apply disabled.
        SendMessageA(Control(KEYBOARD_PAGE, CIRCLE), CB_SETCURSEL, 20, 0);
        Press(PSBTN_APPLYNOW);
        ASSERT_FALSE(ApplyEnabled());
        Focus(KEYBOARD_PAGE, c.focus);
        ASSERT_EQ(GetFocus(), Control(KEYBOARD_PAGE, c.focus));
        ASSERT_TRUE(HoldDuringATick(c.held));
        EXPECT_EQ(Shown(CIRCLE), c.circle);
        EXPECT_EQ(ApplyEnabled(), c.changed);
        std::vector<std::string> others = PlayerOneDefaults;
        others[4] = c.circle;
        EXPECT_EQ(ShownColumn(), others);
    }
}

// A tap between two ticks is captured, not one made while no list had the
// focus. "Assign All": each list takes the next key, the focus moves on once
// it is let go; Q (held since before), left Ctrl (not in the table) and a
// key given before fill no list; Tab skips, Enter does nothing, Esc stops.
TEST_F(KeyboardPageTest, TapsAndAssignAllTakeOneKeyForEachListInTurn)
{
    struct Step {
        int held, tapped, key;   // besides Q; a key down and up between two ticks; a key message
        int focus;               // the list with the focus after the tick
        const char *line;        // what the line then says, in part
    };
    const Step steps[] = {
        { KeyK, 0, 0, UP, "press the input for Up (Jump). Tab skips" },
        { 0, 0, 0, DOWN, "Down (Crouch)" },
        { KeyK, KeyLeftCtrl, 0, DOWN, "K is on Up already" },
        { 0, 0, VK_TAB, LEFT, "Left (Retreat/Guard)" },
        { 0, KeyF12, VK_RETURN, RIGHT, "Right (Advance)" },
        { 0, 0, VK_ESCAPE, RIGHT, "" },
    };
    OpenKeyboardPage();
    HWND page = Page(KEYBOARD_PAGE);
    for (int focus : { IDC_RESET, (int)CIRCLE }) {
        Focus(KEYBOARD_PAGE, focus);
        FakeInput.keyboard.Tap(focus == CIRCLE ? KeyW : KeyA);
        SendMessageA(page, WM_TIMER, 0, 0);
    }
    EXPECT_EQ(Shown(CIRCLE), "W");
    Focus(KEYBOARD_PAGE, IDC_RESET);
    FakeInput.keyboard.Press(KeyQ);
    SendMessageA(page, WM_TIMER, 0, 0);
    Click(KEYBOARD_PAGE, IDC_ASSIGN_ALL);
    for (const Step &s : steps) {
        FakeInput.keyboard.ReleaseAll();
        for (int code : { s.held, s.key == VK_ESCAPE ? 0 : KeyQ }) {   // Q would fill a list after the pass
            if (code)
                FakeInput.keyboard.Press(code);
        }
        if (s.tapped)
            FakeInput.keyboard.Tap(s.tapped);
        if (s.key)
            PostMessageA(GetFocus(), WM_KEYDOWN, s.key, 0);
        PumpMessages();
        SendMessageA(page, WM_TIMER, 0, 0);
        EXPECT_EQ(GetFocus(), Control(KEYBOARD_PAGE, s.focus)) << s.line;
        std::string line = TextOf(Control(KEYBOARD_PAGE, IDC_ASSIGN_PASS_LINE));
        EXPECT_TRUE(*s.line ? line.find(s.line) != std::string::npos : line.empty()) << line;
    }
    EXPECT_FALSE(SheetClosed());
    std::vector<std::string> shown = PlayerOneDefaults;
    shown[0] = "K", shown[2] = "F12", shown[4] = "W";
    EXPECT_EQ(ShownColumn(), shown);
}

TEST_F(KeyboardPageTest, WithoutAKeyboardTheListsStillWork)
{
    FakeInput.keyboard.present = false;
    OpenKeyboardPage();
    Focus(KEYBOARD_PAGE, CIRCLE);
    FakeInput.keyboard.Press(KeyK);
    PumpFor(100);
    EXPECT_EQ(Shown(CIRCLE), "O");
    EXPECT_FALSE(ApplyEnabled());
    Choose(KEYBOARD_PAGE, CIRCLE, 16);
    Press(PSBTN_OK);
    std::vector<uint8_t> rows = SavedKeyRows();
    ASSERT_EQ(rows.size(), 48u);
    EXPECT_EQ(rows[5], 0x25);
}

// Polled and acquired: an acquired foreground device costs every message
// of the thread a wineserver round trip under Wine, on every page.
TEST_F(KeyboardPageTest, TheKeyboardIsPolledAndAcquiredOnlyWhileThePageIsActive)
{
    OpenSheet();
    PumpFor(100);
    EXPECT_EQ(FakeInput.Count(PollCall), 0);   // never shown yet
    ShowPage(KEYBOARD_PAGE);
    EXPECT_TRUE(PumpUntilCalledAgain(PollCall));
    EXPECT_TRUE(FakeInput.keyboard.acquired);
    for (int other : { GRAPHIC_PAGE, GAMEPAD_PAGE }) {
        SCOPED_TRACE(other);
        ShowPage(other);
        EXPECT_FALSE(FakeInput.keyboard.acquired);
        int polls = FakeInput.Count(PollCall);
        PumpFor(150);
        EXPECT_EQ(FakeInput.Count(PollCall), polls);
        ShowPage(KEYBOARD_PAGE);
        // Acquired again by the first tick, and held from then on.
        EXPECT_TRUE(PumpUntilCalledAgain(PollCall));
        EXPECT_TRUE(FakeInput.keyboard.acquired);
        int acquires = FakeInput.Count("keyboard.Acquire");
        EXPECT_TRUE(PumpUntilCalledAgain(PollCall));
        EXPECT_EQ(FakeInput.Count("keyboard.Acquire"), acquires);
    }
    // Apply leaves the page active, so capture goes on.
    Choose(KEYBOARD_PAGE, UP, 16);
    Press(PSBTN_APPLYNOW);
    EXPECT_TRUE(PumpUntilCalledAgain(PollCall));
}

TEST_F(KeyboardPageTest, OkAfterAllThreePagesWritesThreeTimesWithTheCapturedKey)
{
    OpenKeyboardPage();
    Focus(KEYBOARD_PAGE, CIRCLE);
    ASSERT_TRUE(HoldDuringATick({ KeyK }));
    ShowPage(GAMEPAD_PAGE);
    ApplyObserver observer;
    Press(PSBTN_OK);
    ASSERT_EQ(observer.Pages(),
              std::vector<HWND>({ Page(GRAPHIC_PAGE), Page(KEYBOARD_PAGE), Page(GAMEPAD_PAGE) }));
    // The first page writes before the keyboard page stores its lists;
    // every later write holds the captured key.
    const uint8_t circle[3] = { 0x18, 0x25, 0x25 };
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(observer.writes[i].bytes.size(), 256u) << i;
        EXPECT_EQ(observer.writes[i].bytes[5], circle[i]) << i;
    }
}

TEST_F(KeyboardPageTest, AFailedSaveLeavesThePageCapturing)
{
    ASSERT_TRUE(CreateDirectoryA("setting.cfg", NULL));
    OpenKeyboardPage();
    EXPECT_EQ(PressCatchingMessageBoxes(PSBTN_OK).size(), 1u);
    ASSERT_FALSE(SheetClosed());
    EXPECT_EQ(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0), (LRESULT)Page(KEYBOARD_PAGE));
    Focus(KEYBOARD_PAGE, CIRCLE);
    ASSERT_TRUE(HoldDuringATick({ KeyK }));
    EXPECT_EQ(Shown(CIRCLE), "K");
    ASSERT_TRUE(RemoveDirectoryA("setting.cfg"));
    Press(PSBTN_OK);
    EXPECT_TRUE(SheetClosed());
    std::vector<uint8_t> rows = SavedKeyRows();
    ASSERT_EQ(rows.size(), 48u);
    EXPECT_EQ(rows[5], 0x25);
}

} // namespace

namespace {

// Player 1's and player 2's factory key rows with some KeySlots changed:
// { player, KeySlot, code }.
std::vector<uint8_t> KeyRowsWith(std::initializer_list<std::array<int, 3>> changes)
{
    std::vector<uint8_t> rows(DefaultKeyRows[0], DefaultKeyRows[0] + 24);
    rows.insert(rows.end(), DefaultKeyRows[1], DefaultKeyRows[1] + 24);
    for (const auto &change : changes)
        rows[change[0] * 24 + change[1]] = (uint8_t)change[2];
    return rows;
}

// KeySlots of some lists (KeySlotMap).
const int SlotUp = 12, SlotDown = 14, SlotLeft = 15, SlotCircle = 5, SlotCross = 6, SlotSquare = 7;

const char *const LabelNames[18] = { "Up", "Down", "Left", "Right", "Circle", "Cross", "Triangle",
                                     "Square", "L1", "L2", "R1", "R2", "Select", "Start",
                                     "Up(A)", "Down(A)", "Left(A)", "Right(A)" };

class KeyboardMarksTest : public KeyboardPageTest {
protected:
    void StartAgain()
    {
        TearDown();
        SetUp();
    }
    std::string Line() const { return TextOf(Control(KEYBOARD_PAGE, IDC_DUPLICATES)); }
    // The labels drawn other than normal, as "Circle=warning".
    std::set<std::string> Marked() const
    {
        std::set<std::string> marked;
        for (const char *name : LabelNames) {
            std::string drawn = DrawnAs(Page(KEYBOARD_PAGE), StaticNamed(Page(KEYBOARD_PAGE), name));
            if (drawn != "normal")
                marked.insert(std::string(name) + "=" + drawn);
        }
        return marked;
    }
};

TEST_F(KeyboardMarksTest, TheDuplicateLineNamesEveryInputAssignedTwice)
{
    struct Case {
        const char *what;
        std::vector<uint8_t> rows;
        int player;
        std::string line;
        std::set<std::string> marked;
    };
    const Case cases[] = {
        { "the factory keys", KeyRowsWith({}), 0, "", {} },
        { "one key on two buttons", KeyRowsWith({ { 0, SlotCross, 0x18 } }), 0,
          "Assigned twice: O: Circle, Cross", { "Circle=warning", "Cross=warning" } },
        { "one key for both players", KeyRowsWith({ { 1, SlotSquare, 0x18 } }), 1,
          "Assigned twice: O: Square, Player 1 Circle", { "Square=warning" } },
        { "several, in list order",
          KeyRowsWith({ { 0, SlotUp, 0x25 }, { 0, SlotDown, 0x25 }, { 0, SlotLeft, 0x24 } }), 0,
          "Assigned twice: K: Up, Down; J: Left, Square",
          { "Up=warning", "Down=warning", "Left=warning", "Square=warning" } },
        // "None", and keys the lists lack (which show as "None"), never count.
        { "None and unlisted keys",
          KeyRowsWith({ { 0, SlotUp, 0 }, { 0, SlotDown, 0 }, { 0, SlotLeft, 0x01 },
                        { 0, SlotCircle, 0x01 }, { 1, SlotUp, 0x01 } }), 0, "", {} },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        StartAgain();
        OpenWithKeyRows(c.rows);
        if (c.player == 1)
            Click(KEYBOARD_PAGE, IDC_PLAYER2);
        EXPECT_EQ(Line(), c.line);
        EXPECT_EQ(Marked(), c.marked);
        EXPECT_FALSE(ApplyEnabled());
    }

    // Both players on the same keys: too many to name, so the first ones
    // and how many more, within the line.
    StartAgain();
    std::vector<uint8_t> same(DefaultKeyRows[0], DefaultKeyRows[0] + 24);
    same.insert(same.end(), DefaultKeyRows[0], DefaultKeyRows[0] + 24);
    OpenWithKeyRows(same);
    std::string line = Line();
    EXPECT_EQ(line.rfind("Assigned twice: W: Up, Player 2 Up; S: Down, Player 2 Down", 0), 0u) << line;
    size_t more = line.rfind(" and ");
    ASSERT_NE(more, std::string::npos) << line;
    EXPECT_EQ(line.substr(line.size() - 5), " more") << line;
    EXPECT_EQ(Marked().size(), 14u);
}

TEST_F(KeyboardMarksTest, TheLineFollowsEveryChangeAndNothingElseChanges)
{
    OpenKeyboardPage();
    Choose(KEYBOARD_PAGE, CROSS, 20);   // "O", Circle's key
    EXPECT_EQ(Line(), "Assigned twice: O: Circle, Cross");
    Focus(KEYBOARD_PAGE, CROSS);
    ASSERT_TRUE(HoldDuringATick({ KeyK }));
    EXPECT_EQ(Line(), "");
    Choose(KEYBOARD_PAGE, UP, 48);      // "Numpad6", player 2's Circle
    EXPECT_EQ(Line(), "Assigned twice: Numpad6: Up, Player 2 Circle");
    Click(KEYBOARD_PAGE, IDC_PLAYER2);
    EXPECT_EQ(Line(), "Assigned twice: Numpad6: Circle, Player 1 Up");
    Click(KEYBOARD_PAGE, IDC_RESET);
    EXPECT_EQ(Line(), "Assigned twice: Numpad6: Circle, Player 1 Up");
    Click(KEYBOARD_PAGE, IDC_PLAYER1);
    Click(KEYBOARD_PAGE, IDC_RESET);
    EXPECT_EQ(Line(), "");
    EXPECT_EQ(Marked(), std::set<std::string>());
    // The file holds what was chosen and nothing the line said.
    Choose(KEYBOARD_PAGE, CROSS, 20);
    Press(PSBTN_OK);
    EXPECT_EQ(SavedKeyRows(), KeyRowsWith({ { 0, SlotCross, 0x18 } }));
}

TEST_F(KeyboardMarksTest, LabelsOfHeldKeysAreHighlightedWhateverHasTheFocus)
{
    OpenKeyboardPage();
    Choose(KEYBOARD_PAGE, CROSS, 20);   // O on Circle and Cross
    Focus(KEYBOARD_PAGE, IDC_RESET);
    FakeInput.keyboard.Press(0x18);     // O
    FakeInput.keyboard.Press(0x11);     // W, Up
    FakeInput.keyboard.Press(0x01);     // Escape, on no button
    ASSERT_TRUE(PumpUntilCalledAgain(PollCall));
    EXPECT_EQ(Marked(), std::set<std::string>({ "Up=pressed", "Circle=pressed", "Cross=pressed" }));
    FakeInput.keyboard.Release(0x18);
    ASSERT_TRUE(PumpUntilCalledAgain(PollCall));
    EXPECT_EQ(Marked(), std::set<std::string>({ "Up=pressed", "Circle=warning", "Cross=warning" }));
    FakeInput.keyboard.ReleaseAll();
    ASSERT_TRUE(PumpUntilCalledAgain(PollCall));
    EXPECT_EQ(Marked(), std::set<std::string>({ "Circle=warning", "Cross=warning" }));
    EXPECT_EQ(Shown(CROSS), "O");
}

} // namespace
