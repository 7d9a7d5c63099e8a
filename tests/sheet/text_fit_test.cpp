// Every text of the three pages is shown whole: each static text, group
// box caption, check box and radio button label (beside its glyph), push
// button caption, and every entry of every assignment list (in the closed
// list's text area) fits its control, on the page and under no other
// control. Measured twice: in the font the page really got (Wine's
// substitute where the prefix has no "MS PGothic", as on Windows without
// the Japanese fonts), and in the templates' own font, as IPAPGothic, which
// has MS PGothic's metrics.
#include "tests/sheet_harness.h"

#include "res/resource.h"

namespace {

// The dialog manager places controls in dialog units, which follow the
// dialog font: in another font every control is wider or narrower by the
// ratio of the fonts' base units, while glyphs, arrows and frames (system
// metrics) keep their size, and so does the page area, which the sheet
// sizes in its own font. A Layout maps the shown controls into the font a
// text is measured in.
struct Layout {
    HFONT font;             // NULL: each control's own font
    SIZE base, pageBase;    // base units of that font, of the page
    int X(int x) const { return MulDiv(x, base.cx, pageBase.cx); }
    int Y(int y) const { return MulDiv(y, base.cy, pageBase.cy); }
    RECT Map(RECT r) const { return { X(r.left), Y(r.top), X(r.right), Y(r.bottom) }; }
};

TEXTMETRICA Metrics(HDC dc, HFONT font)
{
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    return metrics;
}

// Base units as the dialog manager takes them from a font.
SIZE BaseUnits(HDC dc, HFONT font)
{
    HGDIOBJ old = SelectObject(dc, font);
    SIZE letters;
    GetTextExtentPoint32A(dc, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ", 52, &letters);
    SelectObject(dc, old);
    return { (letters.cx / 26 + 1) / 2, Metrics(dc, font).tmHeight };
}

// The text's size on one line, or wrapped at words to the given width
// (wider where a word is).
SIZE TextSize(HDC dc, HFONT font, const std::string &text, LONG wrapWidth = 0)
{
    HGDIOBJ old = SelectObject(dc, font);
    RECT r = { 0, 0, wrapWidth, 0 };
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | (wrapWidth ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    return { r.right, r.bottom };
}

std::string FaceOf(HDC dc, HFONT font)
{
    HGDIOBJ old = SelectObject(dc, font);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, sizeof face, face);
    SelectObject(dc, old);
    return face;
}

RECT WindowOnPage(HWND page, HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, page, (POINT *)&r, 2);
    return r;
}

RECT ClientOnPage(HWND page, HWND control)
{
    RECT r;
    GetClientRect(control, &r);
    MapWindowPoints(control, page, (POINT *)&r, 2);
    return r;
}

std::string Text(HWND control)
{
    char text[256] = {};
    GetWindowTextA(control, text, sizeof text);
    return text;
}

bool IsClass(HWND control, const char *name)
{
    char className[32] = {};
    GetClassNameA(control, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

// "\"Triangle\" (-1)", "list 1047".
std::string Name(HWND control)
{
    std::string id = std::to_string((short)GetDlgCtrlID(control));
    return IsClass(control, "ComboBox") ? "list " + id : "\"" + Text(control) + "\" (" + id + ")";
}

LONG ButtonType(HWND control)
{
    return IsClass(control, "Button") ? GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK : -1;
}

std::string Size(LONG cx, LONG cy)
{
    return std::to_string(cx) + " x " + std::to_string(cy);
}

// What a control draws beside its caption, in pixels: a group box's
// caption starts 7 to 10 px in and needs as much before the frame goes on;
// a push button's keeps clear of its 2 px edge and the focus rectangle; a
// check box's or radio button's follows the glyph and a gap of half a
// character. A closed list shows its entry 2 px in from each side of the
// item area.
const int GroupCaptionInset = 10, PushCaptionInset = 4, ListItemInset = 2;

class PageTextFit : public SheetTest {
protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        // Two pads with every input a code can name, so that the gamepad
        // lists hold their longest entries ("2POV Down4", "2BUTTON32").
        // Pad 1's layout is built in, pad 2's from the player's file, so
        // that the gamepad page names both sources beside the pad lines.
        for (int pad = 0; pad < 2; ++pad) {
            FakeInput.AddPad(40).Axis(GUID_ZAxis).Axis(GUID_RxAxis).Axis(GUID_RyAxis)
                .Axis(GUID_RzAxis).Sliders(3).Povs(5);
        }
        FakeInput.pads[0].Ids(0x054C, 0x05C4);
        FakeInput.pads[1].Ids(0x1234, 0x5678);
        const char line[] = "03000000341200007856000000000000,Mine,a:b3,platform:Windows,\n";
        WriteWholeFile("gamecontrollerdb.txt", std::vector<uint8_t>(line, line + sizeof line - 1));
        // A file with sound, music and the pixel shader on, on a machine
        // with neither: the first page's line names both corrections, its
        // longest text.
        std::vector<uint8_t> file(256, 0);
        file[247] = 1;
        WriteWholeFile("setting.cfg", file);
        SetProbeOutcome(false, false);
        OpenSheet();
        for (int index : { GRAPHIC_PAGE, KEYBOARD_PAGE, GAMEPAD_PAGE })
            ShowPage(index);
        SendMessageA(Page(GAMEPAD_PAGE), WM_TIMER, 0, 0);
        // A pass of "Assign All" under way: its line says what it wants.
        SendMessageA(Page(GAMEPAD_PAGE), WM_COMMAND, IDC_ASSIGN_ALL, 0);
        pageFont = (HFONT)SendMessageA(Page(GRAPHIC_PAGE), WM_GETFONT, 0, 0);
        dc = GetDC(NULL);
        ASSERT_NE(TextOf(Control(GRAPHIC_PAGE, IDC_START_CORRECTIONS)), "");
    }
    void TearDown() override
    {
        ReleaseDC(NULL, dc);
        SheetTest::TearDown();
    }

    // Why a list's longest entry does not fit its text area, or "".
    std::string ListMisfit(int index, HWND list, const Layout &layout, HFONT font)
    {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(list, &info);
        RECT shown = WindowOnPage(Page(index), list), mapped = layout.Map(shown);
        int fixed = (shown.right - shown.left) - (info.rcItem.right - info.rcItem.left);
        int room = mapped.right - mapped.left - fixed - 2 * ListItemInset;
        for (const std::string &entry : ListTexts(index, GetDlgCtrlID(list))) {
            LONG width = TextSize(dc, font, entry).cx;
            if (width > room) {
                return "entry \"" + entry + "\" " + std::to_string(width) + " px, room " +
                       std::to_string(room);
            }
        }
        return "";
    }

    // Why a static's or button's caption does not fit or is covered, or "".
    std::string CaptionMisfit(HWND page, HWND control, const std::vector<HWND> &controls,
                              const Layout &layout, HFONT font)
    {
        RECT room = layout.Map(ClientOnPage(page, control));
        LONG type = ButtonType(control);
        if (type == BS_GROUPBOX)
            InflateRect(&room, -GroupCaptionInset, 0);
        else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
            InflateRect(&room, -PushCaptionInset, 0);
        else if (type >= 0)
            room.left += GetSystemMetrics(SM_CXMENUCHECK) + Metrics(dc, font).tmAveCharWidth / 2;
        LONG w = room.right - room.left, h = room.bottom - room.top;
        // Left, centred and right statics wrap at words, unless they end
        // in an ellipsis.
        LONG style = GetWindowLongA(control, GWL_STYLE);
        bool wraps = type < 0 && (style & SS_TYPEMASK) <= SS_RIGHT && !(style & SS_ELLIPSISMASK);
        SIZE size = TextSize(dc, font, Text(control), wraps ? w : 0);
        if (size.cx > w || size.cy > h)
            return Size(size.cx, size.cy) + " px, room " + Size(w, h);
        // Where the text is drawn: statics and group boxes at the top, other
        // buttons centred from top to bottom. A group box holds controls and
        // covers none.
        RECT drawn = { room.left, room.top, room.left + size.cx, room.top + size.cy }, crossing;
        if (type >= 0 && type != BS_GROUPBOX)
            OffsetRect(&drawn, 0, (h - size.cy) / 2);
        for (HWND other : controls) {
            RECT cover = layout.Map(WindowOnPage(page, other));
            if (other != control && ButtonType(other) != BS_GROUPBOX && IsWindowVisible(other) &&
                IntersectRect(&crossing, &drawn, &cover))
                return "covered by " + Name(other);
        }
        return "";
    }

    // One line for each control of the page that runs off it or whose text
    // does not fit or is covered, e.g. "\"Triangle\" (-1): 45 x 14 px, room
    // 40 x 14".
    std::vector<std::string> Misfits(int index, const Layout &layout)
    {
        HWND page = Page(index);
        std::vector<HWND> controls;
        for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            controls.push_back(c);
        RECT pageArea, onPage;
        GetClientRect(page, &pageArea);
        // The first page spreads its columns over the page area in its font's
        // units: in another font's layout, over as many of that font's.
        SendMessageA(page, WM_SIZE, 0, MAKELPARAM(MulDiv(pageArea.right, layout.pageBase.cx, layout.base.cx), pageArea.bottom));
        std::vector<std::string> misfits;
        for (HWND control : controls) {
            HFONT font = layout.font;
            if (!font)
                font = (HFONT)SendMessageA(control, WM_GETFONT, 0, 0);
            RECT window = layout.Map(WindowOnPage(page, control));
            std::string problem;
            if (!IntersectRect(&onPage, &window, &pageArea) || !EqualRect(&onPage, &window))
                problem = "runs off the page";
            else if (IsClass(control, "ComboBox"))
                problem = ListMisfit(index, control, layout, font);
            else if ((IsClass(control, "Static") || IsClass(control, "Button")) &&
                     !Text(control).empty())
                problem = CaptionMisfit(page, control, controls, layout, font);
            if (!problem.empty())
                misfits.push_back(Name(control) + ": " + problem);
        }
        SendMessageA(page, WM_SIZE, 0, MAKELPARAM(pageArea.right, pageArea.bottom));
        return misfits;
    }

    // Every page measured in one font, NULL for the page's own.
    void ExpectEveryTextFits(HFONT font)
    {
        SCOPED_TRACE("page font " + FaceOf(dc, pageFont) + ", measured in " +
                     FaceOf(dc, font ? font : pageFont));
        for (int index : { GRAPHIC_PAGE, KEYBOARD_PAGE, GAMEPAD_PAGE }) {
            RECT units = { 0, 0, 4, 8 };
            MapDialogRect(Page(index), &units);
            // The layout's rule is the dialog manager's.
            ASSERT_EQ(BaseUnits(dc, pageFont).cx, units.right);
            Layout layout{ font, BaseUnits(dc, font ? font : pageFont),
                           { units.right, units.bottom } };
            EXPECT_EQ(Misfits(index, layout), std::vector<std::string>{}) << "page " << index;
        }
    }

    HFONT pageFont = NULL;
    HDC dc = NULL;
};

TEST_F(PageTextFit, EveryTextFitsInThePagesOwnFont)
{
    ExpectEveryTextFits(NULL);
}

TEST_F(PageTextFit, EveryTextFitsInTheTemplateFont)
{
    LOGFONTA logfont;
    ASSERT_TRUE(GetObjectA(pageFont, sizeof logfont, &logfont));
    lstrcpyA(logfont.lfFaceName, "IPAPGothic");
    HFONT font = CreateFontIndirectA(&logfont);
    std::string face = FaceOf(dc, font);
    if (face == "IPAPGothic")
        ExpectEveryTextFits(font);
    DeleteObject(font);
    EXPECT_EQ(face, "IPAPGothic")
        << "IPAPGothic, which stands for MS PGothic here, is missing: install the Debian "
           "package fonts-ipafont-gothic (scripts/common.sh does)";
}

} // namespace
