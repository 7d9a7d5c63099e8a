// Live capture: one immediate state read per device and call, nothing kept
// between calls and nothing allocated.
#include "input/input.h"
#include "input/pad_binding.h"
#include "settings/settings.h"

static const LONG Threshold = 64;   // strict: -64..64 is rest

static_assert(sizeof(DIJOYSTATE::rgbButtons) == PAD_BINDING_BUTTONS, "state buttons");
static_assert(sizeof(DIJOYSTATE::rglSlider) / sizeof(LONG) == PAD_BINDING_SLIDERS, "state sliders");
static_assert(sizeof(DIJOYSTATE::rgdwPOV) / sizeof(DWORD) == PAD_BINDING_HATS, "state hats");

// A device that is not acquired is acquired again: one whose acquisition
// was lost, and one that never had it. The devices are opened while the
// sheet is still hidden, and a foreground device cannot be acquired until
// its window is in the foreground, so without this no key or pad input
// would ever be read. Any other failure leaves the device silent.
static void ReacquireIfLost(IDirectInputDevice8A *device, HRESULT hr)
{
    if (hr == DIERR_INPUTLOST || hr == DIERR_NOTACQUIRED)
        device->Acquire();
}

int PollKeyboard()
{
    if (!KeyboardDevice)
        return -1;
    BYTE keys[256];
    HRESULT hr = KeyboardDevice->GetDeviceState(sizeof keys, keys);
    if (FAILED(hr)) {
        ReacquireIfLost(KeyboardDevice, hr);
        return -1;
    }
    for (int code = 0; code < 256; ++code) {
        if (keys[code] & 0x80)
            return code;
    }
    return -1;
}

// The direction code of a deflected axis value, or -1 at rest. minCode is
// the code of the axis' low end; its high end is minCode + 1.
static int AxisDirection(LONG value, uint32_t minCode)
{
    if (value < -Threshold)
        return (int)minCode;
    if (value > Threshold)
        return (int)minCode + 1;
    return -1;
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

// The first input of one pad's state, in the fixed order of kinds, or
// PAD_BINDING_NONE. The advanced flags are read afresh on every call.
static uint32_t FirstPadInput(int pad, const DIJOYSTATE &state)
{
    const PadCapsRecord &caps = PadCaps[pad];
    uint32_t padBits = PadBindingPadBits(pad);

    for (uint32_t b = 0; b < caps.ButtonCount && b < PAD_BINDING_BUTTONS; ++b) {
        if (state.rgbButtons[b] & 0x80)
            return padBits | PAD_BINDING_BUTTON | b;
    }

    struct AxisTest { LONG value; bool present; uint32_t minCode; };
    bool rotation = (Settings.PadAdvancedFlags & PAD_ADVANCED_ROTATION) != 0;
    const AxisTest axes[] = {
        { state.lY, true, PAD_AXIS_Y_MIN },
        { state.lX, true, PAD_AXIS_X_MIN },
        { state.lZ, caps.HasZ != 0, PAD_AXIS_Z_MIN },
        { state.lRx, rotation && caps.HasRx, PAD_AXIS_RX_MIN },
        { state.lRy, rotation && caps.HasRy, PAD_AXIS_RY_MIN },
        { state.lRz, rotation && caps.HasRz, PAD_AXIS_RZ_MIN },
    };
    for (const AxisTest &axis : axes) {
        int direction = axis.present ? AxisDirection(axis.value, axis.minCode) : -1;
        if (direction >= 0)
            return padBits | PAD_BINDING_AXIS | (uint32_t)direction;
    }

    if (Settings.PadAdvancedFlags & PAD_ADVANCED_SLIDERS) {
        for (uint32_t s = 0; s < caps.SliderCount && s < PAD_BINDING_SLIDERS; ++s) {
            int end = AxisDirection(state.rglSlider[s], 0);
            if (end >= 0)
                return padBits | PAD_BINDING_SLIDER | (s << 8) | (uint32_t)end;
        }
    }

    for (uint32_t h = 0; h < caps.PovCount && h < PAD_BINDING_HATS; ++h) {
        DWORD value = state.rgdwPOV[h];
        if (LOWORD(value) == 0xFFFF)
            continue;   // centred
        return padBits | PAD_BINDING_POV | (h << 8) | PovDirection(value);
    }
    return PAD_BINDING_NONE;
}

uint32_t PollPads()
{
    for (int pad = 0; pad < PAD_SLOTS; ++pad) {
        IDirectInputDevice8A *device = PadDevices[pad];
        if (!device)
            continue;
        device->Poll();
        DIJOYSTATE state;
        HRESULT hr = device->GetDeviceState(sizeof state, &state);
        if (FAILED(hr)) {
            ReacquireIfLost(device, hr);
            continue;
        }
        uint32_t code = FirstPadInput(pad, state);
        if (code != PAD_BINDING_NONE)
            return code;
    }
    return PAD_BINDING_NONE;
}
