// A kit of fake DirectX objects for tests, plugged in through the tool's
// DirectX entry-point pointers. A test scripts the world (which devices
// exist, what they report, which calls fail), runs the tool's code, and
// reads back what the tool called and what it left alive.
#pragma once
#include <deque>
#include <string>
#include <vector>

#include "app/directx.h"

// Results a fake device gives, DI_OK unless a test says otherwise.
struct FakeDeviceResults {
    HRESULT create = DI_OK;
    HRESULT setDataFormat = DI_OK;
    HRESULT setCooperativeLevel = DI_OK;
    HRESULT enumObjects = DI_OK;
    HRESULT acquire = DI_OK;
    HRESULT getCapabilities = DI_OK;
    HRESULT getDeviceState = DI_OK;
    // SetProperty fails from this zero-based call on; -1: never.
    int setPropertyFailsFrom = -1;
};

// One game controller in enumeration order. Build it with the chained
// helpers, then move its live state between ticks.
struct FakePad {
    GUID instance{};
    std::vector<DIDEVICEOBJECTINSTANCEA> objects;
    DWORD capsButtons = 0;     // dwButtons reported by GetCapabilities
    DIJOYSTATE state{};
    FakeDeviceResults results;
    int setPropertyCalls = 0;
    std::vector<DIPROPRANGE> ranges;   // every range the tool set

    FakePad &Axis(const GUID &type);   // X, Y, Z, Rx, Ry, Rz or a slider
    FakePad &Buttons(int count);       // objects and the caps count
    FakePad &Sliders(int count);
    FakePad &Povs(int count);
    void Rest();                       // sticks centred, hats centred, buttons up
    void Press(int button) { state.rgbButtons[button] = 0x80; }
};

struct FakeKeyboard {
    bool present = true;
    BYTE keys[256]{};
    FakeDeviceResults results;
    void Press(int code) { keys[code] = 0x80; }
    void Release(int code) { keys[code] = 0; }
    void ReleaseAll();
};

struct FakeInputWorld {
    HRESULT createResult = DI_OK;      // DirectInput8Create
    FakeKeyboard keyboard;
    std::deque<FakePad> pads;          // deque: references stay valid
    // Every call the tool made, in order: "dinput.CreateDevice(keyboard)",
    // "keyboard.SetCooperativeLevel(6)", "pad1.Acquire", ...
    std::vector<std::string> calls;
    int liveObjects = 0;               // COM objects not yet released

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
// Convenience: the two probe outcomes.
void SetProbeOutcome(bool pixelShader, bool sound);
