// The shipped executable started as its own process, in the test's folder.
#pragma once
#include "tests/sheet_harness.h"

#include <string>
#include <vector>

#include "app/shell.h"

// The build passes the executable's Unix path.
inline std::string ConfigExePath()
{
    return WindowsPath(CONFIG_EXE);
}

class ProcessTest : public SheetTest {
protected:
    // Starts the tool (the built config.exe unless another copy is named),
    // with these arguments after it, in the test's folder as its current
    // directory.
    PROCESS_INFORMATION Start(const std::string &exe = ConfigExePath(),
                              const std::string &arguments = "")
    {
        return StartProcess("\"" + exe + "\"" + arguments, folder);
    }
    DWORD Finish(PROCESS_INFORMATION &process, DWORD timeout = 20000)
    {
        return FinishProcess(process, timeout);
    }
    // The sheet of the tool, once it is shown.
    HWND WaitForSheet(DWORD timeout = 20000)
    {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < timeout) {
            HWND found = FindWindowA(NULL, CONFIG_TITLE);
            if (found && IsWindowVisible(found))
                return found;
            Sleep(20);
        }
        return NULL;
    }
};
