#include "demo_guide.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>

#include "channels/text/dvb_text.h"
#include "common/wide_text.h"
#include "guide/local_time_win.h"
#include "program_driver.h"
#include "tools/tsgen/description_parser.h"
#include "tools/tsgen/eit_tables.h"

namespace {

const tsgen::Description& Demo()
{
    static const tsgen::Description description = [] {
        std::ifstream file(std::filesystem::path(WindowsPathOf(BRISOME_SOURCE_DIR "/demo/broadcast.txt")),
                           std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)), {});
        return tsgen::ParseDescription(text);
    }();
    return description;
}

std::wstring Local(std::int64_t unixSeconds)
{
    const auto fileTime = static_cast<std::uint64_t>(unixSeconds + 11644473600LL) * 10000000ULL;
    char text[32];
    WindowsLocalTimeFormatter().Format(fileTime, text);
    return WidenAscii(text);
}

std::wstring Shown(const std::string& broadcastBytes)
{
    return ToWide(DecodeDvbText(std::span(reinterpret_cast<const std::uint8_t*>(broadcastBytes.data()),
                                          broadcastBytes.size())));
}

std::optional<ShownEvent> Shown(const tsgen::Event* event)
{
    if (!event)
        return std::nullopt;
    return ShownEvent{Local(event->start), Local(event->start + event->duration), Shown(event->title),
                      Shown(event->text)};
}

}  // namespace

ShownGuide DemoGuide(const Chaine& channel)
{
    const tsgen::Description& demo = Demo();
    for (const auto& mux : demo.multiplexes) {
        if (static_cast<std::int32_t>(mux.frequencyKHz) != channel.Frequence)
            continue;
        for (const auto& service : mux.services) {
            if (service.sid != channel.SID)
                continue;
            const tsgen::PresentFollowing pair = tsgen::FindPresentFollowing(service, demo.clock);
            return ShownGuide{Shown(pair.present), Shown(pair.following)};
        }
    }
    return {};
}

std::vector<std::wstring> DemoStatusTexts(const Chaine& channel)
{
    const ShownGuide guide = DemoGuide(channel);
    const ShownEvent none;
    const ShownEvent& present = guide.present ? *guide.present : none;
    const ShownEvent& following = guide.following ? *guide.following : none;
    return {ShownName(channel), present.start, present.title, following.start, following.title};
}
