// Where the tool takes its DLLs from. A stand-in DLL (tests/helpers/
// planted_dll) is put into the folder the tool runs in under the names of
// the DirectX DLLs; it leaves a marker file beside itself when any process
// loads it, so its absence shows it was not loaded.

#include "tests/process/process_harness.h"

#include <prsht.h>
#include <string>
#include <vector>

#include "input/directx.h"
#include "pages/pages.h"

namespace {

const char *const DirectXDlls[] = { "d3d8.dll", "dinput8.dll", "dsound.dll" };
// A name that no system directory has: found only where it was planted.
const char *const UniqueDll = "cfgplanted.dll";

// Under Wine, a DLL found by name loads only when the DLL's load order puts
// native DLLs first; Windows always does. From construction to
// destruction, programs with the given file names are told so through
// Wine's per-program overrides (HKCU\Software\Wine\AppDefaults).
class NativeDllsFirst {
public:
    explicit NativeDllsFirst(const std::vector<std::string> &programs) : programs(programs)
    {
        for (const std::string &program : programs) {
            HKEY key;
            if (RegCreateKeyExA(HKEY_CURRENT_USER, OverridesKey(program).c_str(), 0, NULL, 0,
                                KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS)
                continue;
            for (const char *dll : DirectXDllNames)
                RegSetValueExA(key, dll, 0, REG_SZ, (const BYTE *)"native,builtin", 15);
            RegCloseKey(key);
        }
    }
    ~NativeDllsFirst()
    {
        for (const std::string &program : programs) {
            RegDeleteKeyA(HKEY_CURRENT_USER, OverridesKey(program).c_str());
            RegDeleteKeyA(HKEY_CURRENT_USER, ("Software\\Wine\\AppDefaults\\" + program).c_str());
        }
    }

private:
    static constexpr const char *DirectXDllNames[3] = { "d3d8", "dinput8", "dsound" };
    static std::string OverridesKey(const std::string &program)
    {
        return "Software\\Wine\\AppDefaults\\" + program + "\\DllOverrides";
    }
    std::vector<std::string> programs;
};

class DllLoadingTest : public ProcessTest {
protected:
    void Plant(const char *name)
    {
        ASSERT_TRUE(CopyFileA(WindowsPath(PLANTED_DLL).c_str(), name, FALSE)) << name;
    }
    static bool Loaded(const std::string &dll)
    {
        return GetFileAttributesA((dll + ".loaded").c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    static std::string ModulePath(HMODULE module)
    {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(module, path, MAX_PATH);
        return path;
    }
};

TEST_F(DllLoadingTest, ThePlantedDllStaysOutOfTheLoaderAndOutOfTheSearchPath)
{
    Plant(UniqueDll);
    Plant("d3d8.dll");

    // Control: until start-up has run, a load by bare name finds a DLL in
    // the current directory (and the marker shows it).
    HMODULE naive = LoadLibraryA(UniqueDll);
    ASSERT_NE(naive, (HMODULE)NULL);
    ASSERT_TRUE(Loaded(UniqueDll));
    FreeLibrary(naive);
    ASSERT_TRUE(DeleteFileA((std::string(UniqueDll) + ".loaded").c_str()));

    // The tool's loader looks in the system directory only.
    EXPECT_EQ(LoadSystemLibrary(UniqueDll), (HMODULE)NULL);
    EXPECT_FALSE(Loaded(UniqueDll));

    // The real pixel-shader probe through the tool's own loader: the d3d8
    // it uses is the system's, and the planted one is never loaded.
    InstallRealDirectX();
    ProbePixelShader();
    EXPECT_FALSE(Loaded("d3d8.dll"));
    HMODULE d3d8 = GetModuleHandleA("d3d8.dll");
    ASSERT_NE(d3d8, (HMODULE)NULL);
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    std::string path = ModulePath(d3d8);
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(), lstrlenA(system), system, -1),
              CSTR_EQUAL) << path;

    // Start-up takes the current directory out of the search path for the
    // rest of the process.
    LimitDllSearchPath();
    EXPECT_EQ(LoadLibraryA(UniqueDll), (HMODULE)NULL);
    EXPECT_FALSE(Loaded(UniqueDll));
}

TEST_F(DllLoadingTest, TheShippedToolLoadsNoPlantedDirectXDll)
{
    NativeDllsFirst nativeFirst({ "config.exe", "test_helper.exe" });
    struct Case { const char *where; bool besideTheTool; };
    const Case cases[] = {
        { "in the current directory", false },
        { "beside the tool, which runs in its own folder", true },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.where);
        TearDown();
        SetUp();
        for (const char *dll : DirectXDlls)
            Plant(dll);
        std::string exe = ConfigExePath();
        if (c.besideTheTool) {
            // Control: a program in this folder that loads d3d8.dll by name
            // gets the planted copy.
            std::string helper = folder + "\\test_helper.exe";
            ASSERT_TRUE(CopyFileA(WindowsPath(TEST_HELPER_EXE).c_str(), helper.c_str(), FALSE));
            PROCESS_INFORMATION naive = StartProcess("\"" + helper + "\" load d3d8.dll", folder);
            EXPECT_EQ(Finish(naive), 0u);
            ASSERT_TRUE(Loaded("d3d8.dll"));
            DeleteFileA("d3d8.dll.loaded");

            exe = folder + "\\config.exe";
            ASSERT_TRUE(CopyFileA(ConfigExePath().c_str(), exe.c_str(), FALSE));
        }
        PROCESS_INFORMATION tool = Start(exe);
        HWND shown = WaitForSheet();
        ASSERT_NE(shown, (HWND)NULL);
        PostMessageA(shown, PSM_PRESSBUTTON, PSBTN_OK, 0);
        EXPECT_EQ(Finish(tool), 1u);
        EXPECT_EQ(File().size(), 256u);
        for (const char *dll : DirectXDlls)
            EXPECT_FALSE(Loaded(dll)) << dll;
    }
}

} // namespace
