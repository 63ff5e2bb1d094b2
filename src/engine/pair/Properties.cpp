#include "engine/pair/Properties.h"

#include <algorithm>

namespace property {

namespace {

// TYPEs that only telephone numbers without a property of their own carry.
std::span<const std::string_view> qualifierOnlyTypes(Qualifier q) {
    switch (q) {
    case Qualifier::Video:
        return types::kVideo;
    case Qualifier::Modem:
        return types::kModem;
    case Qualifier::Bbs:
        return types::kBbs;
    case Qualifier::Message:
        return types::kMessage;
    default:
        return {};
    }
}

bool isPlaceType(std::string_view type) {
    for (const Place place : {Place::Work, Place::Home}) {
        const auto given = placeTypes(place);
        if (std::find(given.begin(), given.end(), type) != given.end()) {
            return true;
        }
    }
    return false;
}

} // namespace

std::vector<std::string_view> typesFor(Kind kind, Qualifier qualifier, Place place) {
    if (const auto exact = find(kind, qualifier, place)) {
        const auto given = descriptorOf(*exact).types;
        return {given.begin(), given.end()};
    }
    const auto placed = placeTypes(place);
    std::vector<std::string_view> out(placed.begin(), placed.end());
    const auto add = [&out](std::string_view type) {
        if (std::find(out.begin(), out.end(), type) == out.end()) {
            out.push_back(type);
        }
    };
    for (const std::string_view type : qualifierOnlyTypes(qualifier)) {
        add(type);
    }
    if (qualifier == Qualifier::None) {
        return out;
    }
    for (const Descriptor& d : kTable) {
        if (d.kind == kind && d.qualifier == qualifier) {
            for (const std::string_view type : d.types) {
                if (!isPlaceType(type)) {
                    add(type);
                }
            }
            break;
        }
    }
    return out;
}

} // namespace property
