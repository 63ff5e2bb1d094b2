#include "app/AppController/AppController.h"
#include "ui_AppController.h"

#include "app/ConversionTask.h"
#include "app/Dialogs.h"
#include "app/ExportReport.h"
#include "app/FilePreview.h"
#include "app/MappingTableModel.h"
#include "app/RememberedPassword.h"
#include "app/Resources.h"
#include "app/Settings.h"
#include "app/UiTexts.h"
#include "carddav/AddressBookDestination.h"
#include "carddav/Discovery.h"
#include "carddav/ServerUrl.h"
#include "engine/ExportSession.h"
#include "engine/RunReport.h"
#include "engine/RunState.h"
#include "engine/Text.h"
#include "engine/log/Console.h"
#include "engine/log/myLog.h"
#include "engine/read/CsvLoad.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QThread>
#include <QTimer>

#include <algorithm>

using uitext::q;

namespace {

std::string s(const QString& text) {
    return text.toStdString();
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

int ask(std::string_view title, std::string_view message,
        std::initializer_list<std::string_view> buttons) {
    QStringList labels;
    for (const auto button : buttons) {
        labels.append(q(button));
    }
    return Dialogs::instance().alert(q(title), q(message), labels);
}

std::optional<QString> selectedItem(const QComboBox* combo) {
    if (combo->currentIndex() < 0) {
        return std::nullopt;
    }
    return combo->itemText(combo->currentIndex());
}

void fillList(QComboBox* combo, const std::vector<std::string>& names, bool selectFirst,
              bool keep) {
    const int selected = combo->currentIndex();
    combo->clear();
    for (const auto& name : names) {
        combo->addItem(QString::fromStdString(name));
    }
    combo->setCurrentIndex(keep ? std::min(selected, combo->count() - 1)
                                : (selectFirst && combo->count() > 0 ? 0 : -1));
}

} // namespace

AppController::AppController(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::AppController>()),
      session_(std::make_unique<ExportSession>()) {
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
    btnPairByNamesOutlet = ui->btnPairByNamesOutlet;
    lblFileSummary = ui->lblFileSummary;
    comboBoxCardFormat = ui->comboBoxCardFormat;
    comboBoxEncoding = ui->comboBoxEncoding;
    comboBoxDelimiter = ui->comboBoxDelimiter;
    chkSingleFileOutlet = ui->chkSingleFileOutlet;
    chkKeepUnpairedOutlet = ui->chkKeepUnpairedOutlet;
    lblUnpairedColumns = ui->lblUnpairedColumns;
    btnOpenRunFolderOutlet = ui->btnOpenRunFolderOutlet;
    comboBoxExportTo = ui->comboBoxExportTo;
    txtCardDavUrl = ui->txtCardDavUrl;
    txtCardDavUser = ui->txtCardDavUser;
    txtCardDavPassword = ui->txtCardDavPassword;
    btnFindAddressBooks = ui->btnFindAddressBooks;
    comboBoxAddressBook = ui->comboBoxAddressBook;
    lblServerStatus = ui->lblServerStatus;
    txtCardDavCaFile = ui->txtCardDavCaFile;

    preview =
        new FilePreview(lblFileSummary, tblViewCsvFileContents, txtViewMappingAttributes, this);
    // The layout stays put from the empty window to the loaded one and through a
    // run: hidden controls keep their room, the file's summary keeps its line and
    // the run's status its two.
    for (QWidget* shownLater :
         std::initializer_list<QWidget*>{progressOutlet, mapAllCkeckBoxOutlet}) {
        QSizePolicy policy = shownLater->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        shownLater->setSizePolicy(policy);
    }
    lblFileSummary->setMinimumHeight(lblFileSummary->fontMetrics().lineSpacing());
    // Two lines, whatever the list: the pairs above keep their height.
    lblUnpairedColumns->setFixedHeight(2 * lblUnpairedColumns->fontMetrics().lineSpacing());
    lblProgressFileCount->setMinimumHeight(2 * lblProgressFileCount->fontMetrics().lineSpacing());
    lblServerStatus->setMinimumHeight(lblServerStatus->fontMetrics().lineSpacing());
    setAcceptDrops(true);
    loadResources();
    imageViewOutlet->setPixmap(QPixmap(QStringLiteral(":/logo.png")));

    mappingModel = new MappingTableModel(*session_, this);
    UserMappingTable->setModel(mappingModel);
    UserMappingTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    UserMappingTable->verticalHeader()->hide();

    businessLogicThread = new ConversionTask(*session_, this);
    connect(businessLogicThread, &ConversionTask::finished, this,
            &AppController::conversionThreadEnded, Qt::QueuedConnection);

    // About one screen frame: the bar and labels are never more than that behind.
    progressTimer = new QTimer(this);
    progressTimer->setInterval(16);
    connect(progressTimer, &QTimer::timeout, this, &AppController::showLatestProgress);

    connect(btnBrowseSourceFileOutlet, &QPushButton::clicked, this,
            &AppController::btnBrowseClicked);
    connect(addMappingOutlet, &QPushButton::clicked, this, &AppController::btnAddMappingAttribute);
    connect(btnRemoveMappingOutlet, &QPushButton::clicked, this,
            &AppController::btnRemoveMappingCliked);
    connect(mapAllCkeckBoxOutlet, &QCheckBox::clicked, this, &AppController::mapAllCkeckBox);
    connect(btnPairByNamesOutlet, &QPushButton::clicked, this,
            &AppController::btnPairByNamesClicked);
    connect(btnStartStep2Outlet, &QPushButton::clicked, this, &AppController::btnStartStep2);
    connect(btnBrowseDestinationFileOutlet, &QPushButton::clicked, this,
            &AppController::btnBrowseDestinationPathCliked);
    connect(btnImportOutlet, &QPushButton::clicked, this, &AppController::btnImportCliked);
    connect(btnCancelOutlet, &QPushButton::clicked, this, &AppController::btnCancelCliked);
    connect(btnOpenRunFolderOutlet, &QPushButton::clicked, this,
            &AppController::btnOpenRunFolderClicked);
    connect(btnFindAddressBooks, &QPushButton::clicked, this,
            &AppController::btnFindAddressBooksClicked);
    connect(ui->btnChooseCaFile, &QPushButton::clicked, this,
            &AppController::btnChooseCaFileClicked);

    comboBoxExportTo->addItem(q(uitext::kExportToFolder));
    comboBoxExportTo->addItem(q(uitext::kExportToServer));
    connect(comboBoxExportTo, &QComboBox::currentIndexChanged, this,
            &AppController::setDestinationControls);
    txtCardDavUrl->setText(settings::cardDavUrl());
    txtCardDavUser->setText(settings::cardDavUser());
    txtCardDavCaFile->setText(settings::cardDavCaFile());
    rememberedPassword =
        new RememberedPassword(ui->chkRememberPassword, txtCardDavUrl, txtCardDavUser,
                               txtCardDavPassword, lblServerStatus, this);

    for (const CardFormatInfo& format : kCardFormats) {
        comboBoxCardFormat->addItem(q(format.label), static_cast<int>(format.format));
    }
    // The choices of the last session.
    comboBoxCardFormat->setCurrentIndex(
        comboBoxCardFormat->findData(static_cast<int>(settings::cardFormat())));
    chkSingleFileOutlet->setChecked(settings::singleFile());
    chkKeepUnpairedOutlet->setChecked(settings::keepUnpaired());
    outputChoiceChanged();
    connect(comboBoxCardFormat, &QComboBox::currentIndexChanged, this,
            &AppController::outputChoiceChanged);
    connect(chkSingleFileOutlet, &QCheckBox::toggled, this, &AppController::outputChoiceChanged);
    connect(chkKeepUnpairedOutlet, &QCheckBox::toggled, this, &AppController::outputChoiceChanged);
    const auto fillChoices = [](QComboBox* box, const auto& choices, const QString& remembered) {
        for (const uitext::ReadingChoice& choice : choices) {
            box->addItem(q(choice.label), q(choice.word));
        }
        box->setCurrentIndex(std::max(0, box->findData(remembered)));
    };
    fillChoices(comboBoxEncoding, uitext::kEncodingChoices, settings::csvEncoding());
    fillChoices(comboBoxDelimiter, uitext::kDelimiterChoices, settings::csvDelimiter());
    session_->setLoadOptions(readingChoices());
    connect(comboBoxEncoding, &QComboBox::currentIndexChanged, this,
            &AppController::readingChoiceChanged);
    connect(comboBoxDelimiter, &QComboBox::currentIndexChanged, this,
            &AppController::readingChoiceChanged);
    const QString destination = settings::destination();
    txtDestinationFolderOutlet->setText(!destination.isEmpty() && QDir(destination).exists()
                                            ? destination
                                            : q(uitext::kSelectDestination));
    // The last export's folder, while it is still there, so the button works after a restart.
    if (const QString folder = settings::lastExportFolder();
        !folder.isEmpty() && QDir(folder).exists()) {
        lastRunFolder = folder;
    }
    resetAll();
    // The window starts Empty: nothing was shown before it.
    oldCSVPath.reset();
}

AppController::~AppController() {
    prepareToQuit();
    if (bookFinder != nullptr) {
        bookFinder->wait(); // its answer has nowhere to go: the window is closing
        delete bookFinder;
    }
    // The thread is over: the task and the model go before the session they use.
    delete businessLogicThread;
    UserMappingTable->setModel(nullptr);
    delete mappingModel;
}

void AppController::logLine(std::string_view message) {
    logOrConsole(message);
}

void AppController::setPhase(WindowPhase phase) {
    phase_ = phase;
    if (phase == WindowPhase::Running) {
        // Cancel is the one thing to do during a run: it takes the focus before
        // the other controls are disabled and would pass it down the window.
        btnCancelOutlet->setEnabled(true);
        btnCancelOutlet->setFocus();
    }
    const bool idle = !isBusy(phase);
    const bool loaded = phase == WindowPhase::Loaded || phase == WindowPhase::Paired;
    const bool paired = phase == WindowPhase::Paired;
    btnBrowseSourceFileOutlet->setEnabled(idle);
    addMappingOutlet->setEnabled(loaded);
    btnPairByNamesOutlet->setEnabled(loaded);
    comboBoxCardFormat->setEnabled(idle);
    comboBoxEncoding->setEnabled(idle);
    comboBoxDelimiter->setEnabled(idle);
    chkSingleFileOutlet->setEnabled(idle);
    chkKeepUnpairedOutlet->setEnabled(idle);
    btnOpenRunFolderOutlet->setEnabled(idle && !lastRunFolder.isEmpty());
    mapAllCkeckBoxOutlet->setVisible(loaded);
    btnRemoveMappingOutlet->setEnabled(paired);
    btnStartStep2Outlet->setEnabled(loaded);
    btnImportOutlet->setEnabled(paired);
    btnCancelOutlet->setEnabled(phase == WindowPhase::Running);
    progressOutlet->setVisible(phase == WindowPhase::Running || phase == WindowPhase::Finished);
    if (!loaded) {
        mapAllCkeckBoxOutlet->setChecked(false);
    }
    setDestinationControls();
    emit phaseChanged(phase);
}

bool AppController::toServer() const {
    return comboBoxExportTo->currentIndex() == 1;
}

void AppController::setDestinationControls() {
    const bool idle = !isBusy(phase_);
    const bool server = toServer();
    comboBoxExportTo->setEnabled(idle);
    // Only the chosen destination's controls can be used; all keep their place.
    txtDestinationFolderOutlet->setEnabled(!server);
    btnBrowseDestinationFileOutlet->setEnabled(idle && !server);
    for (QWidget* field : std::initializer_list<QWidget*>{
             txtCardDavUrl, txtCardDavUser, txtCardDavPassword, ui->chkRememberPassword,
             txtCardDavCaFile, ui->btnChooseCaFile, comboBoxAddressBook}) {
        field->setEnabled(idle && server);
    }
    btnFindAddressBooks->setEnabled(idle && server && bookFinder == nullptr);
}

void AppController::setPairingPhase() {
    // A check said of other pairs would mislead: the user checks these anew.
    lblMappingOutlet->setText(q(uitext::kPairingHint));
    showUnpairedColumns();
    setPhase(session_->pairs().empty() ? WindowPhase::Loaded : WindowPhase::Paired);
}

void AppController::showUnpairedColumns() {
    std::string named;
    for (const auto& column : session_->unpairedColumns()) {
        named += named.empty() ? "" : ", ";
        named += text::fill(uitext::kUnpairedColumn, column.header,
                            uitext::counted(static_cast<std::size_t>(column.values), uitext::kValue,
                                            uitext::kValues));
    }
    const QString whole =
        named.empty() ? QString()
                      : q(text::fill(chkKeepUnpairedOutlet->isChecked() ? uitext::kUnpairedKept
                                                                        : uitext::kUnpairedLeftOut,
                                     named));
    // A long list is cut to the two lines it has; the tip and a screen reader give it whole.
    const QFontMetrics metrics = lblUnpairedColumns->fontMetrics();
    const int room = 2 * lblUnpairedColumns->width() - 12 * metrics.averageCharWidth();
    lblUnpairedColumns->setText(lblUnpairedColumns->isVisible()
                                    ? metrics.elidedText(whole, Qt::ElideRight, std::max(room, 0))
                                    : whole);
    lblUnpairedColumns->setToolTip(whole);
    lblUnpairedColumns->setAccessibleDescription(whole);
}

void AppController::fillLists(Selection selection) {
    fillList(comboBoxCSVHeaders, session_->freeColumns(), selection == Selection::First,
             selection == Selection::Keep);
    fillList(comboBoxVcardProperties, session_->freeProperties(), selection == Selection::First,
             selection == Selection::Keep);
}

void AppController::resetAll() {
    guarded(uitext::kResetException, [&] {
        progressOutlet->setValue(0);
        oldCSVPath = txtOutlet->text();
        txtOutlet->setText(q(uitext::kSelectCsvFile));
        comboBoxCSVHeaders->clear();
        comboBoxVcardProperties->clear();
        lblProgressStatus->setText(QString());
        lblProgressFileCount->setText(q(uitext::kNoCount));
        preview->clear();
        lblMappingOutlet->setText(q(uitext::kPairingHint));
        mappingModel->clear();
        currentContactNumber = 0;
        totalContacts = 0;
        // A cancelled run keeps the window locked until its thread has ended.
        setPhase(conversionActive ? WindowPhase::Cancelling : WindowPhase::Empty);
    });
}

bool AppController::createLog() {
    auto log = std::make_shared<myLog>();
    log->createLogFile(s(QCoreApplication::applicationDirPath()));
    loggingObject.store(log);
    logOrConsole(uitext::kStartApplication, uitext::kInitFallback);
    return true;
}

void AppController::btnBrowseClicked() {
    chooseAndLoad([this] { return openFileDialog(); });
}

void AppController::loadDroppedFile(const QString& path) {
    chooseAndLoad([path] { return std::optional<QString>(path); });
}

void AppController::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile() &&
        urls.first().toLocalFile().endsWith(u'.' + q(uitext::kCsvFileType), Qt::CaseInsensitive) &&
        btnBrowseSourceFileOutlet->isEnabled()) {
        event->acceptProposedAction();
    }
}

void AppController::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && btnBrowseSourceFileOutlet->isEnabled()) {
        event->acceptProposedAction();
        loadDroppedFile(urls.first().toLocalFile());
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
        txtOutlet->setText(*path);
        oldCSVPath = *path;
        settings::setLastCsvFolder(QFileInfo(*path).path());
        startStep1();
    });
}

std::optional<QString> AppController::openFileDialog() {
    std::optional<QString> chosen;
    guarded(uitext::kOpenPanelException, [&] {
        PanelRequest request;
        request.title = q(uitext::kPanelTitle);
        request.message = q(uitext::kCsvPanelMessage);
        request.fileType = q(uitext::kCsvFileType);
        const QString remembered = settings::lastCsvFolder();
        request.startFolder =
            oldCSVPath && *oldCSVPath != q(uitext::kSelectCsvFile) ? QFileInfo(*oldCSVPath).path()
            : !remembered.isEmpty() && QDir(remembered).exists()   ? remembered
                                                                   : QDir::homePath();
        chosen = Dialogs::instance().openPanel(request);
    });
    return chosen;
}

void AppController::startStep1() {
    guarded(uitext::kStep1Exception, [&] {
        const QString path = txtOutlet->text();
        logLine(text::fill(uitext::kStep1Start, s(path)));
        session_->load(s(path));
        totalContacts = session_->contacts();
        if (totalContacts != 0) {
            currentContactNumber = 0;
            fillLists(Selection::None);
            setPairingPhase();
            preview->showSummary(*session_);
            refreshPreview();
        } else {
            const std::string message = ExportSession::invalidFileMessage(s(path));
            Dialogs::instance().alert(q(uitext::kError), q(message), {q(uitext::kOk)},
                                      q(session_->refusalSentence()));
            resetAll();
            preview->showSummary(q(message + " " + session_->refusalSentence()));
            logLine(text::fill(uitext::kStep1Error, message));
        }
    });
    logLine(uitext::kStep1End);
}

void AppController::btnAddMappingAttribute() {
    guarded(uitext::kAddPairException, [&] {
        const auto csvName = selectedItem(comboBoxCSVHeaders);
        const auto vCardName = selectedItem(comboBoxVcardProperties);
        if (comboBoxCSVHeaders->count() == 0 || comboBoxVcardProperties->count() == 0) {
            ask(uitext::kStop, uitext::kNoColumnsLeft, {uitext::kOk});
            return;
        }
        if (!csvName || !vCardName) {
            ask(uitext::kStop, uitext::kSelectColumns, {uitext::kOk});
            return;
        }
        mappingModel->addPair(s(*csvName), s(*vCardName));
        // The next pair can be added at once from the first remaining names.
        fillLists(Selection::First);
        setPairingPhase();
        refreshPreview();
    });
}

void AppController::btnRemoveMappingCliked() {
    guarded(
        uitext::kRemovePairException,
        [&] {
            const QModelIndexList rows = UserMappingTable->selectionModel()->selectedRows();
            if (rows.isEmpty() || !mappingModel->removeRows(rows.constFirst().row(), 1)) {
                return;
            }
            fillLists(Selection::Keep);
            mapAllCkeckBoxOutlet->setChecked(false);
            setPairingPhase();
            refreshPreview();
        },
        uitext::kRemovePairConsoleException);
}

void AppController::mapAllCkeckBox(bool checked) {
    guarded(
        uitext::kMapAllException,
        [&] {
            if (checked) {
                if (mappingModel->addAllRemaining() > 0) {
                    fillLists(Selection::None);
                    setPairingPhase();
                    refreshPreview();
                }
                return;
            }
            if (ask(uitext::kAlert, uitext::kResetQuestion, {uitext::kYes, uitext::kNo}) != 0) {
                mapAllCkeckBoxOutlet->setChecked(true);
                return;
            }
            reloadFile();
        },
        uitext::kMapAllConsoleException);
}

void AppController::btnPairByNamesClicked() {
    guarded(uitext::kPairByNamesException, [&] {
        if (mappingModel->addByNames() > 0 || !session_->carriedRows().empty()) {
            fillLists(Selection::None);
            setPairingPhase();
            refreshPreview();
        }
    });
}

bool AppController::runStep2() {
    bool ok = false;
    logLine(uitext::kStep2Start);
    guarded(uitext::kStep2Exception, [&] {
        ok = session_->check();
        if (!ok) {
            lblProgressFileCount->setText(q(uitext::kMappingFailed));
        }
    });
    logLine(uitext::kStep2End);
    return ok;
}

void AppController::btnStartStep2() {
    if (session_->pairs().empty()) {
        lblMappingOutlet->setText(q(uitext::kNoPairsToCheck));
        return;
    }
    const std::size_t carried = session_->carriedRows().size();
    const std::string pairs =
        uitext::counted(session_->pairs().size(), uitext::kPair, uitext::kPairs);
    lblMappingOutlet->setText(!runStep2() ? q(uitext::kPairsUnusable)
                              : carried == 0
                                  ? q(text::fill(uitext::kPairsChecked, pairs))
                                  : q(text::fill(uitext::kPairsAndCarriedChecked, pairs,
                                                 uitext::counted(carried, uitext::kFurtherColumn,
                                                                 uitext::kFurtherColumns))));
}

void AppController::outputChoiceChanged() {
    const auto format = static_cast<CardFormat>(comboBoxCardFormat->currentData().toInt());
    session_->setExportOptions({.format = format,
                                .singleFile = chkSingleFileOutlet->isChecked(),
                                .keepUnpaired = chkKeepUnpairedOutlet->isChecked()});
    settings::setCardFormat(format);
    settings::setSingleFile(chkSingleFileOutlet->isChecked());
    settings::setKeepUnpaired(chkKeepUnpairedOutlet->isChecked());
    showUnpairedColumns();
    refreshPreview();
}

CsvLoadOptions AppController::readingChoices() const {
    return {parseEncodingChoice(s(comboBoxEncoding->currentData().toString()))
                .value_or(CsvEncodingChoice::Auto),
            parseDelimiterChoice(s(comboBoxDelimiter->currentData().toString()))
                .value_or(CsvDelimiterChoice::Auto)};
}

void AppController::readingChoiceChanged() {
    guarded(uitext::kBrowseException, [&] {
        const bool loaded = phase_ == WindowPhase::Loaded || phase_ == WindowPhase::Paired;
        if (loaded && !session_->pairs().empty() &&
            ask(uitext::kAlert, uitext::kResetQuestion, {uitext::kYes, uitext::kNo}) != 0) {
            // The file stays as it was read: so do the choices shown.
            const QSignalBlocker encoding(comboBoxEncoding);
            const QSignalBlocker delimiter(comboBoxDelimiter);
            comboBoxEncoding->setCurrentIndex(comboBoxEncoding->findData(settings::csvEncoding()));
            comboBoxDelimiter->setCurrentIndex(
                comboBoxDelimiter->findData(settings::csvDelimiter()));
            return;
        }
        settings::setCsvEncoding(comboBoxEncoding->currentData().toString());
        settings::setCsvDelimiter(comboBoxDelimiter->currentData().toString());
        session_->setLoadOptions(readingChoices());
        if (loaded) {
            reloadFile();
        }
    });
}

void AppController::reloadFile() {
    mappingModel->clear();
    comboBoxCSVHeaders->clear();
    comboBoxVcardProperties->clear();
    startStep1();
}

void AppController::refreshPreview() {
    preview->showRowsAndCard(*session_);
}

void AppController::btnOpenRunFolderClicked() {
    if (lastRunFolder.isEmpty() || Dialogs::instance().openFolder(lastRunFolder)) {
        return;
    }
    const std::string message = text::fill(uitext::kFolderNotOpened, s(lastRunFolder));
    console::log(message);
    ask(uitext::kError, message, {uitext::kOk});
}

void AppController::btnBrowseDestinationPathCliked() {
    guarded(uitext::kDestinationException, [&] {
        PanelRequest request;
        request.title = q(uitext::kPanelTitle);
        request.message = q(uitext::kDestinationPanelMessage);
        request.chooseFolder = true;
        const QString current = txtDestinationFolderOutlet->text();
        request.startFolder = current == q(uitext::kSelectDestination) ? QDir::homePath() : current;
        if (const auto folder = Dialogs::instance().openPanel(request)) {
            txtDestinationFolderOutlet->setText(*folder);
            settings::setDestination(*folder);
        }
    });
}

void AppController::btnImportCliked() {
    guarded(uitext::kImportException, [&] {
        logLine(uitext::kImportStart);
        // An index map that does not match the pairs would fill the wrong fields.
        if (!runStep2()) {
            return;
        }
        startStep3_Import();
    });
}

void AppController::startStep3_Import() {
    guarded(uitext::kStep3Exception, [&] {
        logLine(uitext::kBusinessLogicStarted);
        if (!toServer() && txtDestinationFolderOutlet->text() == q(uitext::kSelectDestination)) {
            ask(uitext::kAlert, uitext::kSelectDestinationFirst, {uitext::kOk});
            return;
        }
        if (toServer() && comboBoxAddressBook->currentIndex() < 0) {
            ask(uitext::kAlert, uitext::kSelectAddressBookFirst, {uitext::kOk});
            return;
        }
        if (phase_ != WindowPhase::Paired) {
            return;
        }
        quitting = false;
        currentContactNumber = 0;
        progressOutlet->setRange(0, 100);
        progressOutlet->setValue(0);
        uploadRun = toServer();
        if (uploadRun ? startUpload()
                      : businessLogicThread->start(s(txtDestinationFolderOutlet->text()))) {
            conversionActive = true;
            setPhase(WindowPhase::Running);
            progressTimer->start();
        }
    });
}

bool AppController::startUpload() {
    const QString bookUrl = comboBoxAddressBook->currentData().toString();
    const carddav::UrlCheck url = carddav::checkServerUrl(s(bookUrl));
    if (!url.checked) {
        lblServerStatus->setText(q(url.refusal));
        return false;
    }
    settings::setCardDavUser(txtCardDavUser->text());
    return businessLogicThread->start(std::make_shared<carddav::AddressBookDestination>(
        serverAccess(url.checked->plainHttp), url.checked->url));
}

carddav::ServerAccess AppController::serverAccess(bool plainHttp) const {
    return {s(txtCardDavUser->text()), s(txtCardDavPassword->text()),
            s(txtCardDavCaFile->text().trimmed()), plainHttp};
}

void AppController::btnFindAddressBooksClicked() {
    if (bookFinder != nullptr) {
        return;
    }
    const carddav::UrlCheck url = carddav::checkServerUrl(s(txtCardDavUrl->text().trimmed()));
    comboBoxAddressBook->clear();
    if (!url.checked) {
        lblServerStatus->setText(q(url.refusal));
        lblServerStatus->setToolTip(lblServerStatus->text());
        return;
    }
    settings::setCardDavUrl(txtCardDavUrl->text().trimmed());
    settings::setCardDavUser(txtCardDavUser->text());
    settings::setCardDavCaFile(txtCardDavCaFile->text().trimmed());
    lblServerStatus->setText(q(uitext::kFindingAddressBooks));
    // The server may be slow to answer: the window goes on meanwhile, and the
    // answer comes back to this thread with the thread's end.
    auto found = std::make_shared<carddav::Discovery>();
    const carddav::ServerAccess access = serverAccess(url.checked->plainHttp);
    bookFinder = QThread::create([access, at = url.checked->url, found] {
        carddav::HttpClient client(access);
        *found = carddav::findAddressBooks(client, at);
    });
    connect(bookFinder, &QThread::finished, this,
            [this, found, typed = txtCardDavUrl->text().trimmed(), user = txtCardDavUser->text(),
             password = txtCardDavPassword->text()] {
                showAddressBooks(*found);
                if (found->failure.empty()) {
                    rememberedPassword->accepted(typed, user, password);
                }
            });
    setDestinationControls();
    bookFinder->start();
}

void AppController::btnChooseCaFileClicked() {
    PanelRequest request;
    request.title = q(uitext::kPanelTitle);
    request.message = q(uitext::kCaPanelMessage);
    request.fileType = q(uitext::kCaFileTypes);
    const QString current = txtCardDavCaFile->text().trimmed();
    request.startFolder = current.isEmpty() ? QDir::homePath() : QFileInfo(current).path();
    if (const auto file = Dialogs::instance().openPanel(request)) {
        txtCardDavCaFile->setText(*file);
    }
}

void AppController::showAddressBooks(const carddav::Discovery& found) {
    bookFinder->wait();
    delete bookFinder;
    bookFinder = nullptr;
    for (const carddav::AddressBook& book : found.books) {
        comboBoxAddressBook->addItem(QString::fromStdString(book.name),
                                     QString::fromStdString(book.url));
    }
    lblServerStatus->setText(
        found.failure.empty()
            ? q(text::fill(
                  uitext::kAddressBooksFound,
                  uitext::counted(found.books.size(), uitext::kAddressBook, uitext::kAddressBooks)))
            : q(found.failure));
    lblServerStatus->setToolTip(lblServerStatus->text());
    setDestinationControls();
}

void AppController::showLatestProgress() {
    const std::int64_t processed = session_->progress();
    if (processed != currentContactNumber) {
        notify(processed);
    }
}

void AppController::notify(std::int64_t processed) {
    currentContactNumber = processed;
    if (phase_ == WindowPhase::Cancelling) {
        // The run finishes the contact in hand; the window is done with it.
        progressTimer->stop();
        resetAll();
        return;
    }
    // The bar's value is the sum of the 4-byte increments, which is exact in double.
    const double value =
        static_cast<double>(processed) * static_cast<double>(session_->progressShare());
    const int percent = static_cast<int>(value + 0.05);
    progressOutlet->setValue(std::clamp(percent, 0, 100));
    lblProgressStatus->setText(q(text::fill(uitext::kProgress, percent)));
    lblProgressFileCount->setText(q(text::fill(uitext::kStatus, processed, totalContacts)));
}

void AppController::finalNotify(const RunReport& report) {
    const ExportReport shown(report, session_->diagnostics().wideRows, uploadRun);
    lblProgressFileCount->setText(shown.summary());
    if (!uploadRun) {
        lastRunFolder = QString::fromStdString(report.folder);
        settings::setLastExportFolder(lastRunFolder);
    }
    shown.show();
    resetAll();
    // The window starts over: the focus goes to the first step, and no field
    // keeps the selection it got when the export's controls were disabled.
    txtDestinationFolderOutlet->deselect();
    btnBrowseSourceFileOutlet->setFocus();
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
        lblProgressFileCount->setText(q(message));
        logLine(text::fill(uitext::kCancelEntry, message));
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
    progressTimer->stop();
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
