// Linked into every test program: a crash (an access violation, or a trap
// from a bounds check) ends the program at once with the running test's
// name and exit code 3. Left unhandled, Wine would start its debugger and
// the run would wait for it.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>

static LONG WINAPI ReportCrash(EXCEPTION_POINTERS *info)
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    fprintf(stderr, "\n%s.%s crashed: exception %08lx at %p\n",
            test ? test->test_suite_name() : "(no test)", test ? test->name() : "(running)",
            info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress);
    fflush(stderr);
    ExitProcess(3);
}

static const LPTOP_LEVEL_EXCEPTION_FILTER PreviousFilter = SetUnhandledExceptionFilter(ReportCrash);
