// The assignment pages' record, lists and marks, for the keyboard and the
// gamepad page alike.
#include "pages/assign_lists.h"

#include <string.h>

#include "pages/page_common.h"

void InitAssignPage(AssignPage &page, const AssignPageKind &kind, HWND window)
{
    int player = page.player;
    memset(&page, 0, sizeof page);
    page.kind = &kind;
    page.window = window;
    page.player = player;
    AssignPageMarks &marks = page.marks;
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        marks.shown[a] = ASSIGN_NO_INPUT;
        marks.labels[a] = GetDlgItem(window, IDC_ASSIGN_LABEL_FIRST + a);
        if (marks.labels[a])
            GetWindowTextA(marks.labels[a], marks.names[a], LABEL_NAME_SIZE);
    }
}

uint32_t AssignListValue(const AssignPage &page, int a)
{
    HWND list = AssignList(page.window, a);
    if (!list)
        return 0;
    LRESULT item = SendMessageA(list, CB_GETCURSEL, 0, 0);
    return item < 0 ? page.kind->noValue : (uint32_t)SendMessageA(list, CB_GETITEMDATA, item, 0);
}

void ShowAssignValues(AssignPage &page, const uint32_t values[ASSIGN_COUNT])
{
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        HWND list = AssignList(page.window, a);
        if (list)
            page.kind->showValue(list, values[a]);
    }
}

void LoadAssignRow(AssignPage &page, int player)
{
    uint32_t values[ASSIGN_COUNT];
    page.kind->readRow(player, values);
    page.player = player;
    ShowAssignValues(page, values);
    RefreshAssignMarks(page);
}

void StoreAssignRow(AssignPage &page, int player)
{
    uint32_t values[ASSIGN_COUNT];
    for (int a = 0; a < ASSIGN_COUNT; ++a)
        values[a] = AssignListValue(page, a);
    page.kind->writeRow(player, values);
}

static void SetLabelMarks(AssignPageMarks &marks, int a, uint8_t value)
{
    if (marks.marks[a] == value)
        return;
    marks.marks[a] = value;
    InvalidateRect(marks.labels[a], NULL, TRUE);
}

void MarkHeldLabels(AssignPage &page)
{
    AssignPageMarks &marks = page.marks;
    for (int a : AssignListOrder) {
        uint32_t input = marks.shown[a];
        bool down = input != ASSIGN_NO_INPUT && page.kind->isHeld(input);
        SetLabelMarks(marks, a, (uint8_t)((marks.marks[a] & ~LABEL_PRESSED) | (down ? LABEL_PRESSED : 0)));
    }
}

// A text built in a fixed buffer: appends stop at its end, so a damaged
// file with many duplicates cannot write past it. They stop before a
// character that does not fit whole: in a double-byte code page (Japanese,
// 932) a character may take two bytes, and half of one would show as
// another.
struct BoundedText {
    char text[1024];
    int length;
};

static void Append(BoundedText &out, const char *part)
{
    while (*part) {
        const char *next = CharNextA(part);
        if (out.length + (int)(next - part) > (int)sizeof out.text - 1)
            break;
        while (part < next)
            out.text[out.length++] = *part++;
    }
    out.text[out.length] = '\0';
}

// Whether text fits the static control with word wrapping, in its font.
static bool FitsControl(HWND control, const char *text)
{
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(control, WM_GETFONT, 0, 0));
    RECT needed = { 0, 0, client.right, 0 };
    DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return needed.right <= client.right && needed.bottom <= client.bottom;
}

// The pieces of the duplicate line, from the string table.
struct DuplicateWords {
    char heading[64], inputEnd[8], nextInput[8], firstName[16], nextName[16], otherPlayer[48],
        more[48];
};

static void LoadDuplicateWords(HWND page, DuplicateWords &w)
{
    LoadPageText(page, IDS_TWICE_HEADING, w.heading, sizeof w.heading);
    LoadPageText(page, IDS_TWICE_INPUT_END, w.inputEnd, sizeof w.inputEnd);
    LoadPageText(page, IDS_TWICE_NEXT_INPUT, w.nextInput, sizeof w.nextInput);
    LoadPageText(page, IDS_TWICE_FIRST_NAME, w.firstName, sizeof w.firstName);
    LoadPageText(page, IDS_TWICE_NEXT_NAME, w.nextName, sizeof w.nextName);
    LoadPageText(page, IDS_TWICE_OTHER_PLAYER, w.otherPlayer, sizeof w.otherPlayer);
    LoadPageText(page, IDS_TWICE_MORE, w.more, sizeof w.more);
}

// Names, in the page's duplicate line, every shown input that is on two or
// more of the shown player's lists or also on one of the other player's
// (other, in AssignIndex order, ASSIGN_NO_INPUT for none), and marks the
// labels of the shown rows involved. When the line would not fit, it names
// the first inputs that do and how many more there are.
static void ShowDuplicates(AssignPage &page, const uint32_t other[ASSIGN_COUNT], int otherPlayer)
{
    AssignPageMarks &marks = page.marks;
    DuplicateWords words;
    LoadDuplicateWords(page.window, words);
    BoundedText line;
    line.length = 0;
    Append(line, words.heading);
    int ends[ASSIGN_COUNT];   // where each named input's part ends
    int firstInputEnd = 0;    // the heading and the first input's text
    int named = 0;
    bool duplicate[ASSIGN_COUNT] = {};
    for (int a : AssignListOrder) {
        uint32_t input = marks.shown[a];
        if (input == ASSIGN_NO_INPUT || duplicate[a])
            continue;
        int shownCount = 0, otherCount = 0;
        for (int b : AssignListOrder) {
            shownCount += marks.shown[b] == input;
            otherCount += other[b] == input;
        }
        if (shownCount < 2 && otherCount == 0)
            continue;
        char text[ASSIGN_INPUT_TEXT_SIZE];
        page.kind->inputText(text, input);
        if (named > 0)
            Append(line, words.nextInput);
        Append(line, text);
        if (named == 0)
            firstInputEnd = line.length;
        Append(line, words.inputEnd);
        const char *separator = words.firstName;
        char name[LABEL_NAME_SIZE + 64];
        for (int b : AssignListOrder) {
            if (marks.shown[b] != input)
                continue;
            duplicate[b] = true;
            wsprintfA(name, separator, marks.names[b]);
            Append(line, name);
            separator = words.nextName;
        }
        for (int b : AssignListOrder) {
            if (other[b] != input)
                continue;
            char player[LABEL_NAME_SIZE + 48];
            wsprintfA(player, words.otherPlayer, otherPlayer + 1, marks.names[b]);
            wsprintfA(name, separator, player);
            Append(line, name);
            separator = words.nextName;
        }
        ends[named++] = line.length;
    }

    HWND control = GetDlgItem(page.window, IDC_DUPLICATES);
    if (named == 0) {
        line.text[0] = '\0';
    } else if (!FitsControl(control, line.text)) {
        // The first inputs that fit, and how many more there are; at
        // least the first input's own text.
        char shortened[sizeof line.text + 64];
        for (int kept = named - 1;; --kept) {
            int end = kept > 0 ? ends[kept - 1] : firstInputEnd;
            int more = named - (kept > 0 ? kept : 1);
            memcpy(shortened, line.text, end);
            shortened[end] = '\0';
            if (more > 0)
                wsprintfA(shortened + end, words.more, more);
            if (kept == 0 || FitsControl(control, shortened))
                break;
        }
        lstrcpynA(line.text, shortened, sizeof line.text);
    }
    SetWindowTextA(control, line.text);
    for (int a : AssignListOrder) {
        SetLabelMarks(marks, a, (uint8_t)((marks.marks[a] & ~LABEL_DUPLICATE) |
                                          (duplicate[a] ? LABEL_DUPLICATE : 0)));
    }
}

void RefreshAssignMarks(AssignPage &page)
{
    const AssignPageKind &kind = *page.kind;
    uint32_t other[ASSIGN_COUNT];
    int otherPlayer = 1 - page.player;
    kind.readRow(otherPlayer, other);
    for (int a = 0; a < ASSIGN_COUNT; ++a) {
        page.marks.shown[a] = page.marks.labels[a] ? kind.inputOf(AssignListValue(page, a))
                                                   : ASSIGN_NO_INPUT;
        other[a] = kind.inputOf(other[a]);
    }
    ShowDuplicates(page, other, otherPlayer);
    MarkHeldLabels(page);
    if (kind.inputsShown)
        kind.inputsShown(page);
}

void CaptureAssignInput(AssignPage &page, int a, uint32_t input)
{
    if (page.kind->showInput(page, a, input))
        RefreshAssignMarks(page);
    MarkSheetChanged(page.window);
}

INT_PTR AssignLabelColours(const AssignPage &page, HDC dc, HWND control)
{
    // The line of a pass of "Assign All", shown only while one runs, stands
    // out in the selection colours.
    if (GetDlgCtrlID(control) == IDC_ASSIGN_PASS_LINE)
        return MarkedStaticColours(page.window, dc, control, LABEL_PRESSED);
    for (int a : AssignListOrder) {
        if (page.marks.labels[a] == control)
            return MarkedStaticColours(page.window, dc, control, page.marks.marks[a]);
    }
    return 0;
}
