// Control characters in cell values: NUL and the other C0 controls break
// vCard readers, so they never reach a card. Tab, CR and LF stay.
#pragma once

#include "engine/cards/ContactRecord.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Removes them from the value; answers how many went.
std::size_t dropControlCharacters(std::string& value);

// The same for every value of a record; answers how many went in all.
std::size_t dropControlCharacters(std::vector<std::string>& record);

// The same for every value of a contact, further values included.
std::size_t dropControlCharacters(ContactRecord& record);

// True when the text holds one that would be removed: a record made from
// rows without any needs no look at its values.
bool holdsControlCharacters(std::string_view text);

// The error-log line for a run that dropped some.
std::string droppedControlCharactersEntry(std::size_t count);
