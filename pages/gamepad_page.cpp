// Gamepad page (placeholder until the page is built).
#include "pages/pages.h"

int PadPagePlayer;
HWND PadPageWindow;

INT_PTR CALLBACK GamepadPageProc(HWND page, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        PadPageWindow = page;
        return TRUE;
    }
    return 0;
}
