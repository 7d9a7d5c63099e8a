// The gamepad page's lists (pages/pad_lists.cpp): their entries, showing
// codes in them, and the AnalogGroup rule.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "pages/assign_lists.h"

// Makes every list hold the entries of the pads as they are now, named by
// their layouts (PadLayouts).
// listsEmpty: the lists hold nothing yet.
void FillPadLists(HWND page, bool listsEmpty);
// Shows a row's code in a list. A code without an entry keeps its own
// entry when it has the tool's shape. A code of another shape (from a
// damaged file) shows the entry with the same label where there is one
// (0x01000020 is labelled "1BUTTON1") and otherwise "None" (0x0200000C,
// labelled "1POV Up", which no entry is).
void ShowPadValue(HWND list, uint32_t code);
// A code captured into the list of AssignIndex a, or chosen in an
// AnalogGroup's list: the list closes and shows it if it has an entry, in
// an AnalogGroup by the group's rule. True when a list now shows something
// else than the page's marks last took.
bool ShowPadInput(AssignPage &page, int a, uint32_t code);
// The AnalogGroup rule for a choice or capture of code in the list of
// assignIndex, which is 16 or more: an axis or slider end fills both ends
// of it, a hat direction all four directions of that hat, and a button
// or "None" removes every hat direction from the group and an axis or
// slider end from its pair partner.
void ApplyAnalogGroupRule(HWND page, int assignIndex, uint32_t code);
// Closes the drop-down part of the focused list, the only one that can
// show it, before the lists change under it.
void CloseFocusedDropDown(HWND page);
