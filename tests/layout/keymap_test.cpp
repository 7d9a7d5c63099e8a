// The keyboard lists on the keymaps of an X server that takes them (run.sh).
#include "tests/sheet_harness.h"

#include <prsht.h>
#include "pages/pages.h"
#include "res/resource.h"

TEST_F(SheetTest, KeysAreNamedAsTheKeymapNamesThemAndSavedAsTheirCodes)
{
    const int Up = 1041, Cross = 1046, KeyA = 0x10;   // A on AZERTY
    // Each first row shows that the lists took the keymap; "br" has a dead key and ç.
    const std::vector<std::pair<const char *, std::vector<std::pair<int, std::string>>>> keymaps = {
        { "fr", { { 0x10, "A" }, { 0x1E, "Q" }, { 0x11, "Z" }, { 0x2C, "W" }, { 0x27, "M" }, { 0x32, "," },
                  { 0x33, ";" }, { 0x35, "!" }, { 0x1B, "$" }, { 0x2B, "*" }, { 0x34, ":" },
                  { 0x92, ": (JIS)" }, { 0x91, "@" }, { 0x03, "2" }, { 0xC8, "Up" } } },
        { "de", { { 0x15, "Z" }, { 0x2C, "Y" }, { 0x35, "-" }, { 0x1B, "+" }, { 0x92, ":" }, { 0x10, "Q" } } },
        { "br", { { 0x1B, "[" }, { 0x1A, "[ (US)" }, { 0x35, ";" }, { 0x27, "; (US)" }, { 0x10, "Q" } } },
    };
    auto row = [&](int code) { return ListTexts(KEYBOARD_PAGE, Up)[KeyCodeToRow(code)]; };
    auto tap = [&] { FakeInput.keyboard.Tap(KeyA); SendMessageA(Page(KEYBOARD_PAGE), WM_TIMER, 0, 0); };
    OpenSheet();
    ShowPage(KEYBOARD_PAGE);
    Focus(KEYBOARD_PAGE, Cross);
    tap();   // captured
    Click(KEYBOARD_PAGE, IDC_ASSIGN_ALL);
    tap();   // for Up
    tap();   // for Down: given already
    EXPECT_NE(TextOf(Control(KEYBOARD_PAGE, IDC_ASSIGN_PASS_LINE)).find(" A is on Up"), std::string::npos);
    for (const auto &keymap : keymaps) {
        SCOPED_TRACE(keymap.first);
        // Wine starts setxkbmap as a Unix program and cannot wait for it.
        if (&keymap != &keymaps[0])
            StartProcess(std::string("Z:\\usr\\bin\\setxkbmap ") + keymap.first, ".");
        ASSERT_TRUE(PumpUntil([&] {
            SendMessageA(sheet, WM_INPUTLANGCHANGE, 0, (LPARAM)GetKeyboardLayout(0));
            return row(keymap.second[0].first) == keymap.second[0].second;
        }));
        for (const auto &r : keymap.second)
            EXPECT_EQ(row(r.first), r.second) << r.first;
        EXPECT_EQ(SelectedText(KEYBOARD_PAGE, Cross), row(KeyA));
        EXPECT_EQ(TextOf(Control(KEYBOARD_PAGE, IDC_DUPLICATES)), "Assigned twice: " + row(KeyA) + ": Up, Cross");
    }
    Press(PSBTN_OK);
    std::vector<uint8_t> file = File();
    ASSERT_EQ(file.size(), 256u);
    EXPECT_EQ(std::vector<uint8_t>({ file[12], file[6] }), std::vector<uint8_t>(2, KeyA));   // Up, Cross
}
