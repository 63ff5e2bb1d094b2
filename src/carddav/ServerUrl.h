// The server addresses a user gives and the server answers: which ones may be
// used, and how a link in an answer reads as a whole URL.
#pragma once

#include <optional>
#include <string>

namespace carddav {

// A URL the client may talk to, in its normal form.
struct CheckedUrl {
    std::string url;
    // Plain http, allowed because the host is a loopback address.
    bool plainHttp = false;
};

// The URL when it may be used: https, or http to 127.0.0.0/8, ::1 or localhost,
// with no credentials in it; otherwise a sentence that says why not, which
// repeats the URL printable and without a password.
struct UrlCheck {
    std::optional<CheckedUrl> checked;
    std::string refusal;
    // The refusal without the URL: "is plain http: ...".
    std::string why;
};
UrlCheck checkServerUrl(const std::string& url);

// True when both URLs name the same server: scheme, host and port.
bool sameServer(const std::string& a, const std::string& b);

// `link` (an absolute path or a whole URL from an answer) read against `base`;
// none when it cannot be read.
std::optional<std::string> resolveUrl(const std::string& base, const std::string& link);

// The URL with a "/" at the end of its path, as a collection's URL reads.
std::string asCollection(std::string url);

// The last non-empty segment of the URL's path, decoded ("contacts" for ".../contacts/").
std::string lastSegment(const std::string& url);

// The URL's path, percent-decoded or as written; empty when it is not a URL.
std::string pathOf(const std::string& url, bool decoded = true);

} // namespace carddav
