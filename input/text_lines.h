// Reading the small text files the tool takes from the player's folder (the
// player's pad mappings, the pads' saved order): their lines and hex
// digits. Everything is bounded by the length given; nothing needs a
// terminator.
#pragma once
#include <stddef.h>
#include <string.h>

// The value of one hexadecimal digit, either case; -1 for any other
// character.
inline int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Calls take(line, lineLength) for each line of the text, in order, without
// its line end ("\n" or "\r\n"); a UTF-8 byte order mark at the start is
// not part of the first line.
template <typename Take> void ForEachLine(const char *text, size_t length, Take take)
{
    size_t at = 0;
    if (length >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0)
        at = 3;
    while (at < length) {
        const char *line = text + at;
        const char *newline = (const char *)memchr(line, '\n', length - at);
        size_t lineLength = newline ? (size_t)(newline - line) : length - at;
        at += lineLength + 1;
        if (lineLength > 0 && line[lineLength - 1] == '\r')
            --lineLength;
        take(line, lineLength);
    }
}
