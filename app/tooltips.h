// Tooltips for the pages' controls: each page attaches its table once, just
// after it is first shown; the tooltip controls then work by themselves.
#pragma once
#include <windows.h>

struct TooltipEntry {
    int control_id;
    int string_id;
};

#define TOOLTIP_ROWS 15
// The keyboard page's: the assignment boxes' and "Assign All"; the gamepad
// page's: those and "Pad Layout".
#define KEY_TOOLTIP_ROWS (TOOLTIP_ROWS + 1)
#define PAD_TOOLTIP_ROWS (TOOLTIP_ROWS + 2)

extern const TooltipEntry GraphicAudioTooltips[TOOLTIP_ROWS];
// Shared by the keyboard page (the first KEY_TOOLTIP_ROWS rows) and the
// gamepad page (all of them), whose controls have the same ids.
extern const TooltipEntry AssignTooltips[PAD_TOOLTIP_ROWS];

void AddPageTooltips(HWND page, const TooltipEntry *table, int rows);
// The same, once the page has been shown: a timer on the page (a TIMERPROC,
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
// (TTM_ADDTOOLA), which then watches the control's mouse messages itself
// and keeps its own copy of the text.
void AddControlTool(HWND tip, HWND control, const char *text);
