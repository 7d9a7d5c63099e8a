// Loading, saving and the factory defaults of the settings record.
#include "settings/settings.h"

#include <windows.h>
#include <string.h>

#include "input/input.h"
#include "input/pad_binding.h"

SettingBlock Settings;
int SoundPresent;
int PixelShaderCapable;

const uint8_t DefaultKeyRows[2][KEY_ROW_SIZE] = {
    // L2    R2    L1    R1    Tri   Circ  Cross Sq    Sel   -     -     Start
    { 0x0A, 0x08, 0x09, 0x26, 0x17, 0x18, 0x16, 0x24, 0x30, 0x00, 0x00, 0x39,
    // Up    Right Down  Left  analog and unused
      0x11, 0x20, 0x1F, 0x1E, 0, 0, 0, 0, 0, 0, 0, 0 },
    { 0x49, 0x47, 0x48, 0x51, 0x4C, 0x4D, 0x4B, 0x4F, 0xC9, 0x00, 0x00, 0xD1,
      0xC8, 0xCD, 0xD0, 0xCB, 0, 0, 0, 0, 0, 0, 0, 0 },
};

// Zero-based default button numbers for AssignIndex 4..15.
static const uint8_t DefaultPadButtons[12] = { 0, 1, 2, 3, 6, 7, 4, 5, 8, 9, 10, 11 };

int LoadSettingFile()
{
    HANDLE file = CreateFileA(SETTING_FILE_NAME, GENERIC_READ, FILE_SHARE_READ, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    DWORD read = 0;
    ReadFile(file, &Settings, sizeof Settings, &read, NULL);
    CloseHandle(file);
    return 0;
}

int SaveSettingFile()
{
    HANDLE file = CreateFileA(SETTING_FILE_NAME, GENERIC_WRITE, FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    DWORD written = 0;
    BOOL ok = WriteFile(file, &Settings, sizeof Settings, &written, NULL);
    DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    if (ok && written == sizeof Settings)
        return 0;
    SetLastError(error != ERROR_SUCCESS ? error : ERROR_HANDLE_DISK_FULL);
    return -1;
}

void ApplyDisplayDefaults()
{
    uint8_t shader = PixelShaderCapable ? 1 : 0;
    uint8_t silent = SoundPresent ? 0 : 1;
    Settings.FullScreen = 1;
    Settings.FrameRate60 = 1;
    Settings.VSync = 1;
    Settings.SkipVideos = 0;
    Settings.FixedAspect = 0;
    Settings.PixelShader = shader;
    Settings.FullScreenTrueColor = shader;
    Settings.TextureTrueColor = shader;
    Settings.SimpleEffects = !shader;
    Settings.SoundDisabled = silent;
    Settings.BgmDisabled = silent;
}

void ApplyKeyDefaults(int player)
{
    memcpy(Settings.KeyRow[player], DefaultKeyRows[player], KEY_ROW_SIZE);
}

void ApplyPadDefaults(int player)
{
    uint32_t *row = Settings.PadRow[player];
    Settings.PadAdvancedFlags = 0;
    for (int i = 0; i < PAD_ROW_SIZE; ++i)
        row[i] = PAD_BINDING_NONE;

    uint32_t buttons = PadCaps[player].ButtonCount;
    if (buttons == 0)
        return;
    row[ASSIGN_UP] = PadAxisCode(player, PAD_AXIS_Y_MIN);
    row[ASSIGN_DOWN] = PadAxisCode(player, PAD_AXIS_Y_MAX);
    row[ASSIGN_LEFT] = PadAxisCode(player, PAD_AXIS_X_MIN);
    row[ASSIGN_RIGHT] = PadAxisCode(player, PAD_AXIS_X_MAX);
    // The position in the default table, not the button number, is what
    // the pad must have: a 6-button pad still gets buttons 6 and 7 at
    // positions 4 and 5.
    for (uint32_t i = 0; i < 12 && i < buttons; ++i)
        row[ASSIGN_CIRCLE + i] = PadButtonCode(player, DefaultPadButtons[i]);
}

void ApplyAllDefaults()
{
    memset(&Settings, 0, sizeof Settings);
    ApplyDisplayDefaults();
    ApplyKeyDefaults(0);
    ApplyKeyDefaults(1);
    ApplyPadDefaults(0);
    ApplyPadDefaults(1);
}

int LoadSettingsForMachine()
{
    // The defaults fit the machine already, so only a loaded file can be
    // corrected.
    if (LoadSettingFile() < 0)
        ApplyAllDefaults();
    int corrected = 0;
    if (!SoundPresent) {
        if (!Settings.SoundDisabled || !Settings.BgmDisabled)
            corrected |= CORRECTED_SOUND;
        Settings.SoundDisabled = 1;
        Settings.BgmDisabled = 1;
    }
    if (!PixelShaderCapable) {
        if (Settings.PixelShader)
            corrected |= CORRECTED_PIXEL_SHADER;
        Settings.PixelShader = 0;
    }
    return corrected;
}
