// Start-up splash and the quit question.
#include "AppTestSupport.h"
#include "app/AppDelegate.h"
#include "app/CodeForSplashScreen.h"
#include "app/MainWindow.h"

#include <QAction>
#include <QScreen>
#include <QTimer>

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
        QVERIFY(!splash->pixmap().isNull());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((splash->geometry().center() - screen.center()).manhattanLength() <= 2);
    }

    void theSplashGoesOnceTheWindowIsUp() {
        AppDelegate delegate(3, [](std::chrono::milliseconds) {});
        MainWindow window(&delegate);
        window.show();
        delegate.finishSplash(&window);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            QVERIFY(w->objectName() != QLatin1String("splash") || !w->isVisible());
        }
        env->dialogs.answers = {"Yes"};
        window.close();
    }

    void escapeAndClosingGiveTheSafeAnswer() {
        WidgetDialogs real;
        struct Case {
            QStringList buttons;
            int safe;
            bool closeWindow;
        };
        for (const Case& c : {Case{{"No", "Yes"}, 0, false}, Case{{"Yes", "No"}, 1, false},
                              Case{{"Ok", "Details"}, 0, false}, Case{{"No", "Yes"}, 0, true}}) {
            QTimer::singleShot(0, [&c] {
                QWidget* box = QApplication::activeModalWidget();
                QVERIFY(box != nullptr);
                if (c.closeWindow) {
                    box->close();
                } else {
                    QTest::keyClick(box, Qt::Key_Escape);
                }
            });
            QCOMPARE(real.alert("Confirmation", "Sure?", c.buttons), c.safe);
        }
    }

    void everyWayOfQuittingAsks() {
        AppDelegate delegate(0, [](std::chrono::milliseconds) {});
        MainWindow window(&delegate);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

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
