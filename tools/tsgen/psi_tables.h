#pragma once
// Builds the program-specific and service information tables of one multiplex:
// PAT, PMT, SDT actual, NIT actual, each as one complete section with its CRC_32.
// A table that does not fit in one section throws std::length_error.
#include <cstdint>
#include <vector>

#include "channels/psi/ts_packet.h"
#include "tools/tsgen/description.h"

namespace tsgen {

using Section = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kTablePat = 0x00;
inline constexpr std::uint8_t kTablePmt = 0x02;
inline constexpr std::uint8_t kTableNitActual = 0x40;
inline constexpr std::uint8_t kTableSdtActual = 0x42;
inline constexpr std::uint8_t kTableEitActualPf = 0x4E;
inline constexpr std::uint8_t kTableEitOtherPf = 0x4F;

inline constexpr std::uint16_t kPidPat = 0x0000;
inline constexpr std::uint16_t kPidNit = 0x0010;
inline constexpr std::uint16_t kPidSdt = 0x0011;
inline constexpr std::uint16_t kPidEit = 0x0012;
inline constexpr std::uint16_t kPidNull = kTsNullPid;

// Wraps a section body (the bytes after last_section_number) in the long
// section header and appends the CRC_32. `siTable` sets the bit that SI tables
// mark as reserved_future_use and PSI tables keep at 0.
Section FinishSection(std::uint8_t tableId, bool siTable, std::uint16_t tableIdExtension, std::uint8_t version,
                      std::uint8_t sectionNumber, std::uint8_t lastSectionNumber,
                      const std::vector<std::uint8_t>& body, std::size_t maxSectionBytes);

// Network entry first (programme 0 on the NIT PID), then every service.
Section BuildPat(const Multiplex& mux);
Section BuildPmt(const Service& service);
Section BuildSdt(const Multiplex& mux);
// Every multiplex of the description carried by network `networkId`, with its
// service list, terrestrial delivery parameters and logical channel numbers.
Section BuildNit(const Description& description, std::uint16_t networkId);

}  // namespace tsgen
