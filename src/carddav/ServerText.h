// What a server says, made fit for a terminal, a window and the error log: its
// control characters escaped (ESC reads "\x1b"), the user's credentials
// blanked out in every form a server could echo them in, and cut to a line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace carddav {

// The most bytes of one piece of server text shown, before "…" marks the cut.
inline constexpr std::size_t kShownLength = 200;

// `text` with each byte that is not part of a printable UTF-8 character written
// as \xNN (C0 and C1 controls, DEL, malformed bytes), cut to `max` bytes.
std::string printable(std::string_view text, std::size_t max = kShownLength);

class ServerText {
public:
    ServerText(const std::string& user, const std::string& password);

    // The text printable and cut, with the password, its URL-encoded form and
    // the Basic credentials (user:password in base64) each read "[hidden]".
    std::string operator()(std::string_view text, std::size_t max = kShownLength) const;

private:
    // Longest first, so that the credentials go before the password inside them.
    std::vector<std::string> secrets_;
};

} // namespace carddav
