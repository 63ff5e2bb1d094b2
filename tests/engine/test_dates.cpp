// Birthdays read as dates, and the order of a birthday column.
#include "engine/cards/Dates.h"

#include <gtest/gtest.h>

using namespace dates;

namespace {

constexpr auto M = DateOrder::MonthFirst;
constexpr auto D = DateOrder::DayFirst;

// The ISO date read, "none" for a placeholder, "text" for no date.
std::string read(std::string_view value, DateOrder order) {
    const ReadDate r = readDate(value, order);
    return r.kind == DateKind::Date          ? isoDate(r.date)
           : r.kind == DateKind::Placeholder ? "none"
                                             : "text";
}

} // namespace

TEST(Dates, ReadsTheFormsExportsWrite) {
    const std::vector<std::tuple<std::string_view, DateOrder, std::string_view>> cases = {
        {"1972-06-01", D, "1972-06-01"},
        {"19720601", M, "1972-06-01"},
        {" 1972/6/1 ", M, "1972-06-01"},
        {"1972-06-01T00:00:00Z", M, "1972-06-01"},
        {"6/1/1972 12:00:00 AM", D, "1972-01-06"},
        {"06/01/1972", M, "1972-06-01"},
        {"06-01-1972", D, "1972-01-06"},
        {"13/01/1972", M, "1972-01-13"},
        {"12.25.1972", D, "1972-12-25"},
        {"01.06.1972", M, "1972-06-01"},
        {"1.6.72", M, "1972-06-01"},
        {"1/2/00", M, "2000-01-02"},
        {"29.02.2000", M, "2000-02-29"},
        {"June 1, 1972", D, "1972-06-01"},
        {"1 juin 1972", M, "1972-06-01"},
        {"1. MÄRZ 1972", M, "1972-03-01"},
        {"1 de junio de 1972", M, "1972-06-01"},
        {"1st Jun. 72", M, "1972-06-01"},
        {"1972 giugno 1", M, "1972-06-01"},
        {"06/01", M, "--06-01"},
        {"06/01", D, "--01-06"},
        {"01.06.", M, "--06-01"},
        {"--0601", M, "--06-01"},
        {"--06-01", D, "--06-01"},
        {"29.02.", M, "--02-29"},
        {"1 mei", M, "--05-01"},
        {"", M, "none"},
        {" ", M, "none"},
        {"0/0/00", M, "none"},
        {"00.00.0000", M, "none"},
        {"0000-00-00", M, "none"},
        {"1/1/1601", M, "none"},
        {"1601-01-01T00:00:00Z", M, "none"},
        {"1/1/0001", M, "none"},
        {"--00-00", M, "none"},
        {"unknown", M, "text"},
        {"29.02.1900", M, "text"},
        {"31/4/1990", M, "text"},
        {"13/13/1990", M, "text"},
        {"1972-13-01", M, "text"},
        {"1990-03/14", M, "text"},
        {"1990-03-14/x", M, "text"},
        {"1972-06", M, "text"},
        {"06/72", M, "text"},
        {"0/0/1972", M, "text"},
        {"1/1/972", M, "text"},
        {"Marsh 14, 1990", M, "text"},
        {"1972-06-01 at noon: 12:00", M, "text"},
        {"T12:00", M, "text"},
    };
    for (const auto& [value, order, expected] : cases) {
        EXPECT_EQ(read(value, order), expected) << value;
    }
}

TEST(Dates, ColumnOrderComesFromPartsAbove12ThenTheLanguage) {
    const auto order = [](const std::vector<std::string>& values, DateOrder hint) {
        const ColumnOrder found = detectDateOrder(values, hint);
        return std::pair(found.order, found.basis);
    };
    using B = OrderBasis;
    EXPECT_EQ(order({"06/01/1972", "", "25/12/1980"}, M), std::pair(D, B::Values));
    EXPECT_EQ(order({"06/01/1972", "12-25-1980"}, D), std::pair(M, B::Values));
    EXPECT_EQ(order({"13/1/70", "1/14/70", "1/15/70"}, D), std::pair(M, B::Values));
    EXPECT_EQ(order({"06/01/1972", "5/5/1990"}, D), std::pair(D, B::Language));
    EXPECT_EQ(order({"13/1/70", "1/13/70"}, M), std::pair(M, B::Language));
    // Dotted dates put the day first and ISO dates say which is which.
    EXPECT_EQ(order({"1972-06-01", "01.06.1972", "25.12.1972", "5/5/1990", "x"}, D),
              std::pair(D, B::NotNeeded));

    using H = std::vector<std::string>;
    for (const H& headers :
         {H{"Vorname", "Nachname", "E-Mail-Adresse", "Geburtstag"},
          H{"Prénom", "Nom", "Anniversaire"}, H{"Nombre", "Apellidos", "Cumpleaños"},
          H{"Nome", "Cognome", "Compleanno"}, H{"Voornaam", "Achternaam", "Verjaardag"},
          H{"Nome", "Sobrenome", "Aniversário"}}) {
        EXPECT_EQ(headerDateOrder(headers), D) << headers[0];
    }
    EXPECT_EQ(headerDateOrder({"First Name", "LastName", "Birthday", "Notes"}), M);
    EXPECT_EQ(headerDateOrder({"Name", "E-mail"}), M);
}
