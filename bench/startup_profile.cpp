// Where the tool's start-up time goes. Runs the tool's own sheet, pages and
// input layer with this machine's real DirectX, each start in a fresh
// process (first calls load DLLs, fonts and drivers, which is the cost a
// player sees), and prints the median of every step over the runs.
//
//   startup_profile RUNS FOLDER [REFERENCE]
//
// prints every step of a start and of the first visit of pages 2 and 3,
// for the tool and for the start-up baseline (bench/baseline.h), then
// what one tooltip costs: once the tool's sheet is idle, 15 more tooltips
// are made for the first page's controls as AddControlTooltip makes them,
// CreateWindowExA, TTM_SETMAXTIPWIDTH and TTM_ADDTOOLA timed apart, next to
// other windows made the same way.
//
// Each round starts three children: the tool with the first page's
// initialisation taken apart (the operations of GraphicAudioPageProc's
// WM_INITDIALOG called in its order, each timed), the tool untouched (its
// WM_INITDIALOG timed as a whole, so the two can be compared), and the
// baseline. The later pages' WM_INITDIALOG is timed as a whole. Each child
// runs in FOLDER (where setting.cfg is read).
//
// "To idle" is until the thread's queue is empty once, as a pump of the
// modal sheet's kind leaves it; work a page leaves for a timer may come
// after that, so every start and visit is also timed until the page's
// controls have all their tooltips ("tooltips made"), pumping and waiting
// for messages as the sheet's loop does, with the longest single message
// handled meanwhile (how long the page could not answer). A visit is also
// timed until the page stood painted with nothing but timers left to
// handle ("painted and answering"): from then on the page answers the
// player between timer messages.
//
// REFERENCE, another build's startup_profile.exe (scripts/bench.sh with
// BENCH_AGAINST), adds one of its whole starts to each round, before or
// after this tool's whole start in turn, and a table of the two.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <stdio.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "app/shell.h"
#include "pages/tooltips.h"
#include "input/input.h"
#include "pages/pages.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "bench/baseline.h"
#include "bench/bench_clock.h"

namespace {

// The first page's tooltips.
const int TOOLTIP_ROWS = GRAPHIC_AUDIO_TOOLTIP_ROWS;

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

enum Mode { STEPS, WHOLE, BASELINE };
const char *const ModeNames[] = { "steps", "whole", "baseline" };

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
    RecordGraphicAudioPage(page);
    TIMED(Steps, "  tooltips, set to follow the first paint",
          AddPageTooltipsAfterShown(page, GraphicAudioTooltips, TOOLTIP_ROWS));
    TIMED(Steps, "  DirectInput: create, keyboard, enumerate",
          OpenInputDevices(ModuleInstance, GetParent(page)));
    TIMED(Steps, "  DirectSound probe", SoundPresent = ProbeSoundDevice());
    TIMED(Steps, "  Direct3D 8 caps probe", PixelShaderCapable = ProbePixelShader());
    TIMED(Steps, "  settings file", LoadSettingsForMachine());
    TIMED(Steps, "  options shown (checks, enablings)", {
        EnableWindow(GetDlgItem(page, IDC_PIXEL_SHADER), PixelShaderCapable != 0);
        EnableWindow(GetDlgItem(page, IDC_DISABLE_SOUND), SoundPresent != 0);
        RefreshGraphicAudioPage(page);
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

// ---- what a tooltip costs, against other windows ---------------------------

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND ControlOfRow(HWND page, int row)
{
    return GetDlgItem(page, GraphicAudioTooltips[row].control_id);
}

// 15 more tooltips for the first page's controls, made as AddControlTooltip
// makes them, with each of its three calls timed apart.
void TimeTooltipCalls(HWND page)
{
    double create = 0, maxWidth = 0, addTool = 0;
    HWND made[TOOLTIP_ROWS];
    for (int row = 0; row < TOOLTIP_ROWS; ++row) {
        HWND control = ControlOfRow(page, row);
        double t0 = NowMs();
        HWND tip = made[row] = CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, WS_POPUP | TTS_ALWAYSTIP,
                                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                               CW_USEDEFAULT, control, NULL, ModuleInstance, NULL);
        double t1 = NowMs();
        SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN));
        double t2 = NowMs();
        AddControlTool(tip, control, "Tooltip text.");
        double t3 = NowMs();
        create += t1 - t0;
        maxWidth += t2 - t1;
        addTool += t3 - t2;
    }
    Record("one more tooltip on page1, each: CreateWindowExA", create / TOOLTIP_ROWS);
    Record("  TTM_SETMAXTIPWIDTH", maxWidth / TOOLTIP_ROWS);
    Record("  TTM_ADDTOOLA", addTool / TOOLTIP_ROWS);
    for (HWND window : made)
        DestroyWindow(window);
}

// One window per control of the first page's tooltip table, made in the
// given way; records the mean cost of one.
void TimeWindows(HWND page, const char *name, const char *className, DWORD style)
{
    HWND made[TOOLTIP_ROWS];
    double start = NowMs();
    for (int row = 0; row < TOOLTIP_ROWS; ++row) {
        HWND parent = style & WS_CHILD ? page : ControlOfRow(page, row);
        made[row] = CreateWindowExA(0, className, NULL, style, 0, 0, 0, 0, parent, NULL,
                                    ModuleInstance, NULL);
    }
    Record(name, (NowMs() - start) / TOOLTIP_ROWS);
    for (HWND window : made)
        DestroyWindow(window);
}

// The whole table on one tooltip window: what the page would pay if the
// controls shared a tooltip instead of owning one each.
void TimeSharedTooltip(HWND page)
{
    double start = NowMs();
    HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, page, NULL,
                               ModuleInstance, NULL);
    SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN));
    for (int row = 0; row < TOOLTIP_ROWS; ++row) {
        HWND control = ControlOfRow(page, row);
        AddControlTool(tip, control, "Tooltip text.");
    }
    Record("15 controls sharing one tooltip window, all", NowMs() - start);
    DestroyWindow(tip);
}

void CompareWindows(HWND page)
{
    WNDCLASSA plain{};
    plain.lpfnWndProc = PlainWindowProc;
    plain.hInstance = ModuleInstance;
    plain.lpszClassName = "BenchPlainWindow";
    RegisterClassA(&plain);
    TimeTooltipCalls(page);
    TimeWindows(page, "plain popup window owned by the control, each", "BenchPlainWindow",
                WS_POPUP);
    TimeWindows(page, "plain child window of the page, each", "BenchPlainWindow", WS_CHILD);
    TimeSharedTooltip(page);
}

// ---- one start --------------------------------------------------------------

// The longest one message took in the pumps since this was last cleared.
double LongestMessage;

// A timer message comes only when the thread has nothing else to do: no
// message sent or posted, no input, no window left to paint. So the first
// one taken (or the queue found empty) is when the page stood painted and
// answering; painted, when given, gets that time.
void PumpUntilIdle(HWND sheet, double *painted = nullptr)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (painted && !*painted && msg.message == WM_TIMER)
            *painted = NowMs();
        double start = NowMs();
        if (!PropSheet_IsDialogMessage(sheet, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        LongestMessage = std::max(LongestMessage, NowMs() - start);
    }
    if (painted && !*painted)
        *painted = NowMs();
}

struct TooltipCount {
    HWND page;
    int count;
};

BOOL CALLBACK CountTooltip(HWND window, LPARAM context)
{
    TooltipCount *count = (TooltipCount *)context;
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0)
        return TRUE;
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    if (SendMessageA(window, TTM_ENUMTOOLSA, 0, (LPARAM)&tool) &&
        GetParent((HWND)tool.uId) == count->page)
        ++count->count;
    return TRUE;
}

// The tooltip windows whose tool is one of the page's controls.
int PageTooltipWindows(HWND page)
{
    TooltipCount count{ page, 0 };
    EnumThreadWindows(GetCurrentThreadId(), CountTooltip, (LPARAM)&count);
    return count.count;
}

// The page's work is done once its controls have their tooltips, which
// the pages make after they are shown: pumps (as the modal sheet's loop
// does, waiting for messages between them) until the page's controls have
// all their tooltips, 5 s at most; the baseline's pages have none.
void PumpUntilTooltipsMade(HWND sheet, HWND page)
{
    if (Running == BASELINE)
        return;
    double start = NowMs();
    while (PageTooltipWindows(page) < TOOLTIP_ROWS && NowMs() - start < 5000) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
        PumpUntilIdle(sheet);
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
    double start = NowMs();
    SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    double painted = 0;
    LongestMessage = 0;
    PumpUntilIdle(sheet, &painted);
    std::string page = "page" + std::to_string(index + 1);
    Record(page + " first visit, to painted and answering", painted - start);
    Record(page + " first visit, to idle", NowMs() - start);
    Record("  " + page + " longest message until idle", LongestMessage);
    LongestMessage = 0;
    PumpUntilTooltipsMade(sheet, (HWND)SendMessageA(sheet, PSM_INDEXTOHWND, index, 0));
    Record(page + " first visit, to its tooltips made", NowMs() - start);
    Record("  " + page + " longest message after idle", LongestMessage);
    Record("  " + page + " dialog and controls created",
           PageInitStart[index] - PageFirstMessage[index]);
    Record("  " + page + " WM_INITDIALOG", PageInitMs[index]);
}

int ProfileOneStart(Mode mode)
{
    Record("process creation to main", SinceProcessCreation());
    Running = mode;
    ModuleInstance = GetModuleHandleA(NULL);
    SetDllDirectoryA("");
    TIMED(Figures, "InitCommonControls", InitCommonControls());

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
            Record(step.first, step.second);
    }
    Record("rest of sheet creation", created - initEnd);
    Record("first paint, to idle", idle - created);
    Record("process creation to shown and idle", SinceProcessCreation());
    LongestMessage = 0;
    PumpUntilTooltipsMade(sheet, (HWND)SendMessageA(sheet, PSM_INDEXTOHWND, 0, 0));
    Record("process creation to page1 tooltips made", SinceProcessCreation());
    Record("  page1 longest message after idle", LongestMessage);

    VisitPage(sheet, KeyboardPage);
    VisitPage(sheet, GamepadPage);
    if (mode == STEPS)
        CompareWindows((HWND)SendMessageA(sheet, PSM_INDEXTOHWND, 0, 0));

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

bool RunChild(const std::string &exe, const std::string &folder, Mode mode, std::string *output)
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
    std::string command = "\"" + exe + "\" child " + ModeNames[mode];
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

// Figures by column (0: the tool, 1: the baseline, 2: the reference
// build's tool, 3: the tool's whole starts alone) and name, in the order in
// which the names first appeared.
struct Table {
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> values[4];

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
                if (column < 2 && std::find(order.begin(), order.end(), name) == order.end())
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

    // The figures that compare this tool with the reference build's, and
    // what each is called in a reference that predates it (whose pages did
    // all their work before they were idle).
    void PrintAgainst(const std::string &reference) const
    {
        static const char *const Compared[][2] = {
            { "process creation to shown and idle", nullptr },
            { "process creation to page1 tooltips made", "process creation to shown and idle" },
            { "page2 first visit, to painted and answering", "page2 first visit, to idle" },
            { "page2 first visit, to idle", nullptr },
            { "page2 first visit, to its tooltips made", "page2 first visit, to idle" },
            { "page3 first visit, to painted and answering", "page3 first visit, to idle" },
            { "page3 first visit, to idle", nullptr },
            { "page3 first visit, to its tooltips made", "page3 first visit, to idle" },
        };
        printf("\nthe tool against %s (whole starts only, the two alternating)\n",
               reference.c_str());
        printf("%-46s %-19s  %-19s\n", "", "tool (ms)", "reference (ms)");
        printf("%-46s %7s %7s %3s  %7s %7s %3s  %s\n", "figure", "median", "fastest", "n",
               "median", "fastest", "n", "ratio of the medians");
        for (const auto &row : Compared) {
            auto tool = values[3].find(row[0]);
            auto ref = values[2].find(row[0]);
            const char *refName = row[0];
            if (ref == values[2].end() && row[1]) {
                ref = values[2].find(row[1]);
                refName = row[1];
            }
            if (tool == values[3].end() || ref == values[2].end())
                continue;
            const std::vector<double> &whole = tool->second;
            printf("%-46s %-19s  %-19s  %.2f%s\n", row[0], Cell(whole).c_str(),
                   Cell(ref->second).c_str(), Median(whole) / Median(ref->second),
                   refName == row[0] ? "" : "  (*)");
        }
        printf("(*) against the reference's own figure %s: a reference without it did\n"
               "    all its work before it was idle, so that it stood painted with nothing\n"
               "    left then\n", "\"... to idle\"");
    }
};

// Each round starts the three children, and the reference build's
// startup_profile (when named) for a whole start, alternating the order in
// which the reference and this tool's whole start come.
int Summarise(int runs, const std::string &folder, const std::string &reference)
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    Table table;
    for (int run = 0; run < runs; ++run) {
        std::vector<std::pair<Mode, bool>> order = { { STEPS, false }, { WHOLE, false },
                                                     { BASELINE, false } };
        if (!reference.empty())
            order.insert(order.begin() + (run % 2 ? 1 : 2), { WHOLE, true });
        for (const auto &start : order) {
            std::string output;
            if (!RunChild(start.second ? reference : self, folder, start.first, &output)) {
                fprintf(stderr, "a profiled start (%s%s) failed\n", ModeNames[start.first],
                        start.second ? ", reference" : "");
                return 1;
            }
            table.Add(start.second ? 2 : start.first == BASELINE ? 1 : 0, output);
            if (start.first == WHOLE && !start.second)
                table.Add(3, output);
        }
    }
    table.Print();
    if (!reference.empty())
        table.PrintAgainst(reference);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "child") == 0) {
        for (int mode = STEPS; mode <= BASELINE; ++mode) {
            if (strcmp(argv[2], ModeNames[mode]) == 0)
                return ProfileOneStart((Mode)mode);
        }
        return 2;
    }
    if (argc != 3 && argc != 4) {
        fprintf(stderr, "usage: startup_profile RUNS FOLDER [REFERENCE_STARTUP_PROFILE]\n");
        return 2;
    }
    return Summarise(atoi(argv[1]), argv[2], argc == 4 ? argv[3] : "");
}
