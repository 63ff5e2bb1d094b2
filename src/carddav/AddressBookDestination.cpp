#include "carddav/AddressBookDestination.h"

#include "carddav/Multistatus.h"
#include "carddav/ServerUrl.h"
#include "carddav/UploadReport.h"

#include "engine/Text.h"
#include "engine/cards/ContactPipeline.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"

#include <curl/curl.h>

#include <set>

namespace carddav {

namespace {

// The UID, percent-encoded for the path.
std::string fileNameOf(const std::string& uid) {
    char* escaped = curl_easy_escape(nullptr, uid.c_str(), static_cast<int>(uid.size()));
    std::string name = escaped != nullptr ? escaped : "";
    curl_free(escaped);
    return name + ".vcf";
}

} // namespace

AddressBookDestination::AddressBookDestination(ServerAccess access, std::string bookUrl)
    : access_(std::move(access)), bookUrl_(std::move(bookUrl)),
      shownUrl_(ServerText(access_.user, access_.password)(bookUrl_)) {}

void AddressBookDestination::open() {
    client_ = std::make_unique<HttpClient>(access_);
    taken_.clear();
    checking_ = true;
    notKept_ = 0;
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
    const std::string url = bookUrl_ + fileNameOf(uid);
    // No "Expect: 100-continue" for a long card: servers that never answer it cost a second.
    const HttpAnswer answer = client_->request(
        "PUT", url, {"Content-Type: text/vcard; charset=utf-8", "If-None-Match: *", "Expect:"},
        *contact.card);
    if (answer.ok()) {
        taken_.push_back({rowNumber, answer.url});
        if (taken_.size() == kCheckBatch) {
            checkTaken();
        }
        return Outcome::Written;
    }
    if (answer.status == 412) {
        return Outcome::AlreadyThere; // a card with this UID is there and stays as it is
    }
    if (answer.status == 401) {
        return stopAt(Outcome::Stop, rowNumber, text::fill(kStopUserRefused, answer.describe()));
    }
    if (answer.status == 0) {
        return stopAt(Outcome::Stop, rowNumber,
                      answer.failure == HttpAnswer::Failure::CaFile
                          ? answer.error
                          : text::fill(kStopServerGone, answer.error));
    }
    logOrConsole(text::fill(kUploadRefused, rowNumber, client_->shown()(url), answer.describe()));
    return Outcome::NotWritten;
}

void AddressBookDestination::close() {
    if (client_ && stopReason().empty()) {
        checkTaken();
    }
    taken_.clear();
    client_.reset();
}

void AddressBookDestination::checkTaken() {
    if (taken_.empty() || !checking_) {
        taken_.clear();
        return;
    }
    std::vector<std::string> paths;
    for (const auto& card : taken_) {
        paths.push_back(pathOf(card.url, false));
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
    std::set<std::string> held;
    for (const auto& resource : *resources) {
        if (!resource.missing) {
            held.insert(pathOf(resolveUrl(bookUrl_, resource.href).value_or("")));
        }
    }
    for (const auto& card : taken_) {
        if (!held.contains(pathOf(card.url))) {
            logOrConsole(text::fill(kNotKept, card.rowNumber, client_->shown()(card.url)));
            ++notKept_;
        }
    }
    taken_.clear();
}

} // namespace carddav
