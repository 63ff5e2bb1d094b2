// A whole export through the real window on the offscreen platform, with the
// panels and the report answered by the program: the window's cost over the CLI.
//   window_export CSV DESTINATION
#include "app/AppController/AppController.h"
#include "app/Dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <cstdio>
#include <deque>
#include <functional>

namespace {

class AnsweringDialogs : public Dialogs {
public:
    std::deque<QString> panels;
    QString lastReport;
    // What the window showed when the report came.
    QString barAtReport;
    QString statusAtReport;
    std::function<QString()> readBar;
    std::function<QString()> readStatus;

    int alert(const QString& title, const QString& text, const QStringList&,
              const QString&) override {
        if (title == QLatin1String("Report")) {
            lastReport = text;
            barAtReport = readBar();
            statusAtReport = readStatus();
        }
        return 0;
    }
    bool openFolder(const QString&) override { return true; }
    bool closeOpenAlerts() override { return false; }
    std::optional<QString> openPanel(const PanelRequest&) override {
        if (panels.empty()) {
            return std::nullopt;
        }
        QString path = panels.front();
        panels.pop_front();
        return path;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: window_export CSV DESTINATION\n");
        return 2;
    }
    AnsweringDialogs dialogs;
    dialogs.panels = {QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2])};
    Dialogs::setInstance(&dialogs);

    AppController window;
    window.show();
    // The export as the person sees it, start-up left out: from choosing the
    // file (which loads it) to the report.
    QElapsedTimer clock;
    clock.start();
    window.findChild<QPushButton*>("btnBrowseSourceFileOutlet")->click();
    window.findChild<QCheckBox*>("mapAllCkeckBoxOutlet")->click();
    window.findChild<QPushButton*>("btnBrowseDestinationFileOutlet")->click();
    auto* bar = window.findChild<QProgressBar*>("progressOutlet");
    auto* percent = window.findChild<QLabel*>("lblProgressStatus");
    dialogs.readBar = [bar] { return QString::number(bar->value()); };
    dialogs.readStatus = [percent] { return percent->text(); };
    // How often the bar moved while the run went on.
    int barUpdates = 0;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        if (value > 0) {
            ++barUpdates;
        }
    });
    window.findChild<QPushButton*>("btnImportOutlet")->click();
    // The application's own event loop runs until the export's thread has ended.
    double seconds = 0;
    QObject::connect(&window, &AppController::conversionEnded, &app, [&] {
        seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    std::printf("%.4f\n", seconds);
    std::fprintf(stderr, "window: %d bar moves; at the report the bar stood at %s, '%s';%s\n",
                 barUpdates, qPrintable(dialogs.barAtReport), qPrintable(dialogs.statusAtReport),
                 qPrintable(dialogs.lastReport));
    Dialogs::setInstance(nullptr);
    return dialogs.lastReport.isEmpty() ? 1 : 0;
}
