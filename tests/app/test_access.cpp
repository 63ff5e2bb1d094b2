// The window without a mouse: Tab, the access keys, and the names a screen
// reader reads; and a layout that stays put at the window's smallest size.
#include "AppTestSupport.h"
#include "app/AppDelegate.h"
#include "app/MainWindow.h"

#include <QAccessible>
#include <QAction>
#include <QSignalSpy>

#include <functional>

namespace {

// Every control, in the order Tab reaches them: top to bottom, left to right.
const QStringList kTabOrder =
    QStringLiteral(
        "txtOutlet btnBrowseSourceFileOutlet comboBoxEncoding comboBoxDelimiter "
        "comboBoxCSVHeaders comboBoxVcardProperties addMappingOutlet mapAllCkeckBoxOutlet "
        "btnPairByNamesOutlet UserMappingTable btnRemoveMappingOutlet btnStartStep2Outlet "
        "tblViewCsvFileContents txtViewMappingAttributes comboBoxExportTo "
        "txtDestinationFolderOutlet btnBrowseDestinationFileOutlet txtCardDavUrl txtCardDavUser "
        "txtCardDavPassword chkRememberPassword txtCardDavCaFile btnChooseCaFile "
        "btnFindAddressBooks comboBoxAddressBook chkReplacePrevious comboBoxIdColumn "
        "comboBoxCardFormat "
        "chkSingleFileOutlet "
        "chkKeepUnpairedOutlet chkOneCardPerPerson chkInternationalPhones comboBoxPhoneRegion "
        "btnOpenRunFolderOutlet btnCancelOutlet btnImportOutlet")
        .split(u' ');

// What only an export to a folder uses, and what only an upload uses.
const QStringList kFolderOnly = QStringLiteral("txtDestinationFolderOutlet "
                                               "btnBrowseDestinationFileOutlet comboBoxCardFormat "
                                               "chkSingleFileOutlet")
                                    .split(u' ');
const QStringList kServerOnly = kTabOrder.mid(kTabOrder.indexOf("txtCardDavUrl"), 10);

} // namespace

class Access : public QObject {
    Q_OBJECT

private slots:
    void init() {
        env = std::make_unique<AppTestEnvironment>();
        main = std::make_unique<MainWindow>(&delegate);
        main->controller()->createLog(); // in this test's HOME
        main->show();
        delegate.finishSplash(main.get());
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
    }
    void cleanup() {
        main.reset();
        const QStringList unanswered = env->dialogs.unanswered;
        env.reset();
        QVERIFY2(unanswered.isEmpty(), qPrintable(unanswered.join("; ")));
    }

    void tabReachesEveryControlAndAScreenReaderNamesIt() {
        main->openArguments({"olvenmark", env->writeContacts("a.csv", 3, 3)});
        widget<QCheckBox>(main.get(), "mapAllCkeckBoxOutlet")->click();
        auto* table = widget<QTableView>(main.get(), "UserMappingTable");
        for (const bool server : {false, true}) {
            widget<QComboBox>(main.get(), "comboBoxExportTo")->setCurrentIndex(server ? 1 : 0);
            // Only what the chosen destination uses is there to reach.
            QStringList shown = kTabOrder;
            for (const QString& other : server ? kFolderOnly : kServerOnly) {
                shown.removeAll(other);
            }
            QStringList reachable;
            QStringList unnamed;
            // A combo box's name is the choice it shows: its label must name it.
            std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
                if (node->state().focusable && !node->state().invisible) {
                    reachable << node->object()->objectName();
                    const QString name = node->text(QAccessible::Name);
                    if (node->relations(QAccessible::Label).isEmpty() &&
                        (name.isEmpty() || node->role() == QAccessible::ComboBox)) {
                        unnamed << node->object()->objectName();
                    }
                }
                // Cells and items are named by the file's own values.
                if (node->role() != QAccessible::Table && node->role() != QAccessible::ComboBox) {
                    for (int i = 0; i < node->childCount(); ++i) {
                        walk(node->child(i));
                    }
                }
            };
            walk(QAccessible::queryAccessibleInterface(main.get()));
            QCOMPARE(unnamed, QStringList());
            QCOMPARE(QSet<QString>(reachable.begin(), reachable.end()),
                     QSet<QString>(shown.begin(), shown.end()));

            // Down with Tab, back up with Shift+Tab; tabbing into the pairs
            // selects one, so that Remove pair acts at once.
            shown.removeAll("btnOpenRunFolderOutlet"); // no export yet
            shown.removeAll("comboBoxPhoneRegion");    // only with international numbers
            shown.removeAll("btnCancelOutlet");        // no run
            for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
                table->clearSelection();
                widget<QWidget>(main.get(), "txtOutlet")->setFocus();
                QStringList reached;
                do {
                    reached << QApplication::focusWidget()->objectName();
                    QTest::keyClick(QApplication::focusWidget(), key);
                } while (QApplication::focusWidget()->objectName() != "txtOutlet" &&
                         reached.size() <= shown.size());
                QCOMPARE(reached, shown);
                QVERIFY(table->selectionModel()->hasSelection());
                std::reverse(shown.begin() + 1, shown.end());
            }
        }
    }

    void theWindowFitsALaptopScreenWhereverTheExportGoes() {
        const auto shown = [this](const char* name) {
            return widget<QWidget>(main.get(), name)->isVisible();
        };
        for (const bool server : {false, true}) {
            widget<QComboBox>(main.get(), "comboBoxExportTo")->setCurrentIndex(server ? 1 : 0);
            smallest();
            // 1366x768 less the desktop's panel and the title bar.
            QVERIFY2(main->width() <= 1366 && main->height() <= 700,
                     qPrintable(QStringLiteral("%1x%2").arg(main->width()).arg(main->height())));
            for (const QString& name : kServerOnly) {
                QCOMPARE(shown(qPrintable(name)), server);
            }
            for (const QString& name : kFolderOnly) {
                QCOMPARE(shown(qPrintable(name)), !server);
            }
            QCOMPARE(widget<QWidget>(main.get(), "btnImportOutlet")
                         ->accessibleDescription()
                         .startsWith("Upload"),
                     server);
        }
        // The labels a screen reader reads say what they show.
        main->openArguments({"olvenmark", env->writeContacts("a.csv", 3, 3)});
        main->controller()->notify(1);
        for (const char* name : {"lblFileSummary", "lblProgressStatus", "lblProgressFileCount"}) {
            auto* label = widget<QLabel>(main.get(), name);
            QVERIFY(!label->text().trimmed().isEmpty());
            QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name),
                     label->text());
        }
    }

    void eachAccessKeyActsOnTheFirstPressAndNothingMoves() {
        smallest(); // the size at which everything must read
        const auto places = [this] {
            QList<QRect> rects;
            // The export goes to a folder: the server's fields are not there.
            for (const QString& name :
                 kTabOrder + QStringList{"progressOutlet", "lblFileSummary"}) {
                if (kServerOnly.contains(name)) {
                    continue;
                }
                auto* w = widget<QWidget>(main.get(), qPrintable(name));
                rects << QRect(w->mapTo(main.get(), QPoint()), w->size());
            }
            return rects;
        };
        const QList<QRect> empty = places();
        const auto press = [this](QKeyCombination keys, const char* name,
                                  const char* signal = SIGNAL(clicked(bool))) {
            QObject* target = main->findChild<QObject*>(QString::fromLatin1(name));
            QSignalSpy spy(target, signal);
            QTest::keyClick(main.get(), keys.key(), keys.keyboardModifiers());
            QTRY_COMPARE(spy.count(), 1);
        };
        const auto focuses = [this](Qt::Key key, const char* name) {
            QTest::keyClick(main.get(), key, Qt::AltModifier);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
        };

        main->openArguments({"olvenmark", env->writeContacts("keys.csv", 3, 3)});
        QCOMPARE(places(), empty);
        focuses(Qt::Key_G, "comboBoxEncoding");
        focuses(Qt::Key_L, "comboBoxDelimiter");
        focuses(Qt::Key_S, "comboBoxCardFormat");
        focuses(Qt::Key_X, "comboBoxExportTo");
        widget<QComboBox>(main.get(), "comboBoxExportTo")->setCurrentIndex(1);
        focuses(Qt::Key_U, "txtCardDavUrl");
        focuses(Qt::Key_W, "txtCardDavPassword");
        press(Qt::ALT | Qt::Key_M, "chkRememberPassword");
        press(Qt::ALT | Qt::Key_I, "btnFindAddressBooks"); // no URL: refused at once
        widget<QComboBox>(main.get(), "comboBoxExportTo")->setCurrentIndex(0);
        smallest(); // the server's fields made the window taller
        press(Qt::ALT | Qt::Key_T, "chkSingleFileOutlet");
        press(Qt::ALT | Qt::Key_K, "chkKeepUnpairedOutlet");
        press(Qt::ALT | Qt::Key_P, "btnStartStep2Outlet");
        env->dialogs.answers = {"Ok"}; // nothing chosen to pair
        press(Qt::ALT | Qt::Key_A, "addMappingOutlet");
        press(Qt::ALT | Qt::Key_R, "mapAllCkeckBoxOutlet");
        press(Qt::ALT | Qt::Key_N, "btnPairByNamesOutlet");
        QCOMPARE(places(), empty);
        press(Qt::ALT | Qt::Key_V, "btnRemoveMappingOutlet");
        env->dialogs.panelAnswers = {env->files.path()};
        press(Qt::ALT | Qt::Key_D, "btnBrowseDestinationFileOutlet");
        env->dialogs.answers = {"No", "No"}; // keep the pairs
        press(Qt::ALT | Qt::Key_B, "btnBrowseSourceFileOutlet");
        press(Qt::CTRL | Qt::Key_O, "actionOpen", SIGNAL(triggered(bool)));

        RunPause pause(main->controller()->session(), 1);
        press(Qt::ALT | Qt::Key_E, "btnImportOutlet");
        pause.paused.acquire();
        QCOMPARE(places(), empty);
        env->dialogs.answers = {"Yes", "Ok"}; // cancel, then the report
        press(Qt::ALT | Qt::Key_C, "btnCancelOutlet");
        QTRY_COMPARE_WITH_TIMEOUT(main->controller()->phase(), WindowPhase::Empty, 20000);
        press(Qt::ALT | Qt::Key_O, "btnOpenRunFolderOutlet");
        env->dialogs.answers = {"No"};
        press(Qt::CTRL | Qt::Key_Q, "actionQuit", SIGNAL(triggered(bool)));
        QCOMPARE(places(), empty);
    }

private:
    // The window at its smallest size, once its layout has taken in what was
    // shown or hidden.
    void smallest() {
        QApplication::processEvents();
        main->resize(0, 0);
        QApplication::processEvents();
    }

    std::unique_ptr<AppTestEnvironment> env;
    AppDelegate delegate{0, [](std::chrono::milliseconds) {}};
    std::unique_ptr<MainWindow> main;
};

QTEST_MAIN(Access)
#include "test_access.moc"
