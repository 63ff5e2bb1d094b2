// What the loaded file looks like: the summary line under it, its first rows
// and the first contact's card exactly as it will be written.
#pragma once

#include <QObject>

#include <string>
#include <vector>

class ExportSession;
class QLabel;
class QPlainTextEdit;
class QStandardItemModel;
class QTableView;

class FilePreview : public QObject {
    Q_OBJECT

public:
    // Shows into the given widgets, which outlive it; the rows' model is its own.
    FilePreview(QLabel* summary, QTableView* rows, QPlainTextEdit* card, QObject* parent);

    // Says how many contacts and columns the session's file holds, how it was
    // read, and what was left out or looks wrong.
    void showSummary(const ExportSession& session);
    // Shows a line of its own in place of the summary, such as a refusal.
    void showSummary(const QString& line);
    // Shows the file's first rows and the card the session's pairs make of the first contact.
    void showRowsAndCard(const ExportSession& session);
    // Shows nothing.
    void clear();

private:
    // Fills a new model with the rows and puts it in the view in one go, so
    // that the columns are measured once.
    void showRows(const std::vector<std::vector<std::string>>& rows);

    QLabel* summary_;
    QTableView* view_;
    QStandardItemModel* rows_;
    QPlainTextEdit* card_;
    // What the table shows: a change of pairs leaves it as it is.
    std::vector<std::vector<std::string>> shownRows_;
};
