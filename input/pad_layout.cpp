// Pad layouts from mappings in SDL's format: one parser for the player's
// own lines and the built-in ones, the search for a pad's line, and the
// codes a mapping gives the gamepad lists.
#include "input/pad_layout.h"

#include <windows.h>
#include <string.h>

#include "input/text_lines.h"
#include "input/pad_binding.h"
#include "res/resource.h"

// A built-in line: its GUID's 16 bytes and where its elements begin in
// PadMappingElements (made from the database by cmake/pad_mappings.cmake).
struct BuiltInPadMapping {
    uint8_t guid[16];
    uint16_t elements;
};
#include "pad_mappings.inc"

// The makers' names for the roles, by family: Xbox, PlayStation, Nintendo.
enum PadFamily { PAD_XBOX, PAD_PLAYSTATION, PAD_NINTENDO, PAD_FAMILIES };

// Each role (PadRole order): its name in a line, the one letter that
// stands for it in the built-in table (cmake/pad_mappings.cmake writes
// 'A' + its place here), the list the game's button on it goes into (-1:
// none) and the makers' names of its input (strings of the string table).
// The stick axes are named by their ends (IDS_PAD_STICK_FIRST on).
struct PadMappingRole {
    const char *name;
    int8_t list;
    uint16_t names[PAD_FAMILIES];
};
static const PadMappingRole PadMappingRoles[PAD_ROLES] = {
    { "a", ASSIGN_CROSS, { IDS_PAD_A, IDS_PAD_CROSS, IDS_PAD_B } },
    { "b", ASSIGN_CIRCLE, { IDS_PAD_B, IDS_PAD_CIRCLE, IDS_PAD_A } },
    { "x", ASSIGN_SQUARE, { IDS_PAD_X, IDS_PAD_SQUARE, IDS_PAD_Y } },
    { "y", ASSIGN_TRIANGLE, { IDS_PAD_Y, IDS_PAD_TRIANGLE, IDS_PAD_X } },
    { "leftshoulder", ASSIGN_L1, { IDS_PAD_LB, IDS_PAD_L1, IDS_PAD_L } },
    { "rightshoulder", ASSIGN_R1, { IDS_PAD_RB, IDS_PAD_R1, IDS_PAD_R } },
    { "lefttrigger", ASSIGN_L2, { IDS_PAD_LT, IDS_PAD_L2, IDS_PAD_ZL } },
    { "righttrigger", ASSIGN_R2, { IDS_PAD_RT, IDS_PAD_R2, IDS_PAD_ZR } },
    { "back", ASSIGN_SELECT, { IDS_PAD_VIEW, IDS_PAD_SHARE, IDS_PAD_MINUS } },
    { "start", ASSIGN_START, { IDS_PAD_MENU, IDS_PAD_OPTIONS, IDS_PAD_PLUS } },
    { "leftstick", -1, { IDS_PAD_LS, IDS_PAD_L3, IDS_PAD_LS } },
    { "rightstick", -1, { IDS_PAD_RS, IDS_PAD_R3, IDS_PAD_RS } },
    { "guide", -1, { IDS_PAD_GUIDE, IDS_PAD_PS, IDS_PAD_HOME } },
    { "dpup", ASSIGN_UP, { IDS_PAD_DPAD_UP, IDS_PAD_DPAD_UP, IDS_PAD_DPAD_UP } },
    { "dpdown", ASSIGN_DOWN, { IDS_PAD_DPAD_DOWN, IDS_PAD_DPAD_DOWN, IDS_PAD_DPAD_DOWN } },
    { "dpleft", ASSIGN_LEFT, { IDS_PAD_DPAD_LEFT, IDS_PAD_DPAD_LEFT, IDS_PAD_DPAD_LEFT } },
    { "dpright", ASSIGN_RIGHT, { IDS_PAD_DPAD_RIGHT, IDS_PAD_DPAD_RIGHT, IDS_PAD_DPAD_RIGHT } },
    { "leftx", -1, {} },
    { "lefty", -1, {} },
    { "rightx", -1, {} },
    { "righty", -1, {} },
};
// The AnalogGroup takes the left stick: Y's ends in Up(A) and Down(A), X's
// in Left(A) and Right(A).
static const struct { PadRole axis; int firstList; } AnalogSticks[2] = {
    { PAD_ROLE_LEFTY, ASSIGN_UP_A }, { PAD_ROLE_LEFTX, ASSIGN_LEFT_A },
};

// What Windows and Wine show for every XInput pad: A B X Y LB RB View Menu
// LS RS, the sticks on X/Y and Rx/Ry, both triggers on Z, the D-pad on hat 1.
static const char XInputPadMapping[] =
    "a:b0,b:b1,x:b2,y:b3,leftshoulder:b4,rightshoulder:b5,back:b6,start:b7,leftstick:b8,"
    "rightstick:b9,lefttrigger:+a2,righttrigger:-a2,dpup:h0.1,dpright:h0.2,dpdown:h0.4,"
    "dpleft:h0.8,leftx:a0,lefty:a1,rightx:a3,righty:a4";

static bool SameText(const char *text, size_t length, const char *word)
{
    return strlen(word) == length && memcmp(text, word, length) == 0;
}

// A number of at most three digits that is at most 255, taken from
// text[*at]; false for anything else (no digits, more, or larger).
static bool TakeNumber(const char *text, size_t length, size_t *at, uint8_t *number)
{
    unsigned value = 0;
    size_t start = *at;
    while (*at < length && text[*at] >= '0' && text[*at] <= '9' && *at - start < 4)
        value = value * 10 + (unsigned)(text[(*at)++] - '0');
    if (*at == start || *at - start > 3 || value > 255)
        return false;
    *number = (uint8_t)value;
    return true;
}

// "b3", "h0.4", "a2", "+a2", "-a1", "a3~"; false for anything else.
static bool ParseElement(const char *text, size_t length, PadMappingElement &element)
{
    PadMappingElement e = { PAD_ELEMENT_NONE, 0, 0 };
    size_t at = 0;
    if (length < 2)
        return false;
    if (text[0] == 'b') {
        at = 1;
        e.kind = PAD_ELEMENT_BUTTON;
        if (!TakeNumber(text, length, &at, &e.number))
            return false;
    } else if (text[0] == 'h') {
        at = 1;
        e.kind = PAD_ELEMENT_HAT;
        if (!TakeNumber(text, length, &at, &e.number) || at >= length || text[at++] != '.' ||
            !TakeNumber(text, length, &at, &e.detail))
            return false;
    } else {
        e.kind = PAD_ELEMENT_AXIS;
        if (text[0] == '+' || text[0] == '-')
            e.kind = text[at++] == '+' ? PAD_ELEMENT_AXIS_HIGH : PAD_ELEMENT_AXIS_LOW;
        if (at >= length || text[at++] != 'a' || !TakeNumber(text, length, &at, &e.number))
            return false;
        if (at < length && text[at] == '~') {
            e.detail = 1;
            ++at;
        }
    }
    if (at != length)
        return false;
    element = e;
    return true;
}

// Calls take(field, length) for each comma-separated field of the text.
template <typename Take> static void ForEachField(const char *text, size_t length, Take take)
{
    size_t start = 0;
    while (start < length) {
        const char *comma = (const char *)memchr(text + start, ',', length - start);
        size_t end = comma ? (size_t)(comma - text) : length;
        take(text + start, end - start);
        start = end + 1;
    }
}

// The role a field names ("leftx", or its letter in the built-in table),
// or PAD_ROLES.
static int FindRole(const char *text, size_t length)
{
    for (int r = 0; r < PAD_ROLES; ++r) {
        if (SameText(text, length, PadMappingRoles[r].name) || (length == 1 && text[0] == 'A' + r))
            return r;
    }
    return PAD_ROLES;
}

// Reads the elements of a mapping ("a:b0,b:b1,...", up to length bytes, or
// a whole line's third field on). Unknown roles, "platform" among them, are
// ignored; a damaged element leaves its role empty.
static void ParsePadMapping(const char *elements, size_t length, PadMapping &mapping)
{
    memset(&mapping, 0, sizeof mapping);
    ForEachField(elements, length, [&](const char *field, size_t fieldLength) {
        const char *colon = (const char *)memchr(field, ':', fieldLength);
        if (!colon)
            return;
        size_t roleLength = (size_t)(colon - field);
        // A half of a stick axis: "-lefty", "+lefty".
        char sign = roleLength > 1 && (field[0] == '-' || field[0] == '+') ? field[0] : 0;
        int r = sign ? FindRole(field + 1, roleLength - 1) : FindRole(field, roleLength);
        if (r == PAD_ROLES || (sign && r < PAD_ROLE_STICK_FIRST))
            return;
        PadMappingElement &target = sign ? mapping.half[r - PAD_ROLE_STICK_FIRST][sign == '+']
                                         : mapping.role[r];
        PadMappingElement element = { PAD_ELEMENT_NONE, 0, 0 };
        ParseElement(colon + 1, fieldLength - roleLength - 1, element);
        target = element;   // a damaged element leaves the role empty
    });
}

// Whether a GUID names a USB pad: bus 03 in bytes 0-1, the vendor and
// product little-endian in bytes 4-5 and 8-9. A name CRC in bytes 2-3 and a
// version in bytes 12-13 are ignored, as SDL ignores them.
static bool GuidNamesPad(const uint8_t guid[16], uint16_t vendor, uint16_t product)
{
    return guid[0] == 0x03 && guid[1] == 0 && guid[4] == (vendor & 0xFF) &&
           guid[5] == (vendor >> 8) && guid[8] == (product & 0xFF) && guid[9] == (product >> 8);
}

bool FindPadMappingInText(const char *text, size_t length, uint16_t vendor, uint16_t product,
                          PadMapping &mapping)
{
    const char *found = NULL;
    size_t foundLength = 0;
    ForEachLine(text, length, [&](const char *line, size_t lineLength) {
        // GUID, name, then the elements: a line without all three, or whose
        // first field is not 32 hexadecimal digits, is skipped.
        if (lineLength < 34 || line[32] != ',')
            return;
        // The bytes that name the pad first (most lines name another), then
        // the rest of the GUID.
        uint8_t guid[16] = {};
        bool hex = true;
        static const uint8_t Order[16] = { 0, 1, 4, 5, 8, 9, 2, 3, 6, 7, 10, 11, 12, 13, 14, 15 };
        for (int k = 0; k < 16 && hex; ++k) {
            int i = Order[k];
            int high = HexDigit(line[2 * i]), low = HexDigit(line[2 * i + 1]);
            hex = high >= 0 && low >= 0;
            guid[i] = (uint8_t)(high * 16 + low);
            if (k == 5 && hex && !GuidNamesPad(guid, vendor, product))
                hex = false;
        }
        if (!hex)
            return;
        const char *nameEnd = (const char *)memchr(line + 33, ',', lineLength - 33);
        if (!nameEnd)
            return;
        const char *elements = nameEnd + 1;
        size_t elementsLength = lineLength - (size_t)(elements - line);
        bool windows = false;
        ForEachField(elements, elementsLength, [&](const char *field, size_t fieldLength) {
            windows = windows || SameText(field, fieldLength, "platform:Windows");
        });
        if (!windows)
            return;
        // A later line for the same pad replaces an earlier one.
        found = elements;
        foundLength = elementsLength;
    });
    if (!found)
        return false;
    ParsePadMapping(found, foundLength, mapping);
    return true;
}

bool FindBuiltInPadMapping(uint16_t vendor, uint16_t product, PadMapping &mapping)
{
    const BuiltInPadMapping *found = NULL;
    for (const BuiltInPadMapping &line : BuiltInPadMappings) {
        if (GuidNamesPad(line.guid, vendor, product))
            found = &line;
    }
    if (!found)
        return false;
    const char *elements = PadMappingElements + found->elements;
    ParsePadMapping(elements, strlen(elements), mapping);
    return true;
}

int BuiltInPadMappingCount()
{
    return (int)(sizeof BuiltInPadMappings / sizeof BuiltInPadMappings[0]);
}

void BuiltInPadMappingIds(int line, uint16_t &vendor, uint16_t &product)
{
    const uint8_t *guid = BuiltInPadMappings[line].guid;
    vendor = (uint16_t)(guid[4] | guid[5] << 8);
    product = (uint16_t)(guid[8] | guid[9] << 8);
}

// The axes a pad has, in the order SDL numbers them (X, Y, Z, Rx, Ry, Rz,
// slider 1, slider 2; absent ones close up), each as the code of its lower
// end: the upper end is that code plus 1.
struct PadAxisList {
    int count;
    uint32_t low[8];
};

static PadAxisList ListPadAxes(const PadCapsRecord &caps, int pad)
{
    PadAxisList axes = { 0, {} };
    const bool present[6] = { caps.HasX != 0, caps.HasY != 0, caps.HasZ != 0,
                              caps.HasRx != 0, caps.HasRy != 0, caps.HasRz != 0 };
    for (uint32_t axis = 0; axis < 6; ++axis) {
        if (present[axis])
            axes.low[axes.count++] = PadAxisCode(pad, 2 * axis);
    }
    for (uint32_t s = 0; s < caps.SliderCount && s < PAD_BINDING_SLIDERS; ++s)
        axes.low[axes.count++] = PadSliderCode(pad, s, 0);
    return axes;
}

static uint32_t AxisEnd(const PadAxisList &axes, uint8_t number, uint32_t upper)
{
    return number < axes.count ? PadBindingAtEnd(axes.low[number], upper) : PAD_BINDING_NONE;
}

// The code of a role that names one input: a button, a hat direction, or
// an axis end. A whole axis gives the end a trigger moves to from rest: the
// upper end, or the lower one when inverted.
static uint32_t ElementCode(const PadMappingElement &e, const PadCapsRecord &caps,
                            const PadAxisList &axes, int pad)
{
    switch (e.kind) {
    case PAD_ELEMENT_BUTTON:
        if (e.number < caps.ButtonCount && e.number < PAD_BINDING_BUTTONS)
            return PadButtonCode(pad, e.number);
        return PAD_BINDING_NONE;
    case PAD_ELEMENT_HAT: {
        if (e.number >= caps.PovCount || e.number >= PAD_BINDING_HATS)
            return PAD_BINDING_NONE;
        uint32_t direction = e.detail == 1 ? PAD_POV_UP : e.detail == 2 ? PAD_POV_RIGHT
                           : e.detail == 4 ? PAD_POV_DOWN : e.detail == 8 ? PAD_POV_LEFT : 4;
        if (direction > PAD_POV_RIGHT)
            return PAD_BINDING_NONE;
        return PadPovCode(pad, e.number, direction);
    }
    case PAD_ELEMENT_AXIS:
        return AxisEnd(axes, e.number, e.detail ? 0 : 1);
    case PAD_ELEMENT_AXIS_LOW:
        return AxisEnd(axes, e.number, 0);
    case PAD_ELEMENT_AXIS_HIGH:
        return AxisEnd(axes, e.number, 1);
    }
    return PAD_BINDING_NONE;
}

// The code of each end of a stick axis (lower, upper): from a half of the
// line where it has one, else from the whole axis, its lower end first,
// swapped when inverted.
static void StickEndCodes(const PadMapping &mapping, int axis, const PadCapsRecord &caps,
                          const PadAxisList &axes, int pad, uint32_t ends[2])
{
    const PadMappingElement &whole = mapping.role[PAD_ROLE_STICK_FIRST + axis];
    for (uint32_t end = 0; end < 2; ++end) {
        const PadMappingElement &half = mapping.half[axis][end];
        if (half.kind != PAD_ELEMENT_NONE)
            ends[end] = ElementCode(half, caps, axes, pad);
        else if (whole.kind == PAD_ELEMENT_AXIS)
            ends[end] = AxisEnd(axes, whole.number, end ^ whole.detail);
        else
            ends[end] = PAD_BINDING_NONE;
    }
}

void PadMappingCodes(const PadMapping &mapping, const PadCapsRecord &caps, int pad,
                     uint32_t row[ASSIGN_COUNT])
{
    PadAxisList axes = ListPadAxes(caps, pad);
    for (int a = 0; a < ASSIGN_COUNT; ++a)
        row[a] = PAD_BINDING_NONE;
    for (int r = 0; r < PAD_ROLES; ++r) {
        if (PadMappingRoles[r].list >= 0)
            row[PadMappingRoles[r].list] = ElementCode(mapping.role[r], caps, axes, pad);
    }
    for (const auto &stick : AnalogSticks)
        StickEndCodes(mapping, stick.axis - PAD_ROLE_STICK_FIRST, caps, axes, pad, &row[stick.firstList]);
}

static PadFamily FamilyOf(uint16_t vendor)
{
    return vendor == 0x054C ? PAD_PLAYSTATION : vendor == 0x057E ? PAD_NINTENDO : PAD_XBOX;
}

bool PadTriggersShareAxis(const PadMapping &mapping, const PadCapsRecord &caps, int pad,
                          uint16_t vendor, uint32_t codes[2], uint16_t names[2])
{
    PadAxisList axes = ListPadAxes(caps, pad);
    const PadRole triggers[2] = { PAD_ROLE_LEFTTRIGGER, PAD_ROLE_RIGHTTRIGGER };
    for (int t = 0; t < 2; ++t) {
        codes[t] = ElementCode(mapping.role[triggers[t]], caps, axes, pad);
        names[t] = PadMappingRoles[triggers[t]].names[FamilyOf(vendor)];
        if (!(codes[t] & PAD_BINDING_MOVING) || codes[t] == PAD_BINDING_NONE)
            return false;
    }
    return codes[0] != codes[1] && PadBindingAtEnd(codes[0], 0) == PadBindingAtEnd(codes[1], 0);
}

void NamePadInputs(const PadMapping &mapping, const PadCapsRecord &caps, int pad, uint16_t vendor,
                   void (*name)(uint32_t code, uint16_t text))
{
    PadFamily family = FamilyOf(vendor);
    PadAxisList axes = ListPadAxes(caps, pad);
    for (int r = 0; r < PAD_ROLE_STICK_FIRST; ++r) {
        uint32_t code = ElementCode(mapping.role[r], caps, axes, pad);
        if (code != PAD_BINDING_NONE)
            name(code, PadMappingRoles[r].names[family]);
    }
    for (int axis = 0; axis < PAD_STICK_AXES; ++axis) {
        uint32_t ends[2];
        StickEndCodes(mapping, axis, caps, axes, pad, ends);
        for (int end = 0; end < 2; ++end) {
            if (ends[end] != PAD_BINDING_NONE)
                name(ends[end], (uint16_t)(IDS_PAD_STICK_FIRST + 2 * axis + end));
        }
    }
}

// The player's file as far as the bound: the bytes read, or 0 when there
// is no such file or it cannot be read. Text after the bound's last line
// end is left out. The caller frees *text (HeapFree) when it is not NULL.
static size_t ReadPlayerMappingFile(char **text)
{
    *text = NULL;
    HANDLE file = CreateFileA(PAD_MAPPING_FILE, GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    // As much as the file holds, up to one byte more than the bound, which
    // shows whether it goes on (a block of the bound's size for a small
    // file would cost more than reading it).
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return 0;
    }
    size_t want = size.QuadPart > PAD_MAPPING_FILE_MAX ? PAD_MAPPING_FILE_MAX + 1 : (size_t)size.QuadPart;
    char *buffer = (char *)HeapAlloc(GetProcessHeap(), 0, want + 1);
    size_t length = 0;
    bool failed = buffer == NULL;
    while (!failed && length < want) {
        DWORD read = 0;
        if (!ReadFile(file, buffer + length, (DWORD)(want - length), &read, NULL))
            failed = true;
        else if (read == 0)
            break;
        length += read;
    }
    CloseHandle(file);
    if (failed) {
        if (buffer)
            HeapFree(GetProcessHeap(), 0, buffer);
        return 0;
    }
    if (length > PAD_MAPPING_FILE_MAX) {
        length = PAD_MAPPING_FILE_MAX;
        while (length > 0 && buffer[length - 1] != '\n')
            --length;
    }
    *text = buffer;
    return length;
}

uint32_t PadMappingFileStamp()
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(PAD_MAPPING_FILE, GetFileExInfoStandard, &data))
        return 0;
    uint32_t stamp = data.nFileSizeLow ^ data.ftLastWriteTime.dwLowDateTime ^
                     data.ftLastWriteTime.dwHighDateTime * 31;
    return stamp ? stamp : 1;
}

void FindPadLayouts(PadLayoutRecord layouts[PAD_SLOTS])
{
    PadIdentityRecord identity[PAD_SLOTS];
    bool any = false;
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        memset(&layouts[pad], 0, sizeof layouts[pad]);
        layouts[pad].source = PAD_LAYOUT_NONE;
        if (!PadDevices[pad] || PadCaps[pad].ButtonCount == 0)
            continue;
        ReadPadIdentity(pad, identity[pad]);
        layouts[pad].source = PAD_LAYOUT_UNKNOWN;
        layouts[pad].vendor = identity[pad].vendor;
        any = true;
    }
    if (!any)
        return;

    char *text;
    size_t length = ReadPlayerMappingFile(&text);
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        PadLayoutRecord &layout = layouts[pad];
        if (layout.source != PAD_LAYOUT_UNKNOWN)
            continue;
        // A pad whose ids are unknown matches no line.
        bool ids = identity[pad].vendor != 0 || identity[pad].product != 0;
        if (ids && length &&
            FindPadMappingInText(text, length, identity[pad].vendor, identity[pad].product,
                                 layout.mapping)) {
            layout.source = PAD_LAYOUT_PLAYER_FILE;
        } else if (identity[pad].xinput) {
            ParsePadMapping(XInputPadMapping, sizeof XInputPadMapping - 1, layout.mapping);
            layout.source = PAD_LAYOUT_XINPUT;
        } else if (ids && FindBuiltInPadMapping(identity[pad].vendor, identity[pad].product,
                                                layout.mapping)) {
            layout.source = PAD_LAYOUT_BUILT_IN;
        }
    }
    if (text)
        HeapFree(GetProcessHeap(), 0, text);
}
