#pragma once
// Runs brisome-scan as a separate process in a working directory, as a user would,
// and hands back its exit code and what it printed.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace scantest {

struct ToolRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;  // UTF-8
    std::string err;  // UTF-8
};

// A path of the build or source tree as this (Windows) process sees it: CMake hands
// us host paths, which Wine shows through the drive of the root.
inline std::wstring HostPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return std::wstring(path.begin(), path.end());
}

inline std::string ReadAll(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline ToolRun RunBrisomeScan(const std::filesystem::path& workDir, const std::wstring& arguments)
{
    ToolRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const std::filesystem::path outPath = workDir / L"out.txt";
    const std::filesystem::path errPath = workDir / L"err.txt";
    HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    HANDLE err = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = err;
    std::wstring commandLine = L"\"" + HostPath(BRISOME_SCAN_EXE) + L"\" " + arguments;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        workDir.c_str(), &si, &pi);
    CloseHandle(out);
    CloseHandle(err);
    if (started) {
        if (WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0)
            GetExitCodeProcess(pi.hProcess, &run.exitCode);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    } else {
        run.err = "brisome-scan could not be started, error " + std::to_string(GetLastError());
    }
    if (run.err.empty())
        run.err = ReadAll(errPath);
    run.out = ReadAll(outPath);
    return run;
}

}  // namespace scantest
