// The shipped executable started as its own process, in its own folder:
// the single-instance guard, the exit codes, and the file it leaves.

#include "tests/process/process_harness.h"

#include <commctrl.h>
#include <prsht.h>
#include <string>
#include <vector>


namespace {

const char *const Title = "ZEPHRANIX Configuration";

TEST_F(ProcessTest, ASecondCopyEndsAtOnceWithExitCodeZero)
{
    HANDLE guard = CreateMutexA(NULL, FALSE, Title);
    ASSERT_NE(guard, (HANDLE)NULL);
    PROCESS_INFORMATION second = Start();
    EXPECT_EQ(Finish(second), 0u);
    EXPECT_FALSE(FileExists());
    CloseHandle(guard);
}

TEST_F(ProcessTest, CancelEndsWithZeroAndOkWithOneAndTheFile)
{
    PROCESS_INFORMATION first = Start();
    HWND shown = WaitForSheet();
    ASSERT_NE(shown, (HWND)NULL);
    EXPECT_EQ(GetWindowLongA(shown, GWL_EXSTYLE) & WS_EX_CONTEXTHELP, 0);

    // While it runs, another copy is turned away and the first is unaffected.
    PROCESS_INFORMATION second = Start();
    EXPECT_EQ(Finish(second), 0u);
    EXPECT_TRUE(IsWindow(shown));

    PostMessageA(shown, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    EXPECT_EQ(Finish(first), 0u);
    EXPECT_FALSE(FileExists());

    // Started as a Steam launch line starts it, with the game's command
    // after it: the arguments change nothing.
    PROCESS_INFORMATION again =
        Start(ConfigExePath(), " \"C:\\Games\\ZEPHRANIX\\GAME.exe\" -window Z:\\tmp\\setting.cfg");
    shown = WaitForSheet();
    ASSERT_NE(shown, (HWND)NULL);
    PostMessageA(shown, PSM_PRESSBUTTON, PSBTN_OK, 0);
    EXPECT_EQ(Finish(again), 1u);
    std::vector<uint8_t> file = File();
    ASSERT_EQ(file.size(), 256u);
    EXPECT_EQ(file[5], 0x18);    // player 1 Circle: "O"
    EXPECT_EQ(file[246], 1);     // full screen
}

} // namespace
