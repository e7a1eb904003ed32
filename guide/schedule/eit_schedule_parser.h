#pragma once
// Event information tables, present/following and schedule (table_id 0x4E to
// 0x6F, for this multiplex and for the others): one section into its events.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "guide/schedule/schedule_event.h"

constexpr std::uint8_t kEitFirstTableId = 0x4E;
constexpr std::uint8_t kEitLastTableId = 0x6F;

enum class EitSectionStatus {
    Ok,
    NotEit,       // another table, or not in the long form
    Damaged,      // length fields that disagree with the bytes, or a bad CRC_32
    NotCurrent,   // current_next_indicator 0: a version announced ahead of use
};

struct EitSection {
    std::uint8_t tableId = 0;
    ServiceKey service;
    std::uint8_t version = 0;
    std::uint8_t sectionNumber = 0;
    std::uint8_t lastSectionNumber = 0;
    std::uint8_t segmentLastSectionNumber = 0;
    std::uint8_t lastTableId = 0;
    std::vector<ScheduleEvent> events;
};

// Reads the section at `section` (from its table_id byte, `length` bytes as
// delivered). The CRC_32 is checked here: sections read straight from the
// transport stream have not been checked by anyone else.
//
// Events whose start is undefined or not a real instant, or whose duration is
// zero, longer than a day or not BCD, are left out; so is an event whose
// descriptor loop, or a descriptor in it, runs past what holds it: a cut event
// would be stored with texts that are not its own. An event loop that runs past
// the section ends the loop.
EitSectionStatus ParseEitSection(const std::uint8_t* section, std::size_t length, EitSection& out);
