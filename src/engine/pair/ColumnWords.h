// The words of a column name, as the vocabulary of column kinds compares them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The words of a header: split at blanks, punctuation ("_ - / . ( ) :" and
// the like), between a small and a capital letter ("homePhone") and between
// letters and digits ("Email2"); lower-cased, with the accents of Latin
// letters taken off ("Straße" -> "strasse", "Téléphone" -> "telephone").
std::vector<std::string> columnWords(std::string_view header);
