// Choosing and loading the CSV file through the real window.
#include "AppTestSupport.h"
#include "RunState.h"
#include "myLog.h"

class SourceSelection : public WindowTestCase {
    Q_OBJECT

private slots:
    void startsEmpty() {
        auto* c = window.get();
        QCOMPARE(widget<QLineEdit>(c, "txtOutlet")->text(), QStringLiteral("Select CSV File"));
        QCOMPARE(widget<QLineEdit>(c, "txtDestinationFolderOutlet")->text(),
                 QStringLiteral("Select Destination Folder"));
        QCOMPARE(widget<QComboBox>(c, "comboBoxCSVHeaders")->placeholderText(),
                 QStringLiteral("Select CSV Column"));
        QCOMPARE(widget<QComboBox>(c, "comboBoxVcardProperties")->placeholderText(),
                 QStringLiteral("Select vCard Column"));
        QVERIFY(widget<QPushButton>(c, "btnBrowseSourceFileOutlet")->isEnabled());
        QVERIFY(widget<QPushButton>(c, "btnBrowseDestinationFileOutlet")->isEnabled());
        for (const char* name : {"btnImportOutlet", "btnStartStep2Outlet", "addMappingOutlet",
                                 "btnCancelOutlet", "btnRemoveMappingOutlet"}) {
            QVERIFY2(!widget<QPushButton>(c, name)->isEnabled(), name);
        }
        QVERIFY(!widget<QCheckBox>(c, "mapAllCkeckBoxOutlet")->isVisible());
        QVERIFY(!widget<QProgressBar>(c, "progressOutlet")->isVisible());
    }

    void loadsFileAndPanelsStartWhereTheLastFileWas() {
        auto* c = window.get();
        const QString first = env->writeCsv("contacts.csv", "Name,Phone\r\nAnn,1\r\nBob,2\r\n");
        loadCsv(*c, env->dialogs, first);
        QCOMPARE(env->dialogs.panels.size(), 1u);
        const PanelRequest& panel = env->dialogs.panels[0];
        QCOMPARE(panel.startFolder, QDir::homePath());
        QCOMPARE(panel.title, QStringLiteral("Browse: Brenvik Software"));
        QCOMPARE(panel.message, QStringLiteral("Choose CSV file to be Converted to vCard."));
        QCOMPARE(panel.fileType, QStringLiteral("csv"));
        QVERIFY(!panel.chooseFolder);

        QCOMPARE(widget<QLineEdit>(c, "txtOutlet")->text(), first);
        QCOMPARE(comboItems(widget<QComboBox>(c, "comboBoxCSVHeaders")),
                 QStringList({"Name", "Phone"}));
        QCOMPARE(widget<QComboBox>(c, "comboBoxVcardProperties")->count(), 30);
        // Nothing is chosen until the user picks.
        QCOMPARE(widget<QComboBox>(c, "comboBoxCSVHeaders")->currentIndex(), -1);
        QVERIFY(widget<QPushButton>(c, "addMappingOutlet")->isEnabled());
        QVERIFY(widget<QCheckBox>(c, "mapAllCkeckBoxOutlet")->isVisible());
        QCOMPARE(totalContacts, 2);

        // A cancelled panel changes nothing.
        env->dialogs.panelAnswers.push_back(QString());
        click(c, "btnBrowseSourceFileOutlet");
        QCOMPARE(env->dialogs.panels.back().startFolder, env->files.path());
        QCOMPARE(widget<QLineEdit>(c, "txtOutlet")->text(), first);
        QCOMPARE(widget<QComboBox>(c, "comboBoxCSVHeaders")->count(), 2);

        const QString second = env->writeCsv("more.csv", "A\r\n1\r\n2\r\n3\r\n");
        loadCsv(*c, env->dialogs, second);
        QCOMPARE(totalContacts, 3);
        QCOMPARE(comboItems(widget<QComboBox>(c, "comboBoxCSVHeaders")), QStringList({"A"}));
        QVERIFY(
            env->logText().contains("Info: UI Start: STEP 1\nSelected CSV File Name:" + second));
        QVERIFY(env->logText().contains("] UI>> Start Application\n"));
    }

    void rejectedFilesAlertAndEmptyTheWindow() {
        auto* c = window.get();
        for (const QByteArray& content :
             {QByteArray(), QByteArray("Name,Phone\r\n"), QByteArray("Name\r\nRen\xe9\r\n")}) {
            env->dialogs.alerts.clear();
            env->dialogs.answers.push_back("Ok");
            loadCsv(*c, env->dialogs, env->writeCsv("100%d.csv", content));
            QCOMPARE(env->dialogs.alerts.size(), 1u);
            QCOMPARE(env->dialogs.alerts[0].title, QStringLiteral("Error"));
            QCOMPARE(env->dialogs.alerts[0].text, QStringLiteral("Invalid CSV file 100%d.csv."));
            QCOMPARE(env->dialogs.alerts[0].buttons, QStringList({"Ok"}));
            QCOMPARE(widget<QLineEdit>(c, "txtOutlet")->text(), QStringLiteral("Select CSV File"));
            QCOMPARE(widget<QComboBox>(c, "comboBoxCSVHeaders")->count(), 0);
            QVERIFY(!widget<QPushButton>(c, "addMappingOutlet")->isEnabled());
        }
        QVERIFY(env->logText().contains("UI>> ERROR\nOccured in startStep1(): Invalid CSV file "
                                        "100%d.csv.\n"));
        QVERIFY(env->logText().contains("] INFO:UI End: STEP 1\n"));
    }

    void headerNamesAreOfferedAsTheyAre() {
        auto* c = window.get();
        loadCsv(*c, env->dialogs, env->writeCsv("a.csv", "First,, Last ,First\r\n1,2,3,4\r\n"));
        QCOMPARE(comboItems(widget<QComboBox>(c, "comboBoxCSVHeaders")),
                 QStringList({"First", " Last ", "First"}));
        loadCsv(*c, env->dialogs, env->writeCsv("b.csv", "Name, \r\nx,y\r\n"));
        QCOMPARE(comboItems(widget<QComboBox>(c, "comboBoxCSVHeaders")),
                 QStringList({"Name", " "}));
    }

    void pairsAreOnlyResetAfterConfirmation() {
        auto* c = window.get();
        const QString path = env->writeCsv("c.csv", "Name,Phone\r\nAnn,1\r\n");
        loadCsv(*c, env->dialogs, path);
        widget<QCheckBox>(c, "mapAllCkeckBoxOutlet")->click();
        QCOMPARE(userMappingDictionary.size(), 2u);

        // "No": nothing happens, no panel is shown.
        env->dialogs.answers.push_back("No");
        click(c, "btnBrowseSourceFileOutlet");
        QCOMPARE(env->dialogs.alerts.back().title, QStringLiteral("Alert"));
        QCOMPARE(env->dialogs.alerts.back().text,
                 QStringLiteral("This will reset all the mappings that you have done. Do you "
                                "want to continue?"));
        QCOMPARE(env->dialogs.alerts.back().buttons, QStringList({"Yes", "No"}));
        QCOMPARE(env->dialogs.panels.size(), 1u);
        QCOMPARE(userMappingDictionary.size(), 2u);

        // "Yes", then the panel is cancelled: the window is Empty.
        env->dialogs.answers.push_back("Yes");
        env->dialogs.panelAnswers.push_back(QString());
        click(c, "btnBrowseSourceFileOutlet");
        QCOMPARE(widget<QLineEdit>(c, "txtOutlet")->text(), QStringLiteral("Select CSV File"));
        QVERIFY(userMappingDictionary.empty());
        QCOMPARE(tableRows(widget<QTableView>(c, "UserMappingTable")).size(), 0);

        // The next panel still starts where the file was; a rejected file leaves
        // the check box in sight.
        env->dialogs.answers.push_back("Ok");
        loadCsv(*c, env->dialogs, env->writeCsv("empty.csv", ""));
        QCOMPARE(env->dialogs.panels.back().startFolder, QFileInfo(path).path());

        loadCsv(*c, env->dialogs, path);
        widget<QCheckBox>(c, "mapAllCkeckBoxOutlet")->click();
        env->dialogs.answers.push_back("Yes");
        env->dialogs.answers.push_back("Ok");
        env->dialogs.panelAnswers.push_back(env->writeCsv("bad.csv", "only a header"));
        click(c, "btnBrowseSourceFileOutlet");
        QCOMPARE(widget<QLineEdit>(c, "txtOutlet")->text(), QStringLiteral("Select CSV File"));
        QVERIFY(widget<QCheckBox>(c, "mapAllCkeckBoxOutlet")->isVisible());
    }

    void unwritableLogIsReportedAndTheWindowWorks() {
        QFile blocker(env->home.filePath(QStringLiteral("Olvenmark v1.0")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Dialogs::routeLogAlerts();
        // One alert for the window's log, one for the engine's, then the file loads.
        env->dialogs.answers = {"OK", "OK"};
        loadCsv(*window, env->dialogs, env->writeCsv("a.csv", "Name\r\nAnn\r\n"));
        myLog::setAlertHook(nullptr);
        QCOMPARE(env->dialogs.alerts.size(), 2u);
        QCOMPARE(env->dialogs.alerts[0].title, QStringLiteral("ERROR"));
        QVERIFY(
            env->dialogs.alerts[0].text.startsWith("Failed to create file:" + env->home.path()));
        QCOMPARE(totalContacts, 1);
        QCOMPARE(widget<QComboBox>(window.get(), "comboBoxCSVHeaders")->count(), 1);
    }

    void destinationSurvivesResets() {
        auto* c = window.get();
        env->dialogs.panelAnswers.push_back(env->files.path());
        click(c, "btnBrowseDestinationFileOutlet");
        env->dialogs.answers.push_back("Ok");
        loadCsv(*c, env->dialogs, env->writeCsv("e.csv", ""));
        QCOMPARE(widget<QLineEdit>(c, "txtDestinationFolderOutlet")->text(), env->files.path());
    }
};

QTEST_MAIN(SourceSelection)
#include "test_source_selection.moc"
