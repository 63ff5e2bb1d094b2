#include "app/Dialogs.h"

#include "app/UiTexts.h"
#include "engine/log/Console.h"
#include "engine/log/myLog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QTreeView>
#include <QUrl>

#include <algorithm>

namespace {
Dialogs* current = nullptr;
QPointer<QWidget> parentWindow;
// The alerts open now, innermost last.
QList<QPointer<QMessageBox>> openAlerts;
} // namespace

Dialogs& Dialogs::instance() {
    static WidgetDialogs widgets;
    return current != nullptr ? *current : widgets;
}

void Dialogs::setInstance(Dialogs* dialogs) {
    current = dialogs;
}

void Dialogs::setParentWindow(QWidget* window) {
    parentWindow = window;
}

void Dialogs::routeLogAlerts() {
    myLog::setAlertHook(
        [](const std::string& title, const std::string& text, const std::string& button) {
            if (QThread::currentThread() == qApp->thread()) {
                instance().alert(QString::fromStdString(title), QString::fromStdString(text),
                                 {QString::fromStdString(button)});
            } else {
                console::log(title + ": " + text);
            }
        });
}

int ask(std::string_view title, std::string_view text,
        std::initializer_list<std::string_view> buttons, std::string_view detail) {
    QStringList labels;
    for (const auto button : buttons) {
        labels.append(uitext::q(button));
    }
    return Dialogs::instance().alert(uitext::q(title), uitext::q(text), labels, uitext::q(detail));
}

int WidgetDialogs::alert(const QString& title, const QString& text, const QStringList& buttons,
                         const QString& detail) {
    QMessageBox box(parentWindow);
    box.setWindowTitle(title);
    box.setIcon(QMessageBox::NoIcon);
    // Texts are shown as they are: a path with "<" or "%" means nothing special.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setInformativeText(detail);
    QList<QPushButton*> pushButtons;
    for (int i = 0; i < buttons.size(); ++i) {
        const auto role = i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole;
        pushButtons.append(box.addButton(buttons.at(i), role));
    }
    const int safe = std::max(0, static_cast<int>(buttons.indexOf(uitext::q(uitext::kNo))));
    if (!pushButtons.isEmpty()) {
        box.setDefaultButton(pushButtons.first());
        box.setEscapeButton(pushButtons.at(safe));
    }
    openAlerts.append(&box);
    box.exec();
    openAlerts.removeAll(&box);
    const int index = pushButtons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    return index < 0 ? safe : index;
}

bool WidgetDialogs::closeOpenAlerts() {
    bool closed = false;
    for (const auto& box : openAlerts) {
        if (box) {
            box->reject(); // as Escape: the clicked button is the safe one
            closed = true;
        }
    }
    return closed;
}

bool WidgetDialogs::openFolder(const QString& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

std::optional<QString> WidgetDialogs::openPanel(const PanelRequest& request) {
    QFileDialog dialog(parentWindow, request.title, request.startFolder);
    // Qt's own dialog, so that the panel can show its message.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (request.chooseFolder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
        const QStringList endings = request.fileType.split(u' ', Qt::SkipEmptyParts);
        dialog.setNameFilter(
            QStringLiteral("%1 files (*.%2)")
                .arg(endings.join(u'/').toUpper(), endings.join(QStringLiteral(" *."))));
    }
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        auto* message = new QLabel(request.message, &dialog);
        message->setObjectName(QStringLiteral("panelMessage"));
        message->setTextFormat(Qt::PlainText);
        grid->addWidget(message, grid->rowCount(), 0, 1, grid->columnCount());
    }
    dialog.resize(900, 560); // wide enough for the name, size and date columns
    // The size, type and date read whole; the name takes the rest.
    if (auto* files = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        files->header()->setStretchLastSection(false);
        files->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        files->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QDir::cleanPath(dialog.selectedFiles().constFirst());
}
