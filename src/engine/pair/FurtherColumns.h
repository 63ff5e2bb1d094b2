// Columns that pairing by names carries by their position instead of pairing
// them with a property: a second e-mail column when the e-mail properties are
// taken, the second of two columns of one name, the parts of an address that
// has no block of its own. Each row's values become further values of the
// record, so nothing a column holds is dropped.
#pragma once

#include "engine/cards/ContactRecord.h"
#include "engine/pair/Properties.h"

#include <cstddef>
#include <string>
#include <vector>

struct FurtherColumn {
    // How a value of the column goes into the record.
    enum class Use {
        // One more value of `kind`, with `types` (and `name` for Text).
        Value,
        // The `part` of the further address `address` of the row; a street
        // line that finds the street taken is added below it.
        AddressPart,
        // One more line of the named property `property` ("Street 3").
        AddToProperty,
        // A line "Column: value" in the note.
        NoteLine,
    };

    std::size_t index = 0;
    std::string header;
    // What decided how it is carried, as the log and the pair table say it.
    std::string basis;
    Use use = Use::Value;
    ValueKind kind = ValueKind::Text;
    std::vector<std::string> types;
    // The vCard property of a Text value ("NOTE", "ORG", "TITLE" ...).
    std::string name;
    // Which of the row's further addresses a part belongs to.
    std::size_t address = 0;
    AddressPart part = Street;
    property::Position property = property::Notes;

    // What the column's values become, for the log and the pair table:
    // "EMAIL", "TEL", "ADR", "NOTE" ... or "the note".
    std::string lineName() const;
};

// Adds the row's values of the further columns to the record, in column
// order; empty values add nothing. Fields beyond the row are empty.
void spreadFurtherValues(const std::vector<std::string>& fields,
                         const std::vector<FurtherColumn>& columns, ContactRecord& record);

// A note line for a column the user keeps in the note.
FurtherColumn noteLineColumn(std::size_t index, const std::string& header);
