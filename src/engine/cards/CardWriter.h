// Writes the card text of one contact in one format; ExportOptions.h lists the
// formats with their writers.
#pragma once

#include "engine/ExportOptions.h"
#include "engine/cards/ContactRecord.h"

#include <string>
#include <string_view>

class CardWriter {
public:
    virtual ~CardWriter();

    // The card of the record. The uid is written only when needsUid().
    // Throws std::out_of_range for a record of fewer than
    // property::kPairedInOrder values.
    std::string write(const ContactRecord& record, std::string_view uid) const;
    // The same card appended to `out`, whose buffer a run reuses from card to card.
    virtual void writeInto(std::string& out, const ContactRecord& record,
                           std::string_view uid) const = 0;
    // True when every card carries a UID, so the caller must make one.
    virtual bool needsUid() const = 0;
    // False for a format that writes no card for a record without any value.
    virtual bool writesEmptyCards() const { return true; }
};

// A format for readers that want every card whole: FN and N on every card,
// a UID, and no card for a record without any value.
class WholeCardWriter : public CardWriter {
public:
    // BEGIN and VERSION, the body, END; CR LF after each line.
    void writeInto(std::string& out, const ContactRecord& record, std::string_view uid) const final;
    bool needsUid() const final { return true; }
    bool writesEmptyCards() const final { return false; }

protected:
    explicit WholeCardWriter(std::string_view version) : version_(version) {}
    // The lines between VERSION and END.
    virtual void writeBody(std::string& out, const ContactRecord& record,
                           std::string_view uid) const = 0;

private:
    std::string_view version_;
};

// The writer of the format; the same object on every call.
inline const CardWriter& cardWriter(CardFormat format) {
    return cardFormatInfo(format).writer();
}
