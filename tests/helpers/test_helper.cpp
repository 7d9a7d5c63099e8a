// A second process for tests that need one:
//   test_helper load NAME
//     loads the DLL NAME by bare name, the way the tool must not; exits 0
//     when it was loaded, 1 when not.
//   test_helper hold PATH HELD RELEASE
//     opens PATH for reading and writing without sharing, as another
//     program may, signals the named event HELD, and keeps the file until
//     the named event RELEASE is signalled (or a minute has passed); exits
//     2 when the file cannot be opened.
#include <windows.h>

int main(int argc, char **argv)
{
    if (argc == 3 && lstrcmpA(argv[1], "load") == 0)
        return LoadLibraryA(argv[2]) ? 0 : 1;

    if (argc == 5 && lstrcmpA(argv[1], "hold") == 0) {
        HANDLE file = CreateFileA(argv[2], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
        if (file == INVALID_HANDLE_VALUE)
            return 2;
        HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
        HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[4]);
        if (!held || !release)
            return 3;
        SetEvent(held);
        WaitForSingleObject(release, 60000);
        CloseHandle(file);
        return 0;
    }
    return 64;
}
