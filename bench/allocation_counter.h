// Counts the heap allocations made by code in this executable: the tool's
// code linked into a benchmark, the fakes and the benchmark itself. The
// program's own imports of the C run-time and Win32 allocators are pointed
// at counters; code in Wine's DLLs keeps its own imports and is not counted.
#pragma once

// Allocations seen since the counters were installed; a benchmark sets it
// to 0 before what it measures and reads it after.
extern volatile long Allocations;

// Points the import slots at the counters, then checks them on a
// deliberate malloc, new and HeapAlloc. False when they did not see those,
// and the figures are not to be trusted.
bool InstallAllocationCounters();
// One "# counter on NAME: installed" line per allocator, on stdout.
void PrintAllocationCounters();
