#pragma once
// Saving and loading "chaines.xml" through the platform: the file system and the
// XML DOM document (MSXML). The file's format is in channel_file.h.
#include <string>
#include <vector>

#include "channels/chaine.h"
#include "channels/channel_choices.h"

// Writes `list` to `path`, replacing any earlier file, with the user's choices of
// each channel (choices[i] with list[i]). True when every byte was written.
bool SaveChannelFile(const ChannelList& list, const std::vector<ChannelChoice>& choices,
                     const std::wstring& path);
bool SaveChannelFile(const ChannelList& list, const std::wstring& path);

// Writes Chaines, with ChannelChoices, to "chaines.xml" in the current directory.
// Nothing is reported: when the file cannot be written the list in memory stays
// as it is and the next start finds no usable file.
void SaveChannelFile();

// Parses `path` with the platform's DOM document and appends one record per child
// of its root to `list`. False, with nothing appended, when the parser cannot be
// created or the file is missing, unreadable or not well-formed. COM must be
// initialised on the calling thread.
bool LoadChannelFile(ChannelList& list, const std::wstring& path);

// The same, appending each record's choices to `choices` too.
bool LoadChannelFile(ChannelList& list, std::vector<ChannelChoice>& choices, const std::wstring& path);

// Appends the records of "chaines.xml" in the current directory to Chaines, and
// their choices to ChannelChoices.
bool LoadChannelFile();
