// What both assignment pages do alike with their messages; each page's
// dialog procedure hands them on, and adds what is its own.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "pages/assign_lists.h"

// WM_INITDIALOG: the record takes the page, the lists are filled, the
// radio button of the shown player is checked, that player's row is
// shown, and the page's tooltips follow once it is shown.
void OpenAssignPage(AssignPage &page, const AssignPageKind &kind, HWND window);
// WM_COMMAND: "Assign All", the player buttons, "Reset to Default" and a
// choice in a list (CBN_SELCHANGE), which marks the sheet changed. Any
// command ends a running pass as the pass says.
void AssignPageCommand(AssignPage &page, int id, int notification);
// WM_NOTIFY: the capture timer runs from PSN_SETACTIVE to PSN_KILLACTIVE,
// where a pass of "Assign All" ends and the device is given up; PSN_APPLY
// stores the shown player's row, then saves. Returns the dialog
// procedure's result.
INT_PTR AssignPageNotify(AssignPage &page, const NMHDR *header);
// WM_TIMER, the capture tick: the pass's, or else a capture of the input
// held into the focused list; then the pressed marks, whichever list has
// the focus.
void AssignPageTick(AssignPage &page);
