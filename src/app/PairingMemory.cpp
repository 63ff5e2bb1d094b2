#include "app/PairingMemory.h"

#include "app/Settings.h"

#include <QCryptographicHash>

namespace {

constexpr auto kGroup = "pairings";
constexpr auto kRecent = "pairings/recent";

// The header row's names in order, as a key: each name is ended by a NUL,
// which no name holds, so that no two rows give the same text.
QString keyOf(const std::vector<std::string>& headers) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const auto& name : headers) {
        hash.addData(QByteArrayView(name.data(), static_cast<qsizetype>(name.size())));
        hash.addData(QByteArrayView("\0", 1));
    }
    return QString::fromLatin1(hash.result().toHex());
}

QString at(const QString& key, const char* field) {
    return QLatin1String(kGroup) + u'/' + key + u'/' + QLatin1String(field);
}

} // namespace

namespace pairingMemory {

std::optional<RememberedPairing> recall(const std::vector<std::string>& headers) {
    const QSettings stored = settings::store();
    const QString key = keyOf(headers);
    if (!stored.value(QLatin1String(kRecent)).toStringList().contains(key)) {
        return std::nullopt;
    }
    return RememberedPairing{stored.value(at(key, "pairs")).toString(),
                             stored.value(at(key, "format")).toString(),
                             stored.value(at(key, "singleFile")).toBool(),
                             stored.value(at(key, "keepUnpaired")).toBool()};
}

void remember(const std::vector<std::string>& headers, const RememberedPairing& pairing) {
    QSettings stored = settings::store();
    const QString key = keyOf(headers);
    QStringList recent = stored.value(QLatin1String(kRecent)).toStringList();
    recent.removeAll(key);
    recent.prepend(key);
    while (recent.size() > kHeaderRows) {
        stored.remove(QLatin1String(kGroup) + u'/' + recent.takeLast());
    }
    stored.setValue(QLatin1String(kRecent), recent);
    stored.setValue(at(key, "pairs"), pairing.pairs);
    stored.setValue(at(key, "format"), pairing.format);
    stored.setValue(at(key, "singleFile"), pairing.singleFile);
    stored.setValue(at(key, "keepUnpaired"), pairing.keepUnpaired);
}

} // namespace pairingMemory
