#!/usr/bin/python3
"""Cards from olvenmark-cli --strict, --format 4.0 and --format 2.1 read back by
real address-book software.

A varied CSV is exported once with one card per file and once into a single
file. khard must list every contact of the folder without a warning, and
Python's vobject must read every card of both exports back with each value
equal to the CSV's. The same CSV in vCard 4.0 (khard's list too) and 2.1 must
read back into the same values.
Usage: real_readers.py OLVENMARK_CLI
"""
import csv
import io
import os
import quopri
import re
import shutil
import subprocess
import sys
import tempfile

SKIP = 77
try:
    import vobject
except ImportError:
    print("python3-vobject is not installed: skipped")
    sys.exit(SKIP)
if shutil.which("khard") is None:
    print("khard is not installed: skipped")
    sys.exit(SKIP)

CLASSIC = ["FirstName", "LastName", "MiddleName", "Title", "FullName", "JobTitle", "Company",
           "Department", "BusinessAddress", "BusinessAddressStreet", "BusinessAddressCity",
           "BusinessAddressState", "BusinessAddressPostalCode", "BusinessAddressCountry",
           "BusinessFaxNumber", "BusinessTelephoneNumber", "BusinessWebPage", "HomeAddress",
           "HomeAddressStreet", "HomeAddressCity", "HomeAddressState", "HomeAddressPostalCode",
           "HomeAddressCountry", "HomeFaxNumber", "HomeTelephoneNumber", "PersonalWebPage",
           "MobileNumber", "EmailAddressWork", "EmailAddressHome", "EmailAddressOther"]
ADDED = ["NameSuffix", "Nickname", "Birthday", "Notes", "Categories", "EmailAddress2",
         "EmailAddress3", "OtherTelephoneNumber", "PagerNumber", "CarTelephoneNumber",
         "AssistantTelephoneNumber", "CompanyMainTelephoneNumber", "BusinessAddressStreet2",
         "HomeAddressStreet2"]
# Column headers: the first 30 paired by --map-all in order, the rest by name.
HEADERS = ["c%d" % i for i in range(len(CLASSIC))] + ADDED

PHONES = [("BusinessFaxNumber", {"WORK", "FAX"}), ("BusinessTelephoneNumber", {"WORK"}),
          ("HomeFaxNumber", {"HOME", "FAX"}), ("HomeTelephoneNumber", {"HOME"}),
          ("MobileNumber", {"CELL"}), ("OtherTelephoneNumber", {"VOICE"}),
          ("PagerNumber", {"PAGER"}), ("CarTelephoneNumber", {"CAR"}),
          ("AssistantTelephoneNumber", {"VOICE", "X-ASSISTANT"}),
          ("CompanyMainTelephoneNumber", {"WORK", "PREF"})]
EMAILS = [("EmailAddressWork", {"INTERNET", "WORK"}), ("EmailAddressHome", {"INTERNET", "HOME"}),
          ("EmailAddressOther", {"INTERNET", "OTHER"}), ("EmailAddress2", {"INTERNET"}),
          ("EmailAddress3", {"INTERNET"})]
# 3/14/1990 shows the column puts the month first, so 03/04/1990 is in March.
BIRTHDAYS = {"14.03.1990": "1990-03-14", "3/14/1990": "1990-03-14", "03/04/1990": "1990-03-04",
             "March 14, 1990": "1990-03-14", "1985-12-01": "1985-12-01"}


def contacts():
    """The contacts as property -> value dictionaries."""
    long_text = "Ünïcödé ✓ " * 30
    rows = [
        dict(FirstName="John", LastName="Smith", MiddleName="Q", Title="Dr.", NameSuffix="Jr.",
             JobTitle="Engineer, senior", Company="Acme; Inc", Department="R\\D",
             BusinessAddressStreet="1 Main St", BusinessAddressStreet2="Suite 5",
             BusinessAddressCity="Springfield", BusinessAddressState="IL",
             BusinessAddressPostalCode="62701", BusinessAddressCountry="USA",
             BusinessFaxNumber="555-0101", BusinessTelephoneNumber="2.17555E+09",
             # Web addresses are written as RFC 2426 has URIs, commas unescaped;
             # vobject would read one as a list of texts, so none has a comma here.
             BusinessWebPage="http://acme.example/a;b?c=d", HomeAddress="12 Elm Rd, Shelbyville",
             HomeFaxNumber="555-0102", HomeTelephoneNumber="555-0100",
             PersonalWebPage="https://john.example", MobileNumber="4.47911E+11",
             EmailAddressWork="john@acme.example", EmailAddressHome="john@home.example",
             EmailAddressOther="j@other.example", EmailAddress2="j2@x.example",
             EmailAddress3="j3@x.example", OtherTelephoneNumber="555-0103",
             PagerNumber="555-0104", CarTelephoneNumber="555-0105",
             AssistantTelephoneNumber="555-0106", CompanyMainTelephoneNumber="555-0107",
             Nickname="Johnny", Birthday="14.03.1990", Notes="Line one\r\nline two; a, b \\ c",
             Categories="Friends ::: * myContacts ::: Golf, Tennis"),
        dict(FirstName="Анна", LastName="Кузнецова", Birthday="3/14/1990",
             HomeAddressStreet="ул. Ленина 5", HomeAddressStreet2="кв. 7",
             HomeAddressCity="Москва", HomeAddressPostalCode="1.01E+5", HomeAddressCountry="RU"),
        dict(FirstName="Γιώργος", LastName="Παπαδόπουλος", Notes=long_text,
             Birthday="March 14, 1990"),
        dict(FullName="山田 太郎", LastName="山田", FirstName="太郎", Nickname="タロ",
             Categories="家族"),
        dict(FirstName="محمد", LastName="علي", Company="شركة", Birthday="03/04/1990"),
        dict(FirstName="Zoë 😀", Notes="😀" * 40, JobTitle="x" * 200),
        dict(Company="Nameless, Ltd.", BusinessTelephoneNumber="555-0200"),
        dict(EmailAddressHome="only@mail.example", Notes="no name at all"),
        dict(PagerNumber="555-0300"),
        dict(HomeAddressStreet2="Second line only", Birthday="1985-12-01"),
        dict(FirstName="Same", LastName="Row"),
        dict(FirstName="Same", LastName="Row"),
    ]
    return rows


def csv_text(rows):
    out = io.StringIO()
    writer = csv.writer(out, lineterminator="\r\n")
    writer.writerow(HEADERS)
    for r in rows:
        writer.writerow([r.get(p, "") for p in CLASSIC] + [r.get(p, "") for p in ADDED])
    return out.getvalue()


def expand(value):
    """A spreadsheet's exponent number written out, as the cards have it."""
    if re.fullmatch(r"\d+(\.\d+)?E\+\d+", value):
        return str(int(float(value)))
    return value


def text(value):
    return value.replace("\r\n", "\n").replace("\r", "\n")


def expected_fn(r):
    if r.get("FullName"):
        return r["FullName"]
    names = " ".join(r[p] for p in ("FirstName", "MiddleName", "LastName") if r.get(p))
    if names:
        return names
    if r.get("Company"):
        return r["Company"]
    for p, _ in EMAILS:
        if r.get(p):
            return r[p]
    for p, _ in PHONES:
        if r.get(p):
            return expand(r[p])
    # Rather than an empty name, any other value the card has.
    for p in ["Nickname", "BusinessWebPage", "PersonalWebPage", "JobTitle", "Department",
              "Notes", "Categories"] + CLASSIC + ADDED:
        if r.get(p):
            return r[p]
    return ""


def address(r, kind):
    street = "\n".join(v for v in (r.get(kind + "AddressStreet", ""),
                                    r.get(kind + "AddressStreet2", "")) if v)
    parts = [street] + [r.get(kind + "Address" + p, "") for p in ("City", "State")]
    parts += [expand(r.get(kind + "AddressPostalCode", "")), r.get(kind + "AddressCountry", "")]
    if any(parts):
        return parts
    if r.get(kind + "Address"):
        return [r[kind + "Address"], "", "", "", ""]
    return None


def joined(value):
    """A value as the CSV has it: vobject reads a 2.1 card's commas, which that
    version does not escape, as lists."""
    if isinstance(value, list):
        return ",".join(joined(v) for v in value)
    return value.replace("\r\n", "\n")


def raw_2_1(text):
    """Each card of a 2.1 file as {name: [value]} for its text lines, read as 2.1
    says: quoted-printable decoded, only the backslash and semicolon escaped.
    vobject reads every card as 3.0, which cuts such a value at its first comma."""
    cards = []
    text = re.sub(r"=\r\n", "", text)  # quoted-printable soft line breaks
    for line in text.split("\r\n"):
        head, _, value = line.partition(":")
        name, *params = head.upper().split(";")
        if name == "BEGIN":
            cards.append({})
        elif cards and name in ("FN", "TITLE", "NOTE", "NICKNAME"):
            if "ENCODING=QUOTED-PRINTABLE" in params:
                value = quopri.decodestring(value.encode()).decode("utf-8")
            value = re.sub(r"\\([\\;])", r"\1", value).replace("\r\n", "\n")
            cards[-1].setdefault(name.lower(), []).append(value)
    return cards


def check_card(card, r, failures, where, form="strict", raw=None):
    def expect(what, got, want):
        if got != want:
            failures.append("%s: %s is %r, CSV has %r" % (where, what, got, want))

    def lines(name):
        return card.contents.get(name, [])

    def values(name):
        if raw is not None and name in ("fn", "title", "note", "nickname"):
            return raw.get(name, [])
        return [joined(l.value) for l in lines(name)]

    def types(line):
        found = {t.upper() for t in line.params.get("TYPE", [])}
        found |= {t.upper() for t in line.singletonparams}  # 2.1's bare types
        if line.params.get("PREF") == ["1"]:  # 4.0's preferred value
            found.add("PREF")
        if form == "4.0" and line.name == "EMAIL":
            found.add("INTERNET")  # every 4.0 e-mail address is one
        return found

    expect("FN", values("fn"), [text(expected_fn(r))])
    n = lines("n")[0].value
    expect("N", [joined(p) for p in (n.family, n.given, n.additional, n.prefix, n.suffix)],
           [r.get(p, "") for p in ("LastName", "FirstName", "MiddleName", "Title",
                                   "NameSuffix")])
    expect("UID", len(lines("uid")), 1)
    expect("TITLE", values("title"), [r["JobTitle"]] if r.get("JobTitle") else [])
    org = [r.get("Company", "")] + ([r["Department"]] if r.get("Department") else [])
    expect("ORG", [[joined(v) for v in l.value] for l in lines("org")],
           [org] if r.get("Company") else [])
    for kind in ("Business", "Home"):
        vtype = "WORK" if kind == "Business" else "HOME"
        got = [[joined(v) for v in (a.value.street, a.value.city, a.value.region, a.value.code,
                                    a.value.country)]
               for a in lines("adr") if vtype in types(a)]
        want = address(r, kind)
        expect("ADR " + vtype, got, [[text(v) for v in want]] if want else [])
    for what, table in (("tel", PHONES), ("email", EMAILS)):
        got = sorted((sorted(types(l)), l.value) for l in lines(what))
        want = sorted((sorted(t), expand(r[p]) if what == "tel" else r[p])
                      for p, t in table if r.get(p))
        expect(what.upper(), got, want)
    want_urls = sorted(r[p] for p in ("BusinessWebPage", "PersonalWebPage") if r.get(p))
    expect("URL", sorted(l.value for l in lines("url")), want_urls)
    for name, p in (("nickname", "Nickname"), ("note", "Notes")):
        expect(name.upper(), values(name), [text(r[p])] if r.get(p) else [])
    bday = r.get("Birthday")
    # 4.0 writes a date in the basic form.
    expect("BDAY", [re.sub(r"^(\d{4})(\d\d)(\d\d)$", r"\1-\2-\3", l.value) for l in lines("bday")],
           [BIRTHDAYS.get(bday, bday)] if bday else [])
    cats = [g for g in r.get("Categories", "").split(" ::: ") if g]
    expect("CATEGORIES", [l.value for l in lines("categories")], [cats] if cats else [])


def export(cli, csv_path, destination, *options):
    os.makedirs(destination)
    maps = []
    for p in ADDED:
        maps += ["--map", "%s=%s" % (p, p)]
    if "--format" not in options:
        options = ("--strict", *options)
    done = subprocess.run([cli, *options, *maps, "--map-all", csv_path, destination],
                          capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit("olvenmark-cli failed (%d): %s%s" % (done.returncode, done.stdout, done.stderr))
    (folder,) = [os.path.join(destination, d) for d in os.listdir(destination)]
    return folder


def khard(books, home, *command):
    """khard's COMMAND over the address books BOOKS (name: folder), configured in HOME."""
    config = os.path.join(home, "khard.conf")
    with open(config, "w") as f:
        f.write("[addressbooks]\n")
        for name, folder in books.items():
            f.write("[[%s]]\npath = %s\n" % (name, folder))
        f.write("[general]\n[contact table]\n[vcard]\n")
    return subprocess.run(["khard", "-c", config, *command], capture_output=True, text=True,
                          env=dict(os.environ, HOME=home))


def khard_lists(folder, count, home):
    """What is wrong with khard's list of FOLDER: COUNT contacts, nothing on standard error."""
    listed = khard({"olvenmark": folder}, home, "list", "--parsable")
    failures = []
    if listed.returncode != 0 or listed.stderr:
        failures.append("khard: exit %d, stderr %r" % (listed.returncode, listed.stderr))
    if len(listed.stdout.splitlines()) != count:
        failures.append("khard listed %d contacts of %d:\n%s"
                        % (len(listed.stdout.splitlines()), count, listed.stdout))
    return failures


def read_cards(paths):
    cards = []
    for path in sorted(paths):
        with open(path, encoding="utf-8", newline="") as f:
            data = f.read()
        if "\n" in data.replace("\r\n", ""):
            sys.exit("%s has a line that does not end in CR LF" % path)
        # vobject joins a 2.1 value's quoted-printable lines when asked.
        cards += [(path, c) for c in vobject.readComponents(data, validate=True, allowQP=True)]
    return cards


def main():
    cli = sys.argv[1]
    rows = contacts()
    failures = []
    with tempfile.TemporaryDirectory() as work:
        os.environ["HOME"] = work
        csv_path = os.path.join(work, "contacts.csv")
        with open(csv_path, "w", encoding="utf-8", newline="") as f:
            f.write(csv_text(rows))

        per_file = export(cli, csv_path, os.path.join(work, "per-file"))
        single = export(cli, csv_path, os.path.join(work, "single"), "--single-file")

        failures += khard_lists(per_file, len(rows), work)

        # vobject: every card of the single file, in row order, equal to its row.
        cards = read_cards([os.path.join(single, "contacts.vcf")])
        if os.listdir(single) != ["contacts.vcf"] or len(cards) != len(rows):
            failures.append("single file: %s, %d cards" % (os.listdir(single), len(cards)))
        for i, ((path, card), r) in enumerate(zip(cards, rows)):
            check_card(card, r, failures, "single file, card %d" % (i + 1))

        # The files of the per-file export hold the same cards, UIDs included.
        per_file_cards = read_cards([os.path.join(per_file, n) for n in os.listdir(per_file)])
        if len(per_file_cards) != len(rows):
            failures.append("per file: %d cards" % len(per_file_cards))
        single_uids = [c.uid.value for _, c in cards]
        if len(set(single_uids)) != len(rows):
            failures.append("UIDs are not unique: %s" % single_uids)
        if sorted(c.uid.value for _, c in per_file_cards) != sorted(single_uids):
            failures.append("the two exports of one CSV have different UIDs")
        by_uid = {c.uid.value: c for _, c in per_file_cards}
        for i, ((_, card), r) in enumerate(zip(cards, rows)):
            if card.uid.value in by_uid:
                check_card(by_uid[card.uid.value], r, failures, "per-file card %d" % (i + 1))

        # The same contacts in vCard 4.0 and 2.1, with the strict cards' UIDs.
        for form in ("4.0", "2.1"):
            folder = export(cli, csv_path, os.path.join(work, form), "--format", form,
                            "--single-file")
            other = read_cards([os.path.join(folder, "contacts.vcf")])
            raws = [None] * len(other)
            if form == "2.1":
                with open(os.path.join(folder, "contacts.vcf"), encoding="ascii", newline="") as f:
                    raws = raw_2_1(f.read())
            if len(other) != len(rows) or len(raws) != len(rows):
                failures.append("%s: %d cards" % (form, len(other)))
            for i, ((_, card), r, raw) in enumerate(zip(other, rows, raws)):
                check_card(card, r, failures, "%s card %d" % (form, i + 1), form, raw)
            if [c.uid.value.replace("urn:uuid:", "") for _, c in other] != single_uids:
                failures.append("%s: the UIDs are not the strict cards'" % form)
            if form == "4.0":
                per_file_40 = export(cli, csv_path, os.path.join(work, "per-file-4.0"),
                                     "--format", form)
                failures += khard_lists(per_file_40, len(rows), work)

    for f in failures:
        print(f)
    print("%d contacts checked, %d failures" % (len(rows), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
