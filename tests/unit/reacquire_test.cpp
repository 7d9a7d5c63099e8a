// The polls acquire a device again when a state read says it is not
// acquired, whether it lost the acquisition or never had it: the devices
// are opened before the sheet is in the foreground, when a foreground
// device cannot be acquired.
#include <gtest/gtest.h>

#include "app/shell.h"
#include "input/input.h"
#include "tests/sheet_harness.h"

namespace {

class ReacquireTest : public SheetTest {};

struct ReadFailure {
    HRESULT read;
    bool acquiredAgain;
};

const ReadFailure ReadFailures[] = {
    { DIERR_INPUTLOST, true },
    { DIERR_NOTACQUIRED, true },
    { DIERR_NOTINITIALIZED, false },
    { E_FAIL, false },
};

TEST_F(ReacquireTest, KeyboardIsAcquiredAgainOnlyWhenNotAcquired)
{
    for (const ReadFailure &failure : ReadFailures) {
        InstallFakeDirectX();
        FakeInput.keyboard.results.getDeviceState = failure.read;
        ASSERT_EQ(OpenInputDevices(ModuleInstance, NULL), 1);
        int before = FakeInput.Count("keyboard.Acquire");
        EXPECT_EQ(PollKeyboard(), -1);
        EXPECT_EQ(FakeInput.Count("keyboard.Acquire") - before, failure.acquiredAgain ? 1 : 0)
            << std::hex << failure.read;
        CloseInputDevices();
    }
}

TEST_F(ReacquireTest, PadIsAcquiredAgainOnlyWhenNotAcquiredAndTheOtherPadIsStillRead)
{
    for (const ReadFailure &failure : ReadFailures) {
        InstallFakeDirectX();
        FakeInput.AddPad().results.getDeviceState = failure.read;
        FakeInput.AddPad().Press(2);
        ASSERT_EQ(OpenInputDevices(ModuleInstance, NULL), 1);
        int before = FakeInput.Count("pad0.Acquire");
        EXPECT_EQ(PollPads(), 0x81000002u) << std::hex << failure.read;
        EXPECT_EQ(FakeInput.Count("pad0.Acquire") - before, failure.acquiredAgain ? 1 : 0)
            << std::hex << failure.read;
        CloseInputDevices();
    }
}

} // namespace
