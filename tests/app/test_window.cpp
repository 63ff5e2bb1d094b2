// The main window driven as a user drives it: loading, pairing, exporting,
// cancelling and quitting, with the conversion on its own thread.
#include "AppTestSupport.h"
#include "app/AppDelegate.h"
#include "app/MainWindow.h"
#include "engine/log/myLog.h"
#include "engine/pair/Properties.h"

#include <QAction>
#include <QDirIterator>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>

namespace {

QStringList vcardFiles(const QString& destination) {
    QStringList files;
    QDirIterator it(destination, {"*.vcf"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.append(it.next());
    }
    return files;
}

} // namespace

class Window : public WindowTestCase {
    Q_OBJECT

private slots:
    void everyPhaseSetsEveryControl() {
        // Enabled controls, then whether the check box and the bar are in sight.
        const auto expect = [this](const QStringList& enabled, bool box, bool bar) {
            for (const char* name :
                 {"btnBrowseSourceFileOutlet", "btnBrowseDestinationFileOutlet", "comboBoxExportTo",
                  "comboBoxCardFormat", "chkSingleFileOutlet", "comboBoxEncoding",
                  "comboBoxDelimiter", "addMappingOutlet", "btnRemoveMappingOutlet",
                  "btnStartStep2Outlet", "btnImportOutlet", "btnCancelOutlet"}) {
                QVERIFY2(widget<QWidget>(window.get(), name)->isEnabled() == enabled.contains(name),
                         name);
            }
            QCOMPARE(checkBox()->isVisible(), box);
            QCOMPARE(widget<QProgressBar>(window.get(), "progressOutlet")->isVisible(), bar);
        };
        const QStringList idle = {"btnBrowseSourceFileOutlet", "btnBrowseDestinationFileOutlet",
                                  "comboBoxExportTo",          "comboBoxCardFormat",
                                  "chkSingleFileOutlet",       "comboBoxEncoding",
                                  "comboBoxDelimiter"};
        QCOMPARE(window->phase(), WindowPhase::Empty);
        expect(idle, false, false);

        loadCsv(*window, env->dialogs, env->writeContacts("a.csv", 40, 2));
        QCOMPARE(window->phase(), WindowPhase::Loaded);
        expect(idle +
                   QStringList{"addMappingOutlet", "btnPairByNamesOutlet", "btnStartStep2Outlet"},
               true, false);
        QCOMPARE(csv()->currentIndex(), -1); // nothing is chosen until the user picks

        checkBox()->click();
        QCOMPARE(window->phase(), WindowPhase::Paired);
        expect(idle + QStringList{"addMappingOutlet", "btnPairByNamesOutlet",
                                  "btnRemoveMappingOutlet", "btnStartStep2Outlet",
                                  "btnImportOutlet"},
               true, false);

        RunPause pause(window->session(), 1);
        env->dialogs.panelAnswers.push_back(env->files.path());
        click(window.get(), "btnBrowseDestinationFileOutlet");
        click(window.get(), "btnImportOutlet");
        pause.paused.acquire();
        QCOMPARE(window->phase(), WindowPhase::Running);
        expect({"btnCancelOutlet"}, false, true);

        env->dialogs.answers = {"Yes", "Ok", "Ok"};
        click(window.get(), "btnCancelOutlet");
        QCOMPARE(window->phase(), WindowPhase::Cancelling);
        expect({}, false, false);
        QTRY_COMPARE_WITH_TIMEOUT(window->phase(), WindowPhase::Empty, 20000);
        expect(idle + QStringList{"btnOpenRunFolderOutlet"}, false, false);
        click(window.get(), "btnOpenRunFolderOutlet");
        const QString runFolder = QString::fromStdString(window->session().runFolder());
        QCOMPARE(env->dialogs.openedFolders, QStringList{runFolder});
        env->dialogs.folderOpens = false; // the desktop cannot show it: the user is told
        click(window.get(), "btnOpenRunFolderOutlet");
        QCOMPARE(env->dialogs.alerts.back().text, "The folder could not be opened: " + runFolder);

        // The next launch still knows the folder, as long as it is there.
        modelTester.reset();
        window = std::make_unique<AppController>();
        expect(idle + QStringList{"btnOpenRunFolderOutlet"}, false, false);
        QDir(runFolder).removeRecursively();
        window = std::make_unique<AppController>();
        expect(idle, false, false);
    }

    void loadingUsesThePanelAndRefusesWhatItCannotRead() {
        const QString first = env->writeCsv("contacts.csv", "Name,, Phone \r\nAnn,x,1\r\n");
        loadCsv(*window, env->dialogs, first);
        const PanelRequest& panel = env->dialogs.panels.at(0);
        QCOMPARE(panel.startFolder, QDir::homePath());
        QCOMPARE(panel.title, QStringLiteral("Browse: Brenvik Software"));
        QCOMPARE(panel.message, QStringLiteral("Choose CSV file to be Converted to vCard."));
        QCOMPARE(panel.fileType, QStringLiteral("csv"));
        QCOMPARE(widget<QLineEdit>(window.get(), "txtOutlet")->text(), first);
        QCOMPARE(comboItems(csv()), QStringList({"Name", " Phone "}));
        QVERIFY(env->logText().contains("Info: UI Start: STEP 1\nSelected CSV File Name:" + first));

        // A cancelled panel changes nothing; the next one starts where the file was.
        env->dialogs.panelAnswers.push_back(QString());
        click(window.get(), "btnBrowseSourceFileOutlet");
        QCOMPARE(env->dialogs.panels.back().startFolder, env->files.path());
        QCOMPARE(csv()->count(), 2);

        env->dialogs.panelAnswers.push_back(env->files.path());
        click(window.get(), "btnBrowseDestinationFileOutlet");
        env->dialogs.answers.push_back("Ok");
        loadCsv(*window, env->dialogs, env->writeCsv("100%d.csv", "Name,Phone\r\n"));
        const auto& alert = env->dialogs.alerts.back();
        QCOMPARE(alert.title, QStringLiteral("Error"));
        QCOMPARE(alert.text, QStringLiteral("Invalid CSV file 100%d.csv."));
        QCOMPARE(alert.buttons, QStringList({"Ok"}));
        QCOMPARE(alert.detail, QStringLiteral("It holds a header row and no contacts."));
        QCOMPARE(window->phase(), WindowPhase::Empty);
        QCOMPARE(widget<QLineEdit>(window.get(), "txtOutlet")->text(),
                 QStringLiteral("Select CSV File"));
        QCOMPARE(csv()->count(), 0);
        // The destination survives every reset.
        QCOMPARE(destination()->text(), env->files.path());
        QVERIFY(env->logText().contains("UI>> ERROR\nOccured in startStep1(): Invalid CSV file "
                                        "100%d.csv.\n"));
    }

    void readingChoicesReloadTheFileAfterAskingAndOnlyWhatWorkedIsRemembered() {
        auto* delimiter = widget<QComboBox>(window.get(), "comboBoxDelimiter");
        auto* encoding = widget<QComboBox>(window.get(), "comboBoxEncoding");
        const auto summary = [this] {
            return widget<QLabel>(window.get(), "lblFileSummary")->text();
        };
        loadCsv(*window, env->dialogs, env->writeCsv("semi.csv", "A;B\r\nx;1\r\n"));
        QCOMPARE(summary(),
                 QStringLiteral("1 contact, 2 columns (UTF-8, semicolon between fields)"));
        checkBox()->click();

        // Keeping the pairs keeps the file as it was read, and the choice shown.
        env->dialogs.answers = {"No"};
        delimiter->setCurrentIndex(delimiter->findData(","));
        QCOMPARE(delimiter->currentData().toString(), QStringLiteral("auto"));
        QCOMPARE(window->phase(), WindowPhase::Paired);

        env->dialogs.answers = {"Yes"};
        delimiter->setCurrentIndex(delimiter->findData(","));
        QCOMPARE(window->phase(), WindowPhase::Loaded);
        QCOMPARE(comboItems(csv()), QStringList({"A;B"}));
        QCOMPARE(summary(), QStringLiteral("1 contact, 1 column (UTF-8, comma between fields)"));

        // A reading that does not fit is refused; the file, its pairs and the
        // choice that worked stay.
        checkBox()->click();
        env->dialogs.answers = {"Yes", "Ok"};
        encoding->setCurrentIndex(encoding->findData("utf-16"));
        QCOMPARE(env->dialogs.alerts.back().text, QStringLiteral("Invalid CSV file semi.csv."));
        QCOMPARE(encoding->currentData().toString(), QStringLiteral("auto"));
        QCOMPARE(tableRows(table()), QStringList({"A;B -> FirstName"}));
        QCOMPARE(summary(), QStringLiteral("1 contact, 1 column (UTF-8, comma between fields)"));

        modelTester.reset();
        window = std::make_unique<AppController>(); // the next launch
        QCOMPARE(widget<QComboBox>(window.get(), "comboBoxDelimiter")->currentData().toString(),
                 QStringLiteral(","));
        QCOMPARE(widget<QComboBox>(window.get(), "comboBoxEncoding")->currentData().toString(),
                 QStringLiteral("auto"));
    }

    void pairsAreOnlyDroppedAfterConfirmation() {
        const QString path = env->writeCsv("c.csv", "Name,Phone\r\nAnn,1\r\n");
        loadCsv(*window, env->dialogs, path);
        checkBox()->click();
        env->dialogs.answers.push_back("No");
        click(window.get(), "btnBrowseSourceFileOutlet");
        QCOMPARE(env->dialogs.alerts.back().text,
                 QStringLiteral("This will reset all the mappings that you have done. Do you "
                                "want to continue?"));
        QCOMPARE(env->dialogs.alerts.back().buttons, QStringList({"Yes", "No"}));
        QCOMPARE(env->dialogs.panels.size(), 1u);
        QCOMPARE(tableRows(table()).size(), 2);

        // "Yes" and a refused file: the window is Empty, check box included.
        env->dialogs.answers = {"Yes", "Ok"};
        env->dialogs.panelAnswers.push_back(env->writeCsv("bad.csv", "only a header"));
        click(window.get(), "btnBrowseSourceFileOutlet");
        QCOMPARE(window->phase(), WindowPhase::Empty);
        QVERIFY(!checkBox()->isVisible());
        QCOMPARE(tableRows(table()).size(), 0);
    }

    void pairingByNamesTakesARealExport() {
        loadCsv(*window, env->dialogs, QStringLiteral(OLVENMARK_EXPORTS_DIR "/google.csv"));
        click(window.get(), "btnPairByNamesOutlet");
        QCOMPARE(window->phase(), WindowPhase::Paired);
        const QStringList rows = tableRows(table());
        QVERIFY(rows.contains("First Name -> FirstName"));
        QVERIFY(!comboItems(vcard()).contains("FirstName"));
        click(window.get(), "btnPairByNamesOutlet"); // nothing left to pair by name
        QCOMPARE(tableRows(table()), rows);

        // The typed groups are rows of their own, counted by Check pairs and
        // removed like a pair; then their values are not in the card.
        const QString email =
            QStringLiteral("E-mail 1 - Value -> EMAIL, typed by each row's label");
        const int at = static_cast<int>(rows.indexOf(email));
        QVERIFY(at >= 0);
        click(window.get(), "btnStartStep2Outlet");
        QVERIFY(
            widget<QLabel>(window.get(), "lblMappingOutlet")->text().contains("further columns"));
        QVERIFY(preview().contains("EMAIL;type=INTERNET;type=WORK:maren.holt@"));
        table()->selectRow(at);
        click(window.get(), "btnRemoveMappingOutlet");
        QVERIFY(!tableRows(table()).contains(email));
        QVERIFY(comboItems(csv()).contains("E-mail 1 - Value"));
        QVERIFY(!preview().contains("maren.holt@"));
    }

    void addingAPairNeedsBothNamesAndOffersTheNextOnes() {
        loadCsv(*window, env->dialogs, env->writeCsv("a.csv", "Name,Phone,Mail\r\nAnn,1,a@x\r\n"));
        csv()->setCurrentIndex(1);
        env->dialogs.answers.push_back("Ok");
        click(window.get(), "addMappingOutlet");
        QCOMPARE(env->dialogs.alerts.back().title, QStringLiteral("Stop"));
        QCOMPARE(env->dialogs.alerts.back().text,
                 QStringLiteral("Please select columns to be mapped."));

        vcard()->setCurrentIndex(vcard()->findText("MobileNumber"));
        click(window.get(), "addMappingOutlet");
        QCOMPARE(tableRows(table()), QStringList({"Phone -> MobileNumber"}));
        const auto* heads = table()->horizontalHeader()->model();
        QCOMPARE(heads->headerData(0, Qt::Horizontal).toString() + " -> " +
                     heads->headerData(1, Qt::Horizontal).toString(),
                 QStringLiteral("CSV column -> vCard property"));
        QCOMPARE(comboItems(csv()), QStringList({"Name", "Mail"}));
        QVERIFY(!comboItems(vcard()).contains("MobileNumber"));
        // The first remaining names are chosen: two more presses pair them.
        QCOMPARE(vcard()->currentText(), QStringLiteral("FirstName"));
        click(window.get(), "addMappingOutlet");
        click(window.get(), "addMappingOutlet");
        QCOMPARE(tableRows(table()),
                 QStringList({"Phone -> MobileNumber", "Name -> FirstName", "Mail -> LastName"}));
        env->dialogs.answers.push_back("Ok");
        click(window.get(), "addMappingOutlet");
        QCOMPARE(env->dialogs.alerts.back().text,
                 QStringLiteral("No columns are remaining for mapping."));
    }

    void pairAllAfterHandMadePairsAndClearingAsksFirst() {
        loadCsv(*window, env->dialogs, env->writeContacts("w.csv", 2, 3));
        csv()->setCurrentIndex(2);
        vcard()->setCurrentIndex(vcard()->findText("EmailAddressWork"));
        click(window.get(), "addMappingOutlet");
        checkBox()->click();
        QCOMPARE(tableRows(table()), QStringList({"Col2 -> EmailAddressWork", "Col0 -> FirstName",
                                                  "Col1 -> LastName"}));
        QCOMPARE(csv()->count(), 0);
        QCOMPARE(vcard()->count(), static_cast<int>(property::kCount) - 3);

        env->dialogs.answers.push_back("No");
        checkBox()->click();
        QVERIFY(checkBox()->isChecked());
        QCOMPARE(tableRows(table()).size(), 3);

        env->dialogs.answers.push_back("Yes");
        checkBox()->click();
        QCOMPARE(tableRows(table()).size(), 0);
        QCOMPARE(csv()->count(), 3);
        QCOMPARE(vcard()->count(), static_cast<int>(property::kCount));
        QCOMPARE(window->phase(), WindowPhase::Loaded);
    }

    void removedNamesComeBackExactlyAndStillMatch() {
        loadCsv(*window, env->dialogs,
                env->writeCsv("s.csv", " Name ,   ,Phone\r\nAnn,blank,1\r\nBob,blank,2\r\n"));
        checkBox()->click();
        table()->clearSelection();
        click(window.get(), "btnRemoveMappingOutlet"); // no row chosen: nothing goes
        QCOMPARE(tableRows(table()).size(), 3);
        QCOMPARE(widget<QLabel>(window.get(), "lblMappingOutlet")->text(),
                 QStringLiteral("Choose a pair to remove."));
        QVERIFY(!table()->model()->removeRows(3, 1)); // past the last pair
        table()->selectRow(0);
        click(window.get(), "btnRemoveMappingOutlet");
        table()->selectRow(0);
        click(window.get(), "btnRemoveMappingOutlet");
        QVERIFY(!checkBox()->isChecked());
        QCOMPARE(comboItems(csv()), QStringList({" Name ", "   "}));
        QCOMPARE(tableRows(table()), QStringList({"Phone -> MiddleName"}));

        csv()->setCurrentIndex(0);
        vcard()->setCurrentIndex(vcard()->findText("FullName"));
        click(window.get(), "addMappingOutlet");
        QVERIFY(window->runStep2()); // the name matches its column as it stands in the file

        table()->selectRow(0);
        click(window.get(), "btnRemoveMappingOutlet");
        table()->selectRow(0);
        click(window.get(), "btnRemoveMappingOutlet");
        QCOMPARE(window->phase(), WindowPhase::Loaded);
    }

    void exportNeedsUsablePairsAndADestination() {
        // Without a file there is nothing the pairs could be checked against.
        QVERIFY(!window->runStep2());
        QCOMPARE(widget<QLabel>(window.get(), "lblProgressFileCount")->text(),
                 QStringLiteral("ERROR: while mapping properties"));

        loadCsv(*window, env->dialogs, env->writeContacts("w.csv", 3, 2));
        checkBox()->click();
        env->dialogs.answers.push_back("Ok");
        click(window.get(), "btnImportOutlet");
        QCOMPARE(env->dialogs.alerts.back().text,
                 QStringLiteral("Please select destination folder."));
        QCOMPARE(window->phase(), WindowPhase::Paired);
        QVERIFY(env->logText().contains("] Info: UI Start: Import\n"));
        QVERIFY(env->logText().contains("] INFO:UI End: STEP 2\n"));
        QVERIFY(env->logText().contains("] Info: UI Business Logic Started:\n"));

        env->dialogs.panelAnswers.push_back(env->files.path());
        click(window.get(), "btnBrowseDestinationFileOutlet");
        QCOMPARE(env->dialogs.panels.back().startFolder, QDir::homePath());
        QVERIFY(env->dialogs.panels.back().chooseFolder);
        QCOMPARE(env->dialogs.panels.back().message,
                 QStringLiteral("Choose target destination folder to save vCards."));
    }

    void aRunThatStopsSaysSoWhyAndWhere() {
        // The destination chosen, then replaced by a file: no folder can be made in it.
        const QString gone = env->files.filePath("gone");
        QVERIFY(QDir().mkpath(gone));
        env->dialogs.panelAnswers.push_back(gone);
        click(window.get(), "btnBrowseDestinationFileOutlet");
        QVERIFY(QDir(gone).removeRecursively());
        QVERIFY(QFile(gone).open(QIODevice::WriteOnly));
        loadCsv(*window, env->dialogs, env->writeContacts("s.csv", 3));
        checkBox()->click();
        env->dialogs.answers = {"Details", "Ok"};
        click(window.get(), "btnImportOutlet");
        QTRY_COMPARE_WITH_TIMEOUT(window->phase(), WindowPhase::Empty, 20000);
        const auto& report = env->dialogs.alerts.at(0);
        QVERIFY2(report.text.startsWith("The export stopped at contact 1 of 3: ") &&
                     report.text.endsWith(".\n 0 Contact(s) migrated successfully."),
                 qPrintable(report.text));
        QCOMPARE(report.detail, QStringLiteral("3 of 3 contacts were not migrated."));
        QVERIFY2(env->dialogs.alerts.at(1).text.endsWith(
                     "Failed\t\t : 3\n\nNo folder was made for the vCards.\n"),
                 qPrintable(env->dialogs.alerts.at(1).text));
        QVERIFY(!widget<QWidget>(window.get(), "btnOpenRunFolderOutlet")->isEnabled());
    }

    void aFileLoadedAgainIsOfferedItsPairsAndChoices() {
        const QString google = QStringLiteral(OLVENMARK_EXPORTS_DIR "/google.csv");
        loadCsv(*window, env->dialogs, google);
        click(window.get(), "btnPairByNamesOutlet");
        // Removed by hand: a pair made by names, a pair to make again by hand, a typed group.
        for (const char* row : {"Middle Name -> MiddleName", "First Name -> FirstName",
                                "Website 1 - Value -> URL, typed by each row's label"}) {
            table()->selectRow(static_cast<int>(tableRows(table()).indexOf(row)));
            click(window.get(), "btnRemoveMappingOutlet");
        }
        csv()->setCurrentIndex(csv()->findText("First Name"));
        vcard()->setCurrentIndex(vcard()->findText("FullName"));
        click(window.get(), "addMappingOutlet");
        click(window.get(), "btnPairByNamesOutlet"); // what was removed stays out
        const QStringList paired = tableRows(table());
        QVERIFY(!paired.contains("Middle Name -> MiddleName"));
        cardFormat()->setCurrentIndex(cardFormat()->findText("Strict vCard 3.0 (RFC 2426)"));
        widget<QCheckBox>(window.get(), "chkKeepUnpairedOutlet")->click();
        env->dialogs.answers = {"Ok"};
        env->dialogs.panelAnswers.push_back(env->files.path());
        click(window.get(), "btnBrowseDestinationFileOutlet");
        click(window.get(), "btnImportOutlet");
        QTRY_COMPARE_WITH_TIMEOUT(window->phase(), WindowPhase::Empty, 20000);
        cardFormat()->setCurrentIndex(0);
        widget<QCheckBox>(window.get(), "chkKeepUnpairedOutlet")->click();

        loadCsv(*window, env->dialogs, env->writeContacts("other.csv", 1)); // nothing to offer
        env->dialogs.answers = {"Yes"};
        loadCsv(*window, env->dialogs, google);
        const auto& offer = env->dialogs.alerts.back();
        QCOMPARE(offer.text, QStringLiteral("The columns of this file were paired before. Use "
                                            "the pairs from last time?"));
        QCOMPARE(offer.buttons, QStringList({"Yes", "No"}));
        QCOMPARE(tableRows(table()), paired);
        QCOMPARE(cardFormat()->currentText(), QStringLiteral("Strict vCard 3.0 (RFC 2426)"));
        QVERIFY(widget<QCheckBox>(window.get(), "chkKeepUnpairedOutlet")->isChecked());
        QCOMPARE(window->phase(), WindowPhase::Paired);
        QVERIFY(preview().startsWith("BEGIN:VCARD"));
        click(window.get(), "btnPairByNamesOutlet");
        QCOMPARE(tableRows(table()), paired);

        env->dialogs.answers = {"Yes", "No"}; // drop these pairs; not the ones from last time
        loadCsv(*window, env->dialogs, google);
        QCOMPARE(tableRows(table()), QStringList());
    }

    void progressLabelsFollowEachContact_data() {
        QTest::addColumn<int>("contacts");
        QTest::addColumn<QList<int>>("percents");
        QTest::newRow("3") << 3 << QList<int>{33, 66, 100};
        QTest::newRow("7") << 7 << QList<int>{14, 28, 42, 57, 71, 85, 100};
    }
    void progressLabelsFollowEachContact() {
        QFETCH(int, contacts);
        QFETCH(QList<int>, percents);
        loadCsv(*window, env->dialogs, env->writeContacts("p.csv", contacts));
        for (int i = 0; i < contacts; ++i) {
            window->notify(i + 1);
            QCOMPARE(widget<QLabel>(window.get(), "lblProgressStatus")->text(),
                     QStringLiteral("Progress: %1 %").arg(percents[i]));
            QCOMPARE(widget<QLabel>(window.get(), "lblProgressFileCount")->text(),
                     QStringLiteral("Status: %1/%2").arg(i + 1).arg(contacts));
            QCOMPARE(widget<QProgressBar>(window.get(), "progressOutlet")->value(), percents[i]);
        }
    }

    void wholeExportWritesFilesAndReports() {
        const QString csv = env->writeCsv(
            "contacts.csv", "First,Last,Middle\r\nAnn,Lee,Q\r\nBob,Ray,555\r\n,,1\r\n");
        env->dialogs.answers = {"Details", "Ok"};
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        startExport(*window, env->dialogs, csv, env->files.path());
        QTRY_COMPARE_WITH_TIMEOUT(window->phase(), WindowPhase::Empty, 20000);
        QVERIFY(widget<QWidget>(window.get(), "btnBrowseSourceFileOutlet")->hasFocus());
        QVERIFY(!destination()->hasSelectedText());

        QCOMPARE(env->dialogs.alerts.size(), 2u);
        QCOMPARE(env->dialogs.alerts[0].title, QStringLiteral("Report"));
        QCOMPARE(env->dialogs.alerts[0].text,
                 QStringLiteral(" 3 Contact(s) migrated successfully."));
        QCOMPARE(env->dialogs.alerts[0].buttons, QStringList({"Ok", "Details"}));
        QCOMPARE(env->dialogs.alerts[1].title, QStringLiteral("Detailed Report"));
        const QString runFolder = QString::fromStdString(window->session().runFolder());
        QCOMPARE(env->dialogs.alerts[1].text,
                 "Total Contacts\t : 3\nSuccessful\t\t : 3\nFailed\t\t : 0\n\nvCards can be "
                 "found at path :\n" +
                     runFolder + "\n");
        QCOMPARE(vcardFiles(env->files.path()).size(), 3);
        QCOMPARE(env->logText().count("UI >> Export Report:\nTotal Contacts\t : 3\n"), 1);
    }

    void cancelAfterTwelveContactsReportsExactCounts() {
        RunPause pause(window->session(), 12);
        startExport(*window, env->dialogs, env->writeContacts("big.csv", 40), env->files.path());
        pause.paused.acquire(); // after the 12th contact
        QTRY_COMPARE(widget<QLabel>(window.get(), "lblProgressFileCount")->text(),
                     QStringLiteral("Status: 12/40"));
        env->dialogs.answers = {"No"};
        click(window.get(), "btnCancelOutlet");
        QCOMPARE(window->phase(), WindowPhase::Running);
        QCOMPARE(env->dialogs.alerts.back().text,
                 QStringLiteral("Are you sure, you want to cancel the export process?"));

        env->dialogs.answers = {"Yes", "Ok"};
        click(window.get(), "btnCancelOutlet");
        QCOMPARE(widget<QLabel>(window.get(), "lblProgressFileCount")->text(),
                 QStringLiteral("Migration cancelled \n12 file(s) migrated successfully."));
        QTRY_COMPARE_WITH_TIMEOUT(window->phase(), WindowPhase::Empty, 20000);
        QCOMPARE(env->dialogs.alerts.at(2).text,
                 QStringLiteral(" 12 Contact(s) migrated successfully."));
        QCOMPARE(env->dialogs.alerts.at(2).detail,
                 QStringLiteral("The export was cancelled: 28 of 40 contacts were not migrated."));
        QVERIFY(env->logText().contains("Info: UI Start: Migration cancelled \n12 file(s)"));
        env->dialogs.answers = {"No"}; // not the pairs of the run before
        loadCsv(*window, env->dialogs, env->writeContacts("next.csv", 2));
        QCOMPARE(window->phase(), WindowPhase::Loaded);
    }

    void aQuestionOpenWhenTheRunEndsIsClosedBeforeTheReport_data() {
        QTest::addColumn<bool>("quit");
        QTest::newRow("cancel") << false;
        QTest::newRow("quit, asked again after the report") << true;
    }
    void aQuestionOpenWhenTheRunEndsIsClosedBeforeTheReport() {
        QFETCH(bool, quit);
        // Real alerts, scripted panels.
        struct Hybrid : ScriptedDialogs {
            WidgetDialogs real;
            int alert(const QString& title, const QString& text, const QStringList& buttons,
                      const QString& detail) override {
                if (alerts.size() == 2 && !answers.empty()) { // after the report
                    return ScriptedDialogs::alert(title, text, buttons, detail);
                }
                alerts.push_back({title, text, buttons, detail});
                return real.alert(title, text, buttons, detail);
            }
            bool closeOpenAlerts() override { return real.closeOpenAlerts(); }
        } dialogs;
        Dialogs::setInstance(&dialogs);
        dialogs.answers = {"Yes"}; // to the quit question asked again
        modelTester.reset();
        window.reset();
        AppDelegate delegate(0, [](std::chrono::milliseconds) {});
        MainWindow main(&delegate);
        AppController& c = *main.controller();
        main.show();
        delegate.finishSplash(&main);
        RunPause pause(c.session(), 1);
        startExport(c, dialogs, env->writeContacts("five.csv", 5), env->files.path());
        pause.paused.acquire();

        // The person leaves the question open while the run ends.
        QPointer<QWidget> question;
        bool questionGoneAtReport = false;
        QTimer person;
        connect(&person, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            if (box->windowTitle() == "Confirmation" && !question) {
                question = box;
                pause.resume.release();
            } else if (box->windowTitle() == "Report") {
                questionGoneAtReport = question.isNull() || !question->isVisible();
                QTest::keyClick(box, Qt::Key_Escape); // the safe answer: Ok
            }
        });
        person.start(5);
        if (quit) {
            QVERIFY(!main.close());
        } else {
            click(&c, "btnCancelOutlet");
        }
        QTRY_COMPARE_WITH_TIMEOUT(c.phase(), WindowPhase::Empty, 20000);
        QVERIFY(questionGoneAtReport);
        QTRY_COMPARE(dialogs.alerts.size(), quit ? 3u : 2u); // no details: Escape is Ok
        QVERIFY(dialogs.alerts[1].detail.isEmpty());         // the run was not cancelled
        QTRY_COMPARE(main.isVisible(), !quit);
        Dialogs::setInstance(&env->dialogs);
    }

    void quittingAtEveryRowEndsCleanly() {
        modelTester.reset();
        window.reset();
        const QString csv = env->writeContacts("five.csv", 5);
        for (int row = 1; row <= 5; ++row) {
            const QString out = env->files.filePath(QStringLiteral("out%1").arg(row));
            QDir().mkpath(out);
            env->dialogs.alerts.clear();
            AppDelegate delegate(0, [](std::chrono::milliseconds) {});
            MainWindow main(&delegate);
            AppController& c = *main.controller();
            main.show();
            delegate.finishSplash(&main);
            RunPause pause(c.session(), row);
            if (row > 1) {
                env->dialogs.answers = {"No"}; // not the pairs from the launch before
            }
            startExport(c, env->dialogs, csv, out);
            pause.paused.acquire(); // the thread waits after contact `row`
            env->dialogs.alerts.clear();
            QVERIFY(!main.findChild<QAction*>("actionOpen")->isEnabled());
            env->dialogs.answers = {"Yes"};
            QVERIFY(main.close());
            QCOMPARE(env->dialogs.alerts.size(), 1u); // the quit question, no report
            QCOMPARE(env->dialogs.alerts[0].detail,
                     QStringLiteral("The export will stop after the contact in hand."));
            QCOMPARE(vcardFiles(out).size(), row); // the contact in hand was finished
        }
    }

    void previewShowsTheFirstCardExactlyAsWritten() {
        loadCsv(*window, env->dialogs,
                env->writeCsv("p.csv", "First,Last,Notes\r\nAnn,Lee,\"a, b\"\r\nBob,Ray,c\r\n"));
        auto* rows = widget<QTableView>(window.get(), "tblViewCsvFileContents")->model();
        QCOMPARE(rows->rowCount(), 2);
        QCOMPARE(rows->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Notes"));
        QCOMPARE(rows->index(0, 2).data().toString(), QStringLiteral("a, b"));
        QCOMPARE(widget<QLabel>(window.get(), "lblFileSummary")->text(),
                 QStringLiteral("2 contacts, 3 columns (UTF-8, comma between fields)"));

        // Nothing paired, nothing checked yet.
        click(window.get(), "btnStartStep2Outlet");
        QCOMPARE(widget<QLabel>(window.get(), "lblMappingOutlet")->text(),
                 QStringLiteral("Nothing to check yet: pair at least one column with a vCard "
                                "property."));
        checkBox()->click();
        click(window.get(), "btnStartStep2Outlet");
        QCOMPARE(widget<QLabel>(window.get(), "lblMappingOutlet")->text(),
                 QStringLiteral("3 pairs checked: ready to export."));
        QCOMPARE(preview(), QStringLiteral("begin:vcard\nversion:3.0\nFN:Ann Lee\nN:Lee;Ann;a\\, "
                                           "b;\nend:vcard"));
        table()->selectRow(2);
        click(window.get(), "btnRemoveMappingOutlet");
        QCOMPARE(widget<QLabel>(window.get(), "lblMappingOutlet")->text(),
                 QStringLiteral("Pick a CSV column and a vCard property, then add the pair."));
        QCOMPARE(preview(), QStringLiteral("begin:vcard\nversion:3.0\nFN:Ann Lee\nN:Lee;Ann;;\n"
                                           "end:vcard"));

        // The strict format shows, and writes, the strict card.
        cardFormat()->setCurrentIndex(cardFormat()->findText("Strict vCard 3.0 (RFC 2426)"));
        QVERIFY(preview().startsWith("BEGIN:VCARD\nVERSION:3.0\n"));
        QCOMPARE(rows->rowCount(), 2); // the rows shown anew, not added again
        env->dialogs.answers = {"Ok"};
        env->dialogs.panelAnswers.push_back(env->files.path());
        click(window.get(), "btnBrowseDestinationFileOutlet");
        const QString shown = preview();
        click(window.get(), "btnImportOutlet");
        QTRY_COMPARE_WITH_TIMEOUT(window->phase(), WindowPhase::Empty, 20000);
        QFile ann(QString::fromStdString(window->session().runFolder()) + "AnnLee.vcf");
        QVERIFY(ann.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(ann.readAll()).replace("\r\n", "\n"), shown);
    }

    void choicesAreRememberedAndDroppedFilesLoad() {
        auto* region = widget<QComboBox>(window.get(), "comboBoxPhoneRegion");
        QVERIFY(!region->isEnabled()); // only with international numbers
        widget<QCheckBox>(window.get(), "chkInternationalPhones")->click();
        QVERIFY(region->isEnabled());
        region->setCurrentIndex(region->findData("DE"));
        widget<QCheckBox>(window.get(), "chkOneCardPerPerson")->click();
        widget<QCheckBox>(window.get(), "chkSingleFileOutlet")->click();
        widget<QCheckBox>(window.get(), "chkKeepUnpairedOutlet")->click();
        cardFormat()->setCurrentIndex(cardFormat()->findText("Strict vCard 3.0 (RFC 2426)"));
        env->dialogs.panelAnswers.push_back(env->files.path());
        click(window.get(), "btnBrowseDestinationFileOutlet");
        const QString csv = env->writeCsv("d.csv", "Name\r\nAnn\r\n");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(csv)});
        QDragEnterEvent enter({1, 1}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
        QCOMPARE(window->phase(), WindowPhase::Loaded);
        QCOMPARE(widget<QLineEdit>(window.get(), "txtOutlet")->text(), csv);
        // The columns whose values no pair takes are named, kept or not.
        const auto unpaired = [this] {
            return widget<QLabel>(window.get(), "lblUnpairedColumns")->text();
        };
        QCOMPARE(unpaired(), QStringLiteral("In the note of each card: Name (1 value)."));
        widget<QCheckBox>(window.get(), "chkKeepUnpairedOutlet")->click();
        QCOMPARE(unpaired(), QStringLiteral("Not in the cards: Name (1 value)."));
        widget<QCheckBox>(window.get(), "chkKeepUnpairedOutlet")->click();
        window->resetAll(); // as after a report: the lines go with the file
        QCOMPARE(unpaired() + widget<QLabel>(window.get(), "lblFileSummary")->text(), QString());

        modelTester.reset();
        window = std::make_unique<AppController>(); // the next launch
        QVERIFY(widget<QCheckBox>(window.get(), "chkSingleFileOutlet")->isChecked());
        QVERIFY(widget<QCheckBox>(window.get(), "chkKeepUnpairedOutlet")->isChecked());
        QCOMPARE(cardFormat()->currentText(), QStringLiteral("Strict vCard 3.0 (RFC 2426)"));
        QVERIFY(widget<QCheckBox>(window.get(), "chkOneCardPerPerson")->isChecked());
        QCOMPARE(widget<QComboBox>(window.get(), "comboBoxPhoneRegion")->currentText(),
                 QStringLiteral("Germany (DE)"));
        QCOMPARE(destination()->text(), env->files.path());
        env->dialogs.panelAnswers.push_back(QString());
        click(window.get(), "btnBrowseSourceFileOutlet");
        QCOMPARE(env->dialogs.panels.back().startFolder, env->files.path());
        // Its card is in the format remembered, with the number as the region reads it.
        loadCsv(*window, env->dialogs,
                env->writeCsv("t.csv", "Name,Mobile\r\nAnn,0171 1234567\r\n"));
        click(window.get(), "btnPairByNamesOutlet");
        QVERIFY(preview().startsWith("BEGIN:VCARD"));
        QVERIFY2(preview().contains("TEL;type=CELL:+49 171 1234567"), qPrintable(preview()));

        // Earlier versions kept only whether cards were strict: that choice stays.
        QSettings stored(QSettings::IniFormat, QSettings::UserScope, "Olvenmark", "Olvenmark");
        stored.remove("output/format");
        stored.setValue("output/strict", true);
        window = std::make_unique<AppController>();
        QCOMPARE(cardFormat()->currentText(), QStringLiteral("Strict vCard 3.0 (RFC 2426)"));
    }

    void unwritableLogIsReportedAndTheWindowWorks() {
        const QString folder = env->home.filePath(QStringLiteral("Olvenmark v1.0"));
        QDir(folder).removeRecursively();
        QVERIFY(QFile(folder).open(QIODevice::WriteOnly)); // a file where the log's folder goes
        Dialogs::routeLogAlerts();
        // One alert for the window's log, one for the engine's, then the file loads.
        env->dialogs.answers = {"OK", "OK"};
        window->createLog();
        loadCsv(*window, env->dialogs, env->writeCsv("a.csv", "Name\r\nAnn\r\n"));
        myLog::setAlertHook(nullptr);
        QCOMPARE(env->dialogs.alerts.size(), 2u);
        QVERIFY(
            env->dialogs.alerts[0].text.startsWith("Failed to create file:" + env->home.path()));
        QCOMPARE(window->phase(), WindowPhase::Loaded);
    }

private:
    QComboBox* csv() { return widget<QComboBox>(window.get(), "comboBoxCSVHeaders"); }
    QComboBox* vcard() { return widget<QComboBox>(window.get(), "comboBoxVcardProperties"); }
    QTableView* table() { return widget<QTableView>(window.get(), "UserMappingTable"); }
    QCheckBox* checkBox() { return widget<QCheckBox>(window.get(), "mapAllCkeckBoxOutlet"); }
    QComboBox* cardFormat() { return widget<QComboBox>(window.get(), "comboBoxCardFormat"); }
    QString preview() {
        return widget<QPlainTextEdit>(window.get(), "txtViewMappingAttributes")->toPlainText();
    }
    QLineEdit* destination() {
        return widget<QLineEdit>(window.get(), "txtDestinationFolderOutlet");
    }
};

QTEST_MAIN(Window)
#include "test_window.moc"
