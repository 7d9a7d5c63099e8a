// The sheet as a whole: its frame, its tabs, the order of page writes, and
// the tooltips each page attaches.

#include "tests/sheet_harness.h"

#include <commctrl.h>
#include <prsht.h>
#include "app/shell.h"
#include "res/resource.h"

namespace {

class ShellTest : public SheetTest {};

TEST_F(ShellTest, SheetHasItsTitleThreeTabsAndNoHelpButton)
{
    OpenSheet();
    char title[64] = {};
    GetWindowTextA(sheet, title, sizeof title);
    EXPECT_STREQ(title, "ZEPHRANIX Configuration");
    EXPECT_EQ(GetWindowLongA(sheet, GWL_EXSTYLE) & WS_EX_CONTEXTHELP, 0);

    HWND tabs = (HWND)SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0);
    ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    const char *expected[] = { "Graphic/Audio Settings", "Keyboard Settings", "Gamepad Settings" };
    for (int i = 0; i < 3; ++i) {
        char text[64] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tabs, TCM_GETITEMA, i, (LPARAM)&item);
        EXPECT_STREQ(text, expected[i]);
    }
    // The sheet opens on the first page, which records the sheet window.
    EXPECT_EQ(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0), (LRESULT)Page(GRAPHIC_PAGE));
    EXPECT_EQ(SheetWindow, sheet);
}

TEST_F(ShellTest, EveryCreatedPageWritesTheWholeFileInPageOrder)
{
    OpenSheet();
    {
        ApplyObserver observer;
        Press(PSBTN_APPLYNOW);
        ASSERT_EQ(observer.writes.size(), 1u);
        EXPECT_EQ(observer.writes[0].page, Page(GRAPHIC_PAGE));
    }
    ShowPage(KEYBOARD_PAGE);
    ShowPage(GAMEPAD_PAGE);
    ShowPage(GRAPHIC_PAGE);
    ApplyObserver observer;
    Press(PSBTN_OK);
    ASSERT_EQ(observer.writes.size(), 3u);
    EXPECT_EQ(observer.writes[0].page, Page(GRAPHIC_PAGE));
    EXPECT_EQ(observer.writes[1].page, Page(KEYBOARD_PAGE));
    EXPECT_EQ(observer.writes[2].page, Page(GAMEPAD_PAGE));
    for (const ApplyObserver::Write &write : observer.writes)
        EXPECT_EQ(write.bytes.size(), 256u);
}

TEST_F(ShellTest, GraphicAudioTooltipsCoverEveryOptionButTheReset)
{
    OpenSheet();
    std::vector<std::pair<int, std::string>> expected = {
        { IDC_WINDOW_MODE, "Start the game in a window. May be slower than fullscreen." },
        { IDC_FULL_HIGH, "Start the game in 16-bit full screen, with lower CPU usage." },
        { IDC_FULL_TRUE, "Start the game in 32-bit full screen, like the arcade version." },
        { IDC_FPS30, "If the game runs slow, use this." },
        { IDC_FPS60, "Use the arcade frame rate." },
        { IDC_EFFECT_STANDARD, "Same special effects as the arcade version." },
        { IDC_EFFECT_SIMPLE, "Simplified effects for slower computers." },
        { IDC_TEXTURE_HIGH, "Use 16-bit textures." },
        { IDC_TEXTURE_TRUE, "Use 32-bit textures." },
        { IDC_DISABLE_BGM, "Disable just the background music." },
        { IDC_FIXED_ASPECT, "Preserve original aspect ratio in resolutions without 4:3 aspect." },
        { IDC_PIXEL_SHADER, "Using shaders will make the game run faster." },
        { IDC_VSYNC, "In some cases, this will make the game smoother, but disable it for netplay!" },
        { IDC_SKIP_VIDEOS, "Skip movie playback." },
        { IDC_DISABLE_SOUND, "Disable all sound and BGMs." },
    };
    EXPECT_EQ(PageTooltips(Page(GRAPHIC_PAGE)), expected);
}

TEST_F(ShellTest, AssignmentPagesShareTheirTooltipsAndAddThemOnce)
{
    OpenSheet();
    ShowPage(KEYBOARD_PAGE);
    ShowPage(GAMEPAD_PAGE);
    ShowPage(KEYBOARD_PAGE);   // a second visit adds nothing
    const char *analog = "Can be used when analog is enabled in the in-game settings.";
    std::vector<std::pair<int, std::string>> expected = {
        { 1041, "Jump." }, { 1042, "Crouch." },
        { 1043, "Retreat/Guard when character is facing right." },
        { 1044, "Advance when character is facing right." },
        { 1045, "Heavy Slash/Accept with default in-game settings." },
        { 1046, "Kick/Cancel with default in-game settings." },
        { 1047, "Slash with default in-game settings." },
        { 1048, "Punch with default in-game settings." },
        { 1049, "Memory with default in-game settings." },
        { 1051, "Dust with default in-game settings." },
        { 1052, "Taunt with default in-game settings." },
        { 1057, analog }, { 1058, analog }, { 1059, analog }, { 1060, analog },
    };
    EXPECT_EQ(PageTooltips(Page(KEYBOARD_PAGE)), expected);
    EXPECT_EQ(PageTooltips(Page(GAMEPAD_PAGE)), expected);
}

} // namespace
