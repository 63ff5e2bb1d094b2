// What a column holds as its name says it, read through the vocabulary: a
// kind of contact data with its qualifier, place and number ("Phone 2"), a
// part of something made of several columns (a birthday's month, a house
// number), bookkeeping, or data no property holds.
#pragma once

#include "engine/pair/Properties.h"
#include "engine/pair/Vocabulary.h"

#include <cstdint>
#include <string_view>
#include <vector>

enum class ColumnRole : std::uint8_t {
    // Its words say nothing: its values decide.
    Unknown,
    // Contact data of a kind.
    Contact,
    // A title: an honorific or a job title, as the values tell.
    Title,
    // A CRM's bookkeeping, left out.
    Bookkeeping,
    // Data no property holds: into the note.
    Other,
    // A date that is no birthday: into the note.
    Time,
    // A birthday's day, month or year ("Birth Month", "Geburtsjahr").
    BirthPart,
    // A plain day, month or year; a birthday's when it stands beside one.
    DatePart,
    // A house number, and the addition to it.
    HouseNumber,
    HouseAddition,
    // The particle before the family name ("van der").
    FamilyPrefix,
    // Only a number word ("Number", "Nr."): a house number beside a street.
    Number,
};

struct ColumnMeaning {
    ColumnRole role = ColumnRole::Unknown;
    property::Kind kind = property::Kind::Note;
    property::Qualifier qualifier = property::Qualifier::None;
    property::Place place = property::Place::None;
    // A mailing, billing or shipping address: the contact's own, work or home
    // as the rest of the layout implies.
    bool mailing = false;
    // The name says "line" ("Address Line 2").
    bool line = false;
    // A word of the name says region beside another kind ("Country/Region").
    bool regionWord = false;
    // The name is "ID" and nothing else: a record's number, or a tax or
    // customer number, as the values tell.
    bool justAnId = false;
    // The number in the name ("Phone 2" -> 2); 0 when there is none.
    int ordinal = 0;
    // The day, month or year a word of the name can stand for.
    vocabulary::DatePart datePart = vocabulary::DatePart::None;
    // The languages of the words it knew, a word an entry.
    std::vector<vocabulary::Languages> languages;

    bool is(ColumnRole r) const { return role == r; }
    bool isContact(property::Kind k) const { return role == ColumnRole::Contact && kind == k; }
};

// The meaning of a column name alone.
ColumnMeaning classifyColumnName(std::string_view header);
