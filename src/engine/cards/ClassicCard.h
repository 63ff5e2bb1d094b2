// The cards this converter has always written: LF line ends, lower-case
// begin/version/end, FN and N only for a contact with a name.
#pragma once

#include "engine/cards/CardWriter.h"

#include <string_view>

class ClassicCard final : public CardWriter {
public:
    // The version is written as given; the format's own writer says "3.0".
    explicit ClassicCard(std::string_view version) : version_(version) {}

    // The card; a classic card carries no UID.
    void writeInto(std::string& out, const ContactRecord& record,
                   std::string_view uid) const override;
    bool needsUid() const override { return false; }

private:
    // What the version line says.
    std::string_view version_;
};
