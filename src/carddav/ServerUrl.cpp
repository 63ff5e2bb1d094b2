#include "carddav/ServerUrl.h"

#include "carddav/ServerText.h"

#include <arpa/inet.h>
#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace carddav {

namespace {

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using Url = std::unique_ptr<CURLU, UrlDeleter>;

std::optional<std::string> part(const Url& url, CURLUPart which, unsigned flags = 0) {
    char* value = nullptr;
    if (curl_url_get(url.get(), which, &value, flags) != CURLUE_OK || value == nullptr) {
        return std::nullopt;
    }
    std::string text = value;
    curl_free(value);
    return text;
}

// Only an address literal counts: "127.0.0.1.example.org" is a name like any other.
bool isLoopback(const std::string& host) {
    in_addr v4{};
    return host == "localhost" || host == "[::1]" ||
           (inet_pton(AF_INET, host.c_str(), &v4) == 1 && (ntohl(v4.s_addr) >> 24) == 127);
}

Url parsed(const std::string& text) {
    Url url(curl_url());
    if (url && curl_url_set(url.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) {
        url.reset();
    }
    return url;
}

// The text quoted as a refusal repeats it: a user name and password before
// the host read "…", whether or not the rest is a URL.
std::string quoted(std::string_view text) {
    const auto scheme = text.find("://");
    const auto from = scheme == std::string_view::npos ? 0 : scheme + 3;
    const auto at = text.substr(0, text.find_first_of("/?#", from)).rfind('@');
    std::string shown(text);
    if (at != std::string_view::npos && at >= from) {
        shown.replace(from, at - from, "…");
    }
    std::string quotedText = "'";
    quotedText.append(printable(shown)).append("'");
    return quotedText;
}

UrlCheck refused(const std::string& text, std::string why) {
    return {std::nullopt, quoted(text) + " " + why, why};
}

} // namespace

UrlCheck checkServerUrl(const std::string& text) {
    const Url url = parsed(text);
    if (!url) {
        return refused(text, "is not a URL such as https://host/");
    }
    const auto scheme = part(url, CURLUPART_SCHEME).value_or("");
    const auto host = part(url, CURLUPART_HOST).value_or("");
    if (part(url, CURLUPART_USER) || part(url, CURLUPART_PASSWORD)) {
        return refused(text, "holds a user name or password: give the user separately");
    }
    const bool plain = scheme == "http";
    if (plain && !isLoopback(host)) {
        return refused(text, "is plain http: only https is used, except to this computer "
                             "(127.0.0.1)");
    }
    if (!plain && scheme != "https") {
        return refused(text, "is not an http or https URL");
    }
    const auto normal = part(url, CURLUPART_URL);
    if (!normal) {
        return refused(text, "is not a URL such as https://host/");
    }
    return {CheckedUrl{*normal, plain}, {}, {}};
}

bool sameServer(const std::string& a, const std::string& b) {
    const Url first = parsed(a);
    const Url second = parsed(b);
    if (!first || !second) {
        return false;
    }
    for (const CURLUPart which : {CURLUPART_SCHEME, CURLUPART_HOST, CURLUPART_PORT}) {
        const auto one = part(first, which, CURLU_DEFAULT_PORT);
        const auto other = part(second, which, CURLU_DEFAULT_PORT);
        if (!one || !other ||
            !std::equal(one->begin(), one->end(), other->begin(), other->end(), [](char x, char y) {
                return std::tolower(static_cast<unsigned char>(x)) ==
                       std::tolower(static_cast<unsigned char>(y));
            })) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> resolveUrl(const std::string& base, const std::string& link) {
    const Url url = parsed(base);
    if (!url || curl_url_set(url.get(), CURLUPART_URL, link.c_str(), 0) != CURLUE_OK) {
        return std::nullopt;
    }
    return part(url, CURLUPART_URL);
}

std::string asCollection(std::string url) {
    const auto end = url.find_first_of("?#");
    const auto at = end == std::string::npos ? url.size() : end;
    if (at > 0 && url[at - 1] == '/') {
        return url;
    }
    return url.substr(0, at) + "/" + url.substr(at);
}

std::string lastSegment(const std::string& text) {
    std::string path = pathOf(text);
    while (!path.empty() && path.back() == '/') {
        path.pop_back();
    }
    return path.substr(path.rfind('/') + 1);
}

std::string pathOf(const std::string& text, bool decoded) {
    const Url url = parsed(text);
    return url ? part(url, CURLUPART_PATH, decoded ? CURLU_URLDECODE : 0).value_or("") : "";
}

} // namespace carddav
