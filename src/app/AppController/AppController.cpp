#include "AppController.h"
#include "ui_AppController.h"

#include "Console.h"
#include "Dialogs.h"
#include "MappingTableModel.h"
#include "Resources.h"
#include "RunState.h"
#include "Text.h"
#include "myLog.h"
#include "newConvertor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace {

const QString kSelectCsvFile = QStringLiteral("Select CSV File");
const QString kSelectDestination = QStringLiteral("Select Destination Folder");
const QString kPanelTitle = QStringLiteral("Browse: Brenvik Software");
const QString kResetQuestion =
    QStringLiteral("This will reset all the mappings that you have done. Do you want to continue?");

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string s(const QString& q) {
    return q.toStdString();
}

// Runs one user action; a failure inside it is logged and ends only that action.
template <class Body>
void guarded(std::string_view logFormat, Body&& body, std::string_view consoleFormat = {}) {
    try {
        body();
    } catch (const std::exception& e) {
        const std::string name = text::exceptionName(e);
        logOrConsole(text::fill(logFormat, name, e.what()));
        if (!consoleFormat.empty()) {
            console::log(text::fill(consoleFormat, name, e.what()));
        }
    }
}

QStringList items(const QComboBox* combo) {
    QStringList names;
    for (int i = 0; i < combo->count(); ++i) {
        names.append(combo->itemText(i));
    }
    return names;
}

std::optional<QString> selectedItem(const QComboBox* combo) {
    if (combo->currentIndex() < 0) {
        return std::nullopt;
    }
    return combo->itemText(combo->currentIndex());
}

void removeEvery(QComboBox* combo, const QString& name) {
    for (int i = combo->count() - 1; i >= 0; --i) {
        if (combo->itemText(i) == name) {
            combo->removeItem(i);
        }
    }
}

// Appends without choosing the new item: a list with no selection keeps none.
void appendItem(QComboBox* combo, const QString& name) {
    const int selected = combo->currentIndex();
    combo->addItem(name);
    combo->setCurrentIndex(selected);
}

void selectFirst(QComboBox* combo) {
    combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
}

} // namespace

AppController::AppController(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::AppController>()) {
    ui->setupUi(this);
    UserMappingTable = ui->UserMappingTable;
    progressOutlet = ui->progressOutlet;
    txtOutlet = ui->txtOutlet;
    tblViewCsvFileContents = ui->tblViewCsvFileContents;
    btnImportOutlet = ui->btnImportOutlet;
    imageViewOutlet = ui->imageViewOutlet;
    txtDestinationFolderOutlet = ui->txtDestinationFolderOutlet;
    comboBoxCSVHeaders = ui->comboBoxCSVHeaders;
    comboBoxVcardProperties = ui->comboBoxVcardProperties;
    txtViewMappingAttributes = ui->txtViewMappingAttributes;
    lblMappingOutlet = ui->lblMappingOutlet;
    btnStartStep2Outlet = ui->btnStartStep2Outlet;
    lblProgressStatus = ui->lblProgressStatus;
    lblProgressFileCount = ui->lblProgressFileCount;
    addMappingOutlet = ui->addMappingOutlet;
    btnBrowseDestinationFileOutlet = ui->btnBrowseDestinationFileOutlet;
    btnBrowseSourceFileOutlet = ui->btnBrowseSourceFileOutlet;
    btnCancelOutlet = ui->btnCancelOutlet;
    btnRemoveMappingOutlet = ui->btnRemoveMappingOutlet;
    mapAllCkeckBoxOutlet = ui->mapAllCkeckBoxOutlet;

    // Controls no operation drives stay out of sight.
    tblViewCsvFileContents->hide();
    txtViewMappingAttributes->hide();
    loadResources();
    imageViewOutlet->setPixmap(QPixmap(QStringLiteral(":/logo.png")));

    mappingModel = new MappingTableModel(
        [this] { return numberOfRowsInTableView(); },
        [this](const QString& id, int row) { return tableViewObjectValue(id, row); }, this);
    UserMappingTable->setModel(mappingModel);

    // About one screen frame: the bar and labels are never more than that behind.
    progressTimer = new QTimer(this);
    progressTimer->setInterval(16);
    connect(progressTimer, &QTimer::timeout, this, &AppController::showLatestProgress);
    UserMappingTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    UserMappingTable->verticalHeader()->hide();

    connect(btnBrowseSourceFileOutlet, &QPushButton::clicked, this,
            &AppController::btnBrowseClicked);
    connect(addMappingOutlet, &QPushButton::clicked, this, &AppController::btnAddMappingAttribute);
    connect(btnRemoveMappingOutlet, &QPushButton::clicked, this,
            &AppController::btnRemoveMappingCliked);
    connect(mapAllCkeckBoxOutlet, &QCheckBox::clicked, this, &AppController::mapAllCkeckBox);
    connect(btnStartStep2Outlet, &QPushButton::clicked, this, &AppController::btnStartStep2);
    connect(btnBrowseDestinationFileOutlet, &QPushButton::clicked, this,
            &AppController::btnBrowseDestinationPathCliked);
    connect(btnImportOutlet, &QPushButton::clicked, this, &AppController::btnImportCliked);
    connect(btnCancelOutlet, &QPushButton::clicked, this, &AppController::btnCancelCliked);

    txtDestinationFolderOutlet->setText(kSelectDestination);
    resetAll();
    // The window starts Empty: nothing was shown before it.
    oldCSVPath.reset();
}

AppController::~AppController() {
    prepareToQuit();
    // The table must not ask this half-destroyed controller for rows.
    UserMappingTable->setModel(nullptr);
    delete mappingModel;
}

void AppController::logLine(const std::string& message) {
    logOrConsole(message);
}

void AppController::resetAll() {
    guarded("UI>> EXCEPTION\nOccured in resetAll()\nname: %@\nReason: %@", [&] {
        btnBrowseSourceFileOutlet->setEnabled(!conversionActive);
        progressOutlet->setValue(0);
        progressOutlet->hide();
        btnImportOutlet->setEnabled(false);
        btnStartStep2Outlet->setEnabled(false);
        addMappingOutlet->setEnabled(false);
        btnBrowseDestinationFileOutlet->setEnabled(true);
        btnCancelOutlet->setEnabled(false);
        btnRemoveMappingOutlet->setEnabled(false);
        mapAllCkeckBoxOutlet->hide();

        oldCSVPath = txtOutlet->text();
        txtOutlet->setText(kSelectCsvFile);
        comboBoxCSVHeaders->clear();
        comboBoxVcardProperties->clear();
        mapAllCkeckBoxOutlet->setChecked(false);
        lblProgressStatus->setText(QString());
        lblProgressFileCount->setText(QStringLiteral(" "));
        txtViewMappingAttributes->setText(QStringLiteral(" "));

        objConvertor.reset();
        currentContactNumber = 0;
        totalContacts = 0;
        running = false;
        progressTimer->stop();

        userMappingDictionary.clear();
        list.clear();
        mappingModel->reload();
    });
}

bool AppController::createLog() {
    auto log = std::make_shared<myLog>();
    log->createLogFile(s(QCoreApplication::applicationDirPath()));
    loggingObject.store(log);
    logOrConsole("UI>> Start Application", "UI(init) Error while writing to log file");
    return true;
}

void AppController::btnBrowseClicked() {
    guarded("UI>> EXCEPTION\nOccured in btnBrowseClicked()\nname: %@\nReason: %@", [&] {
        if (conversionActive) {
            return; // the last export's thread still reads the loaded file
        }
        if (userMappingDictionary.empty()) {
            if (!loggingObject.load()) {
                createLog();
            }
            const auto path = openFileDialog();
            if (!path) {
                return;
            }
            resetAll();
            txtOutlet->setText(*path);
            oldCSVPath = *path;
            startStep1();
            return;
        }
        if (Dialogs::instance().alert(QStringLiteral("Alert"), kResetQuestion,
                                      {QStringLiteral("Yes"), QStringLiteral("No")}) != 0) {
            return;
        }
        if (!loggingObject.load()) {
            createLog();
        }
        resetAll();
        const auto path = openFileDialog();
        if (!path) {
            return;
        }
        txtOutlet->setText(*path);
        oldCSVPath = *path;
        startStep1();
        mapAllCkeckBoxOutlet->show();
    });
}

std::optional<QString> AppController::openFileDialog() {
    std::optional<QString> chosen;
    guarded("UI>> EXCEPTION\nOccured in openFileDialog()\nname: %@\nReason: %@", [&] {
        PanelRequest request;
        request.title = kPanelTitle;
        request.message = QStringLiteral("Choose CSV file to be Converted to vCard.");
        request.fileType = QStringLiteral("csv");
        request.startFolder = oldCSVPath && *oldCSVPath != kSelectCsvFile
                                  ? QFileInfo(*oldCSVPath).path()
                                  : QDir::homePath();
        chosen = Dialogs::instance().openPanel(request);
    });
    return chosen;
}

void AppController::startStep1() {
    guarded("UI>> EXCEPTION\nOccured in startStep1()\nname: %@\nReason: %@", [&] {
        const QString path = txtOutlet->text();
        logLine(text::fill("Info: UI Start: STEP 1\nSelected CSV File Name:%@", s(path)));
        objConvertor = std::make_shared<newConvertor>();
        totalContacts = objConvertor->startStep1(s(path), this);
        if (totalContacts != 0) {
            currentContactNumber = 0;
            addMappingOutlet->setEnabled(true);
            mapAllCkeckBoxOutlet->show();
        } else {
            const std::string message =
                text::fill("Invalid CSV file %@.", text::lastPathComponent(s(path)));
            Dialogs::instance().alert(QStringLiteral("Error"), q(message), {QStringLiteral("Ok")});
            resetAll();
            logLine(text::fill("UI>> ERROR\nOccured in startStep1(): %@", message));
        }
    });
    logLine("INFO:UI End: STEP 1");
}

void AppController::addCSVHeadersToComboBox(const std::vector<std::string>& headers) {
    guarded("UI>> EXCEPTION\nOccured in  addCSVHeadersToComboBox()\nname: %@\nReason: %@", [&] {
        for (const auto& name : headers) {
            if (!name.empty()) {
                comboBoxCSVHeaders->addItem(q(name));
            }
        }
        comboBoxCSVHeaders->setCurrentIndex(-1);
        userMappingDictionary.clear();
    });
}

void AppController::addVcardPropertiesToComboBox(const std::vector<std::string>& properties) {
    for (const auto& name : properties) {
        comboBoxVcardProperties->addItem(q(name));
    }
    comboBoxVcardProperties->setCurrentIndex(-1);
}

int AppController::numberOfRowsInTableView() {
    if (isFirstInstance) {
        list.clear();
        isFirstInstance = false;
    }
    return static_cast<int>(list.size());
}

QString AppController::tableViewObjectValue(const QString& columnIdentifier, int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= list.size()) {
        return {};
    }
    const UserMapping& pair = list[static_cast<std::size_t>(row)];
    return q(columnIdentifier == QLatin1String("CSVColumn") ? pair.CSVColumn : pair.vCardColumn);
}

void AppController::enablePairActions(bool enabled) {
    btnStartStep2Outlet->setEnabled(enabled);
    btnImportOutlet->setEnabled(enabled);
    btnRemoveMappingOutlet->setEnabled(enabled);
}

void AppController::btnAddMappingAttribute() {
    guarded("UI>> EXCEPTION\nOccured in  btnAddMappingAttribute:()\nname: %@\nReason: %@", [&] {
        const auto csvName = selectedItem(comboBoxCSVHeaders);
        const auto vCardName = selectedItem(comboBoxVcardProperties);
        if (comboBoxCSVHeaders->count() == 0 || comboBoxVcardProperties->count() == 0) {
            Dialogs::instance().alert(QStringLiteral("Stop"),
                                      QStringLiteral("No columns are remaining for mapping."),
                                      {QStringLiteral("Ok")});
            return;
        }
        if (!csvName || !vCardName) {
            Dialogs::instance().alert(QStringLiteral("Stop"),
                                      QStringLiteral("Please select columns to be mapped."),
                                      {QStringLiteral("Ok")});
            return;
        }
        userMappingDictionary[s(*vCardName)] = s(*csvName);
        removeEvery(comboBoxCSVHeaders, *csvName);
        removeEvery(comboBoxVcardProperties, *vCardName);
        addToMappingTable(s(*csvName), s(*vCardName));
        enablePairActions(true);
        // The next pair can be added at once from the first remaining names.
        selectFirst(comboBoxCSVHeaders);
        selectFirst(comboBoxVcardProperties);
    });
}

void AppController::addToMappingTable(const std::string& csvName, const std::string& vCardName) {
    guarded("UI>> EXCEPTION\nOccured in addToMappingTable()\nname: %@\nReason: %@", [&] {
        numberOfRowsInTableView(); // the list exists before the first pair
        list.push_back(UserMapping{csvName, vCardName});
        mappingModel->reload();
    });
}

std::optional<UserMapping> AppController::removeFromMappingTable() {
    std::optional<UserMapping> removed;
    guarded("UI>> EXCEPTION\nOccured in removeFromMappingTable()\nname: %@\nReason: %@", [&] {
        const QModelIndexList rows = UserMappingTable->selectionModel()->selectedRows();
        if (rows.isEmpty()) {
            return;
        }
        const auto row = static_cast<std::size_t>(rows.constFirst().row());
        if (row >= list.size()) {
            return;
        }
        removed = list[row];
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(row));
        mappingModel->reload();
    });
    return removed;
}

void AppController::btnRemoveMappingCliked() {
    guarded(
        "UI>> EXCEPTION\nOccured in btnRemoveMappingCliked()\nname: %@\nReason: %@",
        [&] {
            const auto pair = removeFromMappingTable();
            if (!pair) {
                return;
            }
            userMappingDictionary.erase(pair->vCardColumn);
            // Both names come back exactly as they were, so they still match.
            appendItem(comboBoxCSVHeaders, q(pair->CSVColumn));
            appendItem(comboBoxVcardProperties, q(pair->vCardColumn));
            if (userMappingDictionary.empty()) {
                btnRemoveMappingOutlet->setEnabled(false);
                btnImportOutlet->setEnabled(false);
                btnCancelOutlet->setEnabled(false);
            }
            mapAllCkeckBoxOutlet->setChecked(false);
        },
        "EXCEPTION\nOccured in UI btnRemoveMappingCliked()\nname: %@\nReason: %@");
}

void AppController::mapAllCkeckBox(bool checked) {
    guarded(
        "UI>> EXCEPTION\nOccured in mapAllCkeckBox()\nname: %@\nReason: %@",
        [&] {
            if (checked) {
                const QStringList csvNames = items(comboBoxCSVHeaders);
                const QStringList vCardNames = items(comboBoxVcardProperties);
                const auto n = std::min(csvNames.size(), vCardNames.size());
                if (n == 0) {
                    return;
                }
                for (qsizetype i = 0; i < n; ++i) {
                    userMappingDictionary[s(vCardNames[i])] = s(csvNames[i]);
                    addToMappingTable(s(csvNames[i]), s(vCardNames[i]));
                }
                for (QComboBox* combo : {comboBoxCSVHeaders, comboBoxVcardProperties}) {
                    if (n == combo->count()) {
                        combo->clear();
                    } else {
                        for (qsizetype i = 0; i < n; ++i) {
                            combo->removeItem(0);
                        }
                        combo->setCurrentIndex(-1);
                    }
                }
                enablePairActions(true);
                return;
            }
            if (Dialogs::instance().alert(QStringLiteral("Alert"), kResetQuestion,
                                          {QStringLiteral("Yes"), QStringLiteral("No")}) != 0) {
                mapAllCkeckBoxOutlet->setChecked(true);
                return;
            }
            comboBoxCSVHeaders->clear();
            comboBoxVcardProperties->clear();
            btnRemoveMappingOutlet->setEnabled(false);
            // With every pair gone there is nothing to export.
            btnImportOutlet->setEnabled(false);
            list.clear();
            mappingModel->reload();
            startStep1();
        },
        "EXCEPTION\nOccured in UI mapAllCkeckBox()\nname: %@\nReason: %@");
}

bool AppController::runStep2() {
    bool ok = false;
    logLine("Info: UI Start: STEP 2");
    guarded("UI>> EXCEPTION\nOccured in btnStartStep2()\nname: %@\nReason: %@", [&] {
        ok = objConvertor && objConvertor->startStep2(userMappingDictionary);
        if (!ok) {
            lblProgressFileCount->setText(QStringLiteral("ERROR: while mapping properties"));
        }
    });
    logLine("INFO:UI End: STEP 2");
    return ok;
}

void AppController::btnStartStep2() {
    runStep2();
}

void AppController::btnBrowseDestinationPathCliked() {
    guarded(
        "UI>> EXCEPTION\nOccured in btnBrowseDestinationPathCliked()\nname: %@\nReason: %@", [&] {
            PanelRequest request;
            request.title = kPanelTitle;
            request.message = QStringLiteral("Choose target destination folder to save vCards.");
            request.chooseFolder = true;
            const QString current = txtDestinationFolderOutlet->text();
            request.startFolder = current == kSelectDestination ? QDir::homePath() : current;
            if (const auto folder = Dialogs::instance().openPanel(request)) {
                txtDestinationFolderOutlet->setText(*folder);
            }
        });
}

void AppController::btnImportCliked() {
    guarded("UI>> EXCEPTION\nOccured in btnImportCliked()\nname: %@\nReason: %@", [&] {
        logLine("Info: UI Start: Import");
        // An index map that does not match the pairs would fill the wrong fields.
        if (!runStep2()) {
            return;
        }
        startStep3_Import();
    });
}

void AppController::setRunningState() {
    btnBrowseSourceFileOutlet->setEnabled(false);
    btnBrowseDestinationFileOutlet->setEnabled(false);
    btnRemoveMappingOutlet->setEnabled(false);
    mapAllCkeckBoxOutlet->hide();
    addMappingOutlet->setEnabled(false);
    btnStartStep2Outlet->setEnabled(false);
    btnImportOutlet->setEnabled(false);
    btnCancelOutlet->setEnabled(true);
    progressOutlet->setRange(0, 100);
    progressOutlet->setValue(0);
    progressOutlet->show();
}

void AppController::startStep3_Import() {
    guarded("UI>> EXCEPTION\nOccured in startStep3_Import:()\nname: %@\nReason: %@", [&] {
        logLine("Info: UI Business Logic Started:");
        if (txtDestinationFolderOutlet->text() == kSelectDestination) {
            Dialogs::instance().alert(QStringLiteral("Alert"),
                                      QStringLiteral("Please select destination folder."),
                                      {QStringLiteral("Ok")});
            return;
        }
        if (!objConvertor || conversionActive) {
            return;
        }
        setRunningState();
        running = true;
        conversionActive = true;
        quitting = false;
        threadFinished = false;
        shownContactNumber = 0;
        progressTimer->start();
        const std::string destination = s(txtDestinationFolderOutlet->text());
        businessLogicThread =
            std::jthread([this, convertor = objConvertor, destination](std::stop_token cancel) {
                convertor->startStep3(cancel, destination);
                threadFinished = true;
                QMetaObject::invokeMethod(this, "conversionThreadEnded", Qt::QueuedConnection);
            });
    });
}

bool AppController::cancellationRequested() const {
    return businessLogicThread.get_stop_token().stop_requested();
}

void AppController::notify(float increment) {
    ++currentContactNumber;
    lastIncrement = increment;
    // On the conversion thread this is all: the display timer shows the count
    // at the screen's pace, so the run never waits for the window.
    if (QThread::currentThread() == thread()) {
        applyProgress();
    }
}

void AppController::showLatestProgress() {
    if (running && currentContactNumber.load() != shownContactNumber) {
        applyProgress();
    }
}

void AppController::applyProgress() {
    const std::int64_t calls = currentContactNumber;
    shownContactNumber = calls;
    // The bar's value is the sum of the 4-byte increments, which is exact in double.
    const double value = static_cast<double>(calls) * static_cast<double>(lastIncrement.load());
    const int percent = static_cast<int>(value + 0.05);
    progressOutlet->setValue(std::clamp(percent, 0, 100));
    lblProgressStatus->setText(q(text::fill("Progress: %d %%", percent)));
    lblProgressFileCount->setText(q(text::fill("Status: %d/%d", calls, totalContacts)));
    if (cancellationRequested()) {
        resetAll();
    }
}

void AppController::finalNotify(const std::vector<std::string>& report) {
    if (QThread::currentThread() == thread()) {
        showReport(report);
        return;
    }
    // The conversion thread waits here until the report has been read.
    QMetaObject::invokeMethod(
        this, [this, &report] { showReport(report); }, Qt::BlockingQueuedConnection);
}

void AppController::showReport(const std::vector<std::string>& report) {
    if (quitting) {
        return;
    }
    if (running && !cancellationRequested()) {
        applyProgress(); // the bar ends where the run ended
    }
    std::string detailed;
    for (const auto& line : report) {
        detailed += line + "\n";
    }
    std::string count;
    if (report.size() > 1) {
        const auto colon = report[1].find(':');
        if (colon != std::string::npos) {
            count = report[1].substr(colon + 1, report[1].find(':', colon + 1) - colon - 1);
        }
    }
    const QString summary = q(text::fill("%@ Contact(s) migrated successfully.", count));
    lblProgressFileCount->setText(summary);
    const int answer = Dialogs::instance().alert(QStringLiteral("Report"), summary,
                                                 {QStringLiteral("Ok"), QStringLiteral("Details")});
    if (answer == 1) {
        Dialogs::instance().alert(QStringLiteral("Detailed Report"), q(detailed),
                                  {QStringLiteral("Ok")});
    }
    resetAll();
    logOrConsole(text::fill("UI >> Export Report:\n%@\n", detailed),
                 "UI(final Notify) Error while writing to log file");
}

void AppController::btnCancelCliked() {
    guarded("UI>> EXCEPTION\nOccured in btnCancelCliked()\nname: %@\nReason: %@", [&] {
        const int answer = Dialogs::instance().alert(
            QStringLiteral("Confirmation"),
            QStringLiteral("Are you sure, you want to cancel the export process?"),
            {QStringLiteral("Yes"), QStringLiteral("No")});
        // The run may have ended while the question was open.
        if (answer != 0 || !running) {
            return;
        }
        progressOutlet->hide();
        businessLogicThread.request_stop();
        const std::string message = text::fill(
            "Migration cancelled \n%d file(s) migrated successfully.", currentContactNumber.load());
        lblProgressFileCount->setText(q(message));
        logLine(text::fill("Info: UI Start: %@", message));
    });
}

void AppController::conversionThreadEnded() {
    if (!threadFinished || !conversionActive) {
        return;
    }
    if (businessLogicThread.joinable()) {
        businessLogicThread.join();
    }
    businessLogicThread = std::jthread(); // drops the ended run's cancellation mark
    conversionActive = false;
    // A run that ended before its first row sends no report.
    if (running) {
        resetAll();
    }
    btnBrowseSourceFileOutlet->setEnabled(true);
    emit conversionEnded();
}

void AppController::prepareToQuit() {
    if (!conversionActive) {
        return;
    }
    quitting = true;
    businessLogicThread.request_stop();
    // The thread finishes its contact; its last calls need this thread's events.
    while (!threadFinished) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(2);
    }
    conversionThreadEnded();
}
