// Opening and closing the DirectInput 8 keyboard and pads, and recording
// what each pad offers.
#include "input/input.h"

#include <string.h>

#include "input/directx.h"

IDirectInput8A *DirectInputObject;
IDirectInputDevice8A *KeyboardDevice;
IDirectInputDevice8A *PadDevices[PAD_SLOTS];
uint32_t PadSlotCounter;
PadCapsRecord PadCaps[PAD_SLOTS];
char PadNames[PAD_SLOTS][MAX_PATH];

// How the pads were found, to know when to look again:
// - the cooperative-level window the devices were opened with, which pads
//   opened again later use too;
// - the instance and product GUIDs DirectInput reported for the pad in
//   each slot;
// - the game controllers the last pad enumeration offered, in its order,
//   up to where it stopped: after the second created pad, any controllers
//   beyond are never looked at, so they do not count as a change either;
// - the system's list of raw input devices (pads among them, also on Wine
//   and Proton) when the pads were last looked for. Reading it costs about
//   a microsecond, while DirectInput's enumeration costs milliseconds
//   under Wine.
#define ATTACHED_MAX 16
static struct {
    HWND window;
    GUID instances[PAD_SLOTS];
    GUID products[PAD_SLOTS];
    GUID attached[ATTACHED_MAX];
    int attachedCount;           // offered, possibly more than ATTACHED_MAX
    bool attachedAllSeen;        // the enumeration ran to its end
    uint32_t rawInputSignature;
} PadSearch;

static uint32_t RawInputSignature()
{
    RAWINPUTDEVICELIST devices[64];
    UINT count = sizeof devices / sizeof devices[0];
    UINT listed = GetRawInputDeviceList(devices, &count, sizeof devices[0]);
    if (listed == (UINT)-1)
        return count;   // more than the room here: the count alone
    uint32_t signature = listed;
    for (UINT i = 0; i < listed; ++i)
        signature = signature * 31 + (uint32_t)(uintptr_t)devices[i].hDevice;
    return signature;
}

// Cooperative levels: the keyboard is shared, the pads are ours; both only
// while the sheet is in the foreground.
static const DWORD KeyboardCooperation = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;
static const DWORD PadCooperation = DISCL_EXCLUSIVE | DISCL_FOREGROUND;

// The DirectX 5 and later capabilities record, the only one the pads are
// asked with.
static_assert(sizeof(DIDEVCAPS) == 44, "DIDEVCAPS of DirectInput 5 and later");

// Gives a device a buffer of INPUT_BUFFER_EVENTS events, so that a press
// shorter than the time between two polls is still seen. Only while the
// device is not acquired. A device that refuses is read by its state alone.
// DirectInput names this property by the number 1 passed as a GUID
// reference (DIPROP_BUFFERSIZE), which is never read as a GUID; the
// sanitized test build would take it for a misaligned object.
__attribute__((no_sanitize("alignment")))
static void GiveInputBuffer(IDirectInputDevice8A *device)
{
    DIPROPDWORD size;
    size.diph.dwSize = sizeof size;
    size.diph.dwHeaderSize = sizeof size.diph;
    size.diph.dwObj = 0;
    size.diph.dwHow = DIPH_DEVICE;
    size.dwData = INPUT_BUFFER_EVENTS;
    device->SetProperty(DIPROP_BUFFERSIZE, &size.diph);
}

template <typename Interface> static void ReleaseAndEmpty(Interface *&object)
{
    object->Release();
    object = NULL;
}

static BOOL CALLBACK PadFoundCallback(LPCDIDEVICEINSTANCEA device, LPVOID)
{
    if (PadSearch.attachedCount < ATTACHED_MAX)
        PadSearch.attached[PadSearch.attachedCount] = device->guidInstance;
    ++PadSearch.attachedCount;
    HRESULT hr = DirectInputObject->CreateDevice(device->guidInstance,
                                                 &PadDevices[PadSlotCounter], NULL);
    if (FAILED(hr))
        return DIENUM_CONTINUE;   // the next controller is tried for this slot
    // The record's name need not be terminated within its 260 characters.
    lstrcpynA(PadNames[PadSlotCounter], device->tszProductName, MAX_PATH);
    PadSearch.instances[PadSlotCounter] = device->guidInstance;
    PadSearch.products[PadSlotCounter] = device->guidProduct;
    ++PadSlotCounter;
    if (PadSlotCounter < PAD_SLOTS)
        return DIENUM_CONTINUE;
    PadSearch.attachedAllSeen = false;
    return DIENUM_STOP;
}

static BOOL CALLBACK PadObjectCallback(LPCDIDEVICEOBJECTINSTANCEA object, LPVOID context)
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
    if (IsEqualGUID(type, GUID_XAxis))
        caps.HasX = 1;
    else if (IsEqualGUID(type, GUID_YAxis))
        caps.HasY = 1;
    else if (IsEqualGUID(type, GUID_ZAxis))
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
        PadNames[slot][0] = '\0';
        return;
    }
    memset(&PadCaps[slot], 0, sizeof PadCaps[slot]);
    if (pad->EnumObjects(PadObjectCallback, (LPVOID)(uintptr_t)slot, DIDFT_ALL) != DI_OK) {
        ReleaseAndEmpty(pad);
        PadNames[slot][0] = '\0';
        return;
    }
    GiveInputBuffer(pad);
    pad->Acquire();
    // A refused capabilities request counts no buttons, whatever the
    // driver may have left in the record.
    DIDEVCAPS caps;
    memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    HRESULT hr = pad->GetCapabilities(&caps);
    PadCaps[slot].ButtonCount = FAILED(hr) ? 0 : caps.dwButtons;
}

// Finds the first two controllers that can be created and sets them up, as
// pads 0 and 1; records what the enumeration offered.
static void OpenPads()
{
    PadDevices[0] = NULL;
    PadDevices[1] = NULL;
    PadSlotCounter = 0;
    memset(PadNames, 0, sizeof PadNames);
    memset(PadSearch.instances, 0, sizeof PadSearch.instances);
    memset(PadSearch.products, 0, sizeof PadSearch.products);
    PadSearch.attachedCount = 0;
    PadSearch.attachedAllSeen = true;
    DirectInputObject->EnumDevices(DI8DEVCLASS_GAMECTRL, PadFoundCallback, NULL,
                                   DIEDFL_ATTACHEDONLY);
    for (int slot = 0; slot < PAD_SLOTS; ++slot) {
        if (PadDevices[slot])
            SetUpPad(slot, PadSearch.window);
    }
}

static void ClosePads()
{
    for (int slot = 0; slot < PAD_SLOTS; ++slot) {
        if (PadDevices[slot]) {
            PadDevices[slot]->Unacquire();
            ReleaseAndEmpty(PadDevices[slot]);
        }
    }
}

// Asks the device for a property of its own (not of one object) into a
// record of size bytes that begins with its header; false when refused.
static bool GetDeviceProperty(IDirectInputDevice8A *device, REFGUID property,
                              DIPROPHEADER &header, DWORD size)
{
    memset(&header, 0, size);
    header.dwSize = size;
    header.dwHeaderSize = sizeof header;
    header.dwHow = DIPH_DEVICE;
    return SUCCEEDED(device->GetProperty(property, &header));
}

bool ReadPadIdentity(int slot, PadIdentityRecord &identity)
{
    memset(&identity, 0, sizeof identity);
    IDirectInputDevice8A *pad = PadDevices[slot];
    if (!pad)
        return false;
    // A HID pad's product GUID is {MAKELONG(VID, PID), 0, 0, "\0\0PIDVID"}.
    static const BYTE PidVid[8] = { 0, 0, 'P', 'I', 'D', 'V', 'I', 'D' };
    const GUID &product = PadSearch.products[slot];
    if (memcmp(product.Data4, PidVid, sizeof PidVid) == 0 && product.Data2 == 0 &&
        product.Data3 == 0) {
        identity.vendor = LOWORD(product.Data1);
        identity.product = HIWORD(product.Data1);
    } else {
        DIPROPDWORD ids;
        if (GetDeviceProperty(pad, DIPROP_VIDPID, ids.diph, sizeof ids)) {
            identity.vendor = LOWORD(ids.dwData);
            identity.product = HIWORD(ids.dwData);
        }
    }
    identity.instance = PadSearch.instances[slot];
    DIPROPGUIDANDPATH path;
    if (GetDeviceProperty(pad, DIPROP_GUIDANDPATH, path.diph, sizeof path)) {
        path.wszPath[MAX_PATH - 1] = 0;
        lstrcpyW(identity.path, path.wszPath);
        for (const WCHAR *c = path.wszPath; c[0] && c[1] && c[2]; ++c) {
            if ((c[0] == 'I' || c[0] == 'i') && (c[1] == 'G' || c[1] == 'g') && c[2] == '_') {
                identity.xinput = true;
                break;
            }
        }
    }
    return true;
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
        GiveInputBuffer(KeyboardDevice);
        KeyboardDevice->Acquire();
    } else {
        KeyboardDevice = NULL;
    }

    PadSearch.window = sheet;
    PadSearch.rawInputSignature = RawInputSignature();
    OpenPads();
    return 1;
}

void CloseInputDevices()
{
    ForgetInputStates();
    if (!DirectInputObject)
        return;
    if (KeyboardDevice) {
        KeyboardDevice->Unacquire();
        ReleaseAndEmpty(KeyboardDevice);
    }
    ClosePads();
    ReleaseAndEmpty(DirectInputObject);
}

// Compares each controller the enumeration offers with the one recorded at
// the same place; stops at the first difference, or where the recorded
// enumeration stopped.
struct AttachedComparison {
    int seen;
    bool differs;
};

static BOOL CALLBACK CompareAttachedCallback(LPCDIDEVICEINSTANCEA device, LPVOID context)
{
    AttachedComparison &compare = *(AttachedComparison *)context;
    int i = compare.seen++;
    if (i >= PadSearch.attachedCount) {
        // One more than the recorded enumeration offered, unless that one
        // stopped before it could see any more.
        compare.differs = PadSearch.attachedAllSeen;
        return DIENUM_STOP;
    }
    // Beyond the record's room only the count can be compared.
    if (i < ATTACHED_MAX && !IsEqualGUID(device->guidInstance, PadSearch.attached[i])) {
        compare.differs = true;
        return DIENUM_STOP;
    }
    if (i + 1 == PadSearch.attachedCount && !PadSearch.attachedAllSeen)
        return DIENUM_STOP;
    return DIENUM_CONTINUE;
}

int PadDevicesMayHaveChanged()
{
    return DirectInputObject && RawInputSignature() != PadSearch.rawInputSignature;
}

int RefreshPadDevices()
{
    if (!DirectInputObject)
        return 0;
    PadSearch.rawInputSignature = RawInputSignature();
    AttachedComparison compare = { 0, false };
    if (FAILED(DirectInputObject->EnumDevices(DI8DEVCLASS_GAMECTRL, CompareAttachedCallback,
                                              &compare, DIEDFL_ATTACHEDONLY)))
        return 0;
    if (!compare.differs && compare.seen < PadSearch.attachedCount)
        compare.differs = true;   // fewer controllers than before
    if (!compare.differs)
        return 0;
    ClosePads();
    memset(PadCaps, 0, sizeof PadCaps);
    ForgetPadStates();
    OpenPads();
    LearnPadRest();
    return 1;
}
