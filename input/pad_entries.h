// The entries of the gamepad page's lists: what each list offers and the
// text it shows for it. Every list holds the same entries: "None", then
// every input of pad 0, then every input of pad 1, as far as a PadBinding
// can name them. An entry's text is its code's label, and where the pad's
// layout names the input, the name in parentheses: "1BUTTON1 (Cross)",
// "1Z Max (LT)". The names are worked out when the entries are; they come
// from the tool's string table (res/), in the language Windows chose.
#pragma once
#include <stdint.h>

#include "input/input.h"
#include "input/pad_binding.h"
#include "input/pad_layout.h"

// The most entries one pad adds: six axes with two ends each, then what a
// PadBinding can name of sliders, hats and buttons.
#define PAD_ENTRY_MAX (6 * 2 + 2 * PAD_BINDING_SLIDERS + 4 * PAD_BINDING_HATS + PAD_BINDING_BUTTONS)
#define PAD_LIST_ENTRY_MAX (1 + PAD_SLOTS * PAD_ENTRY_MAX)
// The longest text: "2POV Right4 (Right Stick Right)".
#define PAD_ENTRY_TEXT_SIZE 40
// The inputs of one pad that a layout can name.
#define PAD_NAMED_INPUTS (PAD_BINDING_BUTTONS + 12 + 2 * PAD_BINDING_SLIDERS + 4 * PAD_BINDING_HATS)

struct PadEntryList {
    int count;
    uint32_t codes[PAD_LIST_ENTRY_MAX];
    char texts[PAD_LIST_ENTRY_MAX][PAD_ENTRY_TEXT_SIZE];
    // The name of each input of each pad slot (the string of it; 0 where
    // there is none), from the layout of the pad last seen there: a slot
    // without a pad keeps the names of the one that left, for its kept
    // entries.
    uint16_t names[PAD_SLOTS][PAD_NAMED_INPUTS];
};

// What the lists hold now, as the gamepad page last built them.
extern PadEntryList PadListEntries;

// Makes PadListEntries the entries of the pads as they are now (PadCaps),
// named by their layouts. Returns how many of its first entries stayed as
// they were, which the lists may keep: 0 when listsEmpty (the lists hold
// nothing yet).
int RefreshPadListEntries(bool listsEmpty, const PadLayoutRecord layouts[PAD_SLOTS]);

// Whether the lists have an entry for the input a code names.
bool PadEntryOffered(uint32_t code);

// The entry of a code; -1 when none is.
int PadEntryIndex(uint32_t code);
// The code whose entry shows a code loaded from the settings: the code
// itself when it has the tool's shape (whether or not an entry offers it),
// else the code of the entry with the same label, else PAD_BINDING_NONE.
uint32_t PadEntryCode(uint32_t code);

// The text the lists show for a code: its label, and its name where the
// layout of its pad (or of the pad last in that slot) names it. At least
// PAD_ENTRY_TEXT_SIZE bytes.
void FormatPadEntry(char *text, uint32_t code);
