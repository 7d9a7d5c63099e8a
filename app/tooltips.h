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
