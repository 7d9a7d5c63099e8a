// Which pad was pad 1 and which pad 2 when the settings were last saved.
// DirectInput numbers the pads in the order it lists them, which is not
// the players' own: a pad plugged into another port, one reconnected or
// switched on later, and Windows lists them the other way round, so that
// each player gets the other's pad. A save writes what tells the attached
// pads apart into config-pads.ini beside setting.cfg; the tool reads it at
// start and compares the pads with it after every pad change, so that the
// gamepad page can say when they are listed the other way round ("Swap
// Pads" then gives each player their pad back). The tool never swaps by
// itself: a player may have swapped the pads on purpose.
//
// The file is a hint, never a risk: it is read within PAD_ORDER_FILE_MAX
// bytes, a missing, damaged or larger one is ignored, and a failure to
// write it shows nothing. It holds nothing but the pads' identities, a
// section per pad in slot order:
//
//     [Pad1]
//     Path=\\?\hid#vid_045e&pid_028e&ig_00#...
//     Instance={5A000001-0000-0000-0000-000000000000}
//     VidPid=045E:028E
//     Name=Xbox 360 Controller
//     [Pad2]
//     ...
//
// Two identical sticks differ by their paths. Pads that cannot be told
// apart (identical ones on other ports) count as in the saved order.
#pragma once
#include <windows.h>
#include <stdint.h>

#define PAD_ORDER_FILE "config-pads.ini"
#define PAD_ORDER_FILE_MAX 4096

// What tells a pad apart: its device path, its instance GUID, its USB ids
// and its product name (UTF-8). A field the file or the device does not
// give is empty.
struct PadIdentity {
    bool known;
    WCHAR path[MAX_PATH];
    bool hasInstance;
    GUID instance;
    bool hasIds;
    uint16_t vendor, product;
    char name[3 * MAX_PATH];
};

// The pads as the file names them (in slot order), what the last
// comparison found, and whether the player swapped the pads since the last
// save.
struct PadOrderRecord {
    PadIdentity saved[2];
    bool reversed;
    bool swapped;
};
extern PadOrderRecord PadOrder;

// Reads the file and compares the attached pads with it: at start, and
// after every pad change.
void ReadPadOrder();
// Writes the attached pads' identities, once setting.cfg is saved: they
// are then in their saved order.
void WritePadOrder();
// The player gave each player the other pad (Swap Pads): until the next
// save, the saved order counts the other way round.
void NotePadsSwapped();
// Whether the attached pads are the saved ones listed the other way round
// (after the swaps since the last save). False when they are in the saved
// order, when either pad or the file is missing, and when it cannot be
// told. A cheap read of what the last comparison found.
bool PadsListedReversed();
