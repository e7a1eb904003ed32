#pragma once
// What the user chose for each channel (a name of their own, hidden, favourite,
// the place in the list) and how those choices survive a new scan and steer the
// keys that step through the channels.
//
// A list of choices is kept in the user's order, one entry per channel.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "channels/chaine.h"
#include "channels/service_key.h"

ServiceKey KeyOf(const Chaine& channel);

// An element of a channel's entry in the channel file that this version does not
// know, written by a newer one: kept with the channel so that writing the file
// back loses nothing. Only its name and its text content are kept (an element
// holding elements keeps the text of all of them, run together; attributes are
// not kept).
struct KeptElement {
    std::u16string name;
    std::u16string text;
    friend bool operator==(const KeptElement&, const KeptElement&) = default;
};

struct ChannelChoice {
    ServiceKey key;
    std::string broadcastName;  // as the last scan found it
    std::string userName;       // empty: the broadcast name is shown
    bool hidden = false;
    bool favourite = false;
    // Follows the channel like the choices do, also across a new scan.
    std::vector<KeptElement> keptElements{};
};

// The choices of the channels of Chaines, in the same order: what the channel file
// holds beside the records.
extern std::vector<ChannelChoice> ChannelChoices;

// The choices of a freshly scanned list: its order, no choice made.
std::vector<ChannelChoice> ChoicesOf(const ChannelList& scanned);

// The name a channel shows: the user's, else the broadcast one.
std::string_view ShownName(const ChannelChoice& choice);

// Longest user name kept, in bytes: what the channel record's name holds.
constexpr std::size_t kUserNameCapacity = sizeof(Chaine{}.Nom) - 1;

// Gives `choice` the user's name `text`. An empty text gives the broadcast name
// back; a longer one than kUserNameCapacity is cut. True when it was cut (the
// user is told).
bool Rename(ChannelChoice& choice, std::string_view text);

// Another channel than the one at `index` that shows `name`, or -1: two channels
// may share a name (their numbers tell them apart), but the user is told.
int OtherShowingName(const std::vector<ChannelChoice>& choices, int index, std::string_view name);

// A new scan's list merged into the user's choices.
struct ScanMerge {
    // The new list in the user's order: positions in the scanned list, with the
    // choice of each (parallel vectors).
    std::vector<std::size_t> order;
    std::vector<ChannelChoice> choices;
    // Broadcast names of the channels the old list lacked and of those the new
    // scan no longer has, each in its list's order.
    std::vector<std::string> added;
    std::vector<std::string> gone;
};

// Each scanned channel takes the choices of the old entry with its service key,
// else of the first old entry, not yet taken, with its broadcast name; an old
// entry goes to one channel at most. Kept
// channels stay in the user's order; a new channel goes right after the one the
// scan found before it (first when the scan found none before it).
ScanMerge MergeScan(const std::vector<ChannelChoice>& old, const ChannelList& scanned);

// "3 nouvelles chaînes, 1 disparue", or that nothing changed (UTF-16, for the
// window that shows it).
std::wstring MergeSummary(const ScanMerge& merge);

enum class StepWay { Previous, Next };

// The channel the arrows and the wheel reach from `current`, in the user's order,
// wrapping: hidden channels are passed over (a hidden channel is still reached by
// its number, so `current` may be one). -1 when no channel is visible but the
// current one.
int StepVisible(const std::vector<ChannelChoice>& choices, int current, StepWay way);

// The next favourite after `current`, wrapping (the F key); hidden ones are passed
// over. -1 when there is no favourite other than the current channel.
int NextFavourite(const std::vector<ChannelChoice>& choices, int current);

// The position that the entry at `index` swaps with to move one place up
// (Previous) or down (Next); -1 at that end of the list or for a bad index.
int MoveTarget(std::size_t count, int index, StepWay way);
