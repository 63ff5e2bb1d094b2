// The controller of the main window: it leads the user through loading a CSV
// file, pairing its columns with vCard properties and running the export. The
// export session does the work; the controller turns clicks into session calls
// and shows the session's answers.
#pragma once

#include "app/WindowPhase.h"
#include "engine/read/CsvLoad.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

class ConversionTask;
class ExportSession;
class FilePreview;
class MappingTableModel;
class QCheckBox;
class QDragEnterEvent;
class QDropEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QThread;
class QTimer;
class RememberedPassword;
struct RunReport;

namespace carddav {
struct Discovery;
struct ServerAccess;
} // namespace carddav

namespace Ui {
class AppController;
}

class AppController : public QWidget {
    Q_OBJECT

public:
    explicit AppController(QWidget* parent = nullptr);
    ~AppController() override;

    // The phase the window is in.
    WindowPhase phase() const { return phase_; }
    // The export session the window drives.
    ExportSession& session() { return *session_; }

    // Brings the window back to its Empty state; the destination stays.
    void resetAll();
    // Makes the error log the process writes to. Always true.
    bool createLog();
    // Asks for one CSV file; its full path, or none when cancelled.
    std::optional<QString> openFileDialog();
    // Loads the file named in the source field.
    void startStep1();
    // Hands the pairing to the engine; false when it could not be used.
    bool runStep2();
    // Starts the conversion thread once a destination is chosen.
    void startStep3_Import();
    // Shows the progress of the run: the contacts processed so far.
    void notify(std::int64_t processed);
    // Shows what the run came to, then empties the window.
    void finalNotify(const RunReport& report);
    // Cancels a running export without a report and waits for its thread.
    void prepareToQuit();
    // Loads a file as if it had been chosen with the source Browse button.
    void loadDroppedFile(const QString& path);

signals:
    // The window entered another phase.
    void phaseChanged(WindowPhase phase);
    // An export's thread has ended; the window can load and export again.
    void conversionEnded();
    // The run ended while questions were open: they were closed with their safe
    // answer, whatever the user would have answered.
    void openQuestionsClosed();

public slots:
    void btnBrowseClicked();
    void btnAddMappingAttribute();
    void btnRemoveMappingCliked();
    void mapAllCkeckBox(bool checked);
    void btnPairByNamesClicked();
    void btnOpenRunFolderClicked();
    void btnStartStep2();
    void btnBrowseDestinationPathCliked();
    void btnImportCliked();
    void btnCancelCliked();
    void btnFindAddressBooksClicked();
    void btnChooseCaFileClicked();

private slots:
    // The conversion thread has ended.
    void conversionThreadEnded();
    // The display timer's tick: shows the progress if it moved.
    void showLatestProgress();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Asks before pairs are dropped, then loads the file `choose` gives.
    void chooseAndLoad(const std::function<std::optional<QString>()>& choose);
    // Shows the file's first rows and the first contact's card as it will be written.
    void refreshPreview();
    // Takes the card format and the one-file choice into the session.
    void outputChoiceChanged();
    // Reads the file again with the encoding and delimiter chosen, after asking
    // when pairs would be lost; puts the choices back when the user says no.
    void readingChoiceChanged();
    // Drops every pair and reads the loaded file again.
    void reloadFile();
    // The encoding and delimiter chosen, as the session reads the file with them.
    CsvLoadOptions readingChoices() const;
    // Which names a refilled list selects.
    enum class Selection { None, First, Keep };

    // The export goes to an address book server, not a folder.
    bool toServer() const;
    // Enables the folder's or the server's controls, as Export to and the phase say.
    void setDestinationControls();
    // Lists the address books found, or says why there are none.
    void showAddressBooks(const carddav::Discovery& found);
    // The user name, password and certificate file the fields hold, for a URL
    // that is plain http or not.
    carddav::ServerAccess serverAccess(bool plainHttp) const;
    // Starts the upload into the address book chosen; false when none is chosen.
    bool startUpload();
    // Enters a phase and sets every control from it.
    void setPhase(WindowPhase phase);
    // Loaded or Paired, from the session's pairs.
    void setPairingPhase();
    // Names the columns with values that no pair takes, with their counts.
    void showUnpairedColumns();
    // Fills both lists with the names the session has left to pair.
    void fillLists(Selection selection);
    static void logLine(std::string_view message);

    std::unique_ptr<Ui::AppController> ui;
    std::unique_ptr<ExportSession> session_;

    QTableView* UserMappingTable;
    QProgressBar* progressOutlet;
    QLineEdit* txtOutlet;
    QTableView* tblViewCsvFileContents;
    QPushButton* btnImportOutlet;
    QLabel* imageViewOutlet;
    QLineEdit* txtDestinationFolderOutlet;
    QComboBox* comboBoxCSVHeaders;
    QComboBox* comboBoxVcardProperties;
    QPlainTextEdit* txtViewMappingAttributes;
    QLabel* lblMappingOutlet;
    QPushButton* btnStartStep2Outlet;
    QLabel* lblProgressStatus;
    QLabel* lblProgressFileCount;
    QPushButton* addMappingOutlet;
    QPushButton* btnBrowseDestinationFileOutlet;
    QPushButton* btnBrowseSourceFileOutlet;
    QPushButton* btnCancelOutlet;
    QPushButton* btnRemoveMappingOutlet;
    QCheckBox* mapAllCkeckBoxOutlet;
    QPushButton* btnPairByNamesOutlet;
    QLabel* lblFileSummary;
    QComboBox* comboBoxCardFormat;
    QComboBox* comboBoxEncoding;
    QComboBox* comboBoxDelimiter;
    QCheckBox* chkSingleFileOutlet;
    QCheckBox* chkKeepUnpairedOutlet;
    QLabel* lblUnpairedColumns;
    QPushButton* btnOpenRunFolderOutlet;
    QComboBox* comboBoxExportTo;
    QLineEdit* txtCardDavUrl;
    QLineEdit* txtCardDavUser;
    QLineEdit* txtCardDavPassword;
    QPushButton* btnFindAddressBooks;
    QComboBox* comboBoxAddressBook;
    QLabel* lblServerStatus;
    QLineEdit* txtCardDavCaFile;
    // Remember password and the keyring behind it.
    RememberedPassword* rememberedPassword;
    // The summary line, the first rows and the first card.
    FilePreview* preview;

    MappingTableModel* mappingModel;
    // The conversion thread of the latest export.
    ConversionTask* businessLogicThread;
    // Asks the server for its address books while the window goes on; none when idle.
    QThread* bookFinder = nullptr;
    // Redraws the progress of a run at the screen's pace.
    QTimer* progressTimer;

    WindowPhase phase_ = WindowPhase::Empty;
    // Contacts in the loaded file.
    std::int64_t totalContacts = 0;
    // Contacts of the current run the window has shown as processed.
    std::int64_t currentContactNumber = 0;
    // The source path shown before the last reset, or the last chosen path.
    std::optional<QString> oldCSVPath;
    // The run folder of the last export; empty before the first.
    QString lastRunFolder;
    // The latest run went to an address book: its report is an upload's, and it has no folder.
    bool uploadRun = false;
    // The conversion thread has not ended yet.
    bool conversionActive = false;
    // The user quits: the run ends without a report.
    bool quitting = false;
};
