// What both assignment pages share about their lists: which list has the
// focus, and the lists' drop-downs after they were filled with redrawing off.

#include "tests/sheet_harness.h"

#include <commctrl.h>

#include "pages/pages.h"
#include "res/resource.h"

namespace {

class AssignmentListsTest : public SheetTest {
protected:
    void OpenBothPages()
    {
        // A rotation axis and a slider enable the Advanced boxes, which can
        // then take the focus.
        FakeInput.AddPad(12).Axis(GUID_RxAxis).Sliders(1);
        OpenSheet();
        ShowPage(KEYBOARD_PAGE);
        ShowPage(GAMEPAD_PAGE);
    }
};

TEST_F(AssignmentListsTest, TheFocusedListIsFoundOnItsOwnPageOnly)
{
    OpenBothPages();
    struct Case {
        int page;           // whose control gets the focus
        int id;
        int onKeyboard;     // FocusedAssignIndex of the keyboard page
        int onGamepad;      // and of the gamepad page
    };
    const Case cases[] = {
        { KEYBOARD_PAGE, 1041, 0, -1 },            // "Up"
        { KEYBOARD_PAGE, 1054, 13, -1 },           // "Start"
        { KEYBOARD_PAGE, 1060, 19, -1 },           // "Right(A)", the last list
        { KEYBOARD_PAGE, IDC_PLAYER2, -1, -1 },
        { KEYBOARD_PAGE, IDC_RESET, -1, -1 },
        { GAMEPAD_PAGE, 1057, -1, 16 },            // "Up(A)"
        { GAMEPAD_PAGE, 1045, -1, 4 },             // "Circle"
        { GAMEPAD_PAGE, IDC_SLIDER, -1, -1 },
        { GAMEPAD_PAGE, IDC_ROTATER, -1, -1 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        Focus(c.page, c.id);
        ASSERT_EQ(GetFocus(), Control(c.page, c.id));
        EXPECT_EQ(FocusedAssignIndex(Page(KEYBOARD_PAGE)), c.onKeyboard);
        EXPECT_EQ(FocusedAssignIndex(Page(GAMEPAD_PAGE)), c.onGamepad);
    }
    SetFocus(NULL);
    EXPECT_EQ(FocusedAssignIndex(Page(KEYBOARD_PAGE)), -1);
    EXPECT_EQ(FocusedAssignIndex(Page(GAMEPAD_PAGE)), -1);
}

// Filled with redrawing off, each list must have it on again: its drop-down
// then scrolls over all its rows.
TEST_F(AssignmentListsTest, EveryDropDownScrollsOverAllItsRows)
{
    OpenBothPages();
    for (int page : { KEYBOARD_PAGE, GAMEPAD_PAGE }) {
        for (int id = IDC_ASSIGN_FIRST; id <= IDC_ASSIGN_LAST; ++id) {
            HWND list = Control(page, id);
            if (!list)
                continue;
            SCOPED_TRACE(id);
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            ASSERT_TRUE(GetComboBoxInfo(list, &info));
            SCROLLINFO scroll{};
            scroll.cbSize = sizeof scroll;
            scroll.fMask = SIF_RANGE | SIF_PAGE;
            GetScrollInfo(info.hwndList, SB_VERT, &scroll);
            EXPECT_EQ(scroll.nMax + 1, SendMessageA(list, CB_GETCOUNT, 0, 0));
        }
    }
}

} // namespace
