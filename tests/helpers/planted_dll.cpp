// A stand-in for a DirectX DLL that someone put where the tool runs. When
// any process loads it, it leaves "<its own path>.loaded" beside itself;
// when its Direct3DCreate8 is called, "<its own path>.called". It returns
// no object, so a caller that got here fails its probe as well.
#include <windows.h>

static HINSTANCE PlantedModule;

static void LeaveMarker(const char *suffix)
{
    char path[MAX_PATH + 16];
    DWORD length = GetModuleFileNameA(PlantedModule, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    lstrcpyA(path + length, suffix);
    HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (marker != INVALID_HANDLE_VALUE)
        CloseHandle(marker);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        PlantedModule = module;
        LeaveMarker(".loaded");
    }
    return TRUE;
}

extern "C" __declspec(dllexport) void *WINAPI Direct3DCreate8(UINT)
{
    LeaveMarker(".called");
    return NULL;
}
