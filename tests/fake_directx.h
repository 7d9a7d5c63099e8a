// A kit of fake DirectX objects for tests, plugged in through the tool's
// DirectX entry-point pointers. A test scripts the world (which devices
// exist, what they report, which calls fail), runs the tool's code, and
// reads back what the tool called and what it left alive.
//
// A typical input test:
//     FakePad &pad = FakeInput.AddPad(12);          // X, Y and 12 buttons
//     pad.Axis(GUID_ZAxis);                          // one more object
//     pad.results.setCooperativeLevel = E_FAIL;      // every call fails
//     pad.results.Queue(FakeCall::GetDeviceState, { DIERR_INPUTLOST });
//     ... OpenInputDevices, PollPads ...
//     EXPECT_EQ(FakeInput.CallsOf("pad0"), (std::vector<std::string>{ ... }));
#pragma once
#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "input/directx.h"

// The device calls whose results a test can script, one queue each.
enum class FakeCall {
    Create, SetDataFormat, SetCooperativeLevel, EnumObjects, SetProperty,
    GetCapabilities, Acquire, Unacquire, Poll, GetDeviceState,
    Count
};

// Results a fake device gives. Each call gives the results queued for it,
// one per call and in order, and once its queue is empty the standing
// result below (DI_OK unless a test says otherwise).
struct FakeDeviceResults {
    HRESULT create = DI_OK;
    HRESULT setDataFormat = DI_OK;
    HRESULT setCooperativeLevel = DI_OK;
    HRESULT enumObjects = DI_OK;       // given after the objects were offered
    HRESULT setProperty = DI_OK;
    HRESULT getCapabilities = DI_OK;   // the record is filled whatever it says
    HRESULT acquire = DI_OK;
    HRESULT unacquire = DI_OK;
    HRESULT poll = DI_OK;
    HRESULT getDeviceState = DI_OK;
    // SetProperty fails with DIERR_INVALIDPARAM from this zero-based call
    // on; -1: never.
    int setPropertyFailsFrom = -1;

    // The next calls of one kind give these results, e.g.
    // Queue(FakeCall::GetDeviceState, { DIERR_INPUTLOST }) for one lost read.
    void Queue(FakeCall call, std::initializer_list<HRESULT> next);
    // The result of one call: the first queued one, else the standing one.
    HRESULT Take(FakeCall call);
    HRESULT &Standing(FakeCall call);

    std::deque<HRESULT> queued[(int)FakeCall::Count];
};

// What every fake device has: its scripted results and what the tool told
// it. The keyboard and each pad are one of these.
struct FakeDeviceScript {
    FakeDeviceResults results;
    HWND cooperativeWindow = NULL;     // the window of the last SetCooperativeLevel
    bool acquired = false;             // after a successful Acquire, until Unacquire or a loss
    DIDEVCAPS capsAsked{};             // the record GetCapabilities received, as received

    // The buffer the tool gave the device (DIPROP_BUFFERSIZE; 0: none) and
    // its events, which GetDeviceData hands out oldest first. Tap: a press
    // and its release at a data offset (a key's code, DIJOFS_BUTTON(n)).
    DWORD bufferSize = 0;
    std::deque<DIDEVICEOBJECTDATA> buffered;
    void Tap(DWORD offset);

    // The sheet left the foreground: the next state read reports
    // DIERR_INPUTLOST, later ones DIERR_NOTACQUIRED, until the tool acquires
    // the device again.
    void LoseInput();
    bool inputLost = false;
    bool lossReported = false;
};

// One game controller in enumeration order. Build it with the chained
// helpers, then move its live state between ticks.
struct FakePad : FakeDeviceScript {
    GUID instance{};
    // The product name the enumeration reports, all of its MAX_PATH bytes
    // when it is that long (then without a terminator).
    std::string name;
    // Unplugged: no longer enumerated or created; a device made before
    // reports its input lost and cannot be acquired. Changing it changes
    // the list without any notice; the sheet hears of it only when a test
    // sends WM_DEVICECHANGE.
    bool attached = true;
    // DirectInput may list a pad a moment after Windows' device notice, or
    // go on listing one that has left: until listChangeAt (GetTickCount)
    // the enumeration shows the pad as it was before the change.
    bool listChangeLate = false;
    DWORD listChangeAt = 0;
    FakePad &ListedIn(DWORD milliseconds);        // plugged in, listed that much later
    void UnplugListedFor(DWORD milliseconds);     // unplugged, listed that much longer
    bool Listed() const;
    std::vector<DIDEVICEOBJECTINSTANCEA> objects;   // offered by EnumObjects
    DWORD capsButtons = 0;     // dwButtons reported by GetCapabilities
    DIJOYSTATE state{};
    DIJOYSTATE rest{};         // what Rest() returns the state to
    int setPropertyCalls = 0;
    std::vector<DIPROPRANGE> ranges;   // every range the tool set

    FakePad &Axis(const GUID &type);   // X, Y, Z, Rx, Ry, Rz or a slider (absolute axis)
    FakePad &Object(const GUID &type, DWORD dwType);   // any object
    FakePad &Buttons(int count);       // objects and the caps count
    FakePad &Sliders(int count);
    FakePad &Povs(int count);
    // An axis that rests away from the centre (a trigger at -128, a pedal
    // at 127); the state goes there at once.
    FakePad &RestsAt(LONG DIJOYSTATE::*axis, LONG value);
    FakePad &Named(const std::string &product) { name = product; return *this; }
    // Which pad it is: the USB vendor and product ids, which the
    // enumeration reports in the PIDVID form of guidProduct (or, with
    // pidvidProduct false, only DIPROP_VIDPID does), and the device path
    // DIPROP_GUIDANDPATH gives. No ids and no path: both properties are
    // refused.
    FakePad &Ids(WORD vendorId, WORD productId, bool inProductGuid = true)
    {
        vendor = vendorId;
        product = productId;
        pidvidProduct = inProductGuid;
        return *this;
    }
    FakePad &Path(const std::wstring &devicePath) { path = devicePath; return *this; }
    WORD vendor = 0, product = 0;
    bool pidvidProduct = true;
    std::wstring path;
    void Rest();                       // back to rest: hats centred, buttons up
    void Press(int button) { state.rgbButtons[button] = 0x80; }
};

struct FakeKeyboard : FakeDeviceScript {
    bool present = true;
    BYTE keys[256]{};
    void Press(int code) { keys[code] = 0x80; }
    void Release(int code) { keys[code] = 0; }
    void ReleaseAll();
};

struct FakeInputWorld {
    HRESULT createResult = DI_OK;      // DirectInput8Create
    HINSTANCE createInstance = NULL;   // the instance it was given
    FakeKeyboard keyboard;
    std::deque<FakePad> pads;          // deque: references stay valid
    // Every call the tool made, in order: "dinput.CreateDevice(keyboard)",
    // "keyboard.SetCooperativeLevel(6)", "pad1.Acquire", ... A benchmark
    // turns the record off, since it allocates.
    std::vector<std::string> calls;
    bool recordCalls = true;
    int liveObjects = 0;               // COM objects not yet released
    // How long each EnumDevices takes: 15 to 85 ms on typical Windows
    // machines, more with some drivers; 0 here unless a test says so.
    DWORD enumerationDelay = 0;

    FakePad &AddPad(int buttons = 12); // X and Y axes and the buttons
    // The calls made on one device, without its prefix: "Acquire", ...
    std::vector<std::string> CallsOf(const std::string &device) const;
    int Count(const std::string &call) const;
};

struct FakeProbeWorld {
    bool direct3DMissing = false;      // Direct3DCreate8 returns NULL
    HRESULT capsResult = D3D_OK;
    DWORD pixelShaderVersion = D3DPS_VERSION(1, 1);
    HRESULT soundResult = DS_OK;       // DirectSoundCreate
    UINT sdkVersion = 0;               // what the tool asked for
    UINT capsAdapter = ~0u;
    D3DDEVTYPE capsDeviceType = D3DDEVTYPE_FORCE_DWORD;
    bool soundDeviceWasDefault = false;
    int liveObjects = 0;
};

extern FakeInputWorld FakeInput;
extern FakeProbeWorld FakeProbes;

// Resets the scripted worlds (keyboard present, no pads, both probes
// positive) and points the tool's entry points at the fakes.
void InstallFakeDirectX();
// Points the entry points back at the tool's own loaders, which take the
// real DirectX runtime from the system directory, as a process starts.
void InstallRealDirectX();
// Convenience: the two probe outcomes.
void SetProbeOutcome(bool pixelShader, bool sound);
// Which fake a device interface is: "keyboard", "pad0", "pad1", ... in the
// order of FakeInput.pads; "" for NULL.
std::string FakeDeviceName(IDirectInputDevice8A *device);
