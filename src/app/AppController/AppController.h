// The controller of the main window: it leads the user through loading a CSV
// file, pairing its columns with vCard properties and running the export. The
// export session does the work; the pairing panel and the server panel look
// after their groups; the controller keeps the window's phases and the run.
#pragma once

#include "app/WindowPhase.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class ConversionTask;
class CsvFileGroup;
class ExportChoices;
class ExportSession;
class FilePreview;
class PairingPanel;
class QDragEnterEvent;
class QDropEvent;
class ServerPanel;
class SettingsBinding;
struct RunReport;

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
    // Loads the file named in the source field; true when it has contacts.
    bool startStep1();
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
    void btnImportCliked();
    void btnCancelCliked();

private slots:
    // The conversion thread has ended.
    void conversionThreadEnded();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Sets up the controls the form leaves to the code.
    void prepareControls();
    // Shows the choices of the last session and follows the user's changes.
    void bindChoices();
    // Asks before pairs are dropped, then loads the file `choose` gives.
    void chooseAndLoad(const std::function<std::optional<QString>()>& choose);
    // Shows the file's first rows and the first contact's card as it will be written.
    void refreshPreview();
    // Reads the file again with the encoding and delimiter chosen, after asking
    // when pairs would be lost; a reading that does not fit keeps the file,
    // its pairs and the choices as they were.
    void readingChoiceChanged();
    // Drops every pair and reads the loaded file again; true when it has contacts.
    bool reloadFile();
    // Enters a phase and sets every control from it.
    void setPhase(WindowPhase phase);
    // Loaded or Paired, from the session's pairs.
    void setPairingPhase();

    std::unique_ptr<Ui::AppController> ui;
    std::unique_ptr<ExportSession> session_;
    SettingsBinding* binding_;
    // The summary line, the first rows and the first card.
    FilePreview* preview;
    PairingPanel* pairing_;
    ServerPanel* server_;
    ExportChoices* choices_;
    CsvFileGroup* file_;
    // The conversion thread of the latest export.
    ConversionTask* businessLogicThread;

    WindowPhase phase_ = WindowPhase::Empty;
    // Contacts in the loaded file.
    std::int64_t totalContacts = 0;
    // Contacts of the current run the window has shown as processed.
    std::int64_t currentContactNumber = 0;
    // The source path shown before the last reset, or the last chosen path.
    std::optional<QString> oldCSVPath;
    // The latest run went to an address book: its report is an upload's, and it has no folder.
    bool uploadRun = false;
    // The conversion thread has not ended yet.
    bool conversionActive = false;
    // The user quits: the run ends without a report.
    bool quitting = false;
};
