// Finding the address books behind a URL (RFC 6764 and RFC 6352): the URL
// itself when it is one, otherwise through /.well-known/carddav, the user's
// principal and its address book home.
#pragma once

#include "carddav/HttpClient.h"

#include <optional>
#include <string>
#include <vector>

namespace carddav {

struct AddressBook {
    // The collection's whole URL, ending in "/".
    std::string url;
    // Its display name, or the last segment of its path when it has none, as
    // it may be shown.
    std::string name;
};

// The address books found, or the one line that says why the server cannot be used.
struct Discovery {
    std::vector<AddressBook> books;
    std::string failure;
};

// Asks the server at `url` (already checked) for the user's address books.
Discovery findAddressBooks(HttpClient& client, const std::string& url);

// The address book `wanted` names (its display name or the last segment of its
// path); without a name, the only one. Otherwise the line that lists the
// choices, their URLs as `shown` lets them be printed.
struct Choice {
    std::optional<AddressBook> book;
    std::string failure;
};
Choice chooseAddressBook(const std::vector<AddressBook>& books, const std::string& wanted,
                         const ServerText& shown);

} // namespace carddav
