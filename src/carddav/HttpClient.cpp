#include "carddav/HttpClient.h"

#include "carddav/ServerUrl.h"

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <mutex>
#include <strings.h>
#include <sys/stat.h>

namespace carddav {

namespace {

struct Received {
    std::string* body;
    std::string* reason;
    std::string* etag;
    bool tooLong = false;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* received = static_cast<Received*>(user);
    const std::size_t n = size * count;
    if (received->body->size() + n > HttpClient::kMaxAnswer) {
        received->tooLong = true;
        return 0; // ends the transfer with a write error
    }
    received->body->append(data, n);
    return n;
}

// Keeps the reason phrase of the status line, as the server wrote it.
std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* received = static_cast<Received*>(user);
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
        const auto first = line.find(' ');
        const auto second = line.find(' ', first + 1);
        std::string_view reason;
        if (first != std::string_view::npos && second != std::string_view::npos) {
            reason = line.substr(second + 1, 4 * kShownLength);
            while (reason.ends_with('\n') || reason.ends_with('\r')) {
                reason.remove_suffix(1);
            }
        }
        *received->reason = reason;
        received->etag->clear(); // a new status line: an answer after a redirect or 100
    } else if (line.size() > 5 && strncasecmp(line.data(), "etag:", 5) == 0) {
        *received->etag = sendableEtag(line.substr(5));
    }
    return size * count;
}

// Why the CA certificate file cannot be used, said of the file; empty when it can.
std::string caFileProblem(const std::string& path) {
    const std::string file = "the CA certificate file " + printable(path);
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return file + " cannot be read: " + std::strerror(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return file + " is a folder: give the certificate file in it";
    }
    std::ifstream in(path, std::ios::binary);
    std::string text(64 * 1024, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad() || (in.fail() && !in.eof())) {
        return file + " cannot be read: " + std::strerror(errno);
    }
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.find("-----BEGIN CERTIFICATE-----") == std::string::npos &&
        text.find("-----BEGIN TRUSTED CERTIFICATE-----") == std::string::npos) {
        return file + " holds no certificate (a PEM file with -----BEGIN CERTIFICATE-----)";
    }
    return {};
}

// The system's reason when the connection failed or broke ("Connection
// refused"), else libcurl's words.
std::string failureText(CURL* curl, CURLcode code, const char* errorText) {
    long osError = 0;
    curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &osError);
    const bool connection =
        code == CURLE_COULDNT_CONNECT || code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR;
    if (connection && osError != 0) {
        return std::strerror(static_cast<int>(osError));
    }
    return errorText[0] != '\0' ? errorText : curl_easy_strerror(code);
}

} // namespace

// One request on its way: its easy handle and what has come back so far.
struct HttpClient::Transfer {
    std::uint64_t tag = 0;
    HttpRequest request;
    // Where it goes now, after the redirects followed so far.
    std::string at;
    int redirects = 0;
    CURL* curl = nullptr;
    curl_slist* headers = nullptr;
    HttpAnswer answer;
    std::string reason;
    std::string etag;
    Received received{&answer.body, &reason, &etag};
    // libcurl's words for a failure; lives as long as the transfer.
    char errorText[CURL_ERROR_SIZE] = {};

    ~Transfer() {
        curl_slist_free_all(headers);
        if (curl != nullptr) {
            curl_easy_cleanup(curl);
        }
    }
};

struct HttpClient::Multi {
    CURLM* handle = nullptr;
    ~Multi() {
        if (handle != nullptr) {
            curl_multi_cleanup(handle);
        }
    }
};

std::string sendableEtag(std::string_view value) {
    const auto first = value.find_first_not_of(" \t\r\n");
    const auto last = value.find_last_not_of(" \t\r\n");
    value = first == std::string_view::npos ? std::string_view()
                                            : value.substr(first, last - first + 1);
    const std::string_view quoted = value.starts_with("W/") ? value.substr(2) : value;
    const bool printableAscii =
        std::all_of(value.begin(), value.end(), [](char c) { return c > ' ' && c < 0x7f; });
    if (value.size() > 256 || !printableAscii || quoted.size() < 2 || !quoted.starts_with('"') ||
        !quoted.ends_with('"')) {
        return {};
    }
    return std::string(value);
}

std::string HttpAnswer::describe() const {
    if (status == 0) {
        return error;
    }
    std::string text =
        reason.empty() ? std::to_string(status) : std::to_string(status) + " " + reason;
    return redirect.empty() ? text : text + ": " + error;
}

HttpClient::HttpClient(ServerAccess access)
    : access_(std::move(access)), shown_(access_.user, access_.password),
      multi_(std::make_unique<Multi>()) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (!access_.caFile.empty()) {
        caFileProblem_ = caFileProblem(access_.caFile);
    }
    access_.connections = std::clamp(access_.connections, 1, kMaxConnections);
    multi_->handle = curl_multi_init();
    if (multi_->handle != nullptr) {
        const long connections = access_.connections;
        // One server: as many connections as requests may be in flight, kept open.
        curl_multi_setopt(multi_->handle, CURLMOPT_MAX_HOST_CONNECTIONS, connections);
        curl_multi_setopt(multi_->handle, CURLMOPT_MAX_TOTAL_CONNECTIONS, connections);
        curl_multi_setopt(multi_->handle, CURLMOPT_MAXCONNECTS, connections);
        curl_multi_setopt(multi_->handle, CURLMOPT_PIPELINING, CURLPIPE_MULTIPLEX);
    }
}

HttpClient::~HttpClient() {
    for (auto& [curl, transfer] : transfers_) {
        curl_multi_remove_handle(multi_->handle, transfer->curl);
    }
    transfers_.clear();
}

void HttpClient::start(std::uint64_t tag, HttpRequest request) {
    HttpAnswer refused;
    // The credentials go with every request: never in clear text over the network.
    if (const UrlCheck check = checkServerUrl(request.url); !check.checked) {
        refused.failure = HttpAnswer::Failure::NotAllowed;
        // Its URL is cut already; the reason after it stays whole.
        refused.error = shown_(check.refusal, std::numeric_limits<std::size_t>::max());
    } else if (!caFileProblem_.empty()) {
        refused.failure = HttpAnswer::Failure::CaFile;
        refused.error = caFileProblem_;
    } else if (multi_->handle == nullptr) {
        refused.failure = HttpAnswer::Failure::Network;
        refused.error = "the network library could not start";
    }
    if (refused.failure != HttpAnswer::Failure::None) {
        ended_.emplace_back(tag, std::move(refused));
        return;
    }
    auto transfer = std::make_unique<Transfer>();
    transfer->tag = tag;
    transfer->at = request.url;
    transfer->request = std::move(request);
    send(std::move(transfer));
}

void HttpClient::send(std::unique_ptr<Transfer> transfer) {
    Transfer& t = *transfer;
    t.answer = {};
    t.answer.url = t.at;
    t.reason.clear();
    t.etag.clear();
    t.received.tooLong = false;
    t.errorText[0] = '\0';
    if (t.curl == nullptr) {
        t.curl = curl_easy_init();
    } else {
        curl_easy_reset(t.curl);
    }
    curl_slist_free_all(t.headers);
    t.headers = nullptr;
    CURL* curl = t.curl;
    if (curl == nullptr) {
        t.answer.failure = HttpAnswer::Failure::Network;
        t.answer.error = "the network library could not start";
        ended_.emplace_back(t.tag, std::move(t.answer));
        return;
    }
    for (const auto& header : t.request.headers) {
        t.headers = curl_slist_append(t.headers, header.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_URL, t.at.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, access_.allowHttp ? "http,https" : "https");
    // Redirects are settle()'s to follow or not.
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    // Basic only: a second scheme would cost every request a round without credentials.
    curl_easy_setopt(curl, CURLOPT_USERNAME, access_.user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, access_.password.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!access_.caFile.empty()) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, access_.caFile.c_str());
    }
    // HTTP/2 where the server offers it over TLS. Until a server has shown it
    // does, a new request waits to see whether the open connection takes it as
    // a stream; one that answers in HTTP/1 gets connections of their own at
    // once (waiting would send the requests one after the other).
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_2TLS));
    const bool tls = t.at.size() > 6 && strncasecmp(t.at.data(), "https:", 6) == 0;
    curl_easy_setopt(curl, CURLOPT_PIPEWAIT, tls && streams_ != Streams::No ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT,
                     static_cast<long>(access_.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(access_.stallTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(access_.requestTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, ""); // compressed answers, within the bound
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Olvenmark");
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, t.errorText);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t.received);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &t.received);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, t.headers);
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, t.request.method.c_str());
    if (!t.request.body.empty()) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, t.request.body.data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(t.request.body.size()));
    }
    if (curl_multi_add_handle(multi_->handle, curl) != CURLM_OK) {
        t.answer.failure = HttpAnswer::Failure::Network;
        t.answer.error = "the network library could not start the request";
        ended_.emplace_back(t.tag, std::move(t.answer));
        return;
    }
    transfers_.emplace(curl, std::move(transfer));
}

std::vector<std::pair<std::uint64_t, HttpAnswer>> HttpClient::finished(bool wait) {
    int running = 0;
    curl_multi_perform(multi_->handle, &running);
    takeEnded();
    while (wait && ended_.empty() && !transfers_.empty()) {
        curl_multi_poll(multi_->handle, nullptr, 0, 1000, nullptr);
        curl_multi_perform(multi_->handle, &running);
        takeEnded();
    }
    std::vector<std::pair<std::uint64_t, HttpAnswer>> done(std::make_move_iterator(ended_.begin()),
                                                           std::make_move_iterator(ended_.end()));
    ended_.clear();
    return done;
}

HttpAnswer HttpClient::request(const std::string& method, const std::string& url,
                               const std::vector<std::string>& headers, const std::string& body) {
    // Tags from the top of the range, which the callers of start() leave alone.
    static constexpr std::uint64_t kWaited = std::numeric_limits<std::uint64_t>::max();
    start(kWaited, {method, url, headers, body});
    std::deque<std::pair<std::uint64_t, HttpAnswer>> others;
    for (;;) {
        for (auto& [tag, answer] : finished(true)) {
            if (tag == kWaited) {
                // The others are handed back by the next finished(), as they ended.
                ended_.insert(ended_.begin(), std::make_move_iterator(others.begin()),
                              std::make_move_iterator(others.end()));
                return std::move(answer);
            }
            others.emplace_back(tag, std::move(answer));
        }
    }
}

void HttpClient::takeEnded() {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_->handle, &left)) {
        if (message->msg != CURLMSG_DONE) {
            continue;
        }
        CURL* curl = message->easy_handle;
        const CURLcode code = message->data.result;
        curl_multi_remove_handle(multi_->handle, curl);
        auto found = transfers_.find(curl);
        if (found == transfers_.end()) {
            continue;
        }
        std::unique_ptr<Transfer> transfer = std::move(found->second);
        transfers_.erase(found);
        if (settle(*transfer, code)) {
            ended_.emplace_back(transfer->tag, std::move(transfer->answer));
        } else {
            send(std::move(transfer));
        }
    }
}

bool HttpClient::settle(Transfer& t, int result) {
    const auto code = static_cast<CURLcode>(result);
    HttpAnswer& answer = t.answer;
    CURL* curl = t.curl;
    if (code != CURLE_OK) {
        answer.body.clear();
        if (code == CURLE_SSL_CACERT_BADFILE) {
            answer.failure = HttpAnswer::Failure::CaFile;
            answer.error = "the CA certificate file " + printable(access_.caFile) +
                           " cannot be used: " + shown_(t.errorText);
            return true;
        }
        const bool tls = code == CURLE_PEER_FAILED_VERIFICATION || code == CURLE_SSL_CONNECT_ERROR;
        answer.failure = tls ? HttpAnswer::Failure::Certificate : HttpAnswer::Failure::Network;
        if (t.received.tooLong) {
            answer.error = "the server's answer is longer than " +
                           std::to_string(kMaxAnswer / (1024 * 1024)) + " MiB";
        } else {
            answer.error = shown_(failureText(curl, code, t.errorText));
        }
        return true;
    }
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
    long version = 0;
    if (curl_easy_getinfo(curl, CURLINFO_HTTP_VERSION, &version) == CURLE_OK && version != 0) {
        streams_ = version >= CURL_HTTP_VERSION_2_0 ? Streams::Yes : Streams::No;
    }
    answer.reason = shown_(t.reason);
    answer.etag = t.etag;
    char* target = nullptr;
    if (answer.status / 100 != 3 ||
        curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &target) != CURLE_OK || target == nullptr) {
        return true;
    }
    const std::string to = target;
    if (!sameServer(to, t.at)) {
        // The credentials and the cards stay with the server the user named.
        const UrlCheck check = checkServerUrl(to);
        answer.redirect = shown_(to);
        answer.error = "the server sends you to " + answer.redirect +
                       (check.checked ? "; give that URL" : ", which " + check.why);
        answer.body.clear();
        return true;
    }
    if (t.redirects == kMaxRedirects) {
        answer = {};
        answer.failure = HttpAnswer::Failure::Network;
        answer.error = "the server redirects too often";
        return true;
    }
    ++t.redirects;
    t.at = to;
    return false;
}

} // namespace carddav
