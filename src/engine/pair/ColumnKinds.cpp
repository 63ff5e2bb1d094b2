// The vocabulary: each word (with its accents taken off, see columnWords) and
// the kind or qualifier it stands for. Entries that join two words ("nom
// complet") are tried on neighbouring words before the words alone.
#include "engine/pair/ColumnKinds.h"

#include "engine/pair/ColumnWords.h"

#include "engine/Text.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

using text::trimmed;

using K = ColumnKind;

struct Word {
    std::string_view word;
    ColumnKind kind;
};

// clang-format off
constexpr Word kKindWords[] = {
    // A CRM's bookkeeping.
    {"id", K::Metadata}, {"ids", K::Metadata}, {"guid", K::Metadata}, {"uuid", K::Metadata},
    {"euid", K::Metadata}, {"leid", K::Metadata}, {"owner", K::Metadata}, {"status", K::Metadata},
    {"created", K::Metadata}, {"create", K::Metadata}, {"creation", K::Metadata},
    {"modified", K::Metadata}, {"modification", K::Metadata}, {"updated", K::Metadata},
    {"changed", K::Metadata}, {"timestamp", K::Metadata}, {"opt", K::Metadata},
    {"optin", K::Metadata}, {"optout", K::Metadata}, {"unsubscribe", K::Metadata},
    {"unsubscribed", K::Metadata}, {"subscribed", K::Metadata}, {"subscription", K::Metadata},
    {"consent", K::Metadata}, {"gdpr", K::Metadata}, {"rating", K::Metadata},
    {"score", K::Metadata}, {"stage", K::Metadata}, {"lifecycle", K::Metadata},
    {"lead", K::Metadata}, {"source", K::Metadata}, {"campaign", K::Metadata},
    {"ip", K::Metadata}, {"timezone", K::Metadata}, {"latitude", K::Metadata},
    {"longitude", K::Metadata}, {"gmtoff", K::Metadata}, {"dstoff", K::Metadata},
    {"confirm", K::Metadata}, {"confirmed", K::Metadata}, {"blacklisted", K::Metadata},
    {"blocklisted", K::Metadata}, {"bounced", K::Metadata}, {"verified", K::Metadata},
    {"activity", K::Metadata}, {"account", K::Metadata}, {"type", K::Metadata}, {"typ", K::Metadata}, {"tipo", K::Metadata}, {"not", K::Metadata},
    {"locked", K::Metadata}, {"enrich", K::Metadata}, {"enriched", K::Metadata},
    {"erstellt", K::Metadata}, {"geaendert", K::Metadata}, {"besitzer", K::Metadata},
    {"inhaber", K::Metadata}, {"cree", K::Metadata}, {"creee", K::Metadata},
    {"modifie", K::Metadata}, {"proprietaire", K::Metadata}, {"statut", K::Metadata},
    {"creado", K::Metadata}, {"modificado", K::Metadata}, {"propietario", K::Metadata},
    {"creato", K::Metadata}, {"modificato", K::Metadata}, {"proprietario", K::Metadata},
    {"gemaakt", K::Metadata}, {"gewijzigd", K::Metadata}, {"eigenaar", K::Metadata},
    {"criado", K::Metadata}, {"yomi", K::Metadata},
    // Another person's data (a manager, an assistant, a spouse): not the contact's.
    {"manager", K::Unknown}, {"assistant", K::Unknown}, {"spouse", K::Unknown},
    {"partner", K::Unknown}, {"children", K::Unknown}, {"child", K::Unknown},
    {"referred", K::Unknown}, {"reports", K::Unknown},
    // E-mail and web.
    {"email", K::Email}, {"emails", K::Email}, {"mail", K::Email}, {"emailadres", K::Email},
    {"mailadres", K::Email}, {"courriel", K::Email}, {"messagerie", K::Email},
    {"correo", K::Email}, {"postaelettronica", K::Email},
    {"web", K::WebPage}, {"website", K::WebPage}, {"webseite", K::WebPage},
    {"webpage", K::WebPage}, {"homepage", K::WebPage}, {"page", K::WebPage},
    {"pagina", K::WebPage}, {"url", K::WebPage}, {"site", K::WebPage}, {"sitio", K::WebPage},
    {"sito", K::WebPage}, {"linkedin", K::WebPage},
    // Telephones.
    {"fax", K::Fax}, {"telefax", K::Fax}, {"telecopie", K::Fax}, {"facsimile", K::Fax},
    {"pager", K::Pager}, {"beeper", K::Pager}, {"radiomessagerie", K::Pager},
    {"localizador", K::Pager}, {"cercapersone", K::Pager}, {"pieper", K::Pager},
    {"mobile", K::Mobile}, {"mobil", K::Mobile}, {"mobiltelefon", K::Mobile},
    {"cell", K::Mobile}, {"cellular", K::Mobile}, {"cellphone", K::Mobile},
    {"handy", K::Mobile}, {"portable", K::Mobile}, {"movil", K::Mobile},
    {"celular", K::Mobile}, {"cellulare", K::Mobile}, {"mobiel", K::Mobile},
    {"mobiele", K::Mobile},
    {"telemovel", K::Mobile}, {"gsm", K::Mobile}, {"iphone", K::Mobile}, {"sms", K::Mobile},
    {"whatsapp", K::Mobile},
    {"phone", K::Telephone}, {"phones", K::Telephone}, {"telephone", K::Telephone},
    {"tel", K::Telephone}, {"telefon", K::Telephone}, {"telefono", K::Telephone},
    {"telefoon", K::Telephone}, {"telefone", K::Telephone}, {"landline", K::Telephone},
    {"festnetz", K::Telephone}, {"rufnummer", K::Telephone}, {"fixe", K::Telephone},
    {"fijo", K::Telephone}, {"fisso", K::Telephone}, {"vaste", K::Telephone},
    {"voice", K::Telephone},
    // Birthdays.
    {"birthday", K::Birthday}, {"birthdate", K::Birthday}, {"birth", K::Birthday},
    {"dob", K::Birthday}, {"geburtstag", K::Birthday}, {"geburtsdatum", K::Birthday},
    {"anniversaire", K::Birthday}, {"naissance", K::Birthday}, {"cumpleanos", K::Birthday},
    {"nacimiento", K::Birthday}, {"compleanno", K::Birthday}, {"nascita", K::Birthday},
    {"verjaardag", K::Birthday}, {"geboortedatum", K::Birthday}, {"geboorte", K::Birthday},
    {"nascimento", K::Birthday},
    // Addresses and their parts.
    {"pobox", K::PoBox}, {"postbox", K::PoBox}, {"postfach", K::PoBox},
    {"boitepostale", K::PoBox}, {"apartado", K::PoBox}, {"casellapostale", K::PoBox},
    {"postbus", K::PoBox}, {"caixapostal", K::PoBox},
    {"street", K::Street}, {"str", K::Street}, {"strasse", K::Street}, {"rue", K::Street},
    {"calle", K::Street}, {"via", K::Street}, {"straat", K::Street}, {"rua", K::Street},
    {"city", K::City}, {"town", K::City}, {"ort", K::City}, {"stadt", K::City},
    {"ville", K::City}, {"ciudad", K::City}, {"localidad", K::City}, {"citta", K::City},
    {"plaats", K::City}, {"woonplaats", K::City}, {"stad", K::City}, {"cidade", K::City},
    {"localidade", K::City}, {"locality", K::City}, {"municipality", K::City},
    {"country", K::Country}, {"land", K::Country}, {"pays", K::Country}, {"pais", K::Country},
    {"paese", K::Country}, {"nazione", K::Country}, {"nation", K::Country},
    {"state", K::Region}, {"region", K::Region}, {"province", K::Region},
    {"provincia", K::Region}, {"county", K::Region}, {"bundesland", K::Region},
    {"kanton", K::Region}, {"departement", K::Region}, {"dep", K::Region},
    {"regione", K::Region}, {"provincie", K::Region}, {"estado", K::Region},
    {"regio", K::Region},
    {"zip", K::PostalCode}, {"zipcode", K::PostalCode}, {"postal", K::PostalCode},
    {"postalcode", K::PostalCode}, {"postcode", K::PostalCode}, {"plz", K::PostalCode},
    {"postleitzahl", K::PostalCode}, {"cp", K::PostalCode}, {"cap", K::PostalCode},
    {"cep", K::PostalCode},
    {"address", K::Address}, {"addresses", K::Address}, {"adresse", K::Address},
    {"anschrift", K::Address}, {"direccion", K::Address}, {"domicilio", K::Address},
    {"indirizzo", K::Address}, {"adres", K::Address}, {"endereco", K::Address},
    // Notes and categories.
    {"notes", K::Notes}, {"note", K::Notes}, {"notizen", K::Notes}, {"notiz", K::Notes},
    {"bemerkung", K::Notes}, {"bemerkungen", K::Notes}, {"kommentar", K::Notes},
    {"anmerkungen", K::Notes}, {"remarque", K::Notes}, {"remarques", K::Notes},
    {"commentaire", K::Notes}, {"commentaires", K::Notes}, {"nota", K::Notes},
    {"notas", K::Notes}, {"observaciones", K::Notes}, {"comentarios", K::Notes},
    {"annotazioni", K::Notes}, {"commenti", K::Notes}, {"notitie", K::Notes},
    {"notities", K::Notes}, {"opmerking", K::Notes}, {"opmerkingen", K::Notes},
    {"observacoes", K::Notes}, {"comments", K::Notes}, {"comment", K::Notes},
    {"description", K::Notes}, {"beschreibung", K::Notes}, {"descripcion", K::Notes},
    {"descrizione", K::Notes}, {"beschrijving", K::Notes}, {"descricao", K::Notes},
    {"memo", K::Notes}, {"anotacoes", K::Notes}, {"message", K::Notes}, {"nachricht", K::Notes},
    {"categories", K::Categories}, {"category", K::Categories}, {"kategorie", K::Categories},
    {"kategorien", K::Categories}, {"categorie", K::Categories}, {"categoria", K::Categories},
    {"categorias", K::Categories}, {"categorieen", K::Categories}, {"tags", K::Categories},
    {"tag", K::Categories}, {"labels", K::Categories}, {"groups", K::Categories},
    {"group", K::Categories}, {"gruppe", K::Categories}, {"gruppen", K::Categories},
    {"groupe", K::Categories}, {"groupes", K::Categories}, {"grupo", K::Categories},
    {"grupos", K::Categories}, {"gruppo", K::Categories}, {"gruppi", K::Categories},
    {"groep", K::Categories}, {"groepen", K::Categories},
    // Work.
    {"department", K::Department}, {"dept", K::Department}, {"abteilung", K::Department},
    {"service", K::Department}, {"departamento", K::Department}, {"division", K::Department},
    {"reparto", K::Department}, {"dipartimento", K::Department}, {"afdeling", K::Department},
    {"company", K::Company}, {"organization", K::Company}, {"organisation", K::Company},
    {"org", K::Company}, {"firma", K::Company}, {"firmenname", K::Company},
    {"unternehmen", K::Company}, {"societe", K::Company}, {"entreprise", K::Company},
    {"empresa", K::Company}, {"compania", K::Company}, {"organizacion", K::Company},
    {"azienda", K::Company}, {"societa", K::Company}, {"ditta", K::Company},
    {"bedrijf", K::Company}, {"organisatie", K::Company}, {"employer", K::Company},
    {"accountname", K::Company}, {"businessname", K::Company},
    {"job", K::JobTitle}, {"jobtitle", K::JobTitle}, {"position", K::JobTitle},
    {"role", K::JobTitle}, {"occupation", K::JobTitle}, {"profession", K::JobTitle},
    {"beruf", K::JobTitle}, {"berufsbezeichnung", K::JobTitle}, {"funktion", K::JobTitle},
    {"fonction", K::JobTitle}, {"poste", K::JobTitle}, {"metier", K::JobTitle},
    {"puesto", K::JobTitle}, {"cargo", K::JobTitle}, {"ocupacion", K::JobTitle},
    {"profesion", K::JobTitle}, {"mansione", K::JobTitle}, {"ruolo", K::JobTitle},
    {"qualifica", K::JobTitle}, {"professione", K::JobTitle}, {"functie", K::JobTitle},
    {"beroep", K::JobTitle}, {"funcao", K::JobTitle}, {"profissao", K::JobTitle},
    {"designation", K::JobTitle}, {"posizione", K::JobTitle},
    // Names.
    {"title", K::Title}, {"titel", K::Title}, {"titre", K::Title}, {"titulo", K::Title},
    {"titolo", K::Title},
    {"prefix", K::Prefix}, {"salutation", K::Prefix}, {"anrede", K::Prefix},
    {"civilite", K::Prefix}, {"tratamiento", K::Prefix}, {"saludo", K::Prefix},
    {"appellativo", K::Prefix}, {"aanhef", K::Prefix}, {"tratamento", K::Prefix},
    {"honorific", K::Prefix}, {"courtesy", K::Prefix},
    {"suffix", K::Suffix}, {"suffixe", K::Suffix}, {"sufijo", K::Suffix},
    {"suffisso", K::Suffix}, {"achtervoegsel", K::Suffix}, {"sufixo", K::Suffix},
    {"namenszusatz", K::Suffix},
    {"nickname", K::Nickname}, {"nick", K::Nickname}, {"spitzname", K::Nickname},
    {"rufname", K::Nickname}, {"surnom", K::Nickname}, {"apodo", K::Nickname},
    {"soprannome", K::Nickname}, {"bijnaam", K::Nickname}, {"roepnaam", K::Nickname},
    {"alcunha", K::Nickname}, {"alias", K::Nickname},
    {"middle", K::MiddleName}, {"middlename", K::MiddleName}, {"additionalname", K::MiddleName},
    {"weiterevornamen", K::MiddleName}, {"zweitervorname", K::MiddleName},
    {"deuxiemeprenom", K::MiddleName}, {"secondprenom", K::MiddleName},
    {"segundonombre", K::MiddleName}, {"secondonome", K::MiddleName},
    {"tussenvoegsel", K::MiddleName}, {"meio", K::MiddleName}, {"middelste", K::MiddleName},
    {"segundonome", K::MiddleName},
    {"first", K::GivenName}, {"firstname", K::GivenName}, {"fname", K::GivenName},
    {"given", K::GivenName}, {"givenname", K::GivenName}, {"forename", K::GivenName},
    {"vorname", K::GivenName}, {"prenom", K::GivenName}, {"nombre", K::GivenName},
    {"nome", K::GivenName}, {"voornaam", K::GivenName}, {"primeiro", K::GivenName},
    {"last", K::FamilyName}, {"lastname", K::FamilyName}, {"lname", K::FamilyName},
    {"family", K::FamilyName}, {"familyname", K::FamilyName}, {"surname", K::FamilyName},
    {"nachname", K::FamilyName}, {"familienname", K::FamilyName}, {"nom", K::FamilyName},
    {"apellido", K::FamilyName}, {"apellidos", K::FamilyName}, {"cognome", K::FamilyName},
    {"achternaam", K::FamilyName}, {"sobrenome", K::FamilyName},
    {"name", K::FullName}, {"names", K::FullName}, {"fullname", K::FullName},
    {"displayname", K::FullName}, {"nomcomplet", K::FullName},
    {"nombrecompleto", K::FullName}, {"nomecompleto", K::FullName},
    {"volledigenaam", K::FullName}, {"anzeigename", K::FullName}, {"naam", K::FullName},
};

// Words of time, which make a column bookkeeping unless it is a birthday's.
constexpr std::string_view kTimeWords[] = {
    "date", "time", "datum", "zeit", "fecha", "hora", "data", "ora", "tijd", "heure", "year",
    "month", "day", "jahr", "monat", "annee", "mois", "jour", "ano", "mes", "dia",
    "anno", "mese", "giorno", "jaar", "maand", "dag"};

// Of the time words, those naming a part of a date.
constexpr std::string_view kDatePartWords[] = {
    "year", "month", "day", "jahr", "monat", "annee", "mois", "jour", "ano", "mes",
    "dia", "anno", "mese", "giorno", "jaar", "maand", "dag"};

// Words naming someone, which make an e-mail column the address's display name.
constexpr std::string_view kDisplayWords[] = {
    "display", "displayname", "name", "nom", "nombre", "nome", "naam", "anzeigename", "angezeigter",
    "nomcomplet", "affichage"};

struct QualifierWord {
    std::string_view word;
    Qualifier qualifier;
};

constexpr QualifierWord kQualifierWords[] = {
    {"home", Qualifier::Home}, {"private", Qualifier::Home}, {"personal", Qualifier::Home},
    {"privat", Qualifier::Home}, {"prive", Qualifier::Home}, {"domicile", Qualifier::Home},
    {"personnel", Qualifier::Home}, {"personnelle", Qualifier::Home}, {"perso", Qualifier::Home},
    {"casa", Qualifier::Home}, {"particular", Qualifier::Home}, {"privado", Qualifier::Home},
    {"residencia", Qualifier::Home}, {"personale", Qualifier::Home}, {"privato", Qualifier::Home},
    {"thuis", Qualifier::Home}, {"residencial", Qualifier::Home}, {"pessoal", Qualifier::Home},
    {"residence", Qualifier::Home}, {"ab", Qualifier::Home}, {"abitazione", Qualifier::Home},
    {"work", Qualifier::Work}, {"business", Qualifier::Work}, {"office", Qualifier::Work},
    {"geschaeftlich", Qualifier::Work}, {"buero", Qualifier::Work}, {"arbeit", Qualifier::Work},
    {"dienstlich", Qualifier::Work}, {"bureau", Qualifier::Work}, {"travail", Qualifier::Work},
    {"professionnel", Qualifier::Work}, {"professionnelle", Qualifier::Work},
    {"pro", Qualifier::Work}, {"trabajo", Qualifier::Work}, {"oficina", Qualifier::Work},
    {"laboral", Qualifier::Work}, {"lavoro", Qualifier::Work}, {"ufficio", Qualifier::Work},
    {"werk", Qualifier::Work}, {"zakelijk", Qualifier::Work}, {"kantoor", Qualifier::Work},
    {"trabalho", Qualifier::Work}, {"comercial", Qualifier::Work},
    {"escritorio", Qualifier::Work}, {"corporate", Qualifier::Work}, {"uff", Qualifier::Work},
    {"company", Qualifier::Work}, {"firma", Qualifier::Work},
    {"other", Qualifier::Other}, {"secondary", Qualifier::Other}, {"alternate", Qualifier::Other},
    {"alt", Qualifier::Other}, {"weitere", Qualifier::Other}, {"weiteres", Qualifier::Other},
    {"andere", Qualifier::Other}, {"anderes", Qualifier::Other}, {"sonstige", Qualifier::Other},
    {"autre", Qualifier::Other}, {"autres", Qualifier::Other}, {"otro", Qualifier::Other},
    {"otra", Qualifier::Other}, {"altro", Qualifier::Other}, {"altra", Qualifier::Other},
    {"ander", Qualifier::Other}, {"overig", Qualifier::Other}, {"overige", Qualifier::Other},
    {"outro", Qualifier::Other}, {"outra", Qualifier::Other},
    {"mailing", Qualifier::Mailing}, {"billing", Qualifier::Mailing},
    {"shipping", Qualifier::Mailing},
};

// Words that change no meaning, known so that a run of two joined words
// ("Telefonnummer", "Handynummer") is cut in two.
constexpr std::string_view kNeutralWords[] = {
    "number", "nummer", "numero", "nr", "no", "num", "code", "codigo", "codice", "line",
    "of", "de", "del", "la", "le", "l", "the", "di", "da", "do", "van", "du", "des"};

// Honorifics, lower case without dots: a Title column holding these is the prefix.
constexpr std::string_view kHonorifics[] = {
    "mr", "mrs", "ms", "miss", "mx", "dr", "prof", "sir", "madam", "dame", "lord", "lady",
    "rev", "hon", "herr", "frau", "fraeulein", "fräulein", "m", "mme", "mlle", "me",
    "monsieur", "madame", "mademoiselle", "sr", "sra", "srta", "don", "dona", "doña",
    "señor", "señora", "senor", "senora", "dott", "dottssa", "dottoressa", "sig", "sigra",
    "signor", "signora", "ing", "avv", "dhr", "mevr", "mevrouw", "meneer", "ir", "drs",
    "prof dr", "dr med", "mag", "dipl-ing", "exmo", "exma"};
// clang-format on

const std::unordered_map<std::string_view, ColumnKind>& kindOfWord() {
    static const auto map = [] {
        std::unordered_map<std::string_view, ColumnKind> m;
        for (const Word& w : kKindWords) {
            m.emplace(w.word, w.kind);
        }
        return m;
    }();
    return map;
}

const std::unordered_map<std::string_view, Qualifier>& qualifierOfWord() {
    static const auto map = [] {
        std::unordered_map<std::string_view, Qualifier> m;
        for (const QualifierWord& w : kQualifierWords) {
            m.emplace(w.word, w.qualifier);
        }
        return m;
    }();
    return map;
}

template <std::size_t N> bool among(const std::string_view (&list)[N], std::string_view word) {
    return std::find(std::begin(list), std::end(list), word) != std::end(list);
}

bool known(std::string_view word) {
    return kindOfWord().contains(word) || qualifierOfWord().contains(word) ||
           among(kTimeWords, word) || among(kNeutralWords, word);
}

// The words of a name as the vocabulary knows them: two neighbours that make
// one entry are joined, and a word the vocabulary does not know that is two
// words it does ("FIRSTNAME", "HOMEPHONE") is cut in two.
std::vector<std::string> vocabularyWords(const std::vector<std::string>& words) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i + 1 < words.size() && kindOfWord().contains(words[i] + words[i + 1])) {
            out.push_back(words[i] + words[i + 1]);
            ++i;
            continue;
        }
        const std::string& w = words[i];
        if (!known(w) && w.size() >= 5) {
            bool cut = false;
            for (std::size_t k = 2; k + 2 <= w.size() && !cut; ++k) {
                if (known(w.substr(0, k)) && known(w.substr(k))) {
                    out.push_back(w.substr(0, k));
                    out.push_back(w.substr(k));
                    cut = true;
                }
            }
            if (cut) {
                continue;
            }
        }
        out.push_back(w);
    }
    return out;
}

std::string lowerWithoutDots(std::string_view value) {
    std::string s;
    for (const char c : value) {
        if (c == '.') {
            continue;
        }
        s += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    const auto first = s.find_first_not_of(' ');
    const auto last = s.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

bool isEmailValue(std::string_view v) {
    const auto at = v.find('@');
    return at != std::string_view::npos && at > 0 &&
           v.find('@', at + 1) == std::string_view::npos &&
           v.find('.', at) != std::string_view::npos && v.back() != '.' &&
           v.find_first_of(" \t,;<>") == std::string_view::npos;
}

bool isWebValue(std::string_view v) {
    return (v.starts_with("http://") || v.starts_with("https://") || v.starts_with("www.")) &&
           v.find(' ') == std::string_view::npos && v.size() > 8;
}

bool isPhoneValue(std::string_view v) {
    if (v.starts_with("tel:")) {
        v.remove_prefix(4);
    }
    std::size_t digits = 0;
    for (const char c : v) {
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (std::string_view("+ ()-./x").find(c) == std::string_view::npos) {
            return false;
        }
    }
    return digits >= 6 && digits <= 20;
}

} // namespace

ColumnMeaning classifyColumnName(std::string_view header) {
    ColumnMeaning meaning;
    const std::vector<std::string> words = vocabularyWords(columnWords(header));
    bool timeWord = false;
    bool datePart = false;
    bool displayWord = false;
    bool strongMetadata = false;
    ColumnKind best = ColumnKind::Unknown;
    bool another = false; // a word of another person's data
    for (const std::string& w : words) {
        if (!w.empty() && w.find_first_not_of("0123456789") == std::string::npos) {
            if (meaning.ordinal == 0 && w.size() <= 2) {
                meaning.ordinal = std::stoi(w);
            }
            continue;
        }
        if (w == "line") {
            meaning.line = true;
        }
        timeWord = timeWord || among(kTimeWords, w);
        datePart = datePart || among(kDatePartWords, w);
        displayWord = displayWord || among(kDisplayWords, w);
        if (const auto q = qualifierOfWord().find(w);
            q != qualifierOfWord().end() && meaning.qualifier == Qualifier::None) {
            meaning.qualifier = q->second;
        }
        const auto k = kindOfWord().find(w);
        if (k == kindOfWord().end()) {
            continue;
        }
        if (k->second == ColumnKind::Metadata) {
            strongMetadata = true;
        } else if (k->second == ColumnKind::Unknown) {
            another = true;
        } else if (k->second < best) {
            best = k->second;
        }
    }
    if (strongMetadata) {
        best = ColumnKind::Metadata;
    } else if (another) {
        best = ColumnKind::Unknown;
    } else if (best == ColumnKind::Birthday && datePart) {
        best = ColumnKind::BirthPart;
    } else if (timeWord && best != ColumnKind::Birthday) {
        best = ColumnKind::Metadata;
    } else if ((best == ColumnKind::Email || best == ColumnKind::WebPage) && displayWord) {
        best = ColumnKind::Metadata; // the address's display name echoes the contact's name
    }
    // A company word qualifies a telephone or an address; it is no qualifier of itself.
    if (best == ColumnKind::Company && meaning.qualifier == Qualifier::Work) {
        meaning.qualifier = Qualifier::None;
    }
    meaning.kind = best;
    return meaning;
}

ColumnKind kindFromValues(const std::vector<std::string_view>& values) {
    std::size_t filled = 0;
    std::size_t email = 0;
    std::size_t web = 0;
    std::size_t phone = 0;
    for (const std::string_view raw : values) {
        const std::string_view v = trimmed(raw);
        if (v.empty()) {
            continue;
        }
        ++filled;
        email += isEmailValue(v) ? 1 : 0;
        web += isWebValue(v) ? 1 : 0;
        phone += isPhoneValue(v) ? 1 : 0;
    }
    if (filled == 0) {
        return ColumnKind::Unknown;
    }
    if (email == filled) {
        return ColumnKind::Email;
    }
    if (web == filled) {
        return ColumnKind::WebPage;
    }
    if (phone == filled) {
        return ColumnKind::Telephone;
    }
    return ColumnKind::Unknown;
}

ColumnKind resolveTitle(const std::vector<std::string_view>& values) {
    std::size_t filled = 0;
    std::size_t honorifics = 0;
    for (const std::string_view raw : values) {
        const std::string_view v = trimmed(raw);
        if (v.empty()) {
            continue;
        }
        ++filled;
        honorifics += among(kHonorifics, lowerWithoutDots(v)) ? 1 : 0;
    }
    return filled > 0 && honorifics * 2 <= filled ? ColumnKind::JobTitle : ColumnKind::Prefix;
}
