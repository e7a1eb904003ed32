#include "app/organise_channels_model.h"

#include <algorithm>
#include <span>

#include "channels/text/dvb_text.h"

namespace {

// The DVB selector of a text coded in UTF-8 (EN 300 468, annex A).
constexpr char kUtf8Selector = '\x15';

bool IsPlainAscii(std::u16string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x20 && c < 0x7F; });
}

// One character of `text` at `i` (a surrogate pair is one), as UTF-8; `i` moves
// past it. A lone surrogate becomes U+FFFD.
std::string NextUtf8(std::u16string_view text, std::size_t& i)
{
    char32_t c = text[i++];
    if (c >= 0xD800 && c < 0xDC00 && i < text.size() && text[i] >= 0xDC00 && text[i] < 0xE000)
        c = 0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00);
    else if (c >= 0xD800 && c < 0xE000)
        c = 0xFFFD;
    std::string out;
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
    return out;
}

std::u16string Decoded(std::string_view bytes)
{
    return DecodeDvbText(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::u16string_view Trimmed(std::u16string_view text)
{
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == 0xA0; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::u16string Number(std::int32_t n)
{
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

std::wstring Wide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

}  // namespace

std::string EncodeUserName(std::u16string_view typed, bool& cut)
{
    cut = false;
    std::string bytes;
    if (IsPlainAscii(typed)) {
        cut = typed.size() > kUserNameCapacity;
        typed = typed.substr(0, kUserNameCapacity);
        return std::string(typed.begin(), typed.end());
    }
    bytes += kUtf8Selector;
    for (std::size_t i = 0; i < typed.size();) {
        const std::string character = NextUtf8(typed, i);
        if (bytes.size() + character.size() > kUserNameCapacity) {
            cut = true;
            break;
        }
        bytes += character;
    }
    return bytes;
}

ChannelOrganiser::ChannelOrganiser(const ChannelList& list, const std::vector<ChannelChoice>& choices)
    : records_(list)
{
    const std::vector<ChannelChoice> fresh = ChoicesOf(list);
    for (std::size_t i = 0; i < list.size(); ++i) {
        order_.push_back(i);
        // Choices of another service (a list out of step) are not this channel's.
        const bool own = i < choices.size() && choices[i].key == fresh[i].key;
        choices_.push_back(own ? choices[i] : fresh[i]);
    }
}

std::u16string ChannelOrganiser::ShownText(std::size_t row) const
{
    return Decoded(ShownName(choices_[row]));
}

std::u16string ChannelOrganiser::RowText(std::size_t row) const
{
    const Chaine& record = records_[order_[row]];
    // A tab: the dialog's list sets its stop, so that the names line up.
    std::u16string text = (record.Numero > 0 ? Number(record.Numero) : u"") + u"\t";
    text += ShownText(row);
    const ChannelChoice& choice = choices_[row];
    if (choice.hidden && choice.favourite)
        text += u"  (masqu\u00e9e, favorite)";
    else if (choice.hidden)
        text += u"  (masqu\u00e9e)";
    else if (choice.favourite)
        text += u"  (favorite)";
    return text;
}

std::wstring ChannelOrganiser::Rename(std::size_t row, std::u16string_view typed)
{
    ChannelChoice& choice = choices_[row];
    typed = Trimmed(typed);
    bool cut = false;
    if (typed.empty() || typed == Decoded(choice.broadcastName)) {
        ::Rename(choice, {});
    } else {
        const std::string bytes = EncodeUserName(typed, cut);
        ::Rename(choice, bytes);
    }

    std::wstring notice;
    if (cut)
        notice = L"Le nom est trop long : il a \u00e9t\u00e9 raccourci \u00e0 " +
                 std::to_wstring(ShownText(row).size()) + L" caract\u00e8res.";
    // Names are compared as shown: one text may be coded in two tables.
    const std::u16string shown = ShownText(row);
    for (std::size_t other = 0; other < choices_.size(); ++other) {
        if (other == row || ShownText(other) != shown)
            continue;
        const Chaine& record = records_[order_[other]];
        if (!notice.empty())
            notice += L" ";
        notice += L"La cha\u00eene " +
                  (record.Numero > 0 ? std::to_wstring(record.Numero) + L" " : std::wstring()) +
                  L"porte d\u00e9j\u00e0 le nom \u00ab " + Wide(shown) + L" \u00bb.";
        break;
    }
    return notice;
}

std::size_t ChannelOrganiser::Move(std::size_t row, StepWay way)
{
    const int target = MoveTarget(order_.size(), static_cast<int>(row), way);
    if (target < 0)
        return row;
    const auto to = static_cast<std::size_t>(target);
    std::swap(order_[row], order_[to]);
    std::swap(choices_[row], choices_[to]);
    return to;
}

void ChannelOrganiser::Apply(ChannelList& list, std::vector<ChannelChoice>& choices, std::int32_t& current) const
{
    ChannelList ordered;
    ordered.reserve(order_.size());
    std::int32_t moved = current;
    for (std::size_t row = 0; row < order_.size(); ++row) {
        // The records of the program's list, not the copy: the guide's slots in
        // them are newer than the copy's.
        ordered.push_back(order_[row] < list.size() ? list[order_[row]] : records_[order_[row]]);
        if (static_cast<std::int32_t>(order_[row]) == current)
            moved = static_cast<std::int32_t>(row);
    }
    list = std::move(ordered);
    choices = choices_;
    current = moved;
}
