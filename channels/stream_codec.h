#pragma once
// The names of the stream codecs, as the channel file stores them.
#include <optional>
#include <string_view>

#include "channels/chaine.h"

// "H.264", "HEVC", "AAC", "AAC-LATM", "E-AC-3"; "" for the classic kinds, which
// the channel file never names.
std::string_view StreamCodecName(StreamCodec codec);

// The codec a stored name stands for; nullopt for a name this program does not
// know (a later version's codec), which the reader then leaves classic.
std::optional<StreamCodec> StreamCodecFromName(std::u16string_view name);
