// What finding the pads' layouts costs, as the gamepad page finds them (both
// pads, the player's file read once): with two pads on the fake devices, a
// DualShock 4 (built in) and a pad no source knows, without a player's file
// with a player's file of one line, and with the whole database (about
// 600 KB) as the player's file, which is
// read and searched at every call; and what naming both pads' inputs for the
// lists costs once their layouts are found; and what reading the pads'
// saved order (config-pads.ini) and comparing the pads with it costs, as
// at start and after a pad change. Prints one tab-separated row per case:
// the best of seven rounds, in milliseconds per call.
#include <windows.h>

#include <stdio.h>

#include "input/input.h"
#include "input/pad_entries.h"
#include "input/pad_layout.h"
#include "input/pad_order.h"
#include "bench/bench_clock.h"
#include "tests/sheet_harness.h"

namespace {

double BestMsPerCall(int calls)
{
    double best = 1e9;
    for (int round = 0; round < 7; ++round) {
        double start = NowMs();
        for (int i = 0; i < calls; ++i) {
            PadLayoutRecord layouts[PAD_SLOTS];
            FindPadLayouts(layouts);
            uint32_t row[ASSIGN_COUNT];
            PadMappingCodes(layouts[0].mapping, PadCaps[0], 0, row);
        }
        double perCall = (NowMs() - start) / calls;
        if (perCall < best)
            best = perCall;
    }
    return best;
}

} // namespace

int main()
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    lstrcatA(folder, "layout-bench");
    CreateDirectoryA(folder, NULL);
    SetCurrentDirectoryA(folder);
    DeleteFileA(PAD_MAPPING_FILE);

    InstallFakeDirectX();
    FakeInput.recordCalls = false;
    FakeInput.AddPad(14).Axis(GUID_ZAxis).Axis(GUID_RxAxis).Axis(GUID_RyAxis).Axis(GUID_RzAxis)
        .Povs(1).Ids(0x054C, 0x05C4);
    FakeInput.AddPad(12).Ids(0x1234, 0x5678);
    OpenInputDevices(GetModuleHandleA(NULL), TEST_SHEET_WINDOW);

    printf("case\tms per call\n");
    printf("no player's file\t%.4f\n", BestMsPerCall(2000));
    // The lists' entries and their texts, with the names of the DualShock 4's inputs.
    PadLayoutRecord layouts[PAD_SLOTS];
    FindPadLayouts(layouts);
    double named = 1e9;
    for (int round = 0; round < 7; ++round) {
        double start = NowMs();
        for (int i = 0; i < 2000; ++i)
            RefreshPadListEntries(true, layouts);
        double perCall = (NowMs() - start) / 2000;
        named = perCall < named ? perCall : named;
    }
    printf("naming both pads' entries (%d entries)\t%.4f\n", PadListEntries.count, named);
    const char own[] = "# my pads\r\n"
                       "03000000341200007856000000000000,Mine,a:b3,b:b2,x:b0,y:b1,platform:Windows,\r\n";
    WriteWholeFile(PAD_MAPPING_FILE, std::vector<uint8_t>(own, own + sizeof own - 1));
    printf("player's file of one line\t%.4f\n", BestMsPerCall(500));
    std::vector<uint8_t> database = ReadWholeFile(WindowsPath(PAD_DATABASE_FILE).c_str());
    WriteWholeFile(PAD_MAPPING_FILE, database);
    printf("player's file of %u bytes\t%.4f\n", (unsigned)database.size(), BestMsPerCall(50));
    // The search alone, both pads, in the text already read.
    double best = 1e9;
    for (int round = 0; round < 7; ++round) {
        double start = NowMs();
        for (int i = 0; i < 50; ++i) {
            PadMapping mapping;
            FindPadMappingInText((const char *)database.data(), database.size(), 0x054C, 0x05C4, mapping);
            FindPadMappingInText((const char *)database.data(), database.size(), 0x1234, 0x5678, mapping);
        }
        double perCall = (NowMs() - start) / 50;
        best = perCall < best ? perCall : best;
    }
    printf("searching it for both pads\t%.4f\n", best);
    DeleteFileA(PAD_MAPPING_FILE);
    // The pads' saved order, both pads in it, read and compared.
    FakeInput.pads[0].Path(L"\\\\?\\hid#vid_054c&pid_05c4#7&1&0000");
    FakeInput.pads[1].Path(L"\\\\?\\hid#vid_1234&pid_5678#7&2&0000");
    WritePadOrder();
    best = 1e9;
    for (int round = 0; round < 7; ++round) {
        double start = NowMs();
        for (int i = 0; i < 500; ++i)
            ReadPadOrder();
        double perCall = (NowMs() - start) / 500;
        best = perCall < best ? perCall : best;
    }
    printf("reading the pads' saved order and comparing\t%.4f\n", best);
    DeleteFileA(PAD_ORDER_FILE);
    CloseInputDevices();
    return 0;
}
