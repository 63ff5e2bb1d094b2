#include "carddav/Discovery.h"

#include "carddav/Multistatus.h"
#include "carddav/ServerUrl.h"

namespace carddav {

namespace {

// One PROPFIND's resources, their hrefs made whole; or the failure line.
struct Listing {
    std::vector<DavResource> resources;
    std::string failure;
    // The server sends the client to another server, which it does not follow.
    bool elsewhere = false;
};

Listing propfind(HttpClient& client, const std::string& url, const char* depth) {
    const HttpAnswer answer = client.request(
        "PROPFIND", url,
        {std::string("Depth: ") + depth, "Content-Type: application/xml; charset=utf-8"},
        std::string(propfindBody()));
    const std::string at = client.shown()(url);
    using Failure = HttpAnswer::Failure;
    if (answer.failure == Failure::Certificate) {
        return {{},
                "the server at " + at + " cannot be used: its certificate is not trusted (" +
                    answer.error + ")"};
    }
    if (answer.failure == Failure::CaFile || !answer.redirect.empty()) {
        return {{}, answer.error, !answer.redirect.empty()};
    }
    if (answer.status == 0) {
        return {{}, "the server at " + at + " cannot be reached: " + answer.error};
    }
    if (answer.status == 401) {
        return {{}, "the server refused the user name or password (" + answer.describe() + ")"};
    }
    if (answer.status != 207) {
        return {{}, at + " is not a CardDAV address: the server answered " + answer.describe()};
    }
    auto resources = parseMultistatus(answer.body);
    if (!resources) {
        return {{}, at + " answered with something that is not a WebDAV multistatus"};
    }
    for (auto& resource : *resources) {
        resource.href = resolveUrl(answer.url, resource.href).value_or("");
    }
    return {std::move(*resources), {}, false};
}

// The resource the listing says of `url` itself, or its first one.
const DavResource* self(const Listing& listing, const std::string& url) {
    for (const auto& resource : listing.resources) {
        if (asCollection(resource.href) == asCollection(url)) {
            return &resource;
        }
    }
    return listing.resources.empty() ? nullptr : &listing.resources.front();
}

AddressBook bookOf(const HttpClient& client, const DavResource& resource) {
    const std::string url = asCollection(resource.href);
    return {url,
            client.shown()(resource.displayName.empty() ? lastSegment(url) : resource.displayName)};
}

// The address books among the members of the collection at `url`.
Discovery listBooks(HttpClient& client, const std::string& url) {
    const Listing listing = propfind(client, url, "1");
    if (!listing.failure.empty()) {
        return {{}, listing.failure};
    }
    Discovery found;
    for (const auto& resource : listing.resources) {
        if (resource.addressBook && !resource.href.empty()) {
            found.books.push_back(bookOf(client, resource));
        }
    }
    if (found.books.empty()) {
        found.failure = "no address book found at " + client.shown()(url);
    }
    return found;
}

} // namespace

Discovery findAddressBooks(HttpClient& client, const std::string& url) {
    const Listing start = propfind(client, url, "0");
    if (!start.failure.empty()) {
        return {{}, start.failure};
    }
    const DavResource* here = self(start, url);
    if (here != nullptr && here->addressBook) {
        return {{bookOf(client, *here)}, {}};
    }
    std::string principal = here != nullptr ? here->principal : "";
    std::string base = url;
    if (principal.empty()) {
        // RFC 6764: the server's well-known address leads to its CardDAV root.
        base = resolveUrl(url, "/.well-known/carddav").value_or(url);
        const Listing known = propfind(client, base, "0");
        if (known.elsewhere) {
            return {{}, known.failure};
        }
        const DavResource* root = self(known, base);
        principal = root != nullptr ? root->principal : "";
    }
    std::string home = here != nullptr ? here->addressBookHome : "";
    if (home.empty() && !principal.empty()) {
        const std::string principalUrl = resolveUrl(base, principal).value_or(url);
        const Listing user = propfind(client, principalUrl, "0");
        if (!user.failure.empty()) {
            return {{}, user.failure};
        }
        const DavResource* found = self(user, principalUrl);
        home =
            found != nullptr ? resolveUrl(principalUrl, found->addressBookHome).value_or("") : "";
    } else if (!home.empty()) {
        home = resolveUrl(url, home).value_or("");
    }
    if (home.empty()) {
        // A server without the discovery properties: the URL may be the home itself.
        return here != nullptr && here->collection
                   ? listBooks(client, asCollection(url))
                   : Discovery{{}, "no address book found at " + client.shown()(url)};
    }
    return listBooks(client, asCollection(home));
}

Choice chooseAddressBook(const std::vector<AddressBook>& books, const std::string& wanted,
                         const ServerText& shown) {
    if (wanted.empty() && books.size() == 1) {
        return {books.front(), {}};
    }
    for (const auto& book : books) {
        if (!wanted.empty() && (book.name == wanted || lastSegment(book.url) == wanted)) {
            return {book, {}};
        }
    }
    std::string line = wanted.empty()
                           ? "choose an address book with --address-book:"
                           : "no address book named '" + printable(wanted) + "'; there are:";
    for (const auto& book : books) {
        line += "\n  " + book.name + " (" + shown(lastSegment(book.url)) + ")  " + shown(book.url);
    }
    return {std::nullopt, line};
}

} // namespace carddav
