// The server passwords the user asked the window to remember, kept in the
// desktop's keyring (the Secret Service, through QtKeychain) under the server's
// URL and the user name. Every call returns at once: the keyring answers later
// on this object's thread, and one that is missing or silent is reported as
// unavailable, never waited for.
#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

namespace QKeychain {
class Job;
}

class PasswordKeyring : public QObject {
    Q_OBJECT

public:
    explicit PasswordKeyring(QObject* parent = nullptr);

    void read(const QString& url, const QString& user);
    void store(const QString& url, const QString& user, const QString& password);
    // Deletes the password kept for the pair; none kept is no failure.
    void forget(const QString& url, const QString& user);

    // How long the keyring may take to answer before it counts as unavailable
    // (a keyring daemon may wait for a prompt that no one can see).
    static constexpr std::chrono::seconds kPatience{10};

signals:
    // The password kept for the pair; empty when there is none.
    void passwordRead(const QString& url, const QString& user, const QString& password);
    // The keyring could not be used; `reason` is the keyring's own words.
    void unavailable(const QString& reason);

private:
    // Starts the job; `done` gets it once it answered within kPatience.
    void run(QKeychain::Job* job, std::function<void(QKeychain::Job*)> done);
};
