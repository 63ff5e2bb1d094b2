// Remember password beside the server fields: while it is ticked, a password
// the server accepted is kept in the keyring and read back into the field at
// launch and whenever the URL and user name name a remembered pair; unticking
// it deletes what was kept. A keyring that cannot be used unticks it: nothing
// is remembered. The password never goes anywhere but the keyring.
#pragma once

#include <QObject>
#include <QString>

class PasswordKeyring;
class QCheckBox;
class QLabel;
class QLineEdit;

class RememberedPassword : public QObject {
    Q_OBJECT

public:
    // The fields of the window's server row; `status` is where a keyring that
    // cannot be used is said.
    RememberedPassword(QCheckBox* remember, QLineEdit* url, QLineEdit* user, QLineEdit* password,
                       QLabel* status, QObject* parent);

    // The server took this password for the pair: kept if Remember password is ticked.
    void accepted(const QString& url, const QString& user, const QString& password);

private:
    struct Pair {
        QString url;
        QString user;
        bool operator==(const Pair&) const = default;
    };
    Pair fields() const;
    void toggled(bool on);
    // The keyring cannot be used: says why and unticks the box.
    void unavailable(const QString& reason);
    // Asks the keyring for the password of the pair in the fields, once per pair.
    void readBack();

    PasswordKeyring* keyring_;
    QCheckBox* remember_;
    QLineEdit* url_;
    QLineEdit* user_;
    QLineEdit* password_;
    QLabel* status_;
    // The pair last asked for, and the password field's text then: the answer
    // fills the field only if the user has not typed in it since.
    Pair asked_;
    QString passwordWhenAsked_;
    // What the server accepted last, kept once the box is ticked.
    Pair acceptedPair_;
    QString acceptedPassword_;
    // The box is being unticked because the keyring failed: nothing to delete.
    bool failing_ = false;
};
