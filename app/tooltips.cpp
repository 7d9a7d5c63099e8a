// Tooltip tables and their installation.
#include "app/tooltips.h"

#include <commctrl.h>
#include <stddef.h>
#include <string.h>

#include "app/shell.h"
#include "res/resource.h"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(TTTOOLINFOA, lParam) + sizeof(LPARAM) == 44,
              "32-bit tool record (TTTOOLINFOA_V2_SIZE) is 44 bytes");
#endif

const TooltipEntry GraphicAudioTooltips[TOOLTIP_ROWS] = {
    { IDC_WINDOW_MODE, 1 },     { IDC_FULL_HIGH, 2 },       { IDC_FULL_TRUE, 3 },
    { IDC_TEXTURE_HIGH, 4 },    { IDC_TEXTURE_TRUE, 5 },    { IDC_PIXEL_SHADER, 6 },
    { IDC_FIXED_ASPECT, 7 },    { IDC_FPS30, 8 },           { IDC_FPS60, 9 },
    { IDC_VSYNC, 10 },          { IDC_EFFECT_STANDARD, 11 }, { IDC_EFFECT_SIMPLE, 12 },
    { IDC_SKIP_VIDEOS, 13 },    { IDC_DISABLE_SOUND, 14 },  { IDC_DISABLE_BGM, 15 },
};

// "L2" (1050), "Select" (1053) and "Start" (1054) have no tooltip; the four
// analog boxes share one text.
const TooltipEntry AssignTooltips[TOOLTIP_ROWS] = {
    { 1041, 20 }, { 1042, 21 }, { 1043, 22 }, { 1044, 23 }, { 1045, 24 },
    { 1046, 25 }, { 1047, 26 }, { 1048, 27 }, { 1049, 28 }, { 1051, 29 },
    { 1052, 30 }, { 1057, 31 }, { 1058, 31 }, { 1059, 31 }, { 1060, 31 },
};

void AddControlTooltip(HWND control, const char *text)
{
    HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               control, NULL, ModuleInstance, NULL);
    // Multi-line: a text breaks only where it would be wider than the screen.
    SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN));
    AddControlTool(tip, control, text);
}

void AddControlTool(HWND tip, HWND control, const char *text)
{
    TOOLINFOA info;
    memset(&info, 0, sizeof info);
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = control;
    info.uId = (UINT_PTR)control;
    info.lpszText = (LPSTR)text;
    SendMessageA(tip, TTM_ADDTOOLA, 0, (LPARAM)&info);
}

void AddPageTooltips(HWND page, const TooltipEntry *table, int rows)
{
    // One buffer serves every row: the tooltip keeps its own copy.
    char text[1024];
    for (int i = 0; i < rows; ++i) {
        text[0] = '\0';
        LoadStringA(ModuleInstance, table[i].string_id, text, sizeof text);
        AddControlTooltip(GetDlgItem(page, table[i].control_id), text);
    }
}
