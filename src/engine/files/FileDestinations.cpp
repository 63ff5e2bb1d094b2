#include "engine/files/FileDestinations.h"

#include "engine/RunState.h"
#include "engine/Text.h"
#include "engine/cards/ContactPipeline.h"
#include "engine/files/Output.h"
#include "engine/files/UnnamedCard.h"
#include "engine/log/Console.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"

#include <cerrno>
#include <cstdio>

std::string RunFolderDestination::where() const {
    return folderMade() ? vcardOutputFolderPath : std::string();
}

Destination::Outcome RunFolderDestination::noFolder(std::int64_t rowNumber) {
    return stopAt(Outcome::StopNothingKept, rowNumber,
                  text::fill(logtext::kStopNoRunFolder, folder_.destination,
                             text::systemReason(folder_.error)));
}

std::string FolderDestination::aheadFolder() const {
    return folderMade() ? vcardOutputFolderPath : std::string();
}

Destination::Outcome FolderDestination::deliver(const PreparedContact& contact,
                                                std::int64_t rowNumber) {
    if (!folderMade()) {
        return noFolder(rowNumber);
    }
    if (!contact.card) {
        return stopAt(Outcome::Stop, rowNumber, logtext::kStopNoCard);
    }
    if (contact.namingFailure) {
        console::log(*contact.namingFailure);
        return stopAt(Outcome::Stop, rowNumber, logtext::kStopNotWritten);
    }
    g_count = 1;
    const PlacedCard placed = placeVcardFile(contact.cardFile, *contact.card, contact.nameBase);
    switch (placed.result) {
    case PlacedCard::Written:
        return Outcome::Written;
    case PlacedCard::NameRefused:
        logOrConsole(text::fill(logtext::kInvalidName, rowNumber));
        return Outcome::NotWritten;
    case PlacedCard::FolderGone:
        // The cards written before it are still where the folder went.
        return stopAt(Outcome::Stop, rowNumber,
                      text::fill(logtext::kStopFolderGone, vcardOutputFolderPath));
    case PlacedCard::Stopped:
        break;
    }
    return stopAt(Outcome::Stop, rowNumber, text::systemReason(placed.error));
}

SingleFileDestination::SingleFileDestination(RunFolder folder, const std::string& fileName)
    : RunFolderDestination(std::move(folder)), path_(vcardOutputFolderPath + fileName) {}

void SingleFileDestination::open() {
    if (!folderMade()) {
        return;
    }
    file_.emplace();
    if (!file_->create(path_)) {
        createError_ = errno;
        logOrConsole(text::fill(logtext::kCreateFileFailed, path_));
        file_.reset();
    }
}

Destination::Outcome SingleFileDestination::deliver(const PreparedContact& contact,
                                                    std::int64_t rowNumber) {
    if (!folderMade()) {
        return noFolder(rowNumber);
    }
    if (!file_) {
        return stopAt(Outcome::Stop, rowNumber,
                      text::fill(logtext::kStopNoFile, path_, text::systemReason(createError_)));
    }
    if (!contact.card) {
        return stopAt(Outcome::Stop, rowNumber, logtext::kStopNoCard);
    }
    if (file_->append(*contact.card, rowNumber)) {
        ++cards_;
        return Outcome::Written;
    }
    return writeFailed(rowNumber);
}

Destination::Outcome SingleFileDestination::writeFailed(std::int64_t rowNumber) {
    const int error = errno;
    const std::int64_t first = file_->firstUnwrittenRow();
    // The card in hand was never answered Written.
    const std::int64_t lost = file_->unwritten() - (rowNumber != 0 ? 1 : 0);
    logOrConsole(
        text::fill(logtext::kSingleFileWriteFailed, first, path_, text::systemReason(error)));
    cards_ -= lost;
    lost_ += lost;
    if (lost > 0) {
        lostFrom(first);
    }
    return stopAt(Outcome::Stop, first, text::systemReason(error));
}

void SingleFileDestination::close() {
    if (!file_) {
        return;
    }
    if (!file_->close()) {
        if (file_->unwritten() > 0) {
            writeFailed(0);
        } else {
            logOrConsole(
                text::fill(logtext::kSingleFileCloseFailed, path_, text::systemReason(errno)));
        }
    }
    file_.reset();
    if (cards_ == 0) {
        std::remove(path_.c_str()); // a file without a card would pass for an export
    }
}
