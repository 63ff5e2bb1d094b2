// The address book server beside Export to: its URL, user name, password
// (with Remember password and the keyring behind it) and CA certificate, the
// search for the user's address books on a thread of its own, and the one
// chosen as the run's destination. Export to shows only the controls of the
// destination chosen: a folder, or the server.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

class Destination;
class QThread;
class RememberedPassword;
class SettingsBinding;

namespace carddav {
struct Discovery;
struct ServerAccess;
} // namespace carddav

namespace Ui {
class AppController;
}

class ServerPanel : public QObject {
    Q_OBJECT

public:
    // Works on the window's controls, which outlive it; the fields show what
    // `binding` kept of the last server.
    ServerPanel(Ui::AppController& ui, SettingsBinding& binding, QObject* parent);
    // Waits for a search still going on: its answer has nowhere to go.
    ~ServerPanel() override;

    // Export to is Address book server.
    bool chosen() const;
    // An address book has been found and chosen.
    bool bookChosen() const;
    // Shows the controls of the destination chosen; `idle`: no export runs,
    // so they can be used.
    void show(bool idle);
    // The address book chosen, as a destination for the run; none when its
    // URL cannot be used, which the status line then says.
    std::shared_ptr<Destination> destination();
    // The chosen address book's URL.
    QString bookUrl() const;

public slots:
    void btnFindAddressBooksClicked();
    void btnChooseCaFileClicked();

private:
    // Lists the address books found, or says why there are none.
    void showAddressBooks(const carddav::Discovery& found);
    void showStatus(const QString& line);
    // The user name, password and certificate file the fields hold.
    carddav::ServerAccess access(bool plainHttp) const;

    Ui::AppController& ui_;
    SettingsBinding& binding_;
    RememberedPassword* rememberedPassword_;
    // Asks the server for its address books while the window goes on; none when idle.
    QThread* bookFinder_ = nullptr;
    // The last show(): whether no export runs.
    bool idle_ = true;
};
