// Pad layouts: where a pad has the buttons the game's buttons stand for,
// read from mappings in SDL's format ("GUID,name,a:b0,dpup:h0.1,...,
// platform:Windows,"), and the PadBinding codes they give a player's lists.
// A pad's mapping comes, first match first, from the player's own
// gamecontrollerdb.txt in the current folder, from the fixed mapping of an
// XInput pad, or from the built-in lines of SDL_GameControllerDB.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "input/assign_index.h"
#include "input/input.h"

// The player's file, and how much of it is read at most.
#define PAD_MAPPING_FILE "gamecontrollerdb.txt"
#define PAD_MAPPING_FILE_MAX (1024 * 1024)

// One mapping element: a button, a hat direction, an axis or one half of
// it. Numbers are as the line has them (zero-based); a pad may lack them.
enum PadElementKind : uint8_t {
    PAD_ELEMENT_NONE, PAD_ELEMENT_BUTTON, PAD_ELEMENT_HAT, PAD_ELEMENT_AXIS,
    PAD_ELEMENT_AXIS_LOW, PAD_ELEMENT_AXIS_HIGH,
};
struct PadMappingElement {
    uint8_t kind;       // PadElementKind
    uint8_t number;     // button, hat or axis number
    uint8_t detail;     // a hat's direction mask; 1 for an inverted (~) axis
};

// The roles of a mapping that the tool reads: the game's buttons go on
// them, and the pad's inputs are named by them. SDL's a, b, x and y are
// positions: the bottom, right, left and top face buttons on every pad.
enum PadRole {
    PAD_ROLE_A, PAD_ROLE_B, PAD_ROLE_X, PAD_ROLE_Y,
    PAD_ROLE_LEFTSHOULDER, PAD_ROLE_RIGHTSHOULDER, PAD_ROLE_LEFTTRIGGER, PAD_ROLE_RIGHTTRIGGER,
    PAD_ROLE_BACK, PAD_ROLE_START, PAD_ROLE_LEFTSTICK, PAD_ROLE_RIGHTSTICK, PAD_ROLE_GUIDE,
    PAD_ROLE_DPUP, PAD_ROLE_DPDOWN, PAD_ROLE_DPLEFT, PAD_ROLE_DPRIGHT,
    // The stick axes, which a line may also give as halves ("-leftx").
    PAD_ROLE_LEFTX, PAD_ROLE_LEFTY, PAD_ROLE_RIGHTX, PAD_ROLE_RIGHTY,
    PAD_ROLES,
    PAD_ROLE_STICK_FIRST = PAD_ROLE_LEFTX,
};
#define PAD_STICK_AXES (PAD_ROLES - PAD_ROLE_STICK_FIRST)

// What a mapping says: the element of each role, and of each half of a
// stick axis ("-lefty" and "+lefty", the lower and the upper half).
struct PadMapping {
    PadMappingElement role[PAD_ROLES];
    PadMappingElement half[PAD_STICK_AXES][2];
};

// In a text of mapping lines (a player's file), the last line for the
// Windows platform whose GUID names this USB vendor and product; its
// elements into mapping. False when no line does.
bool FindPadMappingInText(const char *text, size_t length, uint16_t vendor, uint16_t product,
                          PadMapping &mapping);
// The same among the built-in lines.
bool FindBuiltInPadMapping(uint16_t vendor, uint16_t product, PadMapping &mapping);
// How many built-in lines there are, and the vendor and product of one.
int BuiltInPadMappingCount();
void BuiltInPadMappingIds(int line, uint16_t &vendor, uint16_t &product);

// The codes a mapping gives the lists of a pad with these capabilities: row
// receives one code per AssignIndex, PAD_BINDING_NONE for a role without an
// element or whose input the pad lacks or a code cannot hold.
void PadMappingCodes(const PadMapping &mapping, const PadCapsRecord &caps, int pad,
                     uint32_t row[ASSIGN_COUNT]);

// The name the pad's maker gives each input that the mapping names, on a
// pad with these capabilities in slot pad: PlayStation's names for vendor
// 054C, Nintendo's for 057E, Xbox's for any other. name(code, text) is
// called for each, text the name's string in the string table; an input
// named twice keeps its first name.
void NamePadInputs(const PadMapping &mapping, const PadCapsRecord &caps, int pad, uint16_t vendor,
                   void (*name)(uint32_t code, uint16_t text));

// Whether the layout puts the left and the right trigger on the two ends
// of one axis, as every XInput pad has them on Z (LT on its upper end, RT
// on its lower): pulled together, the axis reads as at rest. Their codes on
// a pad with these capabilities in slot pad, and the strings of their
// names, left trigger first.
bool PadTriggersShareAxis(const PadMapping &mapping, const PadCapsRecord &caps, int pad,
                          uint16_t vendor, uint32_t codes[2], uint16_t names[2]);

// Where each pad's layout was found.
enum PadLayoutSource {
    PAD_LAYOUT_NONE,          // no usable pad in the slot
    PAD_LAYOUT_UNKNOWN,       // a pad whose layout no source knows
    PAD_LAYOUT_PLAYER_FILE,
    PAD_LAYOUT_XINPUT,
    PAD_LAYOUT_BUILT_IN,
};
struct PadLayoutRecord {
    PadLayoutSource source;
    uint16_t vendor;   // the pad's USB vendor id, which tells how it names its inputs
    PadMapping mapping;
};
// What the player's file looks like now (its size and time of last write),
// 0 when there is none: a cheap look, to know when to find layouts again.
uint32_t PadMappingFileStamp();

// Finds the layout of the pad in each slot now; the player's file is read
// (once, for both pads) only when a usable pad is attached.
void FindPadLayouts(PadLayoutRecord layouts[PAD_SLOTS]);
