#include "guide/grid/grid_details.h"

#include <cstdlib>

#include "guide/schedule/event_texts.h"

namespace {

// Edit controls break lines at CR LF only; a description's own line feeds
// (between extended items) would show as boxes.
std::string WithCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

void AddPart(std::string& line, const std::string& part)
{
    if (part.empty())
        return;
    if (!line.empty())
        line += " \xC2\xB7 ";  // a middle dot between parts
    line += part;
}

std::string FlagsLine(const GuideEntry& e)
{
    std::string line;
    AddPart(line, FrenchGenre(e.content));
    const std::string age = FrenchAgeMark(e.minimumAge);
    if (!age.empty())
        AddPart(line, "D\xC3\xA9" "conseill\xC3\xA9 aux moins de " + age.substr(1) + " ans (" + age + ")");
    if (e.flags & kFlagHighDefinition)
        AddPart(line, "HD");
    if (e.flags & kFlagWideScreen)
        AddPart(line, "16:9");
    if (e.flags & kFlagAudioDescription)
        AddPart(line, "Audiodescription");
    if (e.flags & kFlagDeafSubtitles)
        AddPart(line, "Sous-titres pour sourds et malentendants");
    return line;
}

}  // namespace

std::string EventDetails(const GuideEntry& e, std::string_view channelName, const UtcOffsetAt& offsetAt)
{
    const LocalDate start = LocalDateOf(e.start, offsetAt(e.start));
    const LocalDate stop = LocalDateOf(e.stop, offsetAt(e.stop));
    std::string text = LongDayText(start) + ", " + ClockText(start) + " - " + ClockText(stop);
    text += "\r\n" + WithCrLf(channelName);
    text += "\r\n" + WithCrLf(e.title);
    if (!e.subtitle.empty())
        text += "\r\n" + WithCrLf(e.subtitle);
    const std::string flags = FlagsLine(e);
    if (!flags.empty())
        text += "\r\n" + flags;
    if (!e.description.empty())
        text += "\r\n\r\n" + WithCrLf(e.description);
    return text;
}

std::string SearchResultLine(const GuideEntry& e, std::string_view channelName, const UtcOffsetAt& offsetAt)
{
    const LocalDate start = LocalDateOf(e.start, offsetAt(e.start));
    std::string line = ShortDayText(start) + "  " + ClockText(start) + "  ";
    line += channelName;
    line += "  " + e.title;
    // One line per result in a list box: no line break may come through.
    for (char& c : line)
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    return line;
}

std::string ClockNotice(std::optional<std::int64_t> pcMinusBroadcast)
{
    if (!pcMinusBroadcast || std::llabs(*pcMinusBroadcast) <= 60)
        return {};
    const std::int64_t d = *pcMinusBroadcast;
    const std::int64_t magnitude = d < 0 ? -d : d;
    const std::int64_t minutes = magnitude / 60;
    std::string amount = minutes >= 120 ? std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min"
                                        : std::to_string(minutes) + " min";
    return "L'horloge du PC " + std::string(d > 0 ? "avance" : "retarde") + " de " + amount +
           " sur celle de la diffusion : les heures du guide et des enregistrements programm\xC3\xA9s peuvent "
           "\xC3\xAAtre d\xC3\xA9" "cal\xC3\xA9" "es.";
}
