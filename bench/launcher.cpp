// Starts the shipped tool (and the start-up baseline) as a player's shell
// would, and measures them from outside:
//
//   launcher startup RUNS FOLDER TITLE EXE [TITLE EXE ...]
//       time from process start until the sheet is shown and idle, and
//       until the tooltips it makes after that exist, the runs alternating
//       between the programs (A B, B A, ...) so that a change in machine
//       load reaches all of them alike; medians and their ratios. A TITLE
//       written "label|title" prints the program's figures under the label
//   launcher footprint RUNS FOLDER TITLE EXE [TITLE EXE ...]
//       peak and current resident memory after all three pages were shown
//   launcher idle SECONDS FOLDER WINESERVER_PID TITLE EXE
//       CPU time the tool uses while each page waits for input
//   launcher save FOLDER TITLE EXE
//       starts the tool once and presses OK, which leaves the first-run
//       setting.cfg in FOLDER, as a player's folder has it
//
// "Shown and idle": WaitForInputIdle returns once the program's thread
// first waits for input with an empty queue, which for a modal sheet is
// after the first page has initialised and the sheet has painted. Each run
// then checks that the sheet really is visible with its first page, and
// that a WM_NULL sent to it comes back at once (the thread is in its
// message loop, not still busy).
//
// Memory and CPU are read from the Linux side (/proc, reached through
// Wine's Z: drive): GetProcessMemoryInfo on another process returns nothing
// under Wine 8, and /proc also tells what the wineserver spends on the
// tool's behalf. The program is found there by a marker on its command
// line, which the tool ignores.
//
// Every program runs in FOLDER (its current directory, where setting.cfg
// lives) and is closed with Cancel once measured.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "bench/bench_clock.h"
#include "bench/linux_side.h"

namespace {

struct Program {
    std::string label;                 // what the figures are printed under
    std::string title;
    std::string exe;
    int tooltips = 0;                  // its tooltip windows once its start is over
    std::vector<double> idle;          // ms from process start to shown and idle
    std::vector<double> complete;      // ms from process start to its tooltips made
    double worstEcho = 0;              // longest WM_NULL round trip after idle
    std::vector<double> peakKiB, residentKiB;
};

struct Running {
    PROCESS_INFORMATION process{};
    HWND sheet = NULL;
    std::string marker;                // on the command line, found in /proc
    double idleMs = 0;
    double echoMs = 0;
    double completeMs = 0;
};

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context)
{
    WindowSearch *search = (WindowSearch *)context;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid)
        search->found.push_back(window);
    return TRUE;
}

// The process's top-level windows: its sheet, and its tooltips too.
std::vector<HWND> WindowsOf(DWORD pid)
{
    WindowSearch search{ pid, {} };
    EnumWindows(CollectWindow, (LPARAM)&search);
    return search.found;
}

HWND SheetOf(DWORD pid, const char *title)
{
    for (HWND window : WindowsOf(pid)) {
        char text[128] = {};
        GetWindowTextA(window, text, sizeof text);
        if (lstrcmpA(text, title) == 0)
            return window;
    }
    return NULL;
}

int TooltipsOf(DWORD pid)
{
    int count = 0;
    for (HWND window : WindowsOf(pid)) {
        char name[32] = {};
        count += GetClassNameA(window, name, sizeof name) && lstrcmpiA(name, TOOLTIPS_CLASSA) == 0;
    }
    return count;
}

// The started programs' standard handles. What Wine's Linux side writes
// (ALSA's complaints about the missing sound card, for one) still reaches
// the terminal; scripts/bench.sh keeps it in its log.
HANDLE NullDevice()
{
    static HANDLE null = INVALID_HANDLE_VALUE;
    if (null == INVALID_HANDLE_VALUE) {
        SECURITY_ATTRIBUTES inherit{ sizeof inherit, NULL, TRUE };
        null = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &inherit, OPEN_EXISTING, 0, NULL);
    }
    return null;
}

// Starts the program and waits until its sheet is shown and idle. False
// (with the reason on stderr) when it did not get there.
bool Start(const Program &program, const std::string &folder, Running *run)
{
    static int count;
    run->marker = "bench-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = NullDevice();
    std::string command = "\"" + program.exe + "\" " + run->marker;
    double start = NowMs();
    if (!CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, 0, NULL, folder.c_str(), &startup,
                        &run->process)) {
        fprintf(stderr, "cannot start %s (error %lu)\n", program.exe.c_str(), GetLastError());
        return false;
    }
    DWORD waited = WaitForInputIdle(run->process.hProcess, 30000);
    run->idleMs = NowMs() - start;
    run->sheet = SheetOf(run->process.dwProcessId, program.title.c_str());
    // Had something waited for input before the sheet was up, wait for the
    // sheet and count to there.
    while ((!run->sheet || !IsWindowVisible(run->sheet)) && NowMs() - start < 30000) {
        Sleep(1);
        run->sheet = SheetOf(run->process.dwProcessId, program.title.c_str());
        run->idleMs = NowMs() - start;
    }
    HWND page = run->sheet ? (HWND)SendMessageA(run->sheet, PSM_GETCURRENTPAGEHWND, 0, 0) : NULL;
    double echoStart = NowMs();
    DWORD_PTR ignored;
    bool answered = run->sheet && SendMessageTimeoutA(run->sheet, WM_NULL, 0, 0, SMTO_NORMAL,
                                                      5000, &ignored);
    run->echoMs = NowMs() - echoStart;
    // A program that makes tooltips after it is shown (as many as its
    // unrecorded start ended with) has done its start-up work once they
    // are all there.
    while (TooltipsOf(run->process.dwProcessId) < program.tooltips && NowMs() - start < 30000)
        Sleep(1);
    run->completeMs = NowMs() - start;
    if (waited == 0 && answered && page && IsWindowVisible(page))
        return true;
    fprintf(stderr, "%s: no idle sheet (wait %lu, sheet %p, page %p)\n", program.exe.c_str(),
            waited, (void *)run->sheet, (void *)page);
    return false;
}

void Close(Running *run)
{
    if (run->sheet)
        PostMessageA(run->sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    if (WaitForSingleObject(run->process.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(run->process.hProcess, 1);
    CloseHandle(run->process.hThread);
    CloseHandle(run->process.hProcess);
}

// Selects a page the way a click on its tab does and waits until the
// program is idle again.
void ShowPage(const Running &run, int index)
{
    DWORD_PTR ignored;
    SendMessageTimeoutA(run.sheet, PSM_SETCURSEL, index, 0, SMTO_NORMAL, 10000, &ignored);
    SendMessageTimeoutA(run.sheet, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

// ---- the three measurements -------------------------------------------------

std::vector<Program> ProgramsFrom(int argc, char **argv, int first)
{
    std::vector<Program> programs;
    for (int i = first; i + 1 < argc; i += 2) {
        // "label|title" prints the program's figures under the label.
        Program program;
        program.title = argv[i];
        size_t bar = program.title.find('|');
        program.label = program.title.substr(0, bar);
        if (bar != std::string::npos)
            program.title.erase(0, bar + 1);
        program.exe = argv[i + 1];
        programs.push_back(program);
    }
    return programs;
}

// Runs one measurement per program and run, alternating the order, after
// one unrecorded start of each that brings its files into the cache.
template <typename Measure>
bool Alternate(std::vector<Program> &programs, int runs, Measure measure)
{
    for (Program &program : programs) {
        if (!measure(program, false))
            return false;
    }
    for (int run = 0; run < runs; ++run) {
        printf("run %d\n", run + 1);
        for (size_t k = 0; k < programs.size(); ++k) {
            size_t i = run % 2 ? programs.size() - 1 - k : k;
            if (!measure(programs[i], true))
                return false;
        }
        fflush(stdout);
    }
    return true;
}

// With three programs or more, the second is the baseline and the third a
// reference build of the first: each is set against the baseline, and the
// first against the third.
int StartUp(int runs, const std::string &folder, std::vector<Program> &programs)
{
    bool ok = Alternate(programs, runs, [&](Program &program, bool record) {
        Running run;
        bool shown = Start(program, folder, &run);
        if (shown && !record) {
            // The unrecorded start: how many tooltips the start ends with.
            Sleep(1000);
            program.tooltips = TooltipsOf(run.process.dwProcessId);
        }
        if (shown && record) {
            program.idle.push_back(run.idleMs);
            program.complete.push_back(run.completeMs);
            if (run.echoMs > program.worstEcho)
                program.worstEcho = run.echoMs;
            printf("  %-26s %8.1f ms  tooltips made %8.1f ms\n", program.label.c_str(),
                   run.idleMs, run.completeMs);
        }
        Close(&run);
        return shown;
    });
    if (!ok)
        return 1;
    printf("start-up: process start to shown and idle, %d starts each\n", runs);
    for (const Program &program : programs)
        printf("  %-26s median %7.1f ms  fastest %7.1f ms  (WM_NULL answered within %.1f ms of idle)\n",
               program.label.c_str(), Median(program.idle), Minimum(program.idle),
               program.worstEcho);
    printf("start-up: process start to the first page's tooltips made (as many as a start ends with)\n");
    for (const Program &program : programs)
        printf("  %-26s median %7.1f ms  fastest %7.1f ms  (%d tooltips)\n", program.label.c_str(),
               Median(program.complete), Minimum(program.complete), program.tooltips);
    for (size_t i = 0; i < programs.size(); ++i) {
        if (i == 1)
            continue;
        printf("  ratio of the medians, %s / %s: %.2f shown and idle, %.2f tooltips made\n",
               programs[i].label.c_str(), programs[1].label.c_str(),
               Median(programs[i].idle) / Median(programs[1].idle),
               Median(programs[i].complete) / Median(programs[1].complete));
    }
    if (programs.size() >= 3)
        printf("  ratio of the medians, %s / %s: %.2f shown and idle, %.2f tooltips made\n",
               programs[0].label.c_str(), programs[2].label.c_str(),
               Median(programs[0].idle) / Median(programs[2].idle),
               Median(programs[0].complete) / Median(programs[2].complete));
    return 0;
}

int Footprint(int runs, const std::string &folder, std::vector<Program> &programs)
{
    bool ok = Alternate(programs, runs, [&](Program &program, bool record) {
        Running run;
        bool shown = Start(program, folder, &run);
        long pid = shown ? LinuxPidOf(run.marker) : 0;
        if (shown && !pid)
            fprintf(stderr, "%s: not found in /proc\n", program.exe.c_str());
        if (pid && record) {
            ShowPage(run, 1);
            ShowPage(run, 2);
            double peak = StatusKiB(pid, "VmHWM");
            double resident = StatusKiB(pid, "VmRSS");
            program.peakKiB.push_back(peak);
            program.residentKiB.push_back(resident);
            printf("  %-26s peak %8.0f KiB  resident %8.0f KiB\n", program.label.c_str(), peak,
                   resident);
        }
        Close(&run);
        return pid != 0;
    });
    if (!ok)
        return 1;
    printf("memory after all three pages were shown (Linux VmHWM = peak working set), %d runs each\n",
           runs);
    for (const Program &program : programs)
        printf("  %-26s peak median %8.0f KiB  resident median %8.0f KiB\n", program.label.c_str(),
               Median(program.peakKiB), Median(program.residentKiB));
    if (programs.size() >= 2)
        printf("  peak difference %s - %s: %.0f KiB\n", programs[0].label.c_str(),
               programs[1].label.c_str(), Median(programs[0].peakKiB) - Median(programs[1].peakKiB));
    return 0;
}

// Focuses a control of another process's page, as a click would.
void FocusControl(const Running &run, HWND control)
{
    DWORD theirs = GetWindowThreadProcessId(control, NULL);
    DWORD ours = GetCurrentThreadId();
    AttachThreadInput(ours, theirs, TRUE);
    SetForegroundWindow(run.sheet);
    SetFocus(control);
    AttachThreadInput(ours, theirs, FALSE);
}

int Idle(double seconds, const std::string &folder, long wineserver, Program &program)
{
    Running run;
    if (!Start(program, folder, &run))
        return 1;
    long pid = LinuxPidOf(run.marker);
    if (!pid) {
        fprintf(stderr, "%s: not found in /proc\n", program.exe.c_str());
        Close(&run);
        return 1;
    }
    static const char *const pageNames[] = { "Graphic/Audio (no timer)", "Keyboard",
                                             "Gamepad" };
    printf("CPU while a page waits, %.0f s each, %% of one core (Linux utime+stime)\n", seconds);
    for (int index = 0; index < 3; ++index) {
        ShowPage(run, index);
        HWND page = (HWND)SendMessageA(run.sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
        HWND box = GetDlgItem(page, IDC_ASSIGN_FIRST);
        if (index > 0 && box)
            FocusControl(run, box);
        Sleep(1000);
        double tool = CpuSeconds(std::to_string(pid)), server = CpuSeconds(std::to_string(wineserver)), start = NowMs();
        Sleep((DWORD)(seconds * 1000));
        double elapsed = (NowMs() - start) / 1000;
        double toolShare = (CpuSeconds(std::to_string(pid)) - tool) / elapsed * 100;
        double serverShare = wineserver ? (CpuSeconds(std::to_string(wineserver)) - server) / elapsed * 100 : 0;
        printf("  %-26s tool %5.2f %%  wineserver %5.2f %%%s\n", pageNames[index], toolShare,
               serverShare, index > 0 && !box ? "  (no assignment box)" : "");
        fflush(stdout);
    }
    Close(&run);
    return 0;
}

int Save(const std::string &folder, Program &program)
{
    Running run;
    if (!Start(program, folder, &run))
        return 1;
    PostMessageA(run.sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    run.sheet = NULL;
    Close(&run);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 6 && strcmp(argv[1], "startup") == 0 && argc % 2 == 0) {
        std::vector<Program> programs = ProgramsFrom(argc, argv, 4);
        return StartUp(atoi(argv[2]), argv[3], programs);
    }
    if (argc >= 6 && strcmp(argv[1], "footprint") == 0 && argc % 2 == 0) {
        std::vector<Program> programs = ProgramsFrom(argc, argv, 4);
        return Footprint(atoi(argv[2]), argv[3], programs);
    }
    if (argc == 7 && strcmp(argv[1], "idle") == 0) {
        std::vector<Program> programs = ProgramsFrom(argc, argv, 5);
        return Idle(atof(argv[2]), argv[3], atol(argv[4]), programs[0]);
    }
    if (argc == 5 && strcmp(argv[1], "save") == 0) {
        std::vector<Program> programs = ProgramsFrom(argc, argv, 3);
        return Save(argv[2], programs[0]);
    }
    fprintf(stderr, "usage: launcher startup RUNS FOLDER TITLE EXE [TITLE EXE ...]\n"
                    "       launcher footprint RUNS FOLDER TITLE EXE [TITLE EXE ...]\n"
                    "       launcher idle SECONDS FOLDER WINESERVER_PID TITLE EXE\n"
                    "       launcher save FOLDER TITLE EXE\n");
    return 2;
}
