// The address book server beside Export to: its URL, user name, password
// (with Remember password and the keyring behind it) and CA certificate, the
// search for the user's address books on a thread of its own, and the one
// chosen as the run's destination. Export to shows only the controls of the
// destination chosen: a folder, or the server.
#pragma once

#include <QObject>

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include <memory>

class Destination;
class ExportSession;
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
    // Sets the session's identity column for the run of the CSV file at
    // `csvPath` (an upload's only) and answers the address book chosen as its
    // destination; none for a run into a folder, or when the book's URL cannot
    // be used, which the status line then says.
    std::shared_ptr<Destination> prepareRun(ExportSession& session, const QString& csvPath);
    // Offers the file's columns as the identity column; none for no file.
    void listColumns(const std::vector<std::string>& headers);
    // The column whose value makes each card's UID; none: each row makes it.
    std::optional<std::size_t> idColumn() const;
    // The chosen address book's URL.
    QString bookUrl() const;

public slots:
    void btnFindAddressBooksClicked();
    void btnChooseCaFileClicked();

private:
    // Lists the address books found, or says why there are none.
    void showAddressBooks(const carddav::Discovery& found);
    void showStatus(const QString& line);
    // The address book chosen, as an upload's destination.
    std::shared_ptr<Destination> destination(const QString& csvPath);
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
