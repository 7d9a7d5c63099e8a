// Keyboard page (placeholder until the page is built).
#include "pages/pages.h"

int KeyPagePlayer;
HWND KeyPageWindow;

INT_PTR CALLBACK KeyboardPageProc(HWND page, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        KeyPageWindow = page;
        return TRUE;
    }
    return 0;
}
