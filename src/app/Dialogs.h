// Alerts and open panels behind one small layer, so that tests can answer
// them in advance instead of a person.
#pragma once

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <optional>
#include <string_view>

class QWidget;

// What an open panel offers and where it starts.
struct PanelRequest {
    QString title;
    QString message;
    QString startFolder;
    // True to choose one folder; false to choose one file of fileType.
    bool chooseFolder = false;
    // The ending of the files offered, without its dot; several are separated by spaces.
    QString fileType;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A modal alert; answers the index of the pressed button (0 is the default).
    // The detail, when given, stands below the text.
    virtual int alert(const QString& title, const QString& text, const QStringList& buttons,
                      const QString& detail = {}) = 0;
    // A modal open panel; the chosen path, or none when cancelled.
    virtual std::optional<QString> openPanel(const PanelRequest& request) = 0;
    // Shows a folder in the desktop's file manager; false when the desktop could not.
    virtual bool openFolder(const QString& folder) = 0;
    // Closes the alerts still open with their safe answer; true when there were any.
    virtual bool closeOpenAlerts() = 0;

    // The layer the application uses; the real widgets unless a test set another.
    static Dialogs& instance();
    // Replaces the layer (not owned); nullptr restores the real widgets.
    static void setInstance(Dialogs* dialogs);
    // Window the real alerts and panels are modal to.
    static void setParentWindow(QWidget* window);
    // Shows the error log's alerts through this layer (from the main thread;
    // from any other thread they go to the console).
    static void routeLogAlerts();
};

// An alert of the application's layer with the window's own texts; the
// index of the pressed button.
int ask(std::string_view title, std::string_view text,
        std::initializer_list<std::string_view> buttons, std::string_view detail = {});

// The real layer: QMessageBox and QFileDialog. Escape, or closing an alert's
// window, gives its safe answer: "No" where there is one, else the first button.
class WidgetDialogs : public Dialogs {
public:
    int alert(const QString& title, const QString& text, const QStringList& buttons,
              const QString& detail = {}) override;
    std::optional<QString> openPanel(const PanelRequest& request) override;
    bool openFolder(const QString& folder) override;
    bool closeOpenAlerts() override;
};
