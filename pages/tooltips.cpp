// Installing the pages' tooltips.
#include "pages/tooltips.h"

#include <commctrl.h>
#include <stddef.h>
#include <string.h>

#include "pages/page_common.h"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(TTTOOLINFOA, lParam) + sizeof(LPARAM) == 44,
              "32-bit tool record (TTTOOLINFOA_V2_SIZE) is 44 bytes");
#endif

// The braces are looked for a character at a time, never a byte: in a
// double-byte code page such as Japanese (932) the second byte of a
// character may be '{' or '}' ("ボ" is 0x83 0x7B, "マ" 0x83 0x7D).

// The text a tooltip shows: its string without the braces.
static void LoadTooltipText(HWND page, int stringId, char *buffer, int size)
{
    LoadPageText(page, stringId, buffer, size);
    char *out = buffer;
    for (const char *in = buffer; *in;) {
        const char *next = CharNextA(in);
        if (*in == '{' || *in == '}')
            in = next;
        while (in < next)
            *out++ = *in++;
    }
    *out = '\0';
}

// The first c, a character of one byte, in text; NULL when there is none.
static const char *FindCharacter(const char *text, char c)
{
    for (; *text; text = CharNextA(text)) {
        if (*text == c)
            return text;
    }
    return NULL;
}

bool LoadTooltipMark(HWND page, int stringId, char *buffer, int size)
{
    LoadPageText(page, stringId, buffer, size);
    const char *open = FindCharacter(buffer, '{');
    const char *close = open ? FindCharacter(open, '}') : NULL;
    if (!close) {
        buffer[0] = '\0';
        return false;
    }
    size_t length = close - open - 1;
    memmove(buffer, open + 1, length);
    buffer[length] = '\0';
    return true;
}

void AddControlTooltip(HWND control, const char *text)
{
    HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control,
                               NULL, (HINSTANCE)GetWindowLongPtrA(control, GWLP_HINSTANCE), NULL);
    // Multi-line: a text breaks only where it would be wider than the screen.
    SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN));
    AddControlTool(tip, control, text);
}

// The tooltip watches the control's mouse messages itself (TTF_SUBCLASS,
// through SetWindowSubclass).
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
        LoadTooltipText(page, table[i].string_id, text, sizeof text);
        AddControlTooltip(GetDlgItem(page, table[i].control_id), text);
    }
}

static void AddPageTooltips(HWND page, const TooltipEntry *table, int rows)
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
// Rows per slice: 7 to 25 ms here under Wine, far less on Windows; a few
// slices make a page's tooltips.
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
