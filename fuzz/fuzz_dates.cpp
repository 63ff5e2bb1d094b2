// The date reader: what it reads as a date is a calendar date whose ISO form
// reads back as the same date in either order; a column's order changes no
// value it calls order-free; no value or birthday part crashes it.
#include "FuzzCheck.h"
#include "engine/cards/Dates.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace dates;

namespace {

constexpr DateOrder kOrders[] = {DateOrder::MonthFirst, DateOrder::DayFirst};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (const DateOrder order : kOrders) {
        const ReadDate read = readDate(input, order);
        if (read.kind != DateKind::Date) {
            continue;
        }
        FUZZ_CHECK(isCalendarDate(read.date));
        const std::string iso = isoDate(read.date);
        for (const DateOrder again : kOrders) {
            const ReadDate back = readDate(iso, again);
            FUZZ_CHECK(back.kind == DateKind::Date && back.date == read.date);
        }
    }

    // The input's lines as a column.
    std::vector<std::string> column;
    std::size_t start = 0;
    while (start <= input.size()) {
        const auto end = std::min(input.find('\n', start), input.size());
        column.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }
    const ColumnOrder found = detectDateOrder(column, DateOrder::MonthFirst);
    if (found.basis == OrderBasis::NotNeeded) {
        FUZZ_CHECK(found.order == DateOrder::MonthFirst);
        for (const std::string& value : column) {
            const ReadDate a = readDate(value, DateOrder::MonthFirst);
            const ReadDate b = readDate(value, DateOrder::DayFirst);
            FUZZ_CHECK(a.kind == b.kind && a.date == b.date);
        }
    }
    // Any lines as a birthday's year, month and day.
    birthdayFromParts(column, {0, 1, 2});
    return 0;
}
