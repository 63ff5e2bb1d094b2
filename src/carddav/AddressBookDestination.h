// An address book on a CardDAV server as the destination of a run: each
// contact's strict card goes up as UID.vcf, never over a card already there.
#pragma once

#include "carddav/HttpClient.h"

#include "engine/Destination.h"

#include <memory>
#include <string>
#include <vector>

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
    // refuses this card or sends it to another server; Stop when the server is
    // gone or refuses the user.
    Outcome deliver(const PreparedContact& contact, std::int64_t rowNumber) override;
    // Asks the address book after the last cards it took, unless the server
    // stopped the run.
    void close() override;
    // The cards the server took that the address book does not hold when asked
    // after them, every kCheckBatch cards and at the end; each is logged.
    std::int64_t notKept() const override { return notKept_; }
    // The address book's URL, as it may be shown.
    std::string where() const override { return shownUrl_; }

    // Cards asked after in one REPORT.
    static constexpr std::size_t kCheckBatch = 500;

private:
    struct Taken {
        std::int64_t rowNumber;
        std::string url;
    };
    // Asks the address book after the cards taken since the last time, in one
    // addressbook-multiget REPORT; a server that cannot say is logged once and
    // not asked again.
    void checkTaken();

    ServerAccess access_;
    std::string bookUrl_;
    std::string shownUrl_;
    std::unique_ptr<HttpClient> client_;
    // The cards the server answered with 2xx since the last check, in row order.
    std::vector<Taken> taken_;
    bool checking_ = true;
    std::int64_t notKept_ = 0;
};

} // namespace carddav
