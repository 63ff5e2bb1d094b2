// How and where the export is written when it goes to a folder: the
// destination folder and its panel, the card format, One file for all
// contacts, Keep unpaired columns in the note, One card per person and
// telephone numbers in international form, each remembered; and the
// run folder of the last export, which Open last export folder shows.
#pragma once

#include <QObject>
#include <QString>

class ExportSession;
class SettingsBinding;
struct RunReport;

namespace Ui {
class AppController;
}

class ExportChoices : public QObject {
    Q_OBJECT

public:
    // Shows the choices of the last session and hands them to the session.
    ExportChoices(Ui::AppController& ui, ExportSession& session, SettingsBinding& binding,
                  QObject* parent);

    // The choices can be changed only while no export runs.
    void enable(bool idle);
    // The destination folder; none while the field shows its prompt.
    QString destination() const;
    // True when Open last export folder has a folder to show.
    bool hasRunFolder() const { return !runFolder_.isEmpty(); }
    // The run ended: its folder is the one to open, while there is one; an
    // upload has none.
    void runEnded(const RunReport& report, bool upload);

signals:
    // The card format or a check box changed: the preview and the unpaired line follow.
    void changed();

public slots:
    void btnBrowseDestinationPathCliked();
    void btnOpenRunFolderClicked();

private:
    // Takes the card format and the check boxes' choices into the session.
    void takeChoices();
    // Fills the region list with the regions whose numbering plans are known,
    // by their names in the desktop's language.
    void listPhoneRegions();

    Ui::AppController& ui_;
    ExportSession& session_;
    // The run folder of the last export; empty before the first, and after an
    // export that made none.
    QString runFolder_;
};
