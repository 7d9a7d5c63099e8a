// What the pages do alike: marking the sheet changed, saving, loading the
// texts of the string table, drawing a static control marked, and finding
// an assignment page's lists.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "input/assign_index.h"
#include "res/resource.h"

// The sheet's pages: Graphic/Audio, Keyboard, Gamepad.
#define SHEET_PAGE_COUNT 3

static_assert(IDC_ASSIGN_LAST - IDC_ASSIGN_FIRST + 1 == ASSIGN_COUNT,
              "an assignment id for every AssignIndex");

// Enables the sheet's Apply button on behalf of a page.
void MarkSheetChanged(HWND page);
// A page's PSN_APPLY: writes the whole settings file. When the file cannot
// be written the page tells the user once and keeps the sheet open, so the
// choices are not lost. Returns the dialog procedure's result.
INT_PTR SaveSettingsForPage(HWND page);

// A text of the string table, in the language Windows chose for the tool's
// resources, into buffer (size bytes): always terminated, empty when there
// is no such string. Returns buffer.
char *LoadPageText(HWND page, UINT id, char *buffer, int size);

// How a static control is drawn: its LABEL_ marks. WM_CTLCOLORSTATIC of a
// page for such a control: the warning colour while LABEL_DUPLICATE (an
// input assigned twice), the selection colours while LABEL_PRESSED (its
// input is pressed, which wins); 0 (the dialog's default colours) for
// marks 0.
#define LABEL_DUPLICATE 0x1
#define LABEL_PRESSED   0x2
INT_PTR MarkedStaticColours(HWND page, HDC dc, HWND control, uint8_t marks);

// The list of an AssignIndex on an assignment page; NULL for the ids
// without a control, and every message sent to NULL does nothing and
// returns 0, as for such an id.
HWND AssignList(HWND page, int assignIndex);
// The AssignIndex of the list that has the keyboard focus, or -1 when no
// list of the page has it (ids without a control never match).
int FocusedAssignIndex(HWND page);
// Switches redrawing of the page's assignment lists off (while they are
// filled) or on again. With it off, a row added to a list does not update
// the list's scroll range and invalidate it each time: under Wine that was
// half of an assignment page's first showing.
void SetAssignListsRedraw(HWND page, BOOL redraw);
