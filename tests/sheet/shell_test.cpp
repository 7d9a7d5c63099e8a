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
    const char *expected[] = { InUi("Graphic/Audio Settings", "グラフィック/サウンド設定"),
                               InUi("Keyboard Settings", "キーボード設定"), InUi("Gamepad Settings", "パッド設定") };
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
        { IDC_WINDOW_MODE, InUi("Start the game in a window. May be slower than fullscreen.", "ゲームをウィンドウで起動します。フルスクリーンより遅くなることがあります。") },
        { IDC_FULL_HIGH, InUi("Start the game in 16-bit full screen, with lower CPU usage.", "ゲームを16ビットカラーのフルスクリーンで起動します。CPUの負荷が軽くなります。") },
        { IDC_FULL_TRUE, InUi("Start the game in 32-bit full screen, like the arcade version.", "ゲームを32ビットカラーのフルスクリーンで起動します。アーケード版と同じ色数です。") },
        { IDC_FPS30, InUi("If the game runs slow, use this.", "ゲームの動きが遅いときは、こちらを選んでください。") },
        { IDC_FPS60, InUi("Use the arcade frame rate.", "アーケード版と同じフレームレートです。") },
        { IDC_EFFECT_STANDARD, InUi("Same special effects as the arcade version.", "アーケード版と同じエフェクトです。") },
        { IDC_EFFECT_SIMPLE, InUi("Simplified effects for slower computers.", "処理の遅いパソコン向けの簡易エフェクトです。") },
        { IDC_TEXTURE_HIGH, InUi("Use 16-bit textures.", "16ビットカラーのテクスチャを使います。") },
        { IDC_TEXTURE_TRUE, InUi("Use 32-bit textures.", "32ビットカラーのテクスチャを使います。") },
        { IDC_DISABLE_BGM, InUi("Disable just the background music.", "BGMだけをオフにします。") },
        { IDC_FIXED_ASPECT, InUi("Preserve original aspect ratio in resolutions without 4:3 aspect.", "4:3以外の解像度でも、元のアスペクト比を保ちます。") },
        { IDC_PIXEL_SHADER, InUi("Using shaders will make the game run faster.", "シェーダーを使うと、ゲームが速く動きます。") },
        { IDC_VSYNC, InUi("In some cases, this will make the game smoother, but disable it for netplay!", "動きが滑らかになることがあります。ネット対戦ではオフにしてください。") },
        { IDC_SKIP_VIDEOS, InUi("Skip movie playback.", "ムービーを再生しません。") },
        { IDC_DISABLE_SOUND, InUi("Disable all sound and BGMs.", "サウンドとBGMをすべてオフにします。") },
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
    const char *analog = InUi("Can be used when analog is enabled in the in-game settings.",
                              "ゲーム内の設定でアナログを有効にすると使えます。");
    std::vector<std::pair<int, std::string>> expected = {
        { 1041, InUi("Jump.", "ジャンプです。") }, { 1042, InUi("Crouch.", "しゃがみです。") },
        { 1043, InUi("Retreat/Guard when character is facing right.", "キャラクターが右を向いているときは後退・ガードです。") },
        { 1044, InUi("Advance when character is facing right.", "キャラクターが右を向いているときは前進です。") },
        { 1045, InUi("Heavy Slash/Accept with default in-game settings.", "ゲーム内の初期設定ではヘヴィスラッシュ／決定です。") },
        { 1046, InUi("Kick/Cancel with default in-game settings.", "ゲーム内の初期設定ではキック／キャンセルです。") },
        { 1047, InUi("Slash with default in-game settings.", "ゲーム内の初期設定ではスラッシュです。") },
        { 1048, InUi("Punch with default in-game settings.", "ゲーム内の初期設定ではパンチです。") },
        { 1049, InUi("Memory with default in-game settings.", "ゲーム内の初期設定ではメモリーです。") },
        { 1051, InUi("Dust with default in-game settings.", "ゲーム内の初期設定ではダストです。") },
        { 1052, InUi("Taunt with default in-game settings.", "ゲーム内の初期設定では挑発です。") },
        { 1057, analog }, { 1058, analog }, { 1059, analog }, { 1060, analog },
        { 1107, InUi("Asks for this player's inputs one button after another. Tab skips, Esc stops.", "このプレイヤーのボタンに、1つずつ順に入力を割り当てます。Tabでスキップ、Escで中止します。") },
    };
    EXPECT_EQ(PageTooltips(Page(KEYBOARD_PAGE)), expected);
    expected.insert(expected.end() - 1,
        { 1103, InUi("Assigns every button from the layout of this player's pad (pad 1 or pad 2).", "このプレイヤーのパッド（パッド1またはパッド2）の配置どおりに、すべてのボタンを割り当てます。") });
    expected.push_back({ 1109, InUi("Gives each player the other pad: pad 1's inputs become pad 2's, and back.", "プレイヤーのパッドを入れ替えます。パッド1の入力はパッド2の入力に、パッド2の入力はパッド1の入力になります。") });
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
