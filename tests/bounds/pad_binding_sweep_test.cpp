// The label of every shape of PadBinding code, against an oracle written
// here from the code layout. This program is built with bounds and
// undefined-behaviour checks that trap, so a label read from beyond
// PadLabelTable ends the run (reported by crash_report.cpp) instead of
// passing unnoticed.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "input/pad_binding.h"

namespace {

// The label a code should have, built from the layout alone.
std::string ExpectedLabel(uint32_t code)
{
    static const char *const axisNames[16] = {
        "Left", "Right", "Up", "Down", "ZMIN", "Z Max", "RX Min", "RX Max",
        "RY Min", "RY Max", "RZ Min", "RZ Max",
        // Axis fields 12..15 read on into the hat rows.
        "POV Up", "POV Down", "POV Left", "POV Right",
    };
    // Hat fields 4 and 5 read on into the slider rows; 6 and up have none.
    static const char *const hatNames[6] = {
        "POV Up", "POV Down", "POV Left", "POV Right", "Sld Min", "Sld Max",
    };
    static const char *const sliderNames[2] = { "Sld Min", "Sld Max" };

    if (code == 0xFFFFFFFFu)
        return "None";
    const std::string pad = (code & 0x80000000u) ? "2" : "1";
    const unsigned field = code & 0xF;
    if (code & 0x01000000u)
        return pad + "BUTTON" + std::to_string((code & 0x1F) + 1);
    if (code & 0x02000000u)
        return pad + axisNames[field];
    if (code & 0x08000000u) {
        if (field >= 2)
            return "None";
        return pad + sliderNames[field] + std::to_string(((code >> 8) & 1) + 1);
    }
    if (code & 0x04000000u) {
        if (field >= 6)
            return "None";
        return pad + hatNames[field] + std::to_string(((code >> 8) & 3) + 1);
    }
    return "None";
}

// Formats into a guarded buffer: the label, or a note of a write past the
// 12 bytes the label may use.
std::string FormatGuarded(uint32_t code)
{
    char buffer[PAD_LABEL_SIZE + 20];
    memset(buffer, 0x5A, sizeof buffer);
    FormatPadBinding(buffer, code);
    for (size_t i = PAD_LABEL_SIZE; i < sizeof buffer; ++i) {
        if (buffer[i] != 0x5A)
            return "written past the label buffer";
    }
    if (!memchr(buffer, 0, PAD_LABEL_SIZE))
        return "no terminator within the label buffer";
    return buffer;
}

// The examples the code layout is known by; they also hold the oracle to
// its word.
TEST(PadBindingLabels, KnownCodesHaveTheirLabels)
{
    const std::pair<uint32_t, const char *> known[] = {
        { 0x01000000, "1BUTTON1" }, { 0x8100000B, "2BUTTON12" }, { 0x0100001F, "1BUTTON32" },
        { 0x02000002, "1Up" }, { 0x82000005, "2Z Max" }, { 0x02000004, "1ZMIN" },
        { 0x82000007, "2RX Max" }, { 0x0200000C, "1POV Up" }, { 0x0200000F, "1POV Right" },
        { 0x08000101, "1Sld Max2" }, { 0x08000000, "1Sld Min1" }, { 0x08000002, "None" },
        { 0x84000303, "2POV Right4" }, { 0x04000100, "1POV Up2" }, { 0x04000201, "1POV Down3" },
        { 0x04000004, "1Sld Min1" }, { 0x84000305, "2Sld Max4" }, { 0x04000006, "None" },
        { 0x00000000, "None" }, { 0x80000000, "None" }, { 0x70FFFFFF, "None" },
        { 0xFFFFFFFF, "None" }, { 0xFFFFFFFE, "2BUTTON31" }, { 0x0F000000, "1BUTTON1" },
        { 0x0E000003, "1Down" }, { 0x0C000001, "1Sld Max1" },
    };
    for (const auto &k : known) {
        EXPECT_EQ(FormatGuarded(k.first), k.second) << std::hex << k.first;
        EXPECT_EQ(ExpectedLabel(k.first), k.second) << std::hex << k.first;
    }
}

// Every combination of the pad bit, the four kind bits, the hat field (bits
// 8..9) and the low five bits, each with the other bits clear, all set, and
// random.
TEST(PadBindingLabels, EveryCodeShapeMatchesTheOracleAndFits)
{
    const uint32_t otherBits = 0x70FFFCE0;   // bits 5..7, 10..23, 28..30
    std::mt19937 random(0x5EED);
    int checked = 0;
    int failures = 0;
    for (uint32_t pad = 0; pad < 2; ++pad)
        for (uint32_t kinds = 0; kinds < 16; ++kinds)
            for (uint32_t hat = 0; hat < 4; ++hat)
                for (uint32_t low = 0; low < 32; ++low)
                    for (int fill = 0; fill < 10; ++fill) {
                        uint32_t others = fill == 0 ? 0 : fill == 1 ? otherBits : (uint32_t)random() & otherBits;
                        uint32_t code = pad << 31 | kinds << 24 | hat << 8 | low | others;
                        std::string label = FormatGuarded(code);
                        std::string expected = ExpectedLabel(code);
                        ++checked;
                        if (label != expected || label.size() > 11) {
                            if (++failures <= 20)
                                ADD_FAILURE() << std::hex << code << ": \"" << label << "\", expected \""
                                              << expected << "\"";
                        }
                    }
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(checked, 2 * 16 * 4 * 32 * 10);
}

// A label never begins with "None" unless it is exactly "None", so the
// lists' "None" entry cannot be mistaken for an input.
TEST(PadBindingLabels, OnlyUnlabellableCodesAreNone)
{
    for (uint32_t kind : { 0x01000000u, 0x02000000u, 0x08000000u, 0x04000000u })
        for (uint32_t pad = 0; pad < 2; ++pad)
            for (uint32_t hat = 0; hat < 4; ++hat)
                for (uint32_t low = 0; low < 32; ++low) {
                    uint32_t code = pad << 31 | kind | hat << 8 | low;
                    std::string label = FormatGuarded(code);
                    unsigned field = low & 0xF;
                    bool unlabellable = (kind == 0x08000000u && field >= 2) ||
                                        (kind == 0x04000000u && field >= 6);
                    if (unlabellable)
                        EXPECT_EQ(label, "None") << std::hex << code;
                    else
                        EXPECT_NE(label.compare(0, 4, "None"), 0) << std::hex << code;
                }
}

} // namespace
