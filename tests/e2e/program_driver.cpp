#include "program_driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include <gtest/gtest.h>

#include "channels/text/dvb_text.h"
#include "common/text_convert.h"
#include "common/wide_text.h"

namespace {

std::string NarrowPath(const std::wstring& w)
{
    return NarrowText(w, CodePage::System);
}

struct FindData {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM param)
{
    auto* data = reinterpret_cast<FindData*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t cls[64];
    if (pid == data->pid && GetClassNameW(window, cls, 64) && std::wstring(cls) == L"Tovard TV") {
        data->found = window;
        return FALSE;
    }
    return TRUE;
}

struct ClassData {
    const wchar_t* name;
    std::vector<HWND>* out;
};

BOOL CALLBACK CollectByClass(HWND window, LPARAM param)
{
    auto* data = reinterpret_cast<ClassData*>(param);
    wchar_t cls[128];
    if (GetClassNameW(window, cls, 128) && std::wstring(cls) == data->name)
        data->out->push_back(window);
    return TRUE;
}

}  // namespace

std::wstring WindowsPathOf(const char* unixPath)
{
    // Wine maps the root of the Unix tree to Z:.
    std::wstring p;
    for (const char* c = unixPath; *c; ++c)
        p += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return !p.empty() && p[0] == L'\\' ? L"Z:" + p : p;
}

std::wstring ShownName(const Chaine& channel)
{
    return ToWide(DecodeDvbText(channel.Nom));
}

std::wstring ProgramPath()
{
    return WindowsPathOf(BRISOME_EXE_PATH);
}

ScratchDir::ScratchDir()
{
    // A name of this process and a counter, tried until a folder is made: names
    // by the tick count (GetTempFileName) can fall on a folder that an earlier
    // process kept, and then no folder is made at all.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::wstring name = std::wstring(temp) + L"btv" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(++counter) + L"-" + std::to_wstring(GetTickCount() & 0xFFFF);
        if (CreateDirectoryW(name.c_str(), nullptr)) {
            path_ = name;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    ADD_FAILURE() << "no scratch folder could be made in the temporary folder";
}

ScratchDir::~ScratchDir()
{
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((path_ + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((path_ + L"\\" + fd.cFileName).c_str());
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(path_.c_str());
}

void ScratchDir::Write(const wchar_t* name, const std::string& bytes) const
{
    std::ofstream f(NarrowPath(File(name)), std::ios::binary);
    f << bytes;
}

bool ScratchDir::Exists(const wchar_t* name) const
{
    return GetFileAttributesW(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ScratchDir::Read(const wchar_t* name) const
{
    std::ifstream f(NarrowPath(File(name)), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Wine's desktop process comes up with the first window and goes away with the
// last; a program started while it is coming up or going away cannot create its
// window. A hidden window of the test process keeps the desktop up for the test.
void KeepDesktopUp()
{
    static HWND keeper = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                         GetModuleHandleW(nullptr), nullptr);
    (void)keeper;
}

Program::Program(const std::wstring& workDir)
{
    KeepDesktopUp();
    std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, workDir.c_str(), &si, &pi)) {
        ADD_FAILURE() << "cannot start the program, error " << GetLastError();
        return;
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    id_ = pi.dwProcessId;
}

Program::Program(Program&& other) noexcept : process_(other.process_), id_(other.id_)
{
    other.process_ = nullptr;
    other.id_ = 0;
}

Program::~Program()
{
    if (!process_)
        return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT)
        TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
    CloseHandle(process_);
}

HWND Program::WaitForMainWindow(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (process_ && GetTickCount() - start < timeoutMs) {
        FindData data{id_, nullptr};
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&data));
        if (data.found && IsWindowVisible(data.found))
            return data.found;
        if (WaitForSingleObject(process_, 50) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

bool Program::WaitForExit(DWORD timeoutMs)
{
    return process_ && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const
{
    DWORD code = 12345;
    GetExitCodeProcess(process_, &code);
    return code;
}

std::vector<HWND> WindowsOfClass(const wchar_t* className)
{
    std::vector<HWND> out;
    ClassData data{className, &out};
    EnumWindows(CollectByClass, reinterpret_cast<LPARAM>(&data));
    return out;
}

HWND FindDialog(DWORD processId, const wchar_t* caption)
{
    for (HWND dialog : WindowsOfClass(L"#32770")) {
        DWORD owner = 0;
        GetWindowThreadProcessId(dialog, &owner);
        wchar_t text[256] = L"";
        GetWindowTextW(dialog, text, 256);
        // A dialog is found once it shows: before that its controls may not exist yet.
        if (owner == processId && std::wstring(text) == caption && IsWindowVisible(dialog))
            return dialog;
    }
    return nullptr;
}

// Loads the probe into the thread of `window` by a message hook; null on failure.
HHOOK HookProbe(HWND window)
{
    static HMODULE probe = LoadLibraryW(L"menu_probe.dll");
    if (!probe) {
        ADD_FAILURE() << "menu_probe.dll not found";
        return nullptr;
    }
    auto hookProc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(probe, "MenuProbeHook")));
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, hookProc, probe, thread);
    if (!hook)
        ADD_FAILURE() << "cannot hook the program, error " << GetLastError();
    return hook;
}

// Has the probe, loaded into the program by a message hook, answer `messageName`.
bool SendProbe(HWND window, const wchar_t* messageName)
{
    HHOOK hook = HookProbe(window);
    if (!hook)
        return false;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, RegisterWindowMessageW(messageName), 0, 0, SMTO_BLOCK, 10000, &ignored);
    UnhookWindowsHookEx(hook);
    return true;
}

DestroyWatch::DestroyWatch(HWND window, const std::wstring& workDir) : file_(workDir + L"\\destroyed.txt")
{
    DeleteFileW(file_.c_str());
    hook_ = HookProbe(window);
}

DestroyWatch::~DestroyWatch()
{
    if (hook_)
        UnhookWindowsHookEx(hook_);
}

std::vector<DestroyWatch::Destroyed> DestroyWatch::Windows() const
{
    std::vector<Destroyed> windows;
    std::ifstream f(NarrowPath(file_), std::ios::binary);
    std::string line;
    while (std::getline(f, line)) {
        const size_t bar = line.find('|');
        if (bar == std::string::npos)
            continue;
        windows.push_back({WidenText(line.substr(0, bar), CodePage::Utf8), std::stoi(line.substr(bar + 1))});
    }
    return windows;
}

WindowPicture ReadWindowPicture(HWND window, const std::wstring& workDir)
{
    WindowPicture picture;
    const std::wstring path = workDir + L"\\picture.bmp";
    DeleteFileW(path.c_str());
    if (!SendProbe(window, L"BrisomePictureProbe"))
        return picture;
    std::ifstream f(NarrowPath(path), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(f)), {});
    if (bytes.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))
        return picture;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data() + sizeof(BITMAPFILEHEADER), sizeof header);
    const size_t offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    const size_t count = static_cast<size_t>(header.biWidth) * static_cast<size_t>(-header.biHeight);
    if (header.biWidth <= 0 || header.biHeight >= 0 || bytes.size() < offset + count * 4)
        return picture;
    picture.width = header.biWidth;
    picture.height = -header.biHeight;
    picture.pixels.resize(count);
    std::memcpy(picture.pixels.data(), bytes.data() + offset, count * 4);
    for (auto& p : picture.pixels)
        p &= 0x00FFFFFF;
    picture.file = bytes;
    return picture;
}

std::vector<MenuEntry> ReadMenuBar(HWND window, const std::wstring& workDir)
{
    std::vector<MenuEntry> entries;
    const std::wstring path = workDir + L"\\menu.txt";
    DeleteFileW(path.c_str());
    if (!SendProbe(window, L"BrisomeMenuProbe"))
        return entries;

    std::ifstream f(NarrowPath(path), std::ios::binary);
    std::string line;
    while (std::getline(f, line)) {
        MenuEntry e{};
        std::vector<std::string> fields;
        size_t start = 0;
        for (int k = 0; k < 4; ++k) {
            size_t bar = line.find('|', start);
            fields.push_back(line.substr(start, bar - start));
            start = bar + 1;
        }
        std::string text = line.substr(start);
        std::string unescaped;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 't') {
                unescaped += '\t';
                ++i;
            } else {
                unescaped += text[i];
            }
        }
        e.depth = std::stoi(fields[0]);
        e.kind = fields[1];
        e.id = static_cast<unsigned>(std::stoul(fields[2]));
        e.state = static_cast<unsigned>(std::stoul(fields[3]));
        e.text = WidenText(unescaped, CodePage::Utf8);
        entries.push_back(e);
    }
    return entries;
}

ControlTexts ReadControlTexts(HWND window, const std::wstring& workDir)
{
    ControlTexts texts;
    const std::wstring path = workDir + L"\\controls.txt";
    DeleteFileW(path.c_str());
    if (!SendProbe(window, L"BrisomeControlsProbe"))
        return texts;
    std::ifstream f(NarrowPath(path), std::ios::binary);
    std::string line;
    while (std::getline(f, line)) {
        // kind|a|b|text, or status|part|text
        const size_t first = line.find('|');
        const size_t second = line.find('|', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        const std::string kind = line.substr(0, first);
        const int a = std::stoi(line.substr(first + 1, second - first - 1));
        if (kind == "status") {
            texts.statusParts.resize(static_cast<size_t>(a) + 1);
            texts.statusParts[static_cast<size_t>(a)] = WidenText(line.substr(second + 1), CodePage::Utf8);
            continue;
        }
        const size_t third = line.find('|', second + 1);
        if (third == std::string::npos)
            continue;
        const int b = std::stoi(line.substr(second + 1, third - second - 1));
        const std::wstring text = WidenText(line.substr(third + 1), CodePage::Utf8);
        if (kind == "column") {
            texts.columns.push_back({b, text});
        } else if (kind == "cell") {
            texts.rows.resize(static_cast<size_t>(a) + 1);
            texts.rows[static_cast<size_t>(a)].push_back(text);
        }
    }
    return texts;
}

std::wstring StatusBarChannelName(HWND window)
{
    HWND bar = FindWindowExW(window, nullptr, STATUSCLASSNAMEW, nullptr);
    wchar_t text[256] = L"";
    DWORD_PTR length = 0;
    // WM_GETTEXT of a status bar is the text of its part 0; sent, not read from
    // the window's caption, which GetWindowText does for another process. Only the
    // characters it says it copied count: an empty part leaves the buffer as the
    // cross-process copy made it.
    if (!bar || !SendMessageTimeoutW(bar, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000, &length))
        return L"";
    return std::wstring(text, std::min<DWORD_PTR>(length, 255));
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (condition())
            return true;
        Sleep(50);
    }
    return condition();
}
