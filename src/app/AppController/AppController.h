// The controller of the main window: it leads the user through loading a CSV
// file, pairing its columns with vCard properties and running the export.
#pragma once

#include "ConvertorClient.h"
#include "UserMapping.h"

#include <QWidget>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class MappingTableModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;
class newConvertor;

namespace Ui {
class AppController;
}

class AppController : public QWidget, public ConvertorClient {
    Q_OBJECT

public:
    explicit AppController(QWidget* parent = nullptr);
    ~AppController() override;

    // Brings the window back to its Empty state; the destination stays.
    void resetAll();
    // Makes the error log the process writes to. Always true.
    bool createLog();
    // Asks for one CSV file; its full path, or none when cancelled.
    std::optional<QString> openFileDialog();
    // Loads the file named in the source field with a new engine object.
    void startStep1();

    // The engine's callbacks (ConvertorClient).
    void addCSVHeadersToComboBox(const std::vector<std::string>& headers) override;
    void addVcardPropertiesToComboBox(const std::vector<std::string>& properties) override;
    void notify(float increment) override;
    void finalNotify(const std::vector<std::string>& report) override;

    // The mapping table's data source.
    int numberOfRowsInTableView();
    QString tableViewObjectValue(const QString& columnIdentifier, int row) const;
    // Appends one pair (CSV column name, vCard property name) to the table.
    void addToMappingTable(const std::string& csvName, const std::string& vCardName);
    // Takes the selected pair out of the table; none when no row is selected.
    std::optional<UserMapping> removeFromMappingTable();

    // Hands the pairing to the engine; false when it could not be used.
    bool runStep2();
    // Starts the conversion thread once a destination is chosen.
    void startStep3_Import();

    // True from the start of an export until its thread has ended.
    bool isConversionActive() const { return conversionActive; }
    // Cancels a running export without a report and waits for its thread.
    void prepareToQuit();

signals:
    // An export's thread has ended; the window can load and export again.
    void conversionEnded();

public slots:
    void btnBrowseClicked();
    void btnAddMappingAttribute();
    void btnRemoveMappingCliked();
    void mapAllCkeckBox(bool checked);
    void btnStartStep2();
    void btnBrowseDestinationPathCliked();
    void btnImportCliked();
    void btnCancelCliked();
    void btnOkClicked() {}
    void txtViewMappingAttributeSelected() {}

private slots:
    // The conversion thread has ended: loading and exporting are possible again.
    void conversionThreadEnded();

private:
    // Shows the progress calls received so far; resets after a confirmed cancel.
    void applyProgress();
    // The display timer's tick: shows the progress if it moved.
    void showLatestProgress();
    void showReport(const std::vector<std::string>& report);
    void setRunningState();
    void enablePairActions(bool enabled);
    bool cancellationRequested() const;
    static void logLine(const std::string& message);

    std::unique_ptr<Ui::AppController> ui;

    QTableView* UserMappingTable;
    QProgressBar* progressOutlet;
    QLineEdit* txtOutlet;
    QTableView* tblViewCsvFileContents;
    QPushButton* btnImportOutlet;
    QLabel* imageViewOutlet;
    QLineEdit* txtDestinationFolderOutlet;
    QComboBox* comboBoxCSVHeaders;
    QComboBox* comboBoxVcardProperties;
    QLineEdit* txtViewMappingAttributes;
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

    // The engine object of the loaded file; none after a reset.
    std::shared_ptr<newConvertor> objConvertor;
    // The rows of the mapping table, in the order the pairs were made.
    std::vector<UserMapping> list;
    // The source path shown before the last reset, or the last chosen path.
    std::optional<QString> oldCSVPath;

    MappingTableModel* mappingModel;
    // An export's window is Running (until its report or a reset).
    bool running = false;
    // The conversion thread has not ended yet.
    bool conversionActive = false;
    // The user quits: the run ends without a report.
    std::atomic<bool> quitting{false};
    // The conversion thread's last act.
    std::atomic<bool> threadFinished{true};
    // Redraws the progress of a run at the screen's pace.
    QTimer* progressTimer;
    // The progress call count the window shows.
    std::int64_t shownContactNumber = 0;
    // The increment of the current run, as the engine passes it.
    std::atomic<float> lastIncrement{0.0f};
};
