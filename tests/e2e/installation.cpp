#include "installation.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include "channels/channel_file_win.h"

namespace {

// Runs a console tool in `workDir` and waits for it; returns its exit code.
DWORD RunTool(const std::wstring& commandLine, const std::wstring& workDir)
{
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, workDir.c_str(),
                        &si, &pi))
        return 0xFFFFFFFF;
    WaitForSingleObject(pi.hProcess, 120000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

void RegisterStandinsOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    HMODULE module = LoadLibraryW(WindowsPathOf(BRISOME_STANDINS_DLL).c_str());
    ASSERT_NE(module, nullptr) << "stand-ins DLL not found";
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto registerServer = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
    ASSERT_NE(registerServer, nullptr);
    ASSERT_EQ(registerServer(), S_OK);
}

// The demo broadcast, generated once for the whole test process.
const std::wstring& DemoBroadcast()
{
    static ScratchDir* folder = nullptr;
    if (!folder) {
        folder = new ScratchDir();  // kept for the life of the process
        const std::wstring command = L"\"" + WindowsPathOf(BRISOME_TSGEN_EXE) + L"\" \"" +
                                     WindowsPathOf(BRISOME_SOURCE_DIR "/demo/broadcast.txt") + L"\" \"" +
                                     folder->Path() + L"\"";
        EXPECT_EQ(RunTool(command, folder->Path()), 0u) << "tsgen failed";
    }
    return folder->Path();
}

}  // namespace

std::wstring GenerateBroadcast(const std::string& description, const std::wstring& options)
{
    auto* folder = new ScratchDir();  // kept for the life of the process
    return GenerateBroadcastInto(*folder, description, options) ? folder->Path() : std::wstring();
}

bool GenerateBroadcastInto(const ScratchDir& folder, const std::string& description, const std::wstring& options)
{
    folder.Write(L"broadcast.txt", description);
    const std::wstring command = L"\"" + WindowsPathOf(BRISOME_TSGEN_EXE) + L"\" \"" +
                                 folder.File(L"broadcast.txt") + L"\" \"" + folder.Path() + L"\" " + options;
    return RunTool(command, folder.Path()) == 0;
}

Installation::Installation(bool withChannels)
{
    RegisterStandinsOnce();
    CopyFileW(WindowsPathOf(BRISOME_SOURCE_DIR "/demo/canaux.ini").c_str(), dir_.File(L"canaux.ini").c_str(), FALSE);
    SetSetting(L"Tuner TNT", L"Tuner TNT virtuel Brisome");
    SetSetting(L"Filtre vid\u00e9o", L"Brisome MPEG-2 Video Decoder");
    SetSetting(L"Filtre audio", L"Brisome MPEG Audio Decoder");
    SetSetting(L"Filtre AC3", L"Brisome AC-3 Decoder");
    SetSetting(L"Ville", L"D\u00e9mo");
    if (withChannels) {
        const std::wstring command =
            L"\"" + WindowsPathOf(BRISOME_SCAN_EXE) + L"\" \"" + DemoBroadcast() + L"\" D\u00e9mo";
        EXPECT_EQ(RunTool(command, dir_.Path()), 0u) << "offline scan failed";
    }
}

void Installation::SetSetting(const wchar_t* key, const wchar_t* value)
{
    WritePrivateProfileStringW(L"Config", key, value, dir_.File(L"config.ini").c_str());
}

ChannelList Installation::Channels() const
{
    ChannelList list;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    LoadChannelFile(list, dir_.File(L"chaines.xml"));
    CoUninitialize();
    return list;
}

std::string Installation::Trace() const
{
    return dir_.Read(L"tuner-trace.txt");
}

Program Installation::Start() const
{
    return Start(DemoBroadcast());
}

Program Installation::Start(const std::wstring& broadcastDir) const
{
    SetEnvironmentVariableW(L"BRISOME_BROADCAST_DIR", broadcastDir.c_str());
    SetEnvironmentVariableW(L"BRISOME_STANDIN_TRACE", dir_.File(L"tuner-trace.txt").c_str());
    return Program(dir_.Path());
}
