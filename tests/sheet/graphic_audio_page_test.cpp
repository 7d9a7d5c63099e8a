// The first page on the real sheet: start-up, every option rule, the
// probes, and the bytes that OK, Apply and Cancel leave in the file.

#include "tests/sheet_harness.h"

#include <commctrl.h>
#include <prsht.h>
#include "input/input.h"
#include "pages/pages.h"
#include "res/resource.h"
#include "settings/settings.h"

namespace {

class GraphicAudioPageTest : public SheetTest {
protected:
    // The option bytes 244..254 as the file holds them after OK.
    std::vector<uint8_t> SavedDisplayBytes()
    {
        Press(PSBTN_OK);
        std::vector<uint8_t> file = File();
        if (file.size() < 255)
            return {};
        return std::vector<uint8_t>(file.begin() + 244, file.begin() + 255);
    }
    void OpenWithDisplay(const std::vector<uint8_t> &options)
    {
        std::vector<uint8_t> file(256, 0);
        std::copy(options.begin(), options.end(), file.begin() + 244);
        WriteWholeFile("setting.cfg", file);
        OpenSheet();
    }
};

// An independent statement of the first-run file.
std::vector<uint8_t> FirstRunFile(bool shader, bool sound)
{
    std::vector<uint8_t> file(256, 0);
    const uint8_t keys[48] = { 0x0A, 0x08, 0x09, 0x26, 0x17, 0x18, 0x16, 0x24, 0x30, 0, 0, 0x39,
                               0x11, 0x20, 0x1F, 0x1E, 0, 0, 0, 0, 0, 0, 0, 0,
                               0x49, 0x47, 0x48, 0x51, 0x4C, 0x4D, 0x4B, 0x4F, 0xC9, 0, 0, 0xD1,
                               0xC8, 0xCD, 0xD0, 0xCB, 0, 0, 0, 0, 0, 0, 0, 0 };
    std::copy(keys, keys + 48, file.begin());
    std::fill(file.begin() + 48, file.begin() + 240, 0xFF);   // no pads
    const uint8_t display[11] = { shader, shader, 1, shader, 1, 1, !sound, !sound, 0, !shader, 0 };
    std::copy(display, display + 11, file.begin() + 244);
    return file;
}

TEST_F(GraphicAudioPageTest, FirstRunWritesTheFactoryFileForEachMachine)
{
    for (int shader = 0; shader < 2; ++shader) {
        for (int sound = 0; sound < 2; ++sound) {
            SCOPED_TRACE(testing::Message() << "shader " << shader << " sound " << sound);
            TearDown();
            SetUp();
            SetProbeOutcome(shader, sound);
            OpenSheet();
            EXPECT_FALSE(FileExists());
            EXPECT_FALSE(ApplyEnabled());
            EXPECT_EQ(Enabled(GRAPHIC_PAGE, IDC_PIXEL_SHADER), shader == 1);
            EXPECT_EQ(Enabled(GRAPHIC_PAGE, IDC_DISABLE_SOUND), sound == 1);
            Press(PSBTN_OK);
            EXPECT_TRUE(SheetClosed());
            EXPECT_EQ(File(), FirstRunFile(shader, sound));
        }
    }
}

TEST_F(GraphicAudioPageTest, CancelWritesNothingEvenAfterChanges)
{
    OpenSheet();
    Click(GRAPHIC_PAGE, IDC_WINDOW_MODE);
    EXPECT_TRUE(ApplyEnabled());
    Press(PSBTN_CANCEL);
    EXPECT_TRUE(SheetClosed());
    EXPECT_FALSE(FileExists());
}

TEST_F(GraphicAudioPageTest, OkAfterTheFirstPageWritesOnceWithTheChange)
{
    OpenSheet();
    Click(GRAPHIC_PAGE, IDC_SKIP_VIDEOS);
    // Apply writes the file and disables itself; Cancel then keeps it.
    Press(PSBTN_APPLYNOW);
    EXPECT_FALSE(ApplyEnabled());
    std::vector<uint8_t> applied = File();
    ASSERT_EQ(applied.size(), 256u);
    EXPECT_EQ(applied[252], 1);
    Press(PSBTN_CANCEL);
    EXPECT_EQ(File(), applied);
}

TEST_F(GraphicAudioPageTest, ShortAndLongFilesAreTakenAsTheyAre)
{
    WriteWholeFile("setting.cfg", { 9, 8, 7, 6, 5, 4, 3, 2, 1, 0 });
    OpenSheet();
    // Nothing is defaulted: the file opened. Both probes are positive, so
    // the zero option bytes stand.
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_WINDOW_MODE), BST_CHECKED);
    Press(PSBTN_OK);
    std::vector<uint8_t> expected(256, 0);
    const uint8_t head[10] = { 9, 8, 7, 6, 5, 4, 3, 2, 1, 0 };
    std::copy(head, head + 10, expected.begin());
    EXPECT_EQ(File(), expected);

    TearDown();
    SetUp();
    std::vector<uint8_t> longer(300);
    for (size_t i = 0; i < longer.size(); ++i)
        longer[i] = (uint8_t)(i % 2);
    WriteWholeFile("setting.cfg", longer);
    OpenSheet();
    Click(GRAPHIC_PAGE, IDC_RESET);
    Press(PSBTN_OK);
    std::vector<uint8_t> file = File();
    ASSERT_EQ(file.size(), 300u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 244, file.begin() + 255),
              std::vector<uint8_t>({ 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0 }));
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 256, file.end()),
              std::vector<uint8_t>(longer.begin() + 256, longer.end()));
    // Bytes the options do not cover stay as loaded (byte 255 included).
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 244),
              std::vector<uint8_t>(longer.begin(), longer.begin() + 244));
    EXPECT_EQ(file[255], longer[255]);
}

TEST_F(GraphicAudioPageTest, StartUpFitsTheFileToTheMachineWithoutMarkingChanged)
{
    SetProbeOutcome(false, false);
    // Pixel shader on, sound and music on, as saved on a better machine.
    OpenWithDisplay({ 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0 });
    EXPECT_FALSE(ApplyEnabled());
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_PIXEL_SHADER), BST_UNCHECKED);
    EXPECT_FALSE(Enabled(GRAPHIC_PAGE, IDC_PIXEL_SHADER));
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_DISABLE_SOUND), BST_CHECKED);
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_DISABLE_BGM), BST_CHECKED);
    EXPECT_FALSE(Enabled(GRAPHIC_PAGE, IDC_DISABLE_SOUND));
    EXPECT_FALSE(Enabled(GRAPHIC_PAGE, IDC_DISABLE_BGM));
    // "Default Settings" keeps the machine's limits and does not enable Apply.
    Click(GRAPHIC_PAGE, IDC_RESET);
    EXPECT_FALSE(ApplyEnabled());
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_FULL_HIGH), BST_CHECKED);
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_TEXTURE_HIGH), BST_CHECKED);
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_EFFECT_SIMPLE), BST_CHECKED);
    EXPECT_EQ(SavedDisplayBytes(), std::vector<uint8_t>({ 0, 0, 1, 0, 1, 1, 1, 1, 0, 1, 0 }));
}

// The line at the foot of the page says what the start switched off in
// the loaded file, and only that: not for the factory settings, not for a
// file that already held these choices.
TEST_F(GraphicAudioPageTest, TheLineNamesWhatTheStartSwitchedOffInTheFile)
{
    const std::string sound = "No sound device was found, so sound and music are off. "
                              "Connect one and start the tool again to switch them back on.";
    const std::string shader = "The graphics card reports no pixel shader, so Pixel Shader is off.";
    struct Case {
        const char *what;
        bool hasShader, hasSound;
        std::vector<uint8_t> display;   // bytes 244..254 of the file; none: no file
        std::string line;
    };
    const Case cases[] = {
        { "no file", false, false, {}, "" },
        { "sound on", true, false, { 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0 }, sound },
        { "music on", true, false, { 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0 }, sound },
        { "pixel shader on", false, true, { 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0 }, shader },
        { "both", false, false, { 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0 }, sound + " " + shader },
        { "nothing changed", false, false, { 0, 0, 1, 0, 1, 1, 1, 1, 0, 1, 0 }, "" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        SetProbeOutcome(c.hasShader, c.hasSound);
        if (c.display.empty())
            OpenSheet();
        else
            OpenWithDisplay(c.display);
        EXPECT_EQ(TextOf(Control(GRAPHIC_PAGE, IDC_START_CORRECTIONS)), c.line);
        EXPECT_FALSE(ApplyEnabled());
    }
}

// The layout spreads over the page area the sheet gives it: the right-hand
// groups and "Default Settings" end where the left margin mirrors them.
TEST_F(GraphicAudioPageTest, TheLayoutFillsThePageArea)
{
    OpenSheet();
    HWND page = Page(GRAPHIC_PAGE);
    auto onPage = [&](HWND control) {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(HWND_DESKTOP, page, (POINT *)&r, 2);
        return r;
    };
    RECT area;
    GetClientRect(page, &area);
    RECT template101 = { 0, 0, 286, 0 };
    MapDialogRect(page, &template101);
    ASSERT_GT(area.right, template101.right) << "the sheet is as wide as this page's template";
    LONG margin = onPage(GetWindow(page, GW_CHILD)).left;   // "Screen Mode"
    RECT reset = onPage(Control(GRAPHIC_PAGE, IDC_RESET));
    EXPECT_EQ(reset.right, area.right - margin);
    EXPECT_EQ(onPage(FindWindowExA(page, NULL, "Button", "Sound Options")).right, area.right - margin);
    EXPECT_EQ(onPage(FindWindowExA(page, NULL, "Button", "Texture Color")).right, area.right - margin);
    // The button keeps its size.
    RECT size = { 0, 0, 80, 14 };
    MapDialogRect(page, &size);
    EXPECT_EQ(reset.right - reset.left, size.right);
}

TEST_F(GraphicAudioPageTest, AStoredShaderChoiceIsShownAsStoredUntilClicked)
{
    // Pixel shader on with high-colour textures and simple effects.
    OpenWithDisplay({ 1, 0, 1, 1, 1, 1, 0, 0, 0, 1, 0 });
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_TEXTURE_HIGH), BST_CHECKED);
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_EFFECT_SIMPLE), BST_CHECKED);
    EXPECT_FALSE(Enabled(GRAPHIC_PAGE, IDC_TEXTURE_HIGH));
    EXPECT_FALSE(Enabled(GRAPHIC_PAGE, IDC_EFFECT_STANDARD));
    // Off: the groups come back with their selections.
    Click(GRAPHIC_PAGE, IDC_PIXEL_SHADER);
    EXPECT_TRUE(Enabled(GRAPHIC_PAGE, IDC_TEXTURE_HIGH));
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_TEXTURE_HIGH), BST_CHECKED);
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_EFFECT_SIMPLE), BST_CHECKED);
    // On again: true-colour textures and standard effects, both greyed.
    Click(GRAPHIC_PAGE, IDC_PIXEL_SHADER);
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_TEXTURE_TRUE), BST_CHECKED);
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_EFFECT_STANDARD), BST_CHECKED);
    EXPECT_FALSE(Enabled(GRAPHIC_PAGE, IDC_TEXTURE_TRUE));
    EXPECT_EQ(SavedDisplayBytes(), std::vector<uint8_t>({ 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0 }));
}

TEST_F(GraphicAudioPageTest, ChoosingTheSelectedRadioButtonChangesNothing)
{
    OpenSheet();   // defaults: true-colour full screen, 60 FPS
    const int selected[] = { IDC_FULL_TRUE, IDC_FPS60 };
    for (int id : selected) {
        Click(GRAPHIC_PAGE, id);
        EXPECT_FALSE(ApplyEnabled()) << id;
    }
    Click(GRAPHIC_PAGE, IDC_PIXEL_SHADER);   // off: the texture and effect groups open
    Press(PSBTN_APPLYNOW);
    ASSERT_FALSE(ApplyEnabled());
    const int alsoSelected[] = { IDC_TEXTURE_TRUE, IDC_EFFECT_STANDARD };
    for (int id : alsoSelected) {
        Click(GRAPHIC_PAGE, id);
        EXPECT_FALSE(ApplyEnabled()) << id;
    }
    Click(GRAPHIC_PAGE, IDC_WINDOW_MODE);
    EXPECT_TRUE(ApplyEnabled());
    Press(PSBTN_APPLYNOW);
    Click(GRAPHIC_PAGE, IDC_WINDOW_MODE);
    EXPECT_FALSE(ApplyEnabled());
}

TEST_F(GraphicAudioPageTest, EveryRealChangeEnablesApplyAndReachesTheFile)
{
    struct Case { int id; size_t offset; uint8_t value; };
    // From the defaults with both probes positive (shader off first, so
    // the texture and effect buttons can be used).
    const Case cases[] = {
        { IDC_FPS30, 248, 0 },          { IDC_FPS60, 248, 1 },
        { IDC_VSYNC, 249, 0 },          { IDC_SKIP_VIDEOS, 252, 1 },
        { IDC_FIXED_ASPECT, 254, 1 },   { IDC_DISABLE_BGM, 251, 1 },
        { IDC_TEXTURE_HIGH, 245, 0 },   { IDC_TEXTURE_TRUE, 245, 1 },
        { IDC_EFFECT_SIMPLE, 253, 1 },  { IDC_EFFECT_STANDARD, 253, 0 },
        { IDC_FULL_HIGH, 244, 0 },      { IDC_FULL_TRUE, 244, 1 },
    };
    OpenSheet();
    Click(GRAPHIC_PAGE, IDC_PIXEL_SHADER);
    for (const Case &c : cases) {
        Press(PSBTN_APPLYNOW);
        ASSERT_FALSE(ApplyEnabled());
        Click(GRAPHIC_PAGE, c.id);
        EXPECT_TRUE(ApplyEnabled()) << c.id;
        Press(PSBTN_APPLYNOW);
        std::vector<uint8_t> file = File();
        ASSERT_EQ(file.size(), 256u);
        EXPECT_EQ(file[c.offset], c.value) << c.id;
    }
}

TEST_F(GraphicAudioPageTest, WindowModeClearsAndGreysTheAspectRatio)
{
    OpenSheet();
    Click(GRAPHIC_PAGE, IDC_FIXED_ASPECT);
    Click(GRAPHIC_PAGE, IDC_WINDOW_MODE);
    EXPECT_FALSE(Enabled(GRAPHIC_PAGE, IDC_FIXED_ASPECT));
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_FIXED_ASPECT), BST_UNCHECKED);
    // Neither full-screen depth is shown in window mode.
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_FULL_HIGH), BST_UNCHECKED);
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_FULL_TRUE), BST_UNCHECKED);
    Press(PSBTN_APPLYNOW);
    std::vector<uint8_t> file = File();
    ASSERT_EQ(file.size(), 256u);
    EXPECT_EQ(file[246], 0);
    EXPECT_EQ(file[254], 0);
    EXPECT_EQ(file[244], 1);   // the last depth is kept
    // True colour again from window mode marks a change although the depth
    // byte already was 1.
    Click(GRAPHIC_PAGE, IDC_FULL_TRUE);
    EXPECT_TRUE(ApplyEnabled());
    EXPECT_TRUE(Enabled(GRAPHIC_PAGE, IDC_FIXED_ASPECT));
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_FIXED_ASPECT), BST_UNCHECKED);
}

TEST_F(GraphicAudioPageTest, DisablingSoundDisablesMusicUntilSoundComesBack)
{
    OpenSheet();
    Click(GRAPHIC_PAGE, IDC_DISABLE_SOUND);
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_DISABLE_BGM), BST_CHECKED);
    EXPECT_FALSE(Enabled(GRAPHIC_PAGE, IDC_DISABLE_BGM));
    Click(GRAPHIC_PAGE, IDC_DISABLE_SOUND);
    EXPECT_TRUE(Enabled(GRAPHIC_PAGE, IDC_DISABLE_BGM));
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_DISABLE_BGM), BST_CHECKED);
    EXPECT_EQ(SavedDisplayBytes(), std::vector<uint8_t>({ 1, 1, 1, 1, 1, 1, 0, 1, 0, 0, 0 }));
}

TEST_F(GraphicAudioPageTest, DefaultSettingsResetOnlyTheDisplayOptions)
{
    std::vector<uint8_t> file(256, 0x21);
    for (int i = 244; i < 255; ++i)
        file[i] = (i % 2);
    WriteWholeFile("setting.cfg", file);
    OpenSheet();
    Click(GRAPHIC_PAGE, IDC_RESET);
    EXPECT_FALSE(ApplyEnabled());
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_FULL_TRUE), BST_CHECKED);
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_FPS60), BST_CHECKED);
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_VSYNC), BST_CHECKED);
    EXPECT_EQ(Checked(GRAPHIC_PAGE, IDC_PIXEL_SHADER), BST_CHECKED);
    EXPECT_FALSE(Enabled(GRAPHIC_PAGE, IDC_TEXTURE_TRUE));
    Press(PSBTN_OK);
    std::vector<uint8_t> saved = File();
    ASSERT_EQ(saved.size(), 256u);
    EXPECT_EQ(std::vector<uint8_t>(saved.begin(), saved.begin() + 244),
              std::vector<uint8_t>(file.begin(), file.begin() + 244));
    EXPECT_EQ(std::vector<uint8_t>(saved.begin() + 244, saved.begin() + 255),
              std::vector<uint8_t>({ 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0 }));
}

TEST_F(GraphicAudioPageTest, DamagedOptionBytesCanBeChosenAway)
{
    // Values other than 0 and 1 from a file written elsewhere: choosing
    // the shown option writes a proper 0 or 1.
    OpenWithDisplay({ 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2 });
    Click(GRAPHIC_PAGE, IDC_WINDOW_MODE);
    Click(GRAPHIC_PAGE, IDC_FPS60);
    Click(GRAPHIC_PAGE, IDC_PIXEL_SHADER);   // 2 shows checked; the click clears it
    Click(GRAPHIC_PAGE, IDC_TEXTURE_TRUE);
    Click(GRAPHIC_PAGE, IDC_EFFECT_STANDARD);
    std::vector<uint8_t> bytes = SavedDisplayBytes();
    ASSERT_EQ(bytes.size(), 11u);
    EXPECT_EQ(bytes[2], 0);   // FullScreen
    EXPECT_EQ(bytes[4], 1);   // FrameRate60
    EXPECT_EQ(bytes[3], 0);   // PixelShader
    EXPECT_EQ(bytes[1], 1);   // TextureTrueColor
    EXPECT_EQ(bytes[9], 0);   // SimpleEffects
}

TEST_F(GraphicAudioPageTest, ProbesReleaseWhatTheyCreateOnEveryPath)
{
    struct Case { bool missing; HRESULT caps; DWORD version; int expected; };
    const Case cases[] = {
        { true, D3D_OK, D3DPS_VERSION(1, 1), 0 },
        { false, D3DERR_NOTAVAILABLE, D3DPS_VERSION(1, 1), 0 },
        { false, D3D_OK, 0xFFFF00FF, 0 },
        { false, D3D_OK, D3DPS_VERSION(1, 0), 1 },
        { false, D3D_OK, D3DPS_VERSION(3, 0), 1 },
    };
    for (const Case &c : cases) {
        FakeProbes = FakeProbeWorld();
        FakeProbes.direct3DMissing = c.missing;
        FakeProbes.capsResult = c.caps;
        FakeProbes.pixelShaderVersion = c.version;
        EXPECT_EQ(ProbePixelShader(), c.expected) << std::hex << c.version;
        EXPECT_EQ(FakeProbes.sdkVersion, 220u);
        EXPECT_EQ(FakeProbes.liveObjects, 0);
        if (!c.missing) {
            EXPECT_EQ(FakeProbes.capsAdapter, 0u);
            EXPECT_EQ(FakeProbes.capsDeviceType, D3DDEVTYPE_HAL);
        }
    }
    FakeProbes.soundResult = DS_OK;
    EXPECT_EQ(ProbeSoundDevice(), 1);
    EXPECT_TRUE(FakeProbes.soundDeviceWasDefault);
    EXPECT_EQ(FakeProbes.liveObjects, 0);
    FakeProbes.soundResult = DSERR_NODRIVER;
    EXPECT_EQ(ProbeSoundDevice(), 0);
}

TEST_F(GraphicAudioPageTest, MissingDirectXRuntimeIsAFailedProbe)
{
    // The loaders that the tool starts with, pointed at DLLs that do not
    // exist in the system directory, behave as failed creation calls.
    EXPECT_EQ(LoadSystemLibrary("no-such-runtime.dll"), (HMODULE)NULL);
}

TEST_F(GraphicAudioPageTest, AFailedSaveIsReportedOnceAndKeepsTheSheetOpen)
{
    ASSERT_TRUE(CreateDirectoryA("setting.cfg", NULL));
    OpenSheet();
    Click(GRAPHIC_PAGE, IDC_VSYNC);
    std::vector<std::string> boxes = PressCatchingMessageBoxes(PSBTN_OK);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("setting.cfg"), std::string::npos) << boxes[0];
    EXPECT_FALSE(SheetClosed());
    // Retry once the obstacle is gone: the change was kept.
    ASSERT_TRUE(RemoveDirectoryA("setting.cfg"));
    Press(PSBTN_OK);
    EXPECT_TRUE(SheetClosed());
    std::vector<uint8_t> file = File();
    ASSERT_EQ(file.size(), 256u);
    EXPECT_EQ(file[249], 0);
}

TEST_F(GraphicAudioPageTest, AFileLockedByAnotherProgramIsReportedToo)
{
    OpenSheet();
    WriteWholeFile("setting.cfg", std::vector<uint8_t>(256, 3));
    HANDLE lock = CreateFileA("setting.cfg", GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(PressCatchingMessageBoxes(PSBTN_APPLYNOW).size(), 1u);
    CloseHandle(lock);
    EXPECT_EQ(File(), std::vector<uint8_t>(256, 3));
    Press(PSBTN_OK);
    EXPECT_TRUE(SheetClosed());
    EXPECT_EQ(File(), FirstRunFile(true, true));
}

} // namespace
