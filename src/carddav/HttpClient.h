// One connection to a CardDAV server over libcurl: requests with the user's
// credentials, certificates verified, answers bounded in size and time.
// The handle is reused, so requests to the same server share a connection.
#pragma once

#include "carddav/ServerText.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace carddav {

// How the client reaches the server.
struct ServerAccess {
    std::string user;
    // Sent only to the host of each request's URL; never logged.
    std::string password;
    // Certificates to trust besides the system's store; empty: the store only.
    std::string caFile;
    // Redirects may go to plain http only when the first URL is a loopback one.
    bool allowHttp = false;
    std::chrono::seconds connectTimeout{10};
    // A request gives up once nothing at all has come or gone for this long: a
    // server that accepts and never answers. A slow but live transfer goes on.
    std::chrono::seconds stallTimeout{30};
    // The most one request (one card, or one listing of at most kMaxAnswer) may
    // take: a server that answers a byte at a time is let go too. A whole upload
    // is many requests and has no such limit.
    std::chrono::seconds requestTimeout{600};
};

// What a request came to: a status from the server, or a transport error. Every
// text in it that the server chose is shown as ServerText makes it.
struct HttpAnswer {
    // 0 when no answer came (error says why).
    long status = 0;
    // The reason phrase of the status line, such as "Precondition Failed".
    std::string reason;
    std::string body;
    // The transport's failure in words: refused connection, TLS, timeout, size.
    std::string error;
    // The server's certificate could not be verified.
    bool tlsFailure = false;

    bool ok() const { return status >= 200 && status < 300; }
    // "412 Precondition Failed", or the transport error.
    std::string describe() const;
};

class HttpClient {
public:
    // Answers longer than this are cut off and reported as errors.
    static constexpr std::size_t kMaxAnswer = 8 * 1024 * 1024;

    explicit HttpClient(ServerAccess access);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Sends one request; headers are "Name: value" lines. A URL that may not be
    // used (plain http to another computer, as a link in an answer may name) is
    // refused before anything is sent.
    HttpAnswer request(const std::string& method, const std::string& url,
                       const std::vector<std::string>& headers = {}, const std::string& body = {});

    // Server text as it may be shown: printable, cut, without the credentials.
    const ServerText& shown() const { return shown_; }

private:
    struct Handle;
    ServerAccess access_;
    ServerText shown_;
    std::unique_ptr<Handle> handle_;
};

} // namespace carddav
