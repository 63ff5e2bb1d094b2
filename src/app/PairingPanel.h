// The pairing group: the two lists of names still free, Add pair, Remove pair,
// Pair all remaining columns in order, Pair by column names, the pair table and
// the line naming the columns no pair takes; and the pairs of a header row
// exported before, offered again when a file with the same columns is loaded.
// Every change of the pairing made in the window goes through here.
#pragma once

#include <QObject>

#include <string>

class ExportSession;
class MappingTableModel;

namespace Ui {
class AppController;
}

class PairingPanel : public QObject {
    Q_OBJECT

public:
    // Works on the window's controls and the session, which outlive it.
    PairingPanel(Ui::AppController& ui, ExportSession& session, QObject* parent);
    ~PairingPanel() override;

    // A file was loaded: the lists offer all its names, none chosen.
    void fileLoaded();
    // Forgets every pair and empties the lists, the table and the lines.
    void clear();
    // Names the columns with values that no pair takes, and whether they go
    // into the note.
    void showUnpairedColumns();
    // When the loaded file's header row was exported before, asks whether its
    // pairs and output choices are to be used again, and uses them on "Yes".
    void offerRemembered();
    // Keeps the pairs and the output choices for the next file with this header row.
    void remember() const;
    // The pairs as a pairs file writes them, and back again, as when a reading
    // that did not fit gives the pairs of the file as it was read back.
    std::string pairsText() const;
    void usePairsText(const std::string& text);

signals:
    // The pairs changed: the phase, the unpaired line and the preview follow.
    void pairsChanged();
    // Every pair is to go, and the file is to be read again.
    void reloadRequested();

public slots:
    void btnAddMappingAttribute();
    void btnRemoveMappingCliked();
    void mapAllCkeckBox(bool checked);
    void btnPairByNamesClicked();
    // Says whether the pairs can be used for the export.
    void btnStartStep2();

public:
    // Hands the pairing to the engine (step 2); false when it could not be used.
    bool runStep2();

protected:
    // Tabbing into the pair table selects a row, so that Remove pair acts on it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Which names a refilled list selects.
    enum class Selection { None, First, Keep };
    // Fills both lists with the names the session has left to pair.
    void fillLists(Selection selection);

    Ui::AppController& ui_;
    ExportSession& session_;
    MappingTableModel* model_;
};
