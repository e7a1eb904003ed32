#include "guide/schedule/event_texts.h"

#include <span>

#include "channels/text/dvb_text.h"

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string DvbTextToUtf8(std::string_view bytes)
{
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    return Utf16ToUtf8(DecodeDvbText(std::span(data, bytes.size())));
}

std::string FrenchGenre(std::uint8_t content)
{
    if (content == 0x23)
        return "Documentaire";
    switch (content >> 4) {
    case 0x1: return "Film";
    case 0x2: return "Information";
    case 0x3: return "Spectacle";
    case 0x4: return "Sport";
    case 0x5: return "Jeunesse";
    case 0x6: return "Musique";
    case 0x7: return "Culture";
    case 0x8: return "Société";
    case 0x9: return "Éducation";
    case 0xA: return "Loisirs";
    default: return {};
    }
}

std::string FrenchAgeMark(std::uint8_t minimumAge)
{
    if (minimumAge >= 18)
        return "-18";
    if (minimumAge >= 16)
        return "-16";
    if (minimumAge >= 12)
        return "-12";
    if (minimumAge >= 10)
        return "-10";
    return {};
}

GuideEntry DecodeEvent(const ServiceKey& service, const ScheduleEvent& event)
{
    GuideEntry g;
    g.service = service;
    g.eventId = event.eventId;
    g.start = event.start;
    g.stop = event.end();
    g.title = DvbTextToUtf8(event.title);
    g.subtitle = DvbTextToUtf8(event.shortText);
    for (const auto& [description, item] : event.items) {
        if (!g.description.empty())
            g.description += '\n';
        g.description += DvbTextToUtf8(description) + " : " + DvbTextToUtf8(item);
    }
    if (!event.extendedText.empty()) {
        if (!g.description.empty())
            g.description += '\n';
        g.description += DvbTextToUtf8(event.extendedText);
    }
    g.content = event.content;
    g.minimumAge = event.minimumAge;
    g.flags = event.flags;
    return g;
}
