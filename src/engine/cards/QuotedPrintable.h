// Quoted-printable (RFC 2045) as vCard 2.1 writes a value outside printable
// ASCII: each byte that is no printable ASCII, and "=", as "=XX".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vcard {

// Appends the value quoted-printable: a line break as "=0D=0A", a tab as
// "=09", a blank that would end or start a line as "=20". Soft line breaks ("=" CR LF) keep each
// line at most 76 octets, `used` of the first taken by what precedes the
// value, and never part a character's bytes.
void appendQuotedPrintable(std::string& out, std::string_view value, std::size_t used);

} // namespace vcard
