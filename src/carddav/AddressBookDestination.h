// An address book on a CardDAV server as the destination of a run: each
// contact's strict card goes up as UID.vcf, several at once, never over a card
// already there unless the user asked to replace what an earlier upload of
// the same file put there, and then only a card unchanged on the server since.
#pragma once

#include "carddav/HttpClient.h"
#include "carddav/UploadStatus.h"

#include "engine/Destination.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace carddav {

// What an upload may do beyond adding cards.
struct UploadChoices {
    // The CSV file the cards come from, which names the upload's status.
    std::string csvPath;
    // Remove the cards an earlier upload of the file put into the address book
    // that this one no longer makes.
    bool replacePrevious = false;
    // A card of an earlier upload whose UID this one makes again with other
    // content (an edited row whose UID comes from an identity column) is
    // replaced. Either choice allows it.
    bool replaceChanged = false;
};

class AddressBookDestination : public Destination {
public:
    // The address book's collection URL (ending in "/"), found beforehand.
    AddressBookDestination(ServerAccess access, std::string bookUrl, UploadChoices choices = {});

    // Reads what earlier uploads of the file put there.
    void open() override;
    // Cards with a UID: strict vCard 3.0, or vCard 4.0 when the user chose it
    // and the address book says it stores 4.0 cards.
    std::optional<CardFormat> requiredFormat(CardFormat chosen) override;
    // Starts the card's PUT and answers Pending; waits first while as many
    // requests as connections are in flight. A card without a UID is NotWritten.
    Outcome deliver(const PreparedContact& contact, std::int64_t rowNumber) override;
    // Each card: Written when the server took it, AlreadyThere when it holds
    // one with that UID (412), Replaced or KeptChanged when that card came from
    // an earlier upload and the choices allow replacing it; NotWritten, logged
    // with the server's status, when it refuses this card or sends it to
    // another server; Stop when the server is gone or refuses the user.
    std::vector<Finished> collect(bool wait) override;
    // With replacePrevious, removes the cards of earlier uploads this one no
    // longer makes, each only if unchanged since (If-Match its entity tag).
    void runCompleted() override;
    // Asks the address book after the last cards it took, unless the server
    // stopped the run, and writes down what is where for the next upload.
    void close() override;
    // The cards the server took that the address book does not hold when asked
    // after them, every kCheckBatch cards and at the end (each is logged), and
    // the cards of earlier uploads removed or kept.
    Afterwards afterwards() const override { return afterwards_; }
    // The address book's URL, as it may be shown.
    std::string where() const override { return shownUrl_; }

    // Cards asked after in one REPORT.
    static constexpr std::size_t kCheckBatch = 500;

private:
    // A card on its way.
    struct Card {
        std::int64_t rowNumber = 0;
        std::string uid;
        std::string url;
        std::string body;
        std::string digest;
        // False while it is put only where no card is; true once it replaces one.
        bool replacing = false;
    };
    struct Taken {
        std::int64_t rowNumber;
        std::string uid;
        bool replaced;
    };

    // Sends the card's PUT.
    void put(std::uint64_t tag, const Card& card);
    // What the answer makes of the card; Pending when a second request goes out for it.
    Outcome settle(std::uint64_t tag, Card& card, const HttpAnswer& answer);
    // Takes the answers that have come, into finished_; with `wait`, waits for one.
    void takeAnswers(bool wait);
    // Outcome of a request that failed for the whole upload, or NotWritten.
    Outcome failure(const Card& card, const HttpAnswer& answer);
    // Asks the address book after the cards taken since the last time, in one
    // addressbook-multiget REPORT; a server that cannot say is logged once and
    // not asked again.
    void checkTaken();

    ServerAccess access_;
    std::string bookUrl_;
    std::string shownUrl_;
    UploadChoices choices_;
    UploadStatus status_;
    std::unique_ptr<HttpClient> client_;
    // What earlier uploads put there, and what this one has put there or found.
    RememberedCards earlier_;
    RememberedCards now_;
    // The UIDs this run made, whose earlier cards stay.
    std::unordered_set<std::string> made_;
    std::map<std::uint64_t, Card> inFlight_;
    std::uint64_t nextTag_ = 0;
    std::vector<Finished> finished_;
    // The cards the server answered with 2xx since the last check, in row order.
    std::vector<Taken> taken_;
    bool checking_ = true;
    Afterwards afterwards_;
};

} // namespace carddav
