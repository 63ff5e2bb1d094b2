// The vocabulary: every word of column names in the seven languages with its
// meaning, the exact column names of known exports, and the few kinds of
// value whose words the converter knows (honorifics, yes/no, countries).
#include "engine/pair/Vocabulary.h"

#include "engine/pair/Words.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace vocabulary {

namespace {

using K = property::Kind;
using Q = property::Qualifier;
using P = property::Place;
using R = Role;
using D = DatePart;
using namespace property;

constexpr Languages EN = kEnglish;
constexpr Languages DE = kGerman;
constexpr Languages FR = kFrench;
constexpr Languages ES = kSpanish;
constexpr Languages IT = kItalian;
constexpr Languages NL = kDutch;
constexpr Languages PT = kPortuguese;
constexpr Languages ALL = kEveryLanguage;

// Contact data of a kind.
constexpr Word c(std::string_view w, Languages l, K k, Q q = Q::None, P p = P::None) {
    return {w, l, {R::Contact, k, q, p}};
}
// A word of any other role.
constexpr Word r(std::string_view w, Languages l, R role) {
    return {w, l, {role}};
}
// A kind of telephone that needs a word for a telephone beside it.
constexpr Word pq(std::string_view w, Languages l, Q q) {
    return {w, l, {R::PhoneQualifier, K::Phone, q}};
}
// A place.
constexpr Word pl(std::string_view w, Languages l, P p) {
    return {w, l, {R::Place, K::Note, Q::None, p}};
}
// A day, a month or a year.
constexpr Word dp(std::string_view w, Languages l, D d) {
    return {w, l, {R::DatePart, K::Note, Q::None, P::None, d}};
}

// clang-format off
constexpr Word kWords[] = {
    // A CRM's bookkeeping.
    r("id", ALL, R::Bookkeeping), r("ids", ALL, R::Bookkeeping), r("guid", ALL, R::Bookkeeping),
    r("uuid", ALL, R::Bookkeeping), r("euid", ALL, R::Bookkeeping), r("leid", ALL, R::Bookkeeping),
    r("owner", EN, R::Bookkeeping), r("status", EN | DE, R::Bookkeeping),
    r("created", EN, R::Bookkeeping), r("create", EN, R::Bookkeeping),
    r("creation", EN | FR, R::Bookkeeping), r("modified", EN, R::Bookkeeping),
    r("modification", EN | FR, R::Bookkeeping), r("updated", EN, R::Bookkeeping),
    r("changed", EN, R::Bookkeeping), r("added", EN, R::Bookkeeping), r("timestamp", EN, R::Bookkeeping),
    r("opt", EN, R::Bookkeeping), r("optin", EN, R::Bookkeeping), r("optout", EN, R::Bookkeeping),
    r("unsubscribe", EN, R::Bookkeeping), r("unsubscribed", EN, R::Bookkeeping),
    r("subscribed", EN, R::Bookkeeping), r("subscription", EN, R::Bookkeeping),
    r("consent", EN, R::Bookkeeping), r("gdpr", ALL, R::Bookkeeping), r("rating", EN, R::Bookkeeping),
    r("score", EN, R::Bookkeeping), r("stage", EN, R::Bookkeeping), r("lifecycle", EN, R::Bookkeeping),
    r("lead", EN, R::Bookkeeping), r("source", EN | FR, R::Bookkeeping),
    r("campaign", EN, R::Bookkeeping), r("ip", ALL, R::Bookkeeping), r("timezone", EN, R::Bookkeeping),
    r("latitude", EN | FR, R::Bookkeeping), r("longitude", EN | FR, R::Bookkeeping),
    r("gmtoff", EN, R::Bookkeeping), r("dstoff", EN, R::Bookkeeping), r("confirm", EN, R::Bookkeeping),
    r("confirmed", EN, R::Bookkeeping), r("blacklisted", EN, R::Bookkeeping),
    r("blocklisted", EN, R::Bookkeeping), r("bounced", EN, R::Bookkeeping),
    r("verified", EN, R::Bookkeeping), r("verification", EN, R::Bookkeeping),
    r("activity", EN, R::Bookkeeping), r("account", EN, R::Other), r("type", ALL, R::Bookkeeping),
    r("typ", DE, R::Bookkeeping), r("tipo", ES | IT | PT, R::Bookkeeping), r("not", EN, R::Bookkeeping),
    r("sent", EN, R::Bookkeeping), r("open", EN, R::Bookkeeping), r("opened", EN, R::Bookkeeping),
    r("replied", EN, R::Bookkeeping), r("clicked", EN, R::Bookkeeping),
    r("locked", EN, R::Bookkeeping), r("enrich", EN, R::Bookkeeping), r("enriched", EN, R::Bookkeeping),
    r("marketing", ALL, R::Bookkeeping), r("accepts", EN, R::Bookkeeping),
    r("total", ALL, R::Bookkeeping), r("spent", EN, R::Bookkeeping), r("orders", EN, R::Bookkeeping),
    r("order", EN, R::Bookkeeping), r("tax", EN, R::Bookkeeping), r("exempt", EN, R::Bookkeeping),
    r("revenue", EN, R::Bookkeeping), r("funding", EN, R::Bookkeeping), r("employees", EN, R::Bookkeeping),
    r("industry", EN, R::Bookkeeping), r("priority", EN, R::Bookkeeping),
    r("sensitivity", EN, R::Bookkeeping), r("gender", EN, R::Bookkeeping),
    r("password", EN, R::Bookkeeping), r("login", ALL, R::Bookkeeping),
    r("erstellt", DE, R::Bookkeeping), r("geaendert", DE, R::Bookkeeping),
    r("besitzer", DE, R::Bookkeeping), r("inhaber", DE, R::Bookkeeping),
    r("prioritaet", DE, R::Bookkeeping), r("vertraulichkeit", DE, R::Bookkeeping),
    r("geschlecht", DE, R::Bookkeeping), r("kennwort", DE, R::Bookkeeping),
    r("cree", FR, R::Bookkeeping), r("creee", FR, R::Bookkeeping), r("modifie", FR, R::Bookkeeping),
    r("proprietaire", FR, R::Bookkeeping), r("statut", FR, R::Bookkeeping),
    r("priorite", FR, R::Bookkeeping), r("sexe", FR, R::Bookkeeping),
    r("creado", ES, R::Bookkeeping), r("modificado", ES | PT, R::Bookkeeping),
    r("propietario", ES, R::Bookkeeping), r("prioridad", ES, R::Bookkeeping),
    r("moneda", ES, R::Bookkeeping), r("cuenta", ES, R::Bookkeeping), r("referencia", ES | PT, R::Bookkeeping),
    r("idioma", ES | PT, R::Bookkeeping), r("sexo", ES | PT, R::Bookkeeping),
    r("creato", IT, R::Bookkeeping), r("modificato", IT, R::Bookkeeping),
    r("proprietario", IT | PT, R::Bookkeeping), r("anagrafica", IT, R::Bookkeeping),
    r("destinazione", IT, R::Bookkeeping), r("sesso", IT, R::Bookkeeping),
    r("riferimento", IT, R::Bookkeeping), r("amministrazione", IT, R::Bookkeeping),
    r("gemaakt", NL, R::Bookkeeping), r("gewijzigd", NL, R::Bookkeeping),
    r("eigenaar", NL, R::Bookkeeping), r("prioriteit", NL, R::Bookkeeping),
    r("gevoeligheid", NL, R::Bookkeeping), r("geslacht", NL, R::Bookkeeping),
    r("relatiecode", NL, R::Bookkeeping), r("inlognaam", NL, R::Bookkeeping),
    r("wachtwoord", NL, R::Bookkeeping), r("geblokkeerd", NL, R::Bookkeeping),
    r("kortingspercentage", NL, R::Bookkeeping), r("plichtig", NL, R::Bookkeeping),
    r("criado", PT, R::Bookkeeping), 
    r("yomi", ALL, R::Bookkeeping), r("adreslijstserver", NL, R::Bookkeeping),

    // Another person's data, or the contact's that no property holds: into the note.
    r("manager", ALL, R::Other), r("spouse", EN, R::Other), r("partner", ALL, R::Other),
    r("children", EN, R::Other), r("child", EN, R::Other), r("referred", EN, R::Other),
    r("reports", EN, R::Other), r("kinder", DE, R::Other), r("ehepartner", DE, R::Other),
    r("enfants", FR, R::Other), r("conjoint", FR, R::Other), r("hijos", ES, R::Other),
    r("conyuge", ES, R::Other), r("figli", IT, R::Other), r("coniuge", IT, R::Other),
    r("kinderen", NL, R::Other), r("echtgenoot", NL, R::Other), r("filhos", PT, R::Other),
    r("conjuge", PT, R::Other), r("screen", EN, R::Other), r("ecran", FR, R::Other),
    r("pantalla", ES, R::Other), r("schermo", IT, R::Other), r("scherm", NL, R::Other),
    r("tela", PT, R::Other), r("custom", EN, R::Other), r("benutzerdef", DE, R::Other),
    r("benutzerdefiniert", DE, R::Other), r("divers", FR, R::Other),
    r("personalizado", ES | PT, R::Other), r("personalizzato", IT, R::Other),
    r("overig", NL, R::Other), r("user", EN, R::Other), r("gebruiker", NL, R::Other),
    r("attn", EN, R::Other), r("telex", ALL, R::Other),

    // Dates and times, and their parts.
    r("date", EN | FR, R::Time), r("time", EN, R::Time), r("datum", DE | NL, R::Time),
    r("zeit", DE, R::Time), r("fecha", ES, R::Time), r("hora", ES | PT, R::Time),
    r("data", IT | PT, R::Time), r("ora", IT, R::Time), r("tijd", NL, R::Time), r("heure", FR, R::Time),
    r("at", EN, R::Time), r("contacted", EN, R::Time), r("anniversary", EN, R::Time),
    dp("year", EN, D::Year), dp("month", EN, D::Month), dp("day", EN, D::Day),
    dp("jahr", DE, D::Year), dp("monat", DE, D::Month), dp("tag", DE, D::Day),
    dp("annee", FR, D::Year), dp("mois", FR, D::Month), dp("jour", FR, D::Day),
    dp("ano", ES | PT, D::Year), dp("mes", ES | PT, D::Month), dp("dia", ES | PT, D::Day),
    dp("anno", IT, D::Year), dp("mese", IT, D::Month), dp("giorno", IT, D::Day),
    dp("jaar", NL, D::Year), dp("maand", NL, D::Month), dp("dag", NL, D::Day),

    // E-mail and the web.
    c("email", ALL, K::Email), c("emails", ALL, K::Email), c("mail", ALL, K::Email),
    c("emailadres", NL, K::Email), c("mailadres", NL, K::Email), c("emailadresse", DE, K::Email),
    c("courriel", FR, K::Email), c("messagerie", FR, K::Email), c("electronique", FR, K::Email),
    c("correo", ES, K::Email), c("electronico", ES, K::Email), c("postaelettronica", IT, K::Email),
    c("elettronica", IT, K::Email), c("pec", IT, K::Email), c("eletronico", PT, K::Email),
    c("web", ALL, K::Web), c("website", EN, K::Web), c("webseite", DE, K::Web),
    c("webpage", EN, K::Web), c("homepage", ALL, K::Web, Q::None, P::Home),
    c("page", EN | FR, K::Web), c("pagina", ES | IT | NL | PT, K::Web), c("webpagina", NL, K::Web),
    c("url", ALL, K::Web), c("site", EN | FR | PT, K::Web), c("sitio", ES, K::Web),
    c("sito", IT, K::Web), c("linkedin", ALL, K::Web), c("facebook", ALL, K::Web),
    c("twitter", ALL, K::Web), c("blog", ALL, K::Web, Q::None, P::Home),
    c("profile", EN, K::Web, Q::None, P::Home), c("internetseite", DE, K::Web),

    // Telephones.
    c("fax", ALL, K::Phone, Q::Fax), c("telefax", ALL, K::Phone, Q::Fax),
    c("telecopie", FR, K::Phone, Q::Fax), c("facsimile", EN, K::Phone, Q::Fax),
    c("pager", ALL, K::Phone, Q::Pager), c("beeper", EN, K::Phone, Q::Pager),
    c("radiomessagerie", FR, K::Phone, Q::Pager), c("localizador", ES, K::Phone, Q::Pager),
    c("buscapersonas", ES, K::Phone, Q::Pager), c("cercapersone", IT, K::Phone, Q::Pager),
    c("pieper", DE | NL, K::Phone, Q::Pager), c("funkruf", DE, K::Phone, Q::Pager),
    c("semafoon", NL, K::Phone, Q::Pager),
    c("mobile", EN | FR, K::Phone, Q::Cell), c("mobil", DE, K::Phone, Q::Cell),
    c("mobiltelefon", DE, K::Phone, Q::Cell), c("cell", EN, K::Phone, Q::Cell),
    c("cellular", EN, K::Phone, Q::Cell), c("cellphone", EN, K::Phone, Q::Cell),
    c("handy", DE, K::Phone, Q::Cell), c("natel", DE, K::Phone, Q::Cell),
    c("portable", FR, K::Phone, Q::Cell), c("movil", ES, K::Phone, Q::Cell),
    c("celular", ES | PT, K::Phone, Q::Cell), c("cellulare", IT, K::Phone, Q::Cell),
    c("mobiel", NL, K::Phone, Q::Cell), c("mobiele", NL, K::Phone, Q::Cell),
    c("telemovel", PT, K::Phone, Q::Cell), c("gsm", ALL, K::Phone, Q::Cell),
    c("iphone", ALL, K::Phone, Q::Cell), c("sms", ALL, K::Phone, Q::Cell),
    c("whatsapp", ALL, K::Phone, Q::Cell),
    c("isdn", ALL, K::Phone, Q::Isdn), c("callback", EN, K::Phone, Q::Callback),
    c("rueckruf", DE, K::Phone, Q::Callback), c("rueckmeldung", DE, K::Phone, Q::Callback),
    c("rappel", FR, K::Phone, Q::Callback), c("richiamata", IT, K::Phone, Q::Callback),
    c("terugbellen", NL, K::Phone, Q::Callback), c("retorno", PT, K::Phone, Q::Callback),
    c("devolucion", ES, K::Phone, Q::Callback),
    c("tty", ALL, K::Phone, Q::Tty), c("tdd", ALL, K::Phone, Q::Tty),
    c("teksttelefoon", NL, K::Phone, Q::Tty), c("texttelefon", DE, K::Phone, Q::Tty),
    c("videophone", EN, K::Phone, Q::Video), c("modem", ALL, K::Phone, Q::Modem),
    c("voicemail", EN, K::Phone, Q::Message),
    c("phone", EN, K::Phone), c("phones", EN, K::Phone), c("telephone", EN | FR, K::Phone),
    c("tel", ALL, K::Phone), c("telefon", DE, K::Phone), c("telefono", ES | IT, K::Phone),
    c("telefoon", NL, K::Phone), c("telefone", PT, K::Phone), c("fone", PT, K::Phone),
    c("landline", EN, K::Phone), c("festnetz", DE, K::Phone), c("rufnummer", DE, K::Phone),
    c("fixe", FR, K::Phone), c("fijo", ES, K::Phone), c("fisso", IT, K::Phone),
    c("vaste", NL, K::Phone), c("voice", EN, K::Phone), c("telf", ES, K::Phone),
    c("tfno", ES, K::Phone), c("tlf", ALL, K::Phone),
    pq("car", EN, Q::Car), pq("auto", DE | NL | IT | ES | PT, Q::Car), pq("voiture", FR, Q::Car),
    pq("automovil", ES, Q::Car), pq("carro", PT, Q::Car),
    pq("main", EN, Q::Main), pq("hoofd", NL, Q::Main), pq("haupt", DE, Q::Main),
    pq("principal", FR | ES | PT, Q::Main), pq("principale", IT, Q::Main),
    pq("centralita", ES, Q::Main), pq("corporate", EN, Q::Main),
    pq("assistant", EN | FR, Q::Assistant), pq("asst", EN, Q::Assistant),
    pq("assistent", DE | NL, Q::Assistant), pq("assistente", IT | PT, Q::Assistant),
    pq("assistante", FR, Q::Assistant), pq("ayudante", ES, Q::Assistant),
    pq("asistente", ES, Q::Assistant), pq("radio", ALL, Q::Radio), pq("video", ALL, Q::Video),

    // Birthdays.
    c("birthday", EN, K::Date), c("birthdate", EN, K::Date), c("birth", EN, K::Date),
    c("dob", EN, K::Date), c("geburtstag", DE, K::Date), c("geburtsdatum", DE, K::Date),
    c("geburts", DE, K::Date), c("geburt", DE, K::Date), c("anniversaire", FR, K::Date),
    c("naissance", FR, K::Date), c("cumpleanos", ES, K::Date), c("nacimiento", ES, K::Date),
    c("compleanno", IT, K::Date), c("nascita", IT, K::Date), c("verjaardag", NL, K::Date),
    c("geboortedatum", NL, K::Date), c("geboorte", NL, K::Date), c("nascimento", PT, K::Date),
    c("aniversario", PT, K::Date),

    // Addresses and their parts.
    c("pobox", EN, K::Address, Q::PoBox), c("postbox", EN, K::Address, Q::PoBox),
    c("postfach", DE, K::Address, Q::PoBox), c("boitepostale", FR, K::Address, Q::PoBox),
    c("apartado", ES, K::Address, Q::PoBox), c("casellapostale", IT, K::Address, Q::PoBox),
    c("postbus", NL, K::Address, Q::PoBox), c("caixapostal", PT, K::Address, Q::PoBox),
    c("street", EN, K::Address, Q::Street), c("str", DE, K::Address, Q::Street),
    c("strasse", DE, K::Address, Q::Street), c("rue", FR, K::Address, Q::Street),
    c("calle", ES, K::Address, Q::Street), c("via", IT, K::Address, Q::Street),
    c("straat", NL, K::Address, Q::Street), c("rua", PT, K::Address, Q::Street),
    c("logradouro", PT, K::Address, Q::Street), c("extended", EN, K::Address, Q::Street2),
    c("extra", ALL, K::Address, Q::Street2), c("adresszusatz", DE, K::Address, Q::Street2),
    c("bairro", PT, K::Address, Q::Street2), c("barrio", ES, K::Address, Q::Street2),
    c("quartier", FR, K::Address, Q::Street2), c("ortsteil", DE, K::Address, Q::Street2),
    c("wijk", NL, K::Address, Q::Street2), c("quartiere", IT, K::Address, Q::Street2),
    c("frazione", IT, K::Address, Q::Street2),
    c("city", EN, K::Address, Q::City), c("town", EN, K::Address, Q::City),
    c("ort", DE, K::Address, Q::City), c("stadt", DE, K::Address, Q::City),
    c("wohnort", DE, K::Address, Q::City), c("gemeinde", DE, K::Address, Q::City),
    c("ville", FR, K::Address, Q::City), c("commune", FR, K::Address, Q::City),
    c("ciudad", ES, K::Address, Q::City), c("localidad", ES, K::Address, Q::City),
    c("poblacion", ES, K::Address, Q::City), c("municipio", ES | PT, K::Address, Q::City),
    c("citta", IT, K::Address, Q::City), c("comune", IT, K::Address, Q::City),
    c("localita", IT, K::Address, Q::City), c("plaats", NL, K::Address, Q::City),
    c("woonplaats", NL, K::Address, Q::City), c("stad", NL, K::Address, Q::City),
    c("gemeente", NL, K::Address, Q::City), c("locatie", NL, K::Address, Q::City),
    c("cidade", PT, K::Address, Q::City), c("localidade", PT, K::Address, Q::City),
    c("locality", EN, K::Address, Q::City), c("municipality", EN, K::Address, Q::City),
    c("country", EN, K::Address, Q::Country), c("land", DE | NL, K::Address, Q::Country),
    c("pays", FR, K::Address, Q::Country), c("pais", ES | PT, K::Address, Q::Country),
    c("paese", IT, K::Address, Q::Country), c("nazione", IT, K::Address, Q::Country),
    c("nation", EN | FR, K::Address, Q::Country),
    c("nationskennzeichen", DE, K::Address, Q::Country),
    c("state", EN, K::Address, Q::Region), c("region", ALL, K::Address, Q::Region),
    c("province", EN | FR, K::Address, Q::Region), c("provincia", ES | IT, K::Address, Q::Region),
    c("county", EN, K::Address, Q::Region), c("bundesland", DE, K::Address, Q::Region),
    c("kanton", DE, K::Address, Q::Region), c("departement", FR, K::Address, Q::Region),
    c("dep", FR, K::Address, Q::Region), c("etat", FR, K::Address, Q::Region),
    c("regione", IT, K::Address, Q::Region), c("prov", IT, K::Address, Q::Region),
    c("provincie", NL, K::Address, Q::Region), c("estado", ES | PT, K::Address, Q::Region),
    c("regio", NL, K::Address, Q::Region), c("uf", PT, K::Address, Q::Region),
    c("zip", EN, K::Address, Q::PostalCode), c("zipcode", EN, K::Address, Q::PostalCode),
    c("postal", EN | FR | ES, K::Address, Q::PostalCode),
    c("postalcode", EN, K::Address, Q::PostalCode), c("postcode", EN | NL, K::Address, Q::PostalCode),
    c("plz", DE, K::Address, Q::PostalCode), c("postleitzahl", DE, K::Address, Q::PostalCode),
    c("npa", FR, K::Address, Q::PostalCode), c("cp", FR | ES, K::Address, Q::PostalCode),
    c("cap", IT, K::Address, Q::PostalCode), c("cep", PT, K::Address, Q::PostalCode),
    c("address", EN, K::Address, Q::Formatted), c("addresses", EN, K::Address, Q::Formatted),
    c("adresse", DE | FR, K::Address, Q::Formatted), c("anschrift", DE, K::Address, Q::Formatted),
    c("direccion", ES, K::Address, Q::Formatted), c("domicilio", ES | IT, K::Address, Q::Formatted),
    c("indirizzo", IT, K::Address, Q::Formatted), c("adres", NL, K::Address, Q::Formatted),
    c("endereco", PT, K::Address, Q::Formatted), c("formatted", EN, K::Address, Q::Formatted),
    r("hausnummer", DE, R::HouseNumber), r("hausnr", DE, R::HouseNumber),
    r("huisnummer", NL, R::HouseNumber), r("huisnr", NL, R::HouseNumber),
    r("civico", IT, R::HouseNumber), r("numerocivico", IT, R::HouseNumber),
    r("housenumber", EN, R::HouseNumber), r("streetnumber", EN, R::HouseNumber),
    r("hausnummerzusatz", DE, R::HouseAddition), r("zusatz", DE, R::HouseAddition),
    r("toevoeging", NL, R::HouseAddition), r("huisnummertoevoeging", NL, R::HouseAddition),
    r("complemento", PT | ES, R::HouseAddition), r("addition", EN, R::HouseAddition),
    r("extension", EN, R::HouseAddition),

    // Notes and categories.
    c("notes", EN, K::Note), c("note", EN, K::Note), c("notizen", DE, K::Note),
    c("notiz", DE, K::Note), c("bemerkung", DE, K::Note), c("bemerkungen", DE, K::Note),
    c("kommentar", DE, K::Note), c("anmerkungen", DE, K::Note), c("hinweis", DE, K::Note),
    c("remarque", FR, K::Note), c("remarques", FR, K::Note), c("commentaire", FR, K::Note),
    c("commentaires", FR, K::Note), c("nota", ES | IT | PT, K::Note), c("notas", ES | PT, K::Note),
    c("observaciones", ES, K::Note), c("comentarios", ES | PT, K::Note),
    c("annotazioni", IT, K::Note), c("commenti", IT, K::Note), c("osservazioni", IT, K::Note),
    c("notitie", NL, K::Note), c("notities", NL, K::Note), c("opmerking", NL, K::Note),
    c("opmerkingen", NL, K::Note), c("aantekeningen", NL, K::Note), c("observacoes", PT, K::Note),
    c("anotacoes", PT, K::Note), c("comments", EN, K::Note), c("comment", EN, K::Note),
    c("description", EN | FR, K::Note), c("beschreibung", DE, K::Note),
    c("descripcion", ES, K::Note), c("descrizione", IT, K::Note), c("beschrijving", NL, K::Note),
    c("descricao", PT, K::Note), c("memo", ALL, K::Note), c("message", EN | FR, K::Note),
    c("nachricht", DE, K::Note),
    c("categories", EN | FR, K::Categories), c("category", EN, K::Categories),
    c("kategorie", DE, K::Categories), c("kategorien", DE, K::Categories),
    c("categorie", FR | IT | NL, K::Categories), c("categoria", ES | IT | PT, K::Categories),
    c("categorias", ES | PT, K::Categories), c("categorieen", NL, K::Categories),
    c("tags", ALL, K::Categories), c("tag", EN, K::Categories), c("labels", EN, K::Categories),
    c("label", EN, K::Categories), c("groups", EN, K::Categories), c("group", EN, K::Categories),
    c("gruppe", DE, K::Categories), c("gruppen", DE, K::Categories), c("groupe", FR, K::Categories),
    c("groupes", FR, K::Categories), c("grupo", ES | PT, K::Categories),
    c("grupos", ES | PT, K::Categories), c("gruppo", IT, K::Categories),
    c("gruppi", IT, K::Categories), c("groep", NL, K::Categories), c("groepen", NL, K::Categories),
    c("etiquetas", ES | PT, K::Categories), c("etichette", IT, K::Categories),
    c("etiketten", DE | NL, K::Categories), c("etiquettes", FR, K::Categories),
    c("keywords", EN, K::Categories), c("trefwoorden", NL, K::Categories),
    c("stichwoerter", DE, K::Categories), c("schlagworte", DE, K::Categories),
    c("motscles", FR, K::Categories), c("lists", EN, K::Categories),

    // Work.
    c("department", EN, K::Organisation, Q::Department),
    c("departments", EN, K::Organisation, Q::Department),
    c("dept", EN, K::Organisation, Q::Department), c("abteilung", DE, K::Organisation, Q::Department),
    c("bereich", DE, K::Organisation, Q::Department), c("service", FR, K::Organisation, Q::Department),
    c("departamento", ES | PT, K::Organisation, Q::Department),
    c("division", EN | ES, K::Organisation, Q::Department),
    c("reparto", IT, K::Organisation, Q::Department),
    c("dipartimento", IT, K::Organisation, Q::Department),
    c("afdeling", NL, K::Organisation, Q::Department), c("setor", PT, K::Organisation, Q::Department),
    c("sector", ES | NL, K::Organisation, Q::Department),
    c("company", EN, K::Organisation, Q::Company), c("organization", EN, K::Organisation, Q::Company),
    c("organisation", EN | FR | DE, K::Organisation, Q::Company),
    c("org", ALL, K::Organisation, Q::Company), c("firma", DE | ES | IT, K::Organisation, Q::Company),
    c("firmenname", DE, K::Organisation, Q::Company),
    c("unternehmen", DE, K::Organisation, Q::Company),
    c("arbeitgeber", DE, K::Organisation, Q::Company), c("societe", FR, K::Organisation, Q::Company),
    c("entreprise", FR, K::Organisation, Q::Company),
    c("raisonsociale", FR, K::Organisation, Q::Company),
    c("empresa", ES | PT, K::Organisation, Q::Company), c("compania", ES, K::Organisation, Q::Company),
    c("organizacion", ES, K::Organisation, Q::Company),
    c("azienda", IT, K::Organisation, Q::Company), c("societa", IT, K::Organisation, Q::Company),
    c("ditta", IT, K::Organisation, Q::Company),
    c("ragionesociale", IT, K::Organisation, Q::Company),
    c("denominazione", IT, K::Organisation, Q::Company),
    c("bedrijf", NL, K::Organisation, Q::Company), c("bedrijfsnaam", NL, K::Organisation, Q::Company),
    c("organisatie", NL, K::Organisation, Q::Company),
    c("werkgever", NL, K::Organisation, Q::Company),
    c("organizacao", PT, K::Organisation, Q::Company),
    c("fantasia", PT, K::Organisation, Q::Company),
    c("razaosocial", PT, K::Organisation, Q::Company),
    c("employer", EN, K::Organisation, Q::Company),
    c("accountname", EN, K::Organisation, Q::Company),
    c("businessname", EN, K::Organisation, Q::Company),
    c("companyname", EN, K::Organisation, Q::Company),
    c("job", EN, K::Job), c("jobtitle", EN, K::Job), c("position", EN | DE | FR, K::Job),
    c("role", EN, K::Job), c("occupation", EN, K::Job), c("profession", EN | FR, K::Job),
    c("designation", EN, K::Job), c("beruf", DE, K::Job), c("berufsbezeichnung", DE, K::Job),
    c("funktion", DE, K::Job), c("arbeitstitel", DE, K::Job), c("stellenbezeichnung", DE, K::Job),
    c("taetigkeit", DE, K::Job), c("jobtitel", DE | NL, K::Job), c("fonction", FR, K::Job),
    c("poste", FR, K::Job), c("metier", FR, K::Job), c("puesto", ES, K::Job), c("cargo", ES | PT, K::Job),
    c("ocupacion", ES, K::Job), c("profesion", ES, K::Job), c("mansione", IT, K::Job),
    c("ruolo", IT, K::Job), c("qualifica", IT, K::Job), c("professione", IT, K::Job),
    c("posizione", IT, K::Job), c("funzione", IT, K::Job), c("incarico", IT, K::Job),
    c("functie", NL, K::Job), c("functietitel", NL, K::Job), c("beroep", NL, K::Job),
    c("werkfunctie", NL, K::Job), c("funcao", PT, K::Job), c("profissao", PT, K::Job),
    c("ocupacao", PT, K::Job),

    // Names.
    r("title", EN, R::Title), r("titel", DE | NL, R::Title), r("titre", FR, R::Title),
    r("titulo", ES | PT, R::Title), r("titolo", IT, R::Title),
    c("prefix", EN, K::Name, Q::Prefix), c("salutation", EN | FR, K::Name, Q::Prefix),
    c("anrede", DE, K::Name, Q::Prefix), c("civilite", FR, K::Name, Q::Prefix),
    c("tratamiento", ES, K::Name, Q::Prefix), c("saludo", ES, K::Name, Q::Prefix),
    c("appellativo", IT, K::Name, Q::Prefix), c("aanhef", NL, K::Name, Q::Prefix),
    c("aanspreektitel", NL, K::Name, Q::Prefix), c("tratamento", PT, K::Name, Q::Prefix),
    c("honorific", EN, K::Name, Q::Prefix), c("courtesy", EN, K::Name, Q::Prefix),
    c("suffix", EN, K::Name, Q::Suffix), c("suffixe", FR, K::Name, Q::Suffix),
    c("sufijo", ES, K::Name, Q::Suffix), c("suffisso", IT, K::Name, Q::Suffix),
    c("achtervoegsel", NL, K::Name, Q::Suffix), c("sufixo", PT, K::Name, Q::Suffix),
    c("namenszusatz", DE, K::Name, Q::Suffix), c("titolostraniero", IT, K::Name, Q::Suffix),
    c("nickname", EN, K::Name, Q::Nick), c("nick", EN, K::Name, Q::Nick),
    c("spitzname", DE, K::Name, Q::Nick), c("rufname", DE, K::Name, Q::Nick),
    c("surnom", FR, K::Name, Q::Nick), c("apodo", ES, K::Name, Q::Nick),
    c("soprannome", IT, K::Name, Q::Nick), c("bijnaam", NL, K::Name, Q::Nick),
    c("roepnaam", NL, K::Name, Q::Nick), c("alcunha", PT, K::Name, Q::Nick),
    c("apelido", PT, K::Name, Q::Nick), c("alias", ALL, K::Name, Q::Nick),
    c("middle", EN, K::Name, Q::Middle), c("middlename", EN, K::Name, Q::Middle),
    c("additionalname", EN, K::Name, Q::Middle), c("weiterevornamen", DE, K::Name, Q::Middle),
    c("zweitervorname", DE, K::Name, Q::Middle), c("deuxiemeprenom", FR, K::Name, Q::Middle),
    c("secondprenom", FR, K::Name, Q::Middle), c("segundonombre", ES, K::Name, Q::Middle),
    c("secondonome", IT, K::Name, Q::Middle), c("tweedevoornaam", NL, K::Name, Q::Middle),
    c("middelste", NL, K::Name, Q::Middle), c("segundonome", PT, K::Name, Q::Middle),
    c("meio", PT, K::Name, Q::Middle),
    c("first", EN, K::Name, Q::Given), c("firstname", EN, K::Name, Q::Given),
    c("fname", EN, K::Name, Q::Given), c("given", EN, K::Name, Q::Given),
    c("givenname", EN, K::Name, Q::Given), c("forename", EN, K::Name, Q::Given),
    c("vorname", DE, K::Name, Q::Given), c("vornamen", DE, K::Name, Q::Given),
    c("prenom", FR, K::Name, Q::Given), c("nombre", ES, K::Name, Q::Given),
    c("nome", IT | PT, K::Name, Q::Given), c("voornaam", NL, K::Name, Q::Given),
    c("voornamen", NL, K::Name, Q::Given), c("primeiro", PT, K::Name, Q::Given),
    c("last", EN, K::Name, Q::Family), c("lastname", EN, K::Name, Q::Family),
    c("lname", EN, K::Name, Q::Family), c("family", EN, K::Name, Q::Family),
    c("familyname", EN, K::Name, Q::Family), c("surname", EN, K::Name, Q::Family),
    c("nachname", DE, K::Name, Q::Family), c("familienname", DE, K::Name, Q::Family),
    c("nom", FR, K::Name, Q::Family), c("famille", FR, K::Name, Q::Family),
    c("apellido", ES, K::Name, Q::Family), c("apellidos", ES, K::Name, Q::Family),
    c("cognome", IT, K::Name, Q::Family), c("achternaam", NL, K::Name, Q::Family),
    c("sobrenome", PT, K::Name, Q::Family),
    c("name", EN | DE, K::Name, Q::Full), c("names", EN, K::Name, Q::Full),
    c("fullname", EN, K::Name, Q::Full), c("displayname", EN, K::Name, Q::Full),
    c("nomcomplet", FR, K::Name, Q::Full), c("nombrecompleto", ES, K::Name, Q::Full),
    c("nomecompleto", IT | PT, K::Name, Q::Full), c("volledigenaam", NL, K::Name, Q::Full),
    c("anzeigename", DE, K::Name, Q::Full), c("naam", NL, K::Name, Q::Full),
    r("tussenvoegsel", NL, R::FamilyPrefix), r("voorvoegsel", NL, R::FamilyPrefix),
    r("preposition", EN, R::FamilyPrefix),
    r("display", EN, R::Display), r("angezeigter", DE, R::Display), r("anzeige", DE, R::Display),
    r("affichage", FR, R::Display), r("afficher", FR, R::Display), r("mostrado", ES, R::Display),
    r("weergave", NL, R::Display), r("weergegeven", NL, R::Display), r("apresentar", PT, R::Display),
    r("visualizzato", IT, R::Display),

    // Places.
    pl("home", EN, P::Home), pl("private", EN, P::Home), pl("personal", EN | ES, P::Home),
    pl("privat", DE, P::Home), pl("prive", FR | NL, P::Home), pl("privee", FR, P::Home),
    pl("domicile", FR, P::Home), pl("personnel", FR, P::Home), pl("personnelle", FR, P::Home),
    pl("perso", FR, P::Home), pl("casa", ES | IT | PT, P::Home), pl("particular", ES | PT, P::Home),
    pl("privado", ES | PT, P::Home), pl("residencia", ES | PT, P::Home),
    pl("personale", IT, P::Home), pl("privato", IT, P::Home), pl("thuis", NL, P::Home),
    pl("huis", NL, P::Home), pl("residencial", PT, P::Home), pl("pessoal", PT, P::Home),
    pl("residence", EN | FR, P::Home), pl("ab", IT, P::Home), pl("abitazione", IT, P::Home),
    pl("vive", ES, P::Home),
    pl("work", EN, P::Work), pl("business", EN, P::Work), pl("office", EN, P::Work),
    pl("direct", EN, P::Work), pl("geschaeftlich", DE, P::Work), pl("buero", DE, P::Work),
    pl("arbeit", DE, P::Work), pl("dienstlich", DE, P::Work), pl("beruflich", DE, P::Work),
    pl("bureau", FR, P::Work), pl("travail", FR, P::Work), pl("professionnel", FR, P::Work),
    pl("professionnelle", FR, P::Work), pl("pro", FR, P::Work), pl("trabajo", ES, P::Work),
    pl("oficina", ES, P::Work), pl("laboral", ES, P::Work), pl("lavoro", IT, P::Work),
    pl("ufficio", IT, P::Work), pl("uff", IT, P::Work), pl("werk", NL, P::Work),
    pl("zakelijk", NL, P::Work), pl("kantoor", NL, P::Work), pl("trabalho", PT, P::Work),
    pl("comercial", ES | PT, P::Work), pl("escritorio", ES | PT, P::Work),
    pl("other", EN, P::Other), pl("secondary", EN, P::Other), pl("alternate", EN, P::Other),
    pl("alt", EN, P::Other), pl("weitere", DE, P::Other), pl("weiteres", DE, P::Other),
    pl("andere", DE | NL, P::Other), pl("anderes", DE, P::Other), pl("ander", NL, P::Other),
    pl("anders", NL, P::Other), pl("sonstige", DE, P::Other), pl("autre", FR, P::Other),
    pl("autres", FR, P::Other), pl("otro", ES, P::Other), pl("otra", ES, P::Other),
    pl("altro", IT, P::Other), pl("altra", IT, P::Other), pl("overige", NL, P::Other),
    pl("outro", PT, P::Other), pl("outra", PT, P::Other),
    r("mailing", EN, R::Mailing), r("billing", EN, R::Mailing), r("shipping", EN, R::Mailing),
    r("invoice", EN, R::Mailing), r("default", EN, R::Mailing), r("rechnung", DE, R::Mailing),
    r("rechnungs", DE, R::Mailing), r("liefer", DE, R::Mailing), r("facturation", FR, R::Mailing),
    r("livraison", FR, R::Mailing), r("facturacion", ES, R::Mailing), r("envio", ES | PT, R::Mailing),
    r("fatturazione", IT, R::Mailing), r("spedizione", IT, R::Mailing),
    r("factuur", NL, R::Mailing), r("verzend", NL, R::Mailing), r("cobranca", PT, R::Mailing),
    r("entrega", ES | PT, R::Mailing),

    // Words that change nothing, and the few that shape a name.
    r("number", EN, R::Number), r("nummer", DE | NL, R::Number), r("numero", FR | ES | IT | PT, R::Number),
    r("nr", DE | NL, R::Number), r("no", EN, R::Number), r("num", ALL, R::Number),
    r("line", EN, R::Line), r("label", EN, R::GroupLabel), r("type", EN, R::GroupLabel),
    r("value", EN, R::GroupValue),
    r("code", EN | FR, R::Neutral), r("codigo", ES | PT, R::Neutral), r("codice", IT, R::Neutral), r("of", EN, R::Neutral),
    r("de", FR | ES | NL | PT, R::Neutral), r("del", ES | IT, R::Neutral), r("la", FR | ES | IT, R::Neutral),
    r("le", FR, R::Neutral), r("l", FR | IT, R::Neutral), r("the", EN, R::Neutral),
    r("di", IT, R::Neutral), r("da", IT | PT, R::Neutral), r("do", PT, R::Neutral),
    r("van", NL, R::Neutral), r("du", FR, R::Neutral), r("des", FR, R::Neutral),
    r("op", NL, R::Neutral), r("voor", NL, R::Neutral), r("en", ES | FR, R::Neutral),
    r("primary", EN, R::Neutral), r("persoon", NL, R::Neutral),
    r("person", EN | DE, R::Neutral), r("customer", EN, R::Neutral), r("kunde", DE, R::Neutral), r("contact", EN | FR, R::Neutral), r("s", EN, R::Neutral),
    r("primaere", DE, R::Neutral), r("primario", ES | IT | PT, R::Neutral),
    r("donde", ES, R::Neutral), r("como", ES | PT, R::Neutral), r("area", ALL, R::Neutral),
    r("geografica", IT | ES | PT, R::Neutral), r("automatica", IT, R::Neutral),
};
// clang-format on

// The column names of common exports and the properties they hold. Outlook's
// names are those of its English, German, French and Spanish editions;
// Google's those of its older ("Given Name") and newer ("First Name")
// exports, whose typed groups ("E-mail 1 - Value") are read by TypedGroups
// instead; then Thunderbird, LinkedIn, Yahoo, Apple, Zoho and plain names.
struct KnownName {
    std::string_view header;
    Position property;
    std::optional<Position> fallback = std::nullopt;
};

// clang-format off
constexpr KnownName kKnownNames[] = {
    {"First Name", FirstName}, {"Given Name", FirstName}, {"First", FirstName},
    {"Forename", FirstName}, {"Vorname", FirstName}, {"Prénom", FirstName}, {"Nombre", FirstName},
    {"Last Name", LastName}, {"Family Name", LastName}, {"Last", LastName}, {"Surname", LastName},
    {"Nachname", LastName}, {"Nom", LastName}, {"Apellidos", LastName},
    {"Middle Name", MiddleName}, {"Additional Name", MiddleName}, {"Middle", MiddleName},
    {"Weitere Vornamen", MiddleName}, {"Deuxième prénom", MiddleName}, {"Segundo nombre", MiddleName},
    {"Title", Title}, {"Name Prefix", Title}, {"Prefix", Title}, {"Anrede", Title}, {"Titre", Title},
    {"Tratamiento", Title},
    {"Name", FullName}, {"Full Name", FullName}, {"Display Name", FullName},
    {"Suffix", NameSuffix}, {"Name Suffix", NameSuffix}, {"Suffixe", NameSuffix},
    {"Sufijo", NameSuffix}, {"Nickname", Nickname}, {"Spitzname", Nickname},
    {"Job Title", JobTitle}, {"Organization Title", JobTitle}, {"Organization 1 - Title", JobTitle},
    {"Position", JobTitle}, {"Fonction", JobTitle}, {"Puesto", JobTitle},
    {"Company", Company}, {"Organization", Company}, {"Organisation", Company},
    {"Organization Name", Company}, {"Organization 1 - Name", Company}, {"Firma", Company},
    {"Société", Company}, {"Organización", Company},
    {"Department", Department}, {"Organization Department", Department},
    {"Organization 1 - Department", Department}, {"Abteilung", Department}, {"Service", Department},
    {"Departamento", Department},
    {"Business Address", BusinessAddress},
    {"Business Street", BusinessAddressStreet}, {"Work Street", BusinessAddressStreet},
    {"Work Address", BusinessAddressStreet}, {"Straße geschäftlich", BusinessAddressStreet},
    {"Rue (bureau)", BusinessAddressStreet}, {"Calle del trabajo", BusinessAddressStreet},
    {"Business Street 2", BusinessAddressStreet2}, {"Work Address 2", BusinessAddressStreet2},
    {"Straße geschäftlich 2", BusinessAddressStreet2}, {"Rue (bureau) 2", BusinessAddressStreet2},
    {"Calle del trabajo 2", BusinessAddressStreet2},
    {"Business City", BusinessAddressCity}, {"Work City", BusinessAddressCity},
    {"Ort geschäftlich", BusinessAddressCity}, {"Ville (bureau)", BusinessAddressCity},
    {"Ciudad de trabajo", BusinessAddressCity},
    {"Business State", BusinessAddressState}, {"Work State", BusinessAddressState},
    {"Region geschäftlich", BusinessAddressState},
    {"Bundesland/Kanton geschäftlich", BusinessAddressState},
    {"Dép/Région (bureau)", BusinessAddressState},
    {"Provincia o estado de trabajo", BusinessAddressState},
    {"Business Postal Code", BusinessAddressPostalCode}, {"Work ZIP", BusinessAddressPostalCode},
    {"Work ZipCode", BusinessAddressPostalCode}, {"Work Postal Code", BusinessAddressPostalCode},
    {"Postleitzahl geschäftlich", BusinessAddressPostalCode},
    {"Code postal (bureau)", BusinessAddressPostalCode},
    {"Código postal del trabajo", BusinessAddressPostalCode},
    {"Business Country/Region", BusinessAddressCountry}, {"Business Country", BusinessAddressCountry},
    {"Work Country", BusinessAddressCountry}, {"Land/Region geschäftlich", BusinessAddressCountry},
    {"Pays/Région (bureau)", BusinessAddressCountry},
    {"País o región del trabajo", BusinessAddressCountry},
    {"Home Address", HomeAddressStreet}, {"Home Street", HomeAddressStreet},
    {"Street", HomeAddressStreet}, {"Address", HomeAddressStreet},
    {"Straße privat", HomeAddressStreet}, {"Rue (domicile)", HomeAddressStreet},
    {"Calle del domicilio", HomeAddressStreet},
    {"Home Street 2", HomeAddressStreet2}, {"Home Address 2", HomeAddressStreet2},
    {"Straße privat 2", HomeAddressStreet2}, {"Rue (domicile) 2", HomeAddressStreet2},
    {"Calle del domicilio 2", HomeAddressStreet2},
    {"Home City", HomeAddressCity}, {"City", HomeAddressCity}, {"Town", HomeAddressCity},
    {"Ort privat", HomeAddressCity}, {"Ville (domicile)", HomeAddressCity},
    {"Ciudad de residencia", HomeAddressCity},
    {"Home State", HomeAddressState}, {"State", HomeAddressState}, {"Region", HomeAddressState},
    {"Province", HomeAddressState}, {"Region privat", HomeAddressState},
    {"Bundesland/Kanton privat", HomeAddressState}, {"Dép/Région (domicile)", HomeAddressState},
    {"Provincia o estado de residencia", HomeAddressState}, {"Pays/État", HomeAddressState},
    {"Home Postal Code", HomeAddressPostalCode}, {"Home ZIP", HomeAddressPostalCode},
    {"Home ZipCode", HomeAddressPostalCode}, {"ZIP", HomeAddressPostalCode},
    {"ZIP Code", HomeAddressPostalCode}, {"Postal Code", HomeAddressPostalCode},
    {"Postcode", HomeAddressPostalCode}, {"PLZ", HomeAddressPostalCode},
    {"Postleitzahl privat", HomeAddressPostalCode}, {"Code postal (domicile)", HomeAddressPostalCode},
    {"Código postal de residencia", HomeAddressPostalCode},
    {"Home Country/Region", HomeAddressCountry}, {"Home Country", HomeAddressCountry},
    {"Country", HomeAddressCountry}, {"Land/Region privat", HomeAddressCountry},
    {"Pays/Région (domicile)", HomeAddressCountry}, {"País o región de residencia", HomeAddressCountry},
    // A plain phone is the business one, the first of them.
    {"Business Phone", BusinessTelephoneNumber}, {"Work Phone", BusinessTelephoneNumber},
    {"Work", BusinessTelephoneNumber}, {"Phone", BusinessTelephoneNumber},
    {"Telephone", BusinessTelephoneNumber}, {"Phone Number", BusinessTelephoneNumber},
    {"Telefon geschäftlich", BusinessTelephoneNumber}, {"Téléphone (bureau)", BusinessTelephoneNumber},
    {"Teléfono del trabajo", BusinessTelephoneNumber},
    {"Home Phone", HomeTelephoneNumber}, {"Home", HomeTelephoneNumber},
    {"Telefon privat", HomeTelephoneNumber}, {"Téléphone (domicile)", HomeTelephoneNumber},
    {"Particular", HomeTelephoneNumber},
    {"Mobile Phone", MobileNumber}, {"Mobile Number", MobileNumber}, {"Mobile", MobileNumber},
    {"Cell", MobileNumber}, {"Cell Phone", MobileNumber}, {"iPhone", MobileNumber},
    {"Mobiltelefon", MobileNumber}, {"Handy", MobileNumber}, {"Tél. mobile", MobileNumber},
    {"Téléphone mobile", MobileNumber}, {"Teléfono móvil", MobileNumber},
    {"Business Fax", BusinessFaxNumber}, {"Work Fax", BusinessFaxNumber}, {"Fax", BusinessFaxNumber},
    {"Fax Number", BusinessFaxNumber}, {"Fax geschäftlich", BusinessFaxNumber},
    {"Télécopie (bureau)", BusinessFaxNumber}, {"Fax del trabajo", BusinessFaxNumber},
    {"Home Fax", HomeFaxNumber}, {"Fax privat", HomeFaxNumber}, {"Télécopie (domicile)", HomeFaxNumber},
    {"Fax particular", HomeFaxNumber},
    {"Other Fax", OtherFaxNumber}, {"Weiteres Fax", OtherFaxNumber}, {"Télécopie (autre)", OtherFaxNumber},
    {"Other Phone", OtherTelephoneNumber}, {"Other", OtherTelephoneNumber},
    {"Weiteres Telefon", OtherTelephoneNumber}, {"Téléphone (autre)", OtherTelephoneNumber},
    {"Autre téléphone", OtherTelephoneNumber}, {"Otro teléfono", OtherTelephoneNumber},
    {"Pager", PagerNumber}, {"Pager Number", PagerNumber},
    {"Récepteur de radiomessagerie", PagerNumber}, {"Localizador", PagerNumber},
    {"Car Phone", CarTelephoneNumber}, {"Autotelefon", CarTelephoneNumber},
    {"Téléphone (voiture)", CarTelephoneNumber}, {"Teléfono del automóvil", CarTelephoneNumber},
    {"Assistant's Phone", AssistantTelephoneNumber}, {"Asst Phone", AssistantTelephoneNumber},
    {"Assistant Phone", AssistantTelephoneNumber}, {"Telefon Assistent", AssistantTelephoneNumber},
    {"Téléphone de l'assistant(e)", AssistantTelephoneNumber},
    {"Teléfono del ayudante", AssistantTelephoneNumber},
    {"Company Main Phone", CompanyMainTelephoneNumber}, {"Main Phone", CompanyMainTelephoneNumber},
    {"Telefon Firma", CompanyMainTelephoneNumber}, {"Téléphone société", CompanyMainTelephoneNumber},
    {"Número de centralita de la organización", CompanyMainTelephoneNumber},
    {"Callback", CallbackTelephoneNumber}, {"Rückmeldung", CallbackTelephoneNumber},
    {"Rappel", CallbackTelephoneNumber}, {"Devolución de llamada", CallbackTelephoneNumber},
    {"ISDN", ISDNNumber}, {"Radio Phone", RadioTelephoneNumber},
    {"Funktelefon", RadioTelephoneNumber}, {"Radiotéléphone", RadioTelephoneNumber},
    {"Radioteléfono", RadioTelephoneNumber}, {"TTY/TDD Phone", TTYTDDTelephoneNumber},
    {"Telefon für Hörbehinderte", TTYTDDTelephoneNumber}, {"Téléphone TDD/TTY", TTYTDDTelephoneNumber},
    // A plain e-mail is the first of them.
    {"E-mail", EmailAddressWork}, {"E-mail Address", EmailAddressWork},
    {"Primary Email", EmailAddressWork}, {"Mail", EmailAddressWork},
    {"E-Mail-Adresse", EmailAddressWork}, {"Adresse de messagerie", EmailAddressWork},
    {"Dirección de correo electrónico", EmailAddressWork}, {"Work Email", EmailAddressWork},
    {"Business Email", EmailAddressWork}, {"Home Email", EmailAddressHome},
    {"Personal Email", EmailAddressHome}, {"Private Email", EmailAddressHome},
    {"Other Email", EmailAddressOther},
    {"E-mail 2", EmailAddress2, EmailAddressHome}, {"E-mail 2 Address", EmailAddress2, EmailAddressHome},
    {"Secondary Email", EmailAddress2, EmailAddressHome},
    {"Alternate Email 1", EmailAddress2, EmailAddressHome},
    {"E-Mail 2: Adresse", EmailAddress2, EmailAddressHome},
    {"Adresse de messagerie 2", EmailAddress2, EmailAddressHome},
    {"Dirección de correo electrónico 2", EmailAddress2, EmailAddressHome},
    {"E-mail 3", EmailAddress3, EmailAddressOther}, {"E-mail 3 Address", EmailAddress3, EmailAddressOther},
    {"Alternate Email 2", EmailAddress3, EmailAddressOther},
    {"E-Mail 3: Adresse", EmailAddress3, EmailAddressOther},
    {"Adresse de messagerie 3", EmailAddress3, EmailAddressOther},
    {"Dirección de correo electrónico 3", EmailAddress3, EmailAddressOther},
    // Web pages; LinkedIn's "URL" is the person's own profile.
    {"Business Website", BusinessWebPage}, {"Work Web Page", BusinessWebPage},
    {"Web Page 1", BusinessWebPage}, {"Web Page", PersonalWebPage}, {"Website", PersonalWebPage},
    {"Web Page 2", PersonalWebPage}, {"Personal Website", PersonalWebPage},
    {"Home Page", PersonalWebPage}, {"URL", PersonalWebPage}, {"Webseite", PersonalWebPage},
    {"Page Web", PersonalWebPage}, {"Página web", PersonalWebPage},
    {"Birthday", Birthday}, {"Date of Birth", Birthday}, {"Geburtstag", Birthday},
    {"Anniversaire", Birthday}, {"Cumpleaños", Birthday},
    {"Notes", Notes}, {"Note", Notes}, {"Comments", Notes}, {"Notizen", Notes}, {"Notas", Notes},
    {"Categories", Categories}, {"Category", Categories}, {"Labels", Categories},
    {"Group Membership", Categories}, {"Kategorien", Categories}, {"Catégories", Categories},
    {"Categorías", Categories},
};

// Honorifics, as words::key gives them: a title column holding these is the prefix.
constexpr std::string_view kHonorifics[] = {
    "mr", "mrs", "ms", "miss", "mx", "dr", "prof", "sir", "madam", "dame", "lord", "lady",
    "rev", "hon", "herr", "frau", "fraeulein", "m", "mme", "mlle", "me", "monsieur", "madame",
    "mademoiselle", "sr", "sra", "srta", "don", "dona", "senor", "senora", "dott", "dottssa",
    "dottoressa", "sig", "sigra", "signor", "signora", "ing", "avv", "dhr", "mevr", "mevrouw",
    "meneer", "ir", "drs", "profdr", "drmed", "mag", "dipling", "exmo", "exma"};

// Yes and no, as words::key gives them.
constexpr std::string_view kFlags[] = {
    "true", "false", "yes", "no", "ja", "nein", "wahr", "falsch", "oui", "non", "vrai", "faux",
    "si", "verdadero", "falso", "vero", "waar", "onwaar", "nee", "sim", "nao", "0", "1"};

// Countries, by name in the seven languages and by ISO code, and whether
// their addresses write the house number before the street.
struct Country {
    std::string_view name;
    bool numberFirst;
};
constexpr Country kCountries[] = {
    {"us", true}, {"usa", true}, {"unitedstates", true}, {"unitedstatesofamerica", true},
    {"estadosunidos", true}, {"etatsunis", true}, {"vereinigtestaaten", true}, {"statiuniti", true},
    {"verenigdestaten", true}, {"gb", true}, {"uk", true}, {"unitedkingdom", true},
    {"greatbritain", true}, {"england", true}, {"scotland", true}, {"wales", true},
    {"royaumeuni", true}, {"reinounido", true}, {"regnounito", true}, {"verenigdkoninkrijk", true},
    {"grossbritannien", true}, {"ie", true}, {"ireland", true}, {"irland", true}, {"irlande", true},
    {"irlanda", true}, {"ierland", true}, {"ca", true}, {"canada", true}, {"kanada", true},
    {"au", true}, {"australia", true}, {"australien", true}, {"australie", true},
    {"nz", true}, {"newzealand", true}, {"fr", true}, {"france", true}, {"frankreich", true},
    {"francia", true}, {"frankrijk", true}, {"franca", true}, {"lu", true}, {"luxembourg", true},
    {"luxemburg", true}, {"in", true}, {"india", true}, {"sg", true}, {"singapore", true},
    {"za", true}, {"southafrica", true},
    {"de", false}, {"deutschland", false}, {"germany", false}, {"allemagne", false},
    {"alemania", false}, {"germania", false}, {"duitsland", false}, {"alemanha", false},
    {"at", false}, {"oesterreich", false}, {"austria", false}, {"autriche", false},
    {"oostenrijk", false}, {"ch", false}, {"schweiz", false}, {"suisse", false}, {"svizzera", false},
    {"switzerland", false}, {"suiza", false}, {"zwitserland", false}, {"suica", false},
    {"nl", false}, {"nederland", false}, {"netherlands", false}, {"thenetherlands", false},
    {"paysbas", false}, {"paisesbajos", false}, {"paesibassi", false}, {"holanda", false},
    {"holland", false}, {"niederlande", false}, {"be", false}, {"belgie", false},
    {"belgique", false}, {"belgien", false}, {"belgium", false}, {"belgica", false},
    {"belgio", false}, {"it", false}, {"italia", false}, {"italy", false}, {"italie", false},
    {"italien", false}, {"es", false}, {"espana", false}, {"spain", false},
    {"espagne", false}, {"spanien", false}, {"spagna", false}, {"spanje", false},
    {"espanha", false}, {"pt", false}, {"portugal", false}, {"portogallo", false}, {"br", false},
    {"brasil", false}, {"brazil", false}, {"bresil", false}, {"brasilien", false},
    {"brasile", false}, {"mx", false}, {"mexico", false}, {"ar", false}, {"argentina", false},
    {"cl", false}, {"chile", false}, {"co", false}, {"colombia", false}, {"pe", false},
    {"peru", false}, {"dk", false}, {"danmark", false}, {"denmark", false}, {"se", false},
    {"sverige", false}, {"sweden", false}, {"no", false}, {"norge", false}, {"norway", false},
    {"fi", false}, {"suomi", false}, {"finland", false}, {"pl", false}, {"polska", false},
    {"poland", false}, {"cz", false}, {"czechia", false}};
// clang-format on

// The words sorted, so that the meanings of one word lie side by side.
const std::vector<Word>& sortedWords() {
    static const std::vector<Word> sorted = [] {
        std::vector<Word> all(std::begin(kWords), std::end(kWords));
        std::stable_sort(all.begin(), all.end(),
                         [](const Word& a, const Word& b) { return a.word < b.word; });
        return all;
    }();
    return sorted;
}

bool known(std::string_view word) {
    return !meaningsOf(word).empty();
}

// Words longer than this are never cut in two: no word of the table is.
constexpr std::size_t kLongestCut = 40;

template <std::size_t N> bool among(const std::string_view (&list)[N], std::string_view word) {
    return std::find(std::begin(list), std::end(list), word) != std::end(list);
}

} // namespace

std::span<const Word> meaningsOf(std::string_view word) {
    const std::vector<Word>& all = sortedWords();
    const auto [first, last] =
        std::equal_range(all.begin(), all.end(), Word{word, 0, {}},
                         [](const Word& a, const Word& b) { return a.word < b.word; });
    return {first, last};
}

std::vector<std::string> wordsOf(std::string_view name) {
    const std::vector<std::string> split = words::split(name);
    std::vector<std::string> out;
    for (std::size_t i = 0; i < split.size(); ++i) {
        if (i + 1 < split.size() && known(split[i] + split[i + 1])) {
            out.push_back(split[i] + split[i + 1]);
            ++i;
            continue;
        }
        const std::string& w = split[i];
        std::size_t cut = 0;
        if (!known(w) && w.size() <= kLongestCut) {
            for (std::size_t k = 2; cut == 0 && k + 2 <= w.size(); ++k) {
                const std::string_view view(w);
                cut = known(view.substr(0, k)) && known(view.substr(k)) ? k : 0;
            }
        }
        if (cut > 0) {
            out.push_back(w.substr(0, cut));
            out.push_back(w.substr(cut));
        } else {
            out.push_back(w);
        }
    }
    return out;
}

std::optional<ExactName> exactName(std::string_view header) {
    static const auto byKey = [] {
        std::unordered_map<std::string, const KnownName*> map;
        for (const KnownName& known : kKnownNames) {
            map.emplace(words::key(known.header), &known);
        }
        return map;
    }();
    const auto found = byKey.find(words::key(header));
    if (found == byKey.end()) {
        return std::nullopt;
    }
    return ExactName{found->second->property, found->second->fallback};
}

bool isHonorific(std::string_view value) {
    return among(kHonorifics, words::key(value));
}

bool isFlag(std::string_view value) {
    return among(kFlags, words::key(value));
}

std::optional<bool> numberBeforeStreet(std::string_view country) {
    const std::string key = words::key(country);
    for (const Country& known : kCountries) {
        if (known.name == key) {
            return known.numberFirst;
        }
    }
    return std::nullopt;
}

bool numberBeforeStreet(Languages language) {
    return language == kEnglish || language == kFrench;
}

Languages leadingLanguage(std::span<const Languages> wordLanguages) {
    std::array<std::size_t, 7> counts{};
    for (const Languages languages : wordLanguages) {
        if (languages == kEveryLanguage) {
            continue; // a word every language uses tells nothing
        }
        for (std::size_t bit = 0; bit < counts.size(); ++bit) {
            counts[bit] += (languages >> bit) & 1U;
        }
    }
    std::size_t best = 0;
    for (std::size_t bit = 1; bit < counts.size(); ++bit) {
        if (counts[bit] > counts[best]) {
            best = bit;
        }
    }
    return static_cast<Languages>(1U << best);
}

} // namespace vocabulary
