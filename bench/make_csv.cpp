// Writes a deterministic CSV of contacts with all 30 columns filled the way
// address-book exports fill them, with CR LF line ends.
//   make_csv CONTACTS DISTINCT_NAMES OUT.csv   (DISTINCT_NAMES 0: every name differs)
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char* const kFirst[] = {"Ann",   "Bob",  "Chloe", "Dev",   "Emma",  "Farid",
                              "Grace", "Hugo", "Ines",  "Jonas", "Keiko", "Liam"};
const char* const kLast[] = {"Lee",      "Ray",    "Smith",   "Okafor", "Novak",  "Garcia",
                             "Kowalski", "Nguyen", "Schmidt", "Rossi",  "Tanaka", "Brown"};

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_csv CONTACTS DISTINCT_NAMES OUT.csv\n");
        return 2;
    }
    const long contacts = std::atol(argv[1]);
    const long distinct = std::atol(argv[2]);
    std::FILE* out = std::fopen(argv[3], "wb");
    if (out == nullptr) {
        std::perror(argv[3]);
        return 1;
    }
    std::fputs(
        "First Name,Last Name,Middle Name,Title,Full Name,Job Title,Company,Department,"
        "Business Address,Business Street,Business City,Business State,Business Postal "
        "Code,Business Country,Business Fax,Business Phone,Web Page,Home Address,Home "
        "Street,Home City,Home State,Home Postal Code,Home Country,Home Fax,Home Phone,"
        "Personal Web Page,Mobile Phone,E-mail Address,E-mail 2 Address,E-mail 3 Address\r\n",
        out);
    unsigned long seed = 12345;
    auto next = [&seed] {
        seed = seed * 6364136223846793005UL + 1442695040888963407UL;
        return static_cast<unsigned>(seed >> 33);
    };
    for (long i = 0; i < contacts; ++i) {
        const long slot = distinct > 0 ? i % distinct : i;
        const std::string first = kFirst[slot % 12];
        std::string last = kLast[(slot / 12) % 12];
        if (distinct == 0) {
            last += std::to_string(i);
        }
        const unsigned n = next() % 90000 + 10000;
        std::fprintf(out,
                     "%s,%s,Q,Dr.,%s %s,Engineer,\"Acme, Inc\",Research,\"%u Main St, "
                     "Springfield\",%u Main St,Springfield,IL,%u,USA,555-01%02u,2.17555E+09,"
                     "http://acme.example/%u,\"%u Elm Rd\r\nShelbyville\",%u Elm Rd,Shelbyville,IL,"
                     "%u,USA,555-02%02u,555-03%02u,http://home.example/%s,4.47911E+11,"
                     "%s.%s@acme.example,%s@home.example,%s%u@other.example\r\n",
                     first.c_str(), last.c_str(), first.c_str(), last.c_str(), n, n, n % 99999,
                     n % 100, n, n, n, n % 99999, n % 100, (n / 7) % 100, last.c_str(),
                     first.c_str(), last.c_str(), first.c_str(), last.c_str(), n);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
