// Live capture: which key or pad input a poll reports, in which order the
// inputs are examined, and how a lost device is acquired again.
#include <gtest/gtest.h>

#include <functional>

#include "input/input.h"
#include "input/pad_binding.h"
#include "settings/settings.h"
#include "tests/sheet_harness.h"

namespace {

typedef std::vector<std::string> Calls;

std::string Label(uint32_t code)
{
    char text[PAD_LABEL_SIZE];
    FormatPadBinding(text, code);
    return text;
}

// Leaves the stack below the caller full of bytes with every bit set, so
// that a poll reading past its state record finds "pressed" and "deflected"
// values there instead of whatever happened to be left.
__attribute__((noinline)) void PaintStack()
{
    volatile unsigned char paint[8192];
    for (size_t i = 0; i < sizeof paint; ++i)
        paint[i] = 0xFF;
}

// Pad 0 offers everything the poll can examine (Z, the rotation axes, two
// sliders, four hats, 12 buttons); pad 1 only X, Y and 12 buttons.
class PollTest : public ToolStateTest {
protected:
    void SetUp() override
    {
        ToolStateTest::SetUp();
        full = &FakeInput.AddPad(12);
        full->Axis(GUID_ZAxis).Axis(GUID_RxAxis).Axis(GUID_RyAxis).Axis(GUID_RzAxis).Sliders(2).Povs(4);
        plain = &FakeInput.AddPad(12);
        ASSERT_EQ(OpenInput(), 1);
        FakeInput.calls.clear();
    }
    FakePad *full = nullptr;
    FakePad *plain = nullptr;
};

TEST_F(PollTest, NothingHeldReportsNothingAfterOneReadPerDevice)
{
    Settings.PadAdvancedFlags = PAD_ADVANCED_ROTATION | PAD_ADVANCED_SLIDERS;
    EXPECT_EQ(PollKeyboard(), -1);
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), PAD_BINDING_NONE);
    EXPECT_EQ(FakeInput.calls, (Calls{ "keyboard.GetDeviceState(256)", "pad0.Poll",
                                       "pad0.GetDeviceState(80)", "pad1.Poll",
                                       "pad1.GetDeviceState(80)" }));
}

TEST_F(PollTest, KeyboardReportsTheLowestCodeWithTheTopBitSet)
{
    struct Case { std::vector<std::pair<int, BYTE>> keys; int expected; };
    const Case cases[] = {
        { { { 0x1F, 0x80 }, { 0x1E, 0x80 } }, 0x1E },
        { { { 0x00, 0x80 } }, 0x00 },
        { { { 0xFF, 0x80 } }, 0xFF },   // not a key the lists name
        { { { 0x54, 0x81 } }, 0x54 },
        { { { 0x10, 0x7F }, { 0xF0, 0xC0 } }, 0xF0 },
        { { { 0x10, 0x7F } }, -1 },
    };
    for (const Case &c : cases) {
        FakeInput.keyboard.ReleaseAll();
        for (const auto &key : c.keys)
            FakeInput.keyboard.keys[key.first] = key.second;
        EXPECT_EQ(PollKeyboard(), c.expected) << std::hex << c.keys[0].first;
    }
}

// The devices are opened before the sheet is in the foreground, when a
// foreground device cannot be acquired: a read that finds the device not
// acquired, as well as one that lost it, leads to a new Acquire.
TEST_F(PollTest, KeyboardAcquiresAgainOnlyWhenNotAcquired)
{
    FakeInput.keyboard.Press(0x25);
    struct Case { HRESULT read; int acquires; };
    const Case cases[] = {
        { DIERR_INPUTLOST, 1 },
        { DIERR_NOTACQUIRED, 1 },
        { DIERR_INVALIDPARAM, 0 },
        { E_PENDING, 0 },
        { E_FAIL, 0 },
    };
    for (const Case &c : cases) {
        FakeInput.calls.clear();
        FakeInput.keyboard.results.Queue(FakeCall::GetDeviceState, { c.read });
        EXPECT_EQ(PollKeyboard(), -1) << std::hex << c.read;
        EXPECT_EQ(FakeInput.Count("keyboard.Acquire"), c.acquires) << std::hex << c.read;
        EXPECT_EQ(PollKeyboard(), 0x25);
    }
    // A success code other than DI_OK still carries the state.
    FakeInput.keyboard.results.Queue(FakeCall::GetDeviceState, { DI_BUFFEROVERFLOW });
    EXPECT_EQ(PollKeyboard(), 0x25);
}

TEST_F(PollTest, KeyboardRecoversFromALostFocusOnTheNextTick)
{
    FakeInput.keyboard.Press(0x25);
    FakeInput.keyboard.LoseInput();
    EXPECT_EQ(PollKeyboard(), -1);
    EXPECT_EQ(FakeInput.calls, (Calls{ "keyboard.GetDeviceState(256)", "keyboard.Acquire" }));
    EXPECT_EQ(PollKeyboard(), 0x25);

    // Refused once: the next read says "not acquired", which acquires
    // again, and the tick after that reads the key.
    FakeInput.keyboard.LoseInput();
    FakeInput.keyboard.results.Queue(FakeCall::Acquire, { DIERR_OTHERAPPHASPRIO });
    EXPECT_EQ(PollKeyboard(), -1);
    FakeInput.calls.clear();
    EXPECT_EQ(PollKeyboard(), -1);
    EXPECT_EQ(FakeInput.Count("keyboard.Acquire"), 1);
    EXPECT_EQ(PollKeyboard(), 0x25);
}

TEST_F(PollTest, AbsentDevicesAreNeverCalled)
{
    CloseInputDevices();
    ResetToolState();
    InstallFakeDirectX();
    FakeInput.keyboard.present = false;
    ASSERT_EQ(OpenInput(), 1);
    FakeInput.calls.clear();
    EXPECT_EQ(PollKeyboard(), -1);
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), PAD_BINDING_NONE);
    EXPECT_TRUE(FakeInput.calls.empty());
}

// One axis at a time, at each side of its threshold: -64..64 is rest.
TEST_F(PollTest, AxesAndSlidersPassTheirThresholdStrictly)
{
    Settings.PadAdvancedFlags = PAD_ADVANCED_ROTATION | PAD_ADVANCED_SLIDERS;
    struct Axis { const char *name; LONG DIJOYSTATE::*member; uint32_t low, high; };
    const Axis axes[] = {
        { "X", &DIJOYSTATE::lX, 0x02000000, 0x02000001 },
        { "Y", &DIJOYSTATE::lY, 0x02000002, 0x02000003 },
        { "Z", &DIJOYSTATE::lZ, 0x02000004, 0x02000005 },
        { "Rx", &DIJOYSTATE::lRx, 0x02000006, 0x02000007 },
        { "Ry", &DIJOYSTATE::lRy, 0x02000008, 0x02000009 },
        { "Rz", &DIJOYSTATE::lRz, 0x0200000A, 0x0200000B },
    };
    struct Value { LONG value; int side; };   // -1 low, 0 rest, 1 high
    const Value values[] = { { -128, -1 }, { -65, -1 }, { -64, 0 }, { 0, 0 },
                             { 64, 0 }, { 65, 1 }, { 127, 1 } };
    for (const Axis &axis : axes) {
        for (const Value &v : values) {
            full->Rest();
            full->state.*axis.member = v.value;
            uint32_t expected = v.side < 0 ? axis.low : v.side > 0 ? axis.high : PAD_BINDING_NONE;
            EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), expected) << axis.name << " at " << v.value;
            // The same values on pad 1 carry its index.
            full->Rest();
            plain->state.*axis.member = v.value;
            if (axis.member == &DIJOYSTATE::lX || axis.member == &DIJOYSTATE::lY) {
                EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), v.side ? expected | 0x80000000u : PAD_BINDING_NONE);
            }
            plain->Rest();
        }
    }
    for (int s = 0; s < 2; ++s) {
        for (const Value &v : values) {
            full->Rest();
            full->state.rglSlider[s] = v.value;
            uint32_t expected = v.side == 0 ? PAD_BINDING_NONE
                              : 0x08000000u | (uint32_t)s << 8 | (v.side > 0 ? 1u : 0u);
            EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), expected) << "slider " << s << " at " << v.value;
        }
    }
}

// Everything held at once, then the reported input let go, tick by tick:
// the reports come in the fixed order of the examination.
TEST_F(PollTest, InputsAreExaminedInTheirFixedOrder)
{
    Settings.PadAdvancedFlags = PAD_ADVANCED_ROTATION | PAD_ADVANCED_SLIDERS;
    DIJOYSTATE &s = full->state;
    s.rgbButtons[9] = 0x80;
    s.rgbButtons[4] = 0x80;
    s.lX = 100;
    s.lY = -100;
    s.lZ = 90;
    s.lRx = -90;
    s.lRy = 80;
    s.lRz = -80;
    s.rglSlider[1] = 70;
    s.rglSlider[0] = -70;
    s.rgdwPOV[2] = 18000;
    s.rgdwPOV[1] = 27000;
    plain->Press(0);

    struct Step { uint32_t code; const char *label; std::function<void()> release; };
    const Step steps[] = {
        { 0x01000004, "1BUTTON5", [&] { s.rgbButtons[4] = 0; } },
        { 0x01000009, "1BUTTON10", [&] { s.rgbButtons[9] = 0; } },
        { 0x02000002, "1Up", [&] { s.lY = 0; } },
        { 0x02000001, "1Right", [&] { s.lX = 0; } },
        { 0x02000005, "1Z Max", [&] { s.lZ = 0; } },
        { 0x02000006, "1RX Min", [&] { s.lRx = 0; } },
        { 0x02000009, "1RY Max", [&] { s.lRy = 0; } },
        { 0x0200000A, "1RZ Min", [&] { s.lRz = 0; } },
        { 0x08000000, "1Sld Min1", [&] { s.rglSlider[0] = 0; } },
        { 0x08000101, "1Sld Max2", [&] { s.rglSlider[1] = 0; } },
        { 0x04000102, "1POV Left2", [&] { s.rgdwPOV[1] = 0xFFFFFFFF; } },
        { 0x04000201, "1POV Down3", [&] { s.rgdwPOV[2] = 0xFFFFFFFF; } },
        { 0x81000000, "2BUTTON1", [&] { plain->Rest(); } },
    };
    for (const Step &step : steps) {
        uint32_t code = PollPads(Settings.PadAdvancedFlags);
        EXPECT_EQ(code, step.code);
        EXPECT_EQ(Label(code), step.label);
        step.release();
    }
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), PAD_BINDING_NONE);
}

TEST_F(PollTest, PadZeroIsExaminedCompletelyBeforePadOne)
{
    plain->Press(2);
    uint32_t code = PollPads(Settings.PadAdvancedFlags);
    EXPECT_EQ(code, 0x81000002u);
    EXPECT_EQ(Label(code), "2BUTTON3");

    // Pad 0's last test (a hat) still wins over pad 1's first (a button).
    full->state.rgdwPOV[3] = 0;
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x04000300u);
    full->Rest();
    full->Press(0);
    plain->state.lY = 127;
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x01000000u);
}

// Which axes a pad's capabilities and the advanced flags let through. The
// flags are read afresh on every call.
TEST_F(PollTest, RotationAxesAndSlidersNeedTheirFlagsWhileZIsAlwaysExamined)
{
    struct Row { const char *what; int pad; LONG DIJOYSTATE::*member; int slider; uint32_t flags; uint32_t expected; };
    const uint32_t rot = PAD_ADVANCED_ROTATION, sld = PAD_ADVANCED_SLIDERS;
    const Row rows[] = {
        { "Z, no flags", 0, &DIJOYSTATE::lZ, -1, 0, 0x02000005 },
        { "Z, both flags", 0, &DIJOYSTATE::lZ, -1, rot | sld, 0x02000005 },
        { "Z on a pad without Z", 1, &DIJOYSTATE::lZ, -1, rot | sld, PAD_BINDING_NONE },
        { "Rx, no flags", 0, &DIJOYSTATE::lRx, -1, 0, PAD_BINDING_NONE },
        { "Rx, slider flag", 0, &DIJOYSTATE::lRx, -1, sld, PAD_BINDING_NONE },
        { "Rx, rotation flag", 0, &DIJOYSTATE::lRx, -1, rot, 0x02000007 },
        { "Ry, rotation flag", 0, &DIJOYSTATE::lRy, -1, rot, 0x02000009 },
        { "Rz, rotation flag", 0, &DIJOYSTATE::lRz, -1, rot, 0x0200000B },
        { "Rz, other bits", 0, &DIJOYSTATE::lRz, -1, ~rot, PAD_BINDING_NONE },
        { "Rx on a pad without Rx", 1, &DIJOYSTATE::lRx, -1, rot, PAD_BINDING_NONE },
        { "slider 0, no flags", 0, nullptr, 0, 0, PAD_BINDING_NONE },
        { "slider 0, rotation flag", 0, nullptr, 0, rot, PAD_BINDING_NONE },
        { "slider 0, slider flag", 0, nullptr, 0, sld, 0x08000001 },
        { "slider 1, slider flag", 0, nullptr, 1, sld, 0x08000101 },
        { "slider on a pad without sliders", 1, nullptr, 0, sld, PAD_BINDING_NONE },
    };
    for (const Row &row : rows) {
        FakePad *pad = row.pad ? plain : full;
        pad->Rest();
        if (row.member)
            pad->state.*row.member = 120;
        else
            pad->state.rglSlider[row.slider] = 120;
        Settings.PadAdvancedFlags = row.flags;
        EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), row.expected) << row.what;
        pad->Rest();
    }
}

TEST_F(PollTest, HatSectorsGiveEachDiagonalToOneSide)
{
    struct Case { DWORD value; uint32_t expected; };
    const uint32_t up = 0x04000000, down = 0x04000001, left = 0x04000002, right = 0x04000003;
    const Case cases[] = {
        { 0, up }, { 4500, up }, { 4501, right }, { 9000, right }, { 13500, right },
        { 13501, down }, { 22500, down }, { 22501, left }, { 31499, left },
        { 31500, up }, { 35999, up },
        { 0xFFFFFFFF, PAD_BINDING_NONE }, { 0x0000FFFF, PAD_BINDING_NONE },
        { 0x1234FFFF, PAD_BINDING_NONE },
        { 0xFFFF0000, up },   // low half 0 is not centred; the whole value is large
    };
    for (const Case &c : cases) {
        full->Rest();
        full->state.rgdwPOV[0] = c.value;
        EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), c.expected) << c.value;
        // The same value on the fourth hat carries hat number 3.
        full->Rest();
        full->state.rgdwPOV[3] = c.value;
        EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), c.expected == PAD_BINDING_NONE ? c.expected : c.expected | 0x300) << c.value;
    }
}

// Counts beyond the state record: 48 buttons, three sliders, five hats. The
// poll stays inside the 80-byte record whatever the pad claims.
TEST_F(PollTest, LargeCountsAreCappedAtTheStateRecord)
{
    CloseInputDevices();
    ResetToolState();
    InstallFakeDirectX();
    FakePad &big = FakeInput.AddPad(48);
    FakePad &hats = FakeInput.AddPad(0);
    hats.Sliders(3).Povs(5);
    ASSERT_EQ(OpenInput(), 1);
    ASSERT_EQ(PadCaps[0].ButtonCount, 48u);
    ASSERT_EQ(PadCaps[1].SliderCount, 3u);
    ASSERT_EQ(PadCaps[1].PovCount, 5u);
    Settings.PadAdvancedFlags = PAD_ADVANCED_SLIDERS;

    // Nothing held: the fifth hat would be the buttons' bytes (all 0, "up"),
    // a third slider the first hat (0xFFFF, "deflected"), and buttons past
    // 32 the painted stack.
    hats.state.rgdwPOV[0] = 0x0000FFFF;
    PaintStack();
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), PAD_BINDING_NONE);

    big.Press(31);
    PaintStack();
    uint32_t code = PollPads(Settings.PadAdvancedFlags);
    EXPECT_EQ(code, 0x0100001Fu);
    EXPECT_EQ(Label(code), "1BUTTON32");
}

TEST_F(PollTest, ButtonsBeyondThePadsCountAreIgnored)
{
    CloseInputDevices();
    ResetToolState();
    InstallFakeDirectX();
    FakePad &six = FakeInput.AddPad(6);
    ASSERT_EQ(OpenInput(), 1);
    six.Press(6);
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), PAD_BINDING_NONE);
    six.Press(5);
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x01000005u);
}

TEST_F(PollTest, LostPadZeroIsAcquiredAgainAndPadOneStillExamined)
{
    full->Press(3);
    plain->Press(7);
    full->LoseInput();
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x81000007u);
    EXPECT_EQ(FakeInput.calls, (Calls{ "pad0.Poll", "pad0.GetDeviceState(80)", "pad0.Acquire",
                                       "pad1.Poll", "pad1.GetDeviceState(80)" }));
    // Acquired again, pad 0 reports on the next tick.
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x01000003u);
}

TEST_F(PollTest, OtherReadFailuresLeaveThePadSilentWithoutAcquiring)
{
    full->Press(3);
    plain->Press(7);
    const HRESULT failures[] = { (HRESULT)DIERR_UNPLUGGED, DIERR_INVALIDPARAM, DIERR_NOTINITIALIZED, E_FAIL };
    for (HRESULT failure : failures) {
        FakeInput.calls.clear();
        full->results.getDeviceState = failure;
        EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x81000007u) << std::hex << failure;
        EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x81000007u) << std::hex << failure;
        EXPECT_EQ(FakeInput.Count("pad0.Acquire"), 0) << std::hex << failure;
    }
    // Lost, and the first Acquire refused: the next tick finds pad 0 not
    // acquired and acquires it again; the tick after reads it.
    full->results.getDeviceState = DI_OK;
    full->LoseInput();
    full->results.Queue(FakeCall::Acquire, { DIERR_OTHERAPPHASPRIO });
    FakeInput.calls.clear();
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x81000007u);
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x81000007u);
    EXPECT_EQ(FakeInput.Count("pad0.Acquire"), 2);
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x01000003u);
}

TEST_F(PollTest, PollResultIsIgnoredAndSuccessCodesCarryTheState)
{
    full->Press(1);
    full->results.poll = DIERR_NOTACQUIRED;
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x01000001u);
    full->results.poll = DI_NOEFFECT;
    full->results.Queue(FakeCall::GetDeviceState, { S_FALSE });
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x01000001u);
}

} // namespace

namespace {

// A DualShock-like pad whose triggers rest at -128 on Rx and Ry, and a
// pedal resting at +127 on Z, as pad 0 and pad 1.
class RestTest : public ToolStateTest {
protected:
    void SetUp() override
    {
        ToolStateTest::SetUp();
        shock = &FakeInput.AddPad(14).Axis(GUID_ZAxis).Axis(GUID_RxAxis).Axis(GUID_RyAxis)
                     .Axis(GUID_RzAxis).RestsAt(&DIJOYSTATE::lRx, -128).RestsAt(&DIJOYSTATE::lRy, -128);
        pedal = &FakeInput.AddPad(2).Axis(GUID_ZAxis).RestsAt(&DIJOYSTATE::lZ, 127);
        ASSERT_EQ(OpenInput(), 1);
        Settings.PadAdvancedFlags = PAD_ADVANCED_ROTATION;
        LearnPadRest();
    }
    FakePad *shock = nullptr;
    FakePad *pedal = nullptr;
};

TEST_F(RestTest, AnAxisRestingAtAnEndIsReportedOnlyTowardsTheOtherEnd)
{
    struct Step {
        const char *what;
        std::function<void()> move;
        uint32_t reported;
        bool padActive[2];
    };
    const Step steps[] = {
        { "both at rest", [] {}, PAD_BINDING_NONE, { false, false } },
        { "R2 pulled", [&] { shock->state.lRy = 127; }, 0x02000009, { true, false } },
        { "R2 half way", [&] { shock->state.lRy = 0; }, PAD_BINDING_NONE, { false, false } },
        { "R2 let go", [&] { shock->state.lRy = -128; }, PAD_BINDING_NONE, { false, false } },
        { "L2 pulled", [&] { shock->state.lRx = 65; }, 0x02000007, { true, false } },
        // Axes that rest at the centre are as they always were.
        { "Rz to its low end", [&] { shock->Rest(); shock->state.lRz = -65; }, 0x0200000A, { true, false } },
        { "stick left", [&] { shock->Rest(); shock->state.lX = -65; }, 0x02000000, { true, false } },
        { "pedal pressed", [&] { shock->Rest(); pedal->state.lZ = -128; }, 0x82000004, { false, true } },
        { "pedal at its rest", [&] { pedal->Rest(); }, PAD_BINDING_NONE, { false, false } },
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        step.move();
        EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), step.reported);
        EXPECT_EQ(PadActive(0), step.padActive[0]);
        EXPECT_EQ(PadActive(1), step.padActive[1]);
    }
    // The live display asks by code: at rest, "1RY Min" is not held though
    // the axis reads -128; pulled, "1RY Max" is.
    EXPECT_FALSE(PadBindingActive(0x02000008));
    shock->state.lRy = 127;
    PollPads(Settings.PadAdvancedFlags);
    EXPECT_TRUE(PadBindingActive(0x02000009));
    EXPECT_FALSE(PadBindingActive(0x02000008));
    EXPECT_FALSE(PadBindingActive(0x82000005));   // the pedal's resting end
}

TEST_F(RestTest, AStickHeldWhileLearningRestsAtTheCentreAfterASecondThere)
{
    shock->state.lX = -128;   // held while the rest is learned
    LearnPadRest();
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), PAD_BINDING_NONE);
    // Let go for one read less than a second's worth: still taken as rest.
    shock->state.lX = 0;
    for (int read = 1; read < PAD_REST_RECOVERY_READS; ++read)
        PollPads(Settings.PadAdvancedFlags);
    shock->state.lX = -128;
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), PAD_BINDING_NONE);
    shock->state.lX = 0;
    for (int read = 0; read < PAD_REST_RECOVERY_READS; ++read)
        PollPads(Settings.PadAdvancedFlags);
    shock->state.lX = -128;
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x02000000u);
}

TEST_F(RestTest, ARestThatCannotBeReadIsLearnedFromTheNextRead)
{
    // Both of the learning's reads fail; the first poll that reads learns,
    // and what it finds is rest, not input.
    pedal->RestsAt(&DIJOYSTATE::lX, 127);
    pedal->results.Queue(FakeCall::GetDeviceState, { DIERR_NOTACQUIRED, DIERR_NOTACQUIRED });
    LearnPadRest();
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), PAD_BINDING_NONE);
    pedal->state.lX = -128;
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x82000000u);
}

} // namespace
