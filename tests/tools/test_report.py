#!/usr/bin/env python3
"""A report written by the real chargemon-book, opened by a real browser with the network off:
its chart is drawn, its figures are those of the book, a hostile description stays text."""
import csv, io, os, re, sqlite3, subprocess, sys, tempfile, zlib, shutil

BOOK = sys.argv[1]
BROWSER = shutil.which("chromium")
if not BROWSER:
    print("chromium is not installed"); sys.exit(77)
HOSTILE = "Pack 2200mAh </svg><script>document.title='owned'</script><b>bold</b>"
FIELDS = ("Time type Chg Ext_temp In_temp In_Volt Bat_volt Current Cap Power "
          + " ".join(f"C{c}" for c in range(1, 13))).split()


def run_file(path, seconds, mtime):
    """A 3S lithium discharge: 20 s at 0.2 C of 2200 mAh, then 1 C to the end, 100 mΩ."""
    db = sqlite3.connect(path)
    db.execute("pragma user_version = 1")
    db.execute("create table CHGLOG (%s)" % ", ".join(f'"{f}"' for f in FIELDS))
    db.execute('create table Title ("Title" TEXT(100))')
    db.execute("insert into Title values (?)", (HOSTILE,))
    rows, mah = [], 0.0
    for t in range(seconds):
        amps = 0.44 if t < 20 else 2.2
        volts = round(12.4 - 0.1 * amps - 2.4 * t / seconds, 2)
        mah += amps / 3.6
        cell = round(volts / 3, 2)
        rows.append([(36000 + t) / 86400, "LiIo/Po/Fe", "-DSC-", 25, 30, 12.1, volts, -amps,
                     round(mah), round(volts * amps, 2), cell, cell, cell] + [0] * 9)
    db.executemany("insert into CHGLOG values (%s)" % ",".join("?" * len(FIELDS)), rows)
    db.commit()
    db.close()
    os.utime(path, (mtime, mtime))


def pixels(png):
    """The RGB(A) rows of an 8-bit, non-interlaced PNG."""
    pos, idat, width = 8, b"", 0
    while pos < len(png):
        n = int.from_bytes(png[pos:pos + 4], "big")
        kind, data = png[pos + 4:pos + 8], png[pos + 8:pos + 8 + n]
        if kind == b"IHDR":
            width, depth, colour = int.from_bytes(data[:4], "big"), data[8], data[9]
            assert depth == 8 and colour in (2, 6), (depth, colour)
            bpp = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += data
        pos += 12 + n
    raw, stride, prev, out = zlib.decompress(idat), width * bpp, None, []
    for i in range(0, len(raw), stride + 1):
        f, line = raw[i], bytearray(raw[i + 1:i + 1 + stride])
        prev = prev or bytearray(stride)
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b, c = prev[x], prev[x - bpp] if x >= bpp else 0
            p = a + b - c
            pred = (0, a, b, (a + b) // 2,
                    a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c)
                    else b if abs(p - b) <= abs(p - c) else c)[f]
            line[x] = (line[x] + pred) & 0xFF
        out.append(line)
        prev = line
    return out, bpp


def main():
    tmp = tempfile.mkdtemp(prefix="chargemon-report-")
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(HOME=tmp, XDG_CONFIG_HOME=tmp, XDG_DATA_HOME=tmp)
    runs = os.path.join(tmp, "runs")
    os.mkdir(runs)
    for i, seconds in enumerate((3400, 3300, 3200)):
        run_file(os.path.join(runs, f"run{i}.mdb"), seconds, 1.7e9 + i * 86400)
    run = os.path.join(runs, "run0.mdb")
    report = os.path.join(tmp, "report.html")

    def book(*args):
        return subprocess.run([BOOK, "--no-cache", *args, runs], env=env, capture_output=True,
                              text=True, timeout=30)

    made = book("--report", run, "--report", HOSTILE, "-o", report)
    assert made.returncode == 0, made.stderr
    html = open(report, encoding="utf-8").read()
    # Self-contained: nothing fetched, no script.
    for fetch in ("src=", "href=", "url(", "@import", "<script", "<link", "<iframe"):
        assert fetch not in html.lower(), fetch

    shot = os.path.join(tmp, "shot.png")
    browser = [BROWSER, "--headless", "--disable-gpu", "--no-sandbox", "--no-first-run",
               f"--user-data-dir={os.path.join(tmp, 'profile')}", "--proxy-server=127.0.0.1:9",
               "--host-resolver-rules=MAP * ~NOTFOUND", "--window-size=1000,1200",
               "--hide-scrollbars"]
    dom = subprocess.run(browser + ["--dump-dom", "file://" + report], env=env,
                         capture_output=True, text=True, timeout=60).stdout
    subprocess.run(browser + [f"--screenshot={shot}", "file://" + report], env=env,
                   capture_output=True, timeout=60)

    # The charts are drawn: the run's and the pack's two trends, each with its lines.
    svgs = dom.split("<svg")[1:]
    assert len(svgs) == 3 and all("<path" in s or "<polyline" in s for s in svgs), len(svgs)
    assert len(re.findall(r'(?:points|d)="[^"]{2000,}"', svgs[0])) == 4, "the run's four curves"
    # The description stays text, in the page and in the chart's picture alike.
    assert "<script" not in dom and "<b>" not in dom and "owned" not in dom.split("</title>")[0]
    assert dom.count("&lt;/svg&gt;&lt;script&gt;") >= 2, "the description is not shown as text"
    # The figures are the book's: every run in the pack's table, the run's capacity and DCIR.
    table = list(csv.DictReader(io.StringIO(book("--runs", "--csv").stdout)))
    assert len(table) == 3
    first = next(r for r in table if r["file"].endswith("run0.mdb"))
    assert f"Discharged {first['discharged_mah']} mAh" in dom, first["discharged_mah"]
    assert first["dcir_method"] == "iec61960"
    assert f"{first['dcir_mohm']} ± {first['dcir_pm_mohm']} mΩ" in dom
    assert all(os.path.basename(r["file"]) in dom for r in table)

    # The screenshot shows the run's chart: coloured curves on the white page.
    rows, bpp = pixels(open(shot, "rb").read())
    coloured = sum(1 for line in rows for x in range(0, len(line), bpp)
                   if max(line[x:x + 3]) - min(line[x:x + 3]) > 100)
    assert coloured > 2000, coloured

    # In the interface language.
    with open(os.path.join(tmp, "chargemon.ini"), "w") as settings:
        settings.write("[Lang]\nLang=CHT\n")
    chinese = os.path.join(tmp, "zh.html")
    assert book("--report", run, "-o", chinese).returncode == 0
    assert "Discharged" not in open(chinese, encoding="utf-8").read()
    # A report that cannot be written says why.
    failed = book("--report", run, "-o", os.path.join(tmp, "missing", "r.html"))
    assert failed.returncode == 1 and "not written" in failed.stderr, failed.stderr
    shutil.rmtree(tmp)


main()
