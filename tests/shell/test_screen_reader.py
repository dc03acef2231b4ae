#!/usr/bin/python3
# What a screen reader hears of the running program, read through the desktop's accessibility
# stack itself (a private session bus, its accessibility bus and registry, pyatspi), in both
# languages, while the simulator feeds the panel.
#   test_screen_reader.py CHARGEMON CHARGER-SIM
import os, re, shutil, signal, subprocess, sys, tempfile, time

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
# (role, name, description) as heard; the description is a pattern.
HEARD = {
    "ENG": [("dial", "Battery voltage", r"\d+\.\d+ V"), ("label", "Cell 3", r"\d\.\d\d V"),
            ("label", "Battery voltage, digits", r"\d+\.\d\d V"),
            ("progress bar", "Cell 3 charge", r"\d+ %"), ("dial", "External temperature", r"[\d.]+ °C"),
            ("label", "Charger connected", "on"), ("push button", r"Channel \d on the panel", ".*"),
            ("image", "Fold the side pane", ""), ("chart", r".*@CH1.*", r"Voltage\(V\) \d+\.\d\d, .*")],
    "CHT": [("dial", "電池電壓", r"\d+\.\d+ V"), ("label", "電芯 3", r"\d\.\d\d V"),
            ("dial", "電池溫度", r"[\d.]+ °C"), ("label", "充電器已連接", "亮"),
            ("push button", r"面板顯示通道 \d", ".*"), ("image", "收合側欄", ""),
            ("chart", r".*@CH1.*", r"電壓\(V\) \d+\.\d\d, .*")],
}


def skip(why):
    print("SKIP: " + why + " (scripts/deps.sh installs it)")
    sys.exit(77)


for tool in ("Xvfb", "dbus-daemon", LAUNCHER):
    if not shutil.which(tool):
        skip(tool + " is missing")
started = []


def start(*command, **options):
    # A group of its own, so that what it starts (the accessibility bus) goes with it.
    p = subprocess.Popen(command, start_new_session=True, stderr=subprocess.DEVNULL, **options)
    started.append(p)
    return p


def first_line(*command):
    p = start(*command, stdout=subprocess.PIPE, text=True)
    return p.stdout.readline().strip()


def heard(desktop):
    """(role, name, description, value) of every object of the program."""
    found, todo = [], [app for app in desktop if app is not None and app.name == "chargemon"]
    while todo:
        a = todo.pop()
        try:
            value = a.queryValue().currentValue
        except NotImplementedError:
            value = None
        found.append((a.getRoleName(), a.name, a.description, value))
        todo.extend(c for c in a if c is not None)
    return found


def check(language, desktop, program):
    wanted = HEARD[language]
    deadline, missing = time.monotonic() + 20, wanted
    while missing and time.monotonic() < deadline and program.poll() is None:
        time.sleep(0.5)
        try:
            objects = heard(desktop)
        except Exception:  # the program is still building its windows
            continue
        missing = [w for w in wanted if not any(
            o[0] == w[0] and re.fullmatch(w[1], o[1]) and re.fullmatch(w[2], o[2]) for o in objects)]
    assert not missing, "%s: not heard %s among\n%s" % (
        language, missing, "\n".join(map(str, objects)))
    for role, name, description, value in objects:
        assert role != "unknown" or not name, "%s: %s has no role" % (language, name)
        if role in ("dial", "progress bar"):  # the number on the scale is the one said
            assert abs(float(description.split()[0]) - value) < 1e-6, (name, description, value)
    print("\n".join("%s: %s, %s, %s" % (language, o[1], o[0], o[2])
                    for o in objects if o[0] in ("dial", "chart") or o[1].endswith("3")))


try:
    display = first_line("Xvfb", "-displayfd", "1", "-screen", "0", "1600x1000x24", "-nolisten", "tcp")
    runtime = tempfile.TemporaryDirectory()  # where the accessibility bus puts its socket
    os.environ["XDG_RUNTIME_DIR"] = runtime.name
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = first_line(
        "dbus-daemon", "--session", "--nofork", "--print-address=1")
    start(LAUNCHER, "--launch-immediately")
    try:
        import pyatspi
    except ImportError:
        skip("python3-pyatspi is missing")
    line = first_line(sys.argv[2], "--kind", "112", "--speed", "2")
    for language in HEARD:
        with tempfile.TemporaryDirectory() as home:
            with open(os.path.join(home, "chargemon.ini"), "w") as ini:
                ini.write("[Lang]\nLang=%s\n" % language)
            env = dict(os.environ, DISPLAY=":" + display, QT_QPA_PLATFORM="xcb",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", CHARGEMON_PORTS=line, HOME=home,
                       XDG_CONFIG_HOME=home, XDG_DATA_HOME=home)
            program = start(sys.argv[1], env=env)
            check(language, pyatspi.Registry.getDesktop(0), program)
            program.kill()
            program.wait()
finally:
    for p in reversed(started):
        try:
            os.killpg(p.pid, signal.SIGKILL)
        except ProcessLookupError:  # the program, killed and waited for already
            pass
        p.wait()
