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
// analog boxes share one text. Then "Assign All", on both pages, and "Pad
// Layout", the gamepad page's alone.
const TooltipEntry AssignTooltips[PAD_TOOLTIP_ROWS] = {
    { 1041, 20 }, { 1042, 21 }, { 1043, 22 }, { 1044, 23 }, { 1045, 24 },
    { 1046, 25 }, { 1047, 26 }, { 1048, 27 }, { 1049, 28 }, { 1051, 29 },
    { 1052, 30 }, { 1057, 31 }, { 1058, 31 }, { 1059, 31 }, { 1060, 31 },
    { IDC_ASSIGN_ALL, 33 }, { IDC_PAD_LAYOUT, 32 },
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

// A control with a tooltip, whose mouse messages the tooltip must see. The
// tooltip could watch them itself (TTF_SUBCLASS), but it does so through
// SetWindowSubclass, and under Wine every message to a window subclassed
// that way costs a wineserver round trip: some 200 us against 1 us
// measured on a list, and the assignment lists get many messages (filled,
// loaded, captured into, marked, rebuilt when pads come and go). So the
// control's window procedure is replaced by one that hands the tooltip
// each mouse message (TTM_RELAYEVENT) and passes everything on.
struct RelayedControl {
    HWND control;
    HWND tip;
    WNDPROC next;   // the control's own procedure; NULL in a second record
};
// More than the sheet's pages have tooltips; a control's records are freed
// when the control is destroyed.
static RelayedControl Relayed[64];

static LRESULT CALLBACK RelayToTooltip(HWND control, UINT message, WPARAM wparam, LPARAM lparam)
{
    WNDPROC next = NULL;
    bool mouse = message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
    DWORD at = mouse ? GetMessagePos() : 0;
    MSG msg = { control, message, wparam, lparam, mouse ? (DWORD)GetMessageTime() : 0,
                { (short)LOWORD(at), (short)HIWORD(at) } };
    for (RelayedControl &r : Relayed) {
        if (r.control != control)
            continue;
        if (r.next)
            next = r.next;
        if (mouse)
            SendMessageW(r.tip, TTM_RELAYEVENT, 0, (LPARAM)&msg);
        else if (message == WM_NCDESTROY)
            memset(&r, 0, sizeof r);
    }
    if (!next)
        return DefWindowProcW(control, message, wparam, lparam);
    if (message == WM_NCDESTROY)
        SetWindowLongPtrW(control, GWLP_WNDPROC, (LONG_PTR)next);
    return CallWindowProcW(next, control, message, wparam, lparam);
}

// Relays the control's mouse messages to tip; false when no record is free.
static bool RelayMouseMessages(HWND control, HWND tip)
{
    RelayedControl *slot = NULL;
    bool relayed = false;
    for (RelayedControl &r : Relayed) {
        if (r.control == control)
            relayed = true;
        else if (!slot && !r.control)
            slot = &r;
    }
    if (!slot)
        return false;
    slot->control = control;
    slot->tip = tip;
    slot->next = relayed ? NULL
                         : (WNDPROC)SetWindowLongPtrW(control, GWLP_WNDPROC, (LONG_PTR)RelayToTooltip);
    return true;
}

void AddControlTool(HWND tip, HWND control, const char *text)
{
    TOOLINFOA info;
    memset(&info, 0, sizeof info);
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = control;
    info.uId = (UINT_PTR)control;
    info.lpszText = (LPSTR)text;
    if (!SendMessageA(tip, TTM_ADDTOOLA, 0, (LPARAM)&info))
        return;
    // With no record free the tooltip watches the control itself.
    if (!RelayMouseMessages(control, tip)) {
        SendMessageA(tip, TTM_DELTOOLA, 0, (LPARAM)&info);
        info.uFlags |= TTF_SUBCLASS;
        SendMessageA(tip, TTM_ADDTOOLA, 0, (LPARAM)&info);
    }
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

static PendingTooltips *PendingFor(HWND page)
{
    for (PendingTooltips &p : Pending) {
        if (p.page == page)
            return &p;
    }
    return NULL;
}

// Makes up to rows more of a page's pending tooltips; the last ones free
// the record and stop the timer.
static void AddPendingRows(PendingTooltips &p, int rows)
{
    HWND page = p.page;
    int end = rows < p.rows - p.next ? p.next + rows : p.rows;
    AddTooltipRows(page, p.table, p.next, end);
    p.next = end;
    if (p.next < p.rows)
        return;
    p.page = NULL;
    KillTimer(page, TooltipTimer);
}

static VOID CALLBACK AddPendingTooltips(HWND page, UINT, UINT_PTR, DWORD)
{
    if (PendingTooltips *p = PendingFor(page))
        AddPendingRows(*p, TooltipSlice);
    else
        KillTimer(page, TooltipTimer);
}

void FinishPageTooltips(HWND page)
{
    if (PendingTooltips *p = PendingFor(page))
        AddPendingRows(*p, p->rows);
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
