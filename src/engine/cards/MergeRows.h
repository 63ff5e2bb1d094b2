// One card per person: rows that share an e-mail address (in any letter case),
// or that have the same name and share a telephone number (by its digits),
// are one person. Their card is the first row's, holding every value of the
// others; a person's rows are never joined for a name alone.
#pragma once

#include "engine/cards/ContactRecord.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct RowGroups {
    // For each contact (0 for the first), the contact whose card holds it:
    // itself, or the first contact of its person.
    std::vector<std::size_t> cardOf;
    // For each contact whose card holds others, the contacts of the card in
    // row order, itself first; empty for every other contact.
    std::vector<std::vector<std::size_t>> members;
    // What a run counts while it reads the rows for their people, by contact.
    std::vector<std::uint32_t> phonesLeft;
    std::vector<std::uint32_t> droppedControls;
    // The label a property's value has in the note ("Column: value"): the
    // name of the column paired with it, else the property's name.
    std::vector<std::string> labels;

    // Contacts whose card is another's.
    std::size_t merged() const;
};

// What tells one person from another in a record.
struct PersonKeys {
    // Every e-mail address, in lower case.
    std::vector<std::string> emails;
    // The name spoken (the full name, else the names), in lower case with
    // single blanks; empty without one.
    std::string name;
    // The digits of every telephone number with at least five.
    std::vector<std::string> phones;
};
PersonKeys personKeys(const ContactRecord& record);

// Joins the people of records given in row order.
class PersonFinder {
public:
    // The next contact's keys.
    void add(const PersonKeys& keys);
    // For each contact added, the first contact of its person.
    std::vector<std::size_t> firstOfEach();

private:
    std::size_t root(std::size_t contact);
    void join(std::size_t a, std::size_t b);
    // Keeps the key's first contact; joins a later one to it.
    void meet(const std::string& key, std::size_t contact);

    std::vector<std::size_t> parent_;
    std::unordered_map<std::string, std::size_t> firstWithKey_;
};

// Adds what `later`, another row of the same person, holds to `merged`:
// telephone numbers, e-mail addresses, web pages and addresses it does not
// hold yet as more lines of their kind (in the property's place where that is
// empty), note lines it lacks, further values it lacks; a single-valued
// property keeps merged's non-empty value, and a different one of `later`
// goes into the note as "Label: value" with the property's label.
void mergeInto(ContactRecord& merged, const ContactRecord& later,
               const std::vector<std::string>& labels);

// "3, 7 and 12": the rows of a card.
std::string rowsOfCard(const std::vector<std::int64_t>& rows);
