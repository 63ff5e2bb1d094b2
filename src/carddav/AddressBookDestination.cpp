#include "carddav/AddressBookDestination.h"

#include "carddav/UploadReport.h"

#include "engine/Text.h"
#include "engine/cards/ContactPipeline.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"

#include <curl/curl.h>

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
    : access_(std::move(access)), bookUrl_(std::move(bookUrl)) {}

void AddressBookDestination::open() {
    client_ = std::make_unique<HttpClient>(access_);
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
        return Outcome::Written;
    }
    if (answer.status == 412) {
        return Outcome::AlreadyThere; // a card with this UID is there and stays as it is
    }
    if (answer.status == 0 || answer.status == 401) {
        return stopAt(Outcome::Stop, rowNumber,
                      text::fill(kStopServer, bookUrl_, answer.describe()));
    }
    logOrConsole(text::fill(kUploadRefused, rowNumber, url, answer.describe()));
    return Outcome::NotWritten;
}

void AddressBookDestination::close() {
    client_.reset();
}

} // namespace carddav
