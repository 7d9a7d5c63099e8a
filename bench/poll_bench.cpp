// Speed and allocations of the live-capture polls, on the fake devices:
// PollKeyboard and PollPads per call with two pads that offer every input
// the poll examines, with nothing held and with inputs held.
//
// Allocations are counted by routing this program's own imports of the C
// run-time and Win32 allocators through counters (allocation_counter.h),
// which sees every allocation the tool's code (linked into this program) or
// the fakes make. The fakes' call record is off while measuring.
//
// Output: one tab-separated row per case (and a nonzero exit code when a
// poll allocated or the counters could not be installed), so a script can
// keep the figures.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "input/input.h"
#include "input/pad_binding.h"
#include "bench/allocation_counter.h"
#include "bench/bench_clock.h"
#include "tests/sheet_harness.h"

namespace {

uint32_t KeyboardPoll() { return (uint32_t)PollKeyboard(); }
// Every examination step runs: rotation axes and sliders included.
uint32_t PadPoll() { return PollPads(PAD_CAPTURE_ROTATION | PAD_CAPTURE_SLIDERS); }

struct Case {
    const char *name;
    uint32_t (*poll)();
    const char *held;
    void (*hold)();      // sets the fake state before the case
    uint32_t expected;   // what every call must return
};

FakePad *Pads[2];

const int CallsPerRound = 200000;
const int Rounds = 7;

// The best round's time per call, and the allocations over all rounds.
bool Measure(const Case &c)
{
    FakeInput.keyboard.ReleaseAll();
    Pads[0]->Rest();
    Pads[1]->Rest();
    c.hold();
    for (int i = 0; i < 1000; ++i)
        c.poll();

    Allocations = 0;
    double best = 1e9;
    bool right = true;
    for (int round = 0; round < Rounds; ++round) {
        double start = NowMs();
        for (int i = 0; i < CallsPerRound; ++i)
            right &= c.poll() == c.expected;
        double perCall = (NowMs() - start) / CallsPerRound;
        if (perCall < best)
            best = perCall;
    }
    long allocations = Allocations;
    printf("%s\t%s\t%.1f\t%ld%s\n", c.name, c.held, best * 1e6, allocations,
           right ? "" : "\t(wrong result)");
    return allocations == 0 && right;
}

} // namespace

int main()
{
    bool countersWork = InstallAllocationCounters();

    ResetToolState();
    InstallFakeDirectX();
    for (FakePad *&pad : Pads) {
        pad = &FakeInput.AddPad(12);
        pad->Axis(GUID_ZAxis).Axis(GUID_RxAxis).Axis(GUID_RyAxis).Axis(GUID_RzAxis).Sliders(2).Povs(4);
    }
    if (OpenInputDevices(GetModuleHandleA(NULL), TEST_SHEET_WINDOW) != 1 || !PadDevices[1]) {
        fprintf(stderr, "poll_bench: the fake devices did not open\n");
        return 2;
    }
    FakeInput.recordCalls = false;

    const Case cases[] = {
        { "PollKeyboard", KeyboardPoll, "nothing held", [] {}, 0xFFFFFFFF },
        { "PollKeyboard", KeyboardPoll, "key 0x1E held", [] { FakeInput.keyboard.Press(0x1E); }, 0x1E },
        { "PollKeyboard", KeyboardPoll, "key 0xED held", [] { FakeInput.keyboard.Press(0xED); }, 0xED },
        { "PollPads", PadPoll, "nothing held", [] {}, PAD_BINDING_NONE },
        { "PollPads", PadPoll, "pad 0 button 1 held", [] { Pads[0]->Press(0); }, 0x01000000 },
        { "PollPads", PadPoll, "pad 0 stick left", [] { Pads[0]->state.lX = -100; }, 0x02000000 },
        { "PollPads", PadPoll, "pad 1 hat 4 held", [] { Pads[1]->state.rgdwPOV[3] = 9000; }, 0x84000303 },
    };
    printf("poll\tcase\tns_per_call\tallocations\n");
    bool clean = true;
    for (const Case &c : cases)
        clean &= Measure(c);

    CloseInputDevices();
    PrintAllocationCounters();
    if (!countersWork) {
        fprintf(stderr, "poll_bench: the allocation counters saw no allocation; figures not trusted\n");
        return 2;
    }
    return clean ? 0 : 1;
}
