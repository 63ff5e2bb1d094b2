// An address book on a CardDAV server as the destination of a run: each
// contact's strict card goes up as UID.vcf, never over a card already there.
#pragma once

#include "carddav/HttpClient.h"

#include "engine/Destination.h"

#include <memory>
#include <string>

namespace carddav {

class AddressBookDestination : public Destination {
public:
    // The address book's collection URL (ending in "/"), found beforehand.
    AddressBookDestination(ServerAccess access, std::string bookUrl);

    void open() override;
    // A server needs cards with a UID: always strict.
    std::optional<CardFormat> requiredFormat() const override { return CardFormat::Strict; }
    // Written when the server took the card, AlreadyThere when it holds one
    // with that UID (412); NotWritten, logged with the server's status, when it
    // refuses this card; Stop when the server is gone or refuses the user.
    Outcome deliver(const PreparedContact& contact, std::int64_t rowNumber) override;
    void close() override;
    // The address book's URL.
    std::string where() const override { return bookUrl_; }

private:
    ServerAccess access_;
    std::string bookUrl_;
    std::unique_ptr<HttpClient> client_;
};

} // namespace carddav
