// What the session keeps of the user's own decisions on the pairing: the rows
// removed since the file was loaded, which pairing by names leaves out, and
// the carried rows a pairs file names again.
#include "engine/ExportSession.h"

#include <algorithm>

namespace {

bool holds(const std::vector<PairLine>& lines, PairLine::Kind kind, const std::string& header,
           const std::string& property = {}) {
    return std::any_of(lines.begin(), lines.end(), [&](const PairLine& line) {
        return line.kind == kind && line.header == header && line.property == property;
    });
}

} // namespace

void ExportSession::leaveOutRemoved(NamePairing& found, std::vector<TypedGroup>& groups) const {
    using Kind = PairLine::Kind;
    std::erase_if(found.pairs, [this](const ColumnPair& pair) {
        return holds(removals_, Kind::Pair, pair.header, pair.property);
    });
    std::erase_if(groups, [this](const TypedGroup& group) {
        return holds(removals_, Kind::Typed, groupColumn(group));
    });
    std::erase_if(found.further, [this](const FurtherColumn& column) {
        return holds(removals_, Kind::Carried, column.header);
    });
}

std::vector<PairLine> ExportSession::carryAgain(const std::vector<PairLine>& rows) {
    std::vector<TypedGroup> groups;
    NamePairing found = findByNames(groups);
    std::erase_if(groups, [&rows](const TypedGroup& group) {
        return !holds(rows, PairLine::Kind::Typed, groupColumn(group));
    });
    std::erase_if(found.further, [&rows](const FurtherColumn& column) {
        return !holds(rows, PairLine::Kind::Carried, column.header);
    });
    found.skipped.clear();
    std::vector<PairLine> missing;
    for (const PairLine& row : rows) {
        const bool there =
            row.kind == PairLine::Kind::Typed
                ? std::any_of(groups.begin(), groups.end(),
                              [&row](const TypedGroup& g) { return groupColumn(g) == row.header; })
                : std::any_of(found.further.begin(), found.further.end(),
                              [&row](const FurtherColumn& c) { return c.header == row.header; });
        if (!there) {
            missing.push_back(row);
        }
    }
    carry(std::move(groups), found);
    publishPairs();
    return missing;
}
