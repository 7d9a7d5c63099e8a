// The sheet as a whole: its frame, its tabs, the order of page writes, and
// the tooltips each page attaches.

#include "tests/sheet_harness.h"

#include <commctrl.h>
#include <algorithm>
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
    // The sheet opens on the first page, which opens the devices with the
    // sheet window.
    EXPECT_EQ(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0), (LRESULT)Page(GRAPHIC_PAGE));
    EXPECT_EQ(FakeInput.keyboard.cooperativeWindow, sheet);
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

// The pages make their tooltips once they are shown, a few at each tick of
// a short timer: pumped until they are there, the page has one tooltip
// window per control, holding that control alone (its owner, as for any
// popup made with a control as its parent, is the sheet).
std::vector<std::pair<int, std::string>> TooltipsOnceMade(HWND page, size_t rows = 15)
{
    PumpUntil([&] { return PageTooltips(page).size() >= rows; });
    return PageTooltips(page);
}

struct TooltipWindows {
    HWND page;
    std::vector<HWND> controls;   // each window's one tool
    int windows;
    std::vector<std::pair<HWND, HWND>> tips;   // control, its tooltip window
};

BOOL CALLBACK CollectTooltipWindows(HWND window, LPARAM context)
{
    TooltipWindows *found = (TooltipWindows *)context;
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0 || !SendMessageA(window, TTM_ENUMTOOLSA, 0, (LPARAM)&tool) ||
        GetParent((HWND)tool.uId) != found->page)
        return TRUE;
    ++found->windows;
    found->tips.push_back({ (HWND)tool.uId, window });
    if (SendMessageA(window, TTM_GETTOOLCOUNT, 0, 0) == 1 && tool.hwnd == (HWND)tool.uId &&
        (tool.uFlags & TTF_IDISHWND) && GetWindow(window, GW_OWNER) == GetAncestor((HWND)tool.uId, GA_ROOT))
        found->controls.push_back((HWND)tool.uId);
    return TRUE;
}

void ExpectOneTooltipWindowPerControl(HWND page, int controls = 15)
{
    TooltipWindows found{ page, {}, 0, {} };
    EnumThreadWindows(GetCurrentThreadId(), CollectTooltipWindows, (LPARAM)&found);
    EXPECT_EQ(found.windows, controls);
    std::sort(found.controls.begin(), found.controls.end());
    EXPECT_EQ(std::unique(found.controls.begin(), found.controls.end()) - found.controls.begin(),
              controls);
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
    EXPECT_EQ(TooltipsOnceMade(Page(GRAPHIC_PAGE)), expected);
    ExpectOneTooltipWindowPerControl(Page(GRAPHIC_PAGE));
}

TEST_F(ShellTest, AssignmentPagesShareTheirTooltipsAndAddThemOnce)
{
    OpenSheet();
    ShowPage(KEYBOARD_PAGE);
    // Shown and usable before its tooltips are all there: its lists are
    // filled and loaded.
    EXPECT_EQ(SendMessageA(Control(KEYBOARD_PAGE, 1041), CB_GETCOUNT, 0, 0), 79);
    EXPECT_EQ(SendMessageA(Control(KEYBOARD_PAGE, 1041), CB_GETCURSEL, 0, 0), 28);   // "W"
    ShowPage(GAMEPAD_PAGE);
    TooltipsOnceMade(Page(KEYBOARD_PAGE), 16);
    TooltipsOnceMade(Page(GAMEPAD_PAGE), 18);
    ShowPage(KEYBOARD_PAGE);   // a second visit adds nothing
    PumpFor(100);
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
        { 1107, "Asks for this player's inputs one button after another. Tab skips, Esc stops." },
    };
    EXPECT_EQ(PageTooltips(Page(KEYBOARD_PAGE)), expected);
    expected.insert(expected.end() - 1,
        { 1103, "Assigns every button from the layout of this player's pad (pad 1 or pad 2)." });
    expected.push_back({ 1109, "Gives each player the other pad: pad 1's inputs become pad 2's, and back." });
    EXPECT_EQ(PageTooltips(Page(GAMEPAD_PAGE)), expected);
    ExpectOneTooltipWindowPerControl(Page(KEYBOARD_PAGE), 16);
    ExpectOneTooltipWindowPerControl(Page(GAMEPAD_PAGE), 18);
}

// An assignment page's first capture tick makes whatever tooltips are still
// to come before it reads its device, and still reads it.
TEST_F(ShellTest, TheFirstCaptureTickMakesTheRestOfThePagesTooltips)
{
    OpenSheet();
    for (int index : { KEYBOARD_PAGE, GAMEPAD_PAGE }) {
        SCOPED_TRACE(index);
        // Selected without pumping: no timer message has come yet.
        SendMessageA(sheet, PSM_SETCURSEL, index, 0);
        HWND page = Page(index);
        ASSERT_TRUE(page);
        EXPECT_EQ(PageTooltips(page).size(), 0u);
        int reads = FakeInput.Count("keyboard.GetDeviceState(256)");
        SendMessageA(page, WM_TIMER, 0, 0);
        size_t rows = index == GAMEPAD_PAGE ? 18 : 16;   // "Assign All", "Pad Layout", "Swap Pads"
        EXPECT_EQ(PageTooltips(page).size(), rows);
        ExpectOneTooltipWindowPerControl(page, (int)rows);
        if (index == KEYBOARD_PAGE) {
            EXPECT_EQ(FakeInput.Count("keyboard.GetDeviceState(256)"), reads + 1);
        }
        PumpFor(100);   // the slices' timer has nothing left to add
        EXPECT_EQ(PageTooltips(page).size(), rows);
    }
}

} // namespace

namespace {

// The tooltips see their controls' mouse messages: with the pointer held
// over a control, its tip appears, and the control still works.
TEST_F(ShellTest, ATooltipAppearsWithThePointerOverItsControl)
{
    OpenSheet();
    ShowPage(KEYBOARD_PAGE);
    TooltipsOnceMade(Page(KEYBOARD_PAGE));
    HWND list = Control(KEYBOARD_PAGE, 1045), tip = NULL;
    TooltipWindows found{ Page(KEYBOARD_PAGE), {}, 0, {} };
    EnumThreadWindows(GetCurrentThreadId(), CollectTooltipWindows, (LPARAM)&found);
    for (const auto &pair : found.tips) {
        if (pair.first == list)
            tip = pair.second;
    }
    ASSERT_TRUE(tip);
    RECT at;
    GetWindowRect(list, &at);
    SetCursorPos((at.left + at.right) / 2, (at.top + at.bottom) / 2);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }));
    SetCursorPos(0, 0);
    EXPECT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 79);
}

} // namespace
