// Live capture: one immediate state read per device and call, and the
// presses the device buffered since the last call, nothing allocated. The
// last state read is kept for the pages' live display, and each pad's rest
// positions are learned from its reads.
//
// A tick takes what is held first; only when nothing it may take is held
// does it take the earliest press of the buffer, so that a tap shorter than
// the time between two ticks (33 ms, about 47 ms on Windows) is not
// missed. The buffer is emptied at every read, so a press made before the
// previous tick never counts. A device without a buffer, a buffer that
// overflowed and a failed read leave the state alone to go by.
#include "input/input.h"
#include "input/pad_binding.h"

#include <string.h>

static const LONG Threshold = 64;   // strict: -64..64 is rest

static_assert(sizeof(DIJOYSTATE::rgbButtons) == PAD_BINDING_BUTTONS, "state buttons");
static_assert(sizeof(DIJOYSTATE::rglSlider) / sizeof(LONG) == PAD_BINDING_SLIDERS, "state sliders");
static_assert(sizeof(DIJOYSTATE::rgdwPOV) / sizeof(DWORD) == PAD_BINDING_HATS, "state hats");

struct PadTap {
    uint32_t code;
    DWORD sequence;   // DirectInput's, increasing over all devices
};

// What the polls read. The last state of each device, kept for the live
// marks until the next read (a device that is absent or whose last read
// failed has none); where each pad's axes rest; the events one read takes
// from a device's buffer, and the presses among them that the last read
// of each device found, earliest first; and whether a page gave a device
// up, so that the next poll acquires it again first.
static struct {
    BYTE keyboard[256];
    bool keyboardRead;
    DIJOYSTATE pads[PAD_SLOTS];
    bool padRead[PAD_SLOTS];
    PadRestRecord rest[PAD_SLOTS];
    DIDEVICEOBJECTDATA events[INPUT_BUFFER_EVENTS];
    int keyTaps[INPUT_BUFFER_EVENTS];
    int keyTapCount;
    PadTap padTaps[PAD_SLOTS][INPUT_BUFFER_EVENTS];
    int padTapCount[PAD_SLOTS];
    bool keyboardReleased;
    bool padsReleased;
} Reads;

static bool Takes(InputChoice choose, void *context, uint32_t input)
{
    return !choose || choose(context, input);
}

void ForgetPadStates()
{
    memset(Reads.pads, 0, sizeof Reads.pads);
    memset(Reads.padRead, 0, sizeof Reads.padRead);
    memset(Reads.rest, 0, sizeof Reads.rest);
    memset(Reads.padTapCount, 0, sizeof Reads.padTapCount);
}

void ForgetInputStates()
{
    memset(&Reads, 0, sizeof Reads);
}

// The events the device buffered since its last read, into Reads.events;
// none when it has no buffer, lost events (the buffer overflowed) or cannot
// be read.
static DWORD ReadBufferedEvents(IDirectInputDevice8A *device)
{
    DWORD count = INPUT_BUFFER_EVENTS;
    if (device->GetDeviceData(sizeof Reads.events[0], Reads.events, &count, 0) != DI_OK)
        return 0;
    return count;
}

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

void StopKeyboardCapture()
{
    Reads.keyboardRead = false;
    if (KeyboardDevice)
        KeyboardDevice->Unacquire();
    Reads.keyboardReleased = true;
}

void StopPadCapture()
{
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        Reads.padRead[pad] = false;
        if (PadDevices[pad])
            PadDevices[pad]->Unacquire();
    }
    Reads.padsReleased = true;
}

int PollKeyboard(InputChoice choose, void *context)
{
    Reads.keyboardRead = false;
    Reads.keyTapCount = 0;
    if (!KeyboardDevice)
        return -1;
    if (Reads.keyboardReleased) {
        Reads.keyboardReleased = false;
        KeyboardDevice->Acquire();
    }
    HRESULT hr = KeyboardDevice->GetDeviceState(sizeof Reads.keyboard, Reads.keyboard);
    if (FAILED(hr)) {
        ReacquireIfLost(KeyboardDevice, hr);
        return -1;
    }
    Reads.keyboardRead = true;
    DWORD events = ReadBufferedEvents(KeyboardDevice);
    for (DWORD i = 0; i < events; ++i) {
        if (Reads.events[i].dwData & 0x80)
            Reads.keyTaps[Reads.keyTapCount++] = (int)(Reads.events[i].dwOfs & 0xFF);
    }
    int held = HeldKey(choose, context);
    if (held >= 0)
        return held;
    for (int i = 0; i < Reads.keyTapCount; ++i) {
        if (Takes(choose, context, (uint32_t)Reads.keyTaps[i]))
            return Reads.keyTaps[i];
    }
    return -1;
}

int HeldKey(InputChoice choose, void *context)
{
    if (!Reads.keyboardRead)
        return -1;
    for (int code = 0; code < 256; ++code) {
        if ((Reads.keyboard[code] & 0x80) && Takes(choose, context, (uint32_t)code))
            return code;
    }
    return -1;
}

bool KeyHeld(int code)
{
    return Reads.keyboardRead && code >= 0 && code < 256 && (Reads.keyboard[code] & 0x80);
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
    PadRestRecord &rest = Reads.rest[pad];
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

// The input a buffered event of a pad presses: a button going down or a hat
// leaving its centre, as far as the pad has them; PAD_BINDING_NONE for any
// other event.
static uint32_t PadPressOf(int pad, const DIDEVICEOBJECTDATA &event)
{
    const PadCapsRecord &caps = PadCaps[pad];
    DWORD offset = event.dwOfs;
    if (offset >= DIJOFS_BUTTON(0) && offset < DIJOFS_BUTTON(PAD_BINDING_BUTTONS)) {
        uint32_t b = offset - DIJOFS_BUTTON(0);
        if (b < caps.ButtonCount && (event.dwData & 0x80))
            return PadButtonCode(pad, b);
    } else if (offset >= DIJOFS_POV(0) && offset < DIJOFS_POV(PAD_BINDING_HATS) &&
               (offset - DIJOFS_POV(0)) % sizeof(DWORD) == 0) {
        uint32_t h = (offset - DIJOFS_POV(0)) / sizeof(DWORD);
        if (h < caps.PovCount && !PovCentred(event.dwData))
            return PadPovCode(pad, h, PovDirection(event.dwData));
    }
    return PAD_BINDING_NONE;
}

// One state read of a pad into Reads.pads, and its buffered presses into
// Reads.padTaps; true when the state read succeeded.
static bool ReadPad(int pad)
{
    Reads.padRead[pad] = false;
    Reads.padTapCount[pad] = 0;
    IDirectInputDevice8A *device = PadDevices[pad];
    if (!device)
        return false;
    device->Poll();
    HRESULT hr = device->GetDeviceState(sizeof Reads.pads[pad], &Reads.pads[pad]);
    if (FAILED(hr)) {
        ReacquireIfLost(device, hr);
        return false;
    }
    Reads.padRead[pad] = true;
    FollowRest(pad, Reads.pads[pad]);
    DWORD events = ReadBufferedEvents(device);
    for (DWORD i = 0; i < events; ++i) {
        uint32_t code = PadPressOf(pad, Reads.events[i]);
        if (code != PAD_BINDING_NONE)
            Reads.padTaps[pad][Reads.padTapCount[pad]++] = { code, Reads.events[i].dwSequence };
    }
    return true;
}

void LearnPadRest()
{
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        if (!PadDevices[pad])
            continue;
        Reads.rest[pad].learnPending = true;
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
    if (side == PAD_REST_CENTRE || side == Reads.rest[pad].side[axis])
        return -1;
    return (int)minCode + (side == PAD_REST_MAX);
}

// The first input of one pad's state that choose takes, in the fixed order
// of kinds, or PAD_BINDING_NONE. The rotation axes count only with
// PAD_CAPTURE_ROTATION in captureFlags, the sliders only with
// PAD_CAPTURE_SLIDERS.
static uint32_t FirstPadInput(int pad, const DIJOYSTATE &state, uint32_t captureFlags,
                              InputChoice choose, void *context)
{
    const PadCapsRecord &caps = PadCaps[pad];

    for (uint32_t b = 0; b < caps.ButtonCount && b < PAD_BINDING_BUTTONS; ++b) {
        uint32_t code = PadButtonCode(pad, b);
        if ((state.rgbButtons[b] & 0x80) && Takes(choose, context, code))
            return code;
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
        uint32_t code = PadAxisCode(pad, (uint32_t)direction);
        if (direction >= 0 && Takes(choose, context, code))
            return code;
    }

    if (captureFlags & PAD_CAPTURE_SLIDERS) {
        for (uint32_t s = 0; s < caps.SliderCount && s < PAD_BINDING_SLIDERS; ++s) {
            int end = AxisDirection(pad, state, PAD_REST_SLIDER0 + (int)s, 0);
            uint32_t code = PadSliderCode(pad, s, (uint32_t)end);
            if (end >= 0 && Takes(choose, context, code))
                return code;
        }
    }

    for (uint32_t h = 0; h < caps.PovCount && h < PAD_BINDING_HATS; ++h) {
        DWORD value = state.rgdwPOV[h];
        uint32_t code = PadPovCode(pad, h, PovDirection(value));
        if (!PovCentred(value) && Takes(choose, context, code))
            return code;
    }
    return PAD_BINDING_NONE;
}

uint32_t PollPads(uint32_t captureFlags, InputChoice choose, void *context)
{
    if (Reads.padsReleased) {
        Reads.padsReleased = false;
        for (IDirectInputDevice8A *device : PadDevices) {
            if (device)
                device->Acquire();
        }
    }
    // Every pad is read, also when the first holds an input, so that the
    // live display sees each pad's state of this tick.
    for (int pad = 0; pad < PAD_SLOTS; ++pad)
        ReadPad(pad);
    uint32_t held = HeldPadInput(captureFlags, choose, context);
    if (held != PAD_BINDING_NONE)
        return held;
    // The earliest press of either pad.
    const PadTap *earliest = NULL;
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        for (int i = 0; i < Reads.padTapCount[pad]; ++i) {
            const PadTap &tap = Reads.padTaps[pad][i];
            if (!Takes(choose, context, tap.code))
                continue;
            if (!earliest || DISEQUENCE_COMPARE(tap.sequence, <, earliest->sequence))
                earliest = &tap;
            break;
        }
    }
    return earliest ? earliest->code : PAD_BINDING_NONE;
}

uint32_t HeldPadInput(uint32_t captureFlags, InputChoice choose, void *context)
{
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        if (!Reads.padRead[pad])
            continue;
        uint32_t code = FirstPadInput(pad, Reads.pads[pad], captureFlags, choose, context);
        if (code != PAD_BINDING_NONE)
            return code;
    }
    return PAD_BINDING_NONE;
}

bool PadActive(int pad)
{
    if (pad < 0 || pad >= PAD_SLOTS || !Reads.padRead[pad])
        return false;
    // A pad without a usable button count still has 32 button bytes.
    const DIJOYSTATE &state = Reads.pads[pad];
    for (BYTE button : state.rgbButtons) {
        if (button & 0x80)
            return true;
    }
    return FirstPadInput(pad, state, AllPadInputs, NULL, NULL) != PAD_BINDING_NONE;
}

bool PadBindingActive(uint32_t code)
{
    if (!IsToolPadBinding(code))
        return false;
    int pad = PadBindingPad(code);
    if (!Reads.padRead[pad])
        return false;
    const DIJOYSTATE &state = Reads.pads[pad];
    uint32_t field = PadBindingDirection(code);
    switch (PadBindingKind(code)) {
    case PAD_BINDING_BUTTON:
        return (state.rgbButtons[PadBindingButton(code)] & 0x80) != 0;
    case PAD_BINDING_AXIS:
        return AxisDirection(pad, state, (int)(field / 2), field & ~1u) == (int)field;
    case PAD_BINDING_SLIDER:
        return AxisDirection(pad, state, PAD_REST_SLIDER0 + (int)PadBindingSlider(code), 0) == (int)field;
    case PAD_BINDING_POV: {
        DWORD value = state.rgdwPOV[PadBindingHat(code)];
        return !PovCentred(value) && PovDirection(value) == field;
    }
    }
    return false;
}
