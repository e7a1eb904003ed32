#include "guide/eit_parser.h"

#include <cstring>

#include "channels/psi/byte_cursor.h"
#include "guide/eit_text.h"
#include "guide/eit_time.h"
#include "guide/guide_slots.h"

namespace {

// Header (14 bytes), at least one event byte, CRC_32.
constexpr std::size_t kMinimumSection = 19;
constexpr std::size_t kEventLoopStart = 14;
constexpr std::uint8_t kShortEventTag = 0x4D;

// The event's name and text from its short event descriptors. With several
// (one per language) the last one wins. A descriptor whose inner lengths run
// past its own end is ignored.
void ReadShortEvents(ByteCursor descriptors, GuideEvent& event)
{
    while (descriptors.remaining() > 0) {
        const std::uint8_t tag = descriptors.u8();
        const std::uint8_t length = descriptors.u8();
        ByteCursor payload = descriptors.sub(length);
        if (!descriptors.ok())
            return;
        if (tag != kShortEventTag)
            continue;
        payload.skip(3);  // ISO 639 language code
        const std::uint8_t nameLength = payload.u8();
        const std::uint8_t* name = payload.bytes(nameLength);
        const std::uint8_t textLength = payload.u8();
        const std::uint8_t* text = payload.bytes(textLength);
        if (!payload.ok())
            continue;
        event.titleTable = CopyEitText(nameLength, name, event.title);
        event.descriptionTable = CopyEitText(textLength, text, event.description);
    }
}

}  // namespace

int ParseEitSection(const std::uint8_t* section, std::size_t length, ChannelList& list,
                    std::int32_t currentChannel, const LocalTimeFormatter& local)
{
    if (length < kMinimumSection)
        return 0;
    const std::uint16_t serviceId = static_cast<std::uint16_t>(section[3] << 8 | section[4]);
    std::size_t index = 0;
    while (index < list.size() && list[index].SID != serviceId)
        ++index;
    if (index == list.size())
        return 0;
    Chaine& channel = list[index];
    const bool isCurrent = currentChannel >= 0 && static_cast<std::size_t>(currentChannel) == index;

    int storedForCurrent = 0;
    ByteCursor body = SectionBody(section, length);
    body.skip(kEventLoopStart);
    while (body.remaining() > 0) {
        body.skip(2);  // event_id
        const std::uint8_t* start = body.bytes(5);
        const std::uint8_t* duration = body.bytes(3);
        // running_status and free_CA_mode share the top bits with the length.
        const std::uint16_t descriptorsLength = body.len12();
        const ByteCursor descriptors = body.sub(descriptorsLength);
        if (!body.ok())
            break;

        const std::uint64_t startTime = EitStartToFileTime(start);
        const std::int64_t seconds = EitDurationSeconds(duration);
        if (startTime == 0 || seconds < 0)
            continue;
        // This thread is the slots' only writer, so it may read them unlocked.
        // A repeated event keeps the texts it was first stored with.
        if (startTime == channel.presentEvent.startTime || startTime == channel.followingEvent.startTime)
            continue;

        GuideEvent event;
        std::memset(&event, 0, sizeof event);
        event.startTime = startTime;
        local.Format(startTime, event.startText);
        local.Format(startTime + static_cast<std::uint64_t>(seconds) * kFileTimeTicksPerSecond, event.endText);
        ReadShortEvents(descriptors, event);

        if (StoreGuideEvent(channel, event) && isCurrent)
            ++storedForCurrent;
    }
    return storedForCurrent;
}
