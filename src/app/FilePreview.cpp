#include "app/FilePreview.h"

#include "app/UiTexts.h"
#include "engine/ExportSession.h"
#include "engine/Text.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QTableView>

#include <algorithm>
#include <iterator>

using uitext::counted;
using uitext::q;

namespace {

// A delimiter as the summary names it: its choice's label in small letters.
std::string delimiterName(const std::string& delimiter) {
    const auto* choice =
        std::find_if(std::begin(uitext::kDelimiterChoices), std::end(uitext::kDelimiterChoices),
                     [&](const uitext::ReadingChoice& c) { return c.word == delimiter; });
    return choice == std::end(uitext::kDelimiterChoices) ? delimiter
                                                         : q(choice->label).toLower().toStdString();
}

} // namespace

FilePreview::FilePreview(QLabel* summary, QTableView* rows, QPlainTextEdit* card, QObject* parent)
    : QObject(parent), summary_(summary), view_(rows), rows_(new QStandardItemModel(this)),
      card_(card) {
    // The summary keeps its line from the empty window to the loaded one.
    summary_->setMinimumHeight(summary_->fontMetrics().lineSpacing());
    rows->setModel(rows_);
    rows->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    card_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void FilePreview::showSummary(const ExportSession& session) {
    const CsvLoadDiagnostics& found = session.diagnostics();
    std::string line = text::fill(
        uitext::kFileSummary,
        counted(static_cast<std::size_t>(session.contacts()), uitext::kContact, uitext::kContacts),
        counted(session.headers().size(), uitext::kColumn, uitext::kColumns), found.encoding,
        delimiterName(found.delimiter));
    if (found.preambleLinesSkipped > 0) {
        line += counted(found.preambleLinesSkipped, uitext::kPreambleLineSkipped,
                        uitext::kPreambleSkipped);
    }
    if (found.footerLinesSkipped > 0) {
        line +=
            counted(found.footerLinesSkipped, uitext::kFooterLineSkipped, uitext::kFooterSkipped);
    }
    if (found.wideRows > 0) {
        line += counted(found.wideRows, uitext::kWideRowFound, uitext::kWideRowsFound);
    }
    if (found.shortRows > 0) {
        line += counted(found.shortRows, uitext::kShortRowFound, uitext::kShortRowsFound);
    }
    // What reading had to make of the file, in sentences of their own.
    for (const std::string& note : {found.unclosedQuoteNote, found.strayBytesNote}) {
        if (!note.empty()) {
            line += (line.ends_with('.') ? " " : ". ") + note;
        }
    }
    summary_->setText(q(line));
}

void FilePreview::showSummary(const QString& line) {
    summary_->setText(line);
}

void FilePreview::showRowsAndCard(const ExportSession& session) {
    auto rows = session.previewRows(5);
    if (rows != shownRows_) {
        showRows(rows);
        shownRows_ = std::move(rows);
    }
    // Line ends are shown, not printed: a strict card's CR LF reads as one break.
    const auto card = session.pairs().empty() ? std::nullopt : session.previewCard();
    card_->setPlainText(
        card ? QString::fromStdString(*card).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
             : QString());
}

void FilePreview::showRows(const std::vector<std::vector<std::string>>& rows) {
    auto* model = new QStandardItemModel(this);
    if (!rows.empty()) {
        QStringList header;
        for (const auto& name : rows.front()) {
            header.append(QString::fromStdString(name));
        }
        model->setHorizontalHeaderLabels(header);
        for (std::size_t r = 1; r < rows.size(); ++r) {
            QList<QStandardItem*> items;
            for (const auto& field : rows[r]) {
                items.append(new QStandardItem(QString::fromStdString(field)));
            }
            model->appendRow(items);
        }
    }
    // The view makes a selection model for the new model and leaves the old one to us.
    QItemSelectionModel* oldSelection = view_->selectionModel();
    view_->setModel(model);
    delete oldSelection;
    delete rows_;
    rows_ = model;
}

void FilePreview::clear() {
    summary_->clear();
    rows_->clear();
    shownRows_.clear();
    card_->clear();
}
