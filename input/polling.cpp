// Live capture: one immediate state read per device and call, nothing
// allocated. The last state read is kept for the pages' live display, and
// each pad's rest positions are learned from its reads.
#include "input/input.h"
#include "input/pad_binding.h"

static const LONG Threshold = 64;   // strict: -64..64 is rest

BYTE KeyboardState[256];
bool KeyboardStateRead;
DIJOYSTATE PadStates[PAD_SLOTS];
bool PadStateRead[PAD_SLOTS];
PadRestRecord PadRest[PAD_SLOTS];

static_assert(sizeof(DIJOYSTATE::rgbButtons) == PAD_BINDING_BUTTONS, "state buttons");
static_assert(sizeof(DIJOYSTATE::rglSlider) / sizeof(LONG) == PAD_BINDING_SLIDERS, "state sliders");
static_assert(sizeof(DIJOYSTATE::rgdwPOV) / sizeof(DWORD) == PAD_BINDING_HATS, "state hats");

// A device that is not acquired is acquired again: one whose acquisition
// was lost, and one that never had it. The devices are opened while the
// sheet is still hidden, and a foreground device cannot be acquired until
// its window is in the foreground, so without this no key or pad input
// would ever be read. Any other failure leaves the device silent.
static bool ReacquireIfLost(IDirectInputDevice8A *device, HRESULT hr)
{
    if (hr != DIERR_INPUTLOST && hr != DIERR_NOTACQUIRED)
        return false;
    device->Acquire();
    return true;
}

// Given up by their page: the next poll acquires them again first.
static bool KeyboardReleased;
static bool PadsReleased;

void StopKeyboardCapture()
{
    KeyboardStateRead = false;
    if (KeyboardDevice)
        KeyboardDevice->Unacquire();
    KeyboardReleased = true;
}

void StopPadCapture()
{
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        PadStateRead[pad] = false;
        if (PadDevices[pad])
            PadDevices[pad]->Unacquire();
    }
    PadsReleased = true;
}

int PollKeyboard()
{
    KeyboardStateRead = false;
    if (!KeyboardDevice)
        return -1;
    if (KeyboardReleased) {
        KeyboardReleased = false;
        KeyboardDevice->Acquire();
    }
    HRESULT hr = KeyboardDevice->GetDeviceState(sizeof KeyboardState, KeyboardState);
    if (FAILED(hr)) {
        ReacquireIfLost(KeyboardDevice, hr);
        return -1;
    }
    KeyboardStateRead = true;
    for (int code = 0; code < 256; ++code) {
        if (KeyboardState[code] & 0x80)
            return code;
    }
    return -1;
}

bool KeyHeld(int code)
{
    return KeyboardStateRead && code >= 0 && code < 256 && (KeyboardState[code] & 0x80);
}

// The value of one axis (PadRestAxis) in a state record.
static LONG AxisValue(const DIJOYSTATE &state, int axis)
{
    const LONG values[PAD_REST_AXES] = { state.lX, state.lY, state.lZ, state.lRx, state.lRy,
                                         state.lRz, state.rglSlider[0], state.rglSlider[1] };
    return values[axis];
}

static uint8_t SideOf(LONG value)
{
    if (value < -Threshold)
        return PAD_REST_MIN;
    if (value > Threshold)
        return PAD_REST_MAX;
    return PAD_REST_CENTRE;
}

// Learns the rest positions from a state when a learning is pending;
// otherwise lets an axis that was taken to rest at an end, but has stayed
// inside the threshold for a second, rest at the centre.
static void FollowRest(int pad, const DIJOYSTATE &state)
{
    PadRestRecord &rest = PadRest[pad];
    for (int axis = 0; axis < PAD_REST_AXES; ++axis) {
        uint8_t side = SideOf(AxisValue(state, axis));
        if (rest.learnPending) {
            rest.side[axis] = side;
            rest.centreReads[axis] = 0;
        } else if (rest.side[axis] != PAD_REST_CENTRE) {
            rest.centreReads[axis] = side == PAD_REST_CENTRE ? rest.centreReads[axis] + 1 : 0;
            if (rest.centreReads[axis] >= PAD_REST_RECOVERY_READS)
                rest.side[axis] = PAD_REST_CENTRE;
        }
    }
    rest.learnPending = false;
}

// One state read of a pad into PadStates; true when it succeeded.
static bool ReadPad(int pad)
{
    PadStateRead[pad] = false;
    IDirectInputDevice8A *device = PadDevices[pad];
    if (!device)
        return false;
    device->Poll();
    HRESULT hr = device->GetDeviceState(sizeof PadStates[pad], &PadStates[pad]);
    if (FAILED(hr)) {
        ReacquireIfLost(device, hr);
        return false;
    }
    PadStateRead[pad] = true;
    FollowRest(pad, PadStates[pad]);
    return true;
}

void LearnPadRest()
{
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        if (!PadDevices[pad])
            continue;
        PadRest[pad].learnPending = true;
        // A pad not acquired yet is acquired by the first read and read by
        // the second; when both fail, the next successful poll learns.
        if (!ReadPad(pad))
            ReadPad(pad);
    }
}

// The direction code of a deflected axis (PadRestAxis), or -1 at rest.
// minCode is the code of the axis' low end; its high end is minCode + 1.
// The end an axis rests at is not a deflection.
static int AxisDirection(int pad, const DIJOYSTATE &state, int axis, uint32_t minCode)
{
    uint8_t side = SideOf(AxisValue(state, axis));
    if (side == PAD_REST_CENTRE || side == PadRest[pad].side[axis])
        return -1;
    return (int)minCode + (side == PAD_REST_MAX);
}

static uint32_t PovDirection(DWORD value)
{
    if (value >= 31500 || value <= 4500)
        return PAD_POV_UP;
    if (value <= 13500)
        return PAD_POV_RIGHT;
    if (value <= 22500)
        return PAD_POV_DOWN;
    return PAD_POV_LEFT;
}

static bool PovCentred(DWORD value)
{
    return LOWORD(value) == 0xFFFF;
}

// Every input the pad poll can examine, whatever the capture flags.
static const uint32_t AllPadInputs = PAD_CAPTURE_ROTATION | PAD_CAPTURE_SLIDERS;

// The first input of one pad's state, in the fixed order of kinds, or
// PAD_BINDING_NONE. The rotation axes count only with PAD_CAPTURE_ROTATION
// in captureFlags, the sliders only with PAD_CAPTURE_SLIDERS.
static uint32_t FirstPadInput(int pad, const DIJOYSTATE &state, uint32_t captureFlags)
{
    const PadCapsRecord &caps = PadCaps[pad];
    uint32_t padBits = PadBindingPadBits(pad);

    for (uint32_t b = 0; b < caps.ButtonCount && b < PAD_BINDING_BUTTONS; ++b) {
        if (state.rgbButtons[b] & 0x80)
            return padBits | PAD_BINDING_BUTTON | b;
    }

    struct AxisTest { int axis; bool present; uint32_t minCode; };
    bool rotation = (captureFlags & PAD_CAPTURE_ROTATION) != 0;
    const AxisTest axes[] = {
        { PAD_REST_Y, true, PAD_AXIS_Y_MIN },
        { PAD_REST_X, true, PAD_AXIS_X_MIN },
        { PAD_REST_Z, caps.HasZ != 0, PAD_AXIS_Z_MIN },
        { PAD_REST_RX, rotation && caps.HasRx, PAD_AXIS_RX_MIN },
        { PAD_REST_RY, rotation && caps.HasRy, PAD_AXIS_RY_MIN },
        { PAD_REST_RZ, rotation && caps.HasRz, PAD_AXIS_RZ_MIN },
    };
    for (const AxisTest &test : axes) {
        int direction = test.present ? AxisDirection(pad, state, test.axis, test.minCode) : -1;
        if (direction >= 0)
            return padBits | PAD_BINDING_AXIS | (uint32_t)direction;
    }

    if (captureFlags & PAD_CAPTURE_SLIDERS) {
        for (uint32_t s = 0; s < caps.SliderCount && s < PAD_BINDING_SLIDERS; ++s) {
            int end = AxisDirection(pad, state, PAD_REST_SLIDER0 + (int)s, 0);
            if (end >= 0)
                return padBits | PAD_BINDING_SLIDER | (s << 8) | (uint32_t)end;
        }
    }

    for (uint32_t h = 0; h < caps.PovCount && h < PAD_BINDING_HATS; ++h) {
        DWORD value = state.rgdwPOV[h];
        if (!PovCentred(value))
            return padBits | PAD_BINDING_POV | (h << 8) | PovDirection(value);
    }
    return PAD_BINDING_NONE;
}

uint32_t PollPads(uint32_t captureFlags)
{
    uint32_t found = PAD_BINDING_NONE;
    if (PadsReleased) {
        PadsReleased = false;
        for (IDirectInputDevice8A *device : PadDevices) {
            if (device)
                device->Acquire();
        }
    }
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        // Every pad is read, also after an input was found, so that the
        // live display sees each pad's state of this tick.
        if (ReadPad(pad) && found == PAD_BINDING_NONE)
            found = FirstPadInput(pad, PadStates[pad], captureFlags);
    }
    return found;
}

bool PadActive(int pad)
{
    if (pad < 0 || pad >= PAD_SLOTS || !PadStateRead[pad])
        return false;
    // A pad without a usable button count still has 32 button bytes.
    const DIJOYSTATE &state = PadStates[pad];
    for (BYTE button : state.rgbButtons) {
        if (button & 0x80)
            return true;
    }
    return FirstPadInput(pad, state, AllPadInputs) != PAD_BINDING_NONE;
}

bool PadBindingActive(uint32_t code)
{
    if (!IsToolPadBinding(code))
        return false;
    int pad = (int)(code >> 31);
    if (!PadStateRead[pad])
        return false;
    const DIJOYSTATE &state = PadStates[pad];
    uint32_t field = code & 0xF;
    switch (code & 0x0F000000u) {
    case PAD_BINDING_BUTTON:
        return (state.rgbButtons[code & 0x1F] & 0x80) != 0;
    case PAD_BINDING_AXIS:
        return AxisDirection(pad, state, (int)(field / 2), field & ~1u) == (int)field;
    case PAD_BINDING_SLIDER:
        return AxisDirection(pad, state, PAD_REST_SLIDER0 + (int)((code >> 8) & 1), 0) == (int)field;
    case PAD_BINDING_POV: {
        DWORD value = state.rgdwPOV[(code >> 8) & 3];
        return !PovCentred(value) && PovDirection(value) == field;
    }
    }
    return false;
}
