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
    int n = PadBindingPad(code) + 1;
    uint32_t field = PadBindingDirection(code);
    if (code == PAD_BINDING_NONE) {
        // falls through to "None"
    } else if (code & PAD_BINDING_BUTTON) {
        wsprintfA(buffer, "%dBUTTON%d", n, (int)PadBindingButton(code) + 1);
        return;
    } else if (code & PAD_BINDING_AXIS) {
        wsprintfA(buffer, "%d%s", n, PadLabelTable[field]);
        return;
    } else if (code & PAD_BINDING_SLIDER) {
        if (SliderRowFirst + field < LabelRows) {
            wsprintfA(buffer, "%d%s%d", n, PadLabelTable[SliderRowFirst + field],
                      (int)PadBindingSlider(code) + 1);
            return;
        }
    } else if (code & PAD_BINDING_POV) {
        if (PovRowFirst + field < LabelRows) {
            wsprintfA(buffer, "%d%s%d", n, PadLabelTable[PovRowFirst + field],
                      (int)PadBindingHat(code) + 1);
            return;
        }
    }
    lstrcpyA(buffer, "None");
}

// A code has the tool's shape when it is exactly the code the tool makes
// from its pieces.
bool IsToolPadBinding(uint32_t code)
{
    int pad = PadBindingPad(code);
    uint32_t field = PadBindingDirection(code);
    switch (PadBindingKind(code)) {
    case PAD_BINDING_BUTTON:
        return code == PadButtonCode(pad, PadBindingButton(code));
    case PAD_BINDING_AXIS:
        return field <= PAD_AXIS_RZ_MAX && code == PadAxisCode(pad, field);
    case PAD_BINDING_SLIDER:
        return field <= 1 && code == PadSliderCode(pad, PadBindingSlider(code), field);
    case PAD_BINDING_POV:
        return field <= PAD_POV_RIGHT && code == PadPovCode(pad, PadBindingHat(code), field);
    }
    return false;
}
