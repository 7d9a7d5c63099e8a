// Where the tool's start-up time goes. Runs the tool's own sheet, pages and
// input layer with this machine's real DirectX, each start in a fresh
// process (first calls load DLLs, fonts and drivers, which is the cost a
// player sees), and prints the median of every step over the runs.
//
//   startup_profile RUNS FOLDER            every step of a start, then the
//                                          first visit of pages 2 and 3, for
//                                          the tool and for the start-up
//                                          baseline (bench/baseline.h)
//   startup_profile RUNS FOLDER tooltips   what each tooltip costs: the
//                                          tooltip window's creation,
//                                          TTM_SETMAXTIPWIDTH, TTM_ADDTOOLA
//
// The first page's initialisation is taken apart by calling the same
// operations as GraphicAudioPageProc's WM_INITDIALOG, in the same order,
// each timed; its untouched WM_INITDIALOG is timed as a whole in the same
// run of children (every other child), so the two can be compared. The
// later pages' WM_INITDIALOG is timed as a whole. Each child runs in FOLDER
// (where setting.cfg is read).
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <stdio.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "app/shell.h"
#include "app/tooltips.h"
#include "bench/baseline.h"
#include "bench/bench_clock.h"
#include "input/input.h"
#include "pages/pages.h"
#include "res/resource.h"
#include "settings/settings.h"

namespace {

// Pages in sheet order.
const int KeyboardPage = 1;
const int GamepadPage = 2;

// One child's figures, in the order they were taken.
std::vector<std::pair<std::string, double>> Figures;

void Record(const std::string &name, double ms)
{
    Figures.push_back({ name, ms });
}

// ---- the first page, step by step, or whole --------------------------------

enum Mode { STEPS, WHOLE, BASELINE, TOOLTIPS };
const char *const ModeNames[] = { "steps", "whole", "baseline", "tooltips" };

Mode Running;
double PageFirstMessage[SHEET_PAGE_COUNT];   // the page dialog is being created
double PageInitStart[SHEET_PAGE_COUNT];      // its controls exist
double PageInitMs[SHEET_PAGE_COUNT];
DLGPROC RealPageProc[SHEET_PAGE_COUNT];

// The first page's steps, printed after its WM_INITDIALOG as a whole.
std::vector<std::pair<std::string, double>> Steps;

#define TIMED(list, name, statement)              \
    do {                                          \
        double start_ = NowMs();                  \
        statement;                                \
        list.push_back({ name, NowMs() - start_ }); \
    } while (0)

// The operations of the first page's WM_INITDIALOG, in its order.
void FirstPageSteps(HWND page)
{
    GraphicAudioPageWindow = page;
    SheetWindow = GetParent(page);
    TIMED(Steps, "  tooltips (15 windows)", AddPageTooltips(page, GraphicAudioTooltips, TOOLTIP_ROWS));
    TIMED(Steps, "  DirectInput: create, keyboard, enumerate", OpenInputDevices(ModuleInstance, SheetWindow));
    TIMED(Steps, "  DirectSound probe", SoundPresent = ProbeSoundDevice());
    TIMED(Steps, "  Direct3D 8 caps probe", PixelShaderCapable = ProbePixelShader());
    TIMED(Steps, "  settings file", LoadSettingsForMachine());
    TIMED(Steps, "  options shown (checks, enablings)", {
        EnableWindow(GetDlgItem(page, IDC_PIXEL_SHADER), PixelShaderCapable != 0);
        EnableWindow(GetDlgItem(page, IDC_DISABLE_SOUND), SoundPresent != 0);
        RefreshGraphicAudioPage();
    });
}

template <int Index>
INT_PTR CALLBACK TimedPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (!PageFirstMessage[Index])
        PageFirstMessage[Index] = NowMs();
    if (message != WM_INITDIALOG)
        return RealPageProc[Index](page, message, wparam, lparam);
    double start = PageInitStart[Index] = NowMs();
    INT_PTR result;
    if (Index == 0 && Running == STEPS) {
        FirstPageSteps(page);
        result = TRUE;
    } else {
        result = RealPageProc[Index](page, message, wparam, lparam);
    }
    PageInitMs[Index] = NowMs() - start;
    return result;
}

const DLGPROC TimedPageProcs[SHEET_PAGE_COUNT] = { TimedPageProc<0>, TimedPageProc<1>,
                                                   TimedPageProc<2> };

// ---- the anatomy of one tooltip --------------------------------------------

struct TooltipCosts {
    double create = 0, maxWidth = 0, addTool = 0;
    double firstCreate = 0;       // the first tooltip of the page
    double first = 0, last = 0;   // first creation, last TTM_ADDTOOLA done
    int count = 0;
};
TooltipCosts Tips[SHEET_PAGE_COUNT];
int TipPage;
double MessageStart;
double CreateStart;
HHOOK CbtHook, CallHook, ReturnHook;

bool IsTooltip(HWND window)
{
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, TOOLTIPS_CLASSA) == 0;
}

LRESULT CALLBACK WatchCreation(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HCBT_CREATEWND && IsTooltip((HWND)wparam)) {
        CreateStart = NowMs();
        if (!Tips[TipPage].count)
            Tips[TipPage].first = CreateStart;
    }
    return CallNextHookEx(CbtHook, code, wparam, lparam);
}

// A tooltip's creation ends where the tool first talks to it.
LRESULT CALLBACK WatchCall(int code, WPARAM wparam, LPARAM lparam)
{
    const CWPSTRUCT *call = (const CWPSTRUCT *)lparam;
    if (code == HC_ACTION && (call->message == TTM_SETMAXTIPWIDTH || call->message == TTM_ADDTOOLA)) {
        MessageStart = NowMs();
        TooltipCosts &tips = Tips[TipPage];
        if (call->message == TTM_SETMAXTIPWIDTH) {
            tips.create += MessageStart - CreateStart;
            if (!tips.count)
                tips.firstCreate = MessageStart - CreateStart;
        }
    }
    return CallNextHookEx(CallHook, code, wparam, lparam);
}

LRESULT CALLBACK WatchReturn(int code, WPARAM wparam, LPARAM lparam)
{
    const CWPRETSTRUCT *call = (const CWPRETSTRUCT *)lparam;
    if (code == HC_ACTION) {
        double now = NowMs();
        TooltipCosts &tips = Tips[TipPage];
        if (call->message == TTM_SETMAXTIPWIDTH)
            tips.maxWidth += now - MessageStart;
        if (call->message == TTM_ADDTOOLA) {
            tips.addTool += now - MessageStart;
            tips.last = now;
            ++tips.count;
        }
    }
    return CallNextHookEx(ReturnHook, code, wparam, lparam);
}

void WatchTooltips()
{
    DWORD thread = GetCurrentThreadId();
    CbtHook = SetWindowsHookExA(WH_CBT, WatchCreation, NULL, thread);
    CallHook = SetWindowsHookExA(WH_CALLWNDPROC, WatchCall, NULL, thread);
    ReturnHook = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchReturn, NULL, thread);
}

void RecordTooltips(int page)
{
    const TooltipCosts &tips = Tips[page];
    if (!tips.count)
        return;
    std::string prefix = "    page" + std::to_string(page + 1) + " tooltips: ";
    Record(prefix + "all " + std::to_string(tips.count), tips.last - tips.first);
    Record(prefix + "CreateWindowExA, first", tips.firstCreate);
    Record(prefix + "CreateWindowExA, mean", tips.create / tips.count);
    Record(prefix + "TTM_SETMAXTIPWIDTH, mean", tips.maxWidth / tips.count);
    Record(prefix + "TTM_ADDTOOLA, mean", tips.addTool / tips.count);
}

// ---- what a tooltip's creation costs, against other windows ----------------

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    return DefWindowProcA(window, message, wparam, lparam);
}

// Creates one window per control of the first page's tooltip table in the
// given way, and records the mean cost of one creation.
void TimeCreations(HWND page, const char *name, const char *className, DWORD style, int size,
                   bool owned)
{
    HWND made[TOOLTIP_ROWS];
    double start = NowMs();
    for (int i = 0; i < TOOLTIP_ROWS; ++i) {
        HWND control = GetDlgItem(page, GraphicAudioTooltips[i].control_id);
        HWND parent = style & WS_CHILD ? page : owned ? control : NULL;
        made[i] = CreateWindowExA(0, className, NULL, style, size, size, size, size, parent, NULL,
                                  ModuleInstance, NULL);
    }
    Record(name, (NowMs() - start) / TOOLTIP_ROWS);
    for (HWND window : made)
        DestroyWindow(window);
}

void CompareCreations(HWND page)
{
    WNDCLASSA plain{};
    plain.lpfnWndProc = PlainWindowProc;
    plain.hInstance = ModuleInstance;
    plain.lpszClassName = "BenchPlainWindow";
    RegisterClassA(&plain);
    const int def = CW_USEDEFAULT;
    TimeCreations(page, "15 more windows on page1: tooltip as the tool makes it, each", TOOLTIPS_CLASSA,
                  WS_POPUP | TTS_ALWAYSTIP, def, true);
    TimeCreations(page, "  tooltip with no owner, each", TOOLTIPS_CLASSA, WS_POPUP | TTS_ALWAYSTIP,
                  def, false);
    TimeCreations(page, "  tooltip of size 0, each", TOOLTIPS_CLASSA, WS_POPUP | TTS_ALWAYSTIP, 0,
                  true);
    TimeCreations(page, "  plain owned popup window, each", "BenchPlainWindow", WS_POPUP, def, true);
    TimeCreations(page, "  plain child window, each", "BenchPlainWindow", WS_CHILD, 0, true);
}

// ---- one start --------------------------------------------------------------

void PumpUntilIdle(HWND sheet)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (PropSheet_IsDialogMessage(sheet, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Milliseconds since this process was created, by the system clock.
double SinceProcessCreation()
{
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    ULARGE_INTEGER a, b;
    a.LowPart = created.dwLowDateTime;
    a.HighPart = created.dwHighDateTime;
    b.LowPart = now.dwLowDateTime;
    b.HighPart = now.dwHighDateTime;
    return (double)(b.QuadPart - a.QuadPart) / 10000.0;
}

void VisitPage(HWND sheet, int index)
{
    TipPage = index;
    double start = NowMs();
    SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    PumpUntilIdle(sheet);
    std::string page = "page" + std::to_string(index + 1);
    Record((page + " first visit, to idle").c_str(), NowMs() - start);
    Record(("  " + page + " dialog and controls created").c_str(),
           PageInitStart[index] - PageFirstMessage[index]);
    Record(("  " + page + " WM_INITDIALOG").c_str(), PageInitMs[index]);
    if (Running == TOOLTIPS)
        RecordTooltips(index);
}

int ProfileOneStart(Mode mode)
{
    Record("process creation to main", SinceProcessCreation());
    Running = mode;
    ModuleInstance = GetModuleHandleA(NULL);
    SetDllDirectoryA("");
    TIMED(Figures, "InitCommonControls", InitCommonControls());
    if (mode == TOOLTIPS)
        WatchTooltips();

    PROPSHEETHEADERA header;
    PROPSHEETPAGEA_V2 pages[SHEET_PAGE_COUNT];
    if (mode == BASELINE)
        DescribeBaselineSheet(ModuleInstance, &header, pages);
    else
        DescribeSheet(&header, pages);
    header.dwFlags |= PSH_MODELESS;
    for (int i = 0; i < SHEET_PAGE_COUNT; ++i) {
        RealPageProc[i] = pages[i].pfnDlgProc;
        pages[i].pfnDlgProc = TimedPageProcs[i];
    }
    double start = NowMs();
    HWND sheet = (HWND)PropertySheetA(&header);
    double created = NowMs();
    PumpUntilIdle(sheet);
    double idle = NowMs();
    if (!sheet || !IsWindowVisible(sheet))
        return 1;
    double initEnd = PageInitStart[0] + PageInitMs[0];
    Record("sheet frame created", PageFirstMessage[0] - start);
    Record("page1 dialog and controls created", PageInitStart[0] - PageFirstMessage[0]);
    Record("page1 WM_INITDIALOG", PageInitMs[0]);
    if (mode == WHOLE)
        Record("  page1 WM_INITDIALOG, untouched", PageInitMs[0]);
    if (mode == STEPS) {
        for (const auto &step : Steps)
            Record(step.first.c_str(), step.second);
    }
    if (mode == TOOLTIPS)
        RecordTooltips(0);
    Record("rest of sheet creation", created - initEnd);
    Record("first paint, to idle", idle - created);
    Record("process creation to shown and idle", SinceProcessCreation());

    VisitPage(sheet, KeyboardPage);
    VisitPage(sheet, GamepadPage);
    if (mode == TOOLTIPS)
        CompareCreations((HWND)SendMessageA(sheet, PSM_INDEXTOHWND, 0, 0));

    for (const auto &figure : Figures)
        printf("%s\t%.3f\n", figure.first.c_str(), figure.second);
    DestroyWindow(sheet);
    if (mode == BASELINE)
        CloseBaselineDevices();
    else
        CloseInputDevices();
    return 0;
}

// ---- the parent: fresh children, medians ------------------------------------

bool RunChild(const std::string &self, const std::string &folder, Mode mode, std::string *output)
{
    SECURITY_ATTRIBUTES inherit{ sizeof inherit, NULL, TRUE };
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    std::string command = "\"" + self + "\" child " + ModeNames[mode];
    BOOL started = CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, 0, NULL, folder.c_str(),
                                  &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return false;
    }
    char buffer[4096];
    DWORD read;
    while (ReadFile(readEnd, buffer, sizeof buffer, &read, NULL) && read)
        output->append(buffer, read);
    CloseHandle(readEnd);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code == 0;
}

// Figures by column (0: the tool, 1: the baseline) and name, in the order
// in which the names first appeared.
struct Table {
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> values[2];

    void Add(int column, const std::string &output)
    {
        size_t line = 0;
        while (line < output.size()) {
            size_t end = output.find('\n', line);
            if (end == std::string::npos)
                end = output.size();
            std::string text = output.substr(line, end - line);
            size_t tab = text.find('\t');
            if (tab != std::string::npos) {
                std::string name = text.substr(0, tab);
                if (std::find(order.begin(), order.end(), name) == order.end())
                    order.push_back(name);
                values[column][name].push_back(atof(text.c_str() + tab + 1));
            }
            line = end + 1;
        }
    }

    static std::string Cell(const std::vector<double> &v)
    {
        if (v.empty())
            return "";
        char text[64];
        snprintf(text, sizeof text, "%7.1f %7.1f %3zu", Median(v), Minimum(v), v.size());
        return text;
    }

    void Print() const
    {
        printf("%-46s %-19s  %-19s\n", "", "tool (ms)", "baseline (ms)");
        printf("%-46s %7s %7s %3s  %7s %7s %3s\n", "step", "median", "fastest", "n", "median",
               "fastest", "n");
        for (const std::string &name : order) {
            auto tool = values[0].find(name);
            auto base = values[1].find(name);
            printf("%-46s %-19s  %-19s\n", name.c_str(),
                   tool == values[0].end() ? "" : Cell(tool->second).c_str(),
                   base == values[1].end() ? "" : Cell(base->second).c_str());
        }
    }
};

int Summarise(int runs, const std::string &folder, bool tooltips)
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    static const Mode startRound[] = { STEPS, WHOLE, BASELINE };
    static const Mode tooltipRound[] = { TOOLTIPS };
    Table table;
    for (int run = 0; run < runs; ++run) {
        for (Mode mode : tooltips ? std::vector<Mode>(tooltipRound, tooltipRound + 1)
                                  : std::vector<Mode>(startRound, startRound + 3)) {
            std::string output;
            if (!RunChild(self, folder, mode, &output)) {
                fprintf(stderr, "a profiled start (%s) failed\n", ModeNames[mode]);
                return 1;
            }
            table.Add(mode == BASELINE ? 1 : 0, output);
        }
    }
    table.Print();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "child") == 0) {
        for (int mode = STEPS; mode <= TOOLTIPS; ++mode) {
            if (strcmp(argv[2], ModeNames[mode]) == 0)
                return ProfileOneStart((Mode)mode);
        }
        return 2;
    }
    if (argc < 3) {
        fprintf(stderr, "usage: startup_profile RUNS FOLDER [tooltips]\n");
        return 2;
    }
    return Summarise(atoi(argv[1]), argv[2], argc > 3 && strcmp(argv[3], "tooltips") == 0);
}
