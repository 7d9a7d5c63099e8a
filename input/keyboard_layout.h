// What the player's keyboard layout calls its keys, asked of the USER32
// keyboard functions one DirectInput scan code at a time. The keyboard
// page names its rows with it (pages/keyboard_page.cpp).
#pragma once

// Whether the keyboard is a Japanese one (GetKeyboardType(0) is 7): its
// keys send the DirectInput codes the key table was made for, some of them
// another code than the layout's scan code of the key (the key printed "["
// sends 0x1A, the layout's scan code of the key printed "@").
bool JapaneseKeyboard();

// The one character that the key of a scan code types on the thread's
// keyboard layout, as the layout names the key (GetKeyNameText),
// upper-cased, in the ANSI code page, into text (size bytes, always
// terminated). False, with text empty, where the layout gives no single
// character: a dead key (which Windows names by its accent, Wine by its
// keysym), a key without a name, a character the ANSI code page cannot
// hold, and every code of 0x80 and above (Wine ignores the extended bit of
// a character key: 0x91 would be named as 0x11).
bool LayoutKeyText(int code, char *text, int size);
