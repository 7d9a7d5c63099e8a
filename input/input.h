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
};

#define PAD_SLOTS 2

extern IDirectInput8A *DirectInputObject;
extern IDirectInputDevice8A *KeyboardDevice;
extern IDirectInputDevice8A *PadDevices[PAD_SLOTS];
extern uint32_t PadSlotCounter;
extern PadCapsRecord PadCaps[PAD_SLOTS];

// 1 when the DirectInput object exists at the end; 0 when it could not be
// created or the keyboard refused its data format or cooperative level.
int OpenInputDevices(HINSTANCE instance, HWND sheet);
// Unacquires and releases everything; safe to call twice.
void CloseInputDevices();

BOOL CALLBACK PadFoundCallback(LPCDIDEVICEINSTANCEA device, LPVOID context);
BOOL CALLBACK PadObjectCallback(LPCDIDEVICEOBJECTINSTANCEA object, LPVOID context);

// The lowest DirectInput scan code whose key is down, or -1.
int PollKeyboard();
// The PadBinding of the first input pressed or deflected, pad 0 before pad
// 1, or PAD_BINDING_NONE.
uint32_t PollPads();
