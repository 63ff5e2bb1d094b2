#include "engine/files/FileDestinations.h"

#include "engine/RunState.h"
#include "engine/Text.h"
#include "engine/cards/ContactPipeline.h"
#include "engine/files/Output.h"
#include "engine/log/Console.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

Destination::Outcome FolderDestination::deliver(const PreparedContact& contact,
                                                std::int64_t rowNumber) {
    if (!contact.card) {
        // Nothing is reserved for a card that does not exist: no empty file stays.
        return stopAt(Outcome::Stop, rowNumber, logtext::kStopNoCard);
    }
    g_count = 1;
    std::optional<std::string> path;
    if (contact.namingFailure) {
        console::log(*contact.namingFailure);
        path = std::string(kStopRun);
    } else {
        path = reserveVCardFile(contact.nameBase);
    }
    if (!path) {
        logOrConsole(text::fill(logtext::kInvalidName, rowNumber));
        return Outcome::NotWritten;
    }
    if (*path == kStopRun) {
        return stopAt(Outcome::StopNothingKept, rowNumber,
                      text::fill(logtext::kStopNoRunFolder, vcardOutputFolderPath));
    }
    if (createVcardFile(contact.card, *path)) {
        return Outcome::Written;
    }
    return stopAt(Outcome::Stop, rowNumber, logtext::kStopNotWritten);
}

void FolderDestination::close() {
    releaseReservedFile();
}

std::string FolderDestination::where() const {
    return vcardOutputFolderPath;
}

SingleFileDestination::SingleFileDestination(const std::string& fileName)
    : path_(vcardOutputFolderPath + fileName) {}

void SingleFileDestination::open() {
    file_.emplace();
    if (!file_->create(path_)) {
        logOrConsole(text::fill(logtext::kCreateFileFailed, path_));
        file_.reset();
    }
}

Destination::Outcome SingleFileDestination::deliver(const PreparedContact& contact,
                                                    std::int64_t rowNumber) {
    if (!file_) {
        return stopAt(Outcome::Stop, rowNumber, text::fill(logtext::kStopNoFile, path_));
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
    logOrConsole(text::fill(logtext::kSingleFileWriteFailed, first, path_, std::strerror(error)));
    cards_ -= lost;
    lost_ += lost;
    if (lost > 0) {
        lostFrom(first);
    }
    return stopAt(Outcome::Stop, first, logtext::kStopNotWritten);
}

void SingleFileDestination::close() {
    if (!file_) {
        return;
    }
    if (!file_->close()) {
        if (file_->unwritten() > 0) {
            writeFailed(0);
        } else {
            logOrConsole(text::fill(logtext::kSingleFileCloseFailed, path_, std::strerror(errno)));
        }
    }
    file_.reset();
    if (cards_ == 0) {
        std::remove(path_.c_str()); // a file without a card would pass for an export
    }
}

std::string SingleFileDestination::where() const {
    return vcardOutputFolderPath;
}
