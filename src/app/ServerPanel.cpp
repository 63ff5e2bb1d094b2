#include "app/ServerPanel.h"
#include "ui_AppController.h"

#include "app/Dialogs.h"
#include "app/RememberedPassword.h"
#include "app/SettingsBinding.h"
#include "app/UiTexts.h"
#include "carddav/AddressBookDestination.h"
#include "carddav/Discovery.h"
#include "carddav/ServerUrl.h"
#include "engine/ExportSession.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

using uitext::q;

ServerPanel::ServerPanel(Ui::AppController& ui, SettingsBinding& binding, QObject* parent)
    : QObject(parent), ui_(ui), binding_(binding) {
    ui_.lblServerStatus->setMinimumHeight(ui_.lblServerStatus->fontMetrics().lineSpacing());
    ui_.comboBoxExportTo->addItem(q(uitext::kExportToFolder));
    ui_.comboBoxExportTo->addItem(q(uitext::kExportToServer));
    connect(ui_.comboBoxExportTo, &QComboBox::currentIndexChanged, this, [this] { show(idle_); });
    binding_.bind(ui_.txtCardDavUrl, settings::Key::CardDavUrl);
    binding_.bind(ui_.txtCardDavUser, settings::Key::CardDavUser);
    binding_.bind(ui_.txtCardDavCaFile, settings::Key::CardDavCaFile);
    binding_.bind(ui_.chkRememberPassword, settings::Key::RememberPassword);
    binding_.bind(ui_.chkReplacePrevious, settings::Key::ReplacePrevious);
    listColumns({});
    rememberedPassword_ =
        new RememberedPassword(ui_.chkRememberPassword, ui_.txtCardDavUrl, ui_.txtCardDavUser,
                               ui_.txtCardDavPassword, ui_.lblServerStatus, this);
    connect(ui_.btnFindAddressBooks, &QPushButton::clicked, this,
            &ServerPanel::btnFindAddressBooksClicked);
    connect(ui_.btnChooseCaFile, &QPushButton::clicked, this, &ServerPanel::btnChooseCaFileClicked);
}

ServerPanel::~ServerPanel() {
    if (bookFinder_ != nullptr) {
        bookFinder_->wait();
        delete bookFinder_;
    }
}

bool ServerPanel::chosen() const {
    return ui_.comboBoxExportTo->currentIndex() == 1;
}

bool ServerPanel::bookChosen() const {
    return ui_.comboBoxAddressBook->currentIndex() >= 0;
}

QString ServerPanel::bookUrl() const {
    return ui_.comboBoxAddressBook->currentData().toString();
}

void ServerPanel::show(bool idle) {
    idle_ = idle;
    const bool server = chosen();
    ui_.comboBoxExportTo->setEnabled(idle);
    // Only what the chosen destination uses is in sight: an upload is always
    // made of strict cards, one per contact.
    ui_.folderFields->setVisible(!server);
    ui_.fileChoices->setVisible(!server);
    ui_.serverAccount->setVisible(server);
    ui_.serverBook->setVisible(server);
    ui_.serverChoices->setVisible(server);
    ui_.btnBrowseDestinationFileOutlet->setEnabled(idle);
    for (QWidget* part : {ui_.serverAccount, ui_.serverBook, ui_.serverChoices}) {
        part->setEnabled(idle);
    }
    ui_.btnFindAddressBooks->setEnabled(idle && bookFinder_ == nullptr);
    ui_.btnImportOutlet->setAccessibleDescription(
        q(server ? uitext::kExportToServerDescription : uitext::kExportToFolderDescription));
}

void ServerPanel::showStatus(const QString& line) {
    ui_.lblServerStatus->setText(line);
    ui_.lblServerStatus->setToolTip(line);
}

carddav::ServerAccess ServerPanel::access(bool plainHttp) const {
    return {ui_.txtCardDavUser->text().toStdString(), ui_.txtCardDavPassword->text().toStdString(),
            ui_.txtCardDavCaFile->text().trimmed().toStdString(), plainHttp};
}

std::shared_ptr<Destination> ServerPanel::prepareRun(ExportSession& session,
                                                     const QString& csvPath) {
    ExportOptions options = session.exportOptions();
    options.idColumn = chosen() ? idColumn() : std::nullopt;
    session.setExportOptions(options);
    return chosen() ? destination(csvPath) : nullptr;
}

std::shared_ptr<Destination> ServerPanel::destination(const QString& csvPath) {
    const carddav::UrlCheck url = carddav::checkServerUrl(bookUrl().toStdString());
    if (!url.checked) {
        showStatus(q(url.refusal));
        return nullptr;
    }
    binding_.keep(settings::Key::CardDavUser);
    const bool replacePrevious = ui_.chkReplacePrevious->isChecked();
    // An identity column keeps an edited row's UID: its card is replaced.
    const carddav::UploadChoices choices{csvPath.toStdString(), replacePrevious,
                                         replacePrevious || idColumn().has_value()};
    return std::make_shared<carddav::AddressBookDestination>(access(url.checked->plainHttp),
                                                             url.checked->url, choices);
}

void ServerPanel::listColumns(const std::vector<std::string>& headers) {
    ui_.comboBoxIdColumn->clear();
    ui_.comboBoxIdColumn->addItem(q(uitext::kNoIdColumn), -1);
    for (std::size_t i = 0; i < headers.size(); ++i) {
        ui_.comboBoxIdColumn->addItem(q(headers[i]), static_cast<int>(i));
    }
}

std::optional<std::size_t> ServerPanel::idColumn() const {
    const int column = ui_.comboBoxIdColumn->currentData().toInt();
    return column >= 0 ? std::optional<std::size_t>(column) : std::nullopt;
}

void ServerPanel::btnFindAddressBooksClicked() {
    if (bookFinder_ != nullptr) {
        return;
    }
    const QString typed = ui_.txtCardDavUrl->text().trimmed();
    const carddav::UrlCheck url = carddav::checkServerUrl(typed.toStdString());
    ui_.comboBoxAddressBook->clear();
    if (!url.checked) {
        showStatus(q(url.refusal));
        return;
    }
    for (const auto key :
         {settings::Key::CardDavUrl, settings::Key::CardDavUser, settings::Key::CardDavCaFile}) {
        binding_.keep(key);
    }
    showStatus(q(uitext::kFindingAddressBooks));
    // The server may be slow to answer: the window goes on meanwhile, and the
    // answer comes back to this thread with the thread's end.
    auto found = std::make_shared<carddav::Discovery>();
    bookFinder_ =
        QThread::create([access = access(url.checked->plainHttp), at = url.checked->url, found] {
            carddav::HttpClient client(access);
            *found = carddav::findAddressBooks(client, at);
        });
    connect(bookFinder_, &QThread::finished, this,
            [this, found, typed, user = ui_.txtCardDavUser->text(),
             password = ui_.txtCardDavPassword->text()] {
                showAddressBooks(*found);
                if (found->failure.empty()) {
                    rememberedPassword_->accepted(typed, user, password);
                }
            });
    show(idle_);
    bookFinder_->start();
}

void ServerPanel::btnChooseCaFileClicked() {
    PanelRequest request;
    request.title = q(uitext::kPanelTitle);
    request.message = q(uitext::kCaPanelMessage);
    request.fileType = q(uitext::kCaFileTypes);
    const QString current = ui_.txtCardDavCaFile->text().trimmed();
    request.startFolder = current.isEmpty() ? QDir::homePath() : QFileInfo(current).path();
    if (const auto file = Dialogs::instance().openPanel(request)) {
        ui_.txtCardDavCaFile->setText(*file);
    }
}

void ServerPanel::showAddressBooks(const carddav::Discovery& found) {
    bookFinder_->wait();
    delete bookFinder_;
    bookFinder_ = nullptr;
    for (const carddav::AddressBook& book : found.books) {
        ui_.comboBoxAddressBook->addItem(QString::fromStdString(book.name),
                                         QString::fromStdString(book.url));
    }
    showStatus(found.failure.empty()
                   ? q(text::fill(uitext::kAddressBooksFound,
                                  uitext::counted(found.books.size(), uitext::kAddressBook,
                                                  uitext::kAddressBooks)))
                   : q(found.failure));
    show(idle_);
}
