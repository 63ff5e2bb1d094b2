#include "carddav/AddressBookDestination.h"

#include "carddav/Multistatus.h"
#include "carddav/ServerUrl.h"
#include "carddav/UploadReport.h"

#include "engine/Text.h"
#include "engine/cards/ContactPipeline.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"

#include <curl/curl.h>

#include <algorithm>
#include <map>
#include <utility>

namespace carddav {

namespace {

// The UID, percent-encoded for the path.
std::string fileNameOf(const std::string& uid) {
    char* escaped = curl_easy_escape(nullptr, uid.c_str(), static_cast<int>(uid.size()));
    std::string name = escaped != nullptr ? escaped : "";
    curl_free(escaped);
    return name + ".vcf";
}

// No "Expect: 100-continue" for a long card: servers that never answer it cost a second.
constexpr const char* kCardType = "Content-Type: text/vcard; charset=utf-8";
constexpr const char* kNoExpect = "Expect:";

} // namespace

AddressBookDestination::AddressBookDestination(ServerAccess access, std::string bookUrl,
                                               UploadChoices choices)
    : access_(std::move(access)), bookUrl_(std::move(bookUrl)),
      shownUrl_(ServerText(access_.user, access_.password)(bookUrl_)), choices_(std::move(choices)),
      status_(choices_.csvPath, bookUrl_) {}

void AddressBookDestination::open() {
    client_ = std::make_unique<HttpClient>(access_);
    earlier_ = choices_.csvPath.empty() ? RememberedCards() : status_.read();
    now_.clear();
    made_.clear();
    inFlight_.clear();
    finished_.clear();
    taken_.clear();
    checking_ = true;
    afterwards_ = {};
}

std::optional<CardFormat> AddressBookDestination::requiredFormat(CardFormat chosen) {
    if (chosen == CardFormat::Version40 && client_) {
        const HttpAnswer answer = client_->request(
            "PROPFIND", bookUrl_, {"Depth: 0", "Content-Type: application/xml; charset=utf-8"},
            std::string(propfindBody()));
        const auto resources = answer.status == 207 ? parseMultistatus(answer.body) : std::nullopt;
        if (resources && std::any_of(resources->begin(), resources->end(),
                                     [](const DavResource& r) { return r.takesVersion4; })) {
            return CardFormat::Version40;
        }
        logOrConsole(text::fill(kNoVersion4, shownUrl_));
    }
    return CardFormat::Strict;
}

Destination::Outcome AddressBookDestination::deliver(const PreparedContact& contact,
                                                     std::int64_t rowNumber) {
    if (!contact.card) {
        return stopAt(Outcome::Stop, rowNumber, logtext::kStopNoCard);
    }
    const std::string& uid = contact.uid;
    if (uid.empty() || !client_) {
        logOrConsole(text::fill(kUploadRefused, rowNumber, "", "the vCard has no UID"));
        return Outcome::NotWritten;
    }
    // As many cards on their way as connections: the memory stays that of a few cards.
    while (inFlight_.size() >= static_cast<std::size_t>(std::max(1, access_.connections))) {
        takeAnswers(true);
    }
    if (choices_.replacePrevious) {
        made_.insert(uid);
    }
    Card card{rowNumber,
              uid,
              bookUrl_ + fileNameOf(uid),
              *contact.card,
              UploadStatus::digestOf(*contact.card),
              false};
    const std::uint64_t tag = nextTag_++;
    put(tag, card);
    inFlight_.emplace(tag, std::move(card));
    return Outcome::Pending;
}

void AddressBookDestination::put(std::uint64_t tag, const Card& card) {
    const RememberedCard* before = nullptr;
    if (card.replacing) {
        before = &earlier_.at(card.uid);
    }
    // Only where no card is; or, replacing, only the card as the earlier upload left it.
    client_->start(
        tag, {"PUT",
              card.url,
              {kCardType, before ? "If-Match: " + before->etag : "If-None-Match: *", kNoExpect},
              card.body});
}

std::vector<Destination::Finished> AddressBookDestination::collect(bool wait) {
    takeAnswers(false);
    while (wait && finished_.empty() && !inFlight_.empty()) {
        takeAnswers(true);
    }
    return std::exchange(finished_, {});
}

void AddressBookDestination::takeAnswers(bool wait) {
    if (!client_) {
        return;
    }
    for (auto& [tag, answer] : client_->finished(wait)) {
        const auto found = inFlight_.find(tag);
        if (found == inFlight_.end()) {
            continue;
        }
        Card& card = found->second;
        const Outcome outcome = settle(tag, card, answer);
        if (outcome != Outcome::Pending) {
            finished_.push_back({card.rowNumber, outcome});
            inFlight_.erase(found);
        }
    }
}

Destination::Outcome AddressBookDestination::settle(std::uint64_t tag, Card& card,
                                                    const HttpAnswer& answer) {
    if (answer.ok()) {
        now_[card.uid] = {answer.url, answer.etag, card.digest};
        taken_.push_back({card.rowNumber, card.uid, card.replacing});
        if (taken_.size() == kCheckBatch) {
            checkTaken();
        }
        return card.replacing ? Outcome::Replaced : Outcome::Written;
    }
    if (answer.status != 412) {
        return failure(card, answer);
    }
    const auto before = earlier_.find(card.uid);
    if (card.replacing) {
        // Changed on the server since the earlier upload (someone's phone): it stays.
        logOrConsole(text::fill(kChangedKept, card.rowNumber, client_->shown()(card.url)));
        earlier_.erase(card.uid); // the card is the user's now: never touched again
        return Outcome::KeptChanged;
    }
    if (before == earlier_.end()) {
        return Outcome::AlreadyThere; // a card with this UID is there and stays as it is
    }
    if (!choices_.replaceChanged || before->second.digest == card.digest ||
        before->second.etag.empty()) {
        return Outcome::AlreadyThere; // still as remembered: close() keeps it so
    }
    card.replacing = true;
    put(tag, card);
    return Outcome::Pending;
}

Destination::Outcome AddressBookDestination::failure(const Card& card, const HttpAnswer& answer) {
    if (answer.status == 401) {
        return stopAt(Outcome::Stop, card.rowNumber,
                      text::fill(kStopUserRefused, answer.describe()));
    }
    if (answer.status == 0) {
        return stopAt(Outcome::Stop, card.rowNumber,
                      answer.failure == HttpAnswer::Failure::CaFile
                          ? answer.error
                          : text::fill(kStopServerGone, answer.error));
    }
    logOrConsole(
        text::fill(kUploadRefused, card.rowNumber, client_->shown()(card.url), answer.describe()));
    return Outcome::NotWritten;
}

void AddressBookDestination::runCompleted() {
    if (!client_ || !choices_.replacePrevious) {
        return;
    }
    // Each card of an earlier upload that this one did not make, by its tag.
    std::map<std::uint64_t, std::string> removing;
    const auto take = [&](bool wait) {
        for (auto& [tag, answer] : client_->finished(wait)) {
            const auto found = removing.find(tag);
            if (found == removing.end()) {
                continue;
            }
            const std::string& uid = found->second;
            const std::string shown = client_->shown()(earlier_[uid].url);
            if (answer.ok() || answer.status == 404) {
                afterwards_.removed += answer.ok() ? 1 : 0;
                earlier_.erase(uid);
            } else if (answer.status == 412) {
                logOrConsole(text::fill(kChangedKeptEarlier, shown));
                ++afterwards_.earlierKept;
                earlier_.erase(uid); // the card is the user's now: never touched again
            } else {
                logOrConsole(text::fill(kRemoveFailed, shown, answer.describe()));
            }
            removing.erase(found);
        }
    };
    for (const auto& [uid, card] : earlier_) {
        if (made_.contains(uid)) {
            continue;
        }
        // Only a card where this address book keeps its cards, unchanged since.
        if (card.etag.empty() || !sameServer(card.url, bookUrl_) ||
            !pathOf(card.url).starts_with(pathOf(bookUrl_))) {
            logOrConsole(text::fill(kRemoveFailed, client_->shown()(card.url),
                                    "its entity tag or place is not known"));
            continue;
        }
        while (removing.size() >= static_cast<std::size_t>(std::max(1, access_.connections))) {
            take(true);
        }
        const std::uint64_t tag = nextTag_++;
        removing.emplace(tag, uid);
        client_->start(tag, {"DELETE", card.url, {"If-Match: " + card.etag}, {}});
    }
    while (!removing.empty()) {
        take(true);
    }
}

void AddressBookDestination::close() {
    if (!client_) {
        return;
    }
    while (!inFlight_.empty()) {
        takeAnswers(true); // not counted: the run counts only what it collects
    }
    if (stopReason().empty()) {
        checkTaken();
    }
    taken_.clear();
    client_.reset();
    if (choices_.csvPath.empty() || (earlier_.empty() && now_.empty())) {
        return;
    }
    // What is there now: the earlier cards still there, and this upload's.
    now_.merge(earlier_);
    std::string error;
    if (!status_.write(now_, error)) {
        logOrConsole(text::fill(kStatusNotWritten, error));
    }
}

void AddressBookDestination::checkTaken() {
    if (taken_.empty() || !checking_) {
        taken_.clear();
        return;
    }
    std::vector<std::string> paths;
    for (const auto& card : taken_) {
        paths.push_back(pathOf(now_[card.uid].url, false));
    }
    const HttpAnswer answer = client_->request(
        "REPORT", bookUrl_, {"Depth: 1", "Content-Type: application/xml; charset=utf-8"},
        multigetBody(paths));
    const auto resources = answer.status == 207 ? parseMultistatus(answer.body) : std::nullopt;
    if (!resources) {
        logOrConsole(
            text::fill(kCheckFailed, shownUrl_,
                       answer.status == 207 ? "not a WebDAV multistatus" : answer.describe()));
        checking_ = false; // once is enough: the cards stay counted as the server answered
        taken_.clear();
        return;
    }
    // Each card held, by its path, with its entity tag.
    std::map<std::string, std::string> held;
    for (const auto& resource : *resources) {
        if (!resource.missing) {
            held[pathOf(resolveUrl(bookUrl_, resource.href).value_or(""))] = resource.etag;
        }
    }
    for (const auto& card : taken_) {
        RememberedCard& remembered = now_[card.uid];
        const auto found = held.find(pathOf(remembered.url));
        if (found == held.end()) {
            logOrConsole(text::fill(kNotKept, card.rowNumber, client_->shown()(remembered.url)));
            ++(card.replaced ? afterwards_.replacedNotKept : afterwards_.writtenNotKept);
            now_.erase(card.uid);
            earlier_.erase(card.uid);
        } else if (remembered.etag.empty()) {
            // The server changed the card as it stored it and said so by giving no tag.
            remembered.etag = sendableEtag(found->second);
        }
    }
    taken_.clear();
}

} // namespace carddav
