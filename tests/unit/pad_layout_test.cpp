// Pad layouts: real lines of the controller database turned into a pad's
// codes, the player's file read as hostile input, and the built-in table
// read as the database file itself would be.
#include <gtest/gtest.h>

#include <string.h>

#include "input/input.h"
#include "input/pad_binding.h"
#include "input/pad_entries.h"
#include "input/pad_layout.h"
#include "tests/sheet_harness.h"

namespace {

// The 18 lists in AssignIndex order (Up .. Start, Up(A) .. Right(A)).
const int ListedIndexes[18] = { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 16, 17, 18, 19 };
typedef std::vector<std::string> Labels;

Labels RowLabels(const uint32_t row[ASSIGN_COUNT])
{
    Labels labels;
    for (int a : ListedIndexes) {
        char text[PAD_LABEL_SIZE];
        FormatPadBinding(text, row[a]);
        labels.push_back(text);
    }
    return labels;
}

// What a pad's layout gives its lists, found as the gamepad page finds it.
struct LayoutCase {
    const char *what;
    int pad;                  // the slot the pad is in (slot 0 holds a pad without ids then)
    int buttons;
    const GUID *axes[6];      // beyond X and Y
    WORD vendor, product;
    const wchar_t *path;
    const char *playerFile;   // gamecontrollerdb.txt beside setting.cfg, or NULL
    PadLayoutSource source;
    Labels labels;
    Labels texts{};   // the pad's entries in the lists, named by the family's names
};

const wchar_t *const XInputPath = L"\\\\?\\HID#VID_045E&PID_028E&IG_00#8&1a2b3c&0&0000#{4d1e55b2}";
const wchar_t *const SwitchProUnderWine = L"\\\\?\\hid#vid_057e&pid_2009&ig_00#1&0&0";
const wchar_t *const HidPath = L"\\\\?\\HID#VID_054C&PID_05C4#7&2f7a9c1&0&0000#{4d1e55b2}";

// The Xbox layout of an XInput pad: face buttons, LB RB, View and Menu, the
// triggers on Z, the D-pad on the hat, the left stick on X and Y.
#define XINPUT_LABELS(n)                                                                      \
    { n "POV Up1", n "POV Down1", n "POV Left1", n "POV Right1", n "BUTTON2", n "BUTTON1",    \
      n "BUTTON4", n "BUTTON3", n "BUTTON5", n "Z Max", n "BUTTON6", n "ZMIN", n "BUTTON7",   \
      n "BUTTON8", n "Up", n "Down", n "Left", n "Right" }

// An XInput pad's entries, with the names its family gives A, B, X, Y, LB,
// RB, View, Menu, LT and RT.
#define XINPUT_TEXTS(n, a, b, x, y, lb, rb, back, start, lt, rt)                                  \
    { n "Left (Left Stick Left)", n "Right (Left Stick Right)", n "Up (Left Stick Up)",          \
      n "Down (Left Stick Down)", n "ZMIN (" rt ")", n "Z Max (" lt ")",                         \
      n "RX Min (Right Stick Left)", n "RX Max (Right Stick Right)", n "RY Min (Right Stick Up)", \
      n "RY Max (Right Stick Down)", n "POV Up1 (D-pad Up)", n "POV Down1 (D-pad Down)",          \
      n "POV Left1 (D-pad Left)", n "POV Right1 (D-pad Right)", n "BUTTON1 (" a ")",             \
      n "BUTTON2 (" b ")", n "BUTTON3 (" x ")", n "BUTTON4 (" y ")", n "BUTTON5 (" lb ")",       \
      n "BUTTON6 (" rb ")", n "BUTTON7 (" back ")", n "BUTTON8 (" start ")", n "BUTTON9 (LS)",   \
      n "BUTTON10 (RS)" }

const LayoutCase LayoutCases[] = {
    { "Xbox 360 pad: XInput", 0, 10, { &GUID_ZAxis, &GUID_RxAxis, &GUID_RyAxis },
      0x045E, 0x028E, XInputPath, NULL, PAD_LAYOUT_XINPUT, XINPUT_LABELS("1"),
      XINPUT_TEXTS("1", "A", "B", "X", "Y", "LB", "RB", "View", "Menu", "LT", "RT") },
    // 030000004c050000c405000000000000,PS4 Controller,a:b1,b:b2,back:b8,...,lefttrigger:a3,
    // righttrigger:a4,...,x:b0,y:b3: L2 and R2 on Rx and Ry, pulled towards their maximum.
    { "DualShock 4: built in", 0, 14,
      { &GUID_ZAxis, &GUID_RxAxis, &GUID_RyAxis, &GUID_RzAxis }, 0x054C, 0x05C4, HidPath,
      NULL, PAD_LAYOUT_BUILT_IN,
      { "1POV Up1", "1POV Down1", "1POV Left1", "1POV Right1", "1BUTTON3", "1BUTTON2",
        "1BUTTON4", "1BUTTON1", "1BUTTON5", "1RX Max", "1BUTTON6", "1RY Max", "1BUTTON9",
        "1BUTTON10", "1Up", "1Down", "1Left", "1Right" },
      // ...,guide:b12,...,leftstick:b10,...,rightstick:b11,...,rightx:a2,righty:a5,...,
      // touchpad:b13: the triggers name only the end they move to, the touchpad nothing.
      { "1Left (Left Stick Left)", "1Right (Left Stick Right)", "1Up (Left Stick Up)",
        "1Down (Left Stick Down)", "1ZMIN (Right Stick Left)", "1Z Max (Right Stick Right)",
        "1RX Min", "1RX Max (L2)", "1RY Min", "1RY Max (R2)", "1RZ Min (Right Stick Up)",
        "1RZ Max (Right Stick Down)", "1POV Up1 (D-pad Up)", "1POV Down1 (D-pad Down)",
        "1POV Left1 (D-pad Left)", "1POV Right1 (D-pad Right)", "1BUTTON1 (Square)",
        "1BUTTON2 (Cross)", "1BUTTON3 (Circle)", "1BUTTON4 (Triangle)", "1BUTTON5 (L1)",
        "1BUTTON6 (R1)", "1BUTTON7", "1BUTTON8", "1BUTTON9 (Share)", "1BUTTON10 (Options)",
        "1BUTTON11 (L3)", "1BUTTON12 (R3)", "1BUTTON13 (PS)", "1BUTTON14" } },
    // Under Wine a Switch Pro pad is an XInput-style pad: its own line
    // (back:b8, start:b9, triggers on b6/b7) describes the pad as its HID
    // driver shows it, and does not apply. In slot 1: codes of pad 2.
    { "Switch Pro through IG_: XInput", 1, 10, { &GUID_ZAxis, &GUID_RxAxis, &GUID_RyAxis },
      0x057E, 0x2009, SwitchProUnderWine, NULL, PAD_LAYOUT_XINPUT, XINPUT_LABELS("2"),
      XINPUT_TEXTS("2", "B", "A", "Y", "X", "L", "R", "-", "+", "ZL", "ZR") },
    // The DualShock 4's line on a pad without Z: the axes close up, a3 is
    // Ry and a4 Rz.
    { "axis gap", 0, 14, { &GUID_RxAxis, &GUID_RyAxis, &GUID_RzAxis }, 0x054C, 0x05C4,
      NULL, NULL, PAD_LAYOUT_BUILT_IN,
      { "1POV Up1", "1POV Down1", "1POV Left1", "1POV Right1", "1BUTTON3", "1BUTTON2",
        "1BUTTON4", "1BUTTON1", "1BUTTON5", "1RY Max", "1BUTTON6", "1RZ Max", "1BUTTON9",
        "1BUTTON10", "1Up", "1Down", "1Left", "1Right" } },
    // 030000007e0500006920000000000000,Nintendo Switch 2 Pro Controller,a:b0,b:b1,back:b14,
    // dpdown:b8,dpleft:b10,dpright:b9,dpup:b11,leftshoulder:b12,lefttrigger:b13,leftx:a0,
    // lefty:a1~,...,rightshoulder:b4,righttrigger:b5,start:b6,x:b2,y:b3: up is Y's maximum.
    { "inverted axis", 0, 21, { &GUID_ZAxis, &GUID_RzAxis }, 0x057E, 0x2069, NULL, NULL,
      PAD_LAYOUT_BUILT_IN,
      { "1BUTTON12", "1BUTTON9", "1BUTTON11", "1BUTTON10", "1BUTTON2", "1BUTTON1", "1BUTTON4",
        "1BUTTON3", "1BUTTON13", "1BUTTON14", "1BUTTON5", "1BUTTON6", "1BUTTON15", "1BUTTON7",
        "1Down", "1Up", "1Left", "1Right" } },
    // 030000007e0500007320000000000000,NSO GameCube Controller,a:b1,b:b3,dpdown:b8,dpleft:b10,
    // dpright:b9,dpup:b11,leftshoulder:b13,lefttrigger:b12,...,rightshoulder:b5,righttrigger:b4,
    // start:b6,x:b0,y:b2: no back; a pad showing 12 buttons lacks b12 and b13.
    { "missing input", 0, 12, { &GUID_ZAxis }, 0x057E, 0x2073, NULL, NULL,
      PAD_LAYOUT_BUILT_IN,
      { "1BUTTON12", "1BUTTON9", "1BUTTON11", "1BUTTON10", "1BUTTON4", "1BUTTON2", "1BUTTON3",
        "1BUTTON1", "None", "None", "1BUTTON6", "1BUTTON5", "None", "1BUTTON7", "1Down", "1Up",
        "1Left", "1Right" } },
    // The player's own line comes first, also for a known pad; ids from
    // DIPROP_VIDPID alone (no PIDVID product GUID) are enough.
    { "the player's file", 0, 14, { &GUID_ZAxis, &GUID_RxAxis, &GUID_RyAxis, &GUID_RzAxis },
      0x054C, 0x05C4, HidPath,
      "\xEF\xBB\xBF# mine\r\n"
      "030000004c050000c405000000000000,PS4 Controller,a:b0,b:b1,back:b2,platform:Linux,\r\n"
      "030000004c050000c405000000000000,PS4 Controller,a:b0,b:b1,x:b2,y:b3,leftshoulder:b6,"
      "rightshoulder:b7,lefttrigger:+a2,righttrigger:-a2,dpup:-a1,dpdown:+a1,-leftx:h0.8,"
      "+leftx:h0.2,lefty:a5~,platform:Windows,\r\n",
      PAD_LAYOUT_PLAYER_FILE,
      { "1Up", "1Down", "None", "None", "1BUTTON2", "1BUTTON1", "1BUTTON4", "1BUTTON3",
        "1BUTTON7", "1Z Max", "1BUTTON8", "1ZMIN", "None", "None", "1RZ Max", "1RZ Min",
        "1POV Left1", "1POV Right1" } },
};

class PadLayoutTest : public SheetTest {};

TEST_F(PadLayoutTest, DatabaseLinesGiveThePadsCodes)
{
    for (const LayoutCase &c : LayoutCases) {
        SCOPED_TRACE(c.what);
        ResetToolState();
        InstallFakeDirectX();
        if (c.pad == 1)
            FakeInput.AddPad(8);
        FakePad &pad = FakeInput.AddPad(c.buttons);
        for (const GUID *axis : c.axes) {
            if (axis)
                pad.Axis(*axis);
        }
        pad.Povs(1).Ids(c.vendor, c.product, !c.playerFile);
        if (c.path)
            pad.Path(c.path);
        DeleteFileA(PAD_MAPPING_FILE);
        if (c.playerFile)
            WriteWholeFile(PAD_MAPPING_FILE, std::vector<uint8_t>(c.playerFile, c.playerFile + strlen(c.playerFile)));
        ASSERT_EQ(OpenInputDevices(GetModuleHandleA(NULL), TEST_SHEET_WINDOW), 1);

        PadLayoutRecord layouts[PAD_SLOTS];
        FindPadLayouts(layouts);
        EXPECT_EQ(layouts[c.pad].source, c.source);
        uint32_t row[ASSIGN_COUNT];
        PadMappingCodes(layouts[c.pad].mapping, PadCaps[c.pad], c.pad, row);
        EXPECT_EQ(RowLabels(row), c.labels);
        RefreshPadListEntries(true, layouts);
        Labels texts;   // left empty for the cases that give none
        for (int i = 1; i < PadListEntries.count && !c.texts.empty(); ++i) {
            if ((int)(PadListEntries.codes[i] >> 31) == c.pad)
                texts.push_back(PadListEntries.texts[i]);
        }
        EXPECT_EQ(texts, c.texts);
        CloseInputDevices();
    }
}

// The player's file as a hostile input: what each text gives a pad with
// everything (32 buttons, four hats, every axis): found or not, and the
// labels of Cross, Circle, Up and Up(A).
struct HostileCase {
    const char *what;
    std::string text;
    bool found;
    Labels labels;
};

const std::string Guid = "030000004c050000c405000000000000";

std::string Repeat(const std::string &text, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

TEST(PadMappingText, HostileFilesSkipOnlyWhatIsDamaged)
{
    const std::string good = Guid + ",Pad,a:b1,b:b2,dpup:h0.1,lefty:a1,platform:Windows,";
    const HostileCase cases[] = {
        { "empty", "", false, {} },
        { "no line end", good, true, { "1BUTTON2", "1BUTTON3", "1POV Up1", "1Up" } },
        { "another pad", "030000004c050000cc09000000000000,Pad,a:b1,platform:Windows,", false, {} },
        { "another platform", Guid + ",Pad,a:b1,platform:Linux,", false, {} },
        { "the platform as a name", Guid + ",platform:Windows,a:b1,", false, {} },
        { "GUID and name only", Guid + ",Pad", false, {} },
        { "31 digits", Guid.substr(1) + ",Pad,a:b1,platform:Windows,", false, {} },
        { "bus 05", "05" + Guid.substr(2) + ",Pad,a:b1,platform:Windows,", false, {} },
        { "name CRC and version ignored",
          "0300a1b24c050000c405000000010000,Pad,a:b3,platform:Windows,", true,
          { "1BUTTON4", "None", "None", "None" } },
        { "the later line wins", good + "\n" + Guid + ",Pad,a:b7,platform:Windows,\n", true,
          { "1BUTTON8", "None", "None", "None" } },
        { "a later damaged line skips only itself", good + "\n" + Guid + ",Pad\n", true,
          { "1BUTTON2", "1BUTTON3", "1POV Up1", "1Up" } },
        { "huge numbers",
          Guid + ",Pad,a:b99999999999999999999,b:b0002,dpup:h4294967297.1,lefty:a256,"
                 "platform:Windows,",
          true, { "None", "None", "None", "None" } },
        { "damaged elements",
          Guid + ",Pad,a:+b1,b:b,dpup:h0.3,lefty:a1~~,x,:b1,y:,platform:Windows,", true,
          { "None", "None", "None", "None" } },
        { "binary around the line",
          std::string("\0\xff\x01,,\n\r\r\n#\n", 11) + good + "\n" + std::string(300, '\0'), true,
          { "1BUTTON2", "1BUTTON3", "1POV Up1", "1Up" } },
        { "repeated lines", Repeat(good + "\r\n", 2000), true,
          { "1BUTTON2", "1BUTTON3", "1POV Up1", "1Up" } },
        { "one long line", good + Repeat("a:b4,", 40000), true,
          { "1BUTTON5", "1BUTTON3", "1POV Up1", "1Up" } },
    };
    PadCapsRecord everything = { 32, 1, 1, 1, 1, 2, 4, 1, 1 };
    for (const HostileCase &c : cases) {
        SCOPED_TRACE(c.what);
        PadMapping mapping;
        ASSERT_EQ(FindPadMappingInText(c.text.data(), c.text.size(), 0x054C, 0x05C4, mapping),
                  c.found);
        if (!c.found)
            continue;
        uint32_t row[ASSIGN_COUNT];
        PadMappingCodes(mapping, everything, 0, row);
        Labels labels = RowLabels(row);
        EXPECT_EQ((Labels{ labels[5], labels[4], labels[0], labels[14] }), c.labels);
    }
}

// A file larger than the bound is read as far as the bound's last line:
// a line beyond it is not seen, so the built-in line applies.
TEST_F(PadLayoutTest, OnlyTheFirstMebibyteOfThePlayersFileIsRead)
{
    FakeInput.AddPad(14).Povs(1).Ids(0x054C, 0x05C4);
    std::string line = Guid + ",Mine,a:b7,platform:Windows,\n";
    for (size_t filler : { (size_t)PAD_MAPPING_FILE_MAX - line.size(), (size_t)PAD_MAPPING_FILE_MAX }) {
        std::string text(filler, '#');
        text[filler - 1] = '\n';
        text += line;
        WriteWholeFile(PAD_MAPPING_FILE, std::vector<uint8_t>(text.begin(), text.end()));
        ASSERT_EQ(OpenInputDevices(GetModuleHandleA(NULL), TEST_SHEET_WINDOW), 1);
        PadLayoutRecord layouts[PAD_SLOTS];
        FindPadLayouts(layouts);
        EXPECT_EQ(layouts[0].source,
                  filler < PAD_MAPPING_FILE_MAX ? PAD_LAYOUT_PLAYER_FILE : PAD_LAYOUT_BUILT_IN)
            << text.size() << " bytes";
        CloseInputDevices();
    }
}

// The built-in table, made from the database by the build, means what the
// database file means when it is read as a player's file.
TEST(BuiltInPadMappings, MeanWhatTheDatabaseFileSays)
{
    std::vector<uint8_t> file = ReadWholeFile(WindowsPath(PAD_DATABASE_FILE).c_str());
    ASSERT_GT(file.size(), 100000u);
    int lines = BuiltInPadMappingCount();
    EXPECT_EQ(lines, 865);   // the Windows lines with a GUID
    for (int line = 0; line < lines; ++line) {
        uint16_t vendor, product;
        BuiltInPadMappingIds(line, vendor, product);
        PadMapping builtIn, read;
        ASSERT_TRUE(FindBuiltInPadMapping(vendor, product, builtIn));
        ASSERT_TRUE(FindPadMappingInText((const char *)file.data(), file.size(), vendor, product, read));
        EXPECT_EQ(memcmp(&builtIn, &read, sizeof read), 0) << std::hex << vendor << ":" << product;
    }
}

} // namespace
