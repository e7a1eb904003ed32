#pragma once
// Names of the files that recordings and snapshots create: the channel's name and
// the local date and time ("TV5 07-03 20-05-09.mpg": day-month, no year), inside
// the chosen folder.
//
// A channel's name comes from the broadcast and may hold anything: characters that
// a Windows file name cannot hold are replaced, trailing dots and spaces are
// trimmed, a reserved device name (CON, NUL, COM1...) is prefixed, and since no
// separator survives the name can never leave the folder.
#include <string>
#include <string_view>

struct FileTime {
    int day = 1;
    int month = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The channel's name made safe as the first part of a file name; empty when
// nothing of it is left.
std::wstring SafeNamePart(std::wstring_view name);

// "<name> DD-MM HH-MM-SS" without folder or extension; the name made safe first.
std::wstring DatedStem(std::wstring_view name, const FileTime& time);

// `folder` and `fileName` joined by one separator (none added when the folder
// already ends with one, none at all when the folder is empty).
std::wstring JoinPath(std::wstring_view folder, std::wstring_view fileName);

// The `attempt`-th candidate path for a new file: attempt 1 is "<stem><extension>",
// attempt n > 1 is "<stem> (n)<extension>", so that no earlier file is replaced.
std::wstring CandidatePath(std::wstring_view folder, std::wstring_view stem, std::wstring_view extension,
                           int attempt);

// How many candidates to try before giving up.
inline constexpr int kMaxNameAttempts = 1000;
