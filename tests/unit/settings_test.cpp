// The settings record's defaults and its file, byte for byte.
#include <gtest/gtest.h>

#include "input/input.h"
#include "settings/settings.h"
#include "tests/sheet_harness.h"

namespace {

// Runs in its own folder like the sheet tests, without opening a sheet.
class SettingsTest : public SheetTest {};

std::vector<uint8_t> DisplayBytes()
{
    const uint8_t *bytes = (const uint8_t *)&Settings;
    return std::vector<uint8_t>(bytes + 244, bytes + 255);
}

uint32_t Word(const std::vector<uint8_t> &file, size_t offset)
{
    return file[offset] | file[offset + 1] << 8 | file[offset + 2] << 16 | (uint32_t)file[offset + 3] << 24;
}

TEST_F(SettingsTest, DisplayDefaultsFollowTheProbes)
{
    struct Case { int shader, sound; std::vector<uint8_t> bytes; };
    const Case cases[] = {
        { 1, 1, { 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0 } },
        { 0, 0, { 0, 0, 1, 0, 1, 1, 1, 1, 0, 1, 0 } },
        { 1, 0, { 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0 } },
        { 0, 1, { 0, 0, 1, 0, 1, 1, 0, 0, 0, 1, 0 } },
    };
    for (const Case &c : cases) {
        PixelShaderCapable = c.shader;
        SoundPresent = c.sound;
        memset(&Settings, 0xAA, sizeof Settings);
        ApplyAllDefaults();
        EXPECT_EQ(DisplayBytes(), c.bytes) << "shader " << c.shader << " sound " << c.sound;
        EXPECT_EQ(Settings.Unused, 0);
        EXPECT_EQ(Settings.PadAdvancedFlags, 0u);
    }
}

TEST_F(SettingsTest, KeyDefaultsLeaveUnusedSlotsZero)
{
    ApplyAllDefaults();
    const uint8_t player1[24] = { 0x0A, 0x08, 0x09, 0x26, 0x17, 0x18, 0x16, 0x24, 0x30, 0, 0, 0x39,
                                  0x11, 0x20, 0x1F, 0x1E, 0, 0, 0, 0, 0, 0, 0, 0 };
    const uint8_t player2[24] = { 0x49, 0x47, 0x48, 0x51, 0x4C, 0x4D, 0x4B, 0x4F, 0xC9, 0, 0, 0xD1,
                                  0xC8, 0xCD, 0xD0, 0xCB, 0, 0, 0, 0, 0, 0, 0, 0 };
    EXPECT_EQ(0, memcmp(Settings.KeyRow[0], player1, 24));
    EXPECT_EQ(0, memcmp(Settings.KeyRow[1], player2, 24));
}

TEST_F(SettingsTest, PadDefaultsDependOnTheButtonCountOfTheSamePad)
{
    // No pad: both rows all "no input".
    ApplyAllDefaults();
    for (int p = 0; p < 2; ++p)
        for (int i = 0; i < 24; ++i)
            EXPECT_EQ(Settings.PadRow[p][i], 0xFFFFFFFFu) << p << "," << i;

    // Pad 0 with 6 buttons, pad 1 with 12: the position in the default
    // table is compared with the count, not the button number.
    PadCaps[0].ButtonCount = 6;
    PadCaps[1].ButtonCount = 12;
    Settings.PadAdvancedFlags = 6;
    ApplyPadDefaults(0);
    EXPECT_EQ(Settings.PadAdvancedFlags, 0u);
    const uint32_t row0[24] = {
        0x02000002, 0x02000003, 0x02000000, 0x02000001,
        0x01000000, 0x01000001, 0x01000002, 0x01000003, 0x01000006, 0x01000007,
        0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF,
        0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF };
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(Settings.PadRow[0][i], row0[i]) << i;

    ApplyPadDefaults(1);
    const uint32_t buttons[12] = { 0, 1, 2, 3, 6, 7, 4, 5, 8, 9, 10, 11 };
    EXPECT_EQ(Settings.PadRow[1][0], 0x82000002u);
    EXPECT_EQ(Settings.PadRow[1][3], 0x82000001u);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(Settings.PadRow[1][4 + i], 0x81000000u | buttons[i]) << i;
    EXPECT_EQ(Settings.PadRow[1][16], 0xFFFFFFFFu);
}

TEST_F(SettingsTest, ShortFileReplacesOnlyItsOwnLength)
{
    WriteWholeFile("setting.cfg", { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 });
    ASSERT_EQ(LoadSettingFile(), 0);
    const uint8_t *bytes = (const uint8_t *)&Settings;
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(bytes[i], i + 1);
    for (int i = 10; i < 256; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
}

TEST_F(SettingsTest, MissingFileLeavesTheRecordUntouched)
{
    Settings.VSync = 7;
    EXPECT_EQ(LoadSettingFile(), -1);
    EXPECT_EQ(Settings.VSync, 7);
}

TEST_F(SettingsTest, SaveKeepsTheTailOfALongerFile)
{
    std::vector<uint8_t> old(300);
    for (size_t i = 0; i < old.size(); ++i)
        old[i] = (uint8_t)(i * 7);
    WriteWholeFile("setting.cfg", old);
    memset(&Settings, 0x5C, sizeof Settings);
    ASSERT_EQ(SaveSettingFile(), 0);
    std::vector<uint8_t> file = File();
    ASSERT_EQ(file.size(), 300u);
    for (size_t i = 0; i < 256; ++i)
        ASSERT_EQ(file[i], 0x5C) << i;
    for (size_t i = 256; i < 300; ++i)
        ASSERT_EQ(file[i], old[i]) << i;
}

TEST_F(SettingsTest, SaveIsLittleEndian)
{
    Settings.PadRow[1][0] = 0x82000003;
    Settings.PadAdvancedFlags = 0x4;
    ASSERT_EQ(SaveSettingFile(), 0);
    std::vector<uint8_t> file = File();
    ASSERT_EQ(file.size(), 256u);
    EXPECT_EQ(Word(file, 144), 0x82000003u);
    EXPECT_EQ(Word(file, 240), 4u);
}

TEST_F(SettingsTest, SaveFailsIntoADirectoryWithAReason)
{
    ASSERT_TRUE(CreateDirectoryA("setting.cfg", NULL));
    SetLastError(0);
    EXPECT_EQ(SaveSettingFile(), -1);
    EXPECT_NE(GetLastError(), 0u);
}

TEST_F(SettingsTest, LockedFileLoadsAsMissing)
{
    WriteWholeFile("setting.cfg", std::vector<uint8_t>(256, 1));
    HANDLE lock = CreateFileA("setting.cfg", GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(LoadSettingFile(), -1);
    EXPECT_EQ(SaveSettingFile(), -1);
    CloseHandle(lock);
}

} // namespace
