// The input layer inside the real sheet: the first page opens the devices
// with the sheet window before the settings are built, so the pad defaults
// follow the pads that were found.

#include "tests/sheet_harness.h"

#include <prsht.h>
#include "input/input.h"
#include "settings/settings.h"

namespace {

class InputDevicesTest : public SheetTest {};

uint32_t Word(const std::vector<uint8_t> &file, size_t offset)
{
    return file[offset] | file[offset + 1] << 8 | file[offset + 2] << 16 | (uint32_t)file[offset + 3] << 24;
}

TEST_F(InputDevicesTest, FirstPageOpensTheDevicesWithTheSheetWindow)
{
    FakeInput.AddPad(12);
    FakeInput.AddPad(6);
    OpenSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(FakeInput.Count("DirectInput8Create(800,A)"), 1);
    EXPECT_EQ(FakeInput.keyboard.cooperativeWindow, sheet);
    EXPECT_EQ(FakeInput.pads[0].cooperativeWindow, sheet);
    EXPECT_EQ(FakeInput.pads[1].cooperativeWindow, sheet);
    EXPECT_EQ(FakeInput.createInstance, GetModuleHandleA(NULL));

    // Other pages do not open them again.
    ShowPage(KEYBOARD_PAGE);
    ShowPage(GAMEPAD_PAGE);
    EXPECT_EQ(FakeInput.Count("DirectInput8Create(800,A)"), 1);
}

TEST_F(InputDevicesTest, FirstRunPadDefaultsFollowTheButtonCountsFound)
{
    FakeInput.AddPad(6);
    FakeInput.AddPad(12);
    OpenSheet();
    Press(PSBTN_OK);
    std::vector<uint8_t> file = File();
    ASSERT_EQ(file.size(), 256u);

    // Player 1 on the 6-button pad 0: positions 4..9 only.
    const uint32_t player1[16] = { 0x02000002, 0x02000003, 0x02000000, 0x02000001,
                                   0x01000000, 0x01000001, 0x01000002, 0x01000003, 0x01000006, 0x01000007,
                                   0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF };
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(Word(file, 48 + 4 * i), player1[i]) << i;
    // Player 2 on the 12-button pad 1: every default button.
    const uint32_t buttons[12] = { 0, 1, 2, 3, 6, 7, 4, 5, 8, 9, 10, 11 };
    EXPECT_EQ(Word(file, 144), 0x82000002u);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(Word(file, 144 + 16 + 4 * i), 0x81000000u | buttons[i]) << i;
}

TEST_F(InputDevicesTest, UnusablePadGetsNoDefaults)
{
    FakeInput.AddPad(12).results.getCapabilities = DIERR_NOTINITIALIZED;
    OpenSheet();
    Press(PSBTN_OK);
    std::vector<uint8_t> file = File();
    ASSERT_EQ(file.size(), 256u);
    for (size_t offset = 48; offset < 240; offset += 4)
        EXPECT_EQ(Word(file, offset), 0xFFFFFFFFu) << offset;
}

} // namespace
