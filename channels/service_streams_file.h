#pragma once
// A service's stream list in the channel file: one element per track after the
// channel's PID and codec lines, each holding its fields in one text separated
// by commas, so that an older version, which keeps an unknown element's name and
// text only, writes it back unchanged.
//   <PisteSon>PID,language,kind,codec[,spoken language]</PisteSon>
//       kind: "principale", "vo", "audiodescription", "malentendants", "sous-titres-lus"
//   <SousTitresDVB>PID,language,type (2 hex digits),composition page,ancillary page</SousTitresDVB>
//   <SousTitresTeletexte>PID,language,type,page (3 hex digits, "888")</SousTitresTeletexte>
// A channel without tracks (a file of an older version) has none of them. An
// element that does not read as a track (bad PID, unknown codec or kind) is
// left out.
#include <string>
#include <string_view>

#include "channels/channel_file.h"
#include "channels/service_streams.h"

constexpr std::u16string_view kAudioTrackElement = u"PisteSon";
constexpr std::u16string_view kDvbSubtitleElement = u"SousTitresDVB";
constexpr std::u16string_view kTeletextSubtitleElement = u"SousTitresTeletexte";

// The lines of every track, CR LF ended, indented like a channel's fields.
void AppendStreamLines(std::string& out, const ServiceStreams& streams);

// The tracks of an entry's track elements, in their order.
ServiceStreams StreamsFromEntry(const XmlNodeView& entry);
