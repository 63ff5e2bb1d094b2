#include "engine/cards/Dates.h"

#include "engine/Text.h"

#include "engine/pair/ValueShapes.h"
#include "engine/pair/Words.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <span>
#include <variant>

namespace dates {

namespace {

// ---- Characters and words

using text::isDigit;
using text::isLetter;

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// ---- Tokens of a value

enum class TokenKind { Number, Word, Symbol };

struct Token {
    TokenKind kind;
    std::string_view text;
};

// More tokens than any written date has.
constexpr std::size_t kMaxTokens = 12;

// Runs of digits, runs of letters, and single other characters; blanks only
// separate. Stops after kMaxTokens + 1 tokens.
std::vector<Token> tokens(std::string_view s) {
    std::vector<Token> out;
    std::size_t i = 0;
    while (i < s.size() && out.size() <= kMaxTokens) {
        if (s[i] == ' ' || s[i] == '\t') {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        TokenKind kind = TokenKind::Symbol;
        if (isDigit(s[i])) {
            kind = TokenKind::Number;
            while (end < s.size() && isDigit(s[end])) {
                ++end;
            }
        } else if (isLetter(s[i])) {
            kind = TokenKind::Word;
            while (end < s.size() && isLetter(s[end])) {
                ++end;
            }
        }
        out.push_back({kind, s.substr(i, end - i)});
        i = end;
    }
    return out;
}

bool isNumber(const Token& t, std::size_t minDigits, std::size_t maxDigits) {
    return t.kind == TokenKind::Number && t.text.size() >= minDigits && t.text.size() <= maxDigits;
}

bool isSymbol(const Token& t, char c) {
    return t.kind == TokenKind::Symbol && t.text.front() == c;
}

// The value of at most nine digits.
int number(std::string_view digits) {
    int n = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), n);
    return n;
}

// The value without a time after the date: "1972-06-01T00:00:00Z",
// "6/1/1972 12:00:00 AM", "1972-06-01 00:00:00.000+02:00".
std::string_view withoutTime(std::string_view s) {
    const auto colon = s.find(':');
    if (colon == std::string_view::npos) {
        return s;
    }
    std::size_t start = colon;
    while (start > 0 && isDigit(s[start - 1])) {
        --start;
    }
    if (start < 2 || (s[start - 1] != 'T' && s[start - 1] != ' ')) {
        return s;
    }
    for (const char c : s.substr(start)) {
        if (!isDigit(c) && std::string_view(":.,+-Zz AMPamp").find(c) == std::string_view::npos) {
            return s;
        }
    }
    const std::string_view date = trimmed(s.substr(0, start - 1));
    return date.empty() ? s : date;
}

// ---- Months

struct MonthName {
    std::string_view name;
    int month;
};

// Month names and their usual short forms in English, German, French,
// Spanish, Italian, Dutch and Portuguese, lower case.
constexpr MonthName kMonthNames[] = {
    {"january", 1},   {"jan", 1},        {"januar", 1},    {"jaenner", 1},    {"janvier", 1},
    {"janv", 1},      {"enero", 1},      {"ene", 1},       {"gennaio", 1},    {"gen", 1},
    {"januari", 1},   {"janeiro", 1},    {"february", 2},  {"feb", 2},        {"februar", 2},
    {"fevrier", 2},   {"fevr", 2},       {"fev", 2},       {"febrero", 2},    {"febbraio", 2},
    {"februari", 2},  {"fevereiro", 2},  {"march", 3},     {"mar", 3},        {"maerz", 3},
    {"maer", 3},      {"mrz", 3},        {"mars", 3},      {"marzo", 3},      {"maart", 3},
    {"mrt", 3},       {"marco", 3},      {"april", 4},     {"apr", 4},        {"avril", 4},
    {"avr", 4},       {"abril", 4},      {"abr", 4},       {"aprile", 4},     {"may", 5},
    {"mai", 5},       {"mayo", 5},       {"maggio", 5},    {"mag", 5},        {"mei", 5},
    {"maio", 5},      {"june", 6},       {"jun", 6},       {"juni", 6},       {"juin", 6},
    {"junio", 6},     {"giugno", 6},     {"giu", 6},       {"junho", 6},      {"july", 7},
    {"jul", 7},       {"juli", 7},       {"juillet", 7},   {"juil", 7},       {"julio", 7},
    {"luglio", 7},    {"lug", 7},        {"julho", 7},     {"august", 8},     {"aug", 8},
    {"aout", 8},      {"agosto", 8},     {"ago", 8},       {"augustus", 8},   {"september", 9},
    {"sep", 9},       {"sept", 9},       {"septembre", 9}, {"septiembre", 9}, {"setiembre", 9},
    {"settembre", 9}, {"set", 9},        {"setembro", 9},  {"october", 10},   {"oct", 10},
    {"oktober", 10},  {"okt", 10},       {"octobre", 10},  {"octubre", 10},   {"ottobre", 10},
    {"ott", 10},      {"outubro", 10},   {"out", 10},      {"november", 11},  {"nov", 11},
    {"novembre", 11}, {"noviembre", 11}, {"novembro", 11}, {"december", 12},  {"dec", 12},
    {"dezember", 12}, {"dez", 12},       {"decembre", 12}, {"diciembre", 12}, {"dic", 12},
    {"dicembre", 12}, {"dezembro", 12},
};

// 1 to 12 for a month's name or short form, else 0.
int monthNamed(std::string_view word) {
    const std::string lower = words::folded(word);
    for (const MonthName& m : kMonthNames) {
        if (lower == m.name) {
            return m.month;
        }
    }
    return 0;
}

// ---- Reading

// A date whose first two numbers may be day and month either way, as written.
struct Swappable {
    int first = 0;
    int second = 0;
    int year = 0;
    std::size_t yearDigits = 0; // 0 without a year
    bool dots = false;
};

// A date whose parts are known, the year as written.
struct Fixed {
    Date date;
    std::size_t yearDigits = 0;
};

using Written = std::variant<std::monostate, Fixed, Swappable>;

// Numbers only: 19720601, --0601, --06-01, 1972-06-01, and with one kind of
// separator (/, - or .) d/m/y, m/d/y, d/m and m/d; "01.06." as well.
Written numericForm(const std::vector<Token>& t) {
    if (t.size() == 1 && isNumber(t[0], 8, 8)) {
        const std::string_view s = t[0].text;
        return Fixed{{number(s.substr(0, 4)), number(s.substr(4, 2)), number(s.substr(6, 2))}, 4};
    }
    if (t.size() >= 3 && isSymbol(t[0], '-') && isSymbol(t[1], '-')) {
        if (t.size() == 3 && isNumber(t[2], 4, 4)) {
            return Fixed{{0, number(t[2].text.substr(0, 2)), number(t[2].text.substr(2))}, 0};
        }
        if (t.size() == 5 && isNumber(t[2], 1, 2) && isSymbol(t[3], '-') && isNumber(t[4], 1, 2)) {
            return Fixed{{0, number(t[2].text), number(t[4].text)}, 0};
        }
        return {};
    }
    if (t.size() < 3 || t[1].kind != TokenKind::Symbol) {
        return {};
    }
    const char separator = t[1].text.front();
    if (separator != '/' && separator != '-' && separator != '.') {
        return {};
    }
    const bool dots = separator == '.';
    // "01.06." and "01.06.1972." end in a dot of their own.
    const std::size_t size =
        dots && t.size() % 2 == 0 && isSymbol(t.back(), '.') ? t.size() - 1 : t.size();
    if (size == 3 && isNumber(t[0], 1, 2) && isNumber(t[2], 1, 2)) {
        return Swappable{number(t[0].text), number(t[2].text), 0, 0, dots};
    }
    if (size != 5 || !isSymbol(t[3], separator) || !isNumber(t[2], 1, 2)) {
        return {};
    }
    if (isNumber(t[0], 4, 4) && isNumber(t[4], 1, 2)) {
        return Fixed{{number(t[0].text), number(t[2].text), number(t[4].text)}, 4};
    }
    if (isNumber(t[0], 1, 2) && (isNumber(t[4], 2, 2) || isNumber(t[4], 4, 4))) {
        return Swappable{number(t[0].text), number(t[2].text), number(t[4].text), t[4].text.size(),
                         dots};
    }
    return {};
}

// A month's name with numbers: "June 1, 1972", "1 juin 1972", "1. Juni 1972",
// "1 de junio de 1972", "1st June 1972", "1972 Jun 1", "June 1", "1 Jun".
Written namedForm(const std::vector<Token>& all) {
    std::vector<Token> t;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Token& token = all[i];
        if (token.kind == TokenKind::Symbol) {
            if (token.text != "," && token.text != "." && token.text != "-" && token.text != "/") {
                return {};
            }
            continue;
        }
        if (token.kind == TokenKind::Word) {
            const std::string word = words::folded(token.text);
            const bool filler = word == "de" || word == "del" || word == "of" || word == "the";
            const bool ordinal = (word == "st" || word == "nd" || word == "rd" || word == "th" ||
                                  word == "er" || word == "\xC2\xBA") &&
                                 i > 0 && all[i - 1].kind == TokenKind::Number;
            if (filler || ordinal) {
                continue;
            }
        }
        t.push_back(token);
    }
    const auto month = [](const Token& token) {
        return token.kind == TokenKind::Word ? monthNamed(token.text) : 0;
    };
    const auto day = [](const Token& token) { return isNumber(token, 1, 2); };
    const auto year = [](const Token& token) { return isNumber(token, 4, 4); };
    const auto lastYear = [](const Token& token) {
        return isNumber(token, 4, 4) || isNumber(token, 2, 2);
    };
    if (t.size() == 3) {
        if (month(t[0]) != 0 && day(t[1]) && lastYear(t[2])) {
            return Fixed{{number(t[2].text), month(t[0]), number(t[1].text)}, t[2].text.size()};
        }
        if (day(t[0]) && month(t[1]) != 0 && lastYear(t[2])) {
            return Fixed{{number(t[2].text), month(t[1]), number(t[0].text)}, t[2].text.size()};
        }
        if (year(t[0]) && month(t[1]) != 0 && day(t[2])) {
            return Fixed{{number(t[0].text), month(t[1]), number(t[2].text)}, 4};
        }
    } else if (t.size() == 2) {
        if (month(t[0]) != 0 && day(t[1])) {
            return Fixed{{0, month(t[0]), number(t[1].text)}, 0};
        }
        if (day(t[0]) && month(t[1]) != 0) {
            return Fixed{{0, month(t[1]), number(t[0].text)}, 0};
        }
    }
    return {};
}

Written writtenForm(std::string_view value) {
    const std::vector<Token> t = tokens(withoutTime(value));
    if (t.empty() || t.size() > kMaxTokens) {
        return {};
    }
    Written written = numericForm(t);
    if (std::holds_alternative<std::monostate>(written)) {
        written = namedForm(t);
    }
    return written;
}

// Stand-ins for "no date" that exports write: all zeros, Windows' first day
// (1601-01-01, Outlook's "none") and .NET's (0001-01-01).
bool isPlaceholder(int year, int month, int day) {
    if (year == 0 && month == 0 && day == 0) {
        return true;
    }
    return month == 1 && day == 1 && (year == 1601 || year == 1);
}

int thisYear() {
    static const int year = [] {
        const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
        return static_cast<int>(std::chrono::year_month_day(today).year());
    }();
    return year;
}

// The year as a date has it: four digits as written, two digits within the
// hundred years up to this one, -1 for any other count, 0 without a year.
int fullYear(int year, std::size_t digits) {
    switch (digits) {
    case 0:
        return 0;
    case 4:
        return year;
    case 2: {
        const int y = thisYear() / 100 * 100 + year;
        return y > thisYear() ? y - 100 : y;
    }
    default:
        return -1;
    }
}

// Both readings of a swappable date that are calendar dates.
struct Readings {
    std::optional<Date> dayFirst;
    std::optional<Date> monthFirst;
};

Readings readings(const Swappable& s) {
    const int year = fullYear(s.year, s.yearDigits);
    Readings r;
    if (const Date d{year, s.second, s.first}; isCalendarDate(d)) {
        r.dayFirst = d;
    }
    if (const Date d{year, s.first, s.second}; isCalendarDate(d)) {
        r.monthFirst = d;
    }
    return r;
}

ReadDate dateOrText(const std::optional<Date>& date) {
    return date ? ReadDate{DateKind::Date, *date} : ReadDate{};
}

// A part's field, trimmed; empty where the row is too short.
std::string_view partField(const std::vector<std::string>& fields, std::size_t column) {
    return column < fields.size()
               ? shapes::withoutZeroFraction(shapes::unwrapped(trimmed(fields[column])))
               : std::string_view();
}

// The number of a part made only of digits (at most four), else -1; the month
// may also be a month's name.
int partNumber(std::string_view text, bool month) {
    if (!text.empty() && text.size() <= 4 && std::all_of(text.begin(), text.end(), isDigit)) {
        return number(text);
    }
    const int named = month ? monthNamed(text) : 0;
    return named != 0 ? named : -1;
}

} // namespace

bool isCalendarDate(const Date& d) {
    static constexpr std::array<int, 12> kDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if ((d.year != 0 && (d.year < 1000 || d.year > 9999)) || d.month < 1 || d.month > 12 ||
        d.day < 1 || d.day > kDays[static_cast<std::size_t>(d.month - 1)]) {
        return false;
    }
    const bool leap = d.year == 0 || (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    return d.month != 2 || d.day != 29 || leap;
}

std::string isoDate(const Date& d) {
    char buffer[32];
    if (d.year == 0) {
        std::snprintf(buffer, sizeof buffer, "--%02d-%02d", d.month, d.day);
    } else {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", d.year, d.month, d.day);
    }
    return buffer;
}

ReadDate readDate(std::string_view value, DateOrder order) {
    value = trimmed(value);
    if (value.empty()) {
        return {DateKind::Placeholder, {}};
    }
    const Written written = writtenForm(value);
    if (const auto* fixed = std::get_if<Fixed>(&written)) {
        const Date& d = fixed->date;
        if (isPlaceholder(d.year, d.month, d.day)) {
            return {DateKind::Placeholder, {}};
        }
        const Date date{fullYear(d.year, fixed->yearDigits), d.month, d.day};
        return dateOrText(isCalendarDate(date) ? std::optional(date) : std::nullopt);
    }
    if (const auto* s = std::get_if<Swappable>(&written)) {
        if (isPlaceholder(s->year, s->first, s->second)) {
            return {DateKind::Placeholder, {}};
        }
        const Readings r = readings(*s);
        if (r.dayFirst && r.monthFirst) {
            return dateOrText(s->dots || order == DateOrder::DayFirst ? r.dayFirst : r.monthFirst);
        }
        return dateOrText(r.dayFirst ? r.dayFirst : r.monthFirst);
    }
    return {};
}

ColumnOrder detectDateOrder(const std::vector<std::string>& values, DateOrder hint) {
    std::size_t dayFirst = 0;
    std::size_t monthFirst = 0;
    std::size_t either = 0;
    for (const std::string& value : values) {
        const Written written = writtenForm(trimmed(value));
        const auto* s = std::get_if<Swappable>(&written);
        if (s == nullptr || s->dots) {
            continue; // the order does not change how it reads
        }
        const Readings r = readings(*s);
        if (r.dayFirst && r.monthFirst) {
            either += s->first != s->second ? 1 : 0;
        } else if (r.dayFirst) {
            ++dayFirst;
        } else if (r.monthFirst) {
            ++monthFirst;
        }
    }
    if (dayFirst != monthFirst) {
        return {dayFirst > monthFirst ? DateOrder::DayFirst : DateOrder::MonthFirst,
                OrderBasis::Values};
    }
    return {hint, dayFirst + either > 0 ? OrderBasis::Language : OrderBasis::NotNeeded};
}

std::string birthdayFromParts(const std::vector<std::string>& fields, const BirthParts& parts) {
    const std::string_view year = partField(fields, parts.year);
    const std::string_view month = partField(fields, parts.month);
    const std::string_view day = partField(fields, parts.day);
    const int y = year.empty() ? 0 : partNumber(year, false);
    const Date date{y <= 0 ? y : fullYear(y, year.size()), partNumber(month, true),
                    partNumber(day, false)};
    if (isPlaceholder(y, date.month, date.day) || (year.empty() && month.empty() && day.empty())) {
        return {};
    }
    if (isCalendarDate(date)) {
        return isoDate(date);
    }
    std::string text; // kept as the parts were written
    for (const std::string_view part : {year, month, day}) {
        if (!part.empty()) {
            text.append(text.empty() ? "" : "-").append(part);
        }
    }
    return text;
}

} // namespace dates
