// The fake DirectX objects behind fake_directx.h.
#include "fake_directx.h"
#include "tests/dinput_device_stubs.h"

#include <string.h>

#include <algorithm>

FakeInputWorld FakeInput;
FakeProbeWorld FakeProbes;

static std::string Hex(unsigned long value)
{
    char text[16];
    wsprintfA(text, "%lx", value);
    return text;
}

HRESULT &FakeDeviceResults::Standing(FakeCall call)
{
    switch (call) {
    case FakeCall::Create: return create;
    case FakeCall::SetDataFormat: return setDataFormat;
    case FakeCall::SetCooperativeLevel: return setCooperativeLevel;
    case FakeCall::EnumObjects: return enumObjects;
    case FakeCall::SetProperty: return setProperty;
    case FakeCall::GetCapabilities: return getCapabilities;
    case FakeCall::Acquire: return acquire;
    case FakeCall::Unacquire: return unacquire;
    case FakeCall::Poll: return poll;
    case FakeCall::GetDeviceState:
    case FakeCall::Count: break;
    }
    return getDeviceState;
}

void FakeDeviceResults::Queue(FakeCall call, std::initializer_list<HRESULT> next)
{
    std::deque<HRESULT> &queue = queued[(int)call];
    queue.insert(queue.end(), next.begin(), next.end());
}

HRESULT FakeDeviceResults::Take(FakeCall call)
{
    std::deque<HRESULT> &queue = queued[(int)call];
    if (queue.empty())
        return Standing(call);
    HRESULT result = queue.front();
    queue.pop_front();
    return result;
}

void FakeDeviceScript::LoseInput()
{
    inputLost = true;
    lossReported = false;
}

FakePad &FakePad::Object(const GUID &type, DWORD dwType)
{
    DIDEVICEOBJECTINSTANCEA object{};
    object.dwSize = sizeof object;
    object.guidType = type;
    object.dwType = dwType;
    objects.push_back(object);
    return *this;
}

FakePad &FakePad::Axis(const GUID &type)
{
    return Object(type, DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(objects.size()));
}

FakePad &FakePad::Buttons(int count)
{
    for (int i = 0; i < count; ++i)
        Object(GUID_Button, DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(i));
    capsButtons = (DWORD)count;
    return *this;
}

FakePad &FakePad::Sliders(int count)
{
    for (int i = 0; i < count; ++i)
        Axis(GUID_Slider);
    return *this;
}

FakePad &FakePad::Povs(int count)
{
    for (int i = 0; i < count; ++i)
        Object(GUID_POV, DIDFT_POV | DIDFT_MAKEINSTANCE(i));
    return *this;
}

FakePad &FakePad::RestsAt(LONG DIJOYSTATE::*axis, LONG value)
{
    rest.*axis = value;
    state.*axis = value;
    return *this;
}

void FakePad::Rest()
{
    state = rest;
}

FakePad &FakePad::ListedIn(DWORD milliseconds)
{
    listChangeLate = true;
    listChangeAt = GetTickCount() + milliseconds;
    return *this;
}

void FakePad::UnplugListedFor(DWORD milliseconds)
{
    attached = false;
    listChangeLate = true;
    listChangeAt = GetTickCount() + milliseconds;
}

bool FakePad::Listed() const
{
    bool asBefore = listChangeLate && (LONG)(listChangeAt - GetTickCount()) > 0;
    return attached != asBefore;
}

void FakeKeyboard::ReleaseAll()
{
    memset(keys, 0, sizeof keys);
}

FakePad &FakeInputWorld::AddPad(int buttons)
{
    pads.emplace_back();
    FakePad &pad = pads.back();
    pad.instance = GUID{ 0x5a000000u + (unsigned)pads.size(), 0, 0, { 0 } };
    pad.Axis(GUID_XAxis).Axis(GUID_YAxis).Buttons(buttons);
    for (DWORD &pov : pad.rest.rgdwPOV)
        pov = 0xFFFFFFFF;
    pad.Rest();
    return pad;
}

std::vector<std::string> FakeInputWorld::CallsOf(const std::string &device) const
{
    std::vector<std::string> result;
    std::string prefix = device + ".";
    for (const std::string &call : calls) {
        if (call.compare(0, prefix.size(), prefix) == 0)
            result.push_back(call.substr(prefix.size()));
    }
    return result;
}

void FakeDeviceScript::Tap(DWORD offset)
{
    static DWORD sequence;
    buffered.push_back({ offset, 0x80, 0, ++sequence, 0 });
    buffered.push_back({ offset, 0, 0, ++sequence, 0 });
}

int FakeInputWorld::Count(const std::string &call) const
{
    int n = 0;
    for (const std::string &c : calls)
        n += c == call;
    return n;
}

// Each call is recorded as one text built from its parts; the text is built
// only while the record is kept, so that a benchmark with the record off
// sees no allocation from the fakes.
static void Append(std::string &text, const std::string &part) { text += part; }
static void Append(std::string &text, const char *part) { text += part; }
static void Append(std::string &text, unsigned long number) { text += std::to_string(number); }

template <typename... Parts> static void Log(const Parts &...parts)
{
    if (!FakeInput.recordCalls)
        return;
    std::string call;
    (Append(call, parts), ...);
    FakeInput.calls.push_back(call);
}

// Reference counting shared by every fake; the worlds count live objects so
// a test can see that the tool released everything it created.
template <typename Interface> struct FakeObject : Interface {
    ULONG refs = 1;
    int *live;
    explicit FakeObject(int *liveCounter) : live(liveCounter) { ++*live; }
    virtual ~FakeObject() = default;
    STDMETHOD(QueryInterface)(REFIID, void **out) override
    {
        *out = NULL;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override
    {
        ULONG left = --refs;
        if (left == 0) {
            --*live;
            delete this;
        }
        return left;
    }
};

// One device: the keyboard (pad == NULL) or a pad. It behaves as
// DirectInput does where the tool could tell the difference: a state read
// needs the size of the data format that was set.
struct FakeDevice : FakeObject<DirectInputDeviceStubs> {
    std::string name;
    FakePad *pad;
    FakeDeviceScript &script;
    FakeDeviceResults &results;
    DWORD formatSize = 0;      // dwDataSize of the accepted data format

    FakeDevice(const std::string &deviceName, FakePad *fakePad, FakeDeviceScript &scripted)
        : FakeObject(&FakeInput.liveObjects), name(deviceName), pad(fakePad), script(scripted),
          results(scripted.results) {}

    STDMETHOD_(ULONG, Release)() override
    {
        Log(name, ".Release");
        return FakeObject::Release();
    }
    STDMETHOD(GetCapabilities)(LPDIDEVCAPS caps) override
    {
        Log(name, ".GetCapabilities(", caps->dwSize, ")");
        if (caps->dwSize != sizeof(DIDEVCAPS) && caps->dwSize != sizeof(DIDEVCAPS_DX3))
            return DIERR_INVALIDPARAM;
        memcpy(&script.capsAsked, caps, caps->dwSize);
        caps->dwButtons = pad ? pad->capsButtons : 0;
        return results.Take(FakeCall::GetCapabilities);
    }
    STDMETHOD(EnumObjects)(LPDIENUMDEVICEOBJECTSCALLBACKA callback, LPVOID context, DWORD flags) override
    {
        Log(name, ".EnumObjects(", Hex(flags), ")");
        for (const DIDEVICEOBJECTINSTANCEA &object : pad->objects) {
            if (callback(&object, context) == DIENUM_STOP)
                break;
        }
        return results.Take(FakeCall::EnumObjects);
    }
    STDMETHOD(GetProperty)(REFGUID property, LPDIPROPHEADER header) override
    {
        Log(name, ".GetProperty(", Hex((unsigned long)(uintptr_t)&property), ")");
        if (!pad || header->dwHeaderSize != sizeof(DIPROPHEADER) || header->dwHow != DIPH_DEVICE)
            return DIERR_INVALIDPARAM;
        if (&property == &DIPROP_VIDPID && header->dwSize == sizeof(DIPROPDWORD)) {
            if (!pad->vendor && !pad->product)
                return DIERR_UNSUPPORTED;
            ((DIPROPDWORD *)header)->dwData = MAKELONG(pad->vendor, pad->product);
            return DI_OK;
        }
        if (&property == &DIPROP_GUIDANDPATH && header->dwSize == sizeof(DIPROPGUIDANDPATH)) {
            if (pad->path.empty())
                return DIERR_UNSUPPORTED;
            DIPROPGUIDANDPATH &answer = *(DIPROPGUIDANDPATH *)header;
            answer.guidClass = GUID{ 0x745a17a0, 0x74d3, 0x11d0,
                                     { 0xb6, 0xfe, 0x00, 0xa0, 0xc9, 0x0f, 0x57, 0xda } };
            lstrcpynW(answer.wszPath, pad->path.c_str(), MAX_PATH);
            return DI_OK;
        }
        return DIERR_UNSUPPORTED;
    }
    STDMETHOD(SetProperty)(REFGUID property, LPCDIPROPHEADER header) override
    {
        Log(name, ".SetProperty(", Hex((unsigned long)(uintptr_t)&property), ")");
        HRESULT hr = results.Take(FakeCall::SetProperty);
        if (&property == &DIPROP_BUFFERSIZE) {
            script.bufferSize = SUCCEEDED(hr) ? ((const DIPROPDWORD *)header)->dwData : 0;
            return hr;
        }
        int call = pad->setPropertyCalls++;
        if (results.setPropertyFailsFrom >= 0 && call >= results.setPropertyFailsFrom)
            hr = DIERR_INVALIDPARAM;
        if (SUCCEEDED(hr))
            pad->ranges.push_back(*(const DIPROPRANGE *)header);
        return hr;
    }
    STDMETHOD(Acquire)() override
    {
        Log(name, ".Acquire");
        if (pad && !pad->attached)
            return DIERR_UNPLUGGED;
        HRESULT hr = results.Take(FakeCall::Acquire);
        if (SUCCEEDED(hr)) {
            script.acquired = true;
            script.inputLost = false;
        }
        return hr;
    }
    STDMETHOD(Unacquire)() override
    {
        Log(name, ".Unacquire");
        script.acquired = false;
        return results.Take(FakeCall::Unacquire);
    }
    STDMETHOD(GetDeviceState)(DWORD size, LPVOID data) override
    {
        Log(name, ".GetDeviceState(", size, ")");
        if (pad && !pad->attached) {
            script.acquired = false;
            return DIERR_INPUTLOST;
        }
        if (script.inputLost) {
            script.acquired = false;
            if (script.lossReported)
                return DIERR_NOTACQUIRED;
            script.lossReported = true;
            return DIERR_INPUTLOST;
        }
        HRESULT hr = results.Take(FakeCall::GetDeviceState);
        if (FAILED(hr))
            return hr;
        if (size != formatSize)
            return DIERR_INVALIDPARAM;
        if (pad)
            memcpy(data, &pad->state, sizeof pad->state);
        else
            memcpy(data, FakeInput.keyboard.keys, sizeof FakeInput.keyboard.keys);
        return hr;
    }
    STDMETHOD(GetDeviceData)(DWORD size, LPDIDEVICEOBJECTDATA data, LPDWORD count, DWORD) override
    {
        if (!script.bufferSize || size != sizeof *data)
            return DIERR_NOTBUFFERED;
        DWORD n = 0;
        for (; n < *count && !script.buffered.empty(); ++n, script.buffered.pop_front())
            data[n] = script.buffered.front();
        *count = n;
        return DI_OK;
    }
    STDMETHOD(SetDataFormat)(LPCDIDATAFORMAT format) override
    {
        const char *which = format == &c_dfDIKeyboard ? "keyboard"
                          : format == &c_dfDIJoystick ? "joystick" : "other";
        Log(name, ".SetDataFormat(", which, ")");
        HRESULT hr = results.Take(FakeCall::SetDataFormat);
        if (SUCCEEDED(hr))
            formatSize = format->dwDataSize;
        return hr;
    }
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD flags) override
    {
        Log(name, ".SetCooperativeLevel(", flags, ")");
        script.cooperativeWindow = window;
        return results.Take(FakeCall::SetCooperativeLevel);
    }
    STDMETHOD(Poll)() override
    {
        Log(name, ".Poll");
        return results.Take(FakeCall::Poll);
    }
};

std::string FakeDeviceName(IDirectInputDevice8A *device)
{
    FakeDevice *fake = dynamic_cast<FakeDevice *>(device);
    return fake ? fake->name : device ? "not a fake" : "";
}

static std::string PadName(size_t index)
{
    return "pad" + std::to_string(index);
}

struct FakeDirectInput : FakeObject<IDirectInput8A> {
    FakeDirectInput() : FakeObject(&FakeInput.liveObjects) {}

    STDMETHOD_(ULONG, Release)() override
    {
        Log("dinput.Release");
        return FakeObject::Release();
    }
    STDMETHOD(CreateDevice)(REFGUID guid, LPDIRECTINPUTDEVICE8A *out, LPUNKNOWN outer) override
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (IsEqualGUID(guid, GUID_SysKeyboard)) {
            Log("dinput.CreateDevice(keyboard)");
            FakeKeyboard &keyboard = FakeInput.keyboard;
            HRESULT hr = keyboard.present ? keyboard.results.Take(FakeCall::Create) : DIERR_DEVICENOTREG;
            if (FAILED(hr))
                return hr;
            *out = new FakeDevice("keyboard", NULL, keyboard);
            return hr;
        }
        for (size_t i = 0; i < FakeInput.pads.size(); ++i) {
            FakePad &pad = FakeInput.pads[i];
            if (!IsEqualGUID(guid, pad.instance))
                continue;
            Log("dinput.CreateDevice(", PadName(i), ")");
            HRESULT hr = pad.attached ? pad.results.Take(FakeCall::Create) : DIERR_DEVICENOTREG;
            if (FAILED(hr))
                return hr;
            *out = new FakeDevice(PadName(i), &pad, pad);
            return hr;
        }
        Log("dinput.CreateDevice(unknown)");
        return DIERR_DEVICENOTREG;
    }
    STDMETHOD(EnumDevices)(DWORD type, LPDIENUMDEVICESCALLBACKA callback, LPVOID context, DWORD flags) override
    {
        Log("dinput.EnumDevices(", type, ",", flags, ")");
        if (FakeInput.enumerationDelay)
            Sleep(FakeInput.enumerationDelay);
        for (const FakePad &pad : FakeInput.pads) {
            if (!pad.Listed())
                continue;
            DIDEVICEINSTANCEA device{};
            device.dwSize = sizeof device;
            device.guidInstance = pad.instance;
            if ((pad.vendor || pad.product) && pad.pidvidProduct) {
                device.guidProduct = GUID{ MAKELONG(pad.vendor, pad.product), 0, 0,
                                           { 0, 0, 'P', 'I', 'D', 'V', 'I', 'D' } };
            }
            device.dwDevType = DI8DEVTYPE_GAMEPAD;
            memcpy(device.tszProductName, pad.name.data(),
                   std::min(pad.name.size(), sizeof device.tszProductName));
            if (callback(&device, context) == DIENUM_STOP)
                break;
        }
        return DI_OK;
    }
    STDMETHOD(GetDeviceStatus)(REFGUID) override { return E_NOTIMPL; }
    STDMETHOD(RunControlPanel)(HWND, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(HINSTANCE, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(FindDevice)(REFGUID, LPCSTR, LPGUID) override { return E_NOTIMPL; }
    STDMETHOD(EnumDevicesBySemantics)(LPCSTR, LPDIACTIONFORMATA, LPDIENUMDEVICESBYSEMANTICSCBA, LPVOID, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(ConfigureDevices)(LPDICONFIGUREDEVICESCALLBACK, LPDICONFIGUREDEVICESPARAMSA, DWORD, LPVOID) override { return E_NOTIMPL; }
};

static HRESULT WINAPI FakeDirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, LPVOID *out,
                                             LPUNKNOWN outer)
{
    Log("DirectInput8Create(", Hex(version), IsEqualGUID(iid, IID_IDirectInput8A) ? ",A)" : ",?)");
    FakeInput.createInstance = instance;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (FAILED(FakeInput.createResult))
        return FakeInput.createResult;
    *out = static_cast<IDirectInput8A *>(new FakeDirectInput);
    return DI_OK;
}

struct FakeDirect3D : FakeObject<IDirect3D8> {
    FakeDirect3D() : FakeObject(&FakeProbes.liveObjects) {}
    STDMETHOD(RegisterSoftwareDevice)(void *) override { return E_NOTIMPL; }
    STDMETHOD_(UINT, GetAdapterCount)() override { return 1; }
    STDMETHOD(GetAdapterIdentifier)(UINT, DWORD, D3DADAPTER_IDENTIFIER8 *) override { return E_NOTIMPL; }
    STDMETHOD_(UINT, GetAdapterModeCount)(UINT) override { return 0; }
    STDMETHOD(EnumAdapterModes)(UINT, UINT, D3DDISPLAYMODE *) override { return E_NOTIMPL; }
    STDMETHOD(GetAdapterDisplayMode)(UINT, D3DDISPLAYMODE *) override { return E_NOTIMPL; }
    STDMETHOD(CheckDeviceType)(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, WINBOOL) override { return E_NOTIMPL; }
    STDMETHOD(CheckDeviceFormat)(UINT, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE, D3DFORMAT) override { return E_NOTIMPL; }
    STDMETHOD(CheckDeviceMultiSampleType)(UINT, D3DDEVTYPE, D3DFORMAT, WINBOOL, D3DMULTISAMPLE_TYPE) override { return E_NOTIMPL; }
    STDMETHOD(CheckDepthStencilMatch)(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, D3DFORMAT) override { return E_NOTIMPL; }
    STDMETHOD(GetDeviceCaps)(UINT adapter, D3DDEVTYPE type, D3DCAPS8 *caps) override
    {
        FakeProbes.capsAdapter = adapter;
        FakeProbes.capsDeviceType = type;
        if (FAILED(FakeProbes.capsResult))
            return FakeProbes.capsResult;
        memset(caps, 0, sizeof *caps);
        caps->PixelShaderVersion = FakeProbes.pixelShaderVersion;
        return D3D_OK;
    }
    STDMETHOD_(HMONITOR, GetAdapterMonitor)(UINT) override { return NULL; }
    STDMETHOD(CreateDevice)(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS *, struct IDirect3DDevice8 **) override { return E_NOTIMPL; }
};

static IDirect3D8 *WINAPI FakeDirect3DCreate8(UINT sdkVersion)
{
    FakeProbes.sdkVersion = sdkVersion;
    if (FakeProbes.direct3DMissing)
        return NULL;
    return new FakeDirect3D;
}

struct FakeDirectSound : FakeObject<IDirectSound> {
    FakeDirectSound() : FakeObject(&FakeProbes.liveObjects) {}
    STDMETHOD(CreateSoundBuffer)(LPCDSBUFFERDESC, LPLPDIRECTSOUNDBUFFER, IUnknown *) override { return E_NOTIMPL; }
    STDMETHOD(GetCaps)(LPDSCAPS) override { return E_NOTIMPL; }
    STDMETHOD(DuplicateSoundBuffer)(LPDIRECTSOUNDBUFFER, LPLPDIRECTSOUNDBUFFER) override { return E_NOTIMPL; }
    STDMETHOD(SetCooperativeLevel)(HWND, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(Compact)() override { return E_NOTIMPL; }
    STDMETHOD(GetSpeakerConfig)(LPDWORD) override { return E_NOTIMPL; }
    STDMETHOD(SetSpeakerConfig)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(LPCGUID) override { return E_NOTIMPL; }
};

static HRESULT WINAPI FakeDirectSoundCreate(LPCGUID device, LPDIRECTSOUND *out, LPUNKNOWN)
{
    FakeProbes.soundDeviceWasDefault = device == NULL;
    if (FAILED(FakeProbes.soundResult))
        return FakeProbes.soundResult;
    *out = new FakeDirectSound;
    return DS_OK;
}

// The tool's own loaders, as the entry points hold them before any test
// replaces them (they are constant-initialised, so this reads them first).
static const DirectInput8CreateProc ToolDirectInput8Create = DirectInput8CreateEntry;
static const Direct3DCreate8Proc ToolDirect3DCreate8 = Direct3DCreate8Entry;
static const DirectSoundCreateProc ToolDirectSoundCreate = DirectSoundCreateEntry;

void InstallRealDirectX()
{
    DirectInput8CreateEntry = ToolDirectInput8Create;
    Direct3DCreate8Entry = ToolDirect3DCreate8;
    DirectSoundCreateEntry = ToolDirectSoundCreate;
}

void InstallFakeDirectX()
{
    FakeInput = FakeInputWorld();
    FakeProbes = FakeProbeWorld();
    DirectInput8CreateEntry = FakeDirectInput8Create;
    Direct3DCreate8Entry = FakeDirect3DCreate8;
    DirectSoundCreateEntry = FakeDirectSoundCreate;
}

void SetProbeOutcome(bool pixelShader, bool sound)
{
    FakeProbes.pixelShaderVersion = pixelShader ? D3DPS_VERSION(1, 1) : D3DPS_VERSION(0, 0);
    FakeProbes.soundResult = sound ? DS_OK : DSERR_NODRIVER;
}
