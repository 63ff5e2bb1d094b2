#include "engine/ExportSession.h"

#include "engine/RunState.h"
#include "engine/Text.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"
#include "engine/newConvertor.h"
#include "engine/pair/HeaderNames.h"
#include "engine/pair/Properties.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace {

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

void removeEvery(std::vector<std::string>& names, const std::string& name) {
    names.erase(std::remove(names.begin(), names.end(), name), names.end());
}

// Properties that pairing by position may fill: the first 30, so that
// pairings made before the later properties came behave as they did.
bool pairableByPosition(const std::string& name) {
    const auto p = property::positionOf(name);
    return p && *p < property::kPairedInOrder;
}

const std::vector<std::string> kNoNames;

} // namespace

ExportSession::ExportSession() = default;

// The thread, the last member, asks the run to stop and joins it before
// anything the run reports into goes.
ExportSession::~ExportSession() = default;

ExportSession::LoadStatus ExportSession::load(const std::string& path) {
    if (running()) {
        return LoadStatus::Busy; // the running thread still reads the loaded text
    }
    wait();
    objConvertor = std::make_shared<newConvertor>();
    objConvertor->setLoadOptions(loadOptions_);
    contacts_ = objConvertor->startStep1(path, this);
    diagnostics_ = objConvertor->loadDiagnostics();
    clearPairs();
    return contacts_ > 0 ? LoadStatus::Loaded : LoadStatus::Refused;
}

std::string ExportSession::invalidFileMessage(const std::string& path) {
    return text::fill(logtext::kInvalidCsv, text::lastPathComponent(path));
}

std::string ExportSession::refusalSentence() const {
    std::string sentence = diagnostics_.refusalReason;
    if (!sentence.empty()) {
        sentence[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(sentence[0])));
        sentence += '.';
    }
    return sentence;
}

// The lists stay the converter's; the session asks for them when it needs them.
void ExportSession::addCSVHeadersToComboBox(const std::vector<std::string>&) {}

void ExportSession::addVcardPropertiesToComboBox(const std::vector<std::string>&) {}

const std::vector<std::string>& ExportSession::headers() const {
    return objConvertor && contacts_ > 0 ? objConvertor->headers() : kNoNames;
}

const std::vector<std::string>& ExportSession::properties() const {
    return objConvertor && contacts_ > 0 ? objConvertor->properties() : kNoNames;
}

void ExportSession::publishPairs() {
    userMappingDictionary.clear();
    for (const auto& pair : pairs_) {
        userMappingDictionary[std::string(pair.propertyName())] = pair.header;
    }
}

std::vector<IndexPair> ExportSession::indexPairs() const {
    std::vector<IndexPair> pairs;
    pairs.reserve(pairs_.size());
    for (const auto& pair : pairs_) {
        pairs.push_back({pair.property, pair.column});
    }
    return pairs;
}

std::vector<std::string> ExportSession::freeColumns() const {
    std::vector<std::string> names;
    names.reserve(freeColumns_.size());
    for (const std::size_t column : freeColumns_) {
        names.push_back(headers()[column]);
    }
    return names;
}

bool ExportSession::columnIsFree(std::size_t index) const {
    return std::find(freeColumns_.begin(), freeColumns_.end(), index) != freeColumns_.end();
}

void ExportSession::takeColumn(std::size_t index) {
    const std::string& name = headers()[index];
    std::erase_if(freeColumns_, [&](std::size_t free) { return headers()[free] == name; });
}

ExportSession::PairResult ExportSession::pair(const std::string& column,
                                              const std::string& property) {
    const bool columnFree =
        std::any_of(freeColumns_.begin(), freeColumns_.end(),
                    [&](std::size_t free) { return headers()[free] == column; });
    if (!columnFree) {
        return PairResult::UnknownColumn;
    }
    if (!contains(freeProperties_, property)) {
        return PairResult::UnknownProperty;
    }
    // A name stands for its leftmost column, as the index map reads it.
    const auto& names = headers();
    const auto at =
        static_cast<std::size_t>(std::find(names.begin(), names.end(), column) - names.begin());
    takeColumn(at);
    removeEvery(freeProperties_, property);
    pairs_.push_back({at, column, *property::positionOf(property), {}});
    publishPairs();
    return PairResult::Paired;
}

std::optional<ExportSession::Pair> ExportSession::unpair(std::size_t index) {
    if (index >= pairs_.size()) {
        return std::nullopt;
    }
    Pair removed = pairs_[index];
    pairs_.erase(pairs_.begin() + static_cast<std::ptrdiff_t>(index));
    publishPairs();
    removals_.push_back(
        {PairLine::Kind::Pair, std::string(removed.propertyName()), removed.header});
    // Both names come back exactly as they were, at the end of their lists.
    freeColumns_.push_back(removed.column);
    freeProperties_.emplace_back(removed.propertyName());
    return removed;
}

bool ExportSession::canPair(const std::string& column, const std::string& property) const {
    return std::any_of(freeColumns_.begin(), freeColumns_.end(),
                       [&](std::size_t free) { return headers()[free] == column; }) &&
           contains(freeProperties_, property);
}

std::vector<std::string> ExportSession::propertiesByPosition() const {
    std::vector<std::string> properties;
    for (const auto& name : freeProperties_) {
        if (pairableByPosition(name)) {
            properties.push_back(name);
        }
    }
    return properties;
}

std::size_t ExportSession::remainingByPosition() const {
    return std::min(freeColumns_.size(), propertiesByPosition().size());
}

std::size_t ExportSession::pairAllRemaining() {
    const std::vector<std::string> properties = propertiesByPosition();
    const std::size_t n = std::min(freeColumns_.size(), properties.size());
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t column = freeColumns_[i];
        pairs_.push_back({column, headers()[column], *property::positionOf(properties[i]), {}});
        removeEvery(freeProperties_, properties[i]);
    }
    publishPairs();
    // Only the paired entries leave the column list: a repeated header name
    // further on may still be paired.
    freeColumns_.erase(freeColumns_.begin(), freeColumns_.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

namespace {

// How many first rows pairing by names reads values from.
constexpr std::size_t kSampleRows = 500;

// Every column of a typed group.
std::vector<const TypedColumn*> columnsOf(const TypedGroup& group) {
    std::vector<const TypedColumn*> columns = {&group.label, &group.value};
    for (const auto& part : group.address) {
        columns.push_back(&part);
    }
    for (const auto& part : group.addressExtra) {
        columns.push_back(&part);
    }
    return columns;
}

// The column indexes the pairs, typed groups and further columns take; a
// pair takes the leftmost column of its name.
std::set<std::size_t> takenColumns(const std::vector<ExportSession::Pair>& pairs,
                                   const ColumnExtras& extras) {
    std::set<std::size_t> taken;
    for (const auto& pair : pairs) {
        taken.insert(pair.column);
    }
    for (const auto& group : extras.groups) {
        for (const TypedColumn* column : columnsOf(group)) {
            if (column->index != TypedColumn::kNoColumn) {
                taken.insert(column->index);
            }
        }
    }
    for (const auto& further : extras.further) {
        taken.insert(further.index);
    }
    if (const auto& parts = extras.birthParts) {
        for (const std::size_t column : {parts->year, parts->month, parts->day}) {
            taken.insert(column); // a year the layout lacks is kNone, which no column has
        }
    }
    for (const auto& joined : extras.houseNumbers) {
        taken.insert({joined.number, joined.addition});
    }
    for (const auto& joined : extras.particles) {
        taken.insert(joined.particle);
    }
    return taken;
}

} // namespace

NamePairing ExportSession::findByNames(std::vector<TypedGroup>& groups) const {
    NamePairingInput input;
    input.headers = headers();
    if (objConvertor && contacts_ > 0) {
        input.sample = objConvertor->previewRows(kSampleRows);
        if (!input.sample.empty()) {
            input.sample.erase(input.sample.begin()); // the header row
        }
    }
    for (const auto& pair : pairs_) {
        input.pairedProperties.emplace(pair.propertyName());
    }
    // The header's typed groups not taken yet, and none of whose columns a pair holds.
    const std::set<std::size_t> taken = takenColumns(pairs_, extras_);
    groups = detectTypedGroups(input.headers);
    std::erase_if(groups, [&taken](const TypedGroup& group) {
        const auto columns = columnsOf(group);
        return std::any_of(columns.begin(), columns.end(),
                           [&taken](const TypedColumn* c) { return taken.contains(c->index); });
    });
    ColumnExtras all = extras_;
    all.groups.insert(all.groups.end(), groups.begin(), groups.end());
    input.takenColumns = takenColumns(pairs_, all);
    NamePairing found = pairColumnsByName(input);
    leaveOutRemoved(found, groups);
    return found;
}

std::size_t ExportSession::remainingByNames() const {
    std::vector<TypedGroup> groups;
    std::size_t n = 0;
    for (const auto& found : findByNames(groups).pairs) {
        n += columnIsFree(found.column) && contains(freeProperties_, found.property) ? 1 : 0;
    }
    return n;
}

std::size_t ExportSession::pairByNames() {
    std::vector<TypedGroup> groups;
    NamePairing found = findByNames(groups);
    std::size_t n = 0;
    for (const auto& pair : found.pairs) {
        if (!columnIsFree(pair.column) || !contains(freeProperties_, pair.property)) {
            continue;
        }
        const property::Position p = *property::positionOf(pair.property);
        std::erase(freeColumns_, pair.column);
        removeEvery(freeProperties_, pair.property);
        pairs_.push_back({pair.column, pair.header, p, pair.basis, pair.againstWords});
        logOrConsole(text::fill(
            logtext::kColumnPaired, pair.header, pair.basis,
            logtext::kKindWords[static_cast<int>(property::descriptorOf(p).kind)], pair.property));
        ++n;
    }
    carry(std::move(groups), found);
    publishPairs();
    return n;
}

void ExportSession::carry(std::vector<TypedGroup> groups, NamePairing& found) {
    // The columns of a typed group follow their own row's label from now on.
    if (!groups.empty()) {
        for (const auto& group : groups) {
            for (const TypedColumn* column : columnsOf(group)) {
                std::erase(freeColumns_, column->index);
            }
        }
        logOrConsole(text::fill(logtext::kTypedGroupsUsed, groups.size()));
        extras_.groups.insert(extras_.groups.end(), groups.begin(), groups.end());
    }
    for (auto& further : found.further) {
        logOrConsole(further.use == FurtherColumn::Use::NoteLine
                         ? text::fill(logtext::kColumnToNote, further.header, further.basis)
                         : text::fill(logtext::kColumnCarried, further.header, further.basis,
                                      further.lineName()));
        std::erase(freeColumns_, further.index);
        extras_.further.push_back(std::move(further));
    }
    for (const auto& skipped : found.skipped) {
        logOrConsole(skipped.why == SkippedColumn::Why::PartsPaired
                         ? text::fill(logtext::kAddressInParts, skipped.header)
                         : text::fill(logtext::kColumnLeftOut, skipped.header, skipped.basis));
    }
    takeJoinedColumns(found);
    // What the user removed since the file was loaded stays out.
    dropJoinedRows([this](const std::string& shown) {
        return std::any_of(removals_.begin(), removals_.end(), [&shown](const PairLine& line) {
            return line.kind == PairLine::Kind::Joined && line.header == shown;
        });
    });
}

void ExportSession::takeJoinedColumns(const NamePairing& found) {
    const bool birthday = found.birthParts && !extras_.birthParts && !birthdayPaired();
    for (const auto& joined : found.joined) {
        const bool part = found.birthParts && found.birthParts->holds(joined.column);
        if (part && !birthday) {
            continue; // a birthday paired already: the parts are no part of it
        }
        logOrConsole(text::fill(logtext::kColumnJoined, joined.header, joined.basis, joined.into));
        std::erase(freeColumns_, joined.column);
    }
    if (birthday) {
        extras_.birthParts = found.birthParts;
    }
    extras_.houseNumbers.insert(extras_.houseNumbers.end(), found.houseNumbers.begin(),
                                found.houseNumbers.end());
    extras_.particles.insert(extras_.particles.end(), found.particles.begin(),
                             found.particles.end());
}

bool ExportSession::birthdayPaired() const {
    return std::any_of(pairs_.begin(), pairs_.end(),
                       [](const Pair& p) { return p.property == property::Birthday; });
}

const std::string& ExportSession::groupColumn(const TypedGroup& group) {
    const TypedColumn* first = &group.value;
    for (const TypedColumn* column : columnsOf(group)) {
        if (column != &group.label && column->index < first->index) {
            first = column;
        }
    }
    return first->header;
}

std::vector<ExportSession::CarriedRow> ExportSession::carriedRows() const {
    std::vector<CarriedRow> rows;
    for (const auto& group : extras_.groups) {
        rows.push_back(
            {groupColumn(group), text::fill(logtext::kTypedByLabel, property::lineOf(group.kind))});
    }
    for (const auto& further : extras_.further) {
        std::string becomes = further.use == FurtherColumn::Use::NoteLine
                                  ? std::string(logtext::kIntoTheNote)
                                  : further.lineName();
        for (const auto& type : further.types) {
            becomes += ";" + type;
        }
        rows.push_back({further.header, becomes});
    }
    const auto names = [this](std::initializer_list<std::size_t> columns) {
        std::string joined;
        for (const std::size_t column : columns) {
            if (column < headers().size()) {
                joined += (joined.empty() ? "" : ", ") + headers()[column];
            }
        }
        return joined;
    };
    if (const auto& parts = extras_.birthParts) {
        rows.push_back({names({parts->year, parts->month, parts->day}),
                        std::string(property::descriptorOf(property::Birthday).line)});
    }
    for (const auto& joined : extras_.houseNumbers) {
        rows.push_back({names({joined.number, joined.addition}),
                        text::fill(logtext::kJoinedTo, names({joined.street}))});
    }
    for (const auto& joined : extras_.particles) {
        rows.push_back(
            {names({joined.particle}), text::fill(logtext::kJoinedTo, names({joined.family}))});
    }
    return rows;
}

bool ExportSession::dropCarried(std::size_t index) {
    const auto rows = carriedRows();
    if (index < rows.size()) {
        const std::size_t typed = extras_.groups.size();
        const auto kind = index < typed                            ? PairLine::Kind::Typed
                          : index < typed + extras_.further.size() ? PairLine::Kind::Carried
                                                                   : PairLine::Kind::Joined;
        removals_.push_back({kind, {}, rows[index].column});
    }
    return dropRow(index);
}

bool ExportSession::dropRow(std::size_t index) {
    const auto giveBack = [this](std::size_t column) {
        if (column < headers().size() && !headers()[column].empty() && !columnIsFree(column)) {
            freeColumns_.push_back(column);
        }
    };
    const auto dropFrom = [&index, &giveBack](auto& list, auto&& columnsOfEntry) {
        if (index >= list.size()) {
            index -= list.size();
            return false;
        }
        for (const std::size_t column : columnsOfEntry(list[index])) {
            giveBack(column);
        }
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
        return true;
    };
    const auto groupColumns = [](const TypedGroup& group) {
        std::vector<std::size_t> columns;
        for (const TypedColumn* column : columnsOf(group)) {
            columns.push_back(column->index);
        }
        return columns;
    };
    if (dropFrom(extras_.groups, groupColumns) ||
        dropFrom(extras_.further,
                 [](const FurtherColumn& f) { return std::vector<std::size_t>{f.index}; })) {
        return true;
    }
    if (extras_.birthParts) {
        if (index == 0) {
            const auto parts = *extras_.birthParts;
            extras_.birthParts.reset();
            for (const std::size_t column : {parts.year, parts.month, parts.day}) {
                giveBack(column);
            }
            return true;
        }
        --index;
    }
    return dropFrom(extras_.houseNumbers,
                    [](const HouseNumberColumns& h) {
                        return std::vector<std::size_t>{h.number, h.addition};
                    }) ||
           dropFrom(extras_.particles,
                    [](const FamilyParticle& f) { return std::vector<std::size_t>{f.particle}; });
}

std::vector<ExportSession::UnpairedColumn> ExportSession::unpairedColumns() const {
    std::vector<UnpairedColumn> unpaired;
    if (!objConvertor || contacts_ == 0) {
        return unpaired;
    }
    const auto& names = headers();
    const std::set<std::size_t> taken = takenColumns(pairs_, extras_);
    if (taken.size() >= names.size()) {
        return unpaired; // every column is taken: no need to count the file's cells
    }
    const auto& counts = objConvertor->columnValueCounts();
    for (std::size_t i = 0; i < names.size() && i < counts.size(); ++i) {
        if (counts[i] > 0 && !taken.contains(i)) {
            unpaired.push_back({i, names[i], counts[i]});
        }
    }
    return unpaired;
}

ColumnExtras ExportSession::runExtras() const {
    ColumnExtras extras = extras_;
    if (birthdayPaired()) {
        extras.birthParts.reset(); // a column paired by hand wins over the parts
    }
    if (options_.keepUnpaired) {
        for (const auto& column : unpairedColumns()) {
            extras.further.push_back(noteLineColumn(column.column, column.header));
        }
    }
    return extras;
}

void ExportSession::clearPairs() {
    extras_ = {};
    pairs_.clear();
    removals_.clear();
    publishPairs();
    freeColumns_.clear();
    for (std::size_t i = 0; i < headers().size(); ++i) {
        if (!headers()[i].empty()) {
            freeColumns_.push_back(i);
        }
    }
    freeProperties_ = properties();
}

std::optional<std::string> ExportSession::previewCard() const {
    if (!objConvertor || contacts_ == 0) {
        return std::nullopt;
    }
    return objConvertor->previewFirstCard(indexPairs(), runExtras(), options_);
}

std::vector<std::vector<std::string>> ExportSession::previewRows(std::size_t count) const {
    return objConvertor && contacts_ > 0 ? objConvertor->previewRows(count)
                                         : std::vector<std::vector<std::string>>{};
}

bool ExportSession::check() {
    if (!objConvertor || running()) {
        return false;
    }
    for (const auto& column : unpairedColumns()) {
        logOrConsole(
            text::fill(options_.keepUnpaired ? logtext::kUnpairedKept : logtext::kUnpairedLeftOut,
                       column.header, column.values));
    }
    return objConvertor->startStep2(indexPairs(), runExtras());
}

bool ExportSession::start(const std::string& folder, std::function<void()> ended) {
    return launch(
        [folder, options = options_](newConvertor& convertor, std::stop_token cancel) {
            convertor.startStep3(std::move(cancel), folder, options);
        },
        std::move(ended));
}

bool ExportSession::start(std::shared_ptr<Destination> destination, std::function<void()> ended) {
    if (!destination) {
        return false;
    }
    return launch(
        [destination, options = options_](newConvertor& convertor, std::stop_token cancel) {
            convertor.startStep3(std::move(cancel), *destination, options);
        },
        std::move(ended));
}

bool ExportSession::launch(std::function<void(newConvertor&, std::stop_token)> body,
                           std::function<void()> ended) {
    if (!objConvertor || running()) {
        return false;
    }
    wait();
    progress_ = 0;
    {
        const std::lock_guard lock(mutex_);
        ended_ = false;
        report_.reset();
    }
    // The new thread may ask cancelRequested() before thread_ holds it: the
    // lock makes it wait for the assignment.
    const std::lock_guard lock(mutex_);
    thread_ = std::jthread([this, convertor = objConvertor, body = std::move(body),
                            ended = std::move(ended)](std::stop_token cancel) {
        body(*convertor, std::move(cancel));
        {
            const std::lock_guard lock(mutex_);
            ended_ = true;
        }
        endedSignal_.notify_all();
        if (ended) {
            ended();
        }
    });
    return true;
}

void ExportSession::cancel() {
    thread_.request_stop();
}

bool ExportSession::cancelRequested() const {
    const std::lock_guard lock(mutex_);
    return thread_.get_stop_token().stop_requested();
}

void ExportSession::wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool ExportSession::waitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return endedSignal_.wait_for(lock, timeout, [this] { return ended_; });
}

bool ExportSession::running() const {
    const std::lock_guard lock(mutex_);
    return !ended_;
}

std::optional<RunReport> ExportSession::report() const {
    const std::lock_guard lock(mutex_);
    return report_;
}

std::string ExportSession::runFolder() const {
    const std::lock_guard lock(mutex_);
    return report_ ? report_->folder : std::string();
}

float ExportSession::progressShare() const {
    return contacts_ > 0 ? progressIncrementByValue : 0.0f;
}

void ExportSession::setProgressObserver(std::function<void(std::int64_t)> observer) {
    progressObserver_ = std::move(observer);
}

void ExportSession::notify(float) {
    const std::int64_t done = progress_.fetch_add(1, std::memory_order_relaxed) + 1;
    if (progressObserver_) {
        progressObserver_(done);
    }
}

void ExportSession::finalNotify(const RunReport& report) {
    const std::lock_guard lock(mutex_);
    report_ = report;
}
