// Arbitrary setting.cfg contents, 0 to 600 bytes from fixed seeds, loaded
// by the real sheet in the sanitized build: every page shown, players
// switched, a capture tick with inputs held (the live display and the
// duplicate line at work), the file saved. Nothing may crash or trap, the
// file keeps at least its 256 bytes, a stored row holds only what its
// lists offer or a code of the tool's own shape, and every byte that no
// page had reason to touch is exactly as loaded.
//
// Speed: under Wine a sheet takes about a second to open with its pages
// and as long again to close, so ten thousand fresh sheets would take
// hours. Each seed therefore opens one sheet the way the tool does (the
// first case's file loaded by the first page's own start-up, every page
// opened by its tab, players switched by clicks) and runs its other cases
// on it: the pages' own operations redo what a fresh start does (load the
// file into a fresh record and fit it to the machine, each assignment page
// back on player 1), the player switches reach the page procedures as the
// radio buttons' commands, and the sheet's own Apply sends every page the
// PSN_APPLY that OK sends. The seed's last case is saved with a real OK,
// which closes the sheet. The sheets are opened with tooltips refused (see
// TooltipsRefused), and a radio button is set only when it is not already
// as a fresh start leaves it (under Wine each BM_SETCHECK costs about a
// millisecond). A case then costs some 10 ms under Wine here, most of it
// in the wineserver round trips of the pages' list messages (every
// SendDlgItemMessageA looks its control up). Each seed is a test of its
// own, and ctest runs the program in shards side by side (see
// tests/CMakeLists.txt).

#include "tests/sheet_harness.h"

#include <commctrl.h>
#include <prsht.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <random>
#include <set>

#include "input/input.h"
#include "input/pad_binding.h"
#include "pages/pages.h"
#include "res/resource.h"
#include "settings/settings.h"

namespace {

const size_t KeyRowsAt = 0, PadRowsAt = 48, FlagsAt = 240, DisplayAt = 244, UnusedAt = 255;
// KeySlots and PadRow entries that no list stands for: storing a row puts
// 0 there.
const std::set<int> KeySlotsWithoutList = { 9, 10, 20, 21, 22, 23 };
const std::set<int> PadEntriesWithoutList = { 14, 15, 20, 21, 22, 23 };

uint32_t Word(const std::vector<uint8_t> &bytes, size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | (uint32_t)bytes[at + 3] << 24;
}

// The Graphic/Audio options a user can click.
const int DisplayControls[] = {
    IDC_WINDOW_MODE, IDC_FULL_HIGH, IDC_FULL_TRUE, IDC_FPS30, IDC_FPS60, IDC_EFFECT_STANDARD,
    IDC_EFFECT_SIMPLE, IDC_TEXTURE_HIGH, IDC_TEXTURE_TRUE, IDC_DISABLE_BGM, IDC_FIXED_ASPECT,
    IDC_PIXEL_SHADER, IDC_VSYNC, IDC_SKIP_VIDEOS, IDC_DISABLE_SOUND, IDC_RESET,
};

// What one case does besides loading its file.
struct HostileCase {
    std::vector<uint8_t> file;
    // Player switches on each assignment page: 0, player 1 stays shown;
    // 1, player 2 is shown; 2, player 2 and then player 1 again.
    int keyboardSwitches;
    int gamepadSwitches;
    int displayClick;       // index into DisplayControls, or -1
};

// How a case reaches the sheet: opening a fresh one, reusing the open
// one, or reusing it and closing it with OK.
enum Road { FRESH_SHEET, SAME_SHEET, SAME_SHEET_THEN_OK };

// Files that are pure noise reach little beyond the "None" entries, so
// most cases mix noise with values the pages know.
class CaseMaker {
public:
    explicit CaseMaker(unsigned seed) : rng(seed) {}

    HostileCase Make()
    {
        HostileCase c;
        const size_t edges[] = { 0, 1, 255, 256, 257, 600 };
        size_t length = Below(8) == 0 ? edges[Below(6)] : Below(601);
        bool plausible = Below(4) != 0;
        c.file.resize(length);
        for (size_t i = 0; i < length; ++i)
            c.file[i] = (uint8_t)Below(256);
        if (plausible) {
            for (size_t i = KeyRowsAt; i < PadRowsAt && i < length; ++i)
                c.file[i] = Below(5) ? KeyNameTable[Below(KEY_NAME_ROWS)].code : c.file[i];
            for (size_t i = PadRowsAt; i < FlagsAt && i < length; i += 4) {
                uint32_t word = PadWord();
                for (size_t b = 0; b < 4 && i + b < length; ++b)
                    c.file[i + b] = (uint8_t)(word >> (8 * b));
            }
            for (size_t i = DisplayAt; i < UnusedAt && i < length; ++i)
                c.file[i] = Below(6) ? (uint8_t)Below(2) : c.file[i];
        }
        c.keyboardSwitches = Switches();
        c.gamepadSwitches = Switches();
        c.displayClick = Below(8) == 0 ? (int)Below(sizeof DisplayControls / sizeof DisplayControls[0]) : -1;
        return c;
    }

private:
    // A pad binding of any kind, for either pad, with fields up to and
    // beyond what the lists offer, now and then with stray bits; or no
    // input, 0, or noise.
    uint32_t PadWord()
    {
        const uint32_t kinds[4] = { PAD_BINDING_BUTTON, PAD_BINDING_AXIS, PAD_BINDING_SLIDER, PAD_BINDING_POV };
        switch (Below(8)) {
        case 0: return PAD_BINDING_NONE;
        case 1: return 0;
        case 2: return (uint32_t)Below(0x10000) << 16 | (uint32_t)Below(0x10000);
        }
        uint32_t kind = kinds[Below(4)];
        uint32_t fields = kind == PAD_BINDING_BUTTON ? Below(40)
                        : kind == PAD_BINDING_AXIS   ? Below(16)
                        : kind == PAD_BINDING_SLIDER ? (uint32_t)Below(3) << 8 | (uint32_t)Below(4)
                                                     : (uint32_t)Below(5) << 8 | (uint32_t)Below(8);
        uint32_t stray = Below(8) == 0 ? ((uint32_t)Below(0x10000) << 12 & 0x70FFF000u) : 0;
        return PadBindingPadBits((int)Below(2)) | kind | fields | stray;
    }
    // Half the cases stay on player 1; a switch costs a row stored and one
    // loaded on each page.
    int Switches()
    {
        size_t roll = Below(8);
        return roll < 4 ? 0 : roll < 7 ? 1 : 2;
    }
    size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); }
    std::mt19937 rng;
};

class HostileFileTest : public SheetTest {
protected:
    // Every code a list of this page offers, read from its first list; not
    // the entry it may keep for its stored code ("... (not connected)").
    std::set<uint32_t> Offered(int page) const
    {
        std::set<uint32_t> codes;
        HWND list = Control(page, IDC_ASSIGN_FIRST);
        int count = (int)SendMessageA(list, CB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; ++i) {
            char text[64] = {};
            if (SendMessageA(list, CB_GETLBTEXTLEN, i, 0) < (LRESULT)sizeof text)
                SendMessageA(list, CB_GETLBTEXT, i, (LPARAM)text);
            if (!strstr(text, " (not "))
                codes.insert((uint32_t)SendMessageA(list, CB_GETITEMDATA, i, 0));
        }
        return codes;
    }
    // A capture tick on both assignment pages, with a key and pad inputs
    // held and no list focused: the live display runs, nothing is chosen.
    void TickWithInputsHeld()
    {
        SetFocus(NULL);
        FakeInput.keyboard.Press(0x25);
        for (FakePad &pad : FakeInput.pads) {
            pad.Press(0);
            pad.state.lX = -128;
            pad.state.rgdwPOV[0] = 9000;
        }
        SendMessageA(Page(KEYBOARD_PAGE), WM_TIMER, 0, 0);
        SendMessageA(Page(GAMEPAD_PAGE), WM_TIMER, 0, 0);
        // The duplicate line stays within its buffer whatever the file held.
        for (int page : { KEYBOARD_PAGE, GAMEPAD_PAGE })
            ASSERT_LT(GetWindowTextLengthA(Control(page, IDC_DUPLICATES)), 1024);
        FakeInput.keyboard.ReleaseAll();
        for (FakePad &pad : FakeInput.pads)
            pad.Rest();
    }
    // What a fresh start does to the record and the pages, on the open
    // sheet: a fresh process's record, loaded and fitted to the machine,
    // each assignment page back on player 1. The first page shows the
    // record only when a click is to read it.
    void LoadAsAtStart(bool refreshFirstPage)
    {
        memset(&Settings, 0, sizeof Settings);
        LoadSettingsForMachine();
        if (refreshFirstPage)
            RefreshGraphicAudioPage(Page(GRAPHIC_PAGE));
        ShowPlayerOneChecked(KEYBOARD_PAGE);
        LoadAssignRow(KeyPage, 0);
        ShowPlayerOneChecked(GAMEPAD_PAGE);
        LoadAssignRow(PadPage, 0);
    }
    // The radio buttons as a fresh start sets them, each changed only when
    // it is not so already.
    void ShowPlayerOneChecked(int page)
    {
        for (int id : { IDC_PLAYER1, IDC_PLAYER2 }) {
            UINT wanted = id == IDC_PLAYER1 ? BST_CHECKED : BST_UNCHECKED;
            if (Checked(page, id) != wanted)
                CheckDlgButton(Page(page), id, wanted);
        }
    }
    // A click on a radio button, or (on a reused sheet) the command it
    // sends its page.
    void Player(int page, int id, Road road)
    {
        if (road == SAME_SHEET)
            SendMessageA(Page(page), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)Control(page, id));
        else
            Click(page, id);
    }
    void SwitchPlayers(int page, int switches, Road road)
    {
        if (switches >= 1)
            Player(page, IDC_PLAYER2, road);
        if (switches >= 2)
            Player(page, IDC_PLAYER1, road);
    }
    // The case's file as the record holds it after loading: a fresh
    // process's zero record under the file's first 256 bytes, with the
    // corrections for a machine without pixel shaders or sound.
    std::vector<uint8_t> Loaded(const HostileCase &c) const
    {
        std::vector<uint8_t> record(256, 0);
        std::copy(c.file.begin(), c.file.begin() + std::min<size_t>(c.file.size(), 256), record.begin());
        if (!PixelShaderCapable)
            record[DisplayAt + 3] = 0;
        if (!SoundPresent)
            record[DisplayAt + 6] = record[DisplayAt + 7] = 1;
        return record;
    }
    // Runs one case on the open sheet (or, whole road, on a fresh one) and
    // checks the saved file.
    void RunCase(const HostileCase &c, Road road);
    void CheckSaved(const HostileCase &c, const std::vector<uint8_t> &loaded);

    std::set<uint32_t> keyCodes;
    std::set<uint32_t> padCodes;
};

// While one lives, no tooltip window can be created on this thread (a CBT
// hook refuses it), as on a system where that fails: the pages go on
// without their tooltips. Under Wine a tooltip's subclassing makes every
// message to its list a wineserver round trip (about 0.1 ms here, against
// a few microseconds), and a case sends the lists some 300 messages.
class TooltipsRefused {
public:
    TooltipsRefused() { hook = SetWindowsHookExA(WH_CBT, Refuse, NULL, GetCurrentThreadId()); }
    ~TooltipsRefused() { UnhookWindowsHookEx(hook); }

private:
    static LRESULT CALLBACK Refuse(int code, WPARAM wparam, LPARAM lparam)
    {
        if (code == HCBT_CREATEWND) {
            char name[32] = {};
            GetClassNameA((HWND)wparam, name, sizeof name);
            if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0)
                return 1;
        }
        return CallNextHookEx(NULL, code, wparam, lparam);
    }
    HHOOK hook;
};

void HostileFileTest::RunCase(const HostileCase &c, Road road)
{
    WriteWholeFile("setting.cfg", c.file);
    if (road == FRESH_SHEET) {
        OpenSheet();
        // Off the screen: ctest runs other programs beside this one on the
        // same display, and their tests put the pointer over their own
        // sheets, which open where this one does.
        SetWindowPos(sheet, NULL, -4000, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowPage(KEYBOARD_PAGE);
        ShowPage(GAMEPAD_PAGE);
        ShowPage(GRAPHIC_PAGE);
        keyCodes = Offered(KEYBOARD_PAGE);
        padCodes = Offered(GAMEPAD_PAGE);
    } else {
        LoadAsAtStart(c.displayClick >= 0);
    }
    std::vector<uint8_t> loaded = Loaded(c);
    if (c.displayClick >= 0 && Enabled(GRAPHIC_PAGE, DisplayControls[c.displayClick]))
        Click(GRAPHIC_PAGE, DisplayControls[c.displayClick]);
    SwitchPlayers(KEYBOARD_PAGE, c.keyboardSwitches, road);
    SwitchPlayers(GAMEPAD_PAGE, c.gamepadSwitches, road);
    TickWithInputsHeld();
    bool ok = road == SAME_SHEET_THEN_OK;
    Press(ok ? PSBTN_OK : PSBTN_APPLYNOW);
    ASSERT_EQ(SheetClosed(), ok);
    CheckSaved(c, loaded);
}

void HostileFileTest::CheckSaved(const HostileCase &c, const std::vector<uint8_t> &loaded)
{
    std::vector<uint8_t> file = File();
    ASSERT_EQ(file.size(), std::max<size_t>(c.file.size(), 256));
    // Beyond 256 bytes the file keeps what it had.
    ASSERT_TRUE(std::equal(file.begin() + 256, file.end(), c.file.begin() + std::min<size_t>(c.file.size(), 256)));

    // Key rows: a stored row keeps the codes its lists offer and has 0
    // elsewhere; a row never shown is as loaded.
    bool keyRowStored[2] = { true, c.keyboardSwitches >= 1 };
    for (int p = 0; p < 2; ++p) {
        for (int slot = 0; slot < 24; ++slot) {
            size_t at = KeyRowsAt + p * 24 + slot;
            uint8_t expected = loaded[at];
            if (keyRowStored[p] && (KeySlotsWithoutList.count(slot) || !keyCodes.count(expected)))
                expected = 0;
            ASSERT_EQ(file[at], expected) << "player " << p << " KeySlot " << slot;
        }
    }
    // Pad rows: a stored row keeps the codes its lists offer and every code
    // of the tool's own shape, and has listed codes ("None" included)
    // elsewhere and 0 where no list is; a row never shown is as loaded.
    // The advanced flags are as loaded.
    bool padRowStored[2] = { true, c.gamepadSwitches >= 1 };
    for (int p = 0; p < 2; ++p) {
        for (int a = 0; a < 24; ++a) {
            size_t at = PadRowsAt + (p * 24 + a) * 4;
            uint32_t was = Word(loaded, at), is = Word(file, at);
            if (!padRowStored[p])
                ASSERT_EQ(is, was) << "player " << p << " entry " << a;
            else if (PadEntriesWithoutList.count(a))
                ASSERT_EQ(is, 0u) << "player " << p << " entry " << a;
            else if (padCodes.count(was) || IsToolPadBinding(was))
                ASSERT_EQ(is, was) << "player " << p << " entry " << a;
            else
                ASSERT_TRUE(padCodes.count(is)) << std::hex << is << ", player " << p << " entry " << a;
        }
    }
    for (size_t at = FlagsAt; at < DisplayAt; ++at)
        ASSERT_EQ(file[at], loaded[at]) << "byte " << at;

    // Display options: as loaded unless the click changed them, and then 0
    // or 1.
    for (size_t at = DisplayAt; at < UnusedAt; ++at) {
        if (file[at] != loaded[at]) {
            ASSERT_GE(c.displayClick, 0) << "byte " << at;
            ASSERT_LE(file[at], 1) << "byte " << at;
        }
    }
    ASSERT_EQ(file[UnusedAt], loaded[UnusedAt]);
}

// Seeds, one sheet each, and the cases on it. Each seed is one machine:
// with or without pixel shaders and sound, and one of these sets of pads.
const unsigned Seeds = 8, CasesPerSeed = 1250;
static_assert(Seeds * CasesPerSeed == 10000, "ten thousand files");
void (*const PadSets[4])() = {
    [] {},
    [] { FakeInput.AddPad(12).Axis(GUID_ZAxis).Axis(GUID_RzAxis).Sliders(1).Povs(1); },
    [] {
        FakeInput.AddPad(12).Povs(2);
        FakeInput.AddPad(4).Axis(GUID_RxAxis).Axis(GUID_RyAxis).Sliders(2);
    },
    // Beyond what the lists offer, and a pad without buttons.
    [] {
        FakeInput.AddPad(128).Axis(GUID_RxAxis).Axis(GUID_RyAxis).Axis(GUID_RzAxis).Sliders(6).Povs(9);
        FakeInput.AddPad(0).Axis(GUID_ZAxis).Povs(1);
    },
};

class HostileFileSeedTest : public HostileFileTest, public testing::WithParamInterface<unsigned> {};

TEST_P(HostileFileSeedTest, ArbitraryFilesLoadShowSwitchAndSaveSafely)
{
    unsigned seed = GetParam();
    SetProbeOutcome(seed % 2, seed / 2 % 2);
    PadSets[(seed - 1) / 2 % 4]();
    // For the whole seed: the pages make their tooltips at timer ticks
    // after they are shown, which may come after the pages are.
    TooltipsRefused refused;
    CaseMaker maker(seed);
    unsigned cases = 0;
    for (unsigned i = 0; i < CasesPerSeed; ++i, ++cases) {
        HostileCase c = maker.Make();
        SCOPED_TRACE(testing::Message() << "seed " << seed << " case " << i << ", " << c.file.size() << " bytes");
        RunCase(c, i == 0 ? FRESH_SHEET : i == CasesPerSeed - 1 ? SAME_SHEET_THEN_OK : SAME_SHEET);
        if (HasFatalFailure())
            return;
    }
    EXPECT_EQ(cases, CasesPerSeed);
}

INSTANTIATE_TEST_SUITE_P(Seeds, HostileFileSeedTest, testing::Range(1u, Seeds + 1));

} // namespace
