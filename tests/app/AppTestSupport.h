// What the window tests share: alerts and panels answered in advance, a
// temporary HOME, CSV files written for real, and widgets found by name.
#pragma once

#include "app/AppController/AppController.h"
#include "app/Dialogs.h"
#include "engine/ExportSession.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <semaphore>
#include <vector>

// Answers alerts by button text and panels by path, in the order given, and
// remembers everything that was asked.
class ScriptedDialogs : public Dialogs {
public:
    struct Alert {
        QString title;
        QString text;
        QStringList buttons;
        QString detail;
    };

    int alert(const QString& title, const QString& text, const QStringList& buttons,
              const QString& detail) override {
        alerts.push_back({title, text, buttons, detail});
        if (answers.empty()) {
            unanswered.append(title + ": " + text);
            return 0;
        }
        const QString press = answers.front();
        answers.pop_front();
        const auto index = buttons.indexOf(press);
        if (index < 0) {
            unanswered.append(title + ": no button " + press);
            return 0;
        }
        return static_cast<int>(index);
    }

    std::optional<QString> openPanel(const PanelRequest& request) override {
        panels.push_back(request);
        if (panelAnswers.empty()) {
            unanswered.append(QStringLiteral("panel: ") + request.title);
            return std::nullopt;
        }
        const QString answer = panelAnswers.front();
        panelAnswers.pop_front();
        if (answer.isEmpty()) {
            return std::nullopt;
        }
        return answer;
    }

    bool openFolder(const QString& folder) override {
        openedFolders.append(folder);
        return folderOpens;
    }
    bool closeOpenAlerts() override { return false; }

    // Button texts to press, in order.
    std::deque<QString> answers;
    // Paths to choose (an empty one cancels the panel), in order.
    std::deque<QString> panelAnswers;
    std::vector<Alert> alerts;
    std::vector<PanelRequest> panels;
    QStringList unanswered;
    QStringList openedFolders;
    bool folderOpens = true;
};

// One test's world: a temporary HOME and folder, and the scripted dialogs.
class AppTestEnvironment {
public:
    AppTestEnvironment() : oldHome(qgetenv("HOME")) {
        qputenv("HOME", home.path().toUtf8());
        // Remembered choices go to this HOME, not to the user's.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.path());
        Dialogs::setInstance(&dialogs);
    }
    ~AppTestEnvironment() {
        Dialogs::setInstance(nullptr);
        qputenv("HOME", oldHome);
    }

    QString writeCsv(const QString& name, const QByteArray& content) {
        const QString path = files.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }

    // A CSV of `contacts` rows with a header of `columns` names.
    QString writeContacts(const QString& name, int contacts, int columns = 3) {
        QByteArray text;
        for (int c = 0; c < columns; ++c) {
            text += (c ? "," : "") + QByteArray("Col") + QByteArray::number(c);
        }
        text += "\r\n";
        for (int i = 0; i < contacts; ++i) {
            for (int c = 0; c < columns; ++c) {
                text += (c ? "," : "") + QByteArray("v") + QByteArray::number(i) + "_" +
                        QByteArray::number(c);
            }
            text += "\r\n";
        }
        return writeCsv(name, text);
    }

    QString logText() const {
        QFile f(home.filePath(QStringLiteral("Olvenmark v1.0/Error.log")));
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

    QTemporaryDir home;
    QTemporaryDir files;
    ScriptedDialogs dialogs;

private:
    QByteArray oldHome;
};

template <class T> T* widget(QWidget* window, const char* name) {
    auto* w = window->findChild<T*>(QString::fromLatin1(name));
    if (w == nullptr) {
        qFatal("no widget named %s", name);
    }
    return w;
}

inline QStringList comboItems(QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items.append(combo->itemText(i));
    }
    return items;
}

// The pairs shown in the mapping table, as "CSV -> vCard".
inline QStringList tableRows(QTableView* table) {
    QStringList rows;
    const auto* model = table->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        rows.append(model->index(r, 0).data().toString() + " -> " +
                    model->index(r, 1).data().toString());
    }
    return rows;
}

// Loads a CSV through the source browse button and its panel.
inline void loadCsv(AppController& c, ScriptedDialogs& dialogs, const QString& path) {
    dialogs.panelAnswers.push_back(path);
    QTest::mouseClick(widget<QPushButton>(&c, "btnBrowseSourceFileOutlet"), Qt::LeftButton);
}

inline void click(QWidget* window, const char* name) {
    auto* button = widget<QAbstractButton>(window, name);
    QVERIFY2(button->isEnabled(), name);
    QTest::mouseClick(button, Qt::LeftButton);
}

// Loads a CSV, pairs every column in order, picks the destination and presses
// the export button.
inline void startExport(AppController& c, ScriptedDialogs& dialogs, const QString& csv,
                        const QString& destination) {
    loadCsv(c, dialogs, csv);
    widget<QCheckBox>(&c, "mapAllCkeckBoxOutlet")->click();
    dialogs.panelAnswers.push_back(destination);
    click(&c, "btnBrowseDestinationFileOutlet");
    click(&c, "btnImportOutlet");
}

// Holds a window's conversion thread after its `at`-th contact until released,
// or until the run is cancelled.
struct RunPause {
    std::binary_semaphore paused{0};
    std::binary_semaphore resume{0};

    RunPause(ExportSession& session, std::int64_t at) {
        session.setProgressObserver([this, &session, at](std::int64_t done) {
            if (done != at) {
                return;
            }
            paused.release();
            while (!resume.try_acquire_for(std::chrono::milliseconds(1)) &&
                   !session.cancelRequested()) {
            }
        });
    }
};

// The base of the window tests: a fresh environment and window for each test
// function, and no alert or panel left unanswered at its end.
class WindowTestCase : public QObject {
    Q_OBJECT

protected:
    std::unique_ptr<AppTestEnvironment> env;
    std::unique_ptr<AppController> window;
    std::unique_ptr<QAbstractItemModelTester> modelTester;

private slots:
    void init() {
        env = std::make_unique<AppTestEnvironment>();
        window = std::make_unique<AppController>();
        window->createLog(); // in this test's HOME, as the first browse would
        QVERIFY(env->logText().contains("] UI>> Start Application\n"));
        window->show();
        QVERIFY(!window->findChild<QLabel*>("imageViewOutlet")->pixmap().isNull());
        // Every insert and removal of a pair is announced to the view as Qt asks.
        modelTester = std::make_unique<QAbstractItemModelTester>(
            window->findChild<QTableView*>("UserMappingTable")->model(),
            QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    void cleanup() {
        const QStringList unanswered = env->dialogs.unanswered;
        modelTester.reset();
        window.reset();
        env.reset();
        QVERIFY2(unanswered.isEmpty(), qPrintable(unanswered.join("; ")));
    }
};
