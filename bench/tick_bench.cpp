// What one capture tick costs on each assignment page. The tool's own sheet
// is opened modeless (as the sheet tests drive it) with fake DirectX: a
// keyboard and two pads with 12 buttons each. Each assignment page is shown
// with its first list ("Up") focused and left to its own 33 ms timer, first
// with nothing held, then with an input held (K on the keyboard page,
// button 4 of the first pad on the gamepad page). Before the pages, a 33 ms
// timer with an empty handler, on a plain window and on an empty sheet
// page, shows what the platform alone costs per tick.
//
//   tick_bench SECONDS        (per page and state; default 10)
//
// For each: the ticks seen; the time spent handling one WM_TIMER (median
// and slowest, performance counter); the process's CPU time per tick and
// its share of one core over the whole period (Linux /proc/self/stat, in
// 10 ms steps: measure for long enough); and the heap
// allocations made during the period by code in this executable, counted
// by redirecting its imports of the heap functions. The fake kit's call
// record is switched off so that the count is the tool's own.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/shell.h"
#include "bench/allocation_counter.h"
#include "bench/baseline.h"
#include "bench/bench_clock.h"
#include "bench/linux_side.h"
#include "input/input.h"
#include "pages/pages.h"
#include "res/resource.h"
#include "tests/sheet_harness.h"

namespace {

// ---- ticks --------------------------------------------------------------------

double Seconds = 10;

// Runs a message loop like the modal sheet's own (GetMessage,
// IsDialogMessageW, then TranslateMessage and DispatchMessage) for the given
// time, timing each WM_TIMER that reaches the given window, and prints one
// line of figures.
void MeasureTicks(const char *name, HWND sheet, HWND timed, double seconds)
{
    std::vector<double> handling;
    handling.reserve((size_t)(seconds * 1000 / 10) + 16);   // no allocation while counting
    UINT_PTR stop = SetTimer(NULL, 0, (UINT)(seconds * 1000), NULL);
    double cpuStart = CpuSeconds("self") * 1000;
    double start = NowMs();
    Allocations = 0;
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == NULL && msg.wParam == stop)
            break;
        bool tick = msg.message == WM_TIMER && msg.hwnd == timed;
        double before = tick ? NowMs() : 0;
        // The modal sheet's loop hands every message to IsDialogMessageW,
        // which dispatches its pages' messages itself.
        if (!sheet || !IsDialogMessageW(sheet, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (tick && handling.size() < handling.capacity())
            handling.push_back(NowMs() - before);
    }
    long allocations = Allocations;
    double cpu = CpuSeconds("self") * 1000 - cpuStart;
    double wall = NowMs() - start;
    KillTimer(NULL, stop);
    size_t ticks = handling.size();
    printf("  %-34s %5zu %9.1f %9.1f %9.1f %7.2f %% %7.2f\n", name, ticks,
           Median(handling) * 1000, handling.empty() ? 0 : *std::max_element(handling.begin(), handling.end()) * 1000,
           ticks ? cpu / ticks * 1000 : 0, cpu / wall * 100,
           ticks ? (double)allocations / ticks : (double)allocations);
    fflush(stdout);
}

LRESULT CALLBACK EmptyTimerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_TIMER)
        return 0;
    return DefWindowProcA(window, message, wparam, lparam);
}

// The platform's floor: a 33 ms timer whose handler does nothing, on a
// plain window, then on an empty page of a property sheet (the start-up
// baseline's), where the sheet's dialog manager handles each tick.
void MeasureEmptyTimers(double seconds)
{
    WNDCLASSA plain{};
    plain.lpfnWndProc = EmptyTimerProc;
    plain.hInstance = GetModuleHandleA(NULL);
    plain.lpszClassName = "BenchTimerWindow";
    RegisterClassA(&plain);
    HWND window = CreateWindowExA(0, plain.lpszClassName, "timer", WS_OVERLAPPED, 0, 0, 100, 100,
                                  NULL, NULL, plain.hInstance, NULL);
    SetTimer(window, 1, 33, NULL);
    MeasureTicks("33 ms timer, plain window", NULL, window, seconds);
    DestroyWindow(window);

    PROPSHEETHEADERA header;
    PROPSHEETPAGEA_V2 pages[BASELINE_PAGES];
    DescribeBaselineSheet(GetModuleHandleA(NULL), &header, pages);
    pages[0].pfnDlgProc = pages[1].pfnDlgProc;   // no platform calls: only the sheet
    header.dwFlags |= PSH_MODELESS;
    HWND sheet = (HWND)PropertySheetA(&header);
    SendMessageA(sheet, PSM_SETCURSEL, 1, 0);
    HWND page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    SetTimer(page, 1, 33, NULL);
    MeasureTicks("33 ms timer, empty sheet page", sheet, page, seconds);
    DestroyWindow(sheet);
}

HWND OpenToolSheet()
{
    PROPSHEETHEADERA header;
    PROPSHEETPAGEA_V2 pages[SHEET_PAGE_COUNT];
    DescribeSheet(&header, pages);
    header.dwFlags |= PSH_MODELESS;
    HWND sheet = (HWND)PropertySheetA(&header);
    SetForegroundWindow(sheet);
    PumpMessages();
    return sheet;
}

// The page's tick handed to its procedure directly, without the timer and
// the dialog manager around it: the tool's own work per tick.
void MeasureDirectCalls(const char *name, HWND page)
{
    const int calls = 300;
    std::vector<double> times;
    times.reserve(calls);
    Allocations = 0;
    for (int i = 0; i < calls; ++i) {
        double before = NowMs();
        SendMessageA(page, WM_TIMER, 0, 0);
        times.push_back(NowMs() - before);
    }
    long allocations = Allocations;
    printf("  %-34s %5d %9.1f %9.1f %9s %9s %7.2f\n", name, calls, Median(times) * 1000,
           *std::max_element(times.begin(), times.end()) * 1000, "", "",
           (double)allocations / calls);
}

// Shows a page, focuses its first list and measures its ticks with nothing
// held and then with the given input held.
void MeasurePage(HWND sheet, int index, const char *name, void (*hold)(bool))
{
    double start = NowMs();
    SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    printf("  %-34s first shown in %.1f ms (lists filled for two 12-button pads)\n", name,
           NowMs() - start);
    HWND page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    if (page != (HWND)SendMessageA(sheet, PSM_INDEXTOHWND, index, 0)) {
        printf("  %-34s page not shown\n", name);
        return;
    }
    HWND box = GetDlgItem(page, IDC_ASSIGN_FIRST);
    if (box)
        SetFocus(box);
    std::string label = std::string(name) + ", nothing held";
    MeasureTicks(label.c_str(), sheet, page, Seconds);
    MeasureDirectCalls("  its tick procedure alone", page);
    hold(true);
    label = std::string(name) + ", input held";
    MeasureTicks(label.c_str(), sheet, page, Seconds);
    MeasureDirectCalls("  its tick procedure alone", page);
    hold(false);
}

void HoldKey(bool held)
{
    const int K = 0x25;
    if (held)
        FakeInput.keyboard.Press(K);
    else
        FakeInput.keyboard.Release(K);
}

void HoldButton(bool held)
{
    FakeInput.pads[0].state.rgbButtons[3] = held ? 0x80 : 0;
}

// Runs in a fresh folder of its own, so the settings are the defaults; the
// sheet is never applied, so the folder stays empty and goes at the end.
std::string EnterEmptyFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "tick-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), NULL);
    SetCurrentDirectoryA(folder.c_str());
    return folder;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1)
        Seconds = atof(argv[1]);
    if (!InstallAllocationCounters()) {
        fprintf(stderr, "tick_bench: the allocation counters saw no allocation\n");
        return 2;
    }
    InstallFakeDirectX();
    FakeInput.AddPad(12);
    FakeInput.AddPad(12);
    FakeInput.recordCalls = false;
    ModuleInstance = GetModuleHandleA(NULL);
    std::string folder = EnterEmptyFolder();
    InitCommonControls();

    printf("%.0f s each; handling = time inside one WM_TIMER, CPU = whole process\n", Seconds);
    printf("  %-34s %5s %9s %9s %9s %9s %7s\n", "", "ticks", "handling", "slowest", "CPU/tick",
           "of a core", "allocs");
    printf("  %-34s %5s %9s %9s %9s %9s %7s\n", "", "", "us", "us", "us", "", "/tick");
    MeasureEmptyTimers(Seconds);
    HWND sheet = OpenToolSheet();
    MeasurePage(sheet, 1, "keyboard page", HoldKey);
    MeasurePage(sheet, 2, "gamepad page", HoldButton);
    DestroyWindow(sheet);
    CloseInputDevices();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    SetCurrentDirectoryA(temp);
    RemoveDirectoryA(folder.c_str());
    return 0;
}
