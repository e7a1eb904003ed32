#include "tools/tsgen/clock_tables.h"

#include "channels/psi/crc32.h"
#include "tools/tsgen/byte_writer.h"
#include "tools/tsgen/utc_time.h"

namespace tsgen {
namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return std::int64_t{era} * 146097 + doe - 719468;
}

int YearOf(std::int64_t utc)
{
    int year = 1970 + static_cast<int>(utc / (365.2425 * 86400));
    while (DaysFromCivil(year, 1, 1) * 86400 > utc)
        --year;
    while (DaysFromCivil(year + 1, 1, 1) * 86400 <= utc)
        ++year;
    return year;
}

// 01:00 UTC on the last Sunday of `month` (March or October).
std::int64_t ChangeInstant(int year, int month)
{
    const std::int64_t last = DaysFromCivil(year, month, 31);
    const std::int64_t weekday = ((last + 4) % 7 + 7) % 7;  // 1970-01-01 was a Thursday; 0 is Sunday
    return (last - weekday) * 86400 + 3600;
}

void Finish(ByteWriter& w, Section& s)
{
    s = w.data();
    const std::size_t length = s.size() - 3 + 4;
    s[1] = static_cast<std::uint8_t>(0x70 | length >> 8);
    s[2] = static_cast<std::uint8_t>(length);
    const std::uint32_t crc = Crc32Mpeg(s.data(), s.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        s.push_back(static_cast<std::uint8_t>(crc >> shift));
}

}  // namespace

Section BuildTdt(std::int64_t now)
{
    ByteWriter w;
    w.U8(0x70);
    w.U16(0x7005);  // short form, reserved bits set, section_length 5
    w.Bytes(EncodeEitStart(now));
    return w.data();
}

Section BuildTot(std::int64_t now)
{
    const int year = YearOf(now);
    const std::int64_t spring = ChangeInstant(year, 3);
    const std::int64_t autumn = ChangeInstant(year, 10);
    const bool summer = now >= spring && now < autumn;
    const std::int64_t change = summer ? autumn : now < spring ? spring : ChangeInstant(year + 1, 3);

    ByteWriter w;
    w.U8(0x73);
    w.U16(0);  // section_length, filled in by Finish
    w.Bytes(EncodeEitStart(now));
    const auto loop = w.OpenLength12(0xF);
    w.U8(0x58);
    const auto len = w.OpenLength8();
    w.Bytes(std::string("FRA"));
    w.U8(0x02);                   // region 0, reserved bit, polarity + (east)
    w.U16(summer ? 0x0200 : 0x0100);
    w.Bytes(EncodeEitStart(change));
    w.U16(summer ? 0x0100 : 0x0200);
    w.CloseLength8(len);
    w.CloseLength12(loop);
    Section s;
    Finish(w, s);
    return s;
}

}  // namespace tsgen
