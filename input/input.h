// The DirectInput 8 device layer: the keyboard and up to two pads, what each
// pad offers, and the live-capture polls of the assignment pages.
#pragma once
#include <windows.h>
#include <dinput.h>
#include <stdint.h>

// What one pad offers. A ButtonCount of 0 means no usable pad: the gamepad
// lists and the pad defaults ignore it.
struct PadCapsRecord {
    uint32_t ButtonCount;
    uint8_t  HasZ;
    uint8_t  HasRx;
    uint8_t  HasRy;
    uint8_t  HasRz;
    uint32_t SliderCount;
    uint32_t PovCount;
    // X and Y, for the axis numbering of pad layouts only: the polls and
    // the lists take them as present whatever these say.
    uint8_t  HasX;
    uint8_t  HasY;
};

#define PAD_SLOTS 2

extern IDirectInput8A *DirectInputObject;
extern IDirectInputDevice8A *KeyboardDevice;
extern IDirectInputDevice8A *PadDevices[PAD_SLOTS];
extern uint32_t PadSlotCounter;
extern PadCapsRecord PadCaps[PAD_SLOTS];
// The product name DirectInput reported for the pad in each slot; empty
// for an empty slot. Always zero-terminated.
extern char PadNames[PAD_SLOTS][MAX_PATH];

// Which pad is in a slot: its USB vendor and product ids (0 and 0 when
// neither its product GUID nor DIPROP_VIDPID gives them), its device path
// (DIPROP_GUIDANDPATH; empty when refused), whether that path holds "IG_",
// in any case, which marks an XInput pad, and the instance GUID the
// enumeration gave it. Asked of the device when a page needs it, not when
// it is opened. False, with everything 0, for an empty slot.
struct PadIdentityRecord {
    uint16_t vendor;
    uint16_t product;
    bool xinput;
    GUID instance;
    WCHAR path[MAX_PATH];
};
bool ReadPadIdentity(int slot, PadIdentityRecord &identity);

// Where each axis of a pad rests: X, Y, Z, Rx, Ry, Rz, then the two
// sliders. An axis that rests beyond the threshold (a trigger resting at
// -128, a pedal at +127) is never reported in its resting direction. Each
// pad's is learned from its reads (input/polling.cpp).
enum PadRestAxis {
    PAD_REST_X, PAD_REST_Y, PAD_REST_Z, PAD_REST_RX, PAD_REST_RY, PAD_REST_RZ,
    PAD_REST_SLIDER0, PAD_REST_SLIDER1, PAD_REST_AXES
};
enum PadRestSide { PAD_REST_CENTRE, PAD_REST_MIN, PAD_REST_MAX };
struct PadRestRecord {
    bool learnPending;                  // learned from the next state read
    uint8_t side[PAD_REST_AXES];        // PadRestSide
    uint8_t centreReads[PAD_REST_AXES]; // reads in a row inside the threshold
};
// An axis taken to rest at an end that then stays inside the threshold for
// this many reads in a row (about a second of capture ticks) was a stick
// held while the rest was learned: it rests at the centre after all.
#define PAD_REST_RECOVERY_READS 30

// 1 when the DirectInput object exists at the end; 0 when it could not be
// created or the keyboard refused its data format or cooperative level.
int OpenInputDevices(HINSTANCE instance, HWND sheet);
// Unacquires and releases everything; safe to call twice.
void CloseInputDevices();

// Enumerates the attached game controllers again (without creating any)
// and, when they differ from those the pads were opened from, releases
// both pads and opens them again with the rules of the first opening.
// Returns 1 when the pads were opened again, 0 when nothing changed or
// there is no DirectInput object. The keyboard is not touched.
int RefreshPadDevices();
// 1 when the system's device list changed since the pads were last opened
// or looked for, so that RefreshPadDevices is worth its cost; a cheap read.
int PadDevicesMayHaveChanged();

// Learns where every axis of each pad rests, from a state read now (or,
// when that read fails, from the next one that succeeds).
void LearnPadRest();
// Forgets what the polls read of the pads (their states, rest positions
// and presses), as for pads opened again; ForgetInputStates forgets the
// keyboard's too, as for devices closed.
void ForgetPadStates();
void ForgetInputStates();

// An assignment page holds its devices only while it is shown: its first
// poll acquires them again, and it gives them up when it is left (the states kept for the
// live display are then forgotten). Under Wine an acquired foreground
// device hooks every message the thread sends, which then costs a
// wineserver round trip (about 0.2 ms here, against 2 us): held while
// another page is created, it doubled that page's creation. Acquired at
// the first tick rather than when the page becomes active, it is not yet
// held while the page first paints.
void StopKeyboardCapture();
void StopPadCapture();

// How many events each device's buffer holds (DIPROP_BUFFERSIZE): the
// presses between two polls.
#define INPUT_BUFFER_EVENTS 64

// Asked by a poll about each input it finds, in its order, with the
// context the poll was given: true takes the input, false goes on looking.
// A poll without one takes the first input. An input is a key's scan code
// or a PadBinding.
typedef bool (*InputChoice)(void *context, uint32_t input);

// Reads the keyboard: the lowest DirectInput scan code whose key is down
// and that choose takes; when there is none, the earliest key pressed since
// the last poll (and let go again) that choose takes; else -1.
int PollKeyboard(InputChoice choose = NULL, void *context = NULL);
// Reads both pads: the PadBinding of the first input pressed or deflected
// that choose takes, pad 0 before pad 1; when there is none, the earliest
// button or hat pressed since the last poll that choose takes; else
// PAD_BINDING_NONE. captureFlags (PAD_CAPTURE_ bits) add the rotation axes
// and the sliders to what is examined.
uint32_t PollPads(uint32_t captureFlags, InputChoice choose = NULL, void *context = NULL);
// The same, without reading again: of the inputs held at the last poll,
// the first that choose takes.
int HeldKey(InputChoice choose, void *context);
uint32_t HeldPadInput(uint32_t captureFlags, InputChoice choose, void *context);

// From the states the last polls read: whether a key is held, whether the
// input a PadBinding names is pressed or deflected from its rest now, and
// whether any input of a pad is (whatever the advanced flags say).
bool KeyHeld(int code);
bool PadBindingActive(uint32_t code);
bool PadActive(int pad);
