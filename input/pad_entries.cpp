// The gamepad lists' entries, built from the pads' capabilities, and their
// texts: the label, and the input's name where the pad's layout gives one.
#include "input/pad_entries.h"

#include <string.h>

PadEntryList PadListEntries;

// The name of each input of each pad slot, by NamedInput, from the layout
// of the pad last seen there: a slot without a pad keeps the names of the
// one that left, for its kept entries. NULL where there is none.
#define PAD_NAMED_INPUTS (PAD_BINDING_BUTTONS + 12 + 2 * PAD_BINDING_SLIDERS + 4 * PAD_BINDING_HATS)
static const char *InputNames[PAD_SLOTS][PAD_NAMED_INPUTS];

// Where an input of the tool's shape is in InputNames[pad]; -1 for a code of
// another shape.
static int NamedInput(uint32_t code)
{
    if (!IsToolPadBinding(code))
        return -1;
    uint32_t field = code & 0x3FF;
    switch (code & 0x0F000000u) {
    case PAD_BINDING_BUTTON:
        return (int)field;
    case PAD_BINDING_AXIS:
        return PAD_BINDING_BUTTONS + (int)field;
    case PAD_BINDING_SLIDER:
        return PAD_BINDING_BUTTONS + 12 + (int)((field >> 8) * 2 + (field & 1));
    default:
        return PAD_BINDING_BUTTONS + 12 + 2 * PAD_BINDING_SLIDERS + (int)((field >> 8) * 4 + (field & 3));
    }
}

static void RememberName(uint32_t code, const char *name)
{
    int i = NamedInput(code);
    if (i >= 0 && !InputNames[code >> 31][i])
        InputNames[code >> 31][i] = name;
}

// The names of the inputs of the pads there are now, from their layouts.
static void NamePadInputsNow(const PadLayoutRecord layouts[PAD_SLOTS])
{
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        if (PadCaps[pad].ButtonCount == 0)
            continue;
        memset(InputNames[pad], 0, sizeof InputNames[pad]);
        const PadLayoutRecord &layout = layouts[pad];
        if (layout.source >= PAD_LAYOUT_PLAYER_FILE)
            NamePadInputs(layout.mapping, PadCaps[pad], pad, layout.vendor, RememberName);
    }
}

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

int RefreshPadListEntries(bool listsEmpty, const PadLayoutRecord layouts[PAD_SLOTS])
{
    NamePadInputsNow(layouts);
    PadEntryList fresh;
    fresh.codes[0] = PAD_BINDING_NONE;
    fresh.count = 1;
    for (int pad = 0; pad < PAD_SLOTS; ++pad)
        fresh.count += ListPadEntries(pad, fresh.codes + fresh.count);
    for (int i = 0; i < fresh.count; ++i)
        FormatPadEntry(fresh.texts[i], fresh.codes[i]);

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

bool PadEntryOffered(uint32_t code)
{
    const PadEntryList &held = PadListEntries;
    for (int i = 1; i < held.count; ++i) {
        if (held.codes[i] == code)
            return true;
    }
    return false;
}

int PadEntryWithLabel(const char *label)
{
    const PadEntryList &held = PadListEntries;
    for (int i = 0; i < held.count; ++i) {
        char entryLabel[PAD_LABEL_SIZE];
        FormatPadBinding(entryLabel, held.codes[i]);
        if (lstrcmpiA(entryLabel, label) == 0)
            return i;
    }
    return -1;
}

void FormatPadEntry(char *text, uint32_t code)
{
    FormatPadBinding(text, code);
    int i = NamedInput(code);
    const char *name = i >= 0 ? InputNames[code >> 31][i] : NULL;
    if (name)
        wsprintfA(text + lstrlenA(text), " (%s)", name);
}
