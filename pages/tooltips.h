// Tooltips for the pages' controls: each page attaches its table once, just
// after it is first shown; the tooltip controls then work by themselves.
#pragma once
#include <windows.h>

#include "res/resource.h"

// One row of a page's table: a control and the string of its text.
struct TooltipEntry {
    int control_id;
    int string_id;
};
#define TOOLTIP_ROWS(table) ((int)(sizeof table / sizeof table[0]))

// The rows of the assignment lists, the same on both assignment pages:
// "L2", "Select" and "Start" have none, the four analog lists share one.
#define ASSIGN_LIST_TOOLTIPS                                                                    \
    { IDC_ASSIGN_FIRST + 0, IDS_TIP_UP }, { IDC_ASSIGN_FIRST + 1, IDS_TIP_DOWN },               \
    { IDC_ASSIGN_FIRST + 2, IDS_TIP_LEFT }, { IDC_ASSIGN_FIRST + 3, IDS_TIP_RIGHT },            \
    { IDC_ASSIGN_FIRST + 4, IDS_TIP_CIRCLE }, { IDC_ASSIGN_FIRST + 5, IDS_TIP_CROSS },          \
    { IDC_ASSIGN_FIRST + 6, IDS_TIP_TRIANGLE }, { IDC_ASSIGN_FIRST + 7, IDS_TIP_SQUARE },       \
    { IDC_ASSIGN_FIRST + 8, IDS_TIP_L1 }, { IDC_ASSIGN_FIRST + 10, IDS_TIP_R1 },                \
    { IDC_ASSIGN_FIRST + 11, IDS_TIP_R2 }, { IDC_ASSIGN_FIRST + 16, IDS_TIP_ANALOG },           \
    { IDC_ASSIGN_FIRST + 17, IDS_TIP_ANALOG }, { IDC_ASSIGN_FIRST + 18, IDS_TIP_ANALOG },       \
    { IDC_ASSIGN_FIRST + 19, IDS_TIP_ANALOG }

// A tooltip's string shows without the braces that mark a part of it: of
// such a string, the part in braces into buffer (size bytes); false, with
// buffer empty, when it has none.
bool LoadTooltipMark(HWND page, int stringId, char *buffer, int size);

// Adds the tooltips of a page's table once the page has been shown: a
// timer on the page (a TIMERPROC,
// so the page's own WM_TIMER never sees it) adds the table's tooltips a few
// rows per tick, starting after the page's first paint (a timer message
// comes only when no paint is due) and keeping each slice short, so the
// page can be used while they are made.
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
