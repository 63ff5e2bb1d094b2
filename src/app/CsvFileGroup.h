// The CSV file group's choices: the open panel that picks the file, a file
// dropped on the window, and how the file is read (Encoding, Delimiter), kept
// once a file has been read with them.
#pragma once

#include "engine/read/CsvLoad.h"

#include <QObject>
#include <QString>

#include <optional>

class ExportSession;
class QMimeData;
class SettingsBinding;

namespace Ui {
class AppController;
}

class CsvFileGroup : public QObject {
    Q_OBJECT

public:
    // Shows the reading choices that worked last; the session reads the next
    // file with the choices shown.
    CsvFileGroup(Ui::AppController& ui, SettingsBinding& binding, ExportSession& session,
                 QObject* parent);

    // The file and how it is read can be changed only while no export runs.
    void enable(bool idle);
    // Asks for one CSV file, starting in the folder of `shownBefore` (the path
    // the source field showed before), else of the last file, else at home;
    // the file's full path, or none when cancelled.
    std::optional<QString> openFileDialog(const std::optional<QString>& shownBefore) const;
    // The CSV file among the dropped things; none unless it is one local .csv file.
    static std::optional<QString> droppedFile(const QMimeData& dropped);

    // The encoding and delimiter chosen, as the session reads the file with them.
    CsvLoadOptions readingChoices() const;
    // The file was read with the choices shown: they are the ones to start from.
    void keepReadingChoices();
    // Shows the choices that worked last again, and reads with them.
    void takeBackReadingChoices();

signals:
    // The user chose another encoding or delimiter; the session reads with it.
    void readingChoiceChanged();

private:
    Ui::AppController& ui_;
    SettingsBinding& binding_;
    ExportSession& session_;
};
