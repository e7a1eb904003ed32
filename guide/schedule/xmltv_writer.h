#pragma once
// The guide as an XMLTV document (the format other guide software reads):
// channels with their names, programmes with start and stop in UTC, title,
// sub-title, description, category, CSA rating, video quality and subtitles,
// every text with lang="fr". Element order follows the XMLTV DTD.
#include <string>
#include <vector>

#include "guide/schedule/guide_entry.h"

// The channel id used in the document: "<sid>.<tsid>.<onid>.dvb.brisome".
std::string XmltvChannelId(const ServiceKey& key);

// "20261209143000 +0000".
std::string XmltvTime(std::int64_t utc);

// Text as XML character data or attribute value: markup characters escaped,
// control characters XML 1.0 does not allow and invalid UTF-8 left out.
std::string XmlEscape(const std::string& text);

// The whole document. Programmes of services not listed get a channel of their
// own, named by their numbers.
std::string WriteXmltv(const std::vector<GuideService>& services, const std::vector<GuideEntry>& events);
