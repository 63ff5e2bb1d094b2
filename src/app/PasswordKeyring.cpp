#include "app/PasswordKeyring.h"

#include <qt6keychain/keychain.h>

#include <QTimer>

#include <memory>

namespace {

// One entry per server and user: the service names the server, the key the user.
QString service(const QString& url) {
    return QStringLiteral("Olvenmark: ") + url;
}

template <class Job> Job* job(const QString& url, const QString& user) {
    // No parent: a job the keyring has not answered yet must outlive this
    // object, since the keyring's answer comes back to it. It deletes itself
    // once answered, and never falls back to a plain-text store.
    auto* made = new Job(service(url));
    made->setKey(user);
    made->setInsecureFallback(false);
    return made;
}

} // namespace

PasswordKeyring::PasswordKeyring(QObject* parent) : QObject(parent) {}

void PasswordKeyring::run(QKeychain::Job* job, std::function<void(QKeychain::Job*)> done) {
    auto replied = std::make_shared<bool>(false);
    connect(job, &QKeychain::Job::finished, this,
            [this, replied, done = std::move(done)](QKeychain::Job* finished) {
                *replied = true;
                emit answered();
                done(finished);
            });
    QTimer::singleShot(kPatience, this, [this, replied] {
        if (!*replied) {
            emit waiting();
        }
    });
    job->start();
}

void PasswordKeyring::read(const QString& url, const QString& user) {
    run(job<QKeychain::ReadPasswordJob>(url, user), [this, url, user](QKeychain::Job* done) {
        if (done->error() == QKeychain::NoError) {
            emit passwordRead(url, user,
                              static_cast<QKeychain::ReadPasswordJob*>(done)->textData());
        } else if (done->error() == QKeychain::EntryNotFound) {
            emit passwordRead(url, user, {});
        } else {
            emit unavailable(done->errorString());
        }
    });
}

void PasswordKeyring::store(const QString& url, const QString& user, const QString& password) {
    auto* write = job<QKeychain::WritePasswordJob>(url, user);
    write->setTextData(password);
    run(write, [this](QKeychain::Job* done) {
        if (done->error() != QKeychain::NoError) {
            emit unavailable(done->errorString());
        }
    });
}

void PasswordKeyring::forget(const QString& url, const QString& user) {
    run(job<QKeychain::DeletePasswordJob>(url, user), [this](QKeychain::Job* done) {
        if (done->error() != QKeychain::NoError && done->error() != QKeychain::EntryNotFound) {
            emit unavailable(done->errorString());
        }
    });
}
