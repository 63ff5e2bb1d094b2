#include "app/MainWindow.h"

#include "app/AppController/AppController.h"
#include "app/AppDelegate.h"
#include "app/Dialogs.h"
#include "app/Settings.h"
#include "app/UiTexts.h"
#include "engine/Text.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include <utility>

MainWindow::MainWindow(AppDelegate* delegate, AppController* controller, QWidget* parent)
    : QMainWindow(parent), delegate_(delegate),
      controller_(controller != nullptr ? controller : new AppController(this)) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Olvenmark"));
    setWindowIcon(QIcon(QStringLiteral(":/Default.png")));
    setCentralWidget(controller_);
    if (!restoreGeometry(settings::value(settings::Key::WindowGeometry).toByteArray())) {
        resize(defaultSize());
    }

    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* open =
        file->addAction(tr("&Open CSV File…"), controller_, &AppController::btnBrowseClicked);
    open->setObjectName(QStringLiteral("actionOpen"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    // A file can be opened whenever the source Browse… button could be pressed.
    connect(controller_, &AppController::phaseChanged, open,
            [open](WindowPhase phase) { open->setEnabled(!isBusy(phase)); });
    file->addSeparator();
    QAction* quit = file->addAction(tr("&Quit"), this, &QWidget::close);
    quit->setObjectName(QStringLiteral("actionQuit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setShortcutContext(Qt::ApplicationShortcut);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&About Olvenmark"), this, [] {
        Dialogs::instance().alert(uitext::q(uitext::kAboutTitle),
                                  uitext::q(text::fill(uitext::kAbout, uitext::kVersion)),
                                  {uitext::q(uitext::kOk)});
    });
    Dialogs::setParentWindow(this);

    // The wish to quit outlives the run that ended under its question.
    connect(controller_, &AppController::openQuestionsClosed, this,
            [this] { askAgain_ = askAgain_ || askingToQuit_; });
    connect(controller_, &AppController::conversionEnded, this, [this] {
        if (std::exchange(askAgain_, false)) {
            QTimer::singleShot(0, this, &QWidget::close);
        }
    });
}

QSize MainWindow::defaultSize() const {
    // Room for the pairs and the preview, within the screen the desktop's
    // panels leave, less a title bar.
    const QSize wanted(1200, 740);
    const QScreen* shown = screen();
    return shown == nullptr ? wanted
                            : wanted.boundedTo(shown->availableGeometry().size() - QSize(0, 40));
}

void MainWindow::openArguments(const QStringList& arguments) {
    if (arguments.size() > 1) {
        // Absolute, so that the field and the remembered folder say where it is.
        controller_->loadDroppedFile(QFileInfo(arguments.at(1)).absoluteFilePath());
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (delegate_ != nullptr) {
        askingToQuit_ = true;
        const bool quit = delegate_->applicationShouldTerminate(isBusy(controller_->phase()));
        askingToQuit_ = false;
        if (!quit) {
            event->ignore();
            return;
        }
    }
    settings::setValue(settings::Key::WindowGeometry, saveGeometry());
    controller_->prepareToQuit();
    event->accept();
}
