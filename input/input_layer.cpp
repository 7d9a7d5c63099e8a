// Opening and closing the DirectInput 8 keyboard and pads, and recording
// what each pad offers.
#include "input/input.h"

#include <string.h>

#include "app/directx.h"

IDirectInput8A *DirectInputObject;
IDirectInputDevice8A *KeyboardDevice;
IDirectInputDevice8A *PadDevices[PAD_SLOTS];
uint32_t PadSlotCounter;
PadCapsRecord PadCaps[PAD_SLOTS];

// Cooperative levels: the keyboard is shared, the pads are ours; both only
// while the sheet is in the foreground.
static const DWORD KeyboardCooperation = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;
static const DWORD PadCooperation = DISCL_EXCLUSIVE | DISCL_FOREGROUND;

// The DirectX 5 and later capabilities record, the only one the pads are
// asked with.
static_assert(sizeof(DIDEVCAPS) == 44, "DIDEVCAPS of DirectInput 5 and later");

template <typename Interface> static void ReleaseAndEmpty(Interface *&object)
{
    object->Release();
    object = NULL;
}

BOOL CALLBACK PadFoundCallback(LPCDIDEVICEINSTANCEA device, LPVOID)
{
    HRESULT hr = DirectInputObject->CreateDevice(device->guidInstance,
                                                 &PadDevices[PadSlotCounter], NULL);
    if (FAILED(hr))
        return DIENUM_CONTINUE;   // the next controller is tried for this slot
    ++PadSlotCounter;
    return PadSlotCounter == PAD_SLOTS ? DIENUM_STOP : DIENUM_CONTINUE;
}

BOOL CALLBACK PadObjectCallback(LPCDIDEVICEOBJECTINSTANCEA object, LPVOID context)
{
    uintptr_t pad = (uintptr_t)context;
    if (object->dwType & DIDFT_AXIS) {
        // Every axis, sliders included, reports -128..127 around its rest.
        DIPROPRANGE range;
        range.diph.dwSize = sizeof(DIPROPRANGE);
        range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
        range.diph.dwObj = object->dwType;
        range.diph.dwHow = DIPH_BYID;
        range.lMin = -128;
        range.lMax = 127;
        if (FAILED(PadDevices[pad]->SetProperty(DIPROP_RANGE, &range.diph)))
            return DIENUM_STOP;
    }

    PadCapsRecord &caps = PadCaps[pad];
    const GUID &type = object->guidType;
    if (IsEqualGUID(type, GUID_ZAxis))
        caps.HasZ = 1;
    else if (IsEqualGUID(type, GUID_RxAxis))
        caps.HasRx = 1;
    else if (IsEqualGUID(type, GUID_RyAxis))
        caps.HasRy = 1;
    else if (IsEqualGUID(type, GUID_RzAxis))
        caps.HasRz = 1;
    else if (IsEqualGUID(type, GUID_Slider))
        ++caps.SliderCount;
    else if (IsEqualGUID(type, GUID_POV))
        ++caps.PovCount;
    return DIENUM_CONTINUE;
}

// Sets up the pad in one slot; on any refusal the slot is emptied and the
// other slot keeps its index.
static void SetUpPad(int slot, HWND sheet)
{
    IDirectInputDevice8A *&pad = PadDevices[slot];
    if (pad->SetDataFormat(&c_dfDIJoystick) != DI_OK ||
        pad->SetCooperativeLevel(sheet, PadCooperation) != DI_OK) {
        ReleaseAndEmpty(pad);
        return;
    }
    memset(&PadCaps[slot], 0, sizeof PadCaps[slot]);
    if (pad->EnumObjects(PadObjectCallback, (LPVOID)(uintptr_t)slot, DIDFT_ALL) != DI_OK) {
        ReleaseAndEmpty(pad);
        return;
    }
    pad->Acquire();
    // A refused capabilities request counts no buttons, whatever the
    // driver may have left in the record.
    DIDEVCAPS caps;
    memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    HRESULT hr = pad->GetCapabilities(&caps);
    PadCaps[slot].ButtonCount = FAILED(hr) ? 0 : caps.dwButtons;
}

int OpenInputDevices(HINSTANCE instance, HWND sheet)
{
    if (FAILED(DirectInput8CreateEntry(instance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                       (LPVOID *)&DirectInputObject, NULL))) {
        DirectInputObject = NULL;
        return 0;
    }

    if (SUCCEEDED(DirectInputObject->CreateDevice(GUID_SysKeyboard, &KeyboardDevice, NULL))) {
        if (FAILED(KeyboardDevice->SetDataFormat(&c_dfDIKeyboard)) ||
            FAILED(KeyboardDevice->SetCooperativeLevel(sheet, KeyboardCooperation))) {
            ReleaseAndEmpty(DirectInputObject);
            ReleaseAndEmpty(KeyboardDevice);
            return 0;
        }
        KeyboardDevice->Acquire();
    } else {
        KeyboardDevice = NULL;
    }

    PadDevices[0] = NULL;
    PadDevices[1] = NULL;
    PadSlotCounter = 0;
    DirectInputObject->EnumDevices(DI8DEVCLASS_GAMECTRL, PadFoundCallback, NULL,
                                   DIEDFL_ATTACHEDONLY);
    for (int slot = 0; slot < PAD_SLOTS; ++slot) {
        if (PadDevices[slot])
            SetUpPad(slot, sheet);
    }
    return 1;
}

void CloseInputDevices()
{
    if (!DirectInputObject)
        return;
    if (KeyboardDevice) {
        KeyboardDevice->Unacquire();
        ReleaseAndEmpty(KeyboardDevice);
    }
    for (int slot = 0; slot < PAD_SLOTS; ++slot) {
        if (PadDevices[slot]) {
            PadDevices[slot]->Unacquire();
            ReleaseAndEmpty(PadDevices[slot]);
        }
    }
    ReleaseAndEmpty(DirectInputObject);
}
