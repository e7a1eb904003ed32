#pragma once
// A working installation of the program in a scratch folder, as a user would have
// it after a first start: the stand-in tuner and decoders named in config.ini, the
// frequency plan, and a channel file made by the offline scan of the demo broadcast.
// The demo broadcast is generated once per test process; the stand-ins DLL is
// registered into the prefix by the first installation made.
#include <windows.h>

#include <string>

#include "channels/chaine.h"
#include "program_driver.h"

// The streams of a broadcast description (tsgen's format), generated into a
// folder kept for the life of the test process. Empty when tsgen fails.
// `options` go to tsgen's command line as they are ("--at-now 0").
std::wstring GenerateBroadcast(const std::string& description, const std::wstring& options = L"");
// The same into `folder`, whose end deletes the streams; false when tsgen fails.
bool GenerateBroadcastInto(const ScratchDir& folder, const std::string& description,
                           const std::wstring& options = L"");

class Installation {
public:
    // Without a channel file when `withChannels` is false.
    explicit Installation(bool withChannels = true);

    ScratchDir& Dir() { return dir_; }
    const std::wstring& Path() const { return dir_.Path(); }
    // Sets a key of the "Config" section of config.ini.
    void SetSetting(const wchar_t* key, const wchar_t* value);
    // The channels of the channel file, as the program loads them.
    ChannelList Channels() const;
    // Lines of the stand-in tuner's trace since the program started.
    std::string Trace() const;
    // Starts the program here, with the stand-in tuner playing the demo broadcast.
    Program Start() const;
    // The same on another broadcast, from GenerateBroadcast.
    Program Start(const std::wstring& broadcastDir) const;

private:
    ScratchDir dir_;
};
