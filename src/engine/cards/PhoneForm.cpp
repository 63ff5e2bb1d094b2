#include "engine/cards/PhoneForm.h"

#include "engine/cards/CardValues.h"

namespace {

// Rewrites one value; false when it stays as it was.
bool rewrite(std::string& value, const PhoneForm& form) {
    if (value.empty()) {
        return true;
    }
    // A spreadsheet's number with an exponent is read as the digits it stands for.
    if (auto international = form.international(vcard::expandExponent(value))) {
        value = std::move(*international);
        return true;
    }
    return false;
}

} // namespace

std::size_t writeTelephonesInternational(ContactRecord& record, const PhoneForm& form) {
    std::size_t left = 0;
    for (const property::Position p : property::kOfKind<property::Kind::Phone>) {
        if (p < record.named.size() && !rewrite(record.named[p], form)) {
            ++left;
        }
    }
    for (TypedValue& further : record.more) {
        if (further.kind == ValueKind::Telephone && !rewrite(further.value, form)) {
            ++left;
        }
    }
    return left;
}
