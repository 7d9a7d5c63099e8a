// Watching for pads plugged in or removed while the tool runs, and for the
// player's pad layout file changing, so that the gamepad page can follow.
//
// A new pad shows only in DirectInput's enumeration, which costs a few ms
// under Wine and 15 to 85 ms on typical Windows machines, and DirectInput
// may list a pad a moment after the system's device notice. So the pads
// are looked for:
// - about 0.3 s and again about 2 s after the latest device notice that
//   the sheet gets, whichever page is shown (as SDL does);
// - while the gamepad page is shown: at its first tick after it became
//   active, whenever the system's device list changed (a cheap look every
//   half second), and unasked as often as the enumeration's own cost
//   allows (at most every 0.9 s and 1/4000 of the time), but at least
//   every 4 s, since Wine does not always tell the sheet.
// Each pad's layout is found when the gamepad page is made, whenever the
// pads change while the page exists, and when the player's file changes.
#pragma once
#include <windows.h>

#include "input/pad_layout.h"

// What changed, as a PadWatchHandler is told.
#define PAD_WATCH_DEVICES 0x1   // the pads were opened again (PadDevices, PadCaps, PadNames)
#define PAD_WATCH_LAYOUTS 0x2   // PadLayouts were found again
typedef void (*PadWatchHandler)(int changes);

// Each pad's layout and where it came from; PAD_LAYOUT_NONE for both until
// they are first found.
extern PadLayoutRecord PadLayouts[PAD_SLOTS];

// The gamepad page is being made: the layouts are found now, and the page
// is told of changes from now on.
void StartPadWatch(PadWatchHandler handler);
// The sheet got a device notice (WM_DEVICECHANGE): the pads are looked for
// about 0.3 s and 2 s later, by timers on the sheet window. A later notice
// restarts both, so a burst of notices costs two looks.
void NoticeDeviceChange(HWND sheet);
// Looks for changed pads now, as the looks after a notice do; the pads are
// opened again when they changed, and compared with their saved order.
void NoticePadChanges();
// The gamepad page became the active page: the pads are looked for at its
// next tick (pads plugged in meanwhile show at once).
void WatchPadsFromNextTick();
// Every capture tick of the gamepad page.
void PadWatchTick();
// Finds each pad's layout now, as "Pad Layout" needs it; tells the page
// when one changed.
void FindPadLayoutsNow();
