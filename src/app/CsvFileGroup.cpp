#include "app/CsvFileGroup.h"
#include "ui_AppController.h"

#include "app/Dialogs.h"
#include "app/Guarded.h"
#include "app/ReadOnlyField.h"
#include "app/SettingsBinding.h"
#include "app/UiTexts.h"
#include "engine/ExportSession.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>

using uitext::q;

CsvFileGroup::CsvFileGroup(Ui::AppController& ui, SettingsBinding& binding, ExportSession& session,
                           QObject* parent)
    : QObject(parent), ui_(ui), binding_(binding), session_(session) {
    showAsReadOnly(ui_.txtOutlet);
    const auto fill = [](QComboBox* box, const auto& choices) {
        for (const uitext::ReadingChoice& choice : choices) {
            box->addItem(q(choice.label), q(choice.word));
        }
    };
    fill(ui_.comboBoxEncoding, uitext::kEncodingChoices);
    fill(ui_.comboBoxDelimiter, uitext::kDelimiterChoices);
    binding_.bind(ui_.comboBoxEncoding, settings::Key::CsvEncoding,
                  SettingsBinding::Keep::WhenUsed);
    binding_.bind(ui_.comboBoxDelimiter, settings::Key::CsvDelimiter,
                  SettingsBinding::Keep::WhenUsed);
    session_.setLoadOptions(readingChoices());
    for (QComboBox* box : {ui_.comboBoxEncoding, ui_.comboBoxDelimiter}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            session_.setLoadOptions(readingChoices());
            emit readingChoiceChanged();
        });
    }
}

std::optional<QString>
CsvFileGroup::openFileDialog(const std::optional<QString>& shownBefore) const {
    std::optional<QString> chosen;
    guarded(uitext::kOpenPanelException, [&] {
        PanelRequest request;
        request.title = q(uitext::kPanelTitle);
        request.message = q(uitext::kCsvPanelMessage);
        request.fileType = q(uitext::kCsvFileType);
        const QString remembered = settings::value(settings::Key::LastCsvFolder).toString();
        request.startFolder = shownBefore && *shownBefore != q(uitext::kSelectCsvFile)
                                  ? QFileInfo(*shownBefore).path()
                              : !remembered.isEmpty() && QDir(remembered).exists()
                                  ? remembered
                                  : QDir::homePath();
        chosen = Dialogs::instance().openPanel(request);
    });
    return chosen;
}

void CsvFileGroup::enable(bool idle) {
    for (QWidget* choice : std::initializer_list<QWidget*>{
             ui_.btnBrowseSourceFileOutlet, ui_.comboBoxEncoding, ui_.comboBoxDelimiter}) {
        choice->setEnabled(idle);
    }
}

std::optional<QString> CsvFileGroup::droppedFile(const QMimeData& dropped) {
    const QList<QUrl> urls = dropped.urls();
    if (urls.size() != 1 || !urls.first().isLocalFile() ||
        !urls.first().toLocalFile().endsWith(u'.' + q(uitext::kCsvFileType), Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    return urls.first().toLocalFile();
}

CsvLoadOptions CsvFileGroup::readingChoices() const {
    return {parseEncodingChoice(ui_.comboBoxEncoding->currentData().toString().toStdString())
                .value_or(CsvEncodingChoice::Auto),
            parseDelimiterChoice(ui_.comboBoxDelimiter->currentData().toString().toStdString())
                .value_or(CsvDelimiterChoice::Auto)};
}

void CsvFileGroup::keepReadingChoices() {
    binding_.keep(settings::Key::CsvEncoding);
    binding_.keep(settings::Key::CsvDelimiter);
}

void CsvFileGroup::takeBackReadingChoices() {
    binding_.restore(settings::Key::CsvEncoding);
    binding_.restore(settings::Key::CsvDelimiter);
    session_.setLoadOptions(readingChoices());
}
