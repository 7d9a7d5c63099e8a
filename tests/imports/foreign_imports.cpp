// Linked on purpose the way the tool must not be: against the MinGW runtime
// DLLs and with DirectInput8Create imported from DINPUT8. The import check
// has to reject it; it is never run.
#include <windows.h>
#include <dinput.h>

#include <string>

int main(int argc, char **argv)
{
    std::string name(argv[0]);
    IDirectInput8A *input = NULL;
    if (argc > 1)
        DirectInput8Create(GetModuleHandleA(NULL), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                           (void **)&input, NULL);
    return (int)name.size();
}
