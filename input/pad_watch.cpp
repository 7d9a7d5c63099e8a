// When the pads are looked for again, and when their layouts are found.
#include "input/pad_watch.h"

#include <string.h>

#include "input/pad_order.h"

PadLayoutRecord PadLayouts[PAD_SLOTS];

// The page told of changes; the player's file when the layouts were found;
// and the gamepad page's ticks: every half second a cheap look at the
// system's device list, and DirectInput's enumeration when that changed or
// when it is due unasked.
static struct {
    PadWatchHandler handler;
    uint32_t layoutFileStamp;
    int ticksToPadCheck;
    DWORD nextPadEnumeration;   // GetTickCount
} Watch;
static const int PadCheckTicks = 15;
static const DWORD PadEnumerationWaitMin = 900;
static const DWORD PadEnumerationWaitMax = 4000;
static const DWORD PadEnumerationCostShare = 4000;

// The looks after a device notice, by timers on the sheet window.
static const UINT_PTR PadLookTimers[2] = { 0x5A1D, 0x5A1E };
static const UINT PadLookDelays[2] = { 300, 2000 };

static void Tell(int changes)
{
    if (Watch.handler)
        Watch.handler(changes);
}

// Finds each pad's layout; true when one is not what it was.
static bool FindLayouts()
{
    PadLayoutRecord found[PAD_SLOTS];
    Watch.layoutFileStamp = PadMappingFileStamp();
    FindPadLayouts(found);
    bool changed = memcmp(found, PadLayouts, sizeof found) != 0;
    memcpy(PadLayouts, found, sizeof found);
    return changed;
}

void FindPadLayoutsNow()
{
    if (FindLayouts())
        Tell(PAD_WATCH_LAYOUTS);
}

// Their layouts are found again only for a page that shows them.
void NoticePadChanges()
{
    if (!RefreshPadDevices())
        return;
    ReadPadOrder();
    if (!Watch.handler)
        return;
    FindLayouts();
    Tell(PAD_WATCH_DEVICES | PAD_WATCH_LAYOUTS);
}

// DirectInput's enumeration, timed to know when it may run again unasked.
static void CheckPadsTimed()
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    NoticePadChanges();
    QueryPerformanceCounter(&end);
    DWORD cost = (DWORD)((end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
    DWORD wait = cost * PadEnumerationCostShare;
    if (wait < PadEnumerationWaitMin)
        wait = PadEnumerationWaitMin;
    if (wait > PadEnumerationWaitMax)
        wait = PadEnumerationWaitMax;
    Watch.nextPadEnumeration = GetTickCount() + wait;
}

void StartPadWatch(PadWatchHandler handler)
{
    Watch.handler = handler;
    Watch.ticksToPadCheck = 0;
    FindLayouts();
    Watch.nextPadEnumeration = GetTickCount();
}

static void CALLBACK LookAfterNotice(HWND sheet, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(sheet, timer);
    NoticePadChanges();
}

void NoticeDeviceChange(HWND sheet)
{
    // Setting a timer again restarts it.
    for (int look = 0; look < 2; ++look)
        SetTimer(sheet, PadLookTimers[look], PadLookDelays[look], LookAfterNotice);
}

void WatchPadsFromNextTick()
{
    Watch.ticksToPadCheck = 1;
}

void PadWatchTick()
{
    if (--Watch.ticksToPadCheck <= 0) {
        Watch.ticksToPadCheck = PadCheckTicks;
        if (PadDevicesMayHaveChanged() || (LONG)(GetTickCount() - Watch.nextPadEnumeration) >= 0)
            CheckPadsTimed();
        // The player may have added a line meanwhile.
        if (PadMappingFileStamp() != Watch.layoutFileStamp)
            FindPadLayoutsNow();
    }
}
