// The Graphic/Audio page: display and sound options. Its initialisation is
// the tool's real start-up (devices, probes, settings), because the sheet
// always opens on it.
#include "pages/pages.h"

#include <commctrl.h>
#include <prsht.h>

#include "app/shell.h"
#include "app/tooltips.h"
#include "input/input.h"
#include "res/resource.h"
#include "settings/settings.h"

HWND GraphicAudioPageWindow;

static UINT CheckedWhen(bool condition)
{
    return condition ? BST_CHECKED : BST_UNCHECKED;
}

static void EnableControl(HWND page, int id, bool enabled)
{
    EnableWindow(GetDlgItem(page, id), enabled);
}

void RefreshGraphicAudioPage()
{
    HWND page = GraphicAudioPageWindow;
    const SettingBlock &s = Settings;
    // A full-screen colour depth is not shown in window mode; its byte keeps
    // its value for the next time full screen is chosen.
    CheckDlgButton(page, IDC_WINDOW_MODE, CheckedWhen(s.FullScreen == 0));
    CheckDlgButton(page, IDC_FULL_HIGH, s.FullScreen ? CheckedWhen(s.FullScreenTrueColor == 0) : BST_UNCHECKED);
    CheckDlgButton(page, IDC_FULL_TRUE, s.FullScreen ? s.FullScreenTrueColor : BST_UNCHECKED);
    CheckDlgButton(page, IDC_TEXTURE_HIGH, CheckedWhen(s.TextureTrueColor == 0));
    CheckDlgButton(page, IDC_TEXTURE_TRUE, s.TextureTrueColor);
    CheckDlgButton(page, IDC_FPS30, CheckedWhen(s.FrameRate60 == 0));
    CheckDlgButton(page, IDC_FPS60, s.FrameRate60);
    CheckDlgButton(page, IDC_VSYNC, s.VSync);
    CheckDlgButton(page, IDC_PIXEL_SHADER, s.PixelShader);
    CheckDlgButton(page, IDC_FIXED_ASPECT, s.FixedAspect);
    CheckDlgButton(page, IDC_EFFECT_STANDARD, CheckedWhen(s.SimpleEffects == 0));
    CheckDlgButton(page, IDC_EFFECT_SIMPLE, s.SimpleEffects);
    CheckDlgButton(page, IDC_SKIP_VIDEOS, s.SkipVideos);
    CheckDlgButton(page, IDC_DISABLE_SOUND, s.SoundDisabled);
    CheckDlgButton(page, IDC_DISABLE_BGM, s.BgmDisabled);

    // The pixel shader fixes texture colour and effects while it is on.
    bool shaderOff = s.PixelShader == 0;
    EnableControl(page, IDC_EFFECT_STANDARD, shaderOff);
    EnableControl(page, IDC_EFFECT_SIMPLE, shaderOff);
    EnableControl(page, IDC_TEXTURE_HIGH, shaderOff);
    EnableControl(page, IDC_TEXTURE_TRUE, shaderOff);
    EnableControl(page, IDC_DISABLE_BGM, s.SoundDisabled == 0);
    EnableControl(page, IDC_FIXED_ASPECT, s.FullScreen != 0);
}

// A radio button of a two-value option. Choosing the value the option
// already holds changes nothing and leaves Apply as it was.
static void ChooseOption(HWND page, uint8_t &option, uint8_t value)
{
    if (option == value)
        return;
    option = value;
    MarkSheetChanged(page);
}

// The three screen-mode buttons set FullScreen and, for the full-screen
// ones, its colour depth.
static void ChooseScreenMode(HWND page, int id)
{
    SettingBlock &s = Settings;
    if (id == IDC_WINDOW_MODE) {
        if (s.FullScreen == 0)
            return;
        s.FullScreen = 0;
        s.FixedAspect = 0;
    } else {
        uint8_t trueColor = id == IDC_FULL_TRUE;
        if (s.FullScreen != 0 && s.FullScreenTrueColor == trueColor)
            return;
        s.FullScreen = 1;
        s.FullScreenTrueColor = trueColor;
    }
    RefreshGraphicAudioPage();
    MarkSheetChanged(page);
}

// Stores a check box's new state; true when it became checked.
static bool StoreCheckBox(HWND page, int id, uint8_t &option)
{
    option = IsDlgButtonChecked(page, id) == BST_CHECKED;
    return option != 0;
}

static void OnCommand(HWND page, int id)
{
    SettingBlock &s = Settings;
    switch (id) {
    case IDC_WINDOW_MODE:
    case IDC_FULL_HIGH:
    case IDC_FULL_TRUE:
        ChooseScreenMode(page, id);
        return;
    case IDC_FPS30:           ChooseOption(page, s.FrameRate60, 0); return;
    case IDC_FPS60:           ChooseOption(page, s.FrameRate60, 1); return;
    case IDC_EFFECT_STANDARD: ChooseOption(page, s.SimpleEffects, 0); return;
    case IDC_EFFECT_SIMPLE:   ChooseOption(page, s.SimpleEffects, 1); return;
    case IDC_TEXTURE_HIGH:    ChooseOption(page, s.TextureTrueColor, 0); return;
    case IDC_TEXTURE_TRUE:    ChooseOption(page, s.TextureTrueColor, 1); return;
    case IDC_DISABLE_BGM:     StoreCheckBox(page, id, s.BgmDisabled); break;
    case IDC_FIXED_ASPECT:    StoreCheckBox(page, id, s.FixedAspect); break;
    case IDC_VSYNC:           StoreCheckBox(page, id, s.VSync); break;
    case IDC_SKIP_VIDEOS:     StoreCheckBox(page, id, s.SkipVideos); break;
    case IDC_PIXEL_SHADER:
        if (StoreCheckBox(page, id, s.PixelShader)) {
            s.TextureTrueColor = 1;
            s.SimpleEffects = 0;
        }
        RefreshGraphicAudioPage();
        break;
    case IDC_DISABLE_SOUND:
        if (StoreCheckBox(page, id, s.SoundDisabled))
            s.BgmDisabled = 1;
        RefreshGraphicAudioPage();
        break;
    case IDC_RESET:
        // Resets the display options only; Apply keeps its state.
        ApplyDisplayDefaults();
        RefreshGraphicAudioPage();
        return;
    default:
        return;
    }
    MarkSheetChanged(page);
}

// The template's layout runs from x = 5 to 281 (in the page's dialog
// units), and its right edge stands where it is now, in the page's pixels.
static const int LayoutLeft = 5, LayoutRight = 281;
static int LayoutRightEdge;

// Spreads the controls over the page as the sheet sizes it: the layout's
// right edge goes to the page's width less the left margin, and every
// control's edges move in proportion to their distance from that margin,
// so that the columns and the gaps between them keep their proportions.
// "Default Settings" keeps its width, its right edge at the margin. A page
// narrower than the template shows the template as it is.
static void FitGraphicAudioLayout(HWND page, int width)
{
    RECT design = { LayoutLeft, 0, LayoutRight, 0 };
    MapDialogRect(page, &design);
    int left = design.left, from = LayoutRightEdge;
    int to = width - left > design.right ? width - left : design.right;
    if (to == from || from <= left)
        return;
    HDWP moves = BeginDeferWindowPos(32);
    for (HWND control = GetWindow(page, GW_CHILD); control && moves;
         control = GetWindow(control, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(HWND_DESKTOP, page, (POINT *)&r, 2);
        int x = left + MulDiv(r.left - left, to - left, from - left);
        int end = left + MulDiv(r.right - left, to - left, from - left);
        if (GetDlgCtrlID(control) == IDC_RESET)
            x = end - (r.right - r.left);
        moves = DeferWindowPos(moves, control, NULL, x, r.top, end - x, r.bottom - r.top,
                               SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (moves)
        EndDeferWindowPos(moves);
    LayoutRightEdge = to;
}

// The line at the foot of the page: what this start switched off in the
// loaded file because the machine lacks it (CORRECTED_ bits), so that the
// player knows why the page differs from what was saved. Nothing is shown
// when nothing was switched off.
static void ShowStartCorrections(HWND page, int corrected)
{
    static const char Sound[] = "No sound device was found, so sound and music are off. "
                                "Connect one and start the tool again to switch them back on.";
    static const char Shader[] = "The graphics card reports no pixel shader, so Pixel Shader is off.";
    if (corrected == 0)
        return;
    char text[sizeof Sound + sizeof Shader];
    text[0] = '\0';
    if (corrected & CORRECTED_SOUND)
        lstrcatA(text, Sound);
    if (corrected & CORRECTED_PIXEL_SHADER) {
        if (text[0])
            lstrcatA(text, " ");
        lstrcatA(text, Shader);
    }
    SetDlgItemTextA(page, IDC_START_CORRECTIONS, text);
}

static void OnInitDialog(HWND page)
{
    GraphicAudioPageWindow = page;
    SheetWindow = GetParent(page);
    RECT design = { 0, 0, LayoutRight, 0 };
    MapDialogRect(page, &design);
    LayoutRightEdge = design.right;
    // Made once the sheet is shown: 15 tooltip windows were a tenth of the
    // tool's start-up under Wine.
    AddPageTooltipsAfterShown(page, GraphicAudioTooltips, TOOLTIP_ROWS);
    OpenInputDevices(ModuleInstance, SheetWindow);
    // Both probes run before the settings are loaded: the defaults and the
    // corrections depend on them. The corrections do not mark the sheet
    // changed; they reach the file with the next OK, and the page says so.
    SoundPresent = ProbeSoundDevice();
    PixelShaderCapable = ProbePixelShader();
    ShowStartCorrections(page, LoadSettingsForMachine());
    EnableControl(page, IDC_PIXEL_SHADER, PixelShaderCapable != 0);
    EnableControl(page, IDC_DISABLE_SOUND, SoundPresent != 0);
    RefreshGraphicAudioPage();
}

INT_PTR CALLBACK GraphicAudioPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page);
        return TRUE;
    case WM_COMMAND:
        OnCommand(page, LOWORD(wparam));
        return 0;
    case WM_SIZE:
        // The sheet sizes the page to its page area once it is made; a
        // size before WM_INITDIALOG finds no controls yet.
        if (page == GraphicAudioPageWindow)
            FitGraphicAudioLayout(page, LOWORD(lparam));
        return 0;
    case WM_NOTIFY:
        if (((NMHDR *)lparam)->code == (UINT)PSN_APPLY)
            return SaveSettingsForPage(page);
        return 0;
    }
    return 0;
}
