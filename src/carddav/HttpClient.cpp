#include "carddav/HttpClient.h"

#include "carddav/ServerUrl.h"

#include <curl/curl.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <mutex>
#include <sys/stat.h>

namespace carddav {

namespace {

struct Received {
    std::string* body;
    std::string* reason;
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

struct HttpClient::Handle {
    CURL* curl = nullptr;
    // libcurl's words for a failure; lives as long as the handle that writes it.
    char errorText[CURL_ERROR_SIZE] = {};
};

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
      handle_(std::make_unique<Handle>()) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    handle_->curl = curl_easy_init();
    if (!access_.caFile.empty()) {
        caFileProblem_ = caFileProblem(access_.caFile);
    }
}

HttpClient::~HttpClient() {
    if (handle_->curl != nullptr) {
        curl_easy_cleanup(handle_->curl);
    }
}

HttpAnswer HttpClient::request(const std::string& method, const std::string& url,
                               const std::vector<std::string>& headers, const std::string& body) {
    HttpAnswer answer;
    // The credentials go with every request: never in clear text over the network.
    if (const UrlCheck check = checkServerUrl(url); !check.checked) {
        answer.failure = HttpAnswer::Failure::NotAllowed;
        // Its URL is cut already; the reason after it stays whole.
        answer.error = shown_(check.refusal, std::numeric_limits<std::size_t>::max());
        return answer;
    }
    if (!caFileProblem_.empty()) {
        answer.failure = HttpAnswer::Failure::CaFile;
        answer.error = caFileProblem_;
        return answer;
    }
    std::string at = url;
    for (int redirects = 0;; ++redirects) {
        answer = exchange(method, at, headers, body);
        if (answer.redirect.empty()) {
            return answer;
        }
        const std::string target = answer.redirect;
        if (!sameServer(target, at)) {
            // The credentials and the cards stay with the server the user named.
            const UrlCheck check = checkServerUrl(target);
            answer.redirect = shown_(target);
            answer.error = "the server sends you to " + answer.redirect +
                           (check.checked ? "; give that URL" : ", which " + check.why);
            answer.body.clear();
            return answer;
        }
        if (redirects == kMaxRedirects) {
            answer = {};
            answer.failure = HttpAnswer::Failure::Network;
            answer.error = "the server redirects too often";
            return answer;
        }
        at = target;
    }
}

HttpAnswer HttpClient::exchange(const std::string& method, const std::string& url,
                                const std::vector<std::string>& headers, const std::string& body) {
    HttpAnswer answer;
    answer.url = url;
    CURL* curl = handle_->curl;
    if (curl == nullptr) {
        answer.failure = HttpAnswer::Failure::Network;
        answer.error = "the network library could not start";
        return answer;
    }
    curl_easy_reset(curl); // keeps the open connection and the TLS session
    std::string reason;
    Received received{&answer.body, &reason};
    char* errorText = handle_->errorText;
    errorText[0] = '\0';
    curl_slist* list = nullptr;
    for (const auto& header : headers) {
        list = curl_slist_append(list, header.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, access_.allowHttp ? "http,https" : "https");
    // Redirects are request()'s to follow or not.
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
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT,
                     static_cast<long>(access_.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(access_.stallTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(access_.requestTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, ""); // compressed answers, within the bound
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Olvenmark");
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &received);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &received);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list);
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.c_str());
    if (!body.empty()) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    }
    const CURLcode code = curl_easy_perform(curl);
    curl_slist_free_all(list);
    if (code == CURLE_OK) {
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
        answer.reason = shown_(reason);
        char* target = nullptr;
        if (answer.status / 100 == 3 &&
            curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &target) == CURLE_OK &&
            target != nullptr) {
            answer.redirect = target;
        }
        return answer;
    }
    answer.body.clear();
    if (code == CURLE_SSL_CACERT_BADFILE) {
        answer.failure = HttpAnswer::Failure::CaFile;
        answer.error = "the CA certificate file " + printable(access_.caFile) +
                       " cannot be used: " + shown_(errorText);
        return answer;
    }
    const bool tls = code == CURLE_PEER_FAILED_VERIFICATION || code == CURLE_SSL_CONNECT_ERROR;
    answer.failure = tls ? HttpAnswer::Failure::Certificate : HttpAnswer::Failure::Network;
    if (received.tooLong) {
        answer.error = "the server's answer is longer than " +
                       std::to_string(kMaxAnswer / (1024 * 1024)) + " MiB";
    } else {
        answer.error = shown_(failureText(curl, code, errorText));
    }
    return answer;
}

} // namespace carddav
