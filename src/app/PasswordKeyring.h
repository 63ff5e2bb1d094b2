// The server passwords the user asked the window to remember, kept in the
// desktop's keyring (the Secret Service, through QtKeychain) under the server's
// URL and the user name. Every call returns at once: the keyring answers later
// on this object's thread. One that is missing is reported as unavailable; one
// that is slow to answer, as while the desktop asks the user to create or
// unlock the keyring, is said to be waited for, and its answer still counts.
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

    // How long the keyring may take to answer before waiting() says it is
    // waited for.
    static constexpr std::chrono::seconds kPatience{3};

signals:
    // The keyring has not answered within kPatience; it may show a prompt.
    void waiting();
    // The keyring answered, after waiting() or not.
    void answered();
    // The password kept for the pair; empty when there is none.
    void passwordRead(const QString& url, const QString& user, const QString& password);
    // The keyring could not be used; `reason` is the keyring's own words.
    void unavailable(const QString& reason);

private:
    // Starts the job; `done` gets it once it answered.
    void run(QKeychain::Job* job, std::function<void(QKeychain::Job*)> done);
};
