// Broken and odd devices against the live-capture polls, in the sanitized
// build: a device that fails every call once it is open, one whose every
// read reports the input lost, and pads that report absurd capabilities.
// The polls go on reporting what the working devices say, ask for nothing
// beyond their 256-byte and 80-byte state records, and never index past
// them (the sanitizer traps at once if they do).

#include "tests/sheet_harness.h"

#include <prsht.h>

#include "input/input.h"
#include "input/pad_binding.h"
#include "res/resource.h"
#include "settings/settings.h"

namespace {

const uint32_t None = PAD_BINDING_NONE;

class DeviceFaultsTest : public SheetTest {
protected:
    void Open() { ASSERT_EQ(OpenInputDevices(GetModuleHandleA(NULL), NULL), 1); }
    // Every state read the tool asked for had the size of its record.
    void ExpectOnlyWholeRecordReads()
    {
        const std::string read = ".GetDeviceState(";
        for (const std::string &call : FakeInput.calls) {
            size_t at = call.find(read);
            if (at == std::string::npos)
                continue;
            bool keyboard = call.compare(0, at, "keyboard") == 0;
            EXPECT_EQ(call.substr(at + read.size()), keyboard ? "256)" : "80)") << call;
        }
    }
    static void FailEveryCall(FakeDeviceResults &results, HRESULT failure)
    {
        results.poll = results.getDeviceState = results.acquire = results.unacquire = failure;
    }
};

TEST_F(DeviceFaultsTest, ADeviceFailingEveryCallAfterOpeningIsSilentAndStillReleased)
{
    // Unplugged or simply failing devices are left alone; one found not
    // acquired is asked to acquire again on every read (and refuses).
    struct Case { HRESULT failure; bool acquiredAgain; };
    const Case cases[] = {
        { (HRESULT)DIERR_UNPLUGGED, false },
        { E_FAIL, false },
        { E_HANDLE, false },
        { DIERR_NOTACQUIRED, true },
    };
    const int ticks = 50;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.failure);
        InstallFakeDirectX();
        ResetToolState();
        FakeInput.AddPad(12);
        FakePad &working = FakeInput.AddPad(4);
        Open();
        FailEveryCall(FakeInput.keyboard.results, c.failure);
        FailEveryCall(FakeInput.pads[0].results, c.failure);
        FakeInput.keyboard.Press(0x1E);
        FakeInput.pads[0].Press(0);
        working.Press(2);
        int keyboardAcquires = FakeInput.Count("keyboard.Acquire");
        int padAcquires = FakeInput.Count("pad0.Acquire");
        for (int tick = 0; tick < ticks; ++tick) {
            ASSERT_EQ(PollKeyboard(), -1);
            ASSERT_EQ(PollPads(Settings.PadAdvancedFlags), 0x81000002u);   // pad 1's third button
        }
        int again = c.acquiredAgain ? ticks : 0;
        EXPECT_EQ(FakeInput.Count("keyboard.Acquire") - keyboardAcquires, again);
        EXPECT_EQ(FakeInput.Count("pad0.Acquire") - padAcquires, again);
        ExpectOnlyWholeRecordReads();
        CloseInputDevices();
        EXPECT_EQ(FakeInput.liveObjects, 0);
    }
}

TEST_F(DeviceFaultsTest, InputLostOnEveryReadIsAcquiredAgainEachTimeAndRecovers)
{
    FakeInput.AddPad(12);
    FakePad &second = FakeInput.AddPad(12);
    Open();
    FakeDeviceResults &keyboard = FakeInput.keyboard.results;
    FakeDeviceResults &first = FakeInput.pads[0].results;
    keyboard.getDeviceState = first.getDeviceState = DIERR_INPUTLOST;
    // Another program holds the pads: acquiring again fails as well.
    keyboard.acquire = first.acquire = DIERR_OTHERAPPHASPRIO;
    FakeInput.keyboard.Press(0x25);
    FakeInput.pads[0].Press(5);
    second.state.lY = -100;
    const int ticks = 40;
    int keyboardAcquires = FakeInput.Count("keyboard.Acquire");
    int padAcquires = FakeInput.Count("pad0.Acquire");
    for (int tick = 0; tick < ticks; ++tick) {
        ASSERT_EQ(PollKeyboard(), -1);
        // The second pad is still examined in the same call.
        ASSERT_EQ(PollPads(Settings.PadAdvancedFlags), 0x82000002u);
    }
    EXPECT_EQ(FakeInput.Count("keyboard.Acquire") - keyboardAcquires, ticks);
    EXPECT_EQ(FakeInput.Count("pad0.Acquire") - padAcquires, ticks);

    // The sheet is back in the foreground: the next reads work again.
    keyboard.getDeviceState = first.getDeviceState = DI_OK;
    EXPECT_EQ(PollKeyboard(), 0x25);
    EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), 0x01000005u);
    ExpectOnlyWholeRecordReads();
}

TEST_F(DeviceFaultsTest, AbsurdCapabilitiesAreReadOnlyAsFarAsTheStateRecordGoes)
{
    struct Case {
        const char *pad;
        int buttons, sliders, povs;
        void (*move)(FakePad &pad);   // on a pad at rest
        uint32_t flags;               // PadAdvancedFlags
        uint32_t expected;
    };
    const Case cases[] = {
        // No buttons: the pad is still polled for its stick and hats, never
        // for a button.
        { "0 buttons, first button down", 0, 0, 1, [](FakePad &p) { p.Press(0); }, 0, None },
        { "0 buttons, stick up", 0, 0, 1, [](FakePad &p) { p.Press(0); p.state.lY = -100; }, 0, 0x02000002 },
        { "0 buttons, hat left", 0, 0, 1, [](FakePad &p) { p.state.rgdwPOV[0] = 27000; }, 0, 0x04000002 },
        // 128 buttons: the record holds 32, and only those are read.
        { "128 buttons at rest", 128, 0, 0, [](FakePad &) {}, 0, None },
        { "128 buttons, the 32nd down", 128, 0, 0, [](FakePad &p) { p.Press(31); }, 0, 0x0100001F },
        // 9 hats: the record holds 4. Beyond them lie the button bytes,
        // which would read as a hat pushed up.
        { "9 hats centred", 12, 0, 9, [](FakePad &) {}, 0, None },
        { "9 hats, the 4th down", 12, 0, 9, [](FakePad &p) { p.state.rgdwPOV[3] = 18000; }, 0, 0x04000301 },
        // 6 sliders: the record holds 2. Beyond them lie the hats, whose
        // 9000 would read as a slider at its maximum.
        { "6 sliders at rest, hat right", 12, 6, 1, [](FakePad &p) { p.state.rgdwPOV[0] = 9000; },
          PAD_ADVANCED_SLIDERS, 0x04000003 },
        { "6 sliders, the 2nd at its minimum", 12, 6, 1, [](FakePad &p) { p.state.rglSlider[1] = -100; },
          PAD_ADVANCED_SLIDERS, 0x08000100 },
        { "all of it at rest", 128, 6, 9, [](FakePad &) {}, PAD_ADVANCED_SLIDERS | PAD_ADVANCED_ROTATION, None },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pad);
        InstallFakeDirectX();
        ResetToolState();
        FakePad &pad = FakeInput.AddPad(c.buttons);
        pad.Sliders(c.sliders).Povs(c.povs);
        Open();
        EXPECT_EQ(PadCaps[0].ButtonCount, (uint32_t)c.buttons);
        EXPECT_EQ(PadCaps[0].SliderCount, (uint32_t)c.sliders);
        EXPECT_EQ(PadCaps[0].PovCount, (uint32_t)c.povs);
        Settings.PadAdvancedFlags = c.flags;
        c.move(pad);
        EXPECT_EQ(PollPads(Settings.PadAdvancedFlags), c.expected);
        ExpectOnlyWholeRecordReads();
        CloseInputDevices();
    }
}

} // namespace

// The same devices behind the assignment pages.
class PageDeviceFaultsTest : public DeviceFaultsTest {
protected:
    // Capture ticks, sent as the page's timer would send them.
    void Tick(int page, int ticks)
    {
        for (int i = 0; i < ticks; ++i)
            SendMessageA(Page(page), WM_TIMER, 0, 0);
        PumpMessages();
    }
};

TEST_F(PageDeviceFaultsTest, AbsurdPadsAreListedOnlyAsFarAsACodeCanName)
{
    FakeInput.AddPad(128).Axis(GUID_ZAxis).Axis(GUID_RxAxis).Axis(GUID_RyAxis).Axis(GUID_RzAxis)
        .Sliders(6).Povs(9);
    FakeInput.AddPad(0).Axis(GUID_RxAxis).Povs(2);   // no buttons: no usable pad
    OpenSheet();
    ShowPage(GAMEPAD_PAGE);
    HWND list = Control(GAMEPAD_PAGE, IDC_ASSIGN_FIRST);
    int count = (int)SendMessageA(list, CB_GETCOUNT, 0, 0);
    // "None", X, Y, Z and three rotation axes, 2 of the 6 sliders, 4 of
    // the 9 hats and 32 of the 128 buttons.
    EXPECT_EQ(count, 1 + 6 * 2 + 2 * 2 + 4 * 4 + 32);
    std::vector<std::string> texts = ListTexts(GAMEPAD_PAGE, IDC_ASSIGN_FIRST);
    for (int i = 1; i < count; ++i) {
        uint32_t code = (uint32_t)SendMessageA(list, CB_GETITEMDATA, i, 0);
        SCOPED_TRACE(texts[i]);
        EXPECT_EQ(code & PAD_BINDING_PAD1, 0u);
        // Within the fields of its kind: buttons 0..31, sliders 0..1,
        // hats 0..3.
        const uint32_t fields = (code & PAD_BINDING_BUTTON)   ? 0x1Fu
                              : (code & PAD_BINDING_SLIDER) ? 0x101u
                              : (code & PAD_BINDING_POV)    ? 0x303u
                                                            : 0xFu;
        EXPECT_EQ(code & ~(PAD_BINDING_BUTTON | PAD_BINDING_AXIS | PAD_BINDING_SLIDER |
                           PAD_BINDING_POV | fields), 0u);
        // Every entry stores back as the input it shows.
        char label[PAD_LABEL_SIZE];
        FormatPadBinding(label, code);
        EXPECT_EQ(texts[i], label);
    }
    for (int a = 1; a < 24; ++a) {
        if (Control(GAMEPAD_PAGE, IDC_ASSIGN_FIRST + a)) {
            EXPECT_EQ(ListTexts(GAMEPAD_PAGE, IDC_ASSIGN_FIRST + a), texts) << a;
        }
    }
}

TEST_F(PageDeviceFaultsTest, BrokenDevicesLeaveTheAssignmentPagesWorking)
{
    FakeInput.AddPad(128).Sliders(6).Povs(9);
    OpenSheet();
    struct Case {
        int page;
        FakeDeviceResults &results;
        const char *captured;   // what the held input shows once it can be read
    };
    const Case cases[] = {
        { KEYBOARD_PAGE, FakeInput.keyboard.results, "K" },
        { GAMEPAD_PAGE, FakeInput.pads[0].results, "1BUTTON32" },
    };
    FakeInput.keyboard.Press(0x25);
    FakeInput.pads[0].Press(31);
    const int circle = IDC_ASSIGN_FIRST + 4;
    for (const Case &c : cases) {
        // Failing on every call, then losing its input on every read (and
        // refusing to be acquired again): no tick selects anything or
        // marks the sheet changed. The device fails before the page shows,
        // and only the ticks sent here count.
        FailEveryCall(c.results, E_FAIL);
        ShowPage(c.page);
        KillTimer(Page(c.page), 0);
        Focus(c.page, circle);
        std::string before = SelectedText(c.page, circle);
        const HRESULT failures[] = { E_FAIL, DIERR_INPUTLOST };
        for (HRESULT failure : failures) {
            FailEveryCall(c.results, failure);
            c.results.acquire = DIERR_OTHERAPPHASPRIO;
            Tick(c.page, 30);
            EXPECT_EQ(SelectedText(c.page, circle), before) << std::hex << failure;
            EXPECT_FALSE(ApplyEnabled()) << std::hex << failure;
        }
        // The device works again: the next tick captures the held input.
        FailEveryCall(c.results, DI_OK);
        Tick(c.page, 1);
        EXPECT_EQ(SelectedText(c.page, circle), c.captured);
        EXPECT_TRUE(ApplyEnabled());
        Press(PSBTN_APPLYNOW);
    }
    Press(PSBTN_OK);
    std::vector<uint8_t> file = File();
    ASSERT_EQ(file.size(), 256u);
    EXPECT_EQ(file[5], 0x25);                           // player 1 Circle: K
    EXPECT_EQ(file[48 + 4 * 4], 0x1F);                  // PadRow entry 4: button 32
    EXPECT_EQ(file[48 + 4 * 4 + 3], 0x01);
}
