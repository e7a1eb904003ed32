#pragma once
// What the "Organiser les chaînes" dialog does to the channels, apart from its
// window: a working copy of the list in the order the user is giving it, with
// each channel's choices. Nothing reaches the program's list before Apply, so
// "Annuler" only has to drop the copy.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "channels/chaine.h"
#include "channels/channel_choices.h"

// A name the user typed, as the bytes of a channel's name: plain printable ASCII
// as it is, anything else as UTF-8 behind its DVB table selector (0x15), so that
// it reads back through the same decoder as the broadcast names. At most
// kUserNameCapacity bytes, cut between characters; `cut` tells whether it was.
std::string EncodeUserName(std::u16string_view typed, bool& cut);

class ChannelOrganiser {
public:
    // `choices` parallel to `list`; a channel without one starts with none made.
    ChannelOrganiser(const ChannelList& list, const std::vector<ChannelChoice>& choices);

    std::size_t Count() const { return order_.size(); }
    // A row of the list: the channel's number (when the broadcast gave one), the
    // name it shows, and its marks, as "12\tTélé Démo  (masquée, favorite)".
    std::u16string RowText(std::size_t row) const;
    // The name the channel shows, for editing.
    std::u16string ShownText(std::size_t row) const;
    bool Hidden(std::size_t row) const { return choices_[row].hidden; }
    bool Favourite(std::size_t row) const { return choices_[row].favourite; }

    // Gives the channel the name `typed` (blanks around it dropped). Empty, or the
    // broadcast name itself, gives the broadcast name back. Returns what the user
    // must be told, in French: the name was cut, or another channel shows it too
    // (allowed: their numbers tell them apart). Empty when nothing is to be said.
    std::wstring Rename(std::size_t row, std::u16string_view typed);
    void SetHidden(std::size_t row, bool hidden) { choices_[row].hidden = hidden; }
    void SetFavourite(std::size_t row, bool favourite) { choices_[row].favourite = favourite; }
    // Moves the row one place; returns where it now is (the same row at that end).
    std::size_t Move(std::size_t row, StepWay way);

    // The program's list and choices in the new order, and `current` following its
    // channel to its new place.
    void Apply(ChannelList& list, std::vector<ChannelChoice>& choices, std::int32_t& current) const;

private:
    ChannelList records_;                 // the records as they were given
    std::vector<std::size_t> order_;      // per row, its record in records_
    std::vector<ChannelChoice> choices_;  // per row
};
