// The page templates as the executable carries them: control order (which
// is the tab order and decides the radio groups), ids, classes, styles,
// rectangles, font and language. Read straight from the resource, so a
// slip in the resource script shows here rather than on a player's screen.
#include "tests/sheet_harness.h"

#include <commctrl.h>

#include "res/resource.h"

namespace {

struct TemplateItem {
    int id;
    std::string windowClass; // lower case: "button", "static", "combobox"
    std::string caption;
    short x, y, cx, cy;
    DWORD style;
};

struct DialogTemplate {
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::string caption, font;
    WORD points = 0;
    std::vector<TemplateItem> items;
};

std::string ReadText(const WORD *&p)
{
    std::string text;
    while (*p)
        text += (char)*p++;
    ++p;
    return text;
}

// A class or caption field: either 0xFFFF and an ordinal, or a string.
WORD ReadOrdinal(const WORD *&p, std::string *text)
{
    if (*p == 0xFFFF) {
        WORD ordinal = p[1];
        p += 2;
        return ordinal;
    }
    std::string value = ReadText(p);
    if (text)
        *text = value;
    return 0;
}

DialogTemplate LoadTemplate(int id, LANGID language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US))
{
    DialogTemplate result;
    HRSRC found = FindResourceExA(NULL, (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(id), language);
    if (!found)
        return result;
    const WORD *p = (const WORD *)LockResource(LoadResource(NULL, found));
    EXPECT_EQ(p[0], 1);        // DLGTEMPLATEEX
    EXPECT_EQ(p[1], 0xFFFF);
    const DWORD *d = (const DWORD *)(p + 2);
    result.style = d[2];
    WORD count = *(const WORD *)(d + 3);
    const short *rect = (const short *)(d + 3) + 1;
    result.cx = rect[2];
    result.cy = rect[3];
    p = (const WORD *)(rect + 4);
    ReadOrdinal(p, NULL);      // menu
    ReadOrdinal(p, NULL);      // class
    result.caption = ReadText(p);
    result.points = p[0];
    p += 3;                    // points, weight, italic + charset
    result.font = ReadText(p);
    for (WORD i = 0; i < count; ++i) {
        p = (const WORD *)(((uintptr_t)p + 3) & ~(uintptr_t)3);
        const DWORD *item = (const DWORD *)p;
        TemplateItem control;
        control.style = item[2];
        const short *r = (const short *)(item + 3);
        control.x = r[0];
        control.y = r[1];
        control.cx = r[2];
        control.cy = r[3];
        control.id = (int)*(const DWORD *)(r + 4);
        p = (const WORD *)(r + 4) + 2;
        // The class may be stored as its predefined ordinal or by name.
        std::string className;
        WORD atom = ReadOrdinal(p, &className);
        control.windowClass = atom == 0x80 ? "button" : atom == 0x82 ? "static"
                            : atom == 0x85 ? "combobox" : CharLowerA(&className[0]);
        ReadOrdinal(p, &control.caption);
        WORD extra = *p++;
        p = (const WORD *)((const BYTE *)p + extra);
        result.items.push_back(control);
    }
    return result;
}

const DWORD PageStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
const DWORD Child = WS_CHILD | WS_VISIBLE;
const char *const Button = "button", *const Static = "static", *const Combo = "combobox";

void ExpectItems(const DialogTemplate &dialog, const std::vector<TemplateItem> &expected)
{
    ASSERT_EQ(dialog.items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const TemplateItem &a = dialog.items[i], &e = expected[i];
        SCOPED_TRACE(testing::Message() << "control " << i + 1 << " \"" << e.caption << "\"");
        EXPECT_EQ((short)a.id, (short)e.id);
        EXPECT_EQ(a.windowClass, e.windowClass);
        EXPECT_EQ(a.caption, e.caption);
        EXPECT_EQ(a.x, e.x);
        EXPECT_EQ(a.y, e.y);
        EXPECT_EQ(a.cx, e.cx);
        EXPECT_EQ(a.cy, e.cy);
        EXPECT_EQ(a.style, Child | e.style) << std::hex << a.style;
    }
}

// The Japanese template: the English one's controls (ids, classes, styles,
// order) on a page of the same size, style and font.
void ExpectJapaneseAlike(int id, const DialogTemplate &en)
{
    DialogTemplate ja = LoadTemplate(id, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    EXPECT_EQ(std::tie(ja.style, ja.cx, ja.cy, ja.font, ja.points), std::tie(en.style, en.cx, en.cy, en.font, en.points)) << id;
    ASSERT_EQ(ja.items.size(), en.items.size()) << id;
    for (size_t i = 0; i < en.items.size(); ++i) {
        const TemplateItem &j = ja.items[i], &e = en.items[i];
        EXPECT_EQ(std::tie(j.id, j.windowClass, j.style), std::tie(e.id, e.windowClass, e.style)) << id << ", control " << i;
    }
}

TEST(PageTemplates, GraphicAudioPageHasItsControlsInTabOrder)
{
    DialogTemplate page = LoadTemplate(IDD_GRAPHIC_AUDIO);
    EXPECT_EQ(page.style, PageStyle);
    EXPECT_EQ(page.caption, "Graphic/Audio Settings");
    EXPECT_EQ(page.font, "MS PGothic");
    EXPECT_EQ(page.points, 9);
    EXPECT_EQ(page.cx, 286);
    EXPECT_EQ(page.cy, 258);
    const DWORD group = BS_GROUPBOX, radio = BS_AUTORADIOBUTTON, check = BS_AUTOCHECKBOX | WS_TABSTOP;
    ExpectItems(page, {
        { -1, Button, "Screen Mode", 5, 5, 135, 60, group },
        { 1000, Button, "Window Mode", 15, 20, 61, 10, radio | WS_GROUP },
        { 1001, Button, "Full Screen Mode (High Color)", 15, 35, 109, 10, radio },
        { 1002, Button, "Full Screen Mode (True Color)", 15, 50, 109, 10, radio },
        { -1, Button, "Texture Color", 145, 5, 136, 60, group },
        { 1007, Button, "High Color", 155, 20, 50, 10, radio | WS_GROUP },
        { 1008, Button, "True Color", 155, 35, 50, 10, radio },
        { -1, Button, "Frame Handling", 105, 70, 176, 55, group },
        { -1, Static, "Frame Rate", 115, 85, 43, 8, SS_LEFT | WS_GROUP },
        { 1003, Button, "30 FPS", 195, 85, 35, 10, radio | WS_GROUP },
        { 1004, Button, "60 FPS", 240, 85, 35, 10, radio },
        { 1014, Button, "V-Sync On", 115, 100, 67, 10, check },
        { -1, Button, "Video Options", 5, 70, 95, 55, group },
        { 1013, Button, "Pixel Shader", 15, 85, 79, 10, check },
        { 1011, Button, "Fixed Aspect Ratio", 15, 100, 79, 10, check },
        { -1, Button, "Palette Effect", 5, 130, 135, 35, group },
        { -1, Static, "Effects", 15, 145, 32, 8, SS_LEFT | WS_GROUP },
        { 1005, Button, "Standard", 47, 145, 41, 10, radio | WS_GROUP },
        { 1006, Button, "Simple", 93, 145, 41, 10, radio },
        { -1, Button, "Movie", 145, 130, 136, 35, group },
        { 1015, Button, "Skip Videos", 155, 145, 56, 10, check },
        { -1, Button, "Sound Options", 5, 170, 276, 35, group },
        { 1016, Button, "Disable Sound", 15, 185, 85, 10, check },
        { 1010, Button, "Disable BGMs", 155, 185, 63, 10, check },
        // Where "Reset to Default" is on the assignment pages.
        { 1020, Button, "Default Settings", 201, 210, 80, 14, BS_PUSHBUTTON | WS_TABSTOP },
        // After the controls of old, below "Default Settings": what the
        // start switched off, room for three lines.
        { IDC_START_CORRECTIONS, Static, "", 5, 229, 276, 24, SS_LEFT | SS_NOPREFIX },
    });
    ExpectJapaneseAlike(IDD_GRAPHIC_AUDIO, page);
}

// The assignment pages: the player group, the 18 labels, the 18 lists in id
// order, and their own tail of buttons.
void ExpectAssignmentLayout(const DialogTemplate &page, const char *assignmentGroup, short listWidth)
{
    ASSERT_GE(page.items.size(), 41u);
    EXPECT_EQ(page.style, PageStyle);
    EXPECT_EQ(page.font, "MS PGothic");
    EXPECT_EQ(page.points, 9);
    EXPECT_EQ(page.items[1].style, Child | BS_AUTORADIOBUTTON | WS_GROUP);   // no tab stop
    EXPECT_EQ(page.items[2].style, Child | BS_AUTORADIOBUTTON);
    EXPECT_EQ(page.items[3].caption, assignmentGroup);
    const char *labels[18] = { "Up", "Down", "Left", "Right", "Circle", "Cross", "Triangle", "Square",
                               "L1", "L2", "R1", "R2", "Select", "Start",
                               "Up(A)", "Down(A)", "Left(A)", "Right(A)" };
    const int lists[18] = { 1041, 1042, 1043, 1044, 1045, 1046, 1047, 1048, 1049, 1050, 1051, 1052,
                            1053, 1054, 1057, 1058, 1059, 1060 };
    for (int i = 0; i < 18; ++i) {
        const TemplateItem &label = page.items[4 + i], &list = page.items[22 + i];
        EXPECT_EQ(label.caption, labels[i]);
        EXPECT_EQ(label.style, Child | SS_LEFT | WS_GROUP) << labels[i];
        EXPECT_EQ(list.id, lists[i]);
        EXPECT_EQ(list.windowClass, Combo);
        EXPECT_EQ(list.style, Child | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP) << list.id;
        EXPECT_EQ(list.cx, listWidth);
        EXPECT_EQ(list.cy, 150);
        // Each label sits just left of its list, on the same row.
        EXPECT_EQ(label.y, list.y + 5) << labels[i];
        EXPECT_LT(label.x, list.x) << labels[i];
    }
}

TEST(PageTemplates, AssignmentPagesShareTheirLayout)
{
    DialogTemplate keyboard = LoadTemplate(IDD_KEYBOARD);
    EXPECT_EQ(keyboard.caption, "Keyboard Settings");
    EXPECT_EQ(keyboard.cx, 364);
    EXPECT_EQ(keyboard.cy, 350);
    ExpectAssignmentLayout(keyboard, "Key Assignment", 60);
    ASSERT_EQ(keyboard.items.size(), 44u);
    EXPECT_EQ(keyboard.items[40].id, IDC_RESET);
    // After the controls of old, the line naming inputs assigned twice,
    // below "Reset to Default".
    const DWORD note = Child | SS_LEFT | SS_NOPREFIX;
    EXPECT_EQ(keyboard.items[41].id, IDC_DUPLICATES);
    EXPECT_EQ(keyboard.items[41].style, note);
    EXPECT_GE(keyboard.items[41].y, keyboard.items[40].y + keyboard.items[40].cy);

    DialogTemplate gamepad = LoadTemplate(IDD_GAMEPAD);
    EXPECT_EQ(gamepad.caption, "Gamepad Settings");
    // As large as the keyboard page, in the same place on it.
    EXPECT_EQ(gamepad.cx, keyboard.cx);
    EXPECT_EQ(gamepad.cy, keyboard.cy);
    // Its lists in two columns, wide enough for the inputs' names.
    ExpectAssignmentLayout(gamepad, "Button Assignment", 104);
    ASSERT_EQ(gamepad.items.size(), 56u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(gamepad.items[i].x, keyboard.items[i].x) << i;
        EXPECT_EQ(gamepad.items[i].y, keyboard.items[i].y) << i;
    }
    for (int i = 22; i < 40; ++i)
        EXPECT_TRUE(gamepad.items[i].x == 37 || gamepad.items[i].x == 175) << i;
    // "Slider" comes before "Reset to Default", which comes before "Rotater".
    EXPECT_EQ(gamepad.items[40].caption, "Advanced");
    EXPECT_EQ(gamepad.items[41].id, IDC_SLIDER);
    EXPECT_EQ(gamepad.items[42].id, IDC_RESET);
    EXPECT_EQ(gamepad.items[43].id, IDC_ROTATER);
    EXPECT_EQ(gamepad.items[43].style, Child | BS_AUTOCHECKBOX | WS_TABSTOP);
    // Then the pad lines, the hint and the duplicate line, one below the
    // other under "Reset to Default", inside the template.
    const int notes[4] = { IDC_PAD_LINE_FIRST, IDC_PAD_LINE_FIRST + 1, IDC_PAD_HINT, IDC_DUPLICATES };
    const DWORD styles[4] = { note | SS_ENDELLIPSIS, note | SS_ENDELLIPSIS, note, note };
    short below = gamepad.items[42].y + gamepad.items[42].cy;
    for (int i = 0; i < 4; ++i) {
        const TemplateItem &item = gamepad.items[44 + i];
        EXPECT_EQ(item.id, notes[i]);
        EXPECT_EQ(item.windowClass, Static);
        EXPECT_EQ(item.style, styles[i]) << item.id;
        EXPECT_GE(item.y, below) << item.id;
        below = item.y + item.cy;
    }
    EXPECT_LE(below, gamepad.cy);
    EXPECT_EQ(gamepad.items[42].x, keyboard.items[40].x);   // "Reset to Default"
    EXPECT_EQ(gamepad.items[42].y, keyboard.items[40].y);
    // Then "Pad Layout", disabled until the page knows the pad's layout,
    // the layout's source beside each pad line and the hidden layout hint.
    // Where they lie is the text fit test's to check.
    const TemplateItem &layout = gamepad.items[48];
    EXPECT_EQ(layout.id, IDC_PAD_LAYOUT);
    EXPECT_EQ(layout.caption, "Pad Layout");
    EXPECT_EQ(layout.style, Child | BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED);
    for (int pad = 0; pad < 2; ++pad) {
        EXPECT_EQ(gamepad.items[49 + pad].id, IDC_PAD_LAYOUT_SOURCE_FIRST + pad);
        EXPECT_EQ(gamepad.items[49 + pad].style, note);
    }
    EXPECT_EQ(gamepad.items[51].id, IDC_PAD_LAYOUT_HINT);
    EXPECT_EQ(gamepad.items[51].style, note & ~WS_VISIBLE);
    ExpectJapaneseAlike(IDD_KEYBOARD, keyboard);
    ExpectJapaneseAlike(IDD_GAMEPAD, gamepad);
}

} // namespace
