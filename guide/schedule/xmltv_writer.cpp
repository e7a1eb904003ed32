#include "guide/schedule/xmltv_writer.h"

#include <cstdio>
#include <ctime>
#include <set>

#include "guide/mjd.h"
#include "guide/schedule/event_texts.h"

namespace {

// Length of the valid UTF-8 sequence at `i`, 0 when the bytes there are not one.
std::size_t Utf8Sequence(const std::string& s, std::size_t i)
{
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 0;
    return n;
}

void Element(std::string& out, const char* name, const std::string& text, bool french = true)
{
    if (text.empty())
        return;
    out += "    <";
    out += name;
    if (french)
        out += " lang=\"fr\"";
    out += '>' + XmlEscape(text) + "</" + name + ">\n";
}

void Programme(std::string& out, const GuideEntry& e)
{
    out += "  <programme start=\"" + XmltvTime(e.start) + "\" stop=\"" + XmltvTime(e.stop) + "\" channel=\"" +
           XmlEscape(XmltvChannelId(e.service)) + "\">\n";
    // A title is required by the DTD; a broadcast may send none.
    Element(out, "title", e.title.empty() ? std::string("Sans titre") : e.title);
    Element(out, "sub-title", e.subtitle);
    Element(out, "desc", e.description);
    Element(out, "category", FrenchGenre(e.content));
    if (e.flags & (kFlagHighDefinition | kFlagWideScreen)) {
        out += "    <video>\n";
        if (e.flags & kFlagWideScreen)
            out += "      <aspect>16:9</aspect>\n";
        if (e.flags & kFlagHighDefinition)
            out += "      <quality>HDTV</quality>\n";
        out += "    </video>\n";
    }
    if (e.flags & kFlagDeafSubtitles)
        out += "    <subtitles type=\"teletext\">\n      <language lang=\"fr\">français</language>\n    </subtitles>\n";
    const std::string mark = FrenchAgeMark(e.minimumAge);
    if (!mark.empty())
        out += "    <rating system=\"CSA\">\n      <value>" + mark + "</value>\n    </rating>\n";
    out += "  </programme>\n";
}

}  // namespace

std::string XmltvChannelId(const ServiceKey& key)
{
    return std::to_string(key.sid) + "." + std::to_string(key.tsid) + "." + std::to_string(key.onid) + ".dvb.brisome";
}

std::string XmltvTime(std::int64_t utc)
{
    // Days since 1970-01-01 to a date: MJD 40587 is that day.
    std::int64_t days = utc / 86400;
    std::int64_t seconds = utc % 86400;
    if (seconds < 0) {
        seconds += 86400;
        --days;
    }
    const CalendarDate date = MjdToDate(static_cast<std::uint16_t>(days + 40587));
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d +0000", date.year, date.month, date.day,
                  static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

std::string XmlEscape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = Utf8Sequence(text, i);
        if (n == 0) {
            ++i;
            continue;
        }
        const char c = text[i];
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            if (n > 1 || static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\t')
                out.append(text, i, n);
            else if (c == '\r')
                out += "&#13;";
            break;
        }
        i += n;
    }
    return out;
}

std::string WriteXmltv(const std::vector<GuideService>& services, const std::vector<GuideEntry>& events)
{
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n"
        "<tv generator-info-name=\"Brisome TV\">\n";
    std::set<ServiceKey> named;
    auto channel = [&out, &named](const ServiceKey& key, const std::string& name) {
        if (!named.insert(key).second)
            return;
        out += "  <channel id=\"" + XmlEscape(XmltvChannelId(key)) + "\">\n";
        const std::string shown = name.empty() ? "Service " + std::to_string(key.sid) : name;
        out += "    <display-name lang=\"fr\">" + XmlEscape(shown) + "</display-name>\n  </channel>\n";
    };
    for (const GuideService& s : services)
        channel(s.key, s.name);
    for (const GuideEntry& e : events)
        channel(e.service, {});
    for (const GuideEntry& e : events)
        Programme(out, e);
    out += "</tv>\n";
    return out;
}
