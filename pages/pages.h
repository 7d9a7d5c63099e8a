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

// Gamepad page.
extern int PadPagePlayer;
extern HWND PadPageWindow;

// Enables the sheet's Apply button on behalf of a page.
void MarkSheetChanged(HWND page);
// A page's PSN_APPLY: writes the whole settings file. When the file cannot
// be written the page tells the user once and keeps the sheet open, so the
// choices are not lost. Returns the dialog procedure's result.
INT_PTR SaveSettingsForPage(HWND page);
