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
// hold only 0..13 and 16..19. The label left of each box has the id
// IDC_ASSIGN_LABEL_FIRST + the same AssignIndex.
#define IDC_PLAYER1         1000
#define IDC_PLAYER2         1001
#define IDC_ASSIGN_FIRST    1041
#define IDC_ASSIGN_LAST     1064
#define IDC_ASSIGN_LABEL_FIRST 1141

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

// Gamepad page, at the end of its template: "Swap Pads", which gives each
// player the other pad, and the notes on the pads below the duplicate line.
#define IDC_SWAP_PADS               1109
#define IDC_PAD_NOTES               1111

// The string table, grouped by page.

// Tooltips of the Graphic/Audio page.
#define IDS_TIP_WINDOW_MODE     1
#define IDS_TIP_FULL_HIGH       2
#define IDS_TIP_FULL_TRUE       3
#define IDS_TIP_TEXTURE_HIGH    4
#define IDS_TIP_TEXTURE_TRUE    5
#define IDS_TIP_PIXEL_SHADER    6
#define IDS_TIP_FIXED_ASPECT    7
#define IDS_TIP_FPS30           8
#define IDS_TIP_FPS60           9
#define IDS_TIP_VSYNC           10
#define IDS_TIP_EFFECT_STANDARD 11
#define IDS_TIP_EFFECT_SIMPLE   12
#define IDS_TIP_SKIP_VIDEOS     13
#define IDS_TIP_DISABLE_SOUND   14
#define IDS_TIP_DISABLE_BGM     15

// Tooltips of the assignment lists (both assignment pages) and of the
// buttons. The part of a list's tooltip in braces is what the game's button
// does; the braces are not shown, and the line of "Assign All" names that
// part.
#define IDS_TIP_UP              20
#define IDS_TIP_DOWN            21
#define IDS_TIP_LEFT            22
#define IDS_TIP_RIGHT           23
#define IDS_TIP_CIRCLE          24
#define IDS_TIP_CROSS           25
#define IDS_TIP_TRIANGLE        26
#define IDS_TIP_SQUARE          27
#define IDS_TIP_L1              28
#define IDS_TIP_R1              29
#define IDS_TIP_R2              30
#define IDS_TIP_ANALOG          31
#define IDS_TIP_PAD_LAYOUT      32
#define IDS_TIP_ASSIGN_ALL      33
#define IDS_TIP_SWAP_PADS       34

// Shared by every page: the message of a save that failed.
#define IDS_SAVE_FAILED         90
#define IDS_SAVE_ERROR          91

// Graphic/Audio page: the line of what the start switched off.
#define IDS_CORRECTED_SOUND     100
#define IDS_CORRECTED_SHADER    101
#define IDS_CORRECTED_BOTH      102

// Both assignment pages: the duplicate line and the line of "Assign All".
#define IDS_TWICE_HEADING       200
#define IDS_TWICE_INPUT_END     201
#define IDS_TWICE_NEXT_INPUT    202
#define IDS_TWICE_FIRST_NAME    203
#define IDS_TWICE_NEXT_NAME     204
#define IDS_TWICE_OTHER_PLAYER  205
#define IDS_TWICE_MORE          206
#define IDS_PASS_WANTED         210
#define IDS_PASS_PRESS          211
#define IDS_PASS_GIVEN_ALREADY  212

// Gamepad page: the pad lines, where each pad's layout comes from, and the
// entries kept for inputs that are not there.
#define IDS_PAD_LINE            300
#define IDS_PAD_NO_NAME         301
#define IDS_PAD_NOT_CONNECTED   302
#define IDS_LAYOUT_UNKNOWN      310
#define IDS_LAYOUT_PLAYER_FILE  311
#define IDS_LAYOUT_XINPUT       312
#define IDS_LAYOUT_BUILT_IN     313
#define IDS_PADS_REVERSED       315
#define IDS_TRIGGERS_ONE_AXIS   316
#define IDS_KEPT_NOT_ON_PAD     320
#define IDS_KEPT_NOT_CONNECTED  321

// Gamepad page: the names of a pad's inputs in its list entries. The
// makers' button names come first, by family (Xbox, PlayStation,
// Nintendo; the same in every language), then the D-pad's directions and
// the ends of the sticks (IDS_PAD_STICK_FIRST + 2 * stick axis + end: left
// stick X, Y, right stick X, Y; the lower end first).
#define IDS_PAD_A               400
#define IDS_PAD_B               401
#define IDS_PAD_X               402
#define IDS_PAD_Y               403
#define IDS_PAD_LB              404
#define IDS_PAD_RB              405
#define IDS_PAD_LT              406
#define IDS_PAD_RT              407
#define IDS_PAD_VIEW            408
#define IDS_PAD_MENU            409
#define IDS_PAD_LS              410
#define IDS_PAD_RS              411
#define IDS_PAD_GUIDE           412
#define IDS_PAD_CROSS           420
#define IDS_PAD_CIRCLE          421
#define IDS_PAD_SQUARE          422
#define IDS_PAD_TRIANGLE        423
#define IDS_PAD_L1              424
#define IDS_PAD_R1              425
#define IDS_PAD_L2              426
#define IDS_PAD_R2              427
#define IDS_PAD_SHARE           428
#define IDS_PAD_OPTIONS         429
#define IDS_PAD_L3              430
#define IDS_PAD_R3              431
#define IDS_PAD_PS              432
#define IDS_PAD_L               440
#define IDS_PAD_R               441
#define IDS_PAD_ZL              442
#define IDS_PAD_ZR              443
#define IDS_PAD_MINUS           444
#define IDS_PAD_PLUS            445
#define IDS_PAD_HOME            446
#define IDS_PAD_DPAD_UP         450
#define IDS_PAD_DPAD_DOWN       451
#define IDS_PAD_DPAD_LEFT       452
#define IDS_PAD_DPAD_RIGHT      453
#define IDS_PAD_STICK_FIRST     460   // 460..467

// Keyboard page: the key names that say which keyboard a key is on.
#define IDS_KEY_ON_JIS          500
#define IDS_KEY_ON_US           501
