// Birthdays as contact exports write them (6/1/1972, 01.06.1972, 1972-06-01,
// 1 juin 1972, 06/01, --06-01 ...) read as calendar dates, and the order of
// day and month found once for a whole column.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dates {

// Which part of a date like 06/01/1972 is the day.
enum class DateOrder {
    MonthFirst, // month/day/year, as US exports write it
    DayFirst,   // day/month/year, as most of the world writes it
};

// A calendar date; year 0 for a date without a year.
struct Date {
    int year = 0;
    int month = 0;
    int day = 0;

    bool operator==(const Date&) const = default;
};

// What a birthday value turned out to be.
enum class DateKind {
    Date,        // a calendar date, with or without its year
    Placeholder, // empty, or a stand-in for "none": 0/0/00, 00.00.0000, 1/1/1601 ...
    Text,        // anything else; it is kept as text
};

struct ReadDate {
    DateKind kind = DateKind::Text;
    // The date, for DateKind::Date.
    Date date;
};

// Reads a birthday value. Numbers with slashes or dashes whose day and month
// could be swapped are read in the order given; a date with dots puts the day
// first; a part above 12 can only be the day. Two-digit years fall in the
// hundred years up to this one. A time after the date is ignored.
ReadDate readDate(std::string_view value, DateOrder order = DateOrder::MonthFirst);

// True for a month from 1 to 12 and a day that month has; February 29 only in
// a leap year, or in a date without a year. A year, when given, has four digits.
bool isCalendarDate(const Date& date);

// ISO 8601: "1972-06-01"; without a year "--06-01", as the ISO truncated form,
// which every common vCard reader takes as a date without a year.
std::string isoDate(const Date& date);

// What decided the order of a column.
enum class OrderBasis {
    NotNeeded, // no value whose day and month could be swapped
    Values,    // parts above 12 in the values
    Language,  // the header's language (no value tells, or the values disagree evenly)
};

struct ColumnOrder {
    DateOrder order = DateOrder::MonthFirst;
    OrderBasis basis = OrderBasis::NotNeeded;
};

// The order of a column's dates: the one its values' parts above 12 show (the
// more of them, if the values disagree), else the hint.
ColumnOrder detectDateOrder(const std::vector<std::string>& values, DateOrder hint);

// The columns of a birthday given in parts ("Birth Year", "Birth Month",
// "Birth Day"); the year's column is kNone without one.
struct BirthParts {
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t year = kNone;
    std::size_t month = kNone;
    std::size_t day = kNone;

    // True when the column is one of the parts.
    bool holds(std::size_t column) const {
        return column != kNone && (column == year || column == month || column == day);
    }
};

// The birthday of a row's part fields: an ISO date where they make one, else
// the parts that are there joined by "-" (kept as text), or empty.
std::string birthdayFromParts(const std::vector<std::string>& fields, const BirthParts& parts);

} // namespace dates
