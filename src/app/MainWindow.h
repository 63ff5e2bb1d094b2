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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppDelegate* delegate_;
    AppController* controller_;
};
