// File names and file writing of a run: every card is written whole before it
// gets its name, and a name is given only where no file is, so no existing
// file is ever overwritten and no name ever holds a cut-off card.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class UnnamedCard;

// What one candidate name came to.
enum CreateFileResult : int {
    FolderMissing = -2, // the folder that should hold the path is not there
    CreateFailed = -1,  // the file could not be made
    AlreadyExists = 0,  // a file or folder is there already
    Created = 1,        // the card now has this name
};

// What became of one contact's card.
struct PlacedCard {
    enum Result {
        Written,     // the card is in the file at `path`
        NameRefused, // the file system takes no file of this name: this contact only
        Stopped,     // no card can go into the folder now; `error` says why
        FolderGone,  // the run folder is not there (any more)
    };
    Result result;
    // The card's file; for NameRefused and Stopped, the name it failed at (if any).
    std::string path;
    // The errno of a failure, 0 when written.
    int error = 0;
};

// FirstName and LastName joined, without "/", control characters, marks that
// turn the text's direction or dots in front, cut to 30 UTF-16 units plus "~"
// when longer (never inside a character).
std::string fileNameBase(std::string_view firstName, std::string_view lastName);

// "Olvenmark_" and the local time as "__dd_MM_yy__HH_mm_ss".
std::string runFolderName();

// The name base of a contact's file; none without FirstName and LastName, or
// when they hold no letter or digit. The card keeps the names as they are.
std::optional<std::string> contactNameBase(const std::vector<std::string>& record);

// The console entry for a contact whose file could not be named.
std::string namingFailureEntry(const std::exception& e);

// Writes the card into vcardOutputFolderPath under the first free name of the
// name base: Name.vcf, Name(1).vcf, Name(2).vcf... or no_nameN.vcf without
// one. A file that could not be written whole leaves no name behind.
PlacedCard createVcardFile(std::string_view card, const std::optional<std::string>& base);
// The same for a card that may have been written ahead into `file`: named
// when it was, its write's failure when that failed, else written now.
PlacedCard placeVcardFile(UnnamedCard& file, std::string_view card,
                          const std::optional<std::string>& base);
