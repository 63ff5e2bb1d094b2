#include "engine/pair/ValueShapes.h"

#include "engine/Text.h"
#include "engine/cards/Dates.h"
#include "engine/pair/Vocabulary.h"

#include <algorithm>

namespace shapes {

namespace {

using text::isDigit;
using text::isLetter;
using text::trimmed;

std::size_t digitsIn(std::string_view v) {
    return static_cast<std::size_t>(std::count_if(v.begin(), v.end(), isDigit));
}

// The parts of a cell between its separators, trimmed, empty ones left out.
std::vector<std::string_view> parts(std::string_view cell) {
    std::vector<std::string_view> out;
    while (!cell.empty()) {
        std::size_t end = cell.find_first_of(",;/|\r\n");
        std::size_t next = end == std::string_view::npos ? cell.size() : end + 1;
        if (const auto google = cell.find(":::"); google < end) {
            end = google;
            next = google + 3;
        }
        if (const auto part = trimmed(cell.substr(0, end)); !part.empty()) {
            out.push_back(part);
        }
        cell.remove_prefix(std::min(next, cell.size()));
    }
    return out;
}

bool isRecordNumber(std::string_view v) {
    const bool digits = std::all_of(v.begin(), v.end(), isDigit);
    const bool uuid =
        v.size() == 36 && std::all_of(v.begin(), v.end(), [](char c) {
            return isDigit(c) || c == '-' || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        });
    return digits || uuid || (v.find('_') != std::string_view::npos && digitsIn(v) > 0);
}

bool isCountry(std::string_view v) {
    return vocabulary::numberBeforeStreet(v).has_value();
}

} // namespace

std::string_view unwrapped(std::string_view value) {
    if (value.size() >= 3 && value.starts_with("=\"") && value.ends_with('"')) {
        return value.substr(2, value.size() - 3);
    }
    if (value.starts_with('\'') && value.size() > 1 &&
        std::none_of(value.begin() + 1, value.end(), isLetter)) {
        return value.substr(1);
    }
    return value;
}

std::string_view withoutZeroFraction(std::string_view value) {
    const auto point = value.find('.');
    if (point == std::string_view::npos || point == 0 || point + 1 == value.size()) {
        return value;
    }
    const std::string_view whole = value.substr(0, point);
    const std::string_view fraction = value.substr(point + 1);
    const bool plus = whole.front() == '+';
    if (!std::all_of(whole.begin() + (plus ? 1 : 0), whole.end(), isDigit) ||
        fraction.find_first_not_of('0') != std::string_view::npos) {
        return value;
    }
    return whole;
}

bool isEmail(std::string_view v) {
    const auto at = v.find('@');
    return at != std::string_view::npos && at > 0 &&
           v.find('@', at + 1) == std::string_view::npos &&
           v.find('.', at) != std::string_view::npos && v.back() != '.' &&
           v.find_first_of(" \t,;<>()\"") == std::string_view::npos;
}

bool isWeb(std::string_view v) {
    return (v.starts_with("http://") || v.starts_with("https://") || v.starts_with("www.")) &&
           v.find(' ') == std::string_view::npos && v.size() > 8;
}

bool looksLikeWeb(std::string_view v) {
    if (isWeb(v)) {
        return true;
    }
    const std::string_view host = v.substr(0, v.find('/'));
    const auto dot = host.rfind('.');
    if (dot == std::string_view::npos || dot == 0 ||
        v.find_first_of(" @") != std::string_view::npos) {
        return false;
    }
    const std::string_view top = host.substr(dot + 1);
    return top.size() >= 2 && std::all_of(top.begin(), top.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
           });
}

bool isPhone(std::string_view v) {
    if (v.starts_with("tel:")) {
        v.remove_prefix(4);
    }
    for (const char c : v) {
        if (!isDigit(c) && std::string_view("+ ()-./x").find(c) == std::string_view::npos) {
            return false;
        }
    }
    const std::size_t digits = digitsIn(v);
    return digits >= 6 && digits <= 20;
}

bool isUnmistakablePhone(std::string_view v) {
    if (!isPhone(v) || dates::readDate(v).kind == dates::DateKind::Date) {
        return false;
    }
    v = trimmed(v);
    return v.starts_with('+') || v.starts_with('0') || v.starts_with('(');
}

std::vector<std::string_view> severalValues(std::string_view cell, property::Kind kind) {
    // A part of a telephone cell is a whole number: a local one has seven digits.
    const auto one = [kind](std::string_view v) {
        return kind == property::Kind::Email ? isEmail(v) : isPhone(v) && digitsIn(v) >= 7;
    };
    if (kind == property::Kind::Email || kind == property::Kind::Phone) {
        const std::vector<std::string_view> found = parts(cell);
        if (found.size() > 1 && std::all_of(found.begin(), found.end(), one)) {
            return found;
        }
    }
    return {cell};
}

Profile profileOf(const std::vector<std::string_view>& values) {
    Profile p;
    const auto all = [](const std::vector<std::string_view>& several, auto test) {
        return std::all_of(several.begin(), several.end(), test);
    };
    for (const std::string_view raw : values) {
        const std::string_view v = withoutZeroFraction(unwrapped(trimmed(raw)));
        if (v.empty()) {
            continue;
        }
        ++p.filled;
        p.email += all(severalValues(v, property::Kind::Email), isEmail) ? 1 : 0;
        p.web += isWeb(v) ? 1 : 0;
        p.looseWeb += looksLikeWeb(v) ? 1 : 0;
        p.sixDigits += digitsIn(v) >= 6 ? 1 : 0;
        const auto phones = severalValues(v, property::Kind::Phone);
        p.phone += all(phones, isPhone) ? 1 : 0;
        p.unmistakablePhone += all(phones, isUnmistakablePhone) ? 1 : 0;
        if (dates::readDate(v).kind == dates::DateKind::Date) {
            ++p.date;
            p.dateTime += v.find(':') != std::string_view::npos ? 1 : 0;
        }
        p.flag += vocabulary::isFlag(v) ? 1 : 0;
        p.honorific += vocabulary::isHonorific(v) ? 1 : 0;
        p.country += isCountry(v) ? 1 : 0;
        if (v.size() <= 2 && std::all_of(v.begin(), v.end(), isDigit)) {
            const int n = v.size() == 1 ? v[0] - '0' : (v[0] - '0') * 10 + (v[1] - '0');
            p.dayOfMonth += n >= 1 && n <= 31 ? 1 : 0;
        }
        p.houseNumber += isDigit(v.front()) && v.size() <= 8 && digitsIn(v) <= 5 ? 1 : 0;
        p.severalWords += v.find(' ') != std::string_view::npos ? 1 : 0;
        p.recordNumber += isRecordNumber(v) ? 1 : 0;
    }
    return p;
}

} // namespace shapes
