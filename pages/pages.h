// The three pages of the sheet and what they share.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "input/assign_index.h"
#include "res/resource.h"

static_assert(IDC_ASSIGN_LAST - IDC_ASSIGN_FIRST + 1 == ASSIGN_COUNT,
              "an assignment id for every AssignIndex");

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

// Live marks of an assignment page: the label left of each list is drawn
// in a warning colour while its input is assigned twice, and highlighted
// while its input is pressed. One record per page, filled at WM_INITDIALOG.
#define ASSIGN_NO_INPUT 0xFFFFFFFFu
#define LABEL_DUPLICATE 0x1
#define LABEL_PRESSED   0x2
#define LABEL_NAME_SIZE 16
struct AssignPageMarks {
    HWND labels[ASSIGN_COUNT];                  // NULL where no list is
    char names[ASSIGN_COUNT][LABEL_NAME_SIZE];  // the labels' own texts
    uint32_t shown[ASSIGN_COUNT];               // the shown player's inputs
    uint8_t marks[ASSIGN_COUNT];
};

// Finds the 18 labels of the page (they have no id: they are the 5th to
// 22nd controls, in list order) and clears the marks.
void FindAssignLabels(HWND page, AssignPageMarks &marks);
// Sets the marks of the shown inputs (marks.shown, ASSIGN_NO_INPUT for
// none) that pressed() says are pressed; redraws only labels that change.
void MarkPressedLabels(AssignPageMarks &marks, bool (*pressed)(uint32_t input));
// Names, in the page's duplicate line, every shown input that is on two or
// more of the shown player's lists or also on one of the other player's
// (other, in AssignIndex order, ASSIGN_NO_INPUT for none), and marks the
// labels of the shown rows involved. inputText writes an input's text, as
// the lists show it, into a buffer of DUPLICATE_INPUT_SIZE bytes.
#define DUPLICATE_INPUT_SIZE 48
void ShowDuplicates(HWND page, AssignPageMarks &marks, const uint32_t other[ASSIGN_COUNT],
                    int otherPlayer, void (*inputText)(char *buffer, uint32_t input));
// WM_CTLCOLORSTATIC of a page: the colours of a static control drawn with
// these LABEL_ marks; 0 (the dialog's default colours) for marks 0.
INT_PTR MarkedStaticColours(HWND page, HDC dc, HWND control, uint8_t marks);
// WM_CTLCOLORSTATIC of an assignment page for its labels and the line of
// "Assign All".
INT_PTR AssignLabelColours(HWND page, const AssignPageMarks &marks, HDC dc, HWND control);

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
// PSN_SETACTIVE to PSN_KILLACTIVE, where a pass of "Assign All" ends and
// stopCapture gives the page's devices up; PSN_APPLY stores the shown player's row with storeRow, then
// saves. Returns the dialog procedure's result.
struct AssignPageCapture {
    void (*storeRow)(int player);
    void (*stopCapture)();
};
INT_PTR AssignmentPageNotify(HWND page, const NMHDR *header, const AssignPageCapture &capture,
                             int player);
