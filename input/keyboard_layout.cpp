// The player's keyboard layout's own names of its keys.
#include "input/keyboard_layout.h"

#include <windows.h>

bool JapaneseKeyboard()
{
    return GetKeyboardType(0) == 7;
}

// Whether a list can show the character as a key's name: no control
// character, no space, no half of a surrogate pair.
static bool Printable(WCHAR c)
{
    return c > 0x20 && (c < 0x7F || c > 0xA0) && (c < 0xD800 || c > 0xDFFF);
}

bool LayoutKeyText(int code, char *text, int size)
{
    text[0] = '\0';
    // Room for a name longer than one character, which is no character.
    WCHAR name[4];
    if (code <= 0 || code >= 0x80 || size < 2 || GetKeyNameTextW(code << 16, name, 4) != 1 ||
        !Printable(name[0]))
        return false;
    CharUpperBuffW(name, 1);
    // A character outside the code page would show as another one: "?" or
    // a look-alike. UTF-8 holds every character and takes neither the flag
    // nor the question.
    UINT codePage = GetACP();
    bool utf8 = codePage == CP_UTF8;
    BOOL lost = FALSE;
    int length = WideCharToMultiByte(codePage, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, name, 1, text,
                                     size - 1, NULL, utf8 ? NULL : &lost);
    if (length <= 0 || lost) {
        text[0] = '\0';
        return false;
    }
    text[length] = '\0';
    return true;
}
