// AssignIndex: which of the game's buttons an assignment list stands for,
// on the keyboard and the gamepad page alike. The list of AssignIndex a
// has the control id 1041 + a; a player's row in the settings record has
// one entry per AssignIndex (a key row through the keyboard page's slot
// map). The one place that counts them.
#pragma once

enum AssignIndex {
    ASSIGN_UP, ASSIGN_DOWN, ASSIGN_LEFT, ASSIGN_RIGHT,
    ASSIGN_CIRCLE, ASSIGN_CROSS, ASSIGN_TRIANGLE, ASSIGN_SQUARE,
    ASSIGN_L1, ASSIGN_L2, ASSIGN_R1, ASSIGN_R2, ASSIGN_SELECT, ASSIGN_START,
    // 14 and 15 have no list.
    ASSIGN_UP_A = 16, ASSIGN_DOWN_A, ASSIGN_LEFT_A, ASSIGN_RIGHT_A,
    // 20..23 have no list either.
    ASSIGN_COUNT = 24,

    // From here on the indices come in AnalogGroups (16..19, 20..23): up,
    // down, left and right, as two pairs of ends.
    ASSIGN_ANALOG_FIRST = ASSIGN_UP_A,
};
#define ANALOG_GROUP_SIZE 4
#define ANALOG_PAIR_SIZE 2

// The 18 lists a page shows, in the order of their labels and of keyboard
// navigation: Up, Down, Left, Right, Circle, Cross, Triangle, Square, L1,
// L2, R1, R2, Select, Start, Up(A), Down(A), Left(A), Right(A).
#define ASSIGN_LISTS 18
inline constexpr AssignIndex AssignListOrder[ASSIGN_LISTS] = {
    ASSIGN_UP, ASSIGN_DOWN, ASSIGN_LEFT, ASSIGN_RIGHT,
    ASSIGN_CIRCLE, ASSIGN_CROSS, ASSIGN_TRIANGLE, ASSIGN_SQUARE,
    ASSIGN_L1, ASSIGN_L2, ASSIGN_R1, ASSIGN_R2, ASSIGN_SELECT, ASSIGN_START,
    ASSIGN_UP_A, ASSIGN_DOWN_A, ASSIGN_LEFT_A, ASSIGN_RIGHT_A,
};

// Whether an index belongs to an AnalogGroup; the first of its group, the
// first of its pair, and the other end of its pair.
inline bool InAnalogGroup(int a) { return a >= ASSIGN_ANALOG_FIRST; }
inline int AnalogGroupOf(int a) { return a - a % ANALOG_GROUP_SIZE; }
inline int AnalogPairOf(int a) { return a - a % ANALOG_PAIR_SIZE; }
inline int AnalogPartnerOf(int a) { return 2 * AnalogPairOf(a) + ANALOG_PAIR_SIZE - 1 - a; }
