// The Graphic/Audio page: display and sound options. Its initialisation is
// the tool's real start-up (devices, probes, settings), because the sheet
// always opens on it.
#include "pages/pages.h"

#include <commctrl.h>
#include <prsht.h>

#include "input/input.h"
#include "input/pad_order.h"
#include "pages/tooltips.h"
#include "settings/settings.h"

// The page's window, once it is made, and where the right edge of its
// layout stands now, in the page's pixels.
static struct {
    HWND window;
    int layoutRightEdge;
} GraphicAudio;

const TooltipEntry GraphicAudioTooltips[GRAPHIC_AUDIO_TOOLTIP_ROWS] = {
    { IDC_WINDOW_MODE, IDS_TIP_WINDOW_MODE },   { IDC_FULL_HIGH, IDS_TIP_FULL_HIGH },
    { IDC_FULL_TRUE, IDS_TIP_FULL_TRUE },       { IDC_TEXTURE_HIGH, IDS_TIP_TEXTURE_HIGH },
    { IDC_TEXTURE_TRUE, IDS_TIP_TEXTURE_TRUE }, { IDC_PIXEL_SHADER, IDS_TIP_PIXEL_SHADER },
    { IDC_FIXED_ASPECT, IDS_TIP_FIXED_ASPECT }, { IDC_FPS30, IDS_TIP_FPS30 },
    { IDC_FPS60, IDS_TIP_FPS60 },               { IDC_VSYNC, IDS_TIP_VSYNC },
    { IDC_EFFECT_STANDARD, IDS_TIP_EFFECT_STANDARD },
    { IDC_EFFECT_SIMPLE, IDS_TIP_EFFECT_SIMPLE },
    { IDC_SKIP_VIDEOS, IDS_TIP_SKIP_VIDEOS },   { IDC_DISABLE_SOUND, IDS_TIP_DISABLE_SOUND },
    { IDC_DISABLE_BGM, IDS_TIP_DISABLE_BGM },
};

static UINT CheckedWhen(bool condition)
{
    return condition ? BST_CHECKED : BST_UNCHECKED;
}

static void EnableControl(HWND page, int id, bool enabled)
{
    EnableWindow(GetDlgItem(page, id), enabled);
}

void RefreshGraphicAudioPage(HWND page)
{
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
    RefreshGraphicAudioPage(page);
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
        RefreshGraphicAudioPage(page);
        break;
    case IDC_DISABLE_SOUND:
        if (StoreCheckBox(page, id, s.SoundDisabled))
            s.BgmDisabled = 1;
        RefreshGraphicAudioPage(page);
        break;
    case IDC_RESET:
        // Resets the display options only; Apply keeps its state.
        ApplyDisplayDefaults();
        RefreshGraphicAudioPage(page);
        return;
    default:
        return;
    }
    MarkSheetChanged(page);
}

// The template's layout runs from x = 5 to 281 (in the page's dialog
// units).
static const int LayoutLeft = 5, LayoutRight = 281;

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
    int left = design.left, from = GraphicAudio.layoutRightEdge;
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
    GraphicAudio.layoutRightEdge = to;
}

// The line at the foot of the page: what this start switched off in the
// loaded file because the machine lacks it (CORRECTED_ bits), so that the
// player knows why the page differs from what was saved. Nothing is shown
// when nothing was switched off.
static void ShowStartCorrections(HWND page, int corrected)
{
    if (corrected == 0)
        return;
    char sound[256] = "", shader[256] = "", both[16], text[sizeof sound + sizeof shader + 16];
    if (corrected & CORRECTED_SOUND)
        LoadPageText(page, IDS_CORRECTED_SOUND, sound, sizeof sound);
    if (corrected & CORRECTED_PIXEL_SHADER)
        LoadPageText(page, IDS_CORRECTED_SHADER, shader, sizeof shader);
    if (sound[0] && shader[0])
        wsprintfA(text, LoadPageText(page, IDS_CORRECTED_BOTH, both, sizeof both), sound, shader);
    else
        lstrcpyA(text, sound[0] ? sound : shader);
    SetDlgItemTextA(page, IDC_START_CORRECTIONS, text);
}

void RecordGraphicAudioPage(HWND page)
{
    GraphicAudio.window = page;
    RECT design = { 0, 0, LayoutRight, 0 };
    MapDialogRect(page, &design);
    GraphicAudio.layoutRightEdge = design.right;
}

static void OnInitDialog(HWND page)
{
    RecordGraphicAudioPage(page);
    // Made once the sheet is shown: 15 tooltip windows were a tenth of the
    // tool's start-up under Wine.
    AddPageTooltipsAfterShown(page, GraphicAudioTooltips, GRAPHIC_AUDIO_TOOLTIP_ROWS);
    // The sheet is the devices' cooperative-level window.
    OpenInputDevices((HINSTANCE)GetWindowLongPtrA(page, GWLP_HINSTANCE), GetParent(page));
    // Which pad was which at the last save, for the gamepad page's notes.
    ReadPadOrder();
    // Both probes run before the settings are loaded: the defaults and the
    // corrections depend on them. The corrections do not mark the sheet
    // changed; they reach the file with the next OK, and the page says so.
    SoundPresent = ProbeSoundDevice();
    PixelShaderCapable = ProbePixelShader();
    ShowStartCorrections(page, LoadSettingsForMachine());
    EnableControl(page, IDC_PIXEL_SHADER, PixelShaderCapable != 0);
    EnableControl(page, IDC_DISABLE_SOUND, SoundPresent != 0);
    RefreshGraphicAudioPage(page);
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
        if (page == GraphicAudio.window)
            FitGraphicAudioLayout(page, LOWORD(lparam));
        return 0;
    case WM_NOTIFY:
        if (((NMHDR *)lparam)->code == (UINT)PSN_APPLY)
            return SaveSettingsForPage(page);
        return 0;
    }
    return 0;
}
