#!/usr/bin/python3
"""How well olvenmark-cli --map-auto understands sample exports it was not written for.

Every CSV of tests/data/layouts and tests/data/exports that has a NAME.truth.json
beside it is converted with --map-auto three times: classic into one file,
strict into one file and strict one card per file. Each card is then held
against its row and the meaning the truth file gives each column:

  lost       share of the row's contact data (every meaning but bookkeeping)
             found nowhere in its card, not even in the note; checked in the
             classic and in the strict card, the worse counts
  typed      share of e-mails, phones, web addresses, address parts and
             birthday parts that sit on a line of their kind (a TEL of the
             right TYPE, the right ADR component, BDAY)
  birthdays  share of rows with a birthday whose strict card has a BDAY that
             is a date (YYYY-MM-DD or --MM-DD) equal to the row's

Every strict card must load in vobject; where khard, vdirsyncer, node and npm
are installed, the strict cards also go through the readers of
sample_readers.py. The run fails when a sample loses more than 5 %, types
less than 95 %, misses a birthday or has a card a reader refuses.

Where REGIONS names a sample's country, it is also converted to vCard 4.0
with --phone-region: every telephone number Python's phonenumbers reads as a
valid number of that country (or as an international one) must be a tel: URI
in its international form, every other one must be kept as written, and the
log must count those. A truth file's "people" says how many persons its rows
are: with --merge the sample must give that many cards, and never join rows
of one name alone.

Usage: understanding.py OLVENMARK_CLI [--npm-folder DIR] [SAMPLE...]
  OLVENMARK_CLI defaults to $OLVENMARK_CLI; SAMPLE names limit the run
  (apollo-people, outlook-nl.csv ...).

A truth file: {"columns": {"<header>": "<meaning>"}} or, where headers repeat,
{"columns_by_position": ["<meaning>", ...]}, and "date_order": "DMY" or "MDY"
where a birthday column is written with numbers only. Meanings: given, family,
middle, prefix, suffix, full, nickname, org, department, job, email, phone,
cell, fax, pager, car, assistant, main, callback, isdn, radio, tty, web,
address, street, street2, house-number, house-number-addition, pobox, city,
region, postal, country, birthday, birth-year, birth-month, birth-day, note,
categories, bookkeeping, other; a ":work", ":home" or ":other" after one says
which kind of line the header names.
"""
import csv
import glob
import io
import json
import os
import re
import subprocess
import sys
import tempfile

try:
    import vobject
except ImportError:
    # Debian's python3 has python3-vobject; another python3 first on PATH may not.
    if os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3") and \
            os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])
    sys.exit("understanding.py needs python3-vobject")

try:
    import phonenumbers
except ImportError:
    phonenumbers = None

HERE = os.path.dirname(os.path.abspath(__file__))
# The country a user of each sample would choose for its telephone numbers.
REGIONS = {"apollo-people": "US", "bling-contatos": "BR", "brevo-fr": "FR",
           "constant-contact": "US", "fte-clienti": "IT", "holded-contactos": "ES",
           "lightspeed-klanten": "NL", "outlook-it": "IT", "outlook-nl": "NL",
           "pipedrive-people": "DK", "shopify-customers": "GB", "stripe-customers": "ES",
           "thunderbird-de": "DE", "thunderbird-es": "ES", "thunderbird-fr": "FR",
           "thunderbird-nl": "NL", "thunderbird-pt": "BR", "webxpress-klanten": "NL"}
DATA = os.path.join(HERE, "..", "data")
FOLDERS = [os.path.join(DATA, "layouts"), os.path.join(DATA, "exports")]

MEANINGS = {"given", "family", "middle", "prefix", "suffix", "full", "nickname", "org",
            "department", "job", "email", "phone", "cell", "fax", "pager", "car", "assistant",
            "main", "callback", "isdn", "radio", "tty", "web", "address", "street", "street2",
            "house-number", "house-number-addition", "pobox", "city", "region", "postal",
            "country", "birthday", "birth-year", "birth-month", "birth-day", "note",
            "categories", "bookkeeping", "other"}
PHONES = {"phone", "cell", "fax", "pager", "car", "assistant", "main", "callback", "isdn",
          "radio", "tty"}
# The TYPE a phone's line must carry, by meaning and by the header's qualifier.
PHONE_TYPES = {"cell": "CELL", "fax": "FAX", "pager": "PAGER", "car": "CAR", "isdn": "ISDN"}
QUALIFIER_TYPES = {"work": "WORK", "home": "HOME"}
# The ADR components an address part may sit in.
ADR_PARTS = {"street": ("street",), "street2": ("street", "extended"),
             "house-number": ("street",), "house-number-addition": ("street", "extended"),
             "pobox": ("box", "street", "extended"), "city": ("city",), "region": ("region",),
             "postal": ("code",), "country": ("country",)}
BIRTH_PARTS = {"birthday", "birth-year", "birth-month", "birth-day"}
TYPED = PHONES | {"email", "web", "address"} | set(ADR_PARTS) | BIRTH_PARTS
MONTHS = {m: i + 1 for i, m in enumerate(
    "january february march april may june july august september october november "
    "december".split())}
SEPARATORS = r"\r\n|\n|,|;|/|\|"
# Where several values may share a cell; other values are split at line breaks only.
LISTS = PHONES | {"email", "web", "categories"}
# The lines every card has whatever the row holds.
FRAME = {"BEGIN", "END", "VERSION", "UID", "PRODID", "REV"}


def clean(value):
    """The value without what a spreadsheet put around it: blanks, a leading
    apostrophe, a ="..." formula, a float's .0, an exponent."""
    value = value.strip()
    if value.startswith("'") and not re.search(r"[A-Za-z\u00C0-\u024F]", value):
        value = value[1:].strip()
    formula = re.fullmatch(r'="(.*)"', value, re.S)
    if formula:
        value = formula.group(1).strip()
    if re.fullmatch(r"\d+\.0", value):
        value = value[:-2]
    if re.fullmatch(r"\d+(\.\d+)?[eE]\+\d+", value):
        value = str(int(float(value)))
    if re.fullmatch(r"0+([-/.]0+){2}", value):
        return ""  # Outlook's empty date
    return value


def parts(value, meaning):
    """The values a cell of MEANING holds."""
    pieces = re.split(SEPARATORS if meaning in LISTS else r"\r?\n", value)
    return [p for p in (clean(p) for p in pieces) if p]


def digits(text):
    return re.sub(r"\D", "", text)


def fold(text):
    return text.casefold().strip()


# ---------------------------------------------------------------- reading the sample


def read_sample(path):
    """(header, rows) of the CSV at PATH, decoded and split as its writer meant."""
    raw = open(path, "rb").read()
    if raw[:2] in (b"\xff\xfe", b"\xfe\xff"):
        text = raw.decode("utf-16")
    else:
        try:
            text = raw.decode("utf-8-sig")
        except UnicodeDecodeError:
            text = raw.decode("cp1252")
    first = next(line for line in text.splitlines() if line.strip())
    delimiter = max(",;\t|", key=first.count)
    rows = list(csv.reader(io.StringIO(text, newline=""), delimiter=delimiter))
    width = max(len(r) for r in rows)
    at = next(i for i, r in enumerate(rows) if len(r) == width)
    body = [r for r in rows[at + 1:] if len(r) == width and any(v.strip() for v in r)]
    return rows[at], body


def read_truth(path, header):
    """The meaning of each column position (None where the truth names none)."""
    truth = json.load(open(path, encoding="utf-8"))
    if "columns_by_position" in truth:
        meanings = list(truth["columns_by_position"])
        meanings += [None] * (len(header) - len(meanings))
    else:
        meanings = [truth["columns"].get(h) for h in header]
    for m in meanings:
        if m is not None and m.split(":")[0] not in MEANINGS:
            sys.exit("%s: unknown meaning %r" % (path, m))
    return meanings, truth.get("date_order", "DMY")


def expected_birthday(row, meanings, order):
    """The row's birthday as YYYY-MM-DD or --MM-DD, '' for none, None when unreadable."""
    whole = [clean(v) for v, m in zip(row, meanings) if m and m.split(":")[0] == "birthday"]
    whole = [v for v in whole if v]
    if whole:
        return parse_date(whole[0], order)
    got = {}
    for v, m in zip(row, meanings):
        base = m.split(":")[0] if m else None
        if base in ("birth-year", "birth-month", "birth-day") and clean(v):
            got[base] = clean(v)
    if not got:
        return ""
    try:
        month, day = int(got["birth-month"]), int(got["birth-day"])
        year = int(got["birth-year"]) if "birth-year" in got else None
    except (KeyError, ValueError):
        return None
    return iso(year, month, day)


def parse_date(text, order):
    tokens = re.findall(r"\d+|[^\W\d_]+", text)
    if len(tokens) == 2 and tokens[1].casefold() in MONTHS:  # 3-November
        return iso(None, MONTHS[tokens[1].casefold()], int(tokens[0]))
    if len(tokens) == 3 and all(t.isdigit() for t in tokens):
        a, b, c = (int(t) for t in tokens)
        if len(tokens[0]) == 4:
            return iso(a, b, c)
        return iso(c, b, a) if order == "DMY" else iso(c, a, b)
    return None


def iso(year, month, day):
    if not (1 <= month <= 12 and 1 <= day <= 31):
        return None
    return ("%04d" % year if year else "-") + "-%02d-%02d" % (month, day)


# ---------------------------------------------------------------- the cards


def convert(cli, csv_path, destination, *options, home=None):
    """The run folder and the command's result."""
    os.makedirs(destination)
    done = subprocess.run([cli, "--map-auto", *options, csv_path, destination],
                          capture_output=True, text=True,
                          env=dict(os.environ, HOME=home) if home else None)
    made = [os.path.join(destination, d) for d in os.listdir(destination)]
    return (made[0] if len(made) == 1 else None), done


def card_lines(text):
    """The card's lines, unfolded and unescaped, as (name, params, value)."""
    text = re.sub(r"\r?\n[ \t]", "", text)
    lines = []
    for line in re.split(r"\r?\n", text):
        if ":" not in line:
            continue
        head, value = line.split(":", 1)
        name, *params = head.split(";")
        value = re.sub(r"\\(.)", lambda m: "\n" if m.group(1) in "nN" else m.group(1), value)
        if name.upper() not in FRAME:
            lines.append((name.upper(), [p.upper() for p in params], value))
    return lines


def split_cards(text):
    return re.findall(r"(?is)begin:vcard.*?end:vcard", text)


def contains(text, part):
    """Whether PART is in TEXT as a whole: not glued to letters where it begins or ends
    with a letter, nor to digits where it begins or ends with a digit."""
    text, part = fold(text), fold(part)
    at = text.find(part)
    while at >= 0:
        before = text[at - 1] if at else ""
        after = text[at + len(part):at + len(part) + 1]
        if not same_class(before, part[0]) and not same_class(after, part[-1]):
            return True
        at = text.find(part, at + 1)
    return False


def same_class(a, b):
    return bool(a) and ((a.isalpha() and b.isalpha()) or (a.isdigit() and b.isdigit()))


def found_in(part, meaning, lines):
    """Whether PART of a value of MEANING is anywhere in the card's lines."""
    if meaning in PHONES and len(digits(part)) >= 5:
        return any(digits(part) in digits(v) for _, _, v in lines)
    return any(contains(v, part) for _, _, v in lines)


def value_found(value, meaning, lines):
    """Whether the value is in the card whole, or each of its parts or words is."""
    whole = clean(value)
    if not whole or found_in(whole, meaning, lines):
        return True
    pieces = parts(value, meaning)
    if all(found_in(p, meaning, lines) for p in pieces):
        return True
    if meaning in PHONES:
        return False
    return all(found_in(w, meaning, lines) for p in pieces for w in p.split())


def wrapped(text):
    """Whether TEXT still carries a spreadsheet's wrapper: a leading apostrophe before a
    value without letters, a ="..." formula or a float's .0."""
    return bool(re.search(r"(^|\s)'[^A-Za-z\u00C0-\u024F]*$|=\"|^\+?\d+\.0$", str(text).strip()))


def typed_ok(part, meaning, qualifier, card, birthday):
    """Whether PART sits, as itself, on a line of its kind in the vobject CARD."""
    def lines(name):
        return [l for l in card.contents.get(name, []) if not wrapped(l.value)]

    def types(line):
        return {t.upper() for t in line.params.get("TYPE", [])}

    if meaning == "email":
        return any(fold(l.value) == fold(part) for l in lines("email"))
    if meaning in PHONES:
        need = {PHONE_TYPES[meaning]} if meaning in PHONE_TYPES else set()
        if qualifier in QUALIFIER_TYPES and meaning in ("phone", "fax"):
            need.add(QUALIFIER_TYPES[qualifier])
        return any(digits(part) and digits(part) in digits(l.value) and need <= types(l)
                   for l in lines("tel"))
    if meaning == "web":
        return any(contains(l.value, part) for l in lines("url"))
    if meaning in ADR_PARTS or meaning == "address":
        for l in lines("adr"):
            if qualifier in QUALIFIER_TYPES and QUALIFIER_TYPES[qualifier] not in types(l):
                continue
            a = l.value
            fields = {"box": a.box, "extended": a.extended, "street": a.street, "city": a.city,
                      "region": a.region, "code": a.code, "country": a.country}
            if meaning == "address":
                everything = fold(" ".join(str(v) for v in fields.values()))
                if all(contains(everything, p) for p in re.split(r",\s*", part) if p):
                    return True
            elif any(contains(str(fields[c]), part) and not wrapped(fields[c])
                     for c in ADR_PARTS[meaning]):
                return True
        return False
    if meaning in BIRTH_PARTS:
        return bool(birthday) and bday_of(card) == birthday
    return True


def bday_of(card):
    """The card's BDAY as YYYY-MM-DD or --MM-DD, or what it holds when it is not a date."""
    if "bday" not in card.contents:
        return None
    return as_date(str(card.bday.value))


def bday_line(lines):
    values = [v for n, _, v in lines if n == "BDAY"]
    return as_date(values[0]) if values else None


def as_date(value):
    value = value.strip()
    m = re.fullmatch(r"(\d{4}|-)-?(\d{2})-?(\d{2})", value)
    if m:
        return ("%s-%s-%s" % m.groups()) if m.group(1) != "-" else "--%s-%s" % m.groups()[1:]
    return "not a date: " + value


def where(part, meaning, lines):
    """The lines that hold PART, for the report."""
    hits = [n for n, _, v in lines if (digits(part) and meaning in PHONES and
                                       digits(part) in digits(v)) or fold(part) in fold(v)]
    return "+".join(sorted(set(hits))) or "nowhere"


# ---------------------------------------------------------------- one sample


def measure(cli, csv_path, truth_path, work):
    name = os.path.splitext(os.path.basename(csv_path))[0]
    header, rows = read_sample(csv_path)
    meanings, order = read_truth(truth_path, header)
    result = {"name": name, "contacts": len(rows), "problems": [], "misplaced": [],
              "folder": None, "paths": []}

    classic, done_c = convert(cli, csv_path, os.path.join(work, name, "classic"), "--single-file")
    strict, done_s = convert(cli, csv_path, os.path.join(work, name, "strict"), "--strict",
                             "--single-file")
    per_file, done_p = convert(cli, csv_path, os.path.join(work, name, "per-file"), "--strict")
    for form, done in (("classic", done_c), ("strict", done_s), ("per-file", done_p)):
        if done.returncode != 0:
            result["problems"].append("%s: exit %d: %s" % (form, done.returncode,
                                                           (done.stdout + done.stderr).strip()))
    if not (classic and strict and per_file):
        result["problems"].append("no run folder")
        return result

    classic_cards = split_cards(read_all(classic))
    strict_text = read_all(strict)
    try:
        strict_cards = list(vobject.readComponents(strict_text, validate=True))
    except Exception as e:  # a reader's refusal is the finding
        result["problems"].append("vobject refuses the strict single file: %s" % e)
        return result
    paths = sorted(os.path.join(per_file, n) for n in os.listdir(per_file))
    result["folder"], result["paths"] = per_file, paths
    per_file_uids = []
    for path in paths:
        try:
            per_file_uids += [c.uid.value for c in
                              vobject.readComponents(read_all(path), validate=True)]
        except Exception as e:
            result["problems"].append("vobject refuses %s: %s" % (os.path.basename(path), e))
    if name in REGIONS and phonenumbers:
        result["phones"], found = measure_phones(cli, csv_path, meanings, REGIONS[name], work)
        result["problems"] += found
    people = json.load(open(truth_path, encoding="utf-8")).get("people")
    if people:
        result["merge"], found = measure_merge(cli, csv_path, people, work)
        result["problems"] += found
    if not len(classic_cards) == len(strict_cards) == len(rows):
        result["problems"].append("%d rows, %d classic and %d strict cards"
                                  % (len(rows), len(classic_cards), len(strict_cards)))
        return result
    if sorted(per_file_uids) != sorted(c.uid.value for c in strict_cards if "uid" in c.contents):
        result["problems"].append("the per-file cards are not the single file's")

    counts = dict(values=0, lost=0, typed=0, typed_ok=0, birthdays=0, birthdays_ok=0)
    for number, (row, classic_text, card) in enumerate(zip(rows, classic_cards, strict_cards), 1):
        classic_lines = card_lines(classic_text)
        strict_lines = card_lines(card.serialize())
        birthday = expected_birthday(row, meanings, order)
        if birthday is None:
            result["problems"].append("row %d: the truth's birthday is unreadable" % number)
        elif birthday:
            counts["birthdays"] += 1
            got = bday_of(card)
            if got == birthday:
                counts["birthdays_ok"] += 1
            else:
                result["misplaced"].append((number, "birthday", birthday, "BDAY %s" % got))
        for column, value, meaning in zip(header, row, meanings):
            if not meaning or not clean(value):
                continue
            base, _, qualifier = meaning.partition(":")
            if base == "bookkeeping":
                continue
            counts["values"] += 1
            for lines, form in ((classic_lines, "classic"), (strict_lines, "strict")):
                if base in BIRTH_PARTS and birthday and bday_line(lines) == birthday:
                    continue
                if not value_found(value, base, lines):
                    counts["lost"] += 1
                    result["misplaced"].append((number, column, clean(value),
                                                "lost (%s)" % form))
                    break
            if base not in TYPED:
                continue
            pieces = parts(value, base)
            for part in pieces:
                counts["typed"] += 1
                if typed_ok(part, base, qualifier, card, birthday):
                    counts["typed_ok"] += 1
                else:
                    result["misplaced"].append((number, column, part,
                                                where(part, base, strict_lines)))
    result.update(counts)
    return result


def international(number, region):
    """The number in international form as phonenumbers writes it, or None when
    it is no valid number; "00" starts an international number anywhere."""
    candidates = [number]
    if number.lstrip().startswith("00"):
        candidates.append("+" + number.lstrip()[2:])
    for candidate in candidates:
        try:
            parsed = phonenumbers.parse(candidate, region)
        except phonenumbers.NumberParseException:
            continue
        if phonenumbers.is_valid_number(parsed):
            return phonenumbers.format_number(parsed, phonenumbers.PhoneNumberFormat.INTERNATIONAL)
    return None


def measure_phones(cli, csv_path, meanings, region, work):
    """Telephone numbers with --phone-region: the figures, and what went wrong."""
    name = os.path.splitext(os.path.basename(csv_path))[0]
    home = os.path.join(work, name, "phone-home")
    os.makedirs(home)
    folder, done = convert(cli, csv_path, os.path.join(work, name, "phones"), "--phone-region",
                           region, "--format", "4.0", "--single-file", home=home)
    figures = dict(numbers=0, international=0, kept=0, counted=0)
    if done.returncode != 0 or not folder:
        return figures, ["phones: exit %d: %s" % (done.returncode, done.stderr.strip())]
    cards = list(vobject.readComponents(read_all(folder), validate=True))
    problems = []
    _, rows = read_sample(csv_path)
    for number, (row, card) in enumerate(zip(rows, cards), 1):
        tels = [str(t.value) for t in card.contents.get("tel", [])]
        for value, meaning in zip(row, meanings):
            if not meaning or meaning.split(":")[0] not in PHONES:
                continue
            for part in parts(value, meaning.split(":")[0]):
                figures["numbers"] += 1
                want = international(part, region)
                if want and "tel:" + re.sub(r"[ .]", "-", want) in tels:
                    figures["international"] += 1
                elif not want and any(digits(part) and digits(part) == digits(t) for t in tels):
                    figures["kept"] += 1
                else:
                    problems.append("row %d: %r should be %s, the card has %s"
                                    % (number, part, want or "kept as written", tels))
    log = read_all(os.path.join(home, "Olvenmark v1.0", "Error.log"))
    counted = re.search(r"Info: (\d+) telephone numbers? left as written", log)
    figures["counted"] = int(counted.group(1)) if counted else 0
    if figures["counted"] != figures["kept"]:
        problems.append("the log counts %d numbers left as written, the cards hold %d"
                        % (figures["counted"], figures["kept"]))
    return figures, problems


def measure_merge(cli, csv_path, people, work):
    """--merge: rows, cards and the report's merged rows, and what went wrong."""
    name = os.path.splitext(os.path.basename(csv_path))[0]
    folder, done = convert(cli, csv_path, os.path.join(work, name, "merged"), "--merge",
                           "--strict", "--single-file")
    if done.returncode != 0 or not folder:
        return None, ["merge: exit %d: %s" % (done.returncode, done.stderr.strip())]
    cards = list(vobject.readComponents(read_all(folder), validate=True))
    _, rows = read_sample(csv_path)
    merged = re.search(r"(\S+) rows, (\S+) contacts: (\S+) rows? merged", done.stdout)
    figures = dict(rows=len(rows), cards=len(cards),
                   merged=int(merged.group(3).replace(",", "")) if merged else 0)
    problems = []
    if len(cards) != people or figures["merged"] != len(rows) - people:
        problems.append("merge: %d cards and %d rows merged for %d people"
                        % (len(cards), figures["merged"], people))
    return figures, problems


def read_all(path):
    if os.path.isdir(path):
        return "".join(read_all(os.path.join(path, n)) for n in sorted(os.listdir(path)))
    with open(path, encoding="utf-8", newline="") as f:
        return f.read()


def share(part, whole):
    return 100.0 * part / whole if whole else None


# ---------------------------------------------------------------- the readers


def real_readers(results, npm_folder, work):
    """Problems by sample from khard, vdirsyncer and the npm readers, or why none ran."""
    sys.path.insert(0, HERE)
    try:
        import sample_readers
    except SystemExit:  # a reader is not installed; sample_readers said which
        return None
    sample_readers.install_npm_readers(npm_folder)
    folders = {r["name"]: r["folder"] for r in results if r["folder"]}
    cards = {}
    for r in results:
        if r["folder"]:
            cards[r["name"]] = sample_readers.read_with_vobject(r["paths"], r["problems"])
    problems = {}
    for found in (sample_readers.read_with_khard(folders, cards, work),
                  sample_readers.sync_with_vdirsyncer(folders, work),
                  sample_readers.read_with_npm(folders, npm_folder)):
        for sample, lines in found.items():
            # khard reads a date without a year as one of 1900, which has no 29 February.
            lines = [l for l in lines if not l.endswith("does not read BDAY:--02-29 as a date")]
            if lines:
                problems.setdefault(sample, []).extend(lines)
    return problems


# ---------------------------------------------------------------- the table


def main():
    args = sys.argv[1:]
    npm_folder = None
    if "--npm-folder" in args:
        at = args.index("--npm-folder")
        npm_folder = args[at + 1]
        del args[at:at + 2]
    cli = args.pop(0) if args and os.path.isfile(args[0]) else os.environ.get("OLVENMARK_CLI")
    if not cli:
        sys.exit(__doc__)
    cli = os.path.abspath(cli)
    if npm_folder is None:
        npm_folder = os.path.join(os.path.dirname(cli), "..", "..", "tests", "cli", "npm-readers")
    wanted = {os.path.splitext(a)[0] for a in args}

    samples = []
    for folder in FOLDERS:
        for truth in sorted(glob.glob(os.path.join(folder, "*.truth.json"))):
            csv_path = truth[:-len(".truth.json")] + ".csv"
            name = os.path.basename(csv_path)[:-4]
            if os.path.exists(csv_path) and (not wanted or name in wanted):
                samples.append((csv_path, truth))

    with tempfile.TemporaryDirectory() as work:
        os.environ["HOME"] = work
        results = [measure(cli, c, t, work) for c, t in samples]
        readers = real_readers(results, os.path.abspath(npm_folder), work)

    failures = 0
    print("%-22s %8s %7s %7s %9s  worst misplaced values (row, column, value: where)"
          % ("sample", "contacts", "lost %", "typed %", "birthd. %"))
    for r in results:
        lost = share(r.get("lost", 0), r.get("values", 0))
        typed = share(r.get("typed_ok", 0), r.get("typed", 0))
        born = share(r.get("birthdays_ok", 0), r.get("birthdays", 0))
        problems = r["problems"] + (readers or {}).get(r["name"], [])
        bad = bool(problems) or (lost or 0) > 5 or (typed is not None and typed < 95) or \
            (born is not None and born < 100)
        failures += bad
        worst = "; ".join("%d %s %r: %s" % m for m in r["misplaced"][:3])
        print("%-22s %8d %7s %7s %9s  %s" % (r["name"], r["contacts"], fmt(lost), fmt(typed),
                                             fmt(born), worst))
        for m in r["misplaced"][3:]:
            print("%-22s %s" % ("", "%d %s %r: %s" % m))
        for p in problems:
            print("%-22s ! %s" % ("", p))
    print("\n%-22s %6s %8s %13s %8s %14s" % ("telephone numbers", "region", "numbers",
                                            "international", "kept", "counted in log"))
    for r in results:
        if r.get("phones"):
            p = r["phones"]
            print("%-22s %6s %8d %13d %8d %14d" % (r["name"], REGIONS[r["name"]], p["numbers"],
                                                   p["international"], p["kept"], p["counted"]))
    if not phonenumbers:
        print("python3-phonenumbers is missing: telephone numbers not measured")
    print("\n%-22s %6s %6s %12s" % ("--merge", "rows", "cards", "rows merged"))
    for r in results:
        if r.get("merge"):
            m = r["merge"]
            print("%-22s %6d %6d %12d" % (r["name"], m["rows"], m["cards"], m["merged"]))
    if readers is None:
        print("khard, vdirsyncer, node or npm is missing: the strict cards were read by vobject only")
    else:
        print("the strict cards were also read by khard, vdirsyncer, vcf and ical.js")
    print("%d samples, %d failing" % (len(results), failures))
    return 1 if failures else 0


def fmt(number):
    return "-" if number is None else "%.1f" % number


if __name__ == "__main__":
    sys.exit(main())
