#pragma once
// Event information table, present/following (table_id 0x4E for this multiplex,
// 0x4F for the others): the events of one service into its two guide slots.
#include <cstddef>
#include <cstdint>

#include "channels/chaine.h"
#include "guide/local_time.h"

constexpr std::uint8_t kEitActualPresentFollowing = 0x4E;
constexpr std::uint8_t kEitOtherPresentFollowing = 0x4F;

// Parses one EIT section (from its table_id byte; `length` bytes as delivered,
// CRC_32 included) and stores its events, by the storage rule, in the first
// record of `list` whose SID is the section's service_id. An event whose start
// equals one already kept is skipped without refreshing its texts.
//
// Returns how many events were stored in the record at `currentChannel` (0 for
// any other record): the caller tells the main window once per stored event.
//
// Events whose start or duration is not a valid date and time are skipped; an
// event or descriptor whose length runs past the end of the section ends its
// loop. Allocates nothing.
int ParseEitSection(const std::uint8_t* section, std::size_t length, ChannelList& list,
                    std::int32_t currentChannel, const LocalTimeFormatter& local);
