// The long run: a key and a pad input held on each assignment page for ten
// minutes of capture ticks, sent as WM_TIMER straight to the page so the
// run takes far less than ten minutes, and once more with the pad plugged
// in and out all along. Every tick with an input held
// selects the entry again and marks the sheet changed; none of that may
// leave a handle, a USER or GDI object or memory behind. Not part of the
// test command: scripts/soak.sh builds and runs it and prints the figures.

#include "tests/sheet_harness.h"

#include <psapi.h>
#include <stdio.h>

#include "input/pad_watch.h"
#include "pages/pages.h"
#include "res/resource.h"


namespace {

const UINT TickMilliseconds = 33;
const int SimulatedMinutes = 10;
const int Ticks = SimulatedMinutes * 60 * 1000 / TickMilliseconds + 1;
// Ticks before the first reading, so that what the first ticks create
// once (caches, the drop-down's window) is not taken for growth.
const int WarmUpTicks = 200;
// A reading every two simulated minutes shows the trend.
const int SampleEvery = 2 * 60 * 1000 / TickMilliseconds;
// Private memory may move by a page or two as the heap settles.
const SIZE_T PrivateSlack = 64 * 1024;

// What the process holds. Wine 8 answers GetProcessHandleCount and
// GetGuiResources with 0 and leaves PrivateUsage at 0, so where a counter
// says 0 the figure is taken another way, in the same process: handles by
// asking every small handle value whether it is open, GDI objects by
// asking every GDI table index (Wine takes a handle without its upper word)
// for its type, USER objects as the windows of this thread, private memory
// from PagefileUsage (Wine's anonymous resident memory).
struct Resources {
    DWORD handles;
    DWORD gdi;
    DWORD user;
    SIZE_T privateBytes;
};

DWORD ProbeHandles()
{
    DWORD open = 0, flags;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4)
        open += GetHandleInformation((HANDLE)value, &flags) != FALSE;
    return open;
}

DWORD ProbeGdiObjects()
{
    DWORD objects = 0;
    for (ULONG_PTR index = 1; index < 0x10000; ++index)
        objects += GetObjectType((HGDIOBJ)index) != 0;
    return objects;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count)
{
    ++*(DWORD *)count;
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

DWORD ThreadWindows()
{
    DWORD windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, (LPARAM)&windows);
    return windows;
}

Resources Measure()
{
    Resources r{};
    HANDLE self = GetCurrentProcess();
    if (!GetProcessHandleCount(self, &r.handles) || r.handles == 0)
        r.handles = ProbeHandles();
    r.gdi = GetGuiResources(self, GR_GDIOBJECTS);
    if (r.gdi == 0)
        r.gdi = ProbeGdiObjects();
    r.user = GetGuiResources(self, GR_USEROBJECTS);
    if (r.user == 0)
        r.user = ThreadWindows();
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(self, (PROCESS_MEMORY_COUNTERS *)&memory, sizeof memory);
    r.privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    return r;
}

void Print(const char *page, int tick, const Resources &r)
{
    printf("[   SOAK   ] %-8s tick %5d (%2d min %02d s): handles %lu, GDI %lu, USER %lu, private %lu KB\n",
           page, tick, tick * (int)TickMilliseconds / 60000, tick * (int)TickMilliseconds / 1000 % 60,
           (unsigned long)r.handles, (unsigned long)r.gdi, (unsigned long)r.user,
           (unsigned long)(r.privateBytes / 1024));
    fflush(stdout);
}

class SoakTest : public SheetTest {
protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        FakeInput.AddPad(12).Povs(1);
    }
    // Holds K and the pad's third button with the Circle list focused,
    // and ticks the page's capture for ten simulated minutes; with
    // plugEvery, the pad is also unplugged or plugged in again that often
    // (in ticks), and the page told.
    void HoldOn(int pageIndex, const char *name, int plugEvery = 0)
    {
        OpenSheet();
        HWND page = ShowPage(pageIndex);
        // The page's own timer would tick as well; only the sent ticks count.
        KillTimer(page, 0);
        Focus(pageIndex, IDC_ASSIGN_FIRST + 4);
        FakeInput.keyboard.Press(0x25);
        FakeInput.pads[0].Press(2);

        Resources first{};
        for (int tick = 1; tick <= Ticks; ++tick) {
            if (plugEvery && tick % plugEvery == 0) {
                FakeInput.pads[0].attached = !FakeInput.pads[0].attached;
                NoticePadChanges();
            }
            SendMessageA(page, WM_TIMER, 0, 0);
            if (tick % 50 == 0) {
                PumpMessages();
                // The fake kit logs every call; the log is the test's
                // memory, not the tool's.
                FakeInput.calls.clear();
                FakeInput.calls.shrink_to_fit();
            }
            if (tick == WarmUpTicks) {
                first = Measure();
                Print(name, tick, first);
            } else if (tick % SampleEvery == 0) {
                Print(name, tick, Measure());
            }
        }
        PumpMessages();
        Resources last = Measure();
        Print(name, Ticks, last);
        EXPECT_LE(last.handles, first.handles) << name;
        EXPECT_LE(last.gdi, first.gdi) << name;
        EXPECT_LE(last.user, first.user) << name;
        EXPECT_LE(last.privateBytes, first.privateBytes + PrivateSlack) << name;
        // The input was captured all along.
        EXPECT_TRUE(ApplyEnabled());
    }
};

TEST_F(SoakTest, KeyboardPageHoldsAKeyForTenMinutes)
{
    HoldOn(KEYBOARD_PAGE, "keyboard");
    EXPECT_EQ(SelectedText(KEYBOARD_PAGE, IDC_ASSIGN_FIRST + 4), "K");
}

TEST_F(SoakTest, GamepadPageHoldsAPadInputForTenMinutes)
{
    HoldOn(GAMEPAD_PAGE, "gamepad");
    EXPECT_EQ(SelectedText(GAMEPAD_PAGE, IDC_ASSIGN_FIRST + 4), "1BUTTON3");
}

// The same with the pad unplugged and plugged in again every 20 ticks:
// some 900 device changes, each opening or releasing the pad and
// rebuilding the lists.
TEST_F(SoakTest, GamepadPageThroughPlugCycles)
{
    HoldOn(GAMEPAD_PAGE, "plugging", 20);
    EXPECT_EQ(FakeInput.liveObjects, 2 + (FakeInput.pads[0].attached ? 1 : 0));
}

} // namespace
