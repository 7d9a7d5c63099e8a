// Tooltips for the pages' controls: each page attaches its table once, just
// after it is first shown; the tooltip controls then work by themselves.
#pragma once
#include <windows.h>

#include "input/assign_index.h"
#include "res/resource.h"

// One row of a page's table: a control and the string of its text.
struct TooltipEntry {
    int control_id;
    int string_id;
};
#define TOOLTIP_ROWS(table) ((int)(sizeof table / sizeof table[0]))

// The rows of the assignment lists, the same on both assignment pages:
// "L2", "Select" and "Start" have none, the four analog lists share one.
#define ASSIGN_LIST_TOOLTIP(a, text) { IDC_ASSIGN_FIRST + (a), (text) }
#define ASSIGN_LIST_TOOLTIPS                                \
    ASSIGN_LIST_TOOLTIP(ASSIGN_UP, IDS_TIP_UP),             \
    ASSIGN_LIST_TOOLTIP(ASSIGN_DOWN, IDS_TIP_DOWN),         \
    ASSIGN_LIST_TOOLTIP(ASSIGN_LEFT, IDS_TIP_LEFT),         \
    ASSIGN_LIST_TOOLTIP(ASSIGN_RIGHT, IDS_TIP_RIGHT),       \
    ASSIGN_LIST_TOOLTIP(ASSIGN_CIRCLE, IDS_TIP_CIRCLE),     \
    ASSIGN_LIST_TOOLTIP(ASSIGN_CROSS, IDS_TIP_CROSS),       \
    ASSIGN_LIST_TOOLTIP(ASSIGN_TRIANGLE, IDS_TIP_TRIANGLE), \
    ASSIGN_LIST_TOOLTIP(ASSIGN_SQUARE, IDS_TIP_SQUARE),     \
    ASSIGN_LIST_TOOLTIP(ASSIGN_L1, IDS_TIP_L1),             \
    ASSIGN_LIST_TOOLTIP(ASSIGN_R1, IDS_TIP_R1),             \
    ASSIGN_LIST_TOOLTIP(ASSIGN_R2, IDS_TIP_R2),             \
    ASSIGN_LIST_TOOLTIP(ASSIGN_UP_A, IDS_TIP_ANALOG),       \
    ASSIGN_LIST_TOOLTIP(ASSIGN_DOWN_A, IDS_TIP_ANALOG),     \
    ASSIGN_LIST_TOOLTIP(ASSIGN_LEFT_A, IDS_TIP_ANALOG),     \
    ASSIGN_LIST_TOOLTIP(ASSIGN_RIGHT_A, IDS_TIP_ANALOG)

// A tooltip's string shows without the braces that mark a part of it: of
// such a string, the part in braces into buffer (size bytes); false, with
// buffer empty, when it has none.
bool LoadTooltipMark(HWND page, int stringId, char *buffer, int size);

// Adds the tooltips of a page's table once the page has been shown: a
// timer on the page (a TIMERPROC, so the page's own WM_TIMER never sees
// it) adds them a few rows per tick, starting after the page's first paint
// (a timer message comes only when no paint is due) and keeping each slice
// short, so the page can be used while they are made.
void AddPageTooltipsAfterShown(HWND page, const TooltipEntry *table, int rows);
// Makes the rest of the page's tooltips now, if any are still to come. An
// assignment page calls it before its capture tick reads a device: under
// Wine an acquired DirectInput device hooks every message the thread sends,
// and a tooltip window costs about a third more to make then.
void FinishPageTooltips(HWND page);
void AddControlTooltip(HWND control, const char *text);
// The last step of AddControlTooltip: hands the control to the tooltip
// (TTM_ADDTOOLA), which keeps its own copy of the text, and has the
// control's mouse messages relayed to it.
void AddControlTool(HWND tip, HWND control, const char *text);
