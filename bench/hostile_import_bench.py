#!/usr/bin/python3
"""Hostile files given to `qm4250-archive import`, each into a fresh SQLite archive.

    hostile_import_bench.py BINARY SCRATCH_FOLDER

Makes every case in SCRATCH_FOLDER/files (kept there, so a second run reuses the big ones), runs
BINARY on each under a wall-clock limit and a 12 GiB address-space limit, and prints key=value
lines on stdout: each case's time, peak memory and how it ended, the worst of them, and a
realistic million-test import beside them. A readable table of the same goes to stderr.
Needs python3-xlwt (Debian's /usr/bin/python3 has it).
"""

import collections
import datetime
import os
import random
import resource
import select
import shutil
import signal
import struct
import subprocess
import sys
import time
import zipfile

import xlwt

LIMIT_S = 60
MUTANT_LIMIT_S = 10
ADDRESS_SPACE = 12 << 30
KEPT_OUTPUT = 64 << 10
MUTANTS = 2000

HEADER = ["SEQ#", "PN", "Cust Code", "Leak", "Error", "Time/Date", "GPRelay", "BPRelay",
          "GERelay"]
IDENTIFICATION = ["SN = 4711", "Model: Norvik"]
TEST = ["8529", "A12", "NORDAL-7", "0.0035", "", "Feb 14/04 08:10:20", "On", "Off", "Off"]
POWER_UP = ["QM 4250 Power UP"]
MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]


# --- Running one file ---------------------------------------------------------------------------

Outcome = collections.namedtuple("Outcome", "ms peak_mb end signalled hung stdout stderr")


def limit_child():
    resource.setrlimit(resource.RLIMIT_AS, (ADDRESS_SPACE, ADDRESS_SPACE))
    # A crash at several GB would otherwise write a core file as large.
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))


def remove_archive(archive):
    for suffix in ("", "-wal", "-shm", "-journal"):
        if os.path.lexists(archive + suffix):
            os.remove(archive + suffix)


def run_import(binary, path, archive, limit_s):
    """Imports path into a new archive; the time runs until the process ends."""
    remove_archive(archive)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    start = time.perf_counter()
    child = subprocess.Popen([binary, "import", path, "--archive", archive],
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, env=env, preexec_fn=limit_child,
                             start_new_session=True)
    pidfd = os.pidfd_open(child.pid)
    # Output is drained as it comes, or a case that writes millions of lines would block on a
    # full pipe; only its beginning is kept.
    out, err = child.stdout.fileno(), child.stderr.fileno()
    kept = {out: bytearray(), err: bytearray()}
    poller = select.poll()
    for fd in [pidfd, *kept]:
        poller.register(fd, select.POLLIN)
    deadline = start + limit_s
    ended = None
    hung = False
    streams = len(kept)
    while ended is None or streams > 0:
        wait_s = deadline - time.perf_counter()
        if ended is None and wait_s <= 0 and not hung:
            os.killpg(child.pid, signal.SIGKILL)
            hung = True
        for fd, _ in poller.poll(None if hung or ended else max(wait_s, 0) * 1000):
            if fd == pidfd:
                ended = time.perf_counter()
                poller.unregister(pidfd)
                continue
            data = os.read(fd, 1 << 16)
            if not data:
                poller.unregister(fd)
                streams -= 1
            elif len(kept[fd]) < KEPT_OUTPUT:
                kept[fd] += data[:KEPT_OUTPUT - len(kept[fd])]
    _, status, usage = os.wait4(child.pid, 0)
    child.returncode = os.waitstatus_to_exitcode(status)
    os.close(pidfd)
    child.stdout.close()
    child.stderr.close()
    remove_archive(archive)
    signalled = os.WIFSIGNALED(status) and not hung
    if hung:
        end = f"hung, killed after {limit_s} s"
    elif signalled:
        end = f"signal {os.WTERMSIG(status)} ({signal.Signals(os.WTERMSIG(status)).name})"
    else:
        end = f"exit {os.WEXITSTATUS(status)}"
    return Outcome((ended - start) * 1000, usage.ru_maxrss / 1024, end, signalled, hung,
                   kept[out].decode("utf-8", "replace"), kept[err].decode("utf-8", "replace"))


# --- Making the files ---------------------------------------------------------------------------

def cached(path, make):
    """Makes path unless an earlier run did; a run stopped half-way leaves no file behind."""
    if not os.path.lexists(path):
        partial = path + ".partial" + os.path.splitext(path)[1]
        if os.path.isdir(partial) and not os.path.islink(partial):
            shutil.rmtree(partial)
        elif os.path.lexists(partial):
            os.remove(partial)
        make(partial)
        os.rename(partial, path)
    return path


def xml_text(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


class SharedStrings:
    def __init__(self):
        self.strings = []
        self.references = 0

    def index(self, text):
        self.references += 1
        if text not in self.strings:
            self.strings.append(text)
        return self.strings.index(text)

    def part(self, empty_items=0):
        """The part, with empty_items empty <si/> after the strings; in chunks, as it may be big."""
        unique = len(self.strings) + empty_items
        yield ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<sst xmlns="http://'
               'schemas.openxmlformats.org/spreadsheetml/2006/main" '
               f'count="{self.references + empty_items}" uniqueCount="{unique}">').encode()
        for text in self.strings:
            yield f"<si><t>{xml_text(text)}</t></si>".encode()
        block = 1 << 20
        for done in range(0, empty_items, block):
            yield b"<si/>" * min(block, empty_items - done)
        yield b"</sst>"


def column_name(index):
    return "ABCDEFGHI"[index]


def row_xml(number, cells, strings, r_attribute=True, raw_cells=None):
    """A row as libxlsxwriter writes it: every non-empty cell a shared string with its reference.
    raw_cells replaces the XML of the cells at those columns."""
    raw_cells = raw_cells or {}
    attribute = f' r="{number}"' if r_attribute else ""
    xml = f"<row{attribute}>"
    for column, text in enumerate(cells):
        reference = f"{column_name(column)}{number}"
        if column in raw_cells:
            xml += raw_cells[column].replace("REF", reference)
        elif text:
            xml += f'<c r="{reference}" t="s"><v>{strings.index(text)}</v></c>'
    return xml + "</row>"


SHEET_START = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<worksheet xmlns="http://'
               'schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.'
               'openxmlformats.org/officeDocument/2006/relationships"><sheetData>')
SHEET_END = "</sheetData></worksheet>"

PACKAGE_PARTS = [
    ("[Content_Types].xml",
     '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Types xmlns="http://schemas.'
     'openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType='
     '"application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" '
     'ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="'
     'application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override '
     'PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-'
     'officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/sharedStrings.xml" '
     'ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"'
     '/></Types>'),
    ("_rels/.rels",
     '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Relationships xmlns="http://'
     'schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://'
     'schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/'
     'workbook.xml"/></Relationships>'),
    ("xl/workbook.xml",
     '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<workbook xmlns="http://schemas.'
     'openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/'
     'officeDocument/2006/relationships"><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/>'
     '</sheets></workbook>'),
    ("xl/_rels/workbook.xml.rels",
     '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Relationships xmlns="http://'
     'schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://'
     'schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/'
     'sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/'
     'officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>'
     '</Relationships>'),
]


def write_xlsx(path, sheet_chunks, shared_chunks):
    def entry(name):
        # A fixed date keeps the same case the same file from run to run.
        info = zipfile.ZipInfo(name, date_time=(2004, 2, 14, 8, 10, 20))
        info.compress_type = zipfile.ZIP_DEFLATED
        return info

    with zipfile.ZipFile(path, "w") as book:
        for name, text in PACKAGE_PARTS:
            book.writestr(entry(name), text)
        for name, chunks in (("xl/worksheets/sheet1.xml", sheet_chunks),
                             ("xl/sharedStrings.xml", shared_chunks)):
            with book.open(entry(name), "w") as part:
                for chunk in chunks:
                    part.write(chunk)


def xlsx_maker(rows, empty_shared=0, filler=0):
    """rows are row_xml calls waiting for the shared strings; filler is the number of spaces
    after the rows, so the sheet inflates to that many bytes more."""
    def make(path):
        strings = SharedStrings()
        body = sheet_body(rows, strings)

        def sheet():
            yield (SHEET_START + body).encode()
            block = b" " * (16 << 20)
            for done in range(0, filler, len(block)):
                yield block[:min(len(block), filler - done)]
            yield SHEET_END.encode()
        write_xlsx(path, sheet(), strings.part(empty_shared))
    return make


def sheet_body(rows, strings):
    return "".join(row(strings) for row in rows)


def row(number, cells, **options):
    return lambda strings: row_xml(number, cells, strings, **options)


def valid_rows(test_number=3, test=TEST, **test_options):
    return [row(1, HEADER), row(2, IDENTIFICATION), row(test_number, test, **test_options)]


def bomb_maker(path):
    prefix = len((SHEET_START + sheet_body(valid_rows(), SharedStrings())).encode())
    xlsx_maker(valid_rows(), filler=(1 << 30) - prefix - len(SHEET_END))(path)


def lying_bomb_maker(honest):
    """The bomb whose local and central headers say its sheet inflates to 1,000 bytes; the CRC
    stays that of the real data."""
    def make(path):
        shutil.copyfile(honest, path)
        with zipfile.ZipFile(path) as book:
            entry = book.getinfo("xl/worksheets/sheet1.xml")
        with open(path, "r+b") as data:
            data.seek(entry.header_offset + 22)
            data.write(struct.pack("<I", 1000))
            data.seek(-22, os.SEEK_END)
            end = data.read(22)
            assert end[:4] == b"PK\x05\x06"
            entries, _, directory = struct.unpack("<HII", end[10:20])
            data.seek(directory)
            for _ in range(entries):
                fields = data.read(46)
                name_size, extra_size, comment_size = struct.unpack("<HHH", fields[28:34])
                name = data.read(name_size)
                if name == entry.filename.encode():
                    data.seek(-(46 + name_size) + 24, os.SEEK_CUR)
                    data.write(struct.pack("<I", 1000))
                    break
                data.seek(extra_size + comment_size, os.SEEK_CUR)
            else:
                raise RuntimeError("the sheet is not in the central directory")
    return make


def nested_cell(levels):
    return ('<c r="REF" t="inlineStr"><is><t>' + "<r>" * levels + "A12" + "</r>" * levels +
            "</t></is></c>")


def csv_maker(text):
    def make(path):
        with open(path, "wb") as out:
            out.write(text)
    return make


def csv_line(cells):
    return ",".join(cells + [""] * (len(HEADER) - len(cells))) + "\r\n"


def newlines_maker(path):
    with open(path, "wb") as out:
        out.write(csv_line(HEADER).encode() + b"\n" * 10_000_000)


def special_maker(kind):
    def make(path):
        if kind == "fifo":
            os.mkfifo(path)
        else:
            os.symlink("/dev/zero", path)
    return make


def realistic_maker(path):
    """About a million tests of one instrument as qm4250-upload saves them, about 100 bytes each:
    one to fifty minutes apart from 2004 on, a power-up after about one in a thousand."""
    generator = random.Random(14)
    parts = [f"A{n:02d}-HOUSING-{4400 + n}-REV-{'ABCD'[n % 4]}" for n in range(12)]
    customers = [f"NORDAL-{n}-PLANT-NORTH-LINE-{n:02d}" for n in range(1, 9)]
    when = datetime.datetime(2004, 1, 1, 6, 0, 0)
    with open(path, "w", newline="") as out:
        out.write(csv_line(HEADER) + csv_line(IDENTIFICATION))
        lines = []
        for test in range(1_000_000):
            when += datetime.timedelta(seconds=generator.randint(60, 3000))
            rejected = generator.random() < 0.01
            leak = max(0.0, generator.gauss(0.0035, 0.0004))
            lines.append(csv_line([
                str(1 + test % 32767), generator.choice(parts), generator.choice(customers),
                f"{leak:.4f}", "*E3" if rejected else "",
                f"{MONTHS[when.month - 1]} {when:%d/%y %H:%M:%S}",
                "Off" if rejected else "On", "On" if rejected else "Off", "Off"]))
            if generator.random() < 0.001:
                lines.append(csv_line(POWER_UP))
            if len(lines) >= 10000:
                out.write("".join(lines))
                lines.clear()
        out.write("".join(lines))
        if when.year > 2099:
            raise RuntimeError("the clock ran past 2099")


def seed_xls_maker(path):
    """A small history as qm4250-upload saves it, every cell text, written by python3-xlwt."""
    book = xlwt.Workbook()
    sheet = book.add_sheet("Sheet1")
    tests = [TEST,
             ["8530", "A12", "NORDAL-7", "0.0041", "", "Feb 14/04 08:11:02", "On", "Off", "Off"],
             ["8531", "B07", "NORDAL-9", "0.0125", "*E3", "Feb 14/04 08:12:45", "Off", "On", "Off"],
             POWER_UP,
             ["8532", "B07", "NORDAL-9", "0.0033", "", "Feb 15/04 07:02:10", "On", "Off", "Off"]]
    for r, cells in enumerate([HEADER, IDENTIFICATION] + tests):
        for c, text in enumerate(cells):
            if text:
                sheet.write(r, c, text)
    book.save(path)


def string_areas(data):
    """Byte ranges of the SST and LABELSST records of the workbook stream, which xlwt writes in
    one piece after the 512-byte compound-file header."""
    areas = []
    at = 512
    ends = 0
    assert struct.unpack_from("<H", data, at)[0] == 0x0809, "no BOF where xlwt puts it"
    while at + 4 <= len(data) and ends < 2:
        kind, size = struct.unpack_from("<HH", data, at)
        if kind in (0x00FC, 0x00FD):
            areas.append((at, at + 4 + size))
        ends += kind == 0x000A
        at += 4 + size
    assert areas, "no SST record"
    return areas


INTERESTING = [b"\x00", b"\xff", b"\x7f", b"\x80", b"\x00\x00", b"\xff\xff", b"\xff\x7f",
               b"\x00\x80", b"\xff\xff\xff\xff", b"\xff\xff\xff\x7f", b"\x00\x00\x00\x80",
               b"\xfe\xff\xff\xff"]


def mutants_maker(seed):
    """MUTANTS copies of seed with 1 to 16 flipped bits, random bytes or extreme values, most in
    the first 4 KB and the strings; the same every run."""
    def make(folder):
        os.makedirs(folder)
        with open(seed, "rb") as source:
            original = source.read()
        strings = [at for begin, end in string_areas(original) for at in range(begin, end)]
        generator = random.Random(4250)
        for index in range(MUTANTS):
            data = bytearray(original)
            for _ in range(generator.choice([1, 1, 2, 3, 4, 8, 16])):
                place = generator.random()
                if place < 0.45:
                    at = generator.randrange(min(4096, len(data)))
                elif place < 0.9:
                    at = generator.choice(strings)
                else:
                    at = generator.randrange(len(data))
                how = generator.random()
                if how < 0.4:
                    data[at] ^= 1 << generator.randrange(8)
                elif how < 0.7:
                    data[at] = generator.randrange(256)
                else:
                    value = generator.choice(INTERESTING)[:len(data) - at]
                    data[at:at + len(value)] = value
            with open(os.path.join(folder, f"mutant_{index:04d}.xls"), "wb") as out:
                out.write(data)
    return make


# --- The cases ----------------------------------------------------------------------------------

Case = collections.namedtuple("Case", "number key file what make")


def cases(files):
    def at(name):
        return os.path.join(files, name)

    bomb = at("xlsx_bomb_1gib.xlsx")
    return [
        Case("0a", "control_xlsx", at("control.xlsx"), "valid workbook: header, id, one test",
             xlsx_maker(valid_rows())),
        Case("0b", "control_csv", at("control.csv"), "valid .csv: header, id, one test",
             csv_maker("".join(map(csv_line, [HEADER, IDENTIFICATION, TEST])).encode())),
        Case("0c", "control_xls", at("seed.xls"),
             "the mutants' seed: header, id, 4 tests, a power-up", seed_xls_maker),
        Case("1", "hostile_xlsx_row_without_r", at("xlsx_row_without_r.xlsx"),
             "first row (the header) has no r",
             xlsx_maker([row(1, HEADER, r_attribute=False)] + valid_rows()[1:])),
        Case("2", "hostile_xlsx_row_r0", at("xlsx_row_r0.xlsx"), 'first row (the header) r="0"',
             xlsx_maker([row(0, HEADER)] + valid_rows()[1:])),
        Case("3", "hostile_xlsx_later_row_without_r", at("xlsx_later_row_without_r.xlsx"),
             'rows r="1", r="2", then a test row without r',
             xlsx_maker(valid_rows(r_attribute=False))),
        Case("4", "hostile_xlsx_row_r5000000", at("xlsx_row_r5000000.xlsx"),
             'test row r="5000000"', xlsx_maker(valid_rows(5_000_000))),
        Case("5", "hostile_xlsx_row_r100000000000", at("xlsx_row_r100000000000.xlsx"),
             'test row r="100000000000"', xlsx_maker(valid_rows(100_000_000_000))),
        Case("6", "hostile_xlsx_bomb", bomb, "sheet1.xml inflates to 1 GiB (spaces), honest sizes",
             bomb_maker),
        Case("6b", "hostile_xlsx_lying_bomb", at("xlsx_lying_bomb.xlsx"),
             "the same, headers say 1,000 bytes", lying_bomb_maker(bomb)),
        Case("7", "hostile_xlsx_empty_shared_strings", at("xlsx_20m_empty_si.xlsx"),
             "sharedStrings.xml: 20,000,000 empty <si/>",
             xlsx_maker(valid_rows(), empty_shared=20_000_000)),
        Case("8", "hostile_xlsx_nested_inline_string", at("xlsx_nested_100k.xlsx"),
             "PN an inline string with 100,000 nested <r>",
             xlsx_maker(valid_rows(raw_cells={1: nested_cell(100_000)}))),
        Case("9", "hostile_xlsx_escapes_100k", at("xlsx_escapes_100k.xlsx"),
             "PN holds 100,000 _x0041_ escapes",
             xlsx_maker(valid_rows(test=TEST[:1] + ["_x0041_" * 100_000] + TEST[2:]))),
        Case("9b", "hostile_xlsx_escapes_1m", at("xlsx_escapes_1m.xlsx"),
             "PN holds 1,000,000 _x0041_ escapes",
             xlsx_maker(valid_rows(test=TEST[:1] + ["_x0041_" * 1_000_000] + TEST[2:]))),
        Case("10", "hostile_csv_newlines", at("csv_10mb_newlines.csv"),
             "header line, then 10 MB of newlines", newlines_maker),
        Case("11", "hostile_csv_dev_zero", at("dev_zero.csv"), "symbolic link to /dev/zero",
             special_maker("link")),
        Case("12", "hostile_fifo_csv", at("fifo.csv"), "FIFO nobody writes to",
             special_maker("fifo")),
        Case("12b", "hostile_fifo_xlsx", at("fifo.xlsx"), "FIFO nobody writes to",
             special_maker("fifo")),
        Case("12c", "hostile_fifo_xls", at("fifo.xls"), "FIFO nobody writes to",
             special_maker("fifo")),
    ]


# --- Report -------------------------------------------------------------------------------------

def size_text(path):
    if os.path.islink(path):
        return "link to " + os.readlink(path)
    if not os.path.isfile(path):
        return "FIFO"
    size = os.path.getsize(path)
    for unit, scale in (("MB", 1 << 20), ("KB", 1 << 10)):
        if size >= scale:
            return f"{size / scale:.1f} {unit}"
    return f"{size} B"


def first_line(text, path, shown):
    """The first line of text with path, which the messages name in full, shown shorter."""
    text = text.replace(path, shown)
    line = text.strip().splitlines()[0] if text.strip() else ""
    line = line.replace("|", "\\|")
    return line if len(line) <= 100 else line[:97] + "..."


def figures(key, outcome):
    print(f"{key}_ms={outcome.ms:.1f}\n{key}_peak_mb={outcome.peak_mb:.1f}\n"
          f"{key}_end={outcome.end}", flush=True)


def table_row(number, path, what, outcome, ended=None):
    name = os.path.basename(path)
    return [number, name, what, size_text(path), f"{outcome.ms:.0f}", f"{outcome.peak_mb:.0f}",
            ended or outcome.end, first_line(outcome.stderr, path, name)]


def run_mutants(binary, seed, archive, table):
    """Runs every mutant, prints their summary and returns their outcomes by name."""
    folder = cached(os.path.join(os.path.dirname(seed), "xls_mutants"), mutants_maker(seed))
    mutants = [(name, run_import(binary, os.path.join(folder, name), archive, MUTANT_LIMIT_S))
               for name in sorted(os.listdir(folder))]
    outcomes = [o for _, o in mutants]
    slowest = max(mutants, key=lambda m: m[1].ms)
    largest = max(mutants, key=lambda m: m[1].peak_mb)
    signals = collections.Counter(o.end.split()[-1].strip("()") for o in outcomes if o.signalled)
    hung = sum(o.hung for o in outcomes)
    zero = sum(o.end == "exit 0" for o in outcomes)
    nonzero = len(mutants) - zero - sum(signals.values()) - hung
    print(f"hostile_xls_mutants={len(mutants)}\nhostile_xls_mutants_signals={sum(signals.values())}"
          f"\nhostile_xls_mutants_nonzero={nonzero}\nhostile_xls_mutants_zero={zero}"
          f"\nhostile_xls_mutants_hung={hung}\nhostile_xls_mutants_slowest_ms={slowest[1].ms:.1f}"
          f"\nhostile_xls_mutants_slowest={slowest[0]} ({slowest[1].end})"
          f"\nhostile_xls_mutants_peak_mb={largest[1].peak_mb:.1f}"
          f"\nhostile_xls_mutants_peak={largest[0]}", flush=True)
    by_signal = ", ".join(f"{name} x{n}" for name, n in signals.most_common())
    messages = collections.Counter(first_line(o.stderr, os.path.join(folder, name), "mutant")
                                   for name, o in mutants
                                   if o.end.startswith("exit") and o.end != "exit 0")
    table.append(["13", "xls_mutants/", f"{len(mutants)} mutants of seed.xls, {MUTANT_LIMIT_S} s "
                  "limit each; time and peak are the worst", f"{size_text(seed)} each",
                  f"{slowest[1].ms:.0f}", f"{largest[1].peak_mb:.0f}",
                  f"{sum(signals.values())} by signal{f' ({by_signal})' if by_signal else ''}, "
                  f"{nonzero} non-zero, {zero} zero, {hung} hung",
                  f"most often: {messages.most_common(1)[0][0]}" if messages else ""])
    crashed = [f"{name} ({o.end})" for name, o in mutants if o.signalled]
    note = ""
    if crashed:
        note = (f"Mutants ended by a signal (in {folder}): " + ", ".join(crashed[:40]) +
                (f" and {len(crashed) - 40} more" if len(crashed) > 40 else ""))
    return [(f"hostile_xls_mutant {name}", o) for name, o in mutants], note


def run_realistic(binary, files, archive, table):
    realistic = cached(os.path.join(files, "realistic_1m.csv"), realistic_maker)
    outcome = run_import(binary, realistic, archive, LIMIT_S)
    figures("realistic_import", outcome)
    read = next((line for line in outcome.stdout.splitlines() if "tests read" in line), "")
    read = read.replace(realistic + ": ", "")
    print(f"realistic_import_result={read}", flush=True)
    table.append(table_row("14", realistic,
                           "a million tests as saved, a power-up after one in a thousand",
                           outcome, f"{outcome.end}: {read}"))


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: hostile_import_bench.py BINARY SCRATCH_FOLDER")
    binary, scratch = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    files = os.path.join(scratch, "files")
    os.makedirs(files, exist_ok=True)

    def archive(number):
        return os.path.join(scratch, f"case{number}.sqlite")

    table = []
    hostile = []
    for case in cases(files):
        cached(case.file, case.make)
        outcome = run_import(binary, case.file, archive(case.number), LIMIT_S)
        figures(case.key, outcome)
        if not case.key.startswith("control"):
            hostile.append((case.key, outcome))
        table.append(table_row(case.number, case.file, case.what, outcome))
    mutants, note = run_mutants(binary, os.path.join(files, "seed.xls"), archive("13"), table)
    hostile += mutants
    run_realistic(binary, files, archive("14"), table)

    worst_time = max(hostile, key=lambda h: h[1].ms)
    worst_peak = max(hostile, key=lambda h: h[1].peak_mb)
    print(f"hostile_worst_ms={worst_time[1].ms:.1f}\nhostile_worst_ms_case={worst_time[0]}"
          f"\nhostile_worst_peak_mb={worst_peak[1].peak_mb:.1f}"
          f"\nhostile_worst_peak_mb_case={worst_peak[0]}"
          f"\nhostile_signals={sum(o.signalled for _, o in hostile)}"
          f"\nhostile_hung={sum(o.hung for _, o in hostile)}", flush=True)

    out = sys.stderr
    out.write(f"\n{binary}: limits {LIMIT_S} s and {ADDRESS_SPACE >> 30} GiB of address space\n\n"
              "| # | file | what it is | size | time ms | peak MB | ended | stderr, first line |\n"
              "|---|---|---|---:|---:|---:|---|---|\n")
    for cells in table:
        out.write("| " + " | ".join(cells) + " |\n")
    if note:
        out.write(f"\n{note}\n")


if __name__ == "__main__":
    main()
