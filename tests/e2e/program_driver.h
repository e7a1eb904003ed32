#pragma once
// Starts the real program in a scratch working directory and observes it from
// outside, the way a user (or the platform) sees it.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "channels/chaine.h"

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::wstring& Path() const { return path_; }
    std::wstring File(const wchar_t* name) const { return path_ + L"\\" + name; }
    void Write(const wchar_t* name, const std::string& bytes) const;
    bool Exists(const wchar_t* name) const;
    std::string Read(const wchar_t* name) const;

private:
    std::wstring path_;
};

class Program {
public:
    // Starts the program with `workDir` as its current directory.
    explicit Program(const std::wstring& workDir);
    ~Program();
    Program(Program&& other) noexcept;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Waits for the main window of this process; null on time-out.
    HWND WaitForMainWindow(DWORD timeoutMs = 20000);
    // Waits for the process to end; returns false on time-out.
    bool WaitForExit(DWORD timeoutMs = 20000);
    DWORD ExitCode() const;
    HANDLE Process() const { return process_; }
    DWORD Id() const { return id_; }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Top-level windows of the given class, in any process.
std::vector<HWND> WindowsOfClass(const wchar_t* className);
// The shown dialog of process `processId` whose caption is `caption`, or null.
HWND FindDialog(DWORD processId, const wchar_t* caption);

// The program's executable as a Windows path.
std::wstring ProgramPath();
// A Unix path of the build (as CMake gives it) as the Windows path Wine maps it to.
std::wstring WindowsPathOf(const char* unixPath);
// A channel's name as the program shows it: its broadcast text decoded.
std::wstring ShownName(const Chaine& channel);

// One menu entry as the program shows it.
struct MenuEntry {
    int depth;          // 0 for the pop-ups of the bar
    std::string kind;   // "popup", "item" or "separator"
    unsigned id;
    unsigned state;     // MFS_* flags
    std::wstring text;  // tabs as real tab characters
};

// The client area of `window` as the program has drawn it, read from inside the
// program by the same probe: 0x00RRGGBB pixels, rows from the top.
struct WindowPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::string file;  // the bitmap file the probe wrote
    std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
WindowPicture ReadWindowPicture(HWND window, const std::wstring& workDir);

// Reads the menu bar of `window` from inside the program (through a probe loaded
// by a message hook), in display order, depth first.
std::vector<MenuEntry> ReadMenuBar(HWND window, const std::wstring& workDir);

// Keeps the probe in the program's window thread while it lives. The probe notes
// every window of that thread destroyed meanwhile, with the number of link
// properties ("_Hyperlink_...") it still held at its last message.
class DestroyWatch {
public:
    struct Destroyed {
        std::wstring className;
        int linkProperties;
    };
    DestroyWatch(HWND window, const std::wstring& workDir);
    ~DestroyWatch();
    DestroyWatch(const DestroyWatch&) = delete;
    DestroyWatch& operator=(const DestroyWatch&) = delete;
    std::vector<Destroyed> Windows() const;

private:
    std::wstring file_;
    HHOOK hook_ = nullptr;
};

// What a window's status bar and list view show, read from inside the program
// by the same probe.
struct ControlTexts {
    struct Column {
        int width;
        std::wstring header;
    };
    std::vector<std::wstring> statusParts;
    std::vector<Column> columns;
    std::vector<std::vector<std::wstring>> rows;  // one entry per column
};
ControlTexts ReadControlTexts(HWND window, const std::wstring& workDir);

// The text of the status bar's first part: the current channel's name.
std::wstring StatusBarChannelName(HWND window);

// Polls `condition` every 50 ms until it holds or `timeoutMs` has passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);
