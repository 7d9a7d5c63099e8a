// The gamepad lists' entries, built from the pads' capabilities, and their
// texts: the label, and the input's name where the pad's layout gives one.
#include "input/pad_entries.h"

#include <windows.h>
#include <string.h>

PadEntryList PadListEntries;

// Where an input of the tool's shape is in PadListEntries.names[pad]; -1
// for a code of another shape.
static int NamedInput(uint32_t code)
{
    if (!IsToolPadBinding(code))
        return -1;
    uint32_t field = PadBindingDirection(code);
    switch (PadBindingKind(code)) {
    case PAD_BINDING_BUTTON:
        return (int)PadBindingButton(code);
    case PAD_BINDING_AXIS:
        return PAD_BINDING_BUTTONS + (int)field;
    case PAD_BINDING_SLIDER:
        return PAD_BINDING_BUTTONS + 12 + (int)(PadBindingSlider(code) * 2 + field);
    default:
        return PAD_BINDING_BUTTONS + 12 + 2 * PAD_BINDING_SLIDERS + (int)(PadBindingHat(code) * 4 + field);
    }
}

static void RememberName(uint32_t code, uint16_t name)
{
    int i = NamedInput(code);
    uint16_t *names = PadListEntries.names[PadBindingPad(code)];
    if (i >= 0 && !names[i])
        names[i] = name;
}

// The names of the inputs of the pads there are now, from their layouts.
static void NamePadInputsNow(const PadLayoutRecord layouts[PAD_SLOTS])
{
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        if (PadCaps[pad].ButtonCount == 0)
            continue;
        memset(PadListEntries.names[pad], 0, sizeof PadListEntries.names[pad]);
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
    int n = 0;

    const bool axisPresent[6] = { true, true, caps.HasZ != 0, caps.HasRx != 0,
                                  caps.HasRy != 0, caps.HasRz != 0 };
    for (uint32_t axis = 0; axis < 6; ++axis) {
        if (!axisPresent[axis])
            continue;
        codes[n++] = PadAxisCode(pad, 2 * axis);
        codes[n++] = PadAxisCode(pad, 2 * axis + 1);
    }
    for (uint32_t s = 0; s < caps.SliderCount && s < PAD_BINDING_SLIDERS; ++s) {
        codes[n++] = PadSliderCode(pad, s, 0);
        codes[n++] = PadSliderCode(pad, s, 1);
    }
    for (uint32_t h = 0; h < caps.PovCount && h < PAD_BINDING_HATS; ++h) {
        for (uint32_t d = PAD_POV_UP; d <= PAD_POV_RIGHT; ++d)
            codes[n++] = PadPovCode(pad, h, d);
    }
    for (uint32_t b = 0; b < caps.ButtonCount && b < PAD_BINDING_BUTTONS; ++b)
        codes[n++] = PadButtonCode(pad, b);
    return n;
}

int RefreshPadListEntries(bool listsEmpty, const PadLayoutRecord layouts[PAD_SLOTS])
{
    NamePadInputsNow(layouts);
    uint32_t codes[PAD_LIST_ENTRY_MAX];
    codes[0] = PAD_BINDING_NONE;
    int count = 1;
    for (int pad = 0; pad < PAD_SLOTS; ++pad)
        count += ListPadEntries(pad, codes + count);

    // The entries held already that stay the same, then the others.
    PadEntryList &held = PadListEntries;
    int same = 0;
    char text[PAD_ENTRY_TEXT_SIZE];
    while (!listsEmpty && same < count && same < held.count && codes[same] == held.codes[same] &&
           (FormatPadEntry(text, codes[same]), strcmp(text, held.texts[same]) == 0))
        ++same;
    for (int i = same; i < count; ++i) {
        held.codes[i] = codes[i];
        FormatPadEntry(held.texts[i], codes[i]);
    }
    held.count = count;
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

int PadEntryIndex(uint32_t code)
{
    const PadEntryList &held = PadListEntries;
    for (int i = 0; i < held.count; ++i) {
        if (held.codes[i] == code)
            return i;
    }
    return -1;
}

// The entry whose label (its text before any name) is this label, letters
// compared without regard to case; -1 when none is. Never an entry whose
// label merely begins with it.
static int PadEntryWithLabel(const char *label)
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

uint32_t PadEntryCode(uint32_t code)
{
    if (code == PAD_BINDING_NONE || IsToolPadBinding(code))
        return code;
    char label[PAD_LABEL_SIZE];
    FormatPadBinding(label, code);
    int entry = PadEntryWithLabel(label);
    return entry >= 0 ? PadListEntries.codes[entry] : PAD_BINDING_NONE;
}

void FormatPadEntry(char *text, uint32_t code)
{
    FormatPadBinding(text, code);
    int i = NamedInput(code);
    uint16_t name = i >= 0 ? PadListEntries.names[PadBindingPad(code)][i] : 0;
    char nameText[PAD_ENTRY_TEXT_SIZE - PAD_LABEL_SIZE - 3];
    if (name && LoadStringA(GetModuleHandleA(NULL), name, nameText, sizeof nameText) > 0)
        wsprintfA(text + lstrlenA(text), " (%s)", nameText);
}
