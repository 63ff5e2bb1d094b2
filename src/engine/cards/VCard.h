// The card text of a record of named values only, as the card writers make it
// (cards/CardWriter.h), for callers that hold such a record.
#pragma once

#include "engine/cards/CardValues.h"

#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The classic card of a record of property values (at least the first
// property::kPairedInOrder; the later ones may be missing): lines from
// "begin:vcard" to "end:vcard" joined by single line feeds, each written only
// when the values it carries are non-empty. No text when the record cannot be
// rendered.
std::optional<std::string> vCardRepresentation(const std::vector<std::string>& record,
                                               std::string_view version);

// The same text; throws std::out_of_range for a record that is too short.
std::string renderVCard(const std::vector<std::string>& record, std::string_view version);
// The strict card of the record, with the UID. Throws std::out_of_range as
// renderVCard does.
std::string renderStrictVCard(const std::vector<std::string>& record, std::string_view uid);
// The error-log entry for a record that could not be rendered.
std::string renderFailureEntry(const std::exception& e);
