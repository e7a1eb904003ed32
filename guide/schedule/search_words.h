#pragma once
// Words of a guide text as the search compares them, so that a search in
// memory finds what the store's full-text index finds: case and accents aside
// ("ete" finds "Été"), each word of the query matching the start of a word.
#include <string>
#include <string_view>
#include <vector>

// The words of `utf8`, lower case and without accents (Latin-1 and the French
// letters of Latin Extended-A folded; "œ" to "oe"). Characters other than
// letters and digits separate words; malformed UTF-8 bytes are dropped.
std::vector<std::string> SearchWords(std::string_view utf8);

// True when every word of `query` starts a word of `words`; false for a query
// with no word.
bool MatchesAllWords(const std::vector<std::string>& query, const std::vector<std::string>& words);
