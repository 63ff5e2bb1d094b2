// Running an export through the real window, from the destination panel to
// the report, with the conversion on its own thread.
#include "AppDelegate.h"
#include "AppTestSupport.h"
#include "MainWindow.h"
#include "RunState.h"

#include <QDirIterator>
#include <QTimer>

#include <semaphore>

namespace {

// Holds the conversion thread at a chosen progress call until released.
class SteppedController : public AppController {
public:
    void notify(float increment) override {
        AppController::notify(increment);
        if (++calls == pauseAt) {
            paused.release();
            resume.acquire();
        }
    }

    int pauseAt = -1;
    std::atomic<int> calls{0};
    std::binary_semaphore paused{0};
    std::binary_semaphore resume{0};
};

QStringList vcardFiles(const QString& destination) {
    QStringList files;
    QDirIterator it(destination, {"*.vcf"}, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.append(it.next());
    }
    return files;
}

} // namespace

class Export : public WindowTestCase {
    Q_OBJECT

private slots:
    void destinationPanelOpensTheChosenFolder() {
        env->dialogs.panelAnswers.push_back(env->files.path());
        click(window.get(), "btnBrowseDestinationFileOutlet");
        const PanelRequest& first = env->dialogs.panels.at(0);
        QCOMPARE(first.startFolder, QDir::homePath());
        QVERIFY(first.chooseFolder);
        QCOMPARE(first.message, QStringLiteral("Choose target destination folder to save vCards."));
        QCOMPARE(destination()->text(), env->files.path());

        env->dialogs.panelAnswers.push_back(QString());
        click(window.get(), "btnBrowseDestinationFileOutlet");
        QCOMPARE(env->dialogs.panels.at(1).startFolder, env->files.path());
        QCOMPARE(destination()->text(), env->files.path());
    }

    void exportNeedsADestination() {
        loadCsv(*window, env->dialogs, env->writeContacts("a.csv", 2));
        widget<QCheckBox>(window.get(), "mapAllCkeckBoxOutlet")->click();
        env->dialogs.answers.push_back("Ok");
        click(window.get(), "btnImportOutlet");
        QCOMPARE(env->dialogs.alerts.back().title, QStringLiteral("Alert"));
        QCOMPARE(env->dialogs.alerts.back().text,
                 QStringLiteral("Please select destination folder."));
        QVERIFY(!window->isConversionActive());
        QVERIFY(widget<QPushButton>(window.get(), "btnImportOutlet")->isEnabled());
        QVERIFY(env->logText().contains("] Info: UI Start: STEP 2\n"));
        QVERIFY(env->logText().contains("] Info: UI Business Logic Started:\n"));
    }

    void progressLabelsFollowEachContact_data() {
        QTest::addColumn<int>("contacts");
        QTest::addColumn<QList<int>>("percents");
        QTest::newRow("3") << 3 << QList<int>{33, 66, 100};
        QTest::newRow("4") << 4 << QList<int>{25, 50, 75, 100};
        QTest::newRow("6") << 6 << QList<int>{16, 33, 50, 66, 83, 100};
        QTest::newRow("7") << 7 << QList<int>{14, 28, 42, 57, 71, 85, 100};
    }
    void progressLabelsFollowEachContact() {
        QFETCH(int, contacts);
        QFETCH(QList<int>, percents);
        loadCsv(*window, env->dialogs, env->writeContacts("p.csv", contacts));
        for (int i = 0; i < contacts; ++i) {
            window->notify(progressIncrementByValue);
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
        bool runningWindowSeen = false;
        env->dialogs.onAlert = [&](const ScriptedDialogs::Alert& alert) {
            if (alert.title == "Report") {
                runningWindowSeen =
                    !widget<QPushButton>(window.get(), "btnBrowseSourceFileOutlet")->isEnabled();
            }
        };
        startExport(*window, env->dialogs, csv, env->files.path());
        QVERIFY(window->isConversionActive());
        QVERIFY(widget<QProgressBar>(window.get(), "progressOutlet")->isVisible());
        QVERIFY(widget<QPushButton>(window.get(), "btnCancelOutlet")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!window->isConversionActive(), 20000);

        QVERIFY(runningWindowSeen);
        QCOMPARE(env->dialogs.alerts.size(), 2u);
        QCOMPARE(env->dialogs.alerts[0].title, QStringLiteral("Report"));
        QCOMPARE(env->dialogs.alerts[0].text,
                 QStringLiteral(" 3 Contact(s) migrated successfully."));
        QCOMPARE(env->dialogs.alerts[0].buttons, QStringList({"Ok", "Details"}));
        QCOMPARE(env->dialogs.alerts[1].title, QStringLiteral("Detailed Report"));
        const QString runFolder = QString::fromStdString(vcardOutputFolderPath);
        QCOMPARE(
            env->dialogs.alerts[1].text,
            "Total Contacts\t : 3\nSuccessful\t\t : 3\nFailed\t\t : 0\n\nvCards can be found at "
            "path :\n" +
                runFolder + "\n");

        const QStringList files = vcardFiles(env->files.path());
        QCOMPARE(files.size(), 3);
        QFile ann(runFolder + "AnnLee.vcf");
        QVERIFY(ann.open(QIODevice::ReadOnly));
        QCOMPARE(ann.readAll(),
                 QByteArray("begin:vcard\nversion:3.0\nFN:Ann Lee\nN:Lee;Ann;Q;\nend:vcard"));
        QVERIFY(QFile::exists(runFolder + "no_name1.vcf"));

        // Back to Empty, the destination kept, ready for the next file.
        QCOMPARE(widget<QLineEdit>(window.get(), "txtOutlet")->text(),
                 QStringLiteral("Select CSV File"));
        QCOMPARE(destination()->text(), env->files.path());
        QVERIFY(widget<QPushButton>(window.get(), "btnBrowseSourceFileOutlet")->isEnabled());
        QVERIFY(!widget<QProgressBar>(window.get(), "progressOutlet")->isVisible());
        QCOMPARE(env->logText().count("UI >> Export Report:\nTotal Contacts\t : 3\n"), 1);

        loadCsv(*window, env->dialogs, csv);
        QCOMPARE(totalContacts, 3);
    }

    void cancelAfterTwelveContactsReportsExactCounts() {
        SteppedController* controller = steppedWindow(12);
        bool browseLockedAtReport = false;
        env->dialogs.onAlert = [&](const ScriptedDialogs::Alert& alert) {
            if (alert.title == "Report") {
                browseLockedAtReport =
                    !widget<QPushButton>(controller, "btnBrowseSourceFileOutlet")->isEnabled();
            }
        };
        startExport(*controller, env->dialogs, env->writeContacts("big.csv", 40),
                    env->files.path());
        controller->paused.acquire(); // after the 12th progress call
        env->dialogs.answers = {"Yes", "Details", "Ok"};
        click(controller, "btnCancelOutlet");
        QCOMPARE(widget<QLabel>(controller, "lblProgressFileCount")->text(),
                 QStringLiteral("Migration cancelled \n12 file(s) migrated successfully."));
        QVERIFY(!widget<QProgressBar>(controller, "progressOutlet")->isVisible());
        controller->resume.release();
        QTRY_VERIFY_WITH_TIMEOUT(!controller->isConversionActive(), 20000);

        QCOMPARE(env->dialogs.alerts.at(0).title, QStringLiteral("Confirmation"));
        QCOMPARE(env->dialogs.alerts.at(0).text,
                 QStringLiteral("Are you sure, you want to cancel the export process?"));
        QCOMPARE(vcardFiles(env->files.path()).size(), 12);
        QCOMPARE(env->dialogs.alerts.at(1).text,
                 QStringLiteral(" 12 Contact(s) migrated successfully."));
        QVERIFY(env->dialogs.alerts.at(2).text.startsWith(
            QStringLiteral("Migration canceled.\nTotal Contacts\t : 40\nSuccessful\t\t : "
                           "12\nFailed\t\t : 28\n")));
        QVERIFY(env->logText().contains("Info: UI Start: Migration cancelled \n12 file(s)"));
        QVERIFY(browseLockedAtReport);
        // Once the thread has ended the window is Empty and usable.
        QVERIFY(widget<QPushButton>(controller, "btnBrowseSourceFileOutlet")->isEnabled());
        loadCsv(*controller, env->dialogs, env->writeContacts("next.csv", 2));
        QCOMPARE(totalContacts, 2);
    }

    void cancelAnsweredNoLetsTheRunFinish() {
        SteppedController* controller = steppedWindow(2);
        startExport(*controller, env->dialogs, env->writeContacts("five.csv", 5),
                    env->files.path());
        controller->paused.acquire();
        env->dialogs.answers = {"No", "Ok"};
        click(controller, "btnCancelOutlet");
        controller->resume.release();
        QTRY_VERIFY_WITH_TIMEOUT(!controller->isConversionActive(), 20000);
        QCOMPARE(env->dialogs.alerts.back().text,
                 QStringLiteral(" 5 Contact(s) migrated successfully."));
        QCOMPARE(vcardFiles(env->files.path()).size(), 5);
    }

    void quittingAtEveryRowEndsCleanly() {
        window.reset();
        const QString csv = env->writeContacts("five.csv", 5);
        for (int row = 1; row <= 5; ++row) {
            const QString out = env->files.filePath(QStringLiteral("out%1").arg(row));
            QDir().mkpath(out);
            env->dialogs.alerts.clear();
            AppDelegate delegate(0);
            auto* controller = new SteppedController;
            controller->pauseAt = row;
            MainWindow window(&delegate, controller);
            window.show();
            startExport(*controller, env->dialogs, csv, out);
            controller->paused.acquire(); // the thread waits after progress call `row`

            // Released only once the quit has marked the run cancelled.
            QTimer::singleShot(0, [controller] { controller->resume.release(); });
            env->dialogs.answers = {"Yes"};
            QVERIFY(window.close());
            QVERIFY(!controller->isConversionActive());
            QCOMPARE(env->dialogs.alerts.size(), 1u); // the quit question, no report
            const QStringList files = vcardFiles(out);
            QCOMPARE(files.size(), row);
            for (const QString& path : files) { // every file that exists was written whole
                QFile f(path);
                QVERIFY(f.open(QIODevice::ReadOnly) && f.readAll().endsWith("\nend:vcard"));
            }
            QCOMPARE(env->logText().count("] Info: Migration cancelled\n"), row < 5 ? row : 4);
        }
    }

private:
    // A window whose conversion thread stops at progress call `pauseAt`.
    SteppedController* steppedWindow(int pauseAt) {
        auto* controller = new SteppedController;
        controller->pauseAt = pauseAt;
        window.reset(controller);
        controller->show();
        return controller;
    }

    QLineEdit* destination() {
        return widget<QLineEdit>(window.get(), "txtDestinationFolderOutlet");
    }
};

QTEST_MAIN(Export)
#include "test_export.moc"
