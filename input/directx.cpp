// Run-time resolution of the DirectX creation functions.
#include "input/directx.h"

#include <string.h>

HMODULE LoadSystemLibrary(const char *name)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    size_t nameLength = strlen(name);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH)
        return NULL;
    path[length] = '\\';
    memcpy(path + length + 1, name, nameLength + 1);
    return LoadLibraryA(path);
}

// Resolves one export, or NULL. The module stays loaded for the process.
static FARPROC ResolveSystemExport(const char *dll, const char *name)
{
    HMODULE module = LoadSystemLibrary(dll);
    return module ? GetProcAddress(module, name) : NULL;
}

// GetProcAddress returns a generic FARPROC; the cast through void* states
// that the export is known to have the documented signature.
template <typename Proc> static Proc AsProc(FARPROC address)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void *>(address));
}

static HRESULT WINAPI LoadDirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid,
                                             LPVOID *out, LPUNKNOWN outer)
{
    DirectInput8CreateProc real =
        AsProc<DirectInput8CreateProc>(ResolveSystemExport("dinput8.dll", "DirectInput8Create"));
    if (!real) {
        *out = NULL;
        return DIERR_NOTINITIALIZED;
    }
    DirectInput8CreateEntry = real;
    return real(instance, version, iid, out, outer);
}

static IDirect3D8 *WINAPI LoadDirect3DCreate8(UINT sdkVersion)
{
    Direct3DCreate8Proc real =
        AsProc<Direct3DCreate8Proc>(ResolveSystemExport("d3d8.dll", "Direct3DCreate8"));
    if (!real)
        return NULL;
    Direct3DCreate8Entry = real;
    return real(sdkVersion);
}

static HRESULT WINAPI LoadDirectSoundCreate(LPCGUID device, LPDIRECTSOUND *out, LPUNKNOWN outer)
{
    DirectSoundCreateProc real =
        AsProc<DirectSoundCreateProc>(ResolveSystemExport("dsound.dll", "DirectSoundCreate"));
    if (!real) {
        *out = NULL;
        return DSERR_NODRIVER;
    }
    DirectSoundCreateEntry = real;
    return real(device, out, outer);
}

DirectInput8CreateProc DirectInput8CreateEntry = LoadDirectInput8Create;
Direct3DCreate8Proc Direct3DCreate8Entry = LoadDirect3DCreate8;
DirectSoundCreateProc DirectSoundCreateEntry = LoadDirectSoundCreate;
