#include "app/ExportChoices.h"
#include "ui_AppController.h"

#include "app/Dialogs.h"
#include "app/Guarded.h"
#include "app/ReadOnlyField.h"
#include "app/SettingsBinding.h"
#include "app/UiTexts.h"
#include "engine/ExportSession.h"
#include "engine/RunReport.h"
#include "phone/InternationalNumbers.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

using uitext::q;

ExportChoices::ExportChoices(Ui::AppController& ui, ExportSession& session,
                             SettingsBinding& binding, QObject* parent)
    : QObject(parent), ui_(ui), session_(session) {
    showAsReadOnly(ui_.txtDestinationFolderOutlet);
    for (const CardFormatInfo& format : kCardFormats) {
        ui_.comboBoxCardFormat->addItem(q(format.label), q(format.word));
    }
    binding.bind(ui_.comboBoxCardFormat, settings::Key::CardFormat);
    binding.bind(ui_.chkSingleFileOutlet, settings::Key::SingleFile);
    binding.bind(ui_.chkKeepUnpairedOutlet, settings::Key::KeepUnpaired);
    listPhoneRegions();
    binding.bind(ui_.chkOneCardPerPerson, settings::Key::MergePeople);
    binding.bind(ui_.chkInternationalPhones, settings::Key::InternationalPhones);
    binding.bind(ui_.comboBoxPhoneRegion, settings::Key::PhoneRegion);
    takeChoices();
    connect(ui_.comboBoxCardFormat, &QComboBox::currentIndexChanged, this,
            &ExportChoices::takeChoices);
    connect(ui_.chkSingleFileOutlet, &QCheckBox::toggled, this, &ExportChoices::takeChoices);
    connect(ui_.chkKeepUnpairedOutlet, &QCheckBox::toggled, this, &ExportChoices::takeChoices);
    connect(ui_.chkOneCardPerPerson, &QCheckBox::toggled, this, &ExportChoices::takeChoices);
    connect(ui_.chkInternationalPhones, &QCheckBox::toggled, this, &ExportChoices::takeChoices);
    connect(ui_.comboBoxPhoneRegion, &QComboBox::currentIndexChanged, this,
            &ExportChoices::takeChoices);
    connect(ui_.btnBrowseDestinationFileOutlet, &QPushButton::clicked, this,
            &ExportChoices::btnBrowseDestinationPathCliked);
    connect(ui_.btnOpenRunFolderOutlet, &QPushButton::clicked, this,
            &ExportChoices::btnOpenRunFolderClicked);
    // Folders are shown while they are still there.
    const QString folder = settings::value(settings::Key::Destination).toString();
    ui_.txtDestinationFolderOutlet->setText(
        !folder.isEmpty() && QDir(folder).exists() ? folder : q(uitext::kSelectDestination));
    if (const QString run = settings::value(settings::Key::LastExportFolder).toString();
        !run.isEmpty() && QDir(run).exists()) {
        runFolder_ = run;
    }
}

void ExportChoices::takeChoices() {
    const auto format =
        parseCardFormat(ui_.comboBoxCardFormat->currentData().toString().toStdString());
    const bool international = ui_.chkInternationalPhones->isChecked();
    ui_.comboBoxPhoneRegion->setEnabled(international);
    std::shared_ptr<const PhoneForm> phoneForm;
    if (const QString region = ui_.comboBoxPhoneRegion->currentData().toString();
        international && !region.isEmpty()) {
        phoneForm = std::make_shared<phone::InternationalNumbers>(region.toStdString());
    }
    session_.setExportOptions({.format = format.value_or(CardFormat::Classic),
                               .singleFile = ui_.chkSingleFileOutlet->isChecked(),
                               .keepUnpaired = ui_.chkKeepUnpairedOutlet->isChecked(),
                               .phoneForm = std::move(phoneForm),
                               .merge = ui_.chkOneCardPerPerson->isChecked()});
    emit changed();
}

void ExportChoices::listPhoneRegions() {
    struct Region {
        QString name;
        QString code;
    };
    std::vector<Region> regions;
    for (const std::string& code : phone::knownRegions()) {
        const QString c = q(code);
        const QLocale::Territory territory = QLocale::codeToTerritory(c);
        // Numbering plans without a territory of their own (001) show their code alone.
        const QString name = territory == QLocale::AnyTerritory
                                 ? c
                                 : QLocale::territoryToString(territory) + " (" + c + ")";
        regions.push_back({name, c});
    }
    std::sort(regions.begin(), regions.end(), [](const Region& a, const Region& b) {
        return QString::localeAwareCompare(a.name, b.name) < 0;
    });
    // A desktop whose locale names no country gets no region until one is chosen.
    ui_.comboBoxPhoneRegion->addItem(q(uitext::kChooseRegion), QString());
    for (const Region& region : regions) {
        ui_.comboBoxPhoneRegion->addItem(region.name, region.code);
    }
}

void ExportChoices::enable(bool idle) {
    for (QWidget* choice : std::initializer_list<QWidget*>{
             ui_.comboBoxCardFormat, ui_.chkSingleFileOutlet, ui_.chkKeepUnpairedOutlet,
             ui_.chkOneCardPerPerson, ui_.chkInternationalPhones}) {
        choice->setEnabled(idle);
    }
    ui_.comboBoxPhoneRegion->setEnabled(idle && ui_.chkInternationalPhones->isChecked());
}

QString ExportChoices::destination() const {
    const QString shown = ui_.txtDestinationFolderOutlet->text();
    return shown == q(uitext::kSelectDestination) ? QString() : shown;
}

void ExportChoices::runEnded(const RunReport& report, bool upload) {
    const QString folder = QString::fromStdString(report.folder);
    runFolder_ = !upload && QFileInfo(folder).isDir() ? folder : QString();
    settings::setValue(settings::Key::LastExportFolder, runFolder_);
}

void ExportChoices::btnBrowseDestinationPathCliked() {
    guarded(uitext::kDestinationException, [&] {
        PanelRequest request;
        request.title = q(uitext::kPanelTitle);
        request.message = q(uitext::kDestinationPanelMessage);
        request.chooseFolder = true;
        // A folder chosen before is opened itself, not its parent.
        request.startFolder = destination().isEmpty() ? QDir::homePath() : destination();
        if (const auto folder = Dialogs::instance().openPanel(request)) {
            ui_.txtDestinationFolderOutlet->setText(*folder);
            settings::setValue(settings::Key::Destination, *folder);
        }
    });
}

void ExportChoices::btnOpenRunFolderClicked() {
    if (runFolder_.isEmpty() || Dialogs::instance().openFolder(runFolder_)) {
        return;
    }
    const std::string message = text::fill(uitext::kFolderNotOpened, runFolder_.toStdString());
    console::log(message);
    ask(uitext::kError, message, {uitext::kOk});
}
