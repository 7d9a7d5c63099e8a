// The settings record: one fixed 256-byte block that is byte for byte the
// content of "setting.cfg", the file the game reads. No UI code lives here.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "input/assign_index.h"
#include "input/pad_binding.h"

#define SETTING_FILE_NAME  "setting.cfg"
#define SETTING_BLOCK_SIZE 256
#define KEY_ROW_SIZE       24
#define PAD_ROW_SIZE       24
static_assert(KEY_ROW_SIZE == ASSIGN_COUNT && PAD_ROW_SIZE == ASSIGN_COUNT,
              "a player's rows have one entry per AssignIndex");

// PadAdvancedFlags bits: let live pad capture consider rotation axes and
// sliders. The word is handed to the pad poll as its capture flags.
#define PAD_ADVANCED_ROTATION PAD_CAPTURE_ROTATION
#define PAD_ADVANCED_SLIDERS  PAD_CAPTURE_SLIDERS

// Little-endian, no header, no checksum. The layout is the file format.
struct SettingBlock {
    uint8_t  KeyRow[2][KEY_ROW_SIZE];   // per player, indexed by KeySlot
    uint32_t PadRow[2][PAD_ROW_SIZE];   // per player, indexed by AssignIndex
    uint32_t PadAdvancedFlags;          // one word for both players
    // DisplayOptions: the tool writes only 0 or 1 into them.
    uint8_t  FullScreenTrueColor;
    uint8_t  TextureTrueColor;
    uint8_t  FullScreen;
    uint8_t  PixelShader;
    uint8_t  FrameRate60;
    uint8_t  VSync;
    uint8_t  SoundDisabled;
    uint8_t  BgmDisabled;
    uint8_t  SkipVideos;
    uint8_t  SimpleEffects;
    uint8_t  FixedAspect;
    uint8_t  Unused;                    // kept as loaded, 0 in the defaults
};

static_assert(sizeof(SettingBlock) == SETTING_BLOCK_SIZE, "file image is 256 bytes");
static_assert(offsetof(SettingBlock, KeyRow) == 0, "KeyRow offset");
static_assert(offsetof(SettingBlock, PadRow) == 48, "PadRow offset");
static_assert(offsetof(SettingBlock, PadAdvancedFlags) == 240, "PadAdvancedFlags offset");
static_assert(offsetof(SettingBlock, FullScreenTrueColor) == 244, "DisplayOptions offset");
static_assert(offsetof(SettingBlock, FixedAspect) == 254, "FixedAspect offset");

// The one in-memory record, edited directly by all three pages.
extern SettingBlock Settings;

// Probe results, set by the Graphic/Audio page before the settings are
// loaded; never saved.
extern int SoundPresent;
extern int PixelShaderCapable;

extern const uint8_t DefaultKeyRows[2][KEY_ROW_SIZE];

// 0 when the file was opened and read, -1 when it could not be opened (the
// record is then untouched). A short file replaces only its own length.
int LoadSettingFile();
// 0 when all 256 bytes were written, -1 otherwise with the reason left in
// GetLastError(). A longer existing file keeps its bytes beyond 256.
int SaveSettingFile();

void ApplyDisplayDefaults();
void ApplyKeyDefaults(int player);
void ApplyPadDefaults(int player);
void ApplyAllDefaults();
// The start-up sequence: load or default, then fit the options to the
// machine's probe results. Returns what that changed of the loaded file:
// CORRECTED_ bits, 0 when nothing changed or no file was loaded.
#define CORRECTED_SOUND        0x1   // sound and music switched off
#define CORRECTED_PIXEL_SHADER 0x2   // the pixel shader switched off
int LoadSettingsForMachine();
