// Reading /proc through Wine's Z: drive (linux_side.h).
#include "bench/linux_side.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

// Linux reports CPU time in clock ticks of 1/100 s (USER_HZ).
static const double TicksPerSecond = 100;

std::string ReadLinuxFile(const std::string &path)
{
    std::string text;
    HANDLE file = CreateFileA(("Z:" + path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD read;
    while (ReadFile(file, buffer, sizeof buffer, &read, NULL) && read)
        text.append(buffer, read);
    CloseHandle(file);
    return text;
}

long LinuxPidOf(const std::string &marker)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    long pid = 0;
    do {
        long candidate = atol(found.cFileName);
        if (candidate <= 0)
            continue;
        std::string command = ReadLinuxFile("/proc/" + std::to_string(candidate) + "/cmdline");
        for (char &c : command) {
            if (c == '\0')
                c = ' ';
        }
        if (command.find(marker) != std::string::npos)
            pid = candidate;
    } while (!pid && FindNextFileA(search, &found));
    FindClose(search);
    return pid;
}

double StatusKiB(long pid, const char *name)
{
    std::string status = ReadLinuxFile("/proc/" + std::to_string(pid) + "/status");
    size_t at = status.find(std::string(name) + ":");
    return at == std::string::npos ? -1 : atof(status.c_str() + at + strlen(name) + 1);
}

double CpuSeconds(const std::string &pid)
{
    std::string stat = ReadLinuxFile("/proc/" + pid + "/stat");
    size_t at = stat.rfind(')');     // the name may hold spaces
    if (at == std::string::npos)
        return 0;
    // Fields after the name: state is field 3; utime and stime are 14, 15.
    const char *field = stat.c_str() + at + 2;
    for (int n = 3; n < 14 && field; ++n) {
        field = strchr(field, ' ');
        if (field)
            ++field;
    }
    if (!field)
        return 0;
    char *end;
    double user = strtod(field, &end);
    double system = strtod(end, NULL);
    return (user + system) / TicksPerSecond;
}
