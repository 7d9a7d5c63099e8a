// The three pages of the sheet, as the shell hosts them and tests drive
// them.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "pages/assign_lists.h"
#include "pages/page_common.h"

INT_PTR CALLBACK GraphicAudioPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK KeyboardPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK GamepadPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

// Graphic/Audio page: shows the options of the settings record; its probes.
void RefreshGraphicAudioPage(HWND page);
// Its tooltips, and the first step of its WM_INITDIALOG (the page records
// its window and the width its layout was made for), apart for the
// start-up profile (bench/).
#define GRAPHIC_AUDIO_TOOLTIP_ROWS 15
extern const TooltipEntry GraphicAudioTooltips[GRAPHIC_AUDIO_TOOLTIP_ROWS];
void RecordGraphicAudioPage(HWND page);
int ProbeSoundDevice();
int ProbePixelShader();

// Keyboard page: the keys its lists offer.
#define KEY_NAME_ROWS 79

// One key a list offers: its name on a US keyboard (0x91 and 0x92 on a
// Japanese one) and its DirectInput scan code. The lists show the player's
// layout's own name instead where it has one (pages/keyboard_page.cpp).
struct KeyName {
    const char *text;
    uint8_t code;
};

extern const KeyName KeyNameTable[KEY_NAME_ROWS];
// AssignIndex -> KeySlot, ASSIGN_COUNT entries.
extern const uint8_t KeySlotMap[];
// The first row with this code; 0 ("None") when no row has it.
int KeyCodeToRow(int code);

// The state of the two assignment pages.
extern AssignPage KeyPage;
extern AssignPage PadPage;
