// The two destinations in the run folder: one file per contact, named after
// the contact, and one file for every contact, named after the CSV file.
#pragma once

#include "engine/Destination.h"
#include "engine/files/SingleVcfFile.h"

#include <optional>
#include <string>

// One .vcf per contact in the run folder (made before the run starts); names are reserved by an
// exclusive create, so no existing file is ever overwritten.
class FolderDestination : public Destination {
public:
    void open() override {}
    Outcome deliver(const PreparedContact& contact, std::int64_t rowNumber) override;
    void close() override;
    // The run folder, vcardOutputFolderPath.
    std::string where() const override;
};

// Every card, in row order, in one .vcf; a card goes in whole or not at all.
// Cards go to the file several at a time: a write that fails takes back the
// cards it lost.
class SingleFileDestination : public Destination {
public:
    // The file `fileName` in the run folder, vcardOutputFolderPath.
    explicit SingleFileDestination(const std::string& fileName);

    void open() override;
    Outcome deliver(const PreparedContact& contact, std::int64_t rowNumber) override;
    // Closes the file; one that holds no card goes again.
    void close() override;
    // Cards answered Written that a failed write lost.
    std::int64_t notKept() const override { return lost_; }
    // The run folder the file is in.
    std::string where() const override;

private:
    // Logs the failed write and stops at its first lost card, taking back the
    // lost ones answered Written before; `rowNumber`'s own card is among them
    // when it is not 0.
    Outcome writeFailed(std::int64_t rowNumber);

    std::string path_;
    std::optional<SingleVcfFile> file_;
    std::int64_t cards_ = 0;
    std::int64_t lost_ = 0;
};
