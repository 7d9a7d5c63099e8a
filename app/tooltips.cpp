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

static void AddTooltipRows(HWND page, const TooltipEntry *table, int first, int end)
{
    // One buffer serves every row: the tooltip keeps its own copy.
    char text[1024];
    for (int i = first; i < end; ++i) {
        text[0] = '\0';
        LoadStringA(ModuleInstance, table[i].string_id, text, sizeof text);
        AddControlTooltip(GetDlgItem(page, table[i].control_id), text);
    }
}

void AddPageTooltips(HWND page, const TooltipEntry *table, int rows)
{
    AddTooltipRows(page, table, 0, rows);
}

// The pages whose tooltips are still being made: one record per page of
// the sheet. A record whose page is gone (a closed sheet) is free again.
struct PendingTooltips {
    HWND page;
    const TooltipEntry *table;
    int rows;
    int next;
};
static PendingTooltips Pending[SHEET_PAGE_COUNT];
static const UINT_PTR TooltipTimer = 0x7017;
// USER_TIMER_MINIMUM: the first slice comes as soon as the page is painted.
static const UINT TooltipPeriod = 10;
// Rows per slice: 7 to 25 ms here under Wine, far less on Windows; three
// slices make a page's 15 tooltips.
static const int TooltipSlice = 5;

static VOID CALLBACK AddPendingTooltips(HWND page, UINT, UINT_PTR, DWORD)
{
    for (PendingTooltips &p : Pending) {
        if (p.page != page)
            continue;
        int end = p.next + TooltipSlice < p.rows ? p.next + TooltipSlice : p.rows;
        AddTooltipRows(page, p.table, p.next, end);
        p.next = end;
        if (p.next < p.rows)
            return;
        p.page = NULL;
        break;
    }
    KillTimer(page, TooltipTimer);
}

void AddPageTooltipsAfterShown(HWND page, const TooltipEntry *table, int rows)
{
    PendingTooltips *slot = NULL;
    for (PendingTooltips &p : Pending) {
        if (p.page == page || !p.page || !IsWindow(p.page)) {
            slot = &p;
            break;
        }
    }
    // No record free (more pages than the sheet has) or no timer: made now.
    if (!slot || !SetTimer(page, TooltipTimer, TooltipPeriod, AddPendingTooltips)) {
        AddPageTooltips(page, table, rows);
        return;
    }
    *slot = PendingTooltips{ page, table, rows, 0 };
}
