#include "app/AppController/AppController.h"
#include "ui_AppController.h"

#include "app/ConversionTask.h"
#include "app/CsvFileGroup.h"
#include "app/Dialogs.h"
#include "app/ExportChoices.h"
#include "app/ExportReport.h"
#include "app/FilePreview.h"
#include "app/Guarded.h"
#include "app/PairingPanel.h"
#include "app/Resources.h"
#include "app/ServerPanel.h"
#include "app/SettingsBinding.h"
#include "app/UiTexts.h"
#include "engine/ExportSession.h"
#include "engine/RunReport.h"
#include "engine/RunState.h"
#include "engine/Text.h"
#include "engine/log/myLog.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>

#include <algorithm>

using uitext::q;

AppController::AppController(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::AppController>()),
      session_(std::make_unique<ExportSession>()), binding_(new SettingsBinding(this)) {
    ui->setupUi(this);
    prepareControls();
    preview = new FilePreview(ui->lblFileSummary, ui->tblViewCsvFileContents,
                              ui->txtViewMappingAttributes, this);
    pairing_ = new PairingPanel(*ui, *session_, this);
    connect(pairing_, &PairingPanel::pairsChanged, this, [this] {
        setPairingPhase();
        refreshPreview();
    });
    connect(pairing_, &PairingPanel::reloadRequested, this, &AppController::reloadFile);
    server_ = new ServerPanel(*ui, *binding_, this);

    businessLogicThread = new ConversionTask(*session_, this);
    connect(businessLogicThread, &ConversionTask::finished, this,
            &AppController::conversionThreadEnded, Qt::QueuedConnection);
    connect(businessLogicThread, &ConversionTask::progressed, this, &AppController::notify);

    connect(ui->btnBrowseSourceFileOutlet, &QPushButton::clicked, this,
            &AppController::btnBrowseClicked);
    connect(ui->btnImportOutlet, &QPushButton::clicked, this, &AppController::btnImportCliked);
    connect(ui->btnCancelOutlet, &QPushButton::clicked, this, &AppController::btnCancelCliked);
    bindChoices();
    resetAll();
    // The window starts Empty: nothing was shown before it.
    oldCSVPath.reset();
}

AppController::~AppController() {
    prepareToQuit();
    // The thread is over: the task and the panels go before the session they use.
    delete businessLogicThread;
    delete pairing_;
    delete server_;
}

void AppController::prepareControls() {
    // The layout stays put through a run: the bar keeps its room while hidden,
    // and the run's status has its two lines.
    QSizePolicy bar = ui->progressOutlet->sizePolicy();
    bar.setRetainSizeWhenHidden(true);
    ui->progressOutlet->setSizePolicy(bar);
    ui->lblProgressFileCount->setMinimumHeight(
        2 * ui->lblProgressFileCount->fontMetrics().lineSpacing());
    ui->workSplitter->setStretchFactor(0, 1);
    ui->workSplitter->setStretchFactor(1, 1);
    setAcceptDrops(true);
    loadResources();
    ui->imageViewOutlet->setPixmap(QPixmap(QStringLiteral(":/logo.png")));
}

void AppController::bindChoices() {
    choices_ = new ExportChoices(*ui, *session_, *binding_, this);
    connect(choices_, &ExportChoices::changed, this, [this] {
        pairing_->showUnpairedColumns();
        refreshPreview();
    });
    file_ = new CsvFileGroup(*ui, *binding_, *session_, this);
    connect(file_, &CsvFileGroup::readingChoiceChanged, this, &AppController::readingChoiceChanged);
}

void AppController::setPhase(WindowPhase phase) {
    phase_ = phase;
    if (phase == WindowPhase::Running) {
        // Cancel is the one thing to do during a run: it takes the focus before
        // the other controls are disabled and would pass it down the window.
        ui->btnCancelOutlet->setEnabled(true);
        ui->btnCancelOutlet->setFocus();
    }
    const bool idle = !isBusy(phase);
    const bool loaded = phase == WindowPhase::Loaded || phase == WindowPhase::Paired;
    const bool paired = phase == WindowPhase::Paired;
    file_->enable(idle);
    choices_->enable(idle);
    ui->addMappingOutlet->setEnabled(loaded);
    ui->btnPairByNamesOutlet->setEnabled(loaded);
    ui->btnOpenRunFolderOutlet->setEnabled(idle && choices_->hasRunFolder());
    ui->mapAllCkeckBoxOutlet->setVisible(loaded);
    ui->btnRemoveMappingOutlet->setEnabled(paired);
    ui->btnStartStep2Outlet->setEnabled(loaded);
    ui->btnImportOutlet->setEnabled(paired);
    ui->btnCancelOutlet->setEnabled(phase == WindowPhase::Running);
    ui->progressOutlet->setVisible(phase == WindowPhase::Running || phase == WindowPhase::Finished);
    if (!loaded) {
        ui->mapAllCkeckBoxOutlet->setChecked(false);
    }
    server_->show(idle);
    emit phaseChanged(phase);
}

void AppController::setPairingPhase() {
    // A check said of other pairs would mislead: the user checks these anew.
    ui->lblMappingOutlet->setText(q(uitext::kPairingHint));
    pairing_->showUnpairedColumns();
    setPhase(session_->pairs().empty() ? WindowPhase::Loaded : WindowPhase::Paired);
}

void AppController::resetAll() {
    guarded(uitext::kResetException, [&] {
        ui->progressOutlet->setValue(0);
        oldCSVPath = ui->txtOutlet->text();
        ui->txtOutlet->setText(q(uitext::kSelectCsvFile));
        pairing_->clear();
        server_->listColumns({});
        ui->lblProgressStatus->setText(QString());
        ui->lblProgressFileCount->setText(q(uitext::kNoCount));
        preview->clear();
        currentContactNumber = 0;
        totalContacts = 0;
        // A cancelled run keeps the window locked until its thread has ended.
        setPhase(conversionActive ? WindowPhase::Cancelling : WindowPhase::Empty);
    });
}

bool AppController::createLog() {
    auto log = std::make_shared<myLog>();
    log->createLogFile(QCoreApplication::applicationDirPath().toStdString());
    loggingObject.store(log);
    logOrConsole(uitext::kStartApplication, uitext::kInitFallback);
    return true;
}

void AppController::btnBrowseClicked() {
    chooseAndLoad([this] { return file_->openFileDialog(oldCSVPath); });
}

void AppController::loadDroppedFile(const QString& path) {
    chooseAndLoad([path] { return std::optional<QString>(path); });
}

void AppController::dragEnterEvent(QDragEnterEvent* event) {
    if (CsvFileGroup::droppedFile(*event->mimeData()) &&
        ui->btnBrowseSourceFileOutlet->isEnabled()) {
        event->acceptProposedAction();
    }
}

void AppController::dropEvent(QDropEvent* event) {
    const auto file = CsvFileGroup::droppedFile(*event->mimeData());
    if (file && ui->btnBrowseSourceFileOutlet->isEnabled()) {
        event->acceptProposedAction();
        loadDroppedFile(*file);
    }
}

void AppController::chooseAndLoad(const std::function<std::optional<QString>()>& choose) {
    guarded(uitext::kBrowseException, [&] {
        if (isBusy(phase_)) {
            return; // the export still reads the loaded file, or its report is up
        }
        const bool paired = !session_->pairs().empty();
        if (paired &&
            ask(uitext::kAlert, uitext::kResetQuestion, {uitext::kYes, uitext::kNo}) != 0) {
            return;
        }
        if (!loggingObject.load()) {
            createLog();
        }
        if (paired) {
            resetAll();
        }
        const auto path = choose();
        if (!path) {
            return;
        }
        resetAll();
        ui->txtOutlet->setText(*path);
        oldCSVPath = *path;
        settings::setValue(settings::Key::LastCsvFolder, QFileInfo(*path).path());
        if (startStep1()) {
            pairing_->offerRemembered();
        }
    });
}

bool AppController::startStep1() {
    guarded(uitext::kStep1Exception, [&] {
        const QString path = ui->txtOutlet->text();
        logOrConsole(text::fill(uitext::kStep1Start, path.toStdString()));
        session_->load(path.toStdString());
        totalContacts = session_->contacts();
        if (totalContacts != 0) {
            currentContactNumber = 0;
            // The reading worked: it is the one to start from next time.
            file_->keepReadingChoices();
            pairing_->fileLoaded();
            server_->listColumns(session_->headers());
            setPairingPhase();
            preview->showSummary(*session_);
            refreshPreview();
        } else {
            const std::string message = ExportSession::invalidFileMessage(path.toStdString());
            ask(uitext::kError, message, {uitext::kOk}, session_->refusalSentence());
            resetAll();
            preview->showSummary(q(message + " " + session_->refusalSentence()));
            logOrConsole(text::fill(uitext::kStep1Error, message));
        }
    });
    logOrConsole(uitext::kStep1End);
    return totalContacts != 0;
}

bool AppController::runStep2() {
    return pairing_->runStep2();
}

void AppController::readingChoiceChanged() {
    guarded(uitext::kBrowseException, [&] {
        if (phase_ != WindowPhase::Loaded && phase_ != WindowPhase::Paired) {
            return; // the next file is read with them
        }
        const bool paired = !session_->pairs().empty();
        if (paired &&
            ask(uitext::kAlert, uitext::kResetQuestion, {uitext::kYes, uitext::kNo}) != 0) {
            file_->takeBackReadingChoices(); // the file stays as it was read
            return;
        }
        const QString path = ui->txtOutlet->text();
        const std::string pairs = pairing_->pairsText();
        if (!reloadFile()) {
            // The file does not fit the choice: it is read as before, pairs and all.
            ui->txtOutlet->setText(path);
            file_->takeBackReadingChoices();
            if (reloadFile() && paired) {
                pairing_->usePairsText(pairs);
            }
        }
    });
}

bool AppController::reloadFile() {
    pairing_->clear();
    return startStep1();
}

void AppController::refreshPreview() {
    preview->showRowsAndCard(*session_);
}

void AppController::btnImportCliked() {
    guarded(uitext::kImportException, [&] {
        logOrConsole(uitext::kImportStart);
        // An index map that does not match the pairs would fill the wrong fields.
        if (!pairing_->runStep2()) {
            return;
        }
        startStep3_Import();
    });
}

void AppController::startStep3_Import() {
    guarded(uitext::kStep3Exception, [&] {
        logOrConsole(uitext::kBusinessLogicStarted);
        const QString folder = choices_->destination();
        if (!server_->chosen() && folder.isEmpty()) {
            ask(uitext::kAlert, uitext::kSelectDestinationFirst, {uitext::kOk});
            return;
        }
        if (server_->chosen() && !server_->bookChosen()) {
            ask(uitext::kAlert, uitext::kSelectAddressBookFirst, {uitext::kOk});
            return;
        }
        if (phase_ != WindowPhase::Paired) {
            return;
        }
        quitting = false;
        currentContactNumber = 0;
        ui->progressOutlet->setRange(0, 100);
        ui->progressOutlet->setValue(0);
        uploadRun = server_->chosen();
        const auto book = server_->prepareRun(*session_, ui->txtOutlet->text());
        if (uploadRun ? book && businessLogicThread->start(book)
                      : businessLogicThread->start(folder.toStdString())) {
            // The next file with these columns can be paired the same way.
            pairing_->remember();
            conversionActive = true;
            setPhase(WindowPhase::Running);
        }
    });
}

void AppController::notify(std::int64_t processed) {
    currentContactNumber = processed;
    if (phase_ == WindowPhase::Cancelling) {
        // The run finishes the contact in hand; the window is done with it.
        businessLogicThread->stopProgress();
        resetAll();
        return;
    }
    // The bar's value is the sum of the 4-byte increments, which is exact in double.
    const double value =
        static_cast<double>(processed) * static_cast<double>(session_->progressShare());
    const int percent = static_cast<int>(value + 0.05);
    ui->progressOutlet->setValue(std::clamp(percent, 0, 100));
    ui->lblProgressStatus->setText(q(text::fill(uitext::kProgress, percent)));
    ui->lblProgressFileCount->setText(q(text::fill(uitext::kStatus, processed, totalContacts)));
}

void AppController::finalNotify(const RunReport& report) {
    const ExportReport shown(report, session_->diagnostics().wideRows, uploadRun);
    ui->lblProgressFileCount->setText(shown.summary());
    choices_->runEnded(report, uploadRun);
    shown.show();
    resetAll();
    // The window starts over: the focus goes to the first step, and no field
    // keeps the selection it got when the export's controls were disabled.
    ui->txtDestinationFolderOutlet->deselect();
    ui->btnBrowseSourceFileOutlet->setFocus();
    shown.log();
}

void AppController::btnCancelCliked() {
    guarded(uitext::kCancelException, [&] {
        const int answer =
            ask(uitext::kConfirmation, uitext::kCancelQuestion, {uitext::kYes, uitext::kNo});
        // The run may have ended while the question was open.
        if (answer != 0 || phase_ != WindowPhase::Running) {
            return;
        }
        session_->cancel();
        setPhase(WindowPhase::Cancelling);
        // The contacts done when the run was told to stop, not the last count shown.
        currentContactNumber = session_->progress();
        const std::string message = text::fill(uitext::kCancelledStatus, currentContactNumber);
        ui->lblProgressFileCount->setText(q(message));
        logOrConsole(text::fill(uitext::kCancelEntry, message));
    });
}

void AppController::conversionThreadEnded() {
    if (!conversionActive) {
        return; // already handled when the user quit
    }
    // A question still open (Cancel?) has lost its subject: close it and let
    // its own event loop end before the report comes.
    if (Dialogs::instance().closeOpenAlerts()) {
        emit openQuestionsClosed();
        QMetaObject::invokeMethod(this, &AppController::conversionThreadEnded,
                                  Qt::QueuedConnection);
        return;
    }
    session_->wait();
    conversionActive = false;
    businessLogicThread->stopProgress();
    const auto report = session_->report();
    if (report && !quitting) {
        if (phase_ == WindowPhase::Running) {
            notify(session_->progress()); // the bar ends where the run ended
            setPhase(WindowPhase::Finished);
        }
        finalNotify(*report);
    } else {
        // Quitting, or a run that ended before its first row: no report.
        resetAll();
    }
    emit conversionEnded();
}

void AppController::prepareToQuit() {
    if (!conversionActive) {
        return;
    }
    quitting = true;
    businessLogicThread->stopAndWait();
    conversionThreadEnded();
}
