// File names and file writing of a run: every contact's name is reserved by an
// exclusive create, so no existing file is ever overwritten.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What createFile found at a path.
enum CreateFileResult : int {
    FolderMissing = -2, // the folder that should hold the path is not there
    CreateFailed = -1,  // the file could not be created
    AlreadyExists = 0,  // a file or folder is there already
    Created = 1,        // an empty file now reserves the name
};

// The marker generateVCardFileName gives when the run must stop.
inline constexpr std::string_view kStopRun = "-1";

// FirstName and LastName joined, without "/" or control characters, cut to 30
// UTF-16 units plus "~" when longer (never inside a character).
std::string fileNameBase(std::string_view firstName, std::string_view lastName);

// "Olvenmark_" and the local time as "__dd_MM_yy__HH_mm_ss".
std::string runFolderName();

// Reserves a name for a path by creating an empty file there.
int createFile(const std::string& path);

// Reserves the contact's file in vcardOutputFolderPath: Name.vcf, Name(1).vcf,
// Name(2).vcf... or no_nameN.vcf without a name. No path when no file could be
// created; kStopRun when the run folder is missing or naming failed.
std::optional<std::string> generateVCardFileName(const std::vector<std::string>& record);

// The name base of a contact's file; none without FirstName and LastName.
std::optional<std::string> contactNameBase(const std::vector<std::string>& record);

// generateVCardFileName for a name base already made (none: a nameless contact).
std::optional<std::string> reserveVCardFile(const std::optional<std::string>& base);

// The console entry for a contact whose file could not be named.
std::string namingFailureEntry(const std::exception& e);

// Writes the text as UTF-8 into the (reserved) file; false when it was not written.
bool createVcardFile(const std::optional<std::string>& text, const std::string& path);

// Closes the file a reservation may still hold open on this thread.
void releaseReservedFile();
