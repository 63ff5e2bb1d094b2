// Start-up splash and the quit question.
#include "AppTestSupport.h"
#include "app/AppDelegate.h"
#include "app/CodeForSplashScreen.h"
#include "app/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QTreeView>

class Shell : public QObject {
    Q_OBJECT

private slots:
    void init() { env = std::make_unique<AppTestEnvironment>(); }
    void cleanup() {
        const QStringList unanswered = env->dialogs.unanswered;
        env.reset();
        QVERIFY2(unanswered.isEmpty(), qPrintable(unanswered.join("; ")));
    }

    void splashIsBorderlessCentredAndShowsThePicture() {
        std::chrono::milliseconds held{0};
        auto splash = CodeForSplashScreen().doSplash(3, [&](auto time) { held = time; });
        QCOMPARE(held, std::chrono::milliseconds(3000));
        QVERIFY(splash->isVisible());
        QCOMPARE(splash->size(), QSize(350, 180));
        QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(QFile::exists(QStringLiteral(":/Default.png")));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((splash->geometry().center() - screen.center()).manhattanLength() <= 2);
    }

    void theSplashGoesOnceTheWindowIsUpAndTheGivenFileLoads() {
        AppDelegate delegate(3, [](std::chrono::milliseconds) {});
        MainWindow window(&delegate);
        window.show();
        delegate.finishSplash(&window);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            QVERIFY(w->objectName() != QLatin1String("splash") || !w->isVisible());
        }
        window.openArguments({"olvenmark"}); // no file given
        QCOMPARE(window.controller()->phase(), WindowPhase::Empty);
        // A path given relative to where the program started is shown whole.
        const QString given = env->writeContacts("given.csv", 2);
        const QString started = QDir::currentPath();
        QDir::setCurrent(QFileInfo(given).absolutePath());
        window.openArguments({"olvenmark", "given.csv"});
        QDir::setCurrent(started);
        QCOMPARE(window.controller()->phase(), WindowPhase::Loaded);
        QCOMPARE(window.findChild<QLineEdit*>("txtOutlet")->text(), given);
        env->dialogs.answers = {"Yes"};
        window.close();
    }

    void everyAccessKeyIsUnique() {
        AppDelegate delegate(0, [](std::chrono::milliseconds) {});
        MainWindow window(&delegate);
        QStringList keys;
        const auto take = [&keys](const QString& text) {
            const qsizetype at = text.indexOf('&');
            if (at >= 0 && at + 1 < text.size()) {
                keys << text.at(at + 1).toLower();
            }
        };
        for (const QAction* menu : window.menuBar()->actions()) {
            take(menu->text());
        }
        for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
            take(button->text());
        }
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            take(label->text());
        }
        keys.sort();
        QCOMPARE(keys.size(), QSet<QString>(keys.begin(), keys.end()).size());
    }

    void returnGivesTheFirstButtonEscapeAndClosingTheSafeOne() {
        WidgetDialogs real;
        struct Case {
            QStringList buttons;
            int answer;
            int key; // 0: the alert's window is closed
        };
        for (const Case& c :
             {Case{{"No", "Yes"}, 0, Qt::Key_Escape}, Case{{"Yes", "No"}, 1, Qt::Key_Escape},
              Case{{"Ok", "Details"}, 0, Qt::Key_Escape}, Case{{"No", "Yes"}, 0, 0},
              Case{{"Yes", "No"}, 0, Qt::Key_Return}, Case{{"Ok", "Details"}, 0, Qt::Key_Return}}) {
            QString defaultButton;
            auto role = QMessageBox::InvalidRole;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box != nullptr);
                if (QAbstractButton* button = box->defaultButton()) {
                    defaultButton = button->text();
                    role = box->buttonRole(button);
                }
                if (c.key == 0) {
                    box->close();
                } else {
                    QTest::keyClick(box, static_cast<Qt::Key>(c.key));
                }
            });
            QCOMPARE(real.alert("Confirmation", "Sure?", c.buttons), c.answer);
            // The first button is the default, where the desktop puts the affirmative one.
            QCOMPARE(defaultButton, c.buttons.first());
            QCOMPARE(role, QMessageBox::AcceptRole);
        }
    }

    void anOpenPanelShowsItsColumnsWhole() {
        env->writeContacts("contacts exported from the address book.csv", 40, 30);
        bool whole = false;
        QTimer::singleShot(0, [&] {
            auto* panel = QApplication::activeModalWidget();
            auto* files = panel->findChild<QTreeView*>("treeView");
            whole = QTest::qWaitFor([&] { return files->model()->rowCount(files->rootIndex()); });
            // The size, the type and the date; the name takes what is left.
            for (int column = 1; column < files->header()->count(); ++column) {
                whole =
                    whole && files->columnWidth(column) >=
                                 static_cast<QAbstractItemView*>(files)->sizeHintForColumn(column);
            }
            panel->close();
        });
        WidgetDialogs().openPanel({"Browse", "Choose", env->files.path(), false, "csv"});
        QVERIFY(whole);
    }

    void everyWayOfQuittingAsks() {
        AppDelegate delegate(0, [](std::chrono::milliseconds) {});
        MainWindow window(&delegate);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // What is typed while the splash is up is dropped: no question.
        QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(env->dialogs.alerts.empty());
        delegate.finishSplash(&window);

        env->dialogs.answers = {"No"};
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        const auto& question = env->dialogs.alerts.back();
        QCOMPARE(question.title, QStringLiteral("Confirmation"));
        QCOMPARE(question.text, QStringLiteral("Do you want to close the application?"));
        QCOMPARE(question.buttons, QStringList({"No", "Yes"}));

        env->dialogs.answers = {"No"};
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(env->dialogs.alerts.size(), 2u);
        QVERIFY(window.isVisible());

        env->dialogs.answers = {"Yes"};
        window.findChild<QAction*>("actionQuit")->trigger();
        QCOMPARE(env->dialogs.alerts.size(), 3u);
        QVERIFY(!window.isVisible());
    }

private:
    std::unique_ptr<AppTestEnvironment> env;
};

QTEST_MAIN(Shell)
#include "test_shell.moc"
