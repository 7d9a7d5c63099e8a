// "Assign All" on an assignment page: one pass over the shown player's
// lists in their order (Up ... Right(A)), each list taking the next input
// the player presses. A list takes an input as a capture does; the focus
// moves on once that input is let go. An input already held when a list
// gets the focus is taken only after it was let go and pressed again, and
// an input the pass gave to an earlier list is not taken again (the line
// says so), so a stuck key, a resting trigger, a double press or a
// bouncing button fill no list. Tab skips a list, Esc ends the pass (the
// sheet stays open), Enter does nothing. The pass also ends after the last
// list and when the focus leaves the lists (a click elsewhere, a player
// switch, another page). There is no time limit. Its state is the page
// record's (AssignPage::pass).
#pragma once
#include <windows.h>

#include "pages/assign_lists.h"

// "Assign All": a pass starts at the page's first list, or starts again.
void StartAssignPass(AssignPage &page);
// Ends the page's pass if one runs; what it assigned stays.
void EndAssignPass(AssignPage &page);
// WM_COMMAND of the page, before the page's own handling: a command of any
// control but a list (a click) ends a pass; a list that got the focus
// (CBN_SETFOCUS) is where the pass goes on when it is the next one (Tab),
// and ends it when it is any other.
void AssignPassCommand(AssignPage &page, int id, int notification);
// The page's capture tick: false when no pass runs on the page (the tick
// then captures as usual), true when the pass took the tick.
bool AssignPassTick(AssignPage &page);
