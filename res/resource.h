// Resource and control identifiers shared by the resource script and the
// code. The numbers are fixed: the dialog templates, the string table and
// the page code must agree on them.
#pragma once

// Dialog templates, one per page, in page order.
#define IDD_GRAPHIC_AUDIO   101
#define IDD_KEYBOARD        102
#define IDD_GAMEPAD         103

#define IDI_APP             105

// Controls shared by every page.
#define IDC_RESET           1020    // "Default Settings" / "Reset to Default"

// Graphic/Audio page.
#define IDC_WINDOW_MODE     1000
#define IDC_FULL_HIGH       1001
#define IDC_FULL_TRUE       1002
#define IDC_FPS30           1003
#define IDC_FPS60           1004
#define IDC_EFFECT_STANDARD 1005
#define IDC_EFFECT_SIMPLE   1006
#define IDC_TEXTURE_HIGH    1007
#define IDC_TEXTURE_TRUE    1008
#define IDC_DISABLE_BGM     1010
#define IDC_FIXED_ASPECT    1011
#define IDC_PIXEL_SHADER    1013
#define IDC_VSYNC           1014
#define IDC_SKIP_VIDEOS     1015
#define IDC_DISABLE_SOUND   1016
// After the page's other controls: what the start switched off in the
// loaded file because the machine lacks it.
#define IDC_START_CORRECTIONS 1120

// Keyboard and gamepad pages. The assignment boxes are IDC_ASSIGN_FIRST +
// AssignIndex for AssignIndex 0..23 (input/assign_index.h); the templates
// hold only 0..13 and 16..19.
#define IDC_PLAYER1         1000
#define IDC_PLAYER2         1001
#define IDC_ASSIGN_FIRST    1041
#define IDC_ASSIGN_LAST     1064

// Gamepad page only: the "Advanced" capture options.
#define IDC_ROTATER         1010
#define IDC_SLIDER          1011

// Notes below "Reset to Default", after the pages' other controls: the
// line naming inputs assigned twice (both assignment pages), and on the
// gamepad page one line per pad slot and a hint shown while no pad is
// attached.
#define IDC_DUPLICATES      1110
#define IDC_PAD_LINE_FIRST  1100    // 1100 pad 1, 1101 pad 2
#define IDC_PAD_HINT        1102

// Gamepad page: "Pad Layout", which assigns the shown player's pad by its
// own layout, the layout's source beside each pad line, and what to do
// while an attached pad's layout is not known.
#define IDC_PAD_LAYOUT              1103
#define IDC_PAD_LAYOUT_SOURCE_FIRST 1104    // 1104 pad 1, 1105 pad 2
#define IDC_PAD_LAYOUT_HINT         1106

// Both assignment pages, at the end of their templates: "Assign All", which
// asks for the shown player's inputs one list after another, in the row of
// "Reset to Default", and the line that says what it asks for.
#define IDC_ASSIGN_ALL              1107
#define IDC_ASSIGN_PASS_LINE        1108

// String table: tooltip texts 1..15 (Graphic/Audio page), 20..31
// (assignment boxes of both assignment pages), 32 ("Pad Layout") and 33
// ("Assign All").
#define IDS_TIP_FIRST_GRAPHIC 1
#define IDS_TIP_FIRST_ASSIGN  20
