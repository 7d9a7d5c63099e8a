// Speed and allocations of the live-capture polls, on the fake devices:
// PollKeyboard and PollPads per call with two pads that offer every input
// the poll examines, with nothing held and with inputs held.
//
// Allocations are counted by routing this program's own imports of the C
// run-time and Win32 allocators through counters, which sees every
// allocation the tool's code (linked into this program) or the fakes make.
// The fakes' call record is off while measuring.
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
#include "settings/settings.h"
#include "tests/sheet_harness.h"

namespace {

volatile long Allocations;

typedef void *(__cdecl *MallocProc)(size_t);
typedef void *(__cdecl *CallocProc)(size_t, size_t);
typedef void *(__cdecl *ReallocProc)(void *, size_t);
typedef LPVOID (WINAPI *HeapAllocProc)(HANDLE, DWORD, SIZE_T);
typedef LPVOID (WINAPI *HeapReAllocProc)(HANDLE, DWORD, LPVOID, SIZE_T);
typedef HLOCAL (WINAPI *LocalAllocProc)(UINT, SIZE_T);
typedef HGLOBAL (WINAPI *GlobalAllocProc)(UINT, SIZE_T);
typedef LPVOID (WINAPI *VirtualAllocProc)(LPVOID, SIZE_T, DWORD, DWORD);

MallocProc RealMalloc;
CallocProc RealCalloc;
ReallocProc RealRealloc;
HeapAllocProc RealHeapAlloc;
HeapReAllocProc RealHeapReAlloc;
LocalAllocProc RealLocalAlloc;
GlobalAllocProc RealGlobalAlloc;
VirtualAllocProc RealVirtualAlloc;

void *__cdecl CountMalloc(size_t size) { ++Allocations; return RealMalloc(size); }
void *__cdecl CountCalloc(size_t n, size_t size) { ++Allocations; return RealCalloc(n, size); }
void *__cdecl CountRealloc(void *block, size_t size) { ++Allocations; return RealRealloc(block, size); }
LPVOID WINAPI CountHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size)
{
    ++Allocations;
    return RealHeapAlloc(heap, flags, size);
}
LPVOID WINAPI CountHeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T size)
{
    ++Allocations;
    return RealHeapReAlloc(heap, flags, block, size);
}
HLOCAL WINAPI CountLocalAlloc(UINT flags, SIZE_T size) { ++Allocations; return RealLocalAlloc(flags, size); }
HGLOBAL WINAPI CountGlobalAlloc(UINT flags, SIZE_T size) { ++Allocations; return RealGlobalAlloc(flags, size); }
LPVOID WINAPI CountVirtualAlloc(LPVOID address, SIZE_T size, DWORD type, DWORD protect)
{
    ++Allocations;
    return RealVirtualAlloc(address, size, type, protect);
}

struct ImportHook {
    const char *name;
    void *counter;
    void **real;
    bool installed;
};

ImportHook Hooks[] = {
    { "malloc", (void *)CountMalloc, (void **)&RealMalloc, false },
    { "calloc", (void *)CountCalloc, (void **)&RealCalloc, false },
    { "realloc", (void *)CountRealloc, (void **)&RealRealloc, false },
    { "HeapAlloc", (void *)CountHeapAlloc, (void **)&RealHeapAlloc, false },
    { "HeapReAlloc", (void *)CountHeapReAlloc, (void **)&RealHeapReAlloc, false },
    { "LocalAlloc", (void *)CountLocalAlloc, (void **)&RealLocalAlloc, false },
    { "GlobalAlloc", (void *)CountGlobalAlloc, (void **)&RealGlobalAlloc, false },
    { "VirtualAlloc", (void *)CountVirtualAlloc, (void **)&RealVirtualAlloc, false },
};

// Points this program's import slots of the allocators at the counters.
void InstallAllocationCounters()
{
    BYTE *base = (BYTE *)GetModuleHandleA(NULL);
    const IMAGE_NT_HEADERS *nt = (const IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY &imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (const IMAGE_IMPORT_DESCRIPTOR *module = (const IMAGE_IMPORT_DESCRIPTOR *)(base + imports.VirtualAddress);
         module->Name; ++module) {
        const IMAGE_THUNK_DATA *names = (const IMAGE_THUNK_DATA *)(base + module->OriginalFirstThunk);
        IMAGE_THUNK_DATA *slots = (IMAGE_THUNK_DATA *)(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const char *name = (const char *)((const IMAGE_IMPORT_BY_NAME *)(base + names->u1.AddressOfData))->Name;
            for (ImportHook &hook : Hooks) {
                if (strcmp(name, hook.name) != 0)
                    continue;
                DWORD protection;
                VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
                *hook.real = (void *)slots->u1.Function;
                slots->u1.Function = (ULONG_PTR)hook.counter;
                VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
                hook.installed = true;
            }
        }
    }
}

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return (double)count.QuadPart / (double)frequency.QuadPart;
}

uint32_t KeyboardPoll() { return (uint32_t)PollKeyboard(); }

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
        double start = Now();
        for (int i = 0; i < CallsPerRound; ++i)
            right &= c.poll() == c.expected;
        double perCall = (Now() - start) / CallsPerRound;
        if (perCall < best)
            best = perCall;
    }
    long allocations = Allocations;
    printf("%s\t%s\t%.1f\t%ld%s\n", c.name, c.held, best * 1e9, allocations,
           right ? "" : "\t(wrong result)");
    return allocations == 0 && right;
}

} // namespace

int main()
{
    InstallAllocationCounters();
    // The counters must see an allocation to be trusted.
    long seen = Allocations;
    free(malloc(64));
    delete new int(1);
    HeapFree(GetProcessHeap(), 0, HeapAlloc(GetProcessHeap(), 0, 64));
    bool countersWork = Allocations - seen == 3;

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
    // Every examination step runs: rotation axes and sliders included.
    Settings.PadAdvancedFlags = PAD_ADVANCED_ROTATION | PAD_ADVANCED_SLIDERS;
    FakeInput.recordCalls = false;

    const Case cases[] = {
        { "PollKeyboard", KeyboardPoll, "nothing held", [] {}, 0xFFFFFFFF },
        { "PollKeyboard", KeyboardPoll, "key 0x1E held", [] { FakeInput.keyboard.Press(0x1E); }, 0x1E },
        { "PollKeyboard", KeyboardPoll, "key 0xED held", [] { FakeInput.keyboard.Press(0xED); }, 0xED },
        { "PollPads", PollPads, "nothing held", [] {}, PAD_BINDING_NONE },
        { "PollPads", PollPads, "pad 0 button 1 held", [] { Pads[0]->Press(0); }, 0x01000000 },
        { "PollPads", PollPads, "pad 0 stick left", [] { Pads[0]->state.lX = -100; }, 0x02000000 },
        { "PollPads", PollPads, "pad 1 hat 4 held", [] { Pads[1]->state.rgdwPOV[3] = 9000; }, 0x84000303 },
    };
    printf("poll\tcase\tns_per_call\tallocations\n");
    bool clean = true;
    for (const Case &c : cases)
        clean &= Measure(c);

    CloseInputDevices();
    for (const ImportHook &hook : Hooks)
        printf("# counter on %s: %s\n", hook.name, hook.installed ? "installed" : "not imported");
    if (!countersWork) {
        fprintf(stderr, "poll_bench: the allocation counters saw no allocation; figures not trusted\n");
        return 2;
    }
    return clean ? 0 : 1;
}
