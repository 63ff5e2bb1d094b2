#include "app/Settings.h"

#include <QLocale>

namespace {

struct Entry {
    settings::Key key;
    const char* name;
    QVariant fallback;
};

// Every remembered choice: its key in ~/.config/Olvenmark/Olvenmark.ini and its
// value before the user chose one.
const Entry kEntries[] = {
    {settings::Key::LastCsvFolder, "files/lastCsvFolder", QString()},
    {settings::Key::Destination, "files/destination", QString()},
    {settings::Key::LastExportFolder, "files/lastExportFolder", QString()},
    {settings::Key::CsvEncoding, "reading/encoding", QStringLiteral("auto")},
    {settings::Key::CsvDelimiter, "reading/delimiter", QStringLiteral("auto")},
    {settings::Key::WindowGeometry, "window/geometry", QByteArray()},
    {settings::Key::CardFormat, "output/format", QString()},
    {settings::Key::SingleFile, "output/singleFile", false},
    {settings::Key::KeepUnpaired, "output/keepUnpaired", false},
    {settings::Key::MergePeople, "output/merge", false},
    {settings::Key::InternationalPhones, "output/internationalPhones", false},
    {settings::Key::PhoneRegion, "output/phoneRegion", QString()},
    {settings::Key::CardDavUrl, "carddav/url", QString()},
    {settings::Key::CardDavUser, "carddav/user", QString()},
    {settings::Key::CardDavCaFile, "carddav/caFile", QString()},
    {settings::Key::RememberPassword, "carddav/rememberPassword", false},
    {settings::Key::ReplacePrevious, "carddav/replacePrevious", false},
};

// Earlier versions kept only whether cards were strict.
constexpr const char* kLegacyStrict = "output/strict";

const Entry& entry(settings::Key key) {
    const Entry& found = kEntries[static_cast<int>(key)];
    Q_ASSERT(found.key == key); // the table follows the order of the keys
    return found;
}

} // namespace

namespace settings {

QSettings store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Olvenmark"),
                     QStringLiteral("Olvenmark"));
}

QVariant value(Key key) {
    const QSettings stored = store();
    const Entry& e = entry(key);
    if (key == Key::CardFormat && !stored.contains(QLatin1String(e.name))) {
        return stored.value(QLatin1String(kLegacyStrict), false).toBool() ? QStringLiteral("strict")
                                                                          : QString();
    }
    if (key == Key::PhoneRegion && !stored.contains(QLatin1String(e.name))) {
        return QLocale::territoryToCode(QLocale::system().territory());
    }
    return stored.value(QLatin1String(e.name), e.fallback);
}

void setValue(Key key, const QVariant& value) {
    QSettings stored = store();
    stored.setValue(QLatin1String(entry(key).name), value);
    if (key == Key::CardFormat) {
        stored.remove(QLatin1String(kLegacyStrict));
    }
}

} // namespace settings
