// The Linux side of a process under Wine, read through Wine's Z: drive:
// what /proc tells about memory and CPU time, which GetProcessMemoryInfo and
// GetProcessTimes on another process do not tell under Wine.
#pragma once
#include <string>

// The whole of a Linux file ("/proc/self/stat"); empty if it cannot be read.
std::string ReadLinuxFile(const std::string &path);
// The Linux process whose command line carries the marker; 0 if none.
long LinuxPidOf(const std::string &marker);
// A "Name:  value kB" line of /proc/PID/status, in KiB; -1 if absent.
double StatusKiB(long pid, const char *name);
// User plus system CPU time of a Linux process so far, in seconds, in steps
// of 10 ms (USER_HZ); pid may be "self".
double CpuSeconds(const std::string &pid);
