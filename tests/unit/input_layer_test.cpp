// Opening and closing the DirectInput devices: the calls, their order and
// arguments, and what each refusal leaves open.
#include <gtest/gtest.h>

#include <functional>

#include "input/input.h"
#include "input/pad_binding.h"
#include "settings/settings.h"
#include "tests/sheet_harness.h"

namespace {

typedef std::vector<std::string> Calls;

class InputLayerTest : public ToolStateTest {
protected:
    // The number of fake COM objects the layer holds now.
    static int Held()
    {
        return (DirectInputObject != NULL) + (KeyboardDevice != NULL) + (PadDevices[0] != NULL) +
               (PadDevices[1] != NULL);
    }
};

std::string Label(uint32_t code)
{
    char text[PAD_LABEL_SIZE];
    FormatPadBinding(text, code);
    return text;
}

TEST_F(InputLayerTest, OpenAndCloseMakeTheirCallsInOrderWithTheirArguments)
{
    FakeInput.AddPad(12);
    FakeInput.AddPad(8);
    ASSERT_EQ(OpenInput(), 1);

    const Calls open = {
        "DirectInput8Create(800,A)",
        "dinput.CreateDevice(keyboard)",
        "keyboard.SetDataFormat(keyboard)",
        "keyboard.SetCooperativeLevel(6)",
        "keyboard.SetProperty(1)",   // the buffer
        "keyboard.Acquire",
        "dinput.EnumDevices(4,1)",
        "dinput.CreateDevice(pad0)",
        "dinput.CreateDevice(pad1)",
        "pad0.SetDataFormat(joystick)",
        "pad0.SetCooperativeLevel(5)",
        "pad0.EnumObjects(0)",
        "pad0.SetProperty(4)",
        "pad0.SetProperty(4)",
        "pad0.SetProperty(1)",
        "pad0.Acquire",
        "pad0.GetCapabilities(44)",
        "pad1.SetDataFormat(joystick)",
        "pad1.SetCooperativeLevel(5)",
        "pad1.EnumObjects(0)",
        "pad1.SetProperty(4)",
        "pad1.SetProperty(4)",
        "pad1.SetProperty(1)",
        "pad1.Acquire",
        "pad1.GetCapabilities(44)",
    };
    EXPECT_EQ(FakeInput.calls, open);
    EXPECT_EQ(FakeInput.createInstance, GetModuleHandleA(NULL));
    EXPECT_EQ(FakeInput.keyboard.cooperativeWindow, TEST_SHEET_WINDOW);
    EXPECT_EQ(FakeInput.pads[0].cooperativeWindow, TEST_SHEET_WINDOW);
    EXPECT_EQ(FakeInput.pads[1].cooperativeWindow, TEST_SHEET_WINDOW);
    EXPECT_TRUE(FakeInput.keyboard.acquired);
    EXPECT_TRUE(FakeInput.pads[0].acquired);
    EXPECT_EQ(PadSlotCounter, 2u);
    EXPECT_EQ(PadCaps[0].ButtonCount, 12u);
    EXPECT_EQ(PadCaps[1].ButtonCount, 8u);

    // The capabilities record arrives all zero but for its size.
    DIDEVCAPS asked{};
    asked.dwSize = 44;
    EXPECT_EQ(0, memcmp(&FakeInput.pads[1].capsAsked, &asked, sizeof asked));

    FakeInput.calls.clear();
    CloseInputDevices();
    const Calls close = {
        "keyboard.Unacquire", "keyboard.Release",
        "pad0.Unacquire", "pad0.Release",
        "pad1.Unacquire", "pad1.Release",
        "dinput.Release",
    };
    EXPECT_EQ(FakeInput.calls, close);
    EXPECT_EQ(FakeInput.liveObjects, 0);
    EXPECT_EQ(Held(), 0);
    // The capability records outlive the devices.
    EXPECT_EQ(PadCaps[0].ButtonCount, 12u);
}

// Every row of the failure table, on a world with a keyboard and two pads
// of 12 and 8 buttons: what the open returns, which fake sits in each place
// afterwards, the button counts, and that nothing refused stays alive.
TEST_F(InputLayerTest, EachRefusalLeavesTheDevicesItShould)
{
    struct Case {
        const char *name;
        std::function<void()> script;
        int result;
        const char *keyboard;
        const char *slot0;
        const char *slot1;
        uint32_t buttons0, buttons1;
        bool padsLookedFor;
    };
    FakeKeyboard &kb = FakeInput.keyboard;
    const Case cases[] = {
        { "all well", [] {}, 1, "keyboard", "pad0", "pad1", 12, 8, true },
        { "DirectInput8Create fails", [] { FakeInput.createResult = DIERR_OUTOFMEMORY; },
          0, "", "", "", 0, 0, false },
        { "keyboard CreateDevice fails", [&] { kb.results.create = DIERR_DEVICENOTREG; },
          1, "", "pad0", "pad1", 12, 8, true },
        { "keyboard absent", [&] { kb.present = false; }, 1, "", "pad0", "pad1", 12, 8, true },
        { "keyboard SetDataFormat fails", [&] { kb.results.setDataFormat = DIERR_INVALIDPARAM; },
          0, "", "", "", 0, 0, false },
        { "keyboard SetDataFormat S_FALSE", [&] { kb.results.setDataFormat = S_FALSE; },
          1, "keyboard", "pad0", "pad1", 12, 8, true },
        { "keyboard SetCooperativeLevel fails", [&] { kb.results.setCooperativeLevel = E_HANDLE; },
          0, "", "", "", 0, 0, false },
        { "keyboard SetCooperativeLevel S_FALSE", [&] { kb.results.setCooperativeLevel = S_FALSE; },
          1, "keyboard", "pad0", "pad1", 12, 8, true },
        { "keyboard Acquire fails", [&] { kb.results.acquire = DIERR_OTHERAPPHASPRIO; },
          1, "keyboard", "pad0", "pad1", 12, 8, true },
        { "pad0 CreateDevice fails", [] { FakeInput.pads[0].results.create = DIERR_DEVICENOTREG; },
          1, "keyboard", "pad1", "", 8, 0, true },
        { "pad0 SetDataFormat fails", [] { FakeInput.pads[0].results.setDataFormat = E_FAIL; },
          1, "keyboard", "", "pad1", 0, 8, true },
        { "pad0 SetDataFormat S_FALSE", [] { FakeInput.pads[0].results.setDataFormat = S_FALSE; },
          1, "keyboard", "", "pad1", 0, 8, true },
        { "pad1 SetCooperativeLevel fails", [] { FakeInput.pads[1].results.setCooperativeLevel = DIERR_OTHERAPPHASPRIO; },
          1, "keyboard", "pad0", "", 12, 0, true },
        { "pad0 SetCooperativeLevel S_FALSE", [] { FakeInput.pads[0].results.setCooperativeLevel = S_FALSE; },
          1, "keyboard", "", "pad1", 0, 8, true },
        { "pad0 EnumObjects fails", [] { FakeInput.pads[0].results.enumObjects = DIERR_INVALIDPARAM; },
          1, "keyboard", "", "pad1", 0, 8, true },
        { "pad1 EnumObjects S_FALSE", [] { FakeInput.pads[1].results.enumObjects = S_FALSE; },
          1, "keyboard", "pad0", "", 12, 0, true },
        { "pad0 SetProperty fails", [] { FakeInput.pads[0].results.setProperty = DIERR_UNSUPPORTED; },
          1, "keyboard", "pad0", "pad1", 12, 8, true },
        { "pad0 Acquire fails", [] { FakeInput.pads[0].results.acquire = DIERR_OTHERAPPHASPRIO; },
          1, "keyboard", "pad0", "pad1", 12, 8, true },
        { "pad0 GetCapabilities fails", [] { FakeInput.pads[0].results.getCapabilities = E_FAIL; },
          1, "keyboard", "pad0", "pad1", 0, 8, true },
        { "pad1 GetCapabilities S_FALSE", [] { FakeInput.pads[1].results.getCapabilities = S_FALSE; },
          1, "keyboard", "pad0", "pad1", 12, 8, true },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ResetToolState();
        InstallFakeDirectX();
        FakeInput.AddPad(12);
        FakeInput.AddPad(8);
        c.script();

        EXPECT_EQ(OpenInput(), c.result);
        EXPECT_EQ(FakeDeviceName(KeyboardDevice), c.keyboard);
        EXPECT_EQ(FakeDeviceName(PadDevices[0]), c.slot0);
        EXPECT_EQ(FakeDeviceName(PadDevices[1]), c.slot1);
        EXPECT_EQ(PadCaps[0].ButtonCount, c.buttons0);
        EXPECT_EQ(PadCaps[1].ButtonCount, c.buttons1);
        EXPECT_EQ(FakeInput.Count("dinput.EnumDevices(4,1)"), c.padsLookedFor ? 1 : 0);
        EXPECT_EQ(DirectInputObject != NULL, c.result == 1);
        // Whatever was refused has been released already.
        EXPECT_EQ(FakeInput.liveObjects, Held());

        FakeInput.calls.clear();
        CloseInputDevices();
        EXPECT_EQ(FakeInput.liveObjects, 0);
        if (c.result == 0) {
            EXPECT_EQ(FakeInput.calls, Calls());
        }
    }
}

TEST_F(InputLayerTest, RefusedKeyboardFormatReleasesBothAndOpensNoPad)
{
    struct Case { HRESULT format, cooperation; Calls calls; };
    const Case cases[] = {
        { DIERR_INVALIDPARAM, DI_OK,
          { "DirectInput8Create(800,A)", "dinput.CreateDevice(keyboard)",
            "keyboard.SetDataFormat(keyboard)", "dinput.Release", "keyboard.Release" } },
        { DI_OK, E_HANDLE,
          { "DirectInput8Create(800,A)", "dinput.CreateDevice(keyboard)",
            "keyboard.SetDataFormat(keyboard)", "keyboard.SetCooperativeLevel(6)",
            "dinput.Release", "keyboard.Release" } },
    };
    for (const Case &c : cases) {
        ResetToolState();
        InstallFakeDirectX();
        FakeInput.AddPad();
        FakeInput.keyboard.results.setDataFormat = c.format;
        FakeInput.keyboard.results.setCooperativeLevel = c.cooperation;
        EXPECT_EQ(OpenInput(), 0);
        EXPECT_EQ(FakeInput.calls, c.calls);
        EXPECT_EQ(FakeInput.liveObjects, 0);
        EXPECT_EQ(PollKeyboard(), -1);
        EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), PAD_BINDING_NONE);
    }
}

TEST_F(InputLayerTest, WithoutDirectInputNothingIsCalledAgain)
{
    FakeInput.AddPad();
    FakeInput.createResult = DIERR_OLDDIRECTINPUTVERSION;
    EXPECT_EQ(OpenInput(), 0);
    EXPECT_EQ(FakeInput.calls, Calls{ "DirectInput8Create(800,A)" });
    EXPECT_EQ(PollKeyboard(), -1);
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), PAD_BINDING_NONE);
    CloseInputDevices();
    CloseInputDevices();
    EXPECT_EQ(FakeInput.calls.size(), 1u);
}

TEST_F(InputLayerTest, ClosingTwiceOrUnopenedDoesNothing)
{
    CloseInputDevices();
    EXPECT_TRUE(FakeInput.calls.empty());

    FakeInput.AddPad();
    ASSERT_EQ(OpenInput(), 1);
    CloseInputDevices();
    size_t after = FakeInput.calls.size();
    CloseInputDevices();
    EXPECT_EQ(FakeInput.calls.size(), after);
    EXPECT_EQ(FakeInput.liveObjects, 0);
}

TEST_F(InputLayerTest, NoControllerLeavesBothSlotsEmpty)
{
    EXPECT_EQ(OpenInput(), 1);
    EXPECT_EQ(PadDevices[0], nullptr);
    EXPECT_EQ(PadDevices[1], nullptr);
    const PadCapsRecord zero{};
    EXPECT_EQ(0, memcmp(&PadCaps[0], &zero, sizeof zero));
    EXPECT_EQ(0, memcmp(&PadCaps[1], &zero, sizeof zero));
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), PAD_BINDING_NONE);
    EXPECT_EQ(FakeInput.calls.back(), "dinput.EnumDevices(4,1)");
}

TEST_F(InputLayerTest, OnlyTheFirstTwoCreatableControllersAreTaken)
{
    struct Case { int pads; int uncreatable; Calls created; const char *slot0, *slot1; };
    const Case cases[] = {
        { 3, -1, { "dinput.CreateDevice(pad0)", "dinput.CreateDevice(pad1)" }, "pad0", "pad1" },
        { 3, 0, { "dinput.CreateDevice(pad0)", "dinput.CreateDevice(pad1)", "dinput.CreateDevice(pad2)" },
          "pad1", "pad2" },
        { 2, 0, { "dinput.CreateDevice(pad0)", "dinput.CreateDevice(pad1)" }, "pad1", "" },
        { 4, 1, { "dinput.CreateDevice(pad0)", "dinput.CreateDevice(pad1)", "dinput.CreateDevice(pad2)" },
          "pad0", "pad2" },
    };
    for (const Case &c : cases) {
        ResetToolState();
        InstallFakeDirectX();
        for (int i = 0; i < c.pads; ++i)
            FakeInput.AddPad();
        if (c.uncreatable >= 0)
            FakeInput.pads[c.uncreatable].results.create = DIERR_DEVICENOTREG;
        ASSERT_EQ(OpenInput(), 1);
        Calls created;
        for (const std::string &call : FakeInput.CallsOf("dinput"))
            if (call.compare(0, 13, "CreateDevice(") == 0 && call != "CreateDevice(keyboard)")
                created.push_back("dinput." + call);
        EXPECT_EQ(created, c.created) << c.pads << " pads";
        EXPECT_EQ(FakeDeviceName(PadDevices[0]), c.slot0);
        EXPECT_EQ(FakeDeviceName(PadDevices[1]), c.slot1);
        CloseInputDevices();
        EXPECT_EQ(FakeInput.liveObjects, 0);
    }
}

TEST_F(InputLayerTest, SecondControllerBecomesPadOneWhenTheFirstCannotBeCreated)
{
    FakeInput.AddPad().results.create = E_OUTOFMEMORY;
    FakePad &second = FakeInput.AddPad();
    ASSERT_EQ(OpenInput(), 1);
    second.Press(2);
    uint32_t code = PollPads(Settings.PadAdvancedFlags);
    EXPECT_EQ(code, 0x01000002u);
    EXPECT_EQ(Label(code), "1BUTTON3");
}

TEST_F(InputLayerTest, PadOneKeepsItsIndexWhenPadZeroFailsItsSetUp)
{
    FakeInput.AddPad(12).results.setDataFormat = DIERR_ACQUIRED;
    FakePad &second = FakeInput.AddPad(10);
    ASSERT_EQ(OpenInput(), 1);
    EXPECT_EQ(PadDevices[0], nullptr);
    EXPECT_EQ(PadCaps[0].ButtonCount, 0u);
    EXPECT_EQ(PadCaps[1].ButtonCount, 10u);
    EXPECT_EQ(FakeInput.CallsOf("pad0"), (Calls{ "SetDataFormat(joystick)", "Release" }));

    second.Press(2);
    FakeInput.calls.clear();
    uint32_t code = PollPads(Settings.PadAdvancedFlags);
    EXPECT_EQ(code, 0x81000002u);
    EXPECT_EQ(Label(code), "2BUTTON3");
    EXPECT_EQ(FakeInput.calls, (Calls{ "pad1.Poll", "pad1.GetDeviceState(80)" }));

    // The defaults follow the same indices: player 1 has no pad.
    ApplyPadDefaults(0);
    ApplyPadDefaults(1);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(Settings.PadRow[0][i], PAD_BINDING_NONE) << i;
    EXPECT_EQ(Settings.PadRow[1][0], 0x82000002u);
    EXPECT_EQ(Settings.PadRow[1][4], 0x81000000u);
}

TEST_F(InputLayerTest, ZeroButtonPadStaysOpenAndIsPolledForAxesAndHats)
{
    FakePad &pad = FakeInput.AddPad(0);
    pad.Povs(1);
    ASSERT_EQ(OpenInput(), 1);
    EXPECT_EQ(FakeDeviceName(PadDevices[0]), "pad0");
    EXPECT_TRUE(pad.acquired);
    EXPECT_EQ(PadCaps[0].ButtonCount, 0u);
    EXPECT_EQ(PadCaps[0].PovCount, 1u);

    pad.Press(0);   // the state has buttons, the pad reports none
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), PAD_BINDING_NONE);
    pad.state.rgdwPOV[0] = 9000;
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x04000003u);
    pad.state.lX = -100;
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x02000000u);

    ApplyPadDefaults(0);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(Settings.PadRow[0][i], PAD_BINDING_NONE) << i;
}

TEST_F(InputLayerTest, ObjectsAreCountedByTheirTypeGuid)
{
    FakeInput.AddPad(4).Axis(GUID_ZAxis).Axis(GUID_RxAxis).Axis(GUID_RyAxis).Axis(GUID_RzAxis)
        .Sliders(3).Povs(5);
    FakeInput.AddPad(2).Axis(GUID_RyAxis).Sliders(1).Object(GUID_Key, DIDFT_PSHBUTTON);
    ASSERT_EQ(OpenInput(), 1);
    static const PadCapsRecord full = { 4, 1, 1, 1, 1, 3, 5, 1, 1 };
    static const PadCapsRecord partial = { 2, 0, 0, 1, 0, 1, 0, 1, 1 };
    EXPECT_EQ(0, memcmp(&PadCaps[0], &full, sizeof full));
    EXPECT_EQ(0, memcmp(&PadCaps[1], &partial, sizeof partial));
}

TEST_F(InputLayerTest, EveryAxisObjectGetsTheRangeByItsId)
{
    FakePad &pad = FakeInput.AddPad(0);
    pad.objects.clear();
    pad.Object(GUID_XAxis, DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(0))
        .Object(GUID_Button, DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(0))
        .Object(GUID_YAxis, DIDFT_RELAXIS | DIDFT_MAKEINSTANCE(1))
        .Object(GUID_POV, DIDFT_POV | DIDFT_MAKEINSTANCE(0))
        .Object(GUID_Slider, DIDFT_AXIS | DIDFT_MAKEINSTANCE(2))
        .Object(GUID_Unknown, DIDFT_COLLECTION | DIDFT_NODATA);
    ASSERT_EQ(OpenInput(), 1);
    const DWORD axisIds[] = { pad.objects[0].dwType, pad.objects[2].dwType, pad.objects[4].dwType };
    ASSERT_EQ(pad.ranges.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const DIPROPRANGE &range = pad.ranges[i];
        EXPECT_EQ(range.diph.dwSize, 24u);
        EXPECT_EQ(range.diph.dwHeaderSize, 16u);
        EXPECT_EQ(range.diph.dwObj, axisIds[i]);
        EXPECT_EQ(range.diph.dwHow, (DWORD)DIPH_BYID);
        EXPECT_EQ(range.lMin, -128);
        EXPECT_EQ(range.lMax, 127);
    }
    EXPECT_EQ(FakeInput.Count("pad0.SetProperty(4)"), 3);
}

TEST_F(InputLayerTest, RefusedRangeEndsTheObjectsButKeepsThePad)
{
    FakePad &pad = FakeInput.AddPad(6);   // X, Y, six buttons
    pad.Axis(GUID_ZAxis).Axis(GUID_RxAxis).Povs(1);
    // X and Y are set, Z is refused: Z and everything after it go unrecorded.
    pad.results.Queue(FakeCall::SetProperty, { DI_OK, DI_OK, DIERR_INVALIDPARAM });
    ASSERT_EQ(OpenInput(), 1);
    static const PadCapsRecord recorded = { 6, 0, 0, 0, 0, 0, 0, 1, 1 };
    EXPECT_EQ(0, memcmp(&PadCaps[0], &recorded, sizeof recorded));
    EXPECT_EQ(FakeInput.CallsOf("pad0"),
              (Calls{ "SetDataFormat(joystick)", "SetCooperativeLevel(5)", "EnumObjects(0)",
                      "SetProperty(4)", "SetProperty(4)", "SetProperty(4)", "SetProperty(1)", "Acquire",
                      "GetCapabilities(44)" }));

    // The same refusal later in the list keeps what came before it.
    ResetToolState();
    InstallFakeDirectX();
    FakePad &other = FakeInput.AddPad(6);
    other.Axis(GUID_ZAxis).Povs(2).Axis(GUID_RxAxis).Axis(GUID_RyAxis);
    other.results.setPropertyFailsFrom = 3;   // X, Y, Z set; Rx refused
    ASSERT_EQ(OpenInput(), 1);
    static const PadCapsRecord earlier = { 6, 1, 0, 0, 0, 0, 2, 1, 1 };
    EXPECT_EQ(0, memcmp(&PadCaps[0], &earlier, sizeof earlier));
    EXPECT_EQ(FakeDeviceName(PadDevices[0]), "pad0");
}

TEST_F(InputLayerTest, FailedObjectListKeepsWhatWasRecordedButEmptiesTheSlot)
{
    FakePad &pad = FakeInput.AddPad(6);
    pad.Axis(GUID_ZAxis).Povs(1);
    pad.results.enumObjects = DIERR_NOTINITIALIZED;
    PadCaps[0].SliderCount = 9;   // cleared before the objects are listed
    ASSERT_EQ(OpenInput(), 1);
    EXPECT_EQ(PadDevices[0], nullptr);
    static const PadCapsRecord kept = { 0, 1, 0, 0, 0, 0, 1, 1, 1 };
    EXPECT_EQ(0, memcmp(&PadCaps[0], &kept, sizeof kept));
    EXPECT_EQ(FakeInput.CallsOf("pad0").back(), "Release");
    EXPECT_EQ(FakeInput.liveObjects, 2);
}

TEST_F(InputLayerTest, RefusedCapabilitiesCountNoButtonsWhateverTheRecordSays)
{
    // The fake fills the record even when it reports a failure.
    FakeInput.AddPad(12).results.getCapabilities = DIERR_NOTINITIALIZED;
    FakeInput.AddPad(12).results.getCapabilities = S_FALSE;
    ASSERT_EQ(OpenInput(), 1);
    EXPECT_EQ(FakeDeviceName(PadDevices[0]), "pad0");
    EXPECT_EQ(PadCaps[0].ButtonCount, 0u);
    EXPECT_EQ(PadCaps[1].ButtonCount, 12u);
}

} // namespace

namespace {

// Controllers plugged in and out while the layer is open: the pads are
// opened again with the first opening's rules only when the attached
// controllers changed, the keyboard is never touched, and every device
// that left is released.
TEST_F(InputLayerTest, PadsThatComeAndGoAreOpenedAgainLikeAtTheStart)
{
    FakePad &a = FakeInput.AddPad(12).Named("Pad A");
    ASSERT_EQ(OpenInput(), 1);
    struct Step {
        const char *what;
        std::function<void()> change;
        int reopened;
        std::string slots[2];   // which fake, by name
        uint32_t buttons[2];
    };
    FakePad *b = nullptr, *c = nullptr;
    const Step steps[] = {
        { "nothing changed", [] {}, 0, { "pad0", "" }, { 12, 0 } },
        { "a second pad", [&] { b = &FakeInput.AddPad(8).Named("Pad B"); }, 1, { "pad0", "pad1" }, { 12, 8 } },
        { "a third is never looked at", [&] { c = &FakeInput.AddPad(6); }, 0, { "pad0", "pad1" }, { 12, 8 } },
        { "the first unplugged", [&] { a.attached = false; }, 1, { "pad1", "pad2" }, { 8, 6 } },
        { "one that cannot be created now", [&] { b->results.create = E_FAIL; c->attached = false; },
          1, { "", "" }, { 0, 0 } },
        { "back, with a set-up that fails", [&] {
              a.attached = true;
              a.results.setCooperativeLevel = E_FAIL;
              b->results.create = DI_OK;
          }, 1, { "", "pad1" }, { 0, 8 } },
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        FakeInput.calls.clear();
        EXPECT_EQ(RefreshPadDevices(), step.reopened);
        for (int slot = 0; slot < 2; ++slot) {
            EXPECT_EQ(FakeDeviceName(PadDevices[slot]), step.slots[slot]) << slot;
            EXPECT_EQ(PadCaps[slot].ButtonCount, step.buttons[slot]) << slot;
        }
        if (!step.reopened) {
            EXPECT_EQ(FakeInput.calls, Calls({ "dinput.EnumDevices(4,1)" }));
        }
        // Only what is open is alive: DirectInput, the keyboard, the pads.
        EXPECT_EQ(FakeInput.liveObjects, Held());
        EXPECT_TRUE(FakeInput.CallsOf("keyboard").empty());
    }
    EXPECT_EQ(std::string(PadNames[1]), "Pad B");
    EXPECT_EQ(std::string(PadNames[0]), "");

    // Many plug cycles leave nothing behind.
    a.results.setCooperativeLevel = DI_OK;
    for (int cycle = 0; cycle < 200; ++cycle) {
        a.attached = !a.attached;
        EXPECT_EQ(RefreshPadDevices(), 1);
    }
    FakeInput.calls.clear();
    EXPECT_EQ(FakeInput.liveObjects, Held());
    CloseInputDevices();
    EXPECT_EQ(FakeInput.liveObjects, 0);
}

TEST_F(InputLayerTest, ProductNamesAreKeptWhateverTheirLength)
{
    const std::string full(MAX_PATH, 'n');   // no room left for a terminator
    FakeInput.AddPad(4).Named(full);
    FakeInput.AddPad(4).Named("Manette \xE9l\xE9mentaire");
    ASSERT_EQ(OpenInput(), 1);
    EXPECT_EQ(std::string(PadNames[0]), full.substr(0, MAX_PATH - 1));
    EXPECT_EQ(std::string(PadNames[1]), "Manette \xE9l\xE9mentaire");
}

} // namespace
