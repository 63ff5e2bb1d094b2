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

void ExportSession::dropJoinedRows(const std::function<bool(const std::string&)>& unwanted) {
    const auto rows = carriedRows();
    const std::size_t first = extras_.groups.size() + extras_.further.size();
    for (std::size_t i = rows.size(); i-- > first;) {
        if (unwanted(rows[i].column)) {
            dropRow(i); // from the last: the rows before keep their place
        }
    }
}

std::vector<PairLine> ExportSession::carryAgain(const std::vector<PairLine>& rows) {
    if (rows.empty()) {
        return {};
    }
    using Kind = PairLine::Kind;
    std::vector<TypedGroup> groups;
    NamePairing found = findByNames(groups);
    std::erase_if(groups, [&rows](const TypedGroup& group) {
        return !holds(rows, Kind::Typed, groupColumn(group));
    });
    std::erase_if(found.further, [&rows](const FurtherColumn& column) {
        return !holds(rows, Kind::Carried, column.header);
    });
    found.skipped.clear();
    carry(std::move(groups), found);
    dropJoinedRows([&rows](const std::string& shown) { return !holds(rows, Kind::Joined, shown); });
    publishPairs();
    const auto made = carriedRows();
    std::vector<PairLine> missing;
    for (const PairLine& row : rows) {
        if (std::none_of(made.begin(), made.end(),
                         [&row](const CarriedRow& r) { return r.column == row.header; })) {
            missing.push_back(row);
        }
    }
    return missing;
}
