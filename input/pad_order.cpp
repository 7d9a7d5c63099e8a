// The pads' order at the last save, in config-pads.ini, and how the pads
// attached now compare with it.
#include "input/pad_order.h"

#include <windows.h>
#include <string.h>

#include "input/text_lines.h"
#include "input/input.h"

PadOrderRecord PadOrder;
static_assert(sizeof PadOrder.saved / sizeof PadOrder.saved[0] == PAD_SLOTS, "a pad per slot");

// The identity of the pad in a slot now; not known for an empty slot.
static void DescribePad(int slot, PadIdentity &pad)
{
    memset(&pad, 0, sizeof pad);
    PadIdentityRecord identity;
    if (!ReadPadIdentity(slot, identity))
        return;
    pad.known = true;
    lstrcpyW(pad.path, identity.path);
    pad.hasInstance = true;
    pad.instance = identity.instance;
    pad.hasIds = identity.vendor != 0 || identity.product != 0;
    pad.vendor = identity.vendor;
    pad.product = identity.product;
    WCHAR name[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, PadNames[slot], -1, name, MAX_PATH) > 0)
        WideCharToMultiByte(CP_UTF8, 0, name, -1, pad.name, sizeof pad.name, NULL, NULL);
}

// How surely a saved pad is one attached now: the same device path, or
// where either has none the same instance, surely; the same ids and name,
// alike (identical pads are alike too). A path decides over the instance,
// which some systems number by the pads' order.
enum PadLikeness { PAD_DIFFERENT, PAD_ALIKE, PAD_SAME };

static PadLikeness Likeness(const PadIdentity &saved, const PadIdentity &now)
{
    if (!saved.known || !now.known)
        return PAD_DIFFERENT;
    if (saved.path[0] && now.path[0] ? lstrcmpiW(saved.path, now.path) == 0
                                     : saved.hasInstance && now.hasInstance &&
                                           IsEqualGUID(saved.instance, now.instance))
        return PAD_SAME;
    if (saved.hasIds && now.hasIds && saved.vendor == now.vendor && saved.product == now.product &&
        strcmp(saved.name, now.name) == 0)
        return PAD_ALIKE;
    return PAD_DIFFERENT;
}

// Reversed when both pads match the other slot's saved pad better than
// their own: crosswise at least alike, and more surely than straight.
static void ComparePadOrder(const PadIdentity now[PAD_SLOTS])
{
    const PadIdentity *saved = PadOrder.saved;
    int straight = Likeness(saved[0], now[0]) < Likeness(saved[1], now[1])
                       ? Likeness(saved[0], now[0]) : Likeness(saved[1], now[1]);
    int crossed = Likeness(saved[0], now[1]) < Likeness(saved[1], now[0])
                      ? Likeness(saved[0], now[1]) : Likeness(saved[1], now[0]);
    PadOrder.reversed = crossed >= PAD_ALIKE && crossed > straight;
}

// ---- the file ---------------------------------------------------------------

// Exactly count hex digits; false for anything else.
static bool ReadHex(const char *text, int count, uint32_t &value)
{
    value = 0;
    for (int i = 0; i < count; ++i) {
        int digit = HexDigit(text[i]);
        if (digit < 0)
            return false;
        value = value << 4 | (uint32_t)digit;
    }
    return true;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", nothing more or less.
static bool ReadGuid(const char *text, size_t length, GUID &guid)
{
    static const char Shape[] = "{........-....-....-....-............}";
    if (length != sizeof Shape - 1)
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (Shape[i] != '.' ? text[i] != Shape[i] : HexDigit(text[i]) < 0)
            return false;
    }
    uint32_t data1, data2, data3, byte;
    ReadHex(text + 1, 8, data1);
    ReadHex(text + 10, 4, data2);
    ReadHex(text + 15, 4, data3);
    guid.Data1 = data1;
    guid.Data2 = (uint16_t)data2;
    guid.Data3 = (uint16_t)data3;
    static const int Bytes[8] = { 20, 22, 25, 27, 29, 31, 33, 35 };
    for (int i = 0; i < 8; ++i) {
        ReadHex(text + Bytes[i], 2, byte);
        guid.Data4[i] = (uint8_t)byte;
    }
    return true;
}

// Whether a key of length bytes is name, letters without regard to case.
static bool IsKey(const char *key, size_t length, const char *name)
{
    if (length != strlen(name))
        return false;
    for (size_t i = 0; i < length; ++i) {
        if ((key[i] | 0x20) != (name[i] | 0x20))
            return false;
    }
    return true;
}

// One "Key=Value" line of a pad's section; anything else is passed over.
static void ReadField(PadIdentity &pad, const char *line, size_t length)
{
    const char *equals = (const char *)memchr(line, '=', length);
    if (!equals)
        return;
    size_t keyLength = equals - line;
    const char *value = equals + 1;
    size_t valueLength = length - keyLength - 1;
    auto key = [&](const char *name) { return IsKey(line, keyLength, name); };
    uint32_t vendor = 0, product = 0;
    if (key("Path")) {
        int wide = valueLength ? MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, value,
                                                     (int)valueLength, pad.path, MAX_PATH - 1)
                               : 0;
        pad.path[wide > 0 ? wide : 0] = 0;
    } else if (key("Instance")) {
        pad.hasInstance = ReadGuid(value, valueLength, pad.instance);
    } else if (key("VidPid")) {
        pad.hasIds = valueLength == 9 && value[4] == ':' && ReadHex(value, 4, vendor) &&
                     ReadHex(value + 5, 4, product);
        pad.vendor = (uint16_t)vendor;
        pad.product = (uint16_t)product;
    } else if (key("Name") && valueLength < sizeof pad.name) {
        memcpy(pad.name, value, valueLength);
        pad.name[valueLength] = '\0';
    }
    pad.known = pad.path[0] || pad.hasInstance || pad.hasIds;
}

static void ReadPadOrderText(const char *text, size_t length)
{
    PadIdentity *pad = NULL;
    ForEachLine(text, length, [&](const char *line, size_t lineLength) {
        if (lineLength == 6 && memcmp(line, "[Pad", 4) == 0 && line[5] == ']' &&
            (line[4] == '1' || line[4] == '2'))
            pad = &PadOrder.saved[line[4] - '1'];
        else if (lineLength && line[0] == '[')
            pad = NULL;
        else if (pad)
            ReadField(*pad, line, lineLength);
    });
}

// The identities of the pads attached now.
static void DescribePads(PadIdentity now[PAD_SLOTS])
{
    for (int slot = 0; slot < PAD_SLOTS; ++slot)
        DescribePad(slot, now[slot]);
}

void ReadPadOrder()
{
    memset(PadOrder.saved, 0, sizeof PadOrder.saved);
    HANDLE file = CreateFileA(PAD_ORDER_FILE, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        // One byte more than the bound shows a file that goes on.
        char text[PAD_ORDER_FILE_MAX + 1];
        DWORD read = 0;
        if (ReadFile(file, text, sizeof text, &read, NULL) && read <= PAD_ORDER_FILE_MAX)
            ReadPadOrderText(text, read);
        CloseHandle(file);
    }
    PadIdentity now[PAD_SLOTS];
    DescribePads(now);
    ComparePadOrder(now);
}

// A text built in a fixed buffer: appends stop at its end.
struct OrderText {
    char text[PAD_ORDER_FILE_MAX];
    int length;
};

static void Append(OrderText &out, const char *part)
{
    int n = lstrlenA(part);
    if (n > (int)sizeof out.text - out.length)
        n = (int)sizeof out.text - out.length;
    memcpy(out.text + out.length, part, n);
    out.length += n;
}

void WritePadOrder()
{
    PadIdentity now[PAD_SLOTS];
    DescribePads(now);
    OrderText out;
    out.length = 0;
    for (int slot = 0; slot < PAD_SLOTS; ++slot) {
        const PadIdentity &pad = now[slot];
        if (!pad.known)
            continue;
        char line[3 * MAX_PATH + 16];
        wsprintfA(line, "[Pad%d]\r\nPath=", slot + 1);
        Append(out, line);
        if (!WideCharToMultiByte(CP_UTF8, 0, pad.path, -1, line, sizeof line, NULL, NULL))
            line[0] = '\0';
        Append(out, line);
        const GUID &g = pad.instance;
        wsprintfA(line, "\r\nInstance={%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}\r\n",
                  (unsigned long)g.Data1, g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
                  g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
        Append(out, line);
        if (pad.hasIds) {
            wsprintfA(line, "VidPid=%04X:%04X\r\n", pad.vendor, pad.product);
            Append(out, line);
        }
        Append(out, "Name=");
        Append(out, pad.name);
        Append(out, "\r\n");
    }
    HANDLE file = CreateFileA(PAD_ORDER_FILE, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(file, out.text, (DWORD)out.length, &written, NULL);
        CloseHandle(file);
    }
    // The pads as they are now are the saved ones, whether or not the file
    // could be written.
    memcpy(PadOrder.saved, now, sizeof PadOrder.saved);
    PadOrder.reversed = false;
    PadOrder.swapped = false;
}

void NotePadsSwapped()
{
    PadOrder.swapped = !PadOrder.swapped;
}

bool PadsListedReversed()
{
    return PadOrder.reversed != PadOrder.swapped;
}
