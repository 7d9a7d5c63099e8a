// The messages both assignment pages handle alike.
#include "pages/assign_page.h"

#include <prsht.h>

#include "pages/assign_pass.h"
#include "pages/page_common.h"

// The capture timer of an assignment page: id 0 on the page window, ticks
// as WM_TIMER every 33 ms while the page is the sheet's active page.
static const UINT_PTR CaptureTimer = 0;
static const UINT CapturePeriod = 33;

void OpenAssignPage(AssignPage &page, const AssignPageKind &kind, HWND window)
{
    InitAssignPage(page, kind, window);
    kind.fillLists(page);
    CheckDlgButton(window, IDC_PLAYER1, page.player == 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_PLAYER2, page.player == 1 ? BST_CHECKED : BST_UNCHECKED);
    LoadAssignRow(page, page.player);
    // Made once the page is shown: the page is filled, loaded and painted
    // before its tooltip windows are made (under Wine each is a top-level
    // window with an X11 window of its own).
    AddPageTooltipsAfterShown(window, kind.tooltips, kind.tooltipRows);
}

// Shows a player's row, after storing the shown one; the radio button of
// the player already shown does nothing. Neither it nor a reset marks the
// sheet changed.
static void ShowAssignPlayer(AssignPage &page, int player)
{
    if (page.player == player)
        return;
    StoreAssignRow(page, page.player);
    LoadAssignRow(page, player);
}

void AssignPageCommand(AssignPage &page, int id, int notification)
{
    AssignPassCommand(page, id, notification);
    switch (id) {
    case IDC_ASSIGN_ALL:
        StartAssignPass(page);
        return;
    case IDC_PLAYER1:
        ShowAssignPlayer(page, 0);
        return;
    case IDC_PLAYER2:
        ShowAssignPlayer(page, 1);
        return;
    case IDC_RESET:
        page.kind->applyDefaults(page.player);
        LoadAssignRow(page, page.player);
        return;
    }
    if (id < IDC_ASSIGN_FIRST || id > IDC_ASSIGN_LAST || notification != CBN_SELCHANGE)
        return;
    // The user chose an entry: inside an AnalogGroup the group's rule
    // follows the choice.
    int a = id - IDC_ASSIGN_FIRST;
    if (page.kind->analogGroups && InAnalogGroup(a))
        page.kind->showInput(page, a, AssignListValue(page, a));
    RefreshAssignMarks(page);
    MarkSheetChanged(page.window);
}

INT_PTR AssignPageNotify(AssignPage &page, const NMHDR *header)
{
    switch (header->code) {
    case PSN_APPLY:
        StoreAssignRow(page, page.player);
        return SaveSettingsForPage(page.window);
    case PSN_KILLACTIVE:
        EndAssignPass(page);
        KillTimer(page.window, CaptureTimer);
        page.kind->stopCapture();
        return 0;
    case PSN_SETACTIVE:
        // Setting it again while it runs only restarts its period.
        SetTimer(page.window, CaptureTimer, CapturePeriod, NULL);
        return 0;
    }
    return 0;
}

void AssignPageTick(AssignPage &page)
{
    FinishPageTooltips(page.window);
    if (!AssignPassTick(page)) {
        // The first input held decides (on the keyboard the lowest code:
        // a held key outside the table blocks every key above it).
        uint32_t input = page.kind->poll(NULL, NULL);
        int a = input != ASSIGN_NO_INPUT ? FocusedAssignIndex(page.window) : -1;
        if (a >= 0)
            CaptureAssignInput(page, a, input);
    }
    MarkHeldLabels(page);
}
