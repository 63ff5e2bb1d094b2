#include "app/Settings.h"

#include "app/UiTexts.h"

#include <QSettings>

namespace {

// An INI file in the user's configuration folder (~/.config/Olvenmark/).
QSettings store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Olvenmark"),
                     QStringLiteral("Olvenmark"));
}

} // namespace

namespace settings {

QString lastCsvFolder() {
    return store().value(QStringLiteral("files/lastCsvFolder")).toString();
}

void setLastCsvFolder(const QString& folder) {
    store().setValue(QStringLiteral("files/lastCsvFolder"), folder);
}

QString lastExportFolder() {
    return store().value(QStringLiteral("files/lastExportFolder")).toString();
}

void setLastExportFolder(const QString& folder) {
    store().setValue(QStringLiteral("files/lastExportFolder"), folder);
}

QString cardDavUrl() {
    return store().value(QStringLiteral("carddav/url")).toString();
}

void setCardDavUrl(const QString& url) {
    store().setValue(QStringLiteral("carddav/url"), url);
}

QString cardDavUser() {
    return store().value(QStringLiteral("carddav/user")).toString();
}

void setCardDavUser(const QString& user) {
    store().setValue(QStringLiteral("carddav/user"), user);
}

bool rememberPassword() {
    return store().value(QStringLiteral("carddav/rememberPassword"), false).toBool();
}

void setRememberPassword(bool on) {
    store().setValue(QStringLiteral("carddav/rememberPassword"), on);
}

QString cardDavCaFile() {
    return store().value(QStringLiteral("carddav/caFile")).toString();
}

void setCardDavCaFile(const QString& path) {
    store().setValue(QStringLiteral("carddav/caFile"), path);
}

QString csvEncoding() {
    return store().value(QStringLiteral("reading/encoding"), QStringLiteral("auto")).toString();
}

void setCsvEncoding(const QString& word) {
    store().setValue(QStringLiteral("reading/encoding"), word);
}

QString csvDelimiter() {
    return store().value(QStringLiteral("reading/delimiter"), QStringLiteral("auto")).toString();
}

void setCsvDelimiter(const QString& word) {
    store().setValue(QStringLiteral("reading/delimiter"), word);
}

QString destination() {
    return store().value(QStringLiteral("files/destination")).toString();
}

void setDestination(const QString& folder) {
    store().setValue(QStringLiteral("files/destination"), folder);
}

QByteArray windowGeometry() {
    return store().value(QStringLiteral("window/geometry")).toByteArray();
}

void setWindowGeometry(const QByteArray& geometry) {
    store().setValue(QStringLiteral("window/geometry"), geometry);
}

CardFormat cardFormat() {
    const QSettings settings = store();
    const QString word = settings.value(QStringLiteral("output/format")).toString();
    if (const auto format = parseCardFormat(word.toStdString())) {
        return *format;
    }
    return settings.value(QStringLiteral("output/strict"), false).toBool() ? CardFormat::Strict
                                                                           : CardFormat::Classic;
}

void setCardFormat(CardFormat format) {
    QSettings settings = store();
    settings.setValue(QStringLiteral("output/format"), uitext::q(cardFormatInfo(format).word));
    settings.remove(QStringLiteral("output/strict"));
}

bool singleFile() {
    return store().value(QStringLiteral("output/singleFile"), false).toBool();
}

void setSingleFile(bool on) {
    store().setValue(QStringLiteral("output/singleFile"), on);
}

bool keepUnpaired() {
    return store().value(QStringLiteral("output/keepUnpaired"), false).toBool();
}

void setKeepUnpaired(bool on) {
    store().setValue(QStringLiteral("output/keepUnpaired"), on);
}

} // namespace settings
