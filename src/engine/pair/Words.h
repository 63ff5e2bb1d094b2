// The one normaliser of names and short texts: column names, typed-group
// labels, honorifics and month names are all compared through it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace words {

// At most this many bytes of a text are read: no column name or label of a
// real export is longer, and the cost of a name stays bounded however long
// a hostile file makes it.
inline constexpr std::size_t kMaxText = 256;

// The words of a text: split at blanks and punctuation, between a small and a
// capital letter ("homePhone") and between letters and digits ("Email2");
// lower-cased, with the accents of Latin letters taken off ("Ærø" ->
// "aero", "Ñuño" -> "nuno"). Letters of other scripts stay.
std::vector<std::string> split(std::string_view text);

// The text as one key: its words joined ("E-mail Address" -> "emailaddress").
std::string key(std::string_view text);

// The text lower-cased with its accents taken off, nothing split or dropped
// ("Décembre" -> "decembre").
std::string folded(std::string_view text);

} // namespace words
