// The gamepad page's lists (pages/pad_lists.cpp): their entries, and
// showing and reading codes in them.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "input/assign_index.h"

// The list of an AssignIndex; NULL for the ids without a control, and every
// message sent to NULL does nothing and returns 0, as for such an id.
HWND PadList(HWND page, int assignIndex);
// The code of the selected entry: PAD_BINDING_NONE (CB_ERR) for a list
// without a selection, 0 for an id without a control.
uint32_t SelectedPadCode(HWND list);
// What a choice by code looks like to the user: the list closes, then
// shows the entry of the code whose label this is, if it has one.
void ShowPadLabel(HWND list, const char *label);

// Makes every list hold the entries of the pads as they are now, named by
// their layouts (PadLayouts).
// listsEmpty: the lists hold nothing yet.
void FillPadLists(HWND page, bool listsEmpty);
// Shows a row of codes in the lists. A code without an entry keeps its own
// entry when it has the tool's shape. A code of another shape (from a
// damaged file) shows the entry with the same label where there is one
// (0x01000020 is labelled "1BUTTON1") and otherwise "None" (0x0200000C,
// labelled "1POV Up", which no entry is).
void ShowPadRow(HWND page, const uint32_t row[ASSIGN_COUNT]);
// Closes the drop-down part of the focused list, the only one that can
// show it, before the lists change under it.
void CloseFocusedDropDown(HWND page);
