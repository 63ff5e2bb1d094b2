#include "engine/pair/ColumnEvidence.h"

#include "engine/log/LogTexts.h"

#include <optional>

namespace {

using property::Kind;
using property::Qualifier;

ColumnDecision contact(ColumnMeaning meaning, Kind kind, Qualifier q, std::string_view basis,
                       bool againstWords) {
    meaning.role = ColumnRole::Contact;
    meaning.kind = kind;
    meaning.qualifier = q;
    return {meaning, basis, againstWords};
}

ColumnDecision withRole(ColumnMeaning meaning, ColumnRole role, std::string_view basis) {
    meaning.role = role;
    return {meaning, basis, false};
}

// The kind nearly all values show beyond doubt, with what says so; none when
// they show none.
struct Shape {
    Kind kind;
    std::string_view basis;
};
std::optional<Shape> strongShape(const shapes::Profile& v) {
    if (v.nearlyAll(v.email)) {
        return Shape{Kind::Email, logtext::kBasisEmails};
    }
    if (v.nearlyAll(v.web)) {
        return Shape{Kind::Web, logtext::kBasisWebAddresses};
    }
    if (v.nearlyAll(v.unmistakablePhone)) {
        return Shape{Kind::Phone, logtext::kBasisPhones};
    }
    return std::nullopt;
}

// True when values of the shape may overrule what the name says: e-mail and
// web addresses overrule any contact data; telephone numbers never overrule an
// address part or a date, whose digits they may only look like.
bool mayOverrule(const ColumnMeaning& byName, Kind shape) {
    if (byName.role != ColumnRole::Contact) {
        return byName.role == ColumnRole::Unknown || byName.role == ColumnRole::Title;
    }
    if (byName.kind == shape) {
        return false;
    }
    return shape != Kind::Phone || (byName.kind != Kind::Address && byName.kind != Kind::Date);
}

// A column whose name says e-mail, web or telephone but whose values cannot be
// any: into the note, or onto the line their own shape asks for.
std::optional<ColumnDecision> veto(const ColumnMeaning& byName, const shapes::Profile& v) {
    if (byName.role != ColumnRole::Contact || v.filled == 0) {
        return std::nullopt;
    }
    std::string_view basis;
    if (byName.kind == Kind::Email && v.few(v.email)) {
        basis = logtext::kBasisNoEmails;
    } else if (byName.kind == Kind::Web && v.few(v.web) && v.few(v.looseWeb)) {
        basis = logtext::kBasisNoWebAddresses;
    } else if (byName.kind == Kind::Phone && v.few(v.phone) && v.few(v.sixDigits)) {
        basis = logtext::kBasisNoPhones;
    } else {
        return std::nullopt;
    }
    return withRole(byName, ColumnRole::Other, basis);
}

} // namespace

ColumnDecision weighColumn(const ColumnMeaning& byName, const shapes::Profile& v) {
    if (byName.justAnId && v.filled > 0 && !v.nearlyAll(v.recordNumber)) {
        return withRole(byName, ColumnRole::Other, logtext::kBasisNoRecordNumbers);
    }
    if (byName.is(ColumnRole::Bookkeeping) || byName.is(ColumnRole::Other)) {
        return {byName, logtext::kBasisName, false};
    }
    if (const auto shape = strongShape(v); shape && mayOverrule(byName, shape->kind)) {
        const bool against = !byName.is(ColumnRole::Unknown);
        return contact(byName, shape->kind, Qualifier::None, shape->basis, against);
    }
    if (auto vetoed = veto(byName, v)) {
        return *vetoed;
    }
    if (byName.is(ColumnRole::Title)) {
        const bool prefix = v.filled == 0 || v.honorific * 2 > v.filled;
        return prefix
                   ? contact(byName, Kind::Name, Qualifier::Prefix, logtext::kBasisHonorifics,
                             false)
                   : contact(byName, Kind::Job, Qualifier::None, logtext::kBasisJobTitles, false);
    }
    if (byName.isContact(Kind::Address) && byName.qualifier == Qualifier::Region &&
        v.nearlyAll(v.country)) {
        return contact(byName, Kind::Address, Qualifier::Country, logtext::kBasisCountries, true);
    }
    // A country column holding no country at all beside a word for the region is the region.
    if (byName.isContact(Kind::Address) && byName.qualifier == Qualifier::Country &&
        byName.regionWord && v.filled >= 2 && v.country == 0) {
        return contact(byName, Kind::Address, Qualifier::Region, logtext::kBasisNoCountries, true);
    }
    if (byName.is(ColumnRole::Unknown)) {
        if (v.nearlyAll(v.dateTime)) {
            return withRole(byName, ColumnRole::Bookkeeping, logtext::kBasisTimeStamps);
        }
        if (v.nearlyAll(v.flag)) {
            return withRole(byName, ColumnRole::Bookkeeping, logtext::kBasisFlags);
        }
        if (v.nearlyAll(v.date)) {
            return withRole(byName, ColumnRole::Time, logtext::kBasisDates);
        }
        if (v.nearlyAll(v.country)) {
            return contact(byName, Kind::Address, Qualifier::Country, logtext::kBasisCountries,
                           false);
        }
        return withRole(byName, ColumnRole::Other, logtext::kBasisUnknown);
    }
    return {byName, logtext::kBasisName, false};
}
