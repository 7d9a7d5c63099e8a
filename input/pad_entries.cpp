// The gamepad lists' entries, built from the pads' capabilities.
#include "input/pad_entries.h"

#include <string.h>

PadEntryList PadListEntries;

// Pad p's entries in list order: X and Y always, then Z, Rx, Ry and Rz
// where present (low end first), slider ends, hat directions (up, down,
// left, right) and buttons. A pad without buttons is no usable pad and adds
// nothing. Sliders, hats and buttons stop at what a PadBinding can name, so
// that every entry stores back as the input it shows.
static int ListPadEntries(int pad, uint32_t codes[PAD_ENTRY_MAX])
{
    const PadCapsRecord &caps = PadCaps[pad];
    if (caps.ButtonCount == 0)
        return 0;
    uint32_t padBits = PadBindingPadBits(pad);
    int n = 0;

    const bool axisPresent[6] = { true, true, caps.HasZ != 0, caps.HasRx != 0,
                                  caps.HasRy != 0, caps.HasRz != 0 };
    for (uint32_t axis = 0; axis < 6; ++axis) {
        if (!axisPresent[axis])
            continue;
        codes[n++] = padBits | PAD_BINDING_AXIS | (2 * axis);
        codes[n++] = padBits | PAD_BINDING_AXIS | (2 * axis + 1);
    }
    for (uint32_t s = 0; s < caps.SliderCount && s < PAD_BINDING_SLIDERS; ++s) {
        codes[n++] = padBits | PAD_BINDING_SLIDER | (s << 8);
        codes[n++] = padBits | PAD_BINDING_SLIDER | (s << 8) | 1;
    }
    for (uint32_t h = 0; h < caps.PovCount && h < PAD_BINDING_HATS; ++h) {
        for (uint32_t d = PAD_POV_UP; d <= PAD_POV_RIGHT; ++d)
            codes[n++] = padBits | PAD_BINDING_POV | (h << 8) | d;
    }
    for (uint32_t b = 0; b < caps.ButtonCount && b < PAD_BINDING_BUTTONS; ++b)
        codes[n++] = padBits | PAD_BINDING_BUTTON | b;
    return n;
}

int RefreshPadListEntries(bool listsEmpty)
{
    PadEntryList fresh;
    fresh.codes[0] = PAD_BINDING_NONE;
    fresh.count = 1;
    for (int pad = 0; pad < PAD_SLOTS; ++pad)
        fresh.count += ListPadEntries(pad, fresh.codes + fresh.count);
    for (int i = 0; i < fresh.count; ++i)
        FormatPadBinding(fresh.texts[i], fresh.codes[i]);

    PadEntryList &held = PadListEntries;
    int same = 0;
    if (!listsEmpty) {
        while (same < fresh.count && same < held.count && fresh.codes[same] == held.codes[same] &&
               strcmp(fresh.texts[same], held.texts[same]) == 0)
            ++same;
    }
    memcpy(&held, &fresh, sizeof held);
    return same;
}

// The entry of a code, or -1; entry 0 is "None".
static int PadEntryOf(uint32_t code)
{
    const PadEntryList &held = PadListEntries;
    for (int i = 1; i < held.count; ++i) {
        if (held.codes[i] == code)
            return i;
    }
    return -1;
}

bool PadEntryOffered(uint32_t code)
{
    return PadEntryOf(code) > 0;
}

void FormatPadEntry(char *text, uint32_t code)
{
    int entry = PadEntryOf(code);
    if (entry > 0)
        lstrcpynA(text, PadListEntries.texts[entry], PAD_ENTRY_TEXT_SIZE);
    else
        FormatPadBinding(text, code);
}
