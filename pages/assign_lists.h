// The two assignment pages, the keyboard and the gamepad page, are one page
// over two devices. Each shows one player's assignments at a time in 18
// lists (ids IDC_ASSIGN_FIRST + AssignIndex), captures an input into the
// focused list, marks the labels of inputs that are assigned twice or held,
// names the inputs assigned twice in its duplicate line, and runs "Assign
// All". What makes a page the keyboard or the gamepad page is one const
// AssignPageKind table; everything the page keeps is one AssignPage record.
//
// This unit holds the record, the lists and the marks; pages/assign_pass.h
// is "Assign All", and pages/assign_page.h the messages both pages handle
// alike.
//
// The shown player's assignments live in the list selections; the settings
// record is brought up to date only by StoreAssignRow, at a player switch
// and on PSN_APPLY. The templates have no list for AssignIndex 14, 15 and
// 20..23: loading passes over them, and storing writes 0 for them.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "input/assign_index.h"
#include "input/input.h"
#include "pages/tooltips.h"

// An input: a key's scan code or a PadBinding; ASSIGN_NO_INPUT for none.
#define ASSIGN_NO_INPUT 0xFFFFFFFFu
// The longest text of an input as the lists show it.
#define ASSIGN_INPUT_TEXT_SIZE 48
// The labels' own texts, as long as they may be.
#define LABEL_NAME_SIZE 16

struct AssignPage;

// What makes an assignment page the keyboard or the gamepad page. A list's
// entries carry, as item data, the values a player's row stores: a key
// code, a PadBinding.
struct AssignPageKind {
    // Reading the device: the first input held that choose takes (with its
    // context), else the earliest one pressed since the last read;
    // ASSIGN_NO_INPUT for none. held: the same among the inputs held at the
    // last read, without reading again. isHeld: whether an input was held
    // at the last read. stopCapture: the page was left; the device is
    // given up until the next poll.
    uint32_t (*poll)(InputChoice choose, void *context);
    uint32_t (*held)(InputChoice choose, void *context);
    bool (*isHeld)(uint32_t input);
    void (*stopCapture)();
    // Naming an input: whether the lists offer it; its text as the lists
    // show it, into ASSIGN_INPUT_TEXT_SIZE bytes.
    bool (*offered)(uint32_t input);
    void (*inputText)(char *text, uint32_t input);
    // The lists: filling them all, once; showing a row's value in one of
    // them; showing an input captured into (or chosen in) the list of
    // AssignIndex a, true when a list of the page now shows something else
    // than the marks last took. inputOf: the input a value stands for,
    // ASSIGN_NO_INPUT for none and for one no entry can show. noValue: the
    // value of a list that has no selection. analogGroups: a choice in an
    // AnalogGroup's list goes through showInput, by the group's rule.
    void (*fillLists)(AssignPage &page);
    void (*showValue)(HWND list, uint32_t value);
    bool (*showInput)(AssignPage &page, int a, uint32_t input);
    uint32_t (*inputOf)(uint32_t value);
    uint32_t noValue;
    bool analogGroups;
    // A player's row in the settings record, by AssignIndex: reading it,
    // writing it, and the factory row.
    void (*readRow)(int player, uint32_t values[ASSIGN_COUNT]);
    void (*writeRow)(int player, const uint32_t values[ASSIGN_COUNT]);
    void (*applyDefaults)(int player);
    // The page's tooltips, those of its lists first.
    const TooltipEntry *tooltips;
    int tooltipRows;
    // After the marks follow a change of the shown inputs: what else the
    // page shows of them; NULL for nothing.
    void (*inputsShown)(AssignPage &page);
};

// The label left of each list: drawn in a warning colour while its input
// is assigned twice, highlighted while its input is pressed.
struct AssignPageMarks {
    HWND labels[ASSIGN_COUNT];                  // NULL where no list is
    char names[ASSIGN_COUNT][LABEL_NAME_SIZE];  // the labels' own texts
    uint32_t shown[ASSIGN_COUNT];               // the shown player's inputs
    uint8_t marks[ASSIGN_COUNT];                // LABEL_ bits
};

// A pass of "Assign All" (pages/assign_pass.cpp).
#define ASSIGN_PASS_BLOCKED_MAX 64
struct AssignPassState {
    bool running;
    int step;                 // the list that has the focus, in AssignListOrder
    uint32_t taken;           // what that list took, until it is let go
    uint32_t pressedAgain;    // an input given before that was pressed for it
    // Inputs held when the list got the focus, until they are let go.
    uint32_t blocked[ASSIGN_PASS_BLOCKED_MAX];
    int blockedCount;
    // The inputs the pass gave, and to which list; lists the AnalogGroup
    // rule filled along with one the player pressed for are skipped.
    struct {
        uint32_t input;
        int assignIndex;
    } given[ASSIGN_COUNT];
    int givenCount;
    bool filled[ASSIGN_COUNT];
};

struct AssignPage {
    const AssignPageKind *kind;
    HWND window;
    int player;   // the player shown: 0 or 1; kept when the page is made again
    AssignPageMarks marks;
    AssignPassState pass;
};

// The page was made: the record takes its kind and window and finds the
// labels; the marks and the pass start empty. The player stays.
void InitAssignPage(AssignPage &page, const AssignPageKind &kind, HWND window);

// The value the list of AssignIndex a holds: its selection's item data,
// noValue without a selection, 0 where no list is.
uint32_t AssignListValue(const AssignPage &page, int a);
// Shows a row of values in the lists (the marks do not follow).
void ShowAssignValues(AssignPage &page, const uint32_t values[ASSIGN_COUNT]);
// Shows a player's row, with its marks; nothing is marked changed.
void LoadAssignRow(AssignPage &page, int player);
// Writes the lists into a player's row.
void StoreAssignRow(AssignPage &page, int player);

// After every change of the shown inputs: the duplicate line, the warning
// and the pressed marks. The other player's values count by the input
// they stand for, also when no list offers it.
void RefreshAssignMarks(AssignPage &page);
// The pressed marks, from the inputs held now; redraws only labels that
// change.
void MarkHeldLabels(AssignPage &page);
// An input pressed while the list of AssignIndex a has the focus: the list
// shows it (if it has an entry), the marks follow, and Apply becomes
// active, again at every tick while it stays held.
void CaptureAssignInput(AssignPage &page, int a, uint32_t input);

// WM_CTLCOLORSTATIC of an assignment page for its labels and the line of
// "Assign All"; 0 for any other control.
INT_PTR AssignLabelColours(const AssignPage &page, HDC dc, HWND control);
