// The start-up baseline's sheet and the platform calls of its first page.
#include "bench/baseline.h"

#include <commctrl.h>
#include <stddef.h>
#include <string.h>

#include "input/directx.h"

static IDirectInput8A *Input;
static IDirectInputDevice8A *Keyboard;

static BOOL CALLBACK CountController(LPCDIDEVICEINSTANCEA, LPVOID count)
{
    ++*(int *)count;
    return DIENUM_CONTINUE;
}

// The devices stay open while the sheet is shown, as the tool's do.
static void OpenDirectInput(HWND sheet)
{
    if (FAILED(DirectInput8CreateEntry(GetModuleHandleA(NULL), DIRECTINPUT_VERSION,
                                       IID_IDirectInput8A, (LPVOID *)&Input, NULL))) {
        Input = NULL;
        return;
    }
    if (SUCCEEDED(Input->CreateDevice(GUID_SysKeyboard, &Keyboard, NULL))) {
        Keyboard->SetDataFormat(&c_dfDIKeyboard);
        Keyboard->SetCooperativeLevel(sheet, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
        Keyboard->Acquire();
    } else {
        Keyboard = NULL;
    }
    int controllers = 0;
    Input->EnumDevices(DI8DEVCLASS_GAMECTRL, CountController, &controllers, DIEDFL_ATTACHEDONLY);
}

void CloseBaselineDevices()
{
    if (Keyboard) {
        Keyboard->Unacquire();
        Keyboard->Release();
        Keyboard = NULL;
    }
    if (Input) {
        Input->Release();
        Input = NULL;
    }
}

static void ProbeSound()
{
    IDirectSound *sound = NULL;
    if (SUCCEEDED(DirectSoundCreateEntry(NULL, &sound, NULL)))
        sound->Release();
}

static void ProbeDirect3D()
{
    IDirect3D8 *d3d = Direct3DCreate8Entry(D3D_SDK_VERSION);
    if (!d3d)
        return;
    D3DCAPS8 caps;
    d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
    d3d->Release();
}

static INT_PTR CALLBACK FirstPageProc(HWND page, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return 0;
    OpenDirectInput(GetParent(page));
    ProbeSound();
    ProbeDirect3D();
    return TRUE;
}

static INT_PTR CALLBACK EmptyPageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

static int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM)
{
    if (message == PSCB_INITIALIZED)
        SetWindowLongA(sheet, GWL_EXSTYLE, GetWindowLongA(sheet, GWL_EXSTYLE) & ~WS_EX_CONTEXTHELP);
    return 0;
}

void DescribeBaselineSheet(HINSTANCE instance, PROPSHEETHEADERA *header,
                           PROPSHEETPAGEA_V2 pages[BASELINE_PAGES])
{
    static const WORD templates[BASELINE_PAGES] = { BASELINE_PAGE_1, BASELINE_PAGE_2,
                                                    BASELINE_PAGE_3 };
    static const DLGPROC procedures[BASELINE_PAGES] = { FirstPageProc, EmptyPageProc,
                                                        EmptyPageProc };
    for (int i = 0; i < BASELINE_PAGES; ++i) {
        memset(&pages[i], 0, sizeof pages[i]);
        pages[i].dwSize = sizeof pages[i];
        pages[i].hInstance = instance;
        pages[i].pszTemplate = MAKEINTRESOURCEA(templates[i]);
        pages[i].pfnDlgProc = procedures[i];
    }
    memset(header, 0, sizeof *header);
    header->dwSize = offsetof(PROPSHEETHEADERA, hbmHeader) + sizeof(HBITMAP);
    header->dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    header->hInstance = instance;
    header->pszCaption = BASELINE_TITLE;
    header->nPages = BASELINE_PAGES;
    header->ppsp = (LPCPROPSHEETPAGEA)pages;
    header->pfnCallback = SheetCallback;
}
