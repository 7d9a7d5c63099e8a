// The start-up baseline program (see bench/baseline.h).
#include <windows.h>
#include <commctrl.h>

#include "bench/baseline.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    PROPSHEETHEADERA header;
    PROPSHEETPAGEA_V2 pages[BASELINE_PAGES];
    DescribeBaselineSheet(instance, &header, pages);
    InitCommonControls();
    int result = (int)PropertySheetA(&header);
    CloseBaselineDevices();
    return result;
}
