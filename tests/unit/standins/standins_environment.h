#pragma once
// For tests that use the stand-in devices: initialises COM on the test thread, then loads
// the stand-ins DLL from the build tree and runs its own registration entry point, which
// registers every stand-in into the current (the project's) Wine prefix. Tests therefore
// do not depend on scripts/register-standins.sh having run.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>

namespace standins_test {

// build/win/tests/unit/<area>/test.exe -> build/win/standins/brisome_standins.dll
inline std::wstring StandinsDllPath()
{
    wchar_t exe[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path(exe, length);
    for (int up = 0; up < 4; ++up) path.erase(path.find_last_of(L"\\/"));
    return path + L"\\standins\\brisome_standins.dll";
}

class StandinsEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        // Kept loaded for the whole run: COM loads the same module for the devices.
        HMODULE module = LoadLibraryW(StandinsDllPath().c_str());
        ASSERT_NE(module, nullptr) << "stand-ins DLL not found; build it first";
        using Entry = HRESULT(STDAPICALLTYPE*)();
        auto registerServer = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), S_OK);
    }
    void TearDown() override { CoUninitialize(); }
};

}  // namespace standins_test
