// The choices the window remembers across launches: where the last CSV file
// was, the destination, the last export's folder, the window's size and the
// output choices, and the address book server.
#pragma once

#include "engine/ExportOptions.h"

#include <QByteArray>
#include <QString>

namespace settings {

// The folder of the last CSV file chosen; empty the first time.
QString lastCsvFolder();
void setLastCsvFolder(const QString& folder);
// The last destination folder; empty the first time.
QString destination();
void setDestination(const QString& folder);
// The run folder of the last export, for Open last export folder; empty the first time.
QString lastExportFolder();
void setLastExportFolder(const QString& folder);
// How the CSV file is read, each choice by its word ("auto" the first time).
QString csvEncoding();
void setCsvEncoding(const QString& word);
QString csvDelimiter();
void setCsvDelimiter(const QString& word);
// The main window's saved geometry; empty the first time.
QByteArray windowGeometry();
void setWindowGeometry(const QByteArray& geometry);
// The output choices of the export group. The card format is kept by its word;
// a choice stored by earlier versions (strict or not) is read when there is no word.
CardFormat cardFormat();
void setCardFormat(CardFormat format);
bool singleFile();
void setSingleFile(bool on);
// The address book server's URL and the user name; the password is never kept here.
QString cardDavUrl();
void setCardDavUrl(const QString& url);
QString cardDavUser();
void setCardDavUser(const QString& user);
// Whether Remember password is ticked; the password itself lives in the keyring.
bool rememberPassword();
void setRememberPassword(bool on);
// The certificate file trusted for the server besides the system's; empty for none.
QString cardDavCaFile();
void setCardDavCaFile(const QString& path);
// Whether the values of unpaired columns go into each card's note.
bool keepUnpaired();
void setKeepUnpaired(bool on);

} // namespace settings
