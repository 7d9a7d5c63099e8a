// Label texts of pad binding codes. The gamepad lists are built with the
// same texts, so a label finds its list entry.
#include "input/pad_binding.h"

#include <windows.h>

const char *const PadLabelTable[18] = {
    "Left", "Right", "Up", "Down", "ZMIN", "Z Max",
    "RX Min", "RX Max", "RY Min", "RY Max", "RZ Min", "RZ Max",
    "POV Up", "POV Down", "POV Left", "POV Right",
    "Sld Min", "Sld Max",
};

static const uint32_t PovRowFirst = 12;
static const uint32_t SliderRowFirst = 16;
static const uint32_t LabelRows = sizeof PadLabelTable / sizeof PadLabelTable[0];

void FormatPadBinding(char *buffer, uint32_t code)
{
    int n = (int)(code >> 31) + 1;
    uint32_t field = code & 0xF;
    if (code == PAD_BINDING_NONE) {
        // falls through to "None"
    } else if (code & PAD_BINDING_BUTTON) {
        wsprintfA(buffer, "%dBUTTON%d", n, (int)(code & 0x1F) + 1);
        return;
    } else if (code & PAD_BINDING_AXIS) {
        wsprintfA(buffer, "%d%s", n, PadLabelTable[field]);
        return;
    } else if (code & PAD_BINDING_SLIDER) {
        if (SliderRowFirst + field < LabelRows) {
            wsprintfA(buffer, "%d%s%d", n, PadLabelTable[SliderRowFirst + field],
                      (int)((code >> 8) & 1) + 1);
            return;
        }
    } else if (code & PAD_BINDING_POV) {
        if (PovRowFirst + field < LabelRows) {
            wsprintfA(buffer, "%d%s%d", n, PadLabelTable[PovRowFirst + field],
                      (int)((code >> 8) & 3) + 1);
            return;
        }
    }
    lstrcpyA(buffer, "None");
}

bool IsToolPadBinding(uint32_t code)
{
    uint32_t fields = code & ~(PAD_BINDING_PAD1 | 0x0F000000u);
    switch (code & 0x0F000000u) {
    case PAD_BINDING_BUTTON: return fields <= 0x1F;
    case PAD_BINDING_AXIS:   return fields <= PAD_AXIS_RZ_MAX;
    case PAD_BINDING_SLIDER: return (fields & ~0x101u) == 0;
    case PAD_BINDING_POV:    return (fields & ~0x303u) == 0;
    }
    return false;
}
