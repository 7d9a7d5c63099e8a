// Tooltips for the pages' controls: each page attaches its table once, while
// it initialises; the tooltip controls then work by themselves.
#pragma once
#include <windows.h>

struct TooltipEntry {
    int control_id;
    int string_id;
};

#define TOOLTIP_ROWS 15

extern const TooltipEntry GraphicAudioTooltips[TOOLTIP_ROWS];
// Shared by the keyboard and gamepad pages, whose boxes have the same ids.
extern const TooltipEntry AssignTooltips[TOOLTIP_ROWS];

void AddPageTooltips(HWND page, const TooltipEntry *table, int rows);
void AddControlTooltip(HWND control, const char *text);
// The last step of AddControlTooltip: hands the control to the tooltip
// (TTM_ADDTOOLA), which then watches the control's mouse messages itself
// and keeps its own copy of the text.
void AddControlTool(HWND tip, HWND control, const char *text);
