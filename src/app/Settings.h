// The choices the window remembers across launches, each under one key of a
// single table: where the last CSV file was, the destination, the last
// export's folder, how files are read, the window's size, the output choices
// and the address book server. The password is never among them.
#pragma once

#include <QSettings>
#include <QVariant>

namespace settings {

enum class Key {
    LastCsvFolder,    // the folder of the last CSV file chosen
    Destination,      // the last destination folder
    LastExportFolder, // the run folder of the last export, for Open last export folder
    CsvEncoding,      // how the CSV file is read, each choice by its word
    CsvDelimiter,
    WindowGeometry, // the main window's saved geometry
    CardFormat,     // the card format by its word
    SingleFile,
    KeepUnpaired,
    MergePeople,         // One card per person
    InternationalPhones, // Telephone numbers in international form
    PhoneRegion,         // the region of numbers without a country code; the desktop's at first
    CardDavUrl,          // the address book server's URL and the user name
    CardDavUser,
    CardDavCaFile,    // the certificate file trusted besides the system's
    RememberPassword, // whether Remember password is ticked
    ReplacePrevious,  // whether an upload replaces the cards of the file's last upload
};

// The value kept under the key, or the key's default the first time. A card
// format stored by earlier versions (strict or not) is read when there is no word.
// The phone region is the desktop's locale country until one is chosen.
QVariant value(Key key);
void setValue(Key key, const QVariant& value);

// Where they are kept: an INI file in the user's configuration folder
// (~/.config/Olvenmark/Olvenmark.ini).
QSettings store();

} // namespace settings
