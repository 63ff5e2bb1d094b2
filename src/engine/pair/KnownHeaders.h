// The column names of common contact exports and the properties they hold.
#pragma once

#include <span>
#include <string_view>

// One known column name; `fallback` is taken when `property` does not exist
// (yet) among the vCard properties or is taken already.
struct KnownHeader {
    std::string_view header;
    std::string_view property;
    std::string_view fallback = {};
};

// Every known column name, compared through headerKey.
std::span<const KnownHeader> knownHeaders();
