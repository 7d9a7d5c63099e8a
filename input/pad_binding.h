// PadBinding: the 32-bit code that names one pad input in the settings file
// and in the gamepad lists, and its label text.
#pragma once
#include <stdint.h>

// Bit 31: pad index. Bits 24..27: the kind, exactly one set. Low bits:
// button number, axis direction, slider and end, or hat and direction.
#define PAD_BINDING_NONE    0xFFFFFFFFu
#define PAD_BINDING_PAD1    0x80000000u
#define PAD_BINDING_BUTTON  0x01000000u
#define PAD_BINDING_AXIS    0x02000000u
#define PAD_BINDING_POV     0x04000000u
#define PAD_BINDING_SLIDER  0x08000000u
#define PAD_BINDING_MOVING  (PAD_BINDING_AXIS | PAD_BINDING_SLIDER)

// What a PadBinding can name, which is also what the pad state record
// (DIJOYSTATE) carries: buttons 1..32 (5 bits), sliders 1..2 (1 bit) and
// hats 1..4 (2 bits). A pad's inputs beyond these are neither listed nor
// captured.
#define PAD_BINDING_BUTTONS 32
#define PAD_BINDING_SLIDERS 2
#define PAD_BINDING_HATS    4

// Axis direction codes (low 4 bits of an axis binding).
enum PadAxisDirection {
    PAD_AXIS_X_MIN, PAD_AXIS_X_MAX, PAD_AXIS_Y_MIN, PAD_AXIS_Y_MAX,
    PAD_AXIS_Z_MIN, PAD_AXIS_Z_MAX, PAD_AXIS_RX_MIN, PAD_AXIS_RX_MAX,
    PAD_AXIS_RY_MIN, PAD_AXIS_RY_MAX, PAD_AXIS_RZ_MIN, PAD_AXIS_RZ_MAX,
};

// Hat directions (low 4 bits of a hat binding), in label-table order.
enum PadPovDirection { PAD_POV_UP, PAD_POV_DOWN, PAD_POV_LEFT, PAD_POV_RIGHT };

// Capture flags of the pad poll: besides buttons, X, Y, Z and hats, it
// examines the rotation axes only with PAD_CAPTURE_ROTATION and the sliders
// only with PAD_CAPTURE_SLIDERS. The bits of the settings file's
// PadAdvancedFlags word.
#define PAD_CAPTURE_ROTATION 0x4u
#define PAD_CAPTURE_SLIDERS  0x2u

// Longest label of a valid code is "2POV Right4": 11 characters.
#define PAD_LABEL_SIZE 12

// Row texts: 0..11 axis directions, 12..15 hat directions, 16..17 slider ends.
extern const char *const PadLabelTable[18];

// The pieces of a code: its pad (0 or 1), its kind bits (exactly one of
// them in a code of the tool's shape; a damaged code may have none or
// several), and the numbers of its kind: a button's number (0-based), the
// direction field of an axis (PadAxisDirection), a slider (its end, 0 low
// and 1 high) or a hat (PadPovDirection), and which slider or hat.
#define PAD_BINDING_KIND_BITS 0x0F000000u
inline int PadBindingPad(uint32_t code) { return (int)(code >> 31); }
inline uint32_t PadBindingKind(uint32_t code) { return code & PAD_BINDING_KIND_BITS; }
inline uint32_t PadBindingButton(uint32_t code) { return code & 0x1F; }
inline uint32_t PadBindingDirection(uint32_t code) { return code & 0xF; }
inline uint32_t PadBindingSlider(uint32_t code) { return (code >> 8) & 1; }
inline uint32_t PadBindingHat(uint32_t code) { return (code >> 8) & 3; }

// The codes of the tool's shape, one per input a PadBinding can name.
inline uint32_t PadBindingPadBits(int pad) { return (uint32_t)pad << 31; }
inline uint32_t PadButtonCode(int pad, uint32_t button)
{
    return PadBindingPadBits(pad) | PAD_BINDING_BUTTON | button;
}
inline uint32_t PadAxisCode(int pad, uint32_t direction)
{
    return PadBindingPadBits(pad) | PAD_BINDING_AXIS | direction;
}
inline uint32_t PadSliderCode(int pad, uint32_t slider, uint32_t end)
{
    return PadBindingPadBits(pad) | PAD_BINDING_SLIDER | slider << 8 | end;
}
inline uint32_t PadPovCode(int pad, uint32_t hat, uint32_t direction)
{
    return PadBindingPadBits(pad) | PAD_BINDING_POV | hat << 8 | direction;
}
// The same axis or slider at one of its ends (0 low, 1 high), and the same
// hat in another direction.
inline uint32_t PadBindingAtEnd(uint32_t code, uint32_t end) { return (code & ~1u) | end; }
inline uint32_t PadBindingTurned(uint32_t code, uint32_t direction) { return (code & ~3u) | direction; }

// Whether code has the shape of a code this tool writes for an input:
// exactly one kind bit, every bit that kind does not name 0, an axis
// direction 0..11, a slider 0..1 with end 0..1, a hat 0..3 with direction
// 0..3. PAD_BINDING_NONE is not an input.
bool IsToolPadBinding(uint32_t code);

// Writes the label of code into buffer (at least PAD_LABEL_SIZE bytes):
// "1BUTTON3", "2Left", "1Sld Max2", "1POV Up1", or "None" for no input and
// for any code that has no label.
void FormatPadBinding(char *buffer, uint32_t code);
