// Remember password against a real Secret Service: gnome-keyring-daemon on the
// private session bus this test runs on (dbus-run-session), unlocked with a
// password on its standard input, and a Radicale that accepts the password.
#include "AppTestSupport.h"
#include "Radicale.h"
#include "app/PasswordKeyring.h"
#include "app/Settings.h"

#include <QProcess>
#include <QSignalSpy>

class Keyring : public WindowTestCase {
    Q_OBJECT

    // What the keyring holds for the pair, asked past the window.
    static QString kept(const QString& url, const QString& user) {
        PasswordKeyring keyring;
        QSignalSpy read(&keyring, &PasswordKeyring::passwordRead);
        keyring.read(url, user);
        return read.wait(20000) ? read.at(0).at(2).toString() : QStringLiteral("(no answer)");
    }

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("OLVENMARK_PRIVATE_BUS")) {
            QSKIP("runs on a session bus of its own: ctest starts it with dbus-run-session");
        }
    }

    // Before the keyring's daemon runs, and with no bus to reach it: the window
    // says so at launch, and goes on.
    void aMissingKeyringIsSaidAndNothingWaits() {
        const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + env->home.filePath("no-bus").toUtf8());
        settings::setValue(settings::Key::CardDavUrl, "https://dav.example.org/");
        settings::setValue(settings::Key::CardDavUser, "ann");
        settings::setValue(settings::Key::RememberPassword, true);
        window = std::make_unique<AppController>();
        auto* status = widget<QLabel>(window.get(), "lblServerStatus");
        QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith("The desktop's keyring cannot be used"),
                                 20000);
        // Nothing is remembered: the box says so too.
        QVERIFY(!widget<QCheckBox>(window.get(), "chkRememberPassword")->isChecked());
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
    }

    void onlyATickedPasswordIsKeptAndUntickingDeletesIt() {
        QTemporaryDir keyringHome;
        QProcess daemon;
        QProcessEnvironment daemonEnv = QProcessEnvironment::systemEnvironment();
        daemonEnv.insert("HOME", keyringHome.path());
        daemonEnv.insert("XDG_DATA_HOME", keyringHome.filePath("data"));
        daemonEnv.insert("XDG_RUNTIME_DIR", keyringHome.path());
        daemon.setProcessEnvironment(daemonEnv);
        // It forks a daemon that ends with the bus, once its keyring is unlocked.
        daemon.start("gnome-keyring-daemon", {"--unlock", "--components=secrets"});
        daemon.write("keyring-pw");
        daemon.closeWriteChannel();
        QVERIFY(daemon.waitForFinished(20000) && daemon.exitCode() == 0);

        testsupport::Radicale server;
        server.makeBook("work", "Work");
        const QString url = QString::fromStdString(server.root());
        widget<QComboBox>(window.get(), "comboBoxExportTo")->setCurrentIndex(1);
        widget<QLineEdit>(window.get(), "txtCardDavUrl")->setText(url);
        widget<QLineEdit>(window.get(), "txtCardDavUser")->setText("ann");
        widget<QLineEdit>(window.get(), "txtCardDavPassword")->setText(testsupport::kPassword);
        auto* remember = widget<QCheckBox>(window.get(), "chkRememberPassword");
        QVERIFY(!remember->isChecked());
        click(window.get(), "btnFindAddressBooks");
        auto* status = widget<QLabel>(window.get(), "lblServerStatus");
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), "1 address book found", 20000);
        QCOMPARE(kept(url, "ann"), QString());

        // Ticked after the server took it: kept, and back in a new window's field.
        remember->click();
        QTRY_COMPARE_WITH_TIMEOUT(kept(url, "ann"), testsupport::kPassword, 20000);
        window = std::make_unique<AppController>();
        window->show();
        widget<QComboBox>(window.get(), "comboBoxExportTo")->setCurrentIndex(1);
        auto* password = widget<QLineEdit>(window.get(), "txtCardDavPassword");
        QTRY_COMPARE_WITH_TIMEOUT(password->text(), testsupport::kPassword, 20000);
        // Another user has none; coming back to ann brings hers, unless the user
        // name changed again before the keyring answered.
        auto* user = widget<QLineEdit>(window.get(), "txtCardDavUser");
        const auto typeUsers = [&] {
            password->clear();
            for (const char* name : {"bob", "ann"}) {
                user->clear();
                QTest::keyClicks(user, name);
                QTest::keyClick(user, Qt::Key_Return);
            }
        };
        typeUsers();
        QTRY_COMPARE_WITH_TIMEOUT(password->text(), testsupport::kPassword, 20000);
        typeUsers();
        user->setText("carl");
        QCOMPARE(kept(url, "ann"), testsupport::kPassword); // answered after the window
        QCOMPARE(password->text(), QString());
        user->setText("ann");

        widget<QCheckBox>(window.get(), "chkRememberPassword")->click();
        QTRY_COMPARE_WITH_TIMEOUT(kept(url, "ann"), QString(), 20000);
        QVERIFY(!widget<QLabel>(window.get(), "lblServerStatus")->text().contains("keyring"));
        QFile ini(QSettings(QSettings::IniFormat, QSettings::UserScope, "Olvenmark", "Olvenmark")
                      .fileName());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(!ini.readAll().contains(testsupport::kPassword));
    }
};

QTEST_MAIN(Keyring)
#include "test_keyring.moc"
