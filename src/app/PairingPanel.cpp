#include "app/PairingPanel.h"
#include "ui_AppController.h"

#include "app/Dialogs.h"
#include "app/Guarded.h"
#include "app/MappingTableModel.h"
#include "app/PairingMemory.h"
#include "app/UiTexts.h"
#include "engine/ExportSession.h"
#include "engine/PairsFile.h"

#include <QFocusEvent>
#include <QHeaderView>

#include <algorithm>

using uitext::q;

namespace {

std::optional<std::string> selectedItem(const QComboBox* combo) {
    if (combo->currentIndex() < 0) {
        return std::nullopt;
    }
    return combo->itemText(combo->currentIndex()).toStdString();
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

PairingPanel::PairingPanel(Ui::AppController& ui, ExportSession& session, QObject* parent)
    : QObject(parent), ui_(ui), session_(session), model_(new MappingTableModel(session, this)) {
    ui_.UserMappingTable->setModel(model_);
    ui_.UserMappingTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui_.UserMappingTable->verticalHeader()->hide();
    ui_.UserMappingTable->installEventFilter(this);
    // The check box keeps its room while hidden; the unpaired line has two
    // lines, whatever the list: nothing moves when a file is loaded.
    QSizePolicy box = ui_.mapAllCkeckBoxOutlet->sizePolicy();
    box.setRetainSizeWhenHidden(true);
    ui_.mapAllCkeckBoxOutlet->setSizePolicy(box);
    ui_.lblUnpairedColumns->setFixedHeight(2 * ui_.lblUnpairedColumns->fontMetrics().lineSpacing());

    connect(ui_.addMappingOutlet, &QPushButton::clicked, this,
            &PairingPanel::btnAddMappingAttribute);
    connect(ui_.btnRemoveMappingOutlet, &QPushButton::clicked, this,
            &PairingPanel::btnRemoveMappingCliked);
    connect(ui_.mapAllCkeckBoxOutlet, &QCheckBox::clicked, this, &PairingPanel::mapAllCkeckBox);
    connect(ui_.btnPairByNamesOutlet, &QPushButton::clicked, this,
            &PairingPanel::btnPairByNamesClicked);
    connect(ui_.btnStartStep2Outlet, &QPushButton::clicked, this, &PairingPanel::btnStartStep2);
}

PairingPanel::~PairingPanel() {
    // The view lets go of the model before it goes.
    ui_.UserMappingTable->setModel(nullptr);
}

void PairingPanel::fileLoaded() {
    fillLists(Selection::None);
}

void PairingPanel::clear() {
    model_->clear();
    ui_.mapAllCkeckBoxOutlet->setChecked(false);
    ui_.comboBoxCSVHeaders->clear();
    ui_.comboBoxVcardProperties->clear();
    ui_.lblMappingOutlet->setText(q(uitext::kPairingHint));
    // The line named the columns of the file that was loaded.
    ui_.lblUnpairedColumns->clear();
    ui_.lblUnpairedColumns->setToolTip({});
    ui_.lblUnpairedColumns->setAccessibleDescription({});
}

bool PairingPanel::eventFilter(QObject* watched, QEvent* event) {
    auto* table = ui_.UserMappingTable;
    if (watched == table && event->type() == QEvent::FocusIn &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason &&
        !table->selectionModel()->hasSelection() && model_->rowCount() > 0) {
        table->selectRow(std::max(0, table->currentIndex().row()));
    }
    return QObject::eventFilter(watched, event);
}

void PairingPanel::btnAddMappingAttribute() {
    guarded(uitext::kAddPairException, [&] {
        const auto csvName = selectedItem(ui_.comboBoxCSVHeaders);
        const auto vCardName = selectedItem(ui_.comboBoxVcardProperties);
        if (ui_.comboBoxCSVHeaders->count() == 0 || ui_.comboBoxVcardProperties->count() == 0) {
            ask(uitext::kStop, uitext::kNoColumnsLeft, {uitext::kOk});
            return;
        }
        if (!csvName || !vCardName) {
            ask(uitext::kStop, uitext::kSelectColumns, {uitext::kOk});
            return;
        }
        model_->addPair(*csvName, *vCardName);
        // The next pair can be added at once from the first remaining names.
        fillLists(Selection::First);
        emit pairsChanged();
    });
}

void PairingPanel::btnRemoveMappingCliked() {
    guarded(
        uitext::kRemovePairException,
        [&] {
            const QModelIndexList rows = ui_.UserMappingTable->selectionModel()->selectedRows();
            if (rows.isEmpty() || !model_->removeRows(rows.constFirst().row(), 1)) {
                ui_.lblMappingOutlet->setText(q(uitext::kChoosePairToRemove));
                return;
            }
            fillLists(Selection::Keep);
            ui_.mapAllCkeckBoxOutlet->setChecked(false);
            emit pairsChanged();
        },
        uitext::kRemovePairConsoleException);
}

void PairingPanel::mapAllCkeckBox(bool checked) {
    guarded(
        uitext::kMapAllException,
        [&] {
            if (checked) {
                if (model_->addAllRemaining() > 0) {
                    fillLists(Selection::None);
                    emit pairsChanged();
                }
                return;
            }
            if (ask(uitext::kAlert, uitext::kResetQuestion, {uitext::kYes, uitext::kNo}) != 0) {
                ui_.mapAllCkeckBoxOutlet->setChecked(true);
                return;
            }
            emit reloadRequested();
        },
        uitext::kMapAllConsoleException);
}

void PairingPanel::btnPairByNamesClicked() {
    guarded(uitext::kPairByNamesException, [&] {
        if (model_->addByNames() > 0 || !session_.carriedRows().empty()) {
            fillLists(Selection::None);
            emit pairsChanged();
        }
    });
}

bool PairingPanel::runStep2() {
    bool ok = false;
    logOrConsole(uitext::kStep2Start);
    guarded(uitext::kStep2Exception, [&] {
        ok = session_.check();
        if (!ok) {
            ui_.lblProgressFileCount->setText(q(uitext::kMappingFailed));
        }
    });
    logOrConsole(uitext::kStep2End);
    return ok;
}

void PairingPanel::btnStartStep2() {
    if (session_.pairs().empty()) {
        ui_.lblMappingOutlet->setText(q(uitext::kNoPairsToCheck));
        return;
    }
    const std::size_t carried = session_.carriedRows().size();
    const std::string pairs =
        uitext::counted(session_.pairs().size(), uitext::kPair, uitext::kPairs);
    ui_.lblMappingOutlet->setText(
        !runStep2()    ? q(uitext::kPairsUnusable)
        : carried == 0 ? q(text::fill(uitext::kPairsChecked, pairs))
                       : q(text::fill(uitext::kPairsAndCarriedChecked, pairs,
                                      uitext::counted(carried, uitext::kFurtherColumn,
                                                      uitext::kFurtherColumns))));
}

void PairingPanel::fillLists(Selection selection) {
    fillList(ui_.comboBoxCSVHeaders, session_.freeColumns(), selection == Selection::First,
             selection == Selection::Keep);
    fillList(ui_.comboBoxVcardProperties, session_.freeProperties(), selection == Selection::First,
             selection == Selection::Keep);
}

void PairingPanel::showUnpairedColumns() {
    std::string named;
    for (const auto& column : session_.unpairedColumns()) {
        named += named.empty() ? "" : ", ";
        named += text::fill(uitext::kUnpairedColumn, column.header,
                            uitext::counted(static_cast<std::size_t>(column.values), uitext::kValue,
                                            uitext::kValues));
    }
    QLabel* line = ui_.lblUnpairedColumns;
    const QString whole =
        named.empty()
            ? QString()
            : q(text::fill(ui_.chkKeepUnpairedOutlet->isChecked() ? uitext::kUnpairedKept
                                                                  : uitext::kUnpairedLeftOut,
                           named));
    // A long list is cut to the two lines it has; the tip and a screen reader give it whole.
    const QFontMetrics metrics = line->fontMetrics();
    const int room = 2 * line->width() - 12 * metrics.averageCharWidth();
    line->setText(line->isVisible() ? metrics.elidedText(whole, Qt::ElideRight, std::max(room, 0))
                                    : whole);
    line->setToolTip(whole);
    line->setAccessibleDescription(whole);
}

void PairingPanel::offerRemembered() {
    const auto kept = pairingMemory::recall(session_.headers());
    if (!kept || ask(uitext::kPairsFromLastTime, uitext::kUsePairsFromLastTime,
                     {uitext::kYes, uitext::kNo}) != 0) {
        return;
    }
    ui_.comboBoxCardFormat->setCurrentIndex(
        std::max(0, ui_.comboBoxCardFormat->findData(kept->format)));
    ui_.chkSingleFileOutlet->setChecked(kept->singleFile);
    ui_.chkKeepUnpairedOutlet->setChecked(kept->keepUnpaired);
    usePairsText(kept->pairs.toStdString());
}

std::string PairingPanel::pairsText() const {
    return writePairsText(session_);
}

void PairingPanel::usePairsText(const std::string& text) {
    const PairsRead read = readPairsText(text);
    const std::string error = read.pairs ? model_->usePairs(*read.pairs) : read.error;
    fillLists(Selection::None);
    emit pairsChanged();
    if (!error.empty()) {
        ui_.lblMappingOutlet->setText(q(text::fill(uitext::kSomePairsNotUsed, error)));
    }
}

void PairingPanel::remember() const {
    pairingMemory::remember(session_.headers(),
                            {q(pairsText()), ui_.comboBoxCardFormat->currentData().toString(),
                             ui_.chkSingleFileOutlet->isChecked(),
                             ui_.chkKeepUnpairedOutlet->isChecked()});
}
