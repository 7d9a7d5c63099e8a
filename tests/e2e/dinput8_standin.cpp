// A DirectInput 8 stand-in for the end-to-end suite, built as dinput8.dll
// and installed only into the suite's private Wine prefix (never shipped,
// never beside config.exe). The game controllers it reports are described
// by files that the suite writes, and their live states are read from
// files on every state read, so a scenario can press a pad button or move
// a stick while the tool runs. The keyboard stays Wine's own: it is
// created through Wine's DirectInput 7 (dinput.dll), whose keyboard object
// also answers as IDirectInputDevice8A.
//
// Files, in the folder named by the environment variable PAD_STANDIN_DIR:
//   padN        one attached controller, N = 0..7 in enumeration order;
//               lines "buttons 12", "axes X Y Z RX RY RZ", "sliders 2",
//               "povs 1" (missing lines mean none; X and Y are always there),
//               "name Arcade Stick" (the product name; "Stand-in pad" when
//               missing), "vidpid 054c 05c4" (USB vendor and product ids in
//               hexadecimal, given in the PIDVID form of guidProduct and by
//               DIPROP_VIDPID), "path \\?\hid#vid_045e&pid_028e&ig_00"
//               (the device path DIPROP_GUIDANDPATH gives). Written while the tool runs, the controller is
//               plugged in; removed, it is unplugged.
//   padN.state  its live state; lines "buttons 0 3" (held, zero-based),
//               "X -128", "Y 127", "Z", "RX", "RY", "RZ", "S0", "S1" with a
//               value in the range the tool set, "POV0 9000" .. "POV3";
//               a missing file or line means at rest
// Without the variable no controller is attached.
#include <windows.h>
#include <dinput.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "tests/dinput_device_stubs.h"

namespace {

const int MaxPads = 8;

// The axes a described pad may have, in DIJOYSTATE member order.
struct AxisKind {
    const char *name;
    const GUID *type;
    DWORD offset;
};
const AxisKind AxisKinds[] = {
    { "X", &GUID_XAxis, DIJOFS_X },   { "Y", &GUID_YAxis, DIJOFS_Y },
    { "Z", &GUID_ZAxis, DIJOFS_Z },   { "RX", &GUID_RxAxis, DIJOFS_RX },
    { "RY", &GUID_RyAxis, DIJOFS_RY }, { "RZ", &GUID_RzAxis, DIJOFS_RZ },
};
const int AxisKindCount = 6;

struct PadDescription {
    bool present = false;
    bool axes[AxisKindCount] = { true, true };
    int buttons = 0;
    int sliders = 0;
    int povs = 0;
    char name[MAX_PATH] = "Stand-in pad";
    unsigned vendor = 0, product = 0;
    char path[MAX_PATH] = "";
};

char StandInFolder[MAX_PATH];

bool PadFileName(int pad, const char *suffix, char *path)
{
    if (!StandInFolder[0])
        return false;
    snprintf(path, MAX_PATH, "%s\\pad%d%s", StandInFolder, pad, suffix);
    return true;
}

// Reads "word values..." lines; calls take(word, rest of the line).
template <typename Take> void ReadLines(const char *path, Take take)
{
    FILE *file = fopen(path, "r");
    if (!file)
        return;
    char line[256];
    while (fgets(line, sizeof line, file)) {
        char word[32];
        int used = 0;
        if (sscanf(line, "%31s %n", word, &used) == 1)
            take(word, line + used);
    }
    fclose(file);
}

PadDescription DescribePad(int pad)
{
    PadDescription description;
    char path[MAX_PATH];
    if (!PadFileName(pad, "", path) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return description;
    description.present = true;
    ReadLines(path, [&](const char *word, const char *rest) {
        if (!strcmp(word, "buttons"))
            description.buttons = atoi(rest);
        else if (!strcmp(word, "sliders"))
            description.sliders = atoi(rest);
        else if (!strcmp(word, "povs"))
            description.povs = atoi(rest);
        else if (!strcmp(word, "vidpid"))
            sscanf(rest, "%x %x", &description.vendor, &description.product);
        else if (!strcmp(word, "path"))
            lstrcpynA(description.path, rest, (int)std::min<size_t>(strcspn(rest, "\r\n") + 1, MAX_PATH));
        else if (!strcmp(word, "name"))
            lstrcpynA(description.name, rest, (int)std::min<size_t>(strcspn(rest, "\r\n") + 1, MAX_PATH));
        else if (!strcmp(word, "axes")) {
            char name[8];
            int used = 0;
            while (sscanf(rest, "%7s%n", name, &used) == 1) {
                for (int a = 0; a < AxisKindCount; ++a) {
                    if (!_stricmp(name, AxisKinds[a].name))
                        description.axes[a] = true;
                }
                rest += used;
            }
        }
    });
    return description;
}

GUID PadInstanceGuid(int pad)
{
    // {5a11d000-0000-4000-8000-00000000000N}
    GUID guid = { 0x5a11d000, 0, 0x4000, { 0x80, 0, 0, 0, 0, 0, 0, (BYTE)pad } };
    return guid;
}

int PadOfGuid(REFGUID guid)
{
    for (int pad = 0; pad < MaxPads; ++pad) {
        if (IsEqualGUID(guid, PadInstanceGuid(pad)))
            return pad;
    }
    return -1;
}

// IUnknown of a heap object that answers to one interface.
template <typename Base, const IID *Own> class StandInObject : public Base {
public:
    virtual ~StandInObject() {}
    STDMETHOD(QueryInterface)(REFIID iid, LPVOID *out) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, *Own)) {
            this->AddRef();
            *out = this;
            return S_OK;
        }
        *out = NULL;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++references; }
    STDMETHOD_(ULONG, Release)() override
    {
        ULONG left = --references;
        if (left == 0)
            delete this;
        return left;
    }

private:
    ULONG references = 1;
};

// One stand-in controller. Only what a game's configuration tool uses does
// anything; the rest answers E_NOTIMPL.
class StandInPad final : public StandInObject<DirectInputDeviceStubs, &IID_IDirectInputDevice8A> {
public:
    StandInPad(int pad, const PadDescription &description) : pad(pad), description(description) {}

    STDMETHOD(GetCapabilities)(LPDIDEVCAPS caps) override
    {
        if (!caps || caps->dwSize < sizeof(DIDEVCAPS_DX3))
            return DIERR_INVALIDPARAM;
        DWORD size = caps->dwSize;
        memset(caps, 0, size);
        caps->dwSize = size;
        caps->dwFlags = DIDC_ATTACHED;
        caps->dwDevType = DI8DEVTYPE_GAMEPAD | (DI8DEVTYPEGAMEPAD_STANDARD << 8);
        for (int a = 0; a < AxisKindCount; ++a)
            caps->dwAxes += description.axes[a];
        caps->dwAxes += description.sliders;
        caps->dwButtons = description.buttons;
        caps->dwPOVs = description.povs;
        return DI_OK;
    }

    STDMETHOD(EnumObjects)(LPDIENUMDEVICEOBJECTSCALLBACKA callback, LPVOID context, DWORD) override
    {
        DIDEVICEOBJECTINSTANCEA object;
        int axisInstance = 0;
        for (int a = 0; a < AxisKindCount; ++a) {
            if (!description.axes[a])
                continue;
            Describe(object, *AxisKinds[a].type, AxisKinds[a].offset,
                     DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(axisInstance++), AxisKinds[a].name);
            if (callback(&object, context) == DIENUM_STOP)
                return DI_OK;
        }
        for (int s = 0; s < description.sliders && s < 2; ++s) {
            Describe(object, GUID_Slider, DIJOFS_SLIDER(s),
                     DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(axisInstance++), "Slider");
            if (callback(&object, context) == DIENUM_STOP)
                return DI_OK;
        }
        for (int b = 0; b < description.buttons && b < 32; ++b) {
            Describe(object, GUID_Button, DIJOFS_BUTTON(b),
                     DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(b), "Button");
            if (callback(&object, context) == DIENUM_STOP)
                return DI_OK;
        }
        for (int h = 0; h < description.povs && h < 4; ++h) {
            Describe(object, GUID_POV, DIJOFS_POV(h), DIDFT_POV | DIDFT_MAKEINSTANCE(h), "Hat");
            if (callback(&object, context) == DIENUM_STOP)
                return DI_OK;
        }
        return DI_OK;
    }

    STDMETHOD(GetProperty)(REFGUID property, LPDIPROPHEADER header) override
    {
        if (!header || header->dwHeaderSize != sizeof(DIPROPHEADER))
            return DIERR_INVALIDPARAM;
        if (&property == &DIPROP_VIDPID && header->dwSize == sizeof(DIPROPDWORD) &&
            (description.vendor || description.product)) {
            ((DIPROPDWORD *)header)->dwData = MAKELONG(description.vendor, description.product);
            return DI_OK;
        }
        if (&property == &DIPROP_GUIDANDPATH && header->dwSize == sizeof(DIPROPGUIDANDPATH) &&
            description.path[0]) {
            DIPROPGUIDANDPATH &answer = *(DIPROPGUIDANDPATH *)header;
            MultiByteToWideChar(CP_ACP, 0, description.path, -1, answer.wszPath, MAX_PATH);
            return DI_OK;
        }
        return DIERR_UNSUPPORTED;
    }

    STDMETHOD(SetProperty)(REFGUID, LPCDIPROPHEADER header) override
    {
        return header ? DI_OK : DIERR_INVALIDPARAM;
    }

    // Foreground devices behave as DirectInput's do: they can be acquired
    // only while their window is in the foreground, and lose the
    // acquisition (DIERR_INPUTLOST) when it leaves.
    STDMETHOD(Acquire)() override
    {
        if (!formatSet)
            return DIERR_INVALIDPARAM;
        if (!DescribePad(pad).present)
            return DIERR_UNPLUGGED;
        if (!InForeground())
            return DIERR_OTHERAPPHASPRIO;
        if (acquired)
            return S_FALSE;
        acquired = true;
        return DI_OK;
    }
    STDMETHOD(Unacquire)() override
    {
        if (!acquired)
            return DI_NOEFFECT;
        acquired = false;
        return DI_OK;
    }
    STDMETHOD(GetDeviceState)(DWORD size, LPVOID data) override
    {
        if (size != sizeof(DIJOYSTATE) || !data)
            return DIERR_INVALIDPARAM;
        if (!acquired)
            return DIERR_NOTACQUIRED;
        if (!InForeground() || !DescribePad(pad).present) {
            acquired = false;
            return DIERR_INPUTLOST;
        }
        ReadState(*(DIJOYSTATE *)data);
        return DI_OK;
    }
    STDMETHOD(SetDataFormat)(LPCDIDATAFORMAT format) override
    {
        if (!format || format->dwDataSize != sizeof(DIJOYSTATE))
            return DIERR_INVALIDPARAM;
        formatSet = true;
        return DI_OK;
    }
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD flags) override
    {
        if (!IsWindow(window))
            return E_HANDLE;
        cooperativeWindow = window;
        cooperativeFlags = flags;
        return DI_OK;
    }
    STDMETHOD(Poll)() override { return acquired ? DI_NOEFFECT : DIERR_NOTACQUIRED; }

private:
    void Describe(DIDEVICEOBJECTINSTANCEA &object, const GUID &type, DWORD offset, DWORD kind,
                  const char *name)
    {
        memset(&object, 0, sizeof object);
        object.dwSize = sizeof object;
        object.guidType = type;
        object.dwOfs = offset;
        object.dwType = kind;
        lstrcpynA(object.tszName, name, sizeof object.tszName);
    }

    bool InForeground() const
    {
        if (!(cooperativeFlags & DISCL_FOREGROUND))
            return true;
        HWND foreground = GetForegroundWindow();
        return foreground && GetAncestor(cooperativeWindow, GA_ROOT) == foreground;
    }

    void ReadState(DIJOYSTATE &state) const
    {
        memset(&state, 0, sizeof state);
        for (DWORD &pov : state.rgdwPOV)
            pov = 0xFFFFFFFF;
        char path[MAX_PATH];
        if (!PadFileName(pad, ".state", path))
            return;
        LONG *axes[AxisKindCount] = { &state.lX, &state.lY, &state.lZ,
                                      &state.lRx, &state.lRy, &state.lRz };
        ReadLines(path, [&](const char *word, const char *rest) {
            for (int a = 0; a < AxisKindCount; ++a) {
                if (!_stricmp(word, AxisKinds[a].name) && description.axes[a])
                    *axes[a] = atol(rest);
            }
            if (!_stricmp(word, "S0") && description.sliders > 0)
                state.rglSlider[0] = atol(rest);
            if (!_stricmp(word, "S1") && description.sliders > 1)
                state.rglSlider[1] = atol(rest);
            int hat;
            if (sscanf(word, "POV%d", &hat) == 1 && hat >= 0 && hat < description.povs && hat < 4)
                state.rgdwPOV[hat] = strtoul(rest, NULL, 10);
            if (!strcmp(word, "buttons")) {
                int button, used = 0;
                while (sscanf(rest, "%d%n", &button, &used) == 1) {
                    if (button >= 0 && button < description.buttons && button < 32)
                        state.rgbButtons[button] = 0x80;
                    rest += used;
                }
            }
        });
    }

    int pad;
    PadDescription description;
    bool formatSet = false;
    bool acquired = false;
    HWND cooperativeWindow = NULL;
    DWORD cooperativeFlags = 0;
};

typedef HRESULT (WINAPI *DirectInputCreateExProc)(HINSTANCE, DWORD, REFIID, LPVOID *, LPUNKNOWN);

// The DirectInput 8 object: controllers from the files, the keyboard from
// Wine's own DirectInput.
class StandInDirectInput final : public StandInObject<IDirectInput8A, &IID_IDirectInput8A> {
public:
    explicit StandInDirectInput(HINSTANCE instance) : instance(instance) {}
    ~StandInDirectInput() override
    {
        if (wine)
            wine->Release();
    }

    STDMETHOD(CreateDevice)(REFGUID guid, LPDIRECTINPUTDEVICE8A *device, LPUNKNOWN outer) override
    {
        if (!device)
            return E_POINTER;
        *device = NULL;
        int pad = PadOfGuid(guid);
        if (pad >= 0) {
            PadDescription description = DescribePad(pad);
            if (!description.present)
                return DIERR_DEVICENOTREG;
            *device = new StandInPad(pad, description);
            return DI_OK;
        }
        if (IsEqualGUID(guid, GUID_SysKeyboard) && OpenWineDirectInput())
            return wine->CreateDeviceEx(guid, IID_IDirectInputDevice8A, (LPVOID *)device, outer);
        return DIERR_DEVICENOTREG;
    }

    STDMETHOD(EnumDevices)(DWORD type, LPDIENUMDEVICESCALLBACKA callback, LPVOID context, DWORD) override
    {
        if (type != DI8DEVCLASS_ALL && type != DI8DEVCLASS_GAMECTRL)
            return DI_OK;
        for (int pad = 0; pad < MaxPads; ++pad) {
            PadDescription description = DescribePad(pad);
            if (!description.present)
                continue;
            DIDEVICEINSTANCEA instance;
            memset(&instance, 0, sizeof instance);
            instance.dwSize = sizeof instance;
            instance.guidInstance = PadInstanceGuid(pad);
            instance.guidProduct = PadInstanceGuid(pad);
            if (description.vendor || description.product) {
                GUID pidvid = { MAKELONG(description.vendor, description.product), 0, 0,
                                { 0, 0, 'P', 'I', 'D', 'V', 'I', 'D' } };
                instance.guidProduct = pidvid;
            }
            instance.dwDevType = DI8DEVTYPE_GAMEPAD | (DI8DEVTYPEGAMEPAD_STANDARD << 8);
            snprintf(instance.tszInstanceName, sizeof instance.tszInstanceName, "Stand-in pad %d", pad + 1);
            lstrcpyA(instance.tszProductName, description.name);
            if (callback(&instance, context) == DIENUM_STOP)
                break;
        }
        return DI_OK;
    }
    STDMETHOD(GetDeviceStatus)(REFGUID guid) override
    {
        return PadOfGuid(guid) >= 0 && DescribePad(PadOfGuid(guid)).present ? DI_OK : DI_NOTATTACHED;
    }
    STDMETHOD(RunControlPanel)(HWND, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(HINSTANCE, DWORD) override { return DI_OK; }
    STDMETHOD(FindDevice)(REFGUID, LPCSTR, LPGUID) override { return E_NOTIMPL; }
    STDMETHOD(EnumDevicesBySemantics)(LPCSTR, LPDIACTIONFORMATA, LPDIENUMDEVICESBYSEMANTICSCBA, LPVOID, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(ConfigureDevices)(LPDICONFIGUREDEVICESCALLBACK, LPDICONFIGUREDEVICESPARAMSA, DWORD, LPVOID) override { return E_NOTIMPL; }

private:
    bool OpenWineDirectInput()
    {
        if (wine)
            return true;
        HMODULE module = LoadLibraryA("dinput.dll");
        DirectInputCreateExProc create = module
            ? (DirectInputCreateExProc)(void *)GetProcAddress(module, "DirectInputCreateEx")
            : NULL;
        return create && SUCCEEDED(create(instance, 0x0700, IID_IDirectInput7A, (LPVOID *)&wine, NULL));
    }

    HINSTANCE instance;
    IDirectInput7A *wine = NULL;
};

} // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DirectInput8Create(HINSTANCE instance, DWORD version,
                                                                   REFIID iid, LPVOID *out, LPUNKNOWN)
{
    if (!out)
        return E_POINTER;
    *out = NULL;
    if (version < 0x0800)
        return DIERR_OLDDIRECTINPUTVERSION;
    if (!IsEqualIID(iid, IID_IDirectInput8A))
        return E_NOINTERFACE;
    DWORD length = GetEnvironmentVariableA("PAD_STANDIN_DIR", StandInFolder, sizeof StandInFolder);
    if (length == 0 || length >= sizeof StandInFolder)
        StandInFolder[0] = 0;
    *out = new StandInDirectInput(instance);
    return DI_OK;
}
