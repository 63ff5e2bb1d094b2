// The WebDAV multistatus answers of PROPFIND (RFC 4918), read with libxml2:
// for each resource, the properties the client asks about.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace carddav {

// One <response> with the properties found (status 200) for it.
struct DavResource {
    std::string href;
    // The response's own status says it is not there (404 for a card asked for).
    bool missing = false;
    bool collection = false;
    bool addressBook = false;
    std::string displayName;
    // Its supported-address-data names vCard 4.0 among the card formats it stores.
    bool takesVersion4 = false;
    // The entity tag, as the server wrote it.
    std::string etag;
    // The links inside current-user-principal and addressbook-home-set.
    std::string principal;
    std::string addressBookHome;
};

// Bounds on an answer's shape, far beyond any server's multistatus.
inline constexpr int kMaxXmlDepth = 64;
inline constexpr std::size_t kMaxXmlElements = 200000;

// The resources of a multistatus document; none when it is not one: not
// well-formed XML, another root, deeper or with more elements than the bounds,
// or with a document type declaration (a WebDAV answer never needs one, and its
// entities could grow a small answer into gigabytes).
std::optional<std::vector<DavResource>> parseMultistatus(std::string_view xml);

// The PROPFIND body that asks for every property DavResource holds.
std::string_view propfindBody();

// The addressbook-multiget REPORT body that asks after the resources at these
// paths (as written in their URLs) and their entity tags.
std::string multigetBody(const std::vector<std::string>& paths);

} // namespace carddav
