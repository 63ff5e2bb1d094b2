// The two destinations in the run folder: one file per contact, named after
// the contact, and one file for every contact, named after the CSV file.
#pragma once

#include "engine/Destination.h"
#include "engine/files/SingleVcfFile.h"

#include <optional>
#include <string>

// The run folder as it was made before the run, or why it was not.
struct RunFolder {
    // The folder the user chose, which the run folder goes into.
    std::string destination;
    // 0 when the run folder was made; else the errno that kept it from being made.
    int error = 0;
};

// What both file destinations share: the run folder, vcardOutputFolderPath,
// and a stop at the first contact, naming no folder, when it was not made.
class RunFolderDestination : public Destination {
public:
    explicit RunFolderDestination(RunFolder folder) : folder_(std::move(folder)) {}
    // The run folder; empty when it was not made.
    std::string where() const override;

protected:
    bool folderMade() const { return folder_.error == 0; }
    // Stops the run at the row, with the system's reason the folder was not made.
    Outcome noFolder(std::int64_t rowNumber);

private:
    RunFolder folder_;
};

// One .vcf per contact in the run folder; each card is written whole before it
// gets its name, and no existing file is ever overwritten.
class FolderDestination : public RunFolderDestination {
public:
    using RunFolderDestination::RunFolderDestination;
    void open() override {}
    // The run folder, once made.
    std::string aheadFolder() const override;
    Outcome deliver(const PreparedContact& contact, std::int64_t rowNumber) override;
    void close() override {}
};

// Every card, in row order, in one .vcf; a card goes in whole or not at all.
// Cards go to the file several at a time: a write that fails takes back the
// cards it lost.
class SingleFileDestination : public RunFolderDestination {
public:
    // The file `fileName` in the run folder.
    SingleFileDestination(RunFolder folder, const std::string& fileName);

    void open() override;
    Outcome deliver(const PreparedContact& contact, std::int64_t rowNumber) override;
    // Closes the file; one that holds no card goes again.
    void close() override;
    // Cards answered Written that a failed write lost.
    Afterwards afterwards() const override { return {.writtenNotKept = lost_}; }

private:
    // Logs the failed write and stops at its first lost card, taking back the
    // lost ones answered Written before; `rowNumber`'s own card is among them
    // when it is not 0.
    Outcome writeFailed(std::int64_t rowNumber);

    std::string path_;
    std::optional<SingleVcfFile> file_;
    // Why the file could not be created; 0 when it was.
    int createError_ = 0;
    std::int64_t cards_ = 0;
    std::int64_t lost_ = 0;
};
