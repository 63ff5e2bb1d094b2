// The window's upload to a real Radicale on https with a self-signed certificate:
// the certificate to trust, the address books found, the cards on the server,
// the report, and what the window remembers of the server.
#include "AppTestSupport.h"
#include "Radicale.h"

#include <QRegularExpression>

class Upload : public WindowTestCase {
    Q_OBJECT

private slots:
    void uploadsToTheBookChosenAndNeverKeepsThePassword() {
        testsupport::TempDir tls;
        testsupport::Radicale server(testsupport::selfSignedTls(tls.path()));
        const QString cert = QString::fromStdString((tls.path() / "cert.pem").string());
        server.makeBook("work", "Work", cert.toStdString(), "https");
        server.makeBook("home", "Home", cert.toStdString(), "https");
        auto* folderButton = widget<QPushButton>(window.get(), "btnBrowseDestinationFileOutlet");
        auto* find = widget<QPushButton>(window.get(), "btnFindAddressBooks");
        auto* password = widget<QLineEdit>(window.get(), "txtCardDavPassword");
        auto* books = widget<QComboBox>(window.get(), "comboBoxAddressBook");
        auto* status = widget<QLabel>(window.get(), "lblServerStatus");
        QVERIFY(!find->isVisible());
        widget<QComboBox>(window.get(), "comboBoxExportTo")->setCurrentIndex(1);
        QVERIFY(find->isVisible() && !folderButton->isVisible());
        const QString url = QString::fromStdString(server.root("https"));
        widget<QLineEdit>(window.get(), "txtCardDavUrl")->setText(url);
        widget<QLineEdit>(window.get(), "txtCardDavUser")->setText("ann");

        // Refused without its certificate, then a wrong password: one line each,
        // and nothing to choose.
        password->setText("wrong");
        for (const char* line : {"certificate is not trusted", "refused the user name"}) {
            click(window.get(), "btnFindAddressBooks");
            QTRY_VERIFY_WITH_TIMEOUT(find->isEnabled(), 20000);
            QCOMPARE(books->count(), 0);
            QVERIFY2(status->text().contains(line), qPrintable(status->text()));
            env->dialogs.panelAnswers = {cert};
            click(window.get(), "btnChooseCaFile");
        }

        password->setText(testsupport::kPassword);
        click(window.get(), "btnFindAddressBooks");
        QTRY_VERIFY_WITH_TIMEOUT(find->isEnabled(), 20000);
        QCOMPARE(status->text(), "2 address books found");
        books->setCurrentIndex(books->findText("Work"));

        loadCsv(*window, env->dialogs, env->writeContacts("a.csv", 3, 2));
        widget<QCheckBox>(window.get(), "mapAllCkeckBoxOutlet")->click();
        env->dialogs.answers = {"Details", "Ok"};
        click(window.get(), "btnImportOutlet");
        QTRY_COMPARE_WITH_TIMEOUT(window->phase(), WindowPhase::Empty, 20000);
        QCOMPARE(server.stored("work").size(), 3u);
        QVERIFY(server.stored("home").empty());
        QCOMPARE(env->dialogs.alerts.at(0).text,
                 "3 Contact(s) uploaded, 0 already in the address book.");
        const QString details = env->dialogs.alerts.at(1).text;
        QVERIFY2(details.contains("Uploaded:                    3\n") &&
                     details.contains(url + "ann/work/"),
                 qPrintable(details));
        // An upload has no run folder to open.
        QVERIFY(!widget<QPushButton>(window.get(), "btnOpenRunFolderOutlet")->isEnabled());

        // The next launch knows the server and the user, never the password.
        QFile ini(QSettings(QSettings::IniFormat, QSettings::UserScope, "Olvenmark", "Olvenmark")
                      .fileName());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray kept = ini.readAll();
        QVERIFY(kept.contains("ann") && !kept.contains(testsupport::kPassword));
        QVERIFY(!env->logText().contains(testsupport::kPassword));
        modelTester.reset();
        window = std::make_unique<AppController>();
        QCOMPARE(widget<QLineEdit>(window.get(), "txtCardDavUrl")->text(), url);
        QCOMPARE(widget<QLineEdit>(window.get(), "txtCardDavUser")->text(), "ann");
        QCOMPARE(widget<QLineEdit>(window.get(), "txtCardDavPassword")->text(), QString());
        QCOMPARE(widget<QLineEdit>(window.get(), "txtCardDavCaFile")->text(), cert);
    }

    void anUploadWhoseServerGoesAwaySaysWhyAndWhere() {
        testsupport::Radicale server;
        chooseTheBookOf(server);
        loadCsv(*window, env->dialogs, env->writeContacts("a.csv", 5, 2));
        widget<QCheckBox>(window.get(), "mapAllCkeckBoxOutlet")->click();
        RunPause pause(window->session(), 2);
        env->dialogs.answers = {"Ok"};
        click(window.get(), "btnImportOutlet");
        pause.paused.acquire();
        server.stop(); // as a crash or a pulled cable
        pause.resume.release();
        QTRY_COMPARE_WITH_TIMEOUT(window->phase(), WindowPhase::Empty, 60000);
        // Several cards are on their way at once: the run stops at the first one
        // lost, and counts those the server answered for before it went.
        const auto& report = env->dialogs.alerts.at(0);
        const auto said =
            QRegularExpression("^The upload stopped at contact [1-5] of 5: the server "
                               "went away: .*\n(\\d) Contact\\(s\\) uploaded, 0 "
                               "already in the address book\\.$",
                               QRegularExpression::DotMatchesEverythingOption)
                .match(report.text);
        QVERIFY2(said.hasMatch(), qPrintable(report.text));
        const int uploaded = said.captured(1).toInt();
        QVERIFY(uploaded >= 2 && uploaded <= static_cast<int>(server.stored("work").size()));
        QCOMPARE(report.detail, QString("%1 of 5 contacts were not uploaded.").arg(5 - uploaded));
    }

    void anEditedFileUploadedAgainReplacesItsCards() {
        testsupport::Radicale server;
        chooseTheBookOf(server);
        widget<QCheckBox>(window.get(), "chkReplacePrevious")->click();
        auto* id = widget<QComboBox>(window.get(), "comboBoxIdColumn");
        std::map<std::string, std::vector<std::string>> first;
        // Bob's name is corrected and Cy is gone from the file the second time.
        for (const QByteArray& rows : {QByteArray("7,Ann,Lee\r\n8,Bob,Ray\r\n9,Cy,Oh\r\n"),
                                       QByteArray("7,Ann,Lee\r\n8,Bob,Roe\r\n")}) {
            const QString csv =
                env->writeCsv("c.csv", "Customer ID,First Name,Last Name\r\n" + rows);
            env->dialogs.answers = {"No"}; // not the pairs from last time: by names again
            loadCsv(*window, env->dialogs, csv);
            click(window.get(), "btnPairByNamesOutlet");
            id->setCurrentIndex(id->findText("Customer ID"));
            env->dialogs.answers = {"Ok"};
            click(window.get(), "btnImportOutlet");
            QTRY_COMPARE_WITH_TIMEOUT(window->phase(), WindowPhase::Empty, 20000);
            QCOMPARE(id->count(), 1); // the columns go with the file
            first = first.empty() ? server.stored("work") : first;
        }
        const auto second = server.stored("work");
        QCOMPARE(first.size(), 3u);
        QCOMPARE(second.size(), 2u);
        // Bob keeps his UID, with the corrected name.
        const auto bob = std::find_if(first.begin(), first.end(), [](const auto& card) {
            return std::count(card.second.begin(), card.second.end(), "FN:Bob Ray") == 1;
        });
        QVERIFY(bob != first.end() && second.count(bob->first) == 1);
        QVERIFY(std::count(second.at(bob->first).begin(), second.at(bob->first).end(),
                           "FN:Bob Roe") == 1);
    }

private:
    // Uploads go to the one address book of `server`, found by the window.
    void chooseTheBookOf(testsupport::Radicale& server) {
        server.makeBook("work", "Work");
        widget<QComboBox>(window.get(), "comboBoxExportTo")->setCurrentIndex(1);
        widget<QLineEdit>(window.get(), "txtCardDavUrl")
            ->setText(QString::fromStdString(server.root()));
        widget<QLineEdit>(window.get(), "txtCardDavUser")->setText("ann");
        widget<QLineEdit>(window.get(), "txtCardDavPassword")->setText(testsupport::kPassword);
        click(window.get(), "btnFindAddressBooks");
        QTRY_COMPARE_WITH_TIMEOUT(widget<QComboBox>(window.get(), "comboBoxAddressBook")->count(),
                                  1, 20000);
    }
};

QTEST_MAIN(Upload)
#include "test_upload.moc"
