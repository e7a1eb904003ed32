#include "app/channel_names.h"

#include <span>
#include <string_view>

#include "channels/chaine.h"
#include "channels/channel_choices.h"
#include "channels/text/dvb_text.h"
#include "common/wide_text.h"

std::wstring ShownChannelName(std::size_t index)
{
    // The choices count only while they are in step with the channels.
    if (index >= ChannelChoices.size() || !(ChannelChoices[index].key == KeyOf(Chaines[index])))
        return ToWide(DecodeDvbText(Chaines[index].Nom));
    const std::string_view name = ShownName(ChannelChoices[index]);
    return ToWide(DecodeDvbText(std::span(reinterpret_cast<const std::uint8_t*>(name.data()), name.size())));
}
