// The single main window: the controller's form, a menu, and the quit question
// on every way of closing it.
#pragma once

#include <QMainWindow>

class AppController;
class AppDelegate;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // The window takes `controller` as its content, or makes its own.
    explicit MainWindow(AppDelegate* delegate, AppController* controller = nullptr,
                        QWidget* parent = nullptr);

    AppController* controller() const { return controller_; }
    // Loads the CSV file the desktop hands over on the command line (Open With,
    // the menu entry's %f): the first argument after the program's name.
    void openArguments(const QStringList& arguments);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The size of a first launch: as large as the pairs and the preview want,
    // as far as the screen allows.
    QSize defaultSize() const;

    AppDelegate* delegate_;
    AppController* controller_;
    // The quit question is open.
    bool askingToQuit_ = false;
    // The run's end closed the quit question before the user answered it: the
    // question comes again once the report is dismissed.
    bool askAgain_ = false;
};
