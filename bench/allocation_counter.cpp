// The allocation counters behind allocation_counter.h.
#include "bench/allocation_counter.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

volatile long Allocations;

namespace {

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

} // namespace

bool InstallAllocationCounters()
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
    // The counters must see an allocation to be trusted. Each block goes
    // through a volatile pointer: the compiler may drop an allocation whose
    // block is freed unused.
    long seen = Allocations;
    void *volatile block = malloc(64);
    free(block);
    int *volatile number = new int(1);
    delete number;
    void *volatile heapBlock = HeapAlloc(GetProcessHeap(), 0, 64);
    HeapFree(GetProcessHeap(), 0, heapBlock);
    return Allocations - seen == 3;
}

void PrintAllocationCounters()
{
    for (const ImportHook &hook : Hooks)
        printf("# counter on %s: %s\n", hook.name, hook.installed ? "installed" : "not imported");
}
