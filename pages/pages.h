// The three pages of the sheet and what they share.
#pragma once
#include <windows.h>
#include <stdint.h>

INT_PTR CALLBACK GraphicAudioPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK KeyboardPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK GamepadPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

// Graphic/Audio page and its probes.
extern HWND GraphicAudioPageWindow;
void RefreshGraphicAudioPage();
int ProbeSoundDevice();
int ProbePixelShader();

// Keyboard page.
extern int KeyPagePlayer;
extern HWND KeyPageWindow;

#define KEY_NAME_ROWS 79

// One key a list offers: its text and its DirectInput scan code.
struct KeyName {
    const char *text;
    uint8_t code;
};

extern const KeyName KeyNameTable[KEY_NAME_ROWS];
// AssignIndex -> KeySlot, ASSIGN_COUNT entries.
extern const uint8_t KeySlotMap[];

void FillKeyCombos();
// The first row with this code; 0 ("None") when no row has it.
int KeyCodeToRow(int code);
void LoadKeyRow(int player);
void StoreKeyRow(int player);
void KeyCaptureTick(HWND page);

// Gamepad page.
extern int PadPagePlayer;
extern HWND PadPageWindow;

void FillPadCombos();
void LoadPadRow(int player);
void StorePadRow(int player);
// The AnalogGroup rule for a choice or capture of code (label: its label)
// in list, whose AssignIndex is 16 or more.
void ApplyAnalogGroupRule(HWND page, HWND list, uint32_t code, const char *label, int assignIndex);
void PadCaptureTick(HWND page);

// Enables the sheet's Apply button on behalf of a page.
void MarkSheetChanged(HWND page);
// A page's PSN_APPLY: writes the whole settings file. When the file cannot
// be written the page tells the user once and keeps the sheet open, so the
// choices are not lost. Returns the dialog procedure's result.
INT_PTR SaveSettingsForPage(HWND page);

// Assignment pages. The AssignIndex of the list that has the keyboard
// focus, or -1 when no list of the page has it (ids without a control
// never match).
int FocusedAssignIndex(HWND page);
// Switches redrawing of the page's assignment lists off (while they are
// filled) or on again. With it off, a row added to a list does not update
// the list's scroll range and invalidate it each time: under Wine that was
// half of an assignment page's first showing.
void SetAssignListsRedraw(HWND page, BOOL redraw);
// WM_NOTIFY of an assignment page: the capture timer runs from
// PSN_SETACTIVE to PSN_KILLACTIVE; PSN_APPLY stores the shown player's row
// with storeRow, then saves. Returns the dialog procedure's result.
INT_PTR AssignmentPageNotify(HWND page, const NMHDR *header, void (*storeRow)(int player),
                             int player);
