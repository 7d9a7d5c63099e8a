// Times programs from process start until their property sheet is shown and
// idle, side by side: the runs alternate between the programs (A B, B A, ...)
// so that a change in machine load reaches all of them alike.
//
// "Shown and idle" is detected from outside, as a player's shell would see
// it: WaitForInputIdle returns once the program's thread first waits for
// input with an empty queue, which for a modal sheet is after the first page
// has initialised and the sheet has painted. Each run then checks that the
// sheet really is visible with its first page, and that a WM_NULL sent to it
// comes back at once (the thread is in its message loop, not still busy).
//
//   startup_timer RUNS FOLDER TITLE_A EXE_A TITLE_B EXE_B ...
//
// Every program runs in FOLDER (its current directory) and is closed with
// Cancel once measured. One line per program and run goes to stdout, then a
// summary with the medians.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "bench/bench_clock.h"

namespace {

struct Program {
    std::string title;
    std::string exe;
    std::vector<double> idle;      // process start -> shown and idle
    std::vector<double> shown;     // process start -> sheet first seen visible
    double worstEcho = 0;          // longest WM_NULL round trip after idle
};

struct SheetSearch {
    DWORD pid;
    const char *title;
    HWND found;
};

BOOL CALLBACK FindSheet(HWND window, LPARAM context)
{
    SheetSearch *search = (SheetSearch *)context;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char text[128] = {};
    GetWindowTextA(window, text, sizeof text);
    if (pid == search->pid && lstrcmpA(text, search->title) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND SheetOf(DWORD pid, const char *title)
{
    SheetSearch search{ pid, title, NULL };
    EnumWindows(FindSheet, (LPARAM)&search);
    return search.found;
}

bool Launch(const std::string &exe, const std::string &folder, PROCESS_INFORMATION *process)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + exe + "\"";
    return CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(),
                          &startup, process) != FALSE;
}

void Finish(PROCESS_INFORMATION &process, HWND sheet)
{
    if (sheet)
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// One start of one program; false when it did not show its sheet.
bool MeasureOnce(Program &program, const std::string &folder, bool record)
{
    PROCESS_INFORMATION process{};
    double start = NowMs();
    if (!Launch(program.exe, folder, &process)) {
        fprintf(stderr, "cannot start %s (error %lu)\n", program.exe.c_str(), GetLastError());
        return false;
    }
    DWORD waited = WaitForInputIdle(process.hProcess, 30000);
    double idle = NowMs() - start;
    HWND sheet = SheetOf(process.dwProcessId, program.title.c_str());
    double shown = idle;
    // WaitForInputIdle may only return early if something waited for input
    // before the sheet was up: then wait for the sheet and count to there.
    while ((!sheet || !IsWindowVisible(sheet)) && NowMs() - start < 30000) {
        Sleep(1);
        sheet = SheetOf(process.dwProcessId, program.title.c_str());
        shown = idle = NowMs() - start;
    }
    HWND page = sheet ? (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0) : NULL;
    double echoStart = NowMs();
    DWORD_PTR ignored;
    bool answered = sheet && SendMessageTimeoutA(sheet, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    double echo = NowMs() - echoStart;
    bool ok = waited == 0 && answered && page && IsWindowVisible(page);
    if (record && ok) {
        program.idle.push_back(idle);
        program.shown.push_back(shown);
        if (echo > program.worstEcho)
            program.worstEcho = echo;
        printf("  %-26s %8.1f ms\n", program.title.c_str(), idle);
        fflush(stdout);
    }
    if (!ok)
        fprintf(stderr, "%s: no idle sheet (wait %lu, sheet %p, page %p)\n", program.exe.c_str(),
                waited, (void *)sheet, (void *)page);
    Finish(process, sheet);
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 5 || (argc - 3) % 2) {
        fprintf(stderr, "usage: startup_timer RUNS FOLDER TITLE EXE [TITLE EXE ...]\n");
        return 2;
    }
    int runs = atoi(argv[1]);
    std::string folder = argv[2];
    std::vector<Program> programs;
    for (int i = 3; i + 1 < argc; i += 2)
        programs.push_back({ argv[i], argv[i + 1], {}, {}, 0 });

    // One unrecorded start of each brings its files into the cache.
    for (Program &program : programs) {
        if (!MeasureOnce(program, folder, false))
            return 1;
    }
    for (int run = 0; run < runs; ++run) {
        printf("run %d\n", run + 1);
        for (size_t k = 0; k < programs.size(); ++k) {
            size_t i = run % 2 ? programs.size() - 1 - k : k;
            if (!MeasureOnce(programs[i], folder, true))
                return 1;
        }
    }
    printf("summary (median and fastest of %d starts, process start to shown and idle)\n", runs);
    for (const Program &program : programs)
        printf("  %-26s median %7.1f ms  fastest %7.1f ms  (slowest WM_NULL echo after idle %.1f ms)\n",
               program.title.c_str(), Median(program.idle), Minimum(program.idle),
               program.worstEcho);
    if (programs.size() >= 2)
        printf("  ratio %s / %s: %.2f\n", programs[0].title.c_str(), programs[1].title.c_str(),
               Median(programs[0].idle) / Median(programs[1].idle));
    return 0;
}
