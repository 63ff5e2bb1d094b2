#include "engine/cards/VCard.h"

#include "engine/Text.h"
#include "engine/cards/ClassicCard.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"

std::string renderVCard(const std::vector<std::string>& record, std::string_view version) {
    return ClassicCard(version).write(ContactRecord{record, {}}, {});
}

std::string renderStrictVCard(const std::vector<std::string>& record, std::string_view uid) {
    return strictCardWriter().write(ContactRecord{record, {}}, uid);
}

std::string renderFailureEntry(const std::exception& e) {
    return text::fill(logtext::kVCardException, text::exceptionName(e), e.what());
}

std::optional<std::string> vCardRepresentation(const std::vector<std::string>& record,
                                               std::string_view version) {
    try {
        return renderVCard(record, version);
    } catch (const std::exception& e) {
        logOrConsole(renderFailureEntry(e));
        return std::nullopt;
    }
}
