// Requests to a CardDAV server over libcurl's multi interface: with the user's
// credentials, certificates verified, answers bounded in size and time.
// Several requests may be in flight at once: HTTP/2 streams of one connection
// where the server offers it, else a small pool of kept-alive connections.
// Every request goes through start(), which holds the rules of where one may go.
#pragma once

#include "carddav/ServerText.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace carddav {

// How the client reaches the server.
struct ServerAccess {
    std::string user;
    // Sent only to the host of each request's URL; never logged.
    std::string password;
    // Certificates to trust besides the system's store; empty: the store only.
    std::string caFile;
    // Plain http is spoken only when the user's URL is a loopback one.
    bool allowHttp = false;
    std::chrono::seconds connectTimeout{10};
    // A request gives up once nothing at all has come or gone for this long: a
    // server that accepts and never answers. A slow but live transfer goes on.
    std::chrono::seconds stallTimeout{30};
    // The most one request (one card, or one listing of at most kMaxAnswer) may
    // take: a server that answers a byte at a time is let go too. A whole upload
    // is many requests and has no such limit.
    std::chrono::seconds requestTimeout{600};
    // Connections kept open to the server at most (HTTP/1.1); an HTTP/2 server
    // takes the requests as streams of one.
    int connections = 4;
};

// The connections a user may ask for.
inline constexpr int kMaxConnections = 16;

// What a request came to: a status from the server, or a failure. Every text
// in it that the server chose is shown as ServerText makes it.
struct HttpAnswer {
    // Why no status came.
    enum class Failure {
        None,
        // Unreachable, gone, too slow, too long, redirecting in circles.
        Network,
        // The server's certificate could not be verified.
        Certificate,
        // The CA certificate file given cannot be used; nothing was sent.
        CaFile,
        // The URL may not be used (plain http to another computer); nothing was sent.
        NotAllowed,
    };

    // 0 when no answer came (failure and error say why).
    long status = 0;
    Failure failure = Failure::None;
    // The reason phrase of the status line, such as "Precondition Failed".
    std::string reason;
    std::string body;
    // The failure in words ("Connection refused"), or where a redirect that was
    // not followed points ("the server sends you to URL; give that URL").
    std::string error;
    // A redirect's target when it leads to another server and was not followed.
    std::string redirect;
    // The URL that answered, after the redirects followed.
    std::string url;
    // The resource's entity tag as the server sent it, when it is one that can
    // be sent back (printable, short); else empty.
    std::string etag;

    bool ok() const { return status >= 200 && status < 300; }
    // "412 Precondition Failed", or the failure.
    std::string describe() const;
};

// An entity tag as it may be sent back in If-Match: printable ASCII, short,
// quoted (weak ones with W/), without the blanks around it; else empty.
std::string sendableEtag(std::string_view value);

// One request: headers are "Name: value" lines.
struct HttpRequest {
    std::string method;
    std::string url;
    std::vector<std::string> headers;
    std::string body;
};

class HttpClient {
public:
    // Answers longer than this are cut off and reported as errors.
    static constexpr std::size_t kMaxAnswer = 8 * 1024 * 1024;
    static constexpr int kMaxRedirects = 5;

    explicit HttpClient(ServerAccess access);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Starts a request, named by `tag` in finished(). A URL that may not be
    // used (plain http to another computer, as a link in an answer may name) is
    // refused before anything is sent. Redirects are followed only on the same
    // server (scheme, host and port), at most kMaxRedirects; one to another
    // server is answered with its status and target, and nothing goes there.
    void start(std::uint64_t tag, HttpRequest request);
    // The requests that have ended since the last call, with their answers, in
    // the order they ended; with `wait`, waits until one has, unless none is
    // in flight.
    std::vector<std::pair<std::uint64_t, HttpAnswer>> finished(bool wait);
    // Requests started and not yet handed back by finished().
    std::size_t inFlight() const { return transfers_.size() + ended_.size(); }

    // One request, waited for; the others in flight go on meanwhile.
    HttpAnswer request(const std::string& method, const std::string& url,
                       const std::vector<std::string>& headers = {}, const std::string& body = {});

    // Server text as it may be shown: printable, cut, without the credentials.
    const ServerText& shown() const { return shown_; }

private:
    struct Transfer;
    struct Multi;
    // Sends the transfer's request to its current URL.
    void send(std::unique_ptr<Transfer> transfer);
    // Moves the transfers libcurl has finished to ended_, following redirects.
    void takeEnded();
    // The transfer's answer once libcurl is done with it; none when it goes on
    // at a redirect's target.
    bool settle(Transfer& transfer, int code);

    ServerAccess access_;
    ServerText shown_;
    // Why the CA certificate file cannot be used; empty when it can, or none is given.
    std::string caFileProblem_;
    std::unique_ptr<Multi> multi_;
    // Whether the server takes requests as streams of one connection (HTTP/2),
    // as its last answer showed.
    enum class Streams { Unknown, Yes, No } streams_ = Streams::Unknown;
    std::map<void*, std::unique_ptr<Transfer>> transfers_;
    std::deque<std::pair<std::uint64_t, HttpAnswer>> ended_;
};

} // namespace carddav
