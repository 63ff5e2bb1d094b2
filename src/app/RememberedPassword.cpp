#include "app/RememberedPassword.h"

#include "app/PasswordKeyring.h"
#include "app/UiTexts.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

RememberedPassword::RememberedPassword(QCheckBox* remember, QLineEdit* url, QLineEdit* user,
                                       QLineEdit* password, QLabel* status, QObject* parent)
    : QObject(parent), keyring_(new PasswordKeyring(this)), remember_(remember), url_(url),
      user_(user), password_(password), status_(status) {
    connect(remember_, &QCheckBox::toggled, this, &RememberedPassword::toggled);
    connect(url_, &QLineEdit::editingFinished, this, &RememberedPassword::readBack);
    connect(user_, &QLineEdit::editingFinished, this, &RememberedPassword::readBack);
    connect(keyring_, &PasswordKeyring::passwordRead, this,
            [this](const QString& url, const QString& user, const QString& password) {
                if (!password.isEmpty() && Pair{url, user} == fields() &&
                    password_->text() == passwordWhenAsked_) {
                    password_->setText(password);
                }
            });
    connect(keyring_, &PasswordKeyring::unavailable, this, &RememberedPassword::unavailable);
    connect(keyring_, &PasswordKeyring::waiting, this, [this] {
        status_->setText(uitext::q(uitext::kKeyringWaiting));
        status_->setToolTip(status_->text());
    });
    connect(keyring_, &PasswordKeyring::answered, this, [this] {
        if (status_->text() == uitext::q(uitext::kKeyringWaiting)) {
            status_->clear();
            status_->setToolTip({});
        }
    });
    readBack();
}

RememberedPassword::Pair RememberedPassword::fields() const {
    return {url_->text().trimmed(), user_->text()};
}

void RememberedPassword::readBack() {
    const Pair pair = fields();
    if (!remember_->isChecked() || pair.url.isEmpty() || pair.user.isEmpty() || pair == asked_) {
        return;
    }
    asked_ = pair;
    passwordWhenAsked_ = password_->text();
    keyring_->read(pair.url, pair.user);
}

void RememberedPassword::accepted(const QString& url, const QString& user,
                                  const QString& password) {
    acceptedPair_ = {url, user};
    acceptedPassword_ = password;
    if (remember_->isChecked()) {
        keyring_->store(url, user, password);
    }
}

void RememberedPassword::unavailable(const QString& reason) {
    status_->setText(uitext::q(text::fill(uitext::kKeyringUnavailable, reason.toStdString())));
    status_->setToolTip(status_->text());
    failing_ = true;
    remember_->setChecked(false);
    failing_ = false;
}

void RememberedPassword::toggled(bool on) {
    if (failing_) {
        return;
    }
    if (on) {
        if (!acceptedPair_.url.isEmpty()) {
            keyring_->store(acceptedPair_.url, acceptedPair_.user, acceptedPassword_);
        }
        return;
    }
    // Whatever may have been kept for the pair in the fields or the one accepted last.
    const Pair shown = fields();
    if (!shown.url.isEmpty()) {
        keyring_->forget(shown.url, shown.user);
    }
    if (!acceptedPair_.url.isEmpty() && acceptedPair_ != shown) {
        keyring_->forget(acceptedPair_.url, acceptedPair_.user);
    }
}
