// The gamepad page on the real sheet with fake pads: what the lists offer,
// loading and storing a player's row, the AnalogGroup rules, the Advanced
// boxes, "Reset to Default", player switches and live capture.

#include "tests/sheet_harness.h"

#include <commctrl.h>
#include <prsht.h>
#include <dbt.h>
#include <string.h>

#include <array>
#include <functional>
#include <set>

#include "input/pad_watch.h"
#include "pages/pages.h"
#include "res/resource.h"
#include "settings/settings.h"

namespace {

// The lists by their labels; AssignIndex 14, 15 and 20..23 have none.
enum PadListId {
    UP = 1041, DOWN, LEFT, RIGHT, CIRCLE, CROSS, TRIANGLE, SQUARE,
    L1, L2, R1, R2, SELECT, START,
    UP_A = 1057, DOWN_A, LEFT_A, RIGHT_A,
};
const int ListIds[18] = { UP, DOWN, LEFT, RIGHT, CIRCLE, CROSS, TRIANGLE, SQUARE, L1, L2,
                          R1, R2, SELECT, START, UP_A, DOWN_A, LEFT_A, RIGHT_A };

typedef std::vector<std::string> Texts;
typedef std::vector<uint32_t> Row;

const uint32_t NONE = 0xFFFFFFFF;

Texts Join(std::initializer_list<Texts> parts)
{
    Texts all;
    for (const Texts &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Entry texts of pad number n: each name once ("1Left"), or with count,
// each name numbered 1..count ("1POV Up1", "1POV Down1", ... "1POV Right2").
Texts PadTexts(int n, std::initializer_list<const char *> names, int count = 0)
{
    Texts texts;
    for (int i = count ? 1 : 0; i <= count; ++i) {
        for (const char *name : names)
            texts.push_back(std::to_string(n) + name + (count ? std::to_string(i) : ""));
    }
    return texts;
}
Texts StickTexts(int n) { return PadTexts(n, { "Left", "Right", "Up", "Down" }); }
Texts HatTexts(int n, int count)
{
    return PadTexts(n, { "POV Up", "POV Down", "POV Left", "POV Right" }, count);
}
Texts ButtonTexts(int n, int count) { return PadTexts(n, { "BUTTON" }, count); }

class GamepadPageTest : public SheetTest {
protected:
    // Starts from a settings file that holds this record.
    void WriteSettings(const SettingBlock &block)
    {
        std::vector<uint8_t> bytes(sizeof block);
        memcpy(bytes.data(), &block, sizeof block);
        WriteWholeFile("setting.cfg", bytes);
    }
    // A record whose player 1 row holds these codes in AssignIndex order
    // (unlisted entries stay 0) and the given flags.
    SettingBlock Record(const Row &row0, uint32_t flags = 0)
    {
        SettingBlock block;
        memset(&block, 0, sizeof block);
        for (size_t a = 0; a < row0.size(); ++a)
            block.PadRow[0][a] = row0[a];
        block.PadAdvancedFlags = flags;
        return block;
    }
    void OpenPadPage()
    {
        OpenSheet();
        ShowPage(GAMEPAD_PAGE);
    }
    std::string Shown(int id) const { return SelectedText(GAMEPAD_PAGE, id); }
    Texts ShownAll() const
    {
        Texts texts;
        for (int id : ListIds)
            texts.push_back(Shown(id));
        return texts;
    }
    Texts ShownGroup() const
    {
        return { Shown(UP_A), Shown(DOWN_A), Shown(LEFT_A), Shown(RIGHT_A) };
    }
    // The index of the entry with this text, or CB_ERR.
    int Entry(int id, const std::string &text) const
    {
        return (int)SendMessageA(Control(GAMEPAD_PAGE, id), CB_FINDSTRINGEXACT, (WPARAM)-1,
                                 (LPARAM)text.c_str());
    }
    // A user's choice of the entry with this text.
    void ChooseEntry(int id, const std::string &text)
    {
        int item = Entry(id, text);
        ASSERT_GE(item, 0) << text;
        Choose(GAMEPAD_PAGE, id, item);
    }
    // One capture tick as the page's timer delivers it.
    void Tick()
    {
        SendMessageA(Page(GAMEPAD_PAGE), WM_TIMER, 0, 0);
        PumpMessages();
    }
    // The settings record as the file holds it after OK or Apply.
    SettingBlock Saved(int button)
    {
        Press(button);
        SettingBlock block;
        memset(&block, 0xEE, sizeof block);
        std::vector<uint8_t> bytes = File();
        EXPECT_EQ(bytes.size(), sizeof block);
        if (bytes.size() == sizeof block)
            memcpy(&block, bytes.data(), sizeof block);
        return block;
    }
    static Row RowOf(const SettingBlock &block, int player)
    {
        return Row(block.PadRow[player], block.PadRow[player] + PAD_ROW_SIZE);
    }
    void StartAgain()
    {
        TearDown();
        SetUp();
    }
};

TEST_F(GamepadPageTest, ListsOfferNoneThenTheInputsOfEachUsablePadInOrder)
{
    struct Case {
        const char *what;
        std::function<void()> pads;
        Texts entries;
        bool rotater, slider;
    };
    const Case cases[] = {
        { "Z, Rz, a slider, a hat and 4 buttons",
          [] { FakeInput.AddPad(4).Axis(GUID_ZAxis).Axis(GUID_RzAxis).Sliders(1).Povs(1); },
          { "None", "1Left", "1Right", "1Up", "1Down", "1ZMIN", "1Z Max", "1RZ Min", "1RZ Max",
            "1Sld Min1", "1Sld Max1", "1POV Up1", "1POV Down1", "1POV Left1", "1POV Right1",
            "1BUTTON1", "1BUTTON2", "1BUTTON3", "1BUTTON4" },
          true, true },
        { "X, Y and 12 buttons", [] { FakeInput.AddPad(12); },
          Join({ { "None" }, StickTexts(1), ButtonTexts(1, 12) }), false, false },
        { "no pad", [] {}, { "None" }, false, false },
        { "a pad only in slot 1",
          [] {
              FakeInput.AddPad(3).results.setDataFormat = DIERR_INVALIDPARAM;
              FakeInput.AddPad(2).Axis(GUID_RxAxis);
          },
          Join({ { "None" }, StickTexts(2), { "2RX Min", "2RX Max" }, ButtonTexts(2, 2) }),
          true, false },
        { "two pads",
          [] {
              FakeInput.AddPad(2).Povs(1);
              FakeInput.AddPad(1).Axis(GUID_RyAxis).Sliders(1);
          },
          Join({ { "None" }, StickTexts(1), HatTexts(1, 1), ButtonTexts(1, 2), StickTexts(2),
                 { "2RY Min", "2RY Max", "2Sld Min1", "2Sld Max1" }, ButtonTexts(2, 1) }),
          true, true },
        { "a pad without buttons is no usable pad, but its axes count for the boxes",
          [] {
              FakeInput.AddPad(0).Axis(GUID_RxAxis).Sliders(1).Povs(1);
              FakeInput.AddPad(1);
          },
          Join({ { "None" }, StickTexts(2), ButtonTexts(2, 1) }), true, true },
        { "40 buttons, 3 sliders and 5 hats: what a code can name",
          [] { FakeInput.AddPad(40).Sliders(3).Povs(5); },
          Join({ { "None" }, StickTexts(1), PadTexts(1, { "Sld Min", "Sld Max" }, 2),
                 HatTexts(1, 4), ButtonTexts(1, 32) }),
          false, true },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        StartAgain();
        c.pads();
        OpenPadPage();
        for (int id : ListIds)
            EXPECT_EQ(ListTexts(GAMEPAD_PAGE, id), c.entries) << id;
        EXPECT_EQ(Enabled(GAMEPAD_PAGE, IDC_ROTATER), c.rotater);
        EXPECT_EQ(Enabled(GAMEPAD_PAGE, IDC_SLIDER), c.slider);
        EXPECT_FALSE(ApplyEnabled());
    }
}

TEST_F(GamepadPageTest, EveryChosenEntryIsStoredAsItsCode)
{
    FakeInput.AddPad(4).Axis(GUID_ZAxis).Axis(GUID_RzAxis).Sliders(1).Povs(1);
    OpenPadPage();
    // Entry i + 1 in the i-th list: every input of the pad once. The
    // analog lists get the buttons, which leave each other alone.
    for (int i = 0; i < 18; ++i)
        Choose(GAMEPAD_PAGE, ListIds[i], i + 1);
    EXPECT_TRUE(ApplyEnabled());
    SettingBlock saved = Saved(PSBTN_OK);
    EXPECT_EQ(RowOf(saved, 0),
              Row({ 0x02000000, 0x02000001, 0x02000002, 0x02000003, 0x02000004, 0x02000005,
                    0x0200000A, 0x0200000B, 0x08000000, 0x08000001,
                    0x04000000, 0x04000001, 0x04000002, 0x04000003, 0, 0,
                    0x01000000, 0x01000001, 0x01000002, 0x01000003, 0, 0, 0, 0 }));
    // Player 2 has no pad of its own: its defaults name nothing.
    EXPECT_EQ(RowOf(saved, 1), Row(PAD_ROW_SIZE, NONE));
}

TEST_F(GamepadPageTest, EntriesOfBothPadsUpToTheLimitsStoreTheInputTheyShow)
{
    FakeInput.AddPad(40).Sliders(3).Povs(5);
    FakeInput.AddPad(3).Axis(GUID_RxAxis);
    struct Case { int id; const char *text; int assignIndex; uint32_t code; };
    const Case cases[] = {
        { CIRCLE, "1BUTTON32", 4, 0x0100001F },  { CROSS, "1BUTTON10", 5, 0x01000009 },
        { TRIANGLE, "1Sld Max2", 6, 0x08000101 }, { SQUARE, "1POV Right4", 7, 0x04000303 },
        { L1, "2RX Max", 8, 0x82000007 },         { L2, "2BUTTON3", 9, 0x81000002 },
        { R1, "2Up", 10, 0x82000002 },            { R2, "None", 11, NONE },
    };
    OpenPadPage();
    for (const Case &c : cases)
        ChooseEntry(c.id, c.text);
    SettingBlock saved = Saved(PSBTN_APPLYNOW);
    for (const Case &c : cases)
        EXPECT_EQ(saved.PadRow[0][c.assignIndex], c.code) << c.text;
    // Shown again from the stored codes, each finds its own entry.
    Click(GAMEPAD_PAGE, IDC_PLAYER2);
    Click(GAMEPAD_PAGE, IDC_PLAYER1);
    for (const Case &c : cases)
        EXPECT_EQ(Shown(c.id), c.text);
}

TEST_F(GamepadPageTest, WithoutPadsOnlyNoneIsOfferedAndTheMarksComeFromTheFile)
{
    WriteSettings(Record({ 0x02000002, 0x02000003, 0x02000000, 0x02000001, 0x01000000 },
                         PAD_ADVANCED_ROTATION | PAD_ADVANCED_SLIDERS));
    OpenPadPage();
    // Beside "None", a list holds only the entry kept for its stored code.
    const Texts kept = { "1Up (not connected)", "1Down (not connected)", "1Left (not connected)",
                         "1Right (not connected)", "1BUTTON1 (not connected)" };
    for (int i = 0; i < 18; ++i) {
        Texts expected = { "None" };
        if (i < 5)
            expected.push_back(kept[i]);
        EXPECT_EQ(ListTexts(GAMEPAD_PAGE, ListIds[i]), expected) << ListIds[i];
    }
    EXPECT_EQ(ShownAll(), Join({ kept, Texts(13, "None") }));
    EXPECT_FALSE(Enabled(GAMEPAD_PAGE, IDC_ROTATER));
    EXPECT_FALSE(Enabled(GAMEPAD_PAGE, IDC_SLIDER));
    EXPECT_EQ(Checked(GAMEPAD_PAGE, IDC_ROTATER), BST_CHECKED);
    EXPECT_EQ(Checked(GAMEPAD_PAGE, IDC_SLIDER), BST_CHECKED);

    Focus(GAMEPAD_PAGE, CIRCLE);
    Tick();   // nothing to poll
    EXPECT_FALSE(ApplyEnabled());

    Click(GAMEPAD_PAGE, IDC_RESET);
    EXPECT_EQ(ShownAll(), Texts(18, "None"));
    for (int id : ListIds)
        EXPECT_EQ(ListTexts(GAMEPAD_PAGE, id), Texts({ "None" })) << id;
    EXPECT_EQ(Checked(GAMEPAD_PAGE, IDC_ROTATER), BST_UNCHECKED);
    EXPECT_EQ(Checked(GAMEPAD_PAGE, IDC_SLIDER), BST_UNCHECKED);
    EXPECT_FALSE(ApplyEnabled());
    SettingBlock saved = Saved(PSBTN_OK);
    Row expected(PAD_ROW_SIZE, NONE);
    for (int a : { 14, 15, 20, 21, 22, 23 })
        expected[a] = 0;
    EXPECT_EQ(RowOf(saved, 0), expected);
    EXPECT_EQ(saved.PadAdvancedFlags, 0u);
}

// A stored code is shown by the entry whose text is its label; a code of
// the tool's own shape that no entry offers keeps an entry of its own and
// is saved unchanged; any other code shows as "None".
TEST_F(GamepadPageTest, AStoredCodeShowsItsEntryAKeptEntryOrNone)
{
    FakeInput.AddPad(12);
    struct Case { int assignIndex; uint32_t stored; const char *shown; uint32_t saved; };
    const Case cases[] = {
        { 0, 0x02000002, "1Up", 0x02000002 },
        { 1, 0x0200000C, "None", NONE },                // labelled "1POV Up", which no entry is
        { 4, 0x01000009, "1BUTTON10", 0x01000009 },
        { 5, 0x01000000, "1BUTTON1", 0x01000000 },      // not "1BUTTON10"
        { 6, 0x01000001, "1BUTTON2", 0x01000001 },
        { 7, 0x0100000C, "1BUTTON13 (not on pad)", 0x0100000C },
        { 8, 0x81000000, "2BUTTON1 (not connected)", 0x81000000 },
        { 9, 0x00000005, "None", NONE },                // no kind bit
        { 10, 0, "None", NONE },
        { 11, 0x04000000, "1POV Up1 (not on pad)", 0x04000000 },
        { 12, 0x04000007, "None", NONE },               // no label
        { 13, 0x08000000, "1Sld Min1 (not on pad)", 0x08000000 },
        { 14, 0x01000001, nullptr, 0 },                 // no list
        { 15, 0x02000000, nullptr, 0 },
        // Loading does not run the group rules.
        { 16, 0x02000000, "1Left", 0x02000000 },
        { 17, 0x8200000B, "2RZ Max (not connected)", 0x8200000B },
        { 18, 0x0300000D, "None", NONE },               // two kind bits, no entry
        // Bits a button does not name, yet its label has an entry.
        { 19, 0x01000120, "1BUTTON1", 0x01000000 },
        { 20, 0x01000003, nullptr, 0 },
        { 23, NONE, nullptr, 0 },
    };
    Row stored(PAD_ROW_SIZE, NONE);
    for (const Case &c : cases)
        stored[c.assignIndex] = c.stored;
    WriteSettings(Record(stored));

    // A page that is never opened leaves the row as loaded.
    OpenSheet();
    EXPECT_EQ(RowOf(Saved(PSBTN_OK), 0), stored);

    StartAgain();
    FakeInput.AddPad(12);
    WriteSettings(Record(stored));
    OpenPadPage();
    EXPECT_FALSE(ApplyEnabled());
    Row expected(PAD_ROW_SIZE, NONE);
    for (const Case &c : cases) {
        if (c.shown) {
            EXPECT_EQ(Shown(IDC_ASSIGN_FIRST + c.assignIndex), c.shown) << c.assignIndex;
        }
        expected[c.assignIndex] = c.saved;
    }
    expected[21] = expected[22] = 0;
    EXPECT_EQ(RowOf(Saved(PSBTN_OK), 0), expected);
}

TEST_F(GamepadPageTest, ResetShowsTheShownPlayersPadDefaultsWithoutMarkingChanged)
{
    struct Case {
        const char *what;
        std::vector<int> buttons;   // one pad per entry
        int player;
        Texts shown;
    };
    const Texts fourNone(4, "None");
    const Case cases[] = {
        { "12 buttons, player 1", { 12 }, 0,
          Join({ { "1Up", "1Down", "1Left", "1Right", "1BUTTON1", "1BUTTON2", "1BUTTON3",
                   "1BUTTON4", "1BUTTON7", "1BUTTON8", "1BUTTON5", "1BUTTON6", "1BUTTON9",
                   "1BUTTON10" }, fourNone }) },
        // L1 and L2 default to buttons 7 and 8, kept for a pad that has them.
        { "6 buttons, player 1", { 6 }, 0,
          Join({ { "1Up", "1Down", "1Left", "1Right", "1BUTTON1", "1BUTTON2", "1BUTTON3",
                   "1BUTTON4", "1BUTTON7 (not on pad)", "1BUTTON8 (not on pad)" },
                 Texts(4, "None"), fourNone }) },
        { "one pad, player 2", { 12 }, 1, Texts(18, "None") },
        { "two pads, player 2", { 6, 12 }, 1,
          Join({ { "2Up", "2Down", "2Left", "2Right", "2BUTTON1", "2BUTTON2", "2BUTTON3",
                   "2BUTTON4", "2BUTTON7", "2BUTTON8", "2BUTTON5", "2BUTTON6", "2BUTTON9",
                   "2BUTTON10" }, fourNone }) },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        StartAgain();
        for (int buttons : c.buttons)
            FakeInput.AddPad(buttons).Axis(GUID_RxAxis).Sliders(1);
        // Both rows name the first button everywhere; every flag bit is set.
        SettingBlock start = Record(Row(PAD_ROW_SIZE, 0x01000000), 0xFFFFFFFF);
        for (uint32_t &code : start.PadRow[1])
            code = 0x01000000;
        WriteSettings(start);
        OpenPadPage();
        if (c.player == 1)
            Click(GAMEPAD_PAGE, IDC_PLAYER2);
        ASSERT_EQ(Checked(GAMEPAD_PAGE, IDC_ROTATER), BST_CHECKED);

        Click(GAMEPAD_PAGE, IDC_RESET);
        EXPECT_EQ(ShownAll(), c.shown);
        EXPECT_EQ(Checked(GAMEPAD_PAGE, IDC_ROTATER), BST_UNCHECKED);
        EXPECT_EQ(Checked(GAMEPAD_PAGE, IDC_SLIDER), BST_UNCHECKED);
        EXPECT_FALSE(ApplyEnabled());

        SettingBlock saved = Saved(PSBTN_OK);
        EXPECT_EQ(saved.PadAdvancedFlags, 0u);
        // The stored row holds what the lists show; the other row is as
        // loaded (player 1's row was stored at the switch).
        Row row = RowOf(saved, c.player);
        for (int i = 0; i < 18; ++i) {
            if (c.shown[i] == "None") {
                EXPECT_EQ(row[ListIds[i] - IDC_ASSIGN_FIRST], NONE) << ListIds[i];
            }
        }
        for (int a : { 14, 15, 20, 21, 22, 23 })
            EXPECT_EQ(row[a], 0u) << a;
        if (c.player == 0) {
            EXPECT_EQ(RowOf(saved, 1), Row(PAD_ROW_SIZE, 0x01000000));
        }
    }
}

TEST_F(GamepadPageTest, AnalogGroupRulesFollowAChoice)
{
    struct Case {
        const char *what;
        Texts group;    // Up(A), Down(A), Left(A), Right(A) before
        int id;
        const char *chosen;
        Texts after;    // the group afterwards
    };
    const Case cases[] = {
        { "an axis end fills its pair and clears hats",
          { "None", "None", "1POV Left1", "1BUTTON2" }, UP_A, "1Down",
          { "1Up", "1Down", "None", "1BUTTON2" } },
        { "an axis end leaves the other pair's axis end",
          { "None", "None", "1Left", "1POV Right1" }, UP_A, "1Down",
          { "1Up", "1Down", "1Left", "None" } },
        { "an upper end chosen in the even member",
          { "1BUTTON2", "None", "None", "None" }, LEFT_A, "2RX Max",
          { "1BUTTON2", "None", "2RX Min", "2RX Max" } },
        { "a slider end",
          { "1Up", "1Down", "1POV Left1", "None" }, RIGHT_A, "1Sld Min1",
          { "1Up", "1Down", "1Sld Min1", "1Sld Max1" } },
        { "a hat direction fills the group",
          { "1Up", "1Down", "1BUTTON2", "None" }, DOWN_A, "1POV Left2",
          { "1POV Up2", "1POV Down2", "1POV Left2", "1POV Right2" } },
        { "a button clears every hat direction",
          { "1POV Up1", "1POV Down1", "1POV Left1", "1POV Right1" }, RIGHT_A, "1BUTTON5",
          { "None", "None", "None", "1BUTTON5" } },
        { "a button clears its partner's axis end",
          { "1Up", "1Down", "1Left", "1Right" }, LEFT_A, "1BUTTON5",
          { "1Up", "1Down", "1BUTTON5", "None" } },
        { "a button keeps a button partner",
          { "None", "1BUTTON2", "1POV Up1", "None" }, UP_A, "1BUTTON5",
          { "1BUTTON5", "1BUTTON2", "None", "None" } },
        { "None clears its partner's axis end",
          { "1Up", "1Down", "1BUTTON2", "1Right" }, UP_A, "None",
          { "None", "None", "1BUTTON2", "1Right" } },
        { "an axis end outside the group changes no other list",
          { "1Up", "1Down", "1Left", "1Right" }, UP, "1Down",
          { "1Up", "1Down", "1Left", "1Right" } },
    };
    FakeInput.AddPad(12).Sliders(1).Povs(2);
    FakeInput.AddPad(2).Axis(GUID_RxAxis);
    OpenPadPage();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        // The group as a loaded row would show it; no rule runs for that.
        for (int i = 0; i < 4; ++i) {
            int id = UP_A + i;
            SendMessageA(Control(GAMEPAD_PAGE, id), CB_SETCURSEL, Entry(id, c.group[i]), 0);
        }
        ASSERT_EQ(ShownGroup(), c.group);
        Press(PSBTN_APPLYNOW);
        Texts before = ShownAll();

        ChooseEntry(c.id, c.chosen);
        Texts expected = before;
        std::copy(c.after.begin(), c.after.end(), expected.begin() + 14);
        if (c.id < UP_A)
            expected[c.id - IDC_ASSIGN_FIRST] = c.chosen;
        EXPECT_EQ(ShownAll(), expected);
        EXPECT_TRUE(ApplyEnabled());
    }
}

TEST_F(GamepadPageTest, AHeldButtonIsCapturedAtEveryTickWhileThePageIsActive)
{
    FakePad &pad = FakeInput.AddPad(12);
    OpenPadPage();
    Focus(GAMEPAD_PAGE, CIRCLE);
    HWND circle = Control(GAMEPAD_PAGE, CIRCLE);
    SendMessageA(circle, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(SendMessageA(circle, CB_GETDROPPEDSTATE, 0, 0));
    pad.Press(2);
    ASSERT_TRUE(PumpUntilCalledAgain("pad0.GetDeviceState(80)"));
    EXPECT_EQ(Shown(CIRCLE), "1BUTTON3");
    EXPECT_FALSE(SendMessageA(circle, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(ApplyEnabled());

    // Still held: the next tick marks the sheet changed again.
    Press(PSBTN_APPLYNOW);
    ASSERT_FALSE(ApplyEnabled());
    ASSERT_EQ(GetFocus(), circle);
    ASSERT_TRUE(PumpUntilCalledAgain("pad0.GetDeviceState(80)"));
    EXPECT_TRUE(ApplyEnabled());

    // Another page is active: the pads are not polled at all, nor held.
    ShowPage(KEYBOARD_PAGE);
    EXPECT_FALSE(pad.acquired);
    int polls = FakeInput.Count("pad0.GetDeviceState(80)");
    PumpFor(150);
    EXPECT_EQ(FakeInput.Count("pad0.GetDeviceState(80)"), polls);
    ShowPage(GAMEPAD_PAGE);
    EXPECT_TRUE(PumpUntilCalledAgain("pad0.GetDeviceState(80)"));
    EXPECT_TRUE(PumpUntilCalledAgain("pad0.GetDeviceState(80)"));
    EXPECT_TRUE(pad.acquired);
    EXPECT_EQ(Shown(CIRCLE), "1BUTTON3");
}

TEST_F(GamepadPageTest, CaptureActsOnlyOnTheFocusedList)
{
    FakePad &pad = FakeInput.AddPad(12).Axis(GUID_RxAxis).Sliders(1);
    WriteSettings(Record({ 0x02000002, 0x02000003, 0x02000000, 0x02000001, 0x01000000 }));
    OpenPadPage();
    pad.Press(2);
    Texts before = ShownAll();
    const int others[] = { IDC_PLAYER1, IDC_PLAYER2, IDC_ROTATER, IDC_SLIDER, IDC_RESET };
    for (int id : others) {
        Focus(GAMEPAD_PAGE, id);
        ASSERT_EQ(GetFocus(), Control(GAMEPAD_PAGE, id));
        Tick();
        EXPECT_EQ(ShownAll(), before) << id;
        EXPECT_FALSE(ApplyEnabled()) << id;
    }
    Focus(GAMEPAD_PAGE, CROSS);
    Tick();
    Texts expected = before;
    expected[5] = "1BUTTON3";
    EXPECT_EQ(ShownAll(), expected);
    EXPECT_TRUE(ApplyEnabled());
}

TEST_F(GamepadPageTest, RotationAxesAndSlidersAreCapturedOnlyWithTheirBoxChecked)
{
    struct Case { int box; std::function<void(FakePad &)> move; const char *label; };
    const Case cases[] = {
        { IDC_ROTATER, [](FakePad &pad) { pad.state.lRx = 100; }, "1RX Max" },
        { IDC_SLIDER, [](FakePad &pad) { pad.state.rglSlider[0] = -100; }, "1Sld Min1" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        StartAgain();
        FakePad &pad = FakeInput.AddPad(4).Axis(GUID_RxAxis).Sliders(1);
        OpenPadPage();
        c.move(pad);
        Focus(GAMEPAD_PAGE, CIRCLE);
        Tick();
        EXPECT_EQ(Shown(CIRCLE), "1BUTTON1");
        EXPECT_FALSE(ApplyEnabled());

        Click(GAMEPAD_PAGE, c.box);
        EXPECT_TRUE(ApplyEnabled());
        Press(PSBTN_APPLYNOW);
        Focus(GAMEPAD_PAGE, CIRCLE);
        Tick();
        EXPECT_EQ(Shown(CIRCLE), c.label);
        EXPECT_TRUE(ApplyEnabled());

        Click(GAMEPAD_PAGE, c.box);
        ChooseEntry(CIRCLE, "None");
        Press(PSBTN_APPLYNOW);
        Focus(GAMEPAD_PAGE, CIRCLE);
        Tick();
        EXPECT_EQ(Shown(CIRCLE), "None");
        EXPECT_FALSE(ApplyEnabled());
    }
}

TEST_F(GamepadPageTest, CaptureInTheAnalogGroupRunsItsRule)
{
    FakePad &pad = FakeInput.AddPad(4).Povs(2);
    WriteSettings(Record({ 0x02000002, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                           0x02000002, 0x02000003, 0x01000000, 0x01000001 }));
    OpenPadPage();
    pad.state.rgdwPOV[1] = 27000;   // second hat to the left
    Focus(GAMEPAD_PAGE, DOWN_A);
    Tick();
    EXPECT_EQ(ShownGroup(), Texts({ "1POV Up2", "1POV Down2", "1POV Left2", "1POV Right2" }));
    EXPECT_TRUE(ApplyEnabled());

    // A button captured in "Right(A)" clears the hat directions.
    pad.Rest();
    pad.Press(3);
    Focus(GAMEPAD_PAGE, RIGHT_A);
    Tick();
    EXPECT_EQ(ShownGroup(), Texts({ "None", "None", "None", "1BUTTON4" }));
    EXPECT_EQ(Shown(UP), "1Up");
}

TEST_F(GamepadPageTest, AnInputWithoutAnEntryChangesNoSelectionButMarksChanged)
{
    // Pad 0 has no buttons and so no entries; its X axis is still polled.
    FakePad &bare = FakeInput.AddPad(0).Axis(GUID_RxAxis);
    FakeInput.AddPad(4).Povs(1);
    WriteSettings(Record({ 0x82000002, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                           0x84000000, 0x84000001, 0x82000000, 0x82000001 }));
    OpenPadPage();
    Texts before = ShownAll();
    ASSERT_EQ(Shown(UP), "2Up");
    bare.state.lX = -100;   // "1Left"

    Focus(GAMEPAD_PAGE, UP);
    Tick();
    EXPECT_EQ(ShownAll(), before);
    EXPECT_TRUE(ApplyEnabled());

    // In the group the pair keeps its selection, yet hat directions go.
    Press(PSBTN_APPLYNOW);
    Focus(GAMEPAD_PAGE, LEFT_A);
    Tick();
    EXPECT_EQ(ShownGroup(), Texts({ "None", "None", "2Left", "2Right" }));
    EXPECT_TRUE(ApplyEnabled());
}

TEST_F(GamepadPageTest, AdvancedBoxesRewriteOnlyTheirBitsAndResetClearsTheWord)
{
    FakeInput.AddPad(4).Axis(GUID_RxAxis).Sliders(1);
    WriteSettings(Record({}, 0xA5A5A5A1));
    OpenPadPage();
    EXPECT_EQ(Checked(GAMEPAD_PAGE, IDC_ROTATER), BST_UNCHECKED);
    EXPECT_EQ(Checked(GAMEPAD_PAGE, IDC_SLIDER), BST_UNCHECKED);
    struct Step { int id; uint32_t flags; };
    const Step steps[] = {
        { IDC_ROTATER, 0xA5A5A5A5 }, { IDC_SLIDER, 0xA5A5A5A7 },
        { IDC_ROTATER, 0xA5A5A5A3 }, { IDC_SLIDER, 0xA5A5A5A1 },
    };
    for (const Step &step : steps) {
        ASSERT_FALSE(ApplyEnabled());
        Click(GAMEPAD_PAGE, step.id);
        EXPECT_TRUE(ApplyEnabled()) << step.id;
        EXPECT_EQ(Saved(PSBTN_APPLYNOW).PadAdvancedFlags, step.flags) << step.id;
    }
    Click(GAMEPAD_PAGE, IDC_ROTATER);
    Click(GAMEPAD_PAGE, IDC_SLIDER);
    Press(PSBTN_APPLYNOW);
    Click(GAMEPAD_PAGE, IDC_RESET);
    EXPECT_FALSE(ApplyEnabled());
    EXPECT_EQ(Checked(GAMEPAD_PAGE, IDC_ROTATER), BST_UNCHECKED);
    EXPECT_EQ(Checked(GAMEPAD_PAGE, IDC_SLIDER), BST_UNCHECKED);
    EXPECT_EQ(Saved(PSBTN_OK).PadAdvancedFlags, 0u);
}

TEST_F(GamepadPageTest, PlayerSwitchesStoreTheShownRowAndKeepApplyAsItWas)
{
    FakeInput.AddPad(12);
    FakeInput.AddPad(12);
    OpenPadPage();
    ChooseEntry(CIRCLE, "1BUTTON12");
    Press(PSBTN_APPLYNOW);
    Click(GAMEPAD_PAGE, IDC_PLAYER2);
    EXPECT_FALSE(ApplyEnabled());
    EXPECT_EQ(Shown(CIRCLE), "2BUTTON1");
    ChooseEntry(CROSS, "1BUTTON1");   // a row may name either pad
    Click(GAMEPAD_PAGE, IDC_PLAYER2);   // already shown: nothing happens
    EXPECT_EQ(Shown(CROSS), "1BUTTON1");
    Click(GAMEPAD_PAGE, IDC_PLAYER1);
    EXPECT_EQ(Shown(CIRCLE), "1BUTTON12");
    Click(GAMEPAD_PAGE, IDC_PLAYER2);
    EXPECT_EQ(Shown(CROSS), "1BUTTON1");

    SettingBlock saved = Saved(PSBTN_OK);
    EXPECT_EQ(saved.PadRow[0][4], 0x0100000Bu);
    EXPECT_EQ(saved.PadRow[0][14], 0u);   // stored at the switch
    EXPECT_EQ(saved.PadRow[1][4], 0x81000000u);
    EXPECT_EQ(saved.PadRow[1][5], 0x01000000u);
    EXPECT_EQ(saved.PadRow[1][15], 0u);
}

} // namespace

namespace {

// "Assign All" on the gamepad page: a tap counts, Tab skips, a trigger
// resting at its end (Rx, with "Rotater" on) fills no list, and in the
// AnalogGroup a stick fills both ends and the pass skips the list the rule
// filled: it ends after the stick's second direction.
TEST_F(GamepadPageTest, AssignAllSkipsWhatTheAnalogGroupRuleFilled)
{
    FakePad &pad = FakeInput.AddPad(12).Axis(GUID_RxAxis).RestsAt(&DIJOYSTATE::lRx, -128);
    WriteSettings(Record({}, PAD_ADVANCED_ROTATION));
    OpenPadPage();
    Click(GAMEPAD_PAGE, IDC_ASSIGN_ALL);
    pad.Tap(DIJOFS_BUTTON(2));
    Tick();
    for (int tab = 0; tab < 13; ++tab) {   // Down .. Start
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        PumpMessages();
    }
    for (LONG DIJOYSTATE::*axis : { &DIJOYSTATE::lY, &DIJOYSTATE::lX }) {
        pad.state.*axis = axis == &DIJOYSTATE::lY ? -100 : 100;   // up, then right
        Tick();
        pad.Rest();
        Tick();
    }
    EXPECT_EQ(TextOf(Control(GAMEPAD_PAGE, IDC_ASSIGN_PASS_LINE)), "");
    EXPECT_EQ(ShownAll(), Join({ { "1BUTTON3" }, Texts(13, "None"), { "1Up", "1Down", "1Left", "1Right" } }));
    EXPECT_EQ(RowOf(Saved(PSBTN_OK), 0)[17], 0x02000003u);
}

class PadMarksTest : public GamepadPageTest {
protected:
    HWND PadLine(int pad) const { return Control(GAMEPAD_PAGE, IDC_PAD_LINE_FIRST + pad); }
    std::string Line() const { return TextOf(Control(GAMEPAD_PAGE, IDC_DUPLICATES)); }
    std::string Drawn(const char *label) const
    {
        return DrawnAs(Page(GAMEPAD_PAGE), StaticNamed(Page(GAMEPAD_PAGE), label));
    }
    // A record with both players' rows all "None" but for these entries.
    SettingBlock Rows(std::initializer_list<std::array<uint32_t, 3>> entries)
    {
        SettingBlock block = Record(Row(PAD_ROW_SIZE, NONE));
        for (uint32_t &code : block.PadRow[1])
            code = NONE;
        for (const auto &entry : entries)
            block.PadRow[entry[0]][entry[1]] = entry[2];
        return block;
    }
    void SendDeviceChange()
    {
        SendMessageA(sheet, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    }
};

// A pad plugged in while the page is shown is found by the page itself (no
// notice is sent); one unplugged is found on the sheet's device notice.
// The lists are rebuilt showing the same codes, a kept entry gives way to
// the pad's own, and capture works with the new pad at once.
TEST_F(PadMarksTest, PadsPluggedInAndOutWhileShownArePickedUpKeepingTheAssignments)
{
    WriteSettings(Rows({ { 0, 4, 0x01000004 }, { 0, 5, 0x81000002 } }));   // 1BUTTON5, 2BUTTON3
    OpenPadPage();
    EXPECT_EQ(Shown(CIRCLE), "1BUTTON5 (not connected)");
    EXPECT_EQ(TextOf(PadLine(0)), "Pad 1: not connected");
    EXPECT_TRUE(IsWindowVisible(Control(GAMEPAD_PAGE, IDC_PAD_HINT)));
    EXPECT_FALSE(Enabled(GAMEPAD_PAGE, IDC_ROTATER));

    FakePad &pad = FakeInput.AddPad(12).Axis(GUID_RxAxis).Named("Arcade Stick");
    ASSERT_TRUE(PumpUntil([&] { return ListTexts(GAMEPAD_PAGE, CIRCLE).size() > 2; }));
    EXPECT_EQ(ListTexts(GAMEPAD_PAGE, CIRCLE),
              Join({ { "None" }, StickTexts(1), { "1RX Min", "1RX Max" }, ButtonTexts(1, 12) }));
    EXPECT_EQ(Shown(CIRCLE), "1BUTTON5");
    EXPECT_EQ(Shown(CROSS), "2BUTTON3 (not connected)");
    EXPECT_EQ(TextOf(PadLine(0)), "Pad 1: Arcade Stick");
    EXPECT_FALSE(IsWindowVisible(Control(GAMEPAD_PAGE, IDC_PAD_HINT)));
    EXPECT_TRUE(Enabled(GAMEPAD_PAGE, IDC_ROTATER));
    EXPECT_FALSE(ApplyEnabled());
    Focus(GAMEPAD_PAGE, CROSS);
    pad.Press(2);
    Tick();
    EXPECT_EQ(Shown(CROSS), "1BUTTON3");
    pad.Rest();

    pad.attached = false;
    ShowPage(KEYBOARD_PAGE);   // the page's own check is off meanwhile
    int enumerations = FakeInput.Count("dinput.EnumDevices(4,1)");
    for (int notice = 0; notice < 300; ++notice)
        SendDeviceChange();
    ASSERT_TRUE(PumpUntil([&] { return ListTexts(GAMEPAD_PAGE, CIRCLE).size() == 2; }));
    PumpFor(2000);
    // For the whole burst two looks at the controllers, about 0.3 s and
    // 2 s after it, and one opening.
    EXPECT_EQ(FakeInput.Count("dinput.EnumDevices(4,1)"), enumerations + 3);
    ShowPage(GAMEPAD_PAGE);
    EXPECT_EQ(Shown(CIRCLE), "1BUTTON5 (not connected)");
    EXPECT_EQ(Shown(CROSS), "1BUTTON3 (not connected)");
    EXPECT_EQ(TextOf(PadLine(0)), "Pad 1: not connected");

    // More plug cycles (the soak makes hundreds): every device that left
    // was released.
    for (int cycle = 0; cycle < 40; ++cycle) {
        pad.attached = !pad.attached;
        NoticePadChanges();
    }
    EXPECT_EQ(FakeInput.liveObjects, 2);   // DirectInput and the keyboard
    EXPECT_EQ(ListTexts(GAMEPAD_PAGE, CROSS), Texts({ "None", "1BUTTON3 (not connected)" }));
    SettingBlock saved = Saved(PSBTN_OK);
    EXPECT_EQ(saved.PadRow[0][4], 0x01000004u);
    EXPECT_EQ(saved.PadRow[0][5], 0x01000002u);
}

// With an enumeration as slow as on Windows: a pad that DirectInput lists
// only a moment after the device notice, or goes on listing a moment after
// it left, is found by the looks that follow the notice (with the page's
// own check off, on another page), and a burst of notices costs only those
// looks. Without any notice the page shown finds a pad by itself within a
// few seconds, however slow the enumeration.
TEST_F(PadMarksTest, PadsListedLateArePickedUpWithASlowEnumeration)
{
    struct Case {
        const char *what;
        bool plugIn;      // else unplugged
        bool notices;     // a burst of device notices, the page not shown
        const char *line; // pad 1's line once the change is seen
    };
    const Case cases[] = {
        { "plugged in, listed 0.6 s after the notices", true, true, "Pad 1: Late Pad" },
        { "unplugged, listed 0.6 s longer", false, true, "Pad 1: not connected" },
        { "plugged in without a notice", true, false, "Pad 1: Late Pad" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        FakeInput.enumerationDelay = 20;
        FakePad *pad = c.plugIn ? NULL : &FakeInput.AddPad(12).Named("Late Pad");
        OpenPadPage();
        ASSERT_NE(TextOf(PadLine(0)), c.line);
        if (c.notices)
            ShowPage(KEYBOARD_PAGE);
        int enumerations = FakeInput.Count("dinput.EnumDevices(4,1)");
        if (c.plugIn)
            FakeInput.AddPad(12).Named("Late Pad").ListedIn(c.notices ? 600 : 0);
        else
            pad->UnplugListedFor(600);
        for (int notice = 0; c.notices && notice < 10; ++notice)
            SendDeviceChange();
        EXPECT_TRUE(PumpUntil([&] { return TextOf(PadLine(0)) == c.line; }, 8000));
        if (c.notices) {
            PumpFor(300);
            // A look that finds no change, one that does, and one opening.
            EXPECT_EQ(FakeInput.Count("dinput.EnumDevices(4,1)"), enumerations + 3);
        }
    }
}

TEST_F(PadMarksTest, EachListKeepsOnlyTheShownPlayersCodeAndNoneClearsIt)
{
    FakeInput.AddPad(6);
    WriteSettings(Rows({ { 0, 4, 0x8100000A }, { 1, 4, 0x01000008 }, { 1, 17, 0x82000003 } }));
    OpenPadPage();
    EXPECT_EQ(ListTexts(GAMEPAD_PAGE, CIRCLE).back(), "2BUTTON11 (not connected)");
    Click(GAMEPAD_PAGE, IDC_PLAYER2);
    Texts circle = ListTexts(GAMEPAD_PAGE, CIRCLE);
    EXPECT_EQ(circle.size(), 12u);   // "None", 4 stick entries, 6 buttons, one kept
    EXPECT_EQ(circle.back(), "1BUTTON9 (not on pad)");
    EXPECT_EQ(Shown(DOWN_A), "2Down (not connected)");
    // The group rules treat a kept code by its kind: choosing it again
    // fills its pair, where "2Up" has no entry, so "Up(A)" stays.
    ChooseEntry(DOWN_A, "2Down (not connected)");
    EXPECT_EQ(ShownGroup(), Texts({ "None", "2Down (not connected)", "None", "None" }));
    ChooseEntry(CIRCLE, "None");
    SettingBlock saved = Saved(PSBTN_OK);
    EXPECT_EQ(saved.PadRow[0][4], 0x8100000Au);
    EXPECT_EQ(saved.PadRow[1][4], NONE);
    EXPECT_EQ(saved.PadRow[1][17], 0x82000003u);
}

TEST_F(PadMarksTest, PadLinesNameThePadsAndMarkTheOneInUse)
{
    const std::string longName(MAX_PATH, 'x');
    FakePad &shock = FakeInput.AddPad(14).Axis(GUID_ZAxis).Axis(GUID_RxAxis).Axis(GUID_RyAxis)
                         .Axis(GUID_RzAxis).RestsAt(&DIJOYSTATE::lRy, -128).Named("Wireless Controller");
    FakePad &other = FakeInput.AddPad(10).Named(longName);
    // L2 is "1RY Min", R2 "1RY Max": only the pulled trigger is held.
    WriteSettings(Rows({ { 0, 4, 0x01000000 }, { 0, 9, 0x02000008 }, { 0, 11, 0x02000009 } }));
    OpenPadPage();
    EXPECT_EQ(TextOf(PadLine(0)), "Pad 1: Wireless Controller");
    EXPECT_EQ(TextOf(PadLine(1)), "Pad 2: " + longName.substr(0, MAX_PATH - 1));
    EXPECT_FALSE(IsWindowVisible(Control(GAMEPAD_PAGE, IDC_PAD_HINT)));

    struct Step {
        const char *what;
        std::function<void()> move;
        std::string line0, line1, circle, l2, r2;
    };
    const Step steps[] = {
        { "at rest, the trigger at -128", [] {}, "normal", "normal", "normal", "normal", "normal" },
        { "pad 1's first button", [&] { shock.Press(0); },
          "pressed", "normal", "pressed", "normal", "normal" },
        { "its trigger pulled", [&] { shock.Rest(); shock.state.lRy = 127; },
          "pressed", "normal", "normal", "normal", "pressed" },
        { "pad 2's last button", [&] { shock.Rest(); other.Press(9); },
          "normal", "pressed", "normal", "normal", "normal" },
        { "let go", [&] { other.Rest(); }, "normal", "normal", "normal", "normal", "normal" },
    };
    Focus(GAMEPAD_PAGE, IDC_RESET);
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        step.move();
        Tick();
        EXPECT_EQ(DrawnAs(Page(GAMEPAD_PAGE), PadLine(0)), step.line0);
        EXPECT_EQ(DrawnAs(Page(GAMEPAD_PAGE), PadLine(1)), step.line1);
        EXPECT_EQ(Drawn("Circle"), step.circle);
        EXPECT_EQ(Drawn("L2"), step.l2);
        EXPECT_EQ(Drawn("R2"), step.r2);
    }
    EXPECT_FALSE(ApplyEnabled());
}

TEST_F(PadMarksTest, TheDuplicateLineCountsPadInputsByTheInputTheyName)
{
    struct Case {
        const char *what;
        int pads;
        SettingBlock record;
        const char *line;
        std::set<std::string> warned;
    };
    const Case cases[] = {
        { "a button on two buttons", 2, Rows({ { 0, 4, 0x01000002 }, { 0, 5, 0x01000002 } }),
          "Assigned twice: 1BUTTON3: Circle, Cross", { "Circle", "Cross" } },
        { "the same button of each pad", 2, Rows({ { 0, 4, 0x01000002 }, { 0, 5, 0x81000002 } }),
          "", {} },
        { "a missing pad's button for both players", 1,
          Rows({ { 0, 4, 0x81000004 }, { 1, 7, 0x81000004 }, { 1, 8, 0x81000004 } }),
          "Assigned twice: 2BUTTON5: Circle, Player 2 Square, Player 2 L1", { "Circle" } },
        { "None, and codes of another shape", 1,
          Rows({ { 0, 5, 0x00000005 }, { 1, 5, 0x00000005 }, { 1, 6, 0x04000007 }, { 0, 6, 0x04000007 } }),
          "", {} },
        { "an axis end in the group and outside", 1,
          Rows({ { 0, 0, 0x02000002 }, { 0, 16, 0x02000002 }, { 0, 17, 0x02000003 } }),
          "Assigned twice: 1Up: Up, Up(A)", { "Up", "Up(A)" } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        StartAgain();
        for (int pad = 0; pad < c.pads; ++pad)
            FakeInput.AddPad(12);
        WriteSettings(c.record);
        OpenPadPage();
        EXPECT_EQ(Line(), c.line);
        for (const char *label : { "Up", "Circle", "Cross", "Square", "L1", "Up(A)", "Down(A)" })
            EXPECT_EQ(Drawn(label), c.warned.count(label) ? "warning" : "normal") << label;
    }
}

} // namespace

namespace {

// "Pad Layout" assigns the shown player's pad by its layout; it is enabled
// only while that pad is attached and its layout known, through player
// switches, a player's file written meanwhile and pads that leave. OK
// saves exactly the codes it set.
TEST_F(PadMarksTest, PadLayoutAssignsTheShownPlayersPadWhileItsLayoutIsKnown)
{
    FakeInput.AddPad(14).Axis(GUID_ZAxis).Axis(GUID_RxAxis).Axis(GUID_RyAxis).Axis(GUID_RzAxis)
        .Povs(1).Ids(0x054C, 0x05C4);   // a DualShock 4: built in
    FakeInput.AddPad(12).Ids(0x1234, 0x5678);
    FakePad &ds4 = FakeInput.pads[0];
    auto source = [&](int pad) {
        return TextOf(Control(GAMEPAD_PAGE, IDC_PAD_LAYOUT_SOURCE_FIRST + pad));
    };
    OpenPadPage();
    Tick();   // the layouts are found at the first tick at the latest
    EXPECT_EQ(source(0), "Layout: built in");
    EXPECT_EQ(source(1), "Layout: unknown");
    EXPECT_TRUE(IsWindowVisible(Control(GAMEPAD_PAGE, IDC_PAD_LAYOUT_HINT)));
    EXPECT_TRUE(Enabled(GAMEPAD_PAGE, IDC_PAD_LAYOUT));
    Click(GAMEPAD_PAGE, IDC_PLAYER2);
    EXPECT_FALSE(Enabled(GAMEPAD_PAGE, IDC_PAD_LAYOUT));
    Click(GAMEPAD_PAGE, IDC_PLAYER1);
    ASSERT_TRUE(Enabled(GAMEPAD_PAGE, IDC_PAD_LAYOUT));
    EXPECT_FALSE(ApplyEnabled());
    Click(GAMEPAD_PAGE, IDC_PAD_LAYOUT);   // its codes are checked as saved, below
    EXPECT_TRUE(ApplyEnabled());

    // The player adds pad 2's line while the page is shown.
    const char line[] = "03000000341200007856000000000000,Mine,a:b3,b:b2,platform:Windows,\n";
    WriteWholeFile("gamecontrollerdb.txt", std::vector<uint8_t>(line, line + sizeof line - 1));
    for (int tick = 0; tick < 20 && source(1) != "Layout: own file"; ++tick)
        Tick();
    EXPECT_EQ(source(1), "Layout: own file");
    EXPECT_FALSE(IsWindowVisible(Control(GAMEPAD_PAGE, IDC_PAD_LAYOUT_HINT)));
    Click(GAMEPAD_PAGE, IDC_PLAYER2);
    ASSERT_TRUE(Enabled(GAMEPAD_PAGE, IDC_PAD_LAYOUT));
    Click(GAMEPAD_PAGE, IDC_PAD_LAYOUT);
    // The inputs named as the pad's maker names them (an Xbox-style pad).
    EXPECT_EQ(Shown(CROSS), "2BUTTON4 (A)");
    EXPECT_EQ(Shown(CIRCLE), "2BUTTON3 (B)");
    EXPECT_EQ(Shown(UP), "None");
    // A capture and the duplicate line name them too: pad 2's A in Square.
    Focus(GAMEPAD_PAGE, SQUARE);
    FakeInput.pads[1].Press(3);
    Tick();
    FakeInput.pads[1].Rest();
    EXPECT_EQ(Shown(SQUARE), "2BUTTON4 (A)");
    EXPECT_EQ(Line(), "Assigned twice: 2BUTTON4 (A): Cross, Square");

    // Pad 1 leaves: the other pad becomes pad 1, so player 2 has no pad
    // and player 1 the one whose line the player wrote.
    ds4.attached = false;
    NoticePadChanges();
    EXPECT_EQ(source(0), "Layout: own file");
    EXPECT_EQ(source(1), "");
    EXPECT_FALSE(Enabled(GAMEPAD_PAGE, IDC_PAD_LAYOUT));
    Click(GAMEPAD_PAGE, IDC_PLAYER1);
    EXPECT_TRUE(Enabled(GAMEPAD_PAGE, IDC_PAD_LAYOUT));

    SettingBlock saved = Saved(PSBTN_OK);
    EXPECT_EQ(RowOf(saved, 0),
              (Row{ 0x04000000, 0x04000001, 0x04000002, 0x04000003, 0x01000002, 0x01000001,
                    0x01000003, 0x01000000, 0x01000004, 0x02000007, 0x01000005, 0x02000009,
                    0x01000008, 0x01000009, 0, 0, 0x02000002, 0x02000003, 0x02000000,
                    0x02000001, 0, 0, 0, 0 }));
    Row player2(PAD_ROW_SIZE, NONE);
    for (int a : { 14, 15, 20, 21, 22, 23 })
        player2[a] = 0;
    player2[4] = 0x81000002;
    player2[5] = player2[7] = 0x81000003;
    EXPECT_EQ(RowOf(saved, 1), player2);
}

} // namespace

namespace {

// "Swap Pads" turns pad 1 into pad 2 in both players' rows, kept entries of
// a pad that is not there included; "None" and the 0 of the ids without a
// list stay.
TEST_F(PadMarksTest, SwapPadsGivesBothPlayersTheOtherPad)
{
    SettingBlock rows = Rows({ { 0, 0, 0x02000002 }, { 0, 4, 0x81000004 }, { 1, 4, 0x01000001 },
                               { 1, 14, 0x01000000 }, { 1, 20, 0 } });
    WriteSettings(rows);
    FakeInput.AddPad(12);
    OpenPadPage();
    ASSERT_TRUE(Enabled(GAMEPAD_PAGE, IDC_SWAP_PADS));
    Click(GAMEPAD_PAGE, IDC_SWAP_PADS);
    EXPECT_EQ(ShownAll()[0] + ShownAll()[4] + ShownAll()[5], "2Up (not connected)1BUTTON5None");
    EXPECT_TRUE(ApplyEnabled());
    SettingBlock saved = Saved(PSBTN_OK);
    Row player1(PAD_ROW_SIZE, NONE), player2 = RowOf(rows, 1);
    for (int a : { 14, 15, 20, 21, 22, 23 })
        player1[a] = 0;
    player1[0] = 0x82000002, player1[4] = 0x01000004, player2[4] = 0x81000001, player2[14] = 0x81000000;
    EXPECT_EQ(RowOf(saved, 0), player1);
    EXPECT_EQ(RowOf(saved, 1), player2);
}

// Two identical sticks, told apart by their paths: listed the other way
// round at the next start, the page says so until Swap Pads; a damaged or
// huge config-pads.ini is ignored, and the next save writes it anew. An
// XInput pad's LT and RT, one Z axis, on L2 and R2 bring a note of their own.
TEST_F(PadMarksTest, PadsListedTheOtherWayRoundAndTriggersOnOneAxisAreNoted)
{
    auto notes = [&] { return TextOf(Control(GAMEPAD_PAGE, IDC_PAD_NOTES)); };
    auto start = [&](const char *first, const char *second, const std::string &hint) {
        std::vector<uint8_t> cfg = File(), pads = ReadWholeFile("config-pads.ini");
        StartAgain();
        WriteWholeFile("setting.cfg", cfg);
        WriteWholeFile("config-pads.ini", hint.empty() ? pads : std::vector<uint8_t>(hint.begin(), hint.end()));
        for (const char *path : { first, second })
            FakeInput.AddPad(10).Axis(GUID_ZAxis).Ids(0x0F0D, 0x0092).Named("Stick")
                .Path(std::wstring(path, path + 12));
        OpenPadPage();
        return notes();
    };
    EXPECT_EQ(start("hid#one&ig_0", "hid#two&ig_0", ""), "");
    Press(PSBTN_OK);
    EXPECT_EQ(start("hid#two&ig_0", "hid#one&ig_0", ""), "The pads are listed the other way round "
              "since the last save: Swap Pads gives each player their pad back.");
    Click(GAMEPAD_PAGE, IDC_SWAP_PADS);
    EXPECT_EQ(notes(), "");
    Click(GAMEPAD_PAGE, IDC_PAD_LAYOUT);
    EXPECT_EQ(notes(), "LT and RT are one axis on this pad: pressed together, the game sees neither.");
    ChooseEntry(R2, "None");
    EXPECT_EQ(notes(), "");
    EXPECT_EQ(start("hid#one&ig_0", "hid#two&ig_0", ""), "");   // the swap was not saved
    std::string damaged = "[Pad1]\r\nPath=\xC3(\r\nInstance={zz}\r\nVidPid=0F0D:\r\n[Pad2]\r\n";
    for (const std::string &hint : { damaged + std::string(5000, 'x'), damaged + "Name=Stick" }) {
        EXPECT_EQ(start("hid#two&ig_0", "hid#one&ig_0", hint), "");
        Press(PSBTN_OK);
        std::vector<uint8_t> written = ReadWholeFile("config-pads.ini");
        EXPECT_EQ(std::string(written.begin(), written.end()).substr(0, 27), "[Pad1]\r\nPath=hid#two&ig_0\r\n");
    }
}

} // namespace
