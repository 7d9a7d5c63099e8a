// The one seam between the tool and the DirectX runtime, below everything
// that uses it: the input layer (DirectInput) and the first page's probes
// (Direct3D, DirectSound). The three creation functions are called through
// these pointers. Each starts out pointing at a
// loader that resolves the real entry point from the system directory on
// first use; a missing DLL or export behaves exactly like the creation call
// failing. Tests point them at fakes.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <d3d8.h>
#include <dinput.h>
#include <dsound.h>

typedef HRESULT (WINAPI *DirectInput8CreateProc)(HINSTANCE, DWORD, REFIID, LPVOID *, LPUNKNOWN);
typedef IDirect3D8 *(WINAPI *Direct3DCreate8Proc)(UINT);
typedef HRESULT (WINAPI *DirectSoundCreateProc)(LPCGUID, LPDIRECTSOUND *, LPUNKNOWN);

extern DirectInput8CreateProc DirectInput8CreateEntry;
extern Direct3DCreate8Proc Direct3DCreate8Entry;
extern DirectSoundCreateProc DirectSoundCreateEntry;

// Loads a DLL by file name from the system directory only, never from the
// current or the executable's directory. NULL when it is not there.
HMODULE LoadSystemLibrary(const char *name);
