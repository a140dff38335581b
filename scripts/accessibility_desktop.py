#!/usr/bin/python3
"""The real desktop program as a screen reader and a testing tool see it.

Starts `harrow` on a virtual X display with the accessibility bus (AT-SPI),
finds its controls by their accessible names in the AT-SPI tree and drives
them with real X events (xdotool): types a worksheet, presses Continue,
enters a correlation in the matrix window, and waits for the report. On the
way it checks that every control of the worksheet, the matrix window and
the results window has a name. Every wait is on a condition, with a generous
time limit.

Exits 0 when it passed, 1 when it failed, and 77 (a skip) only when the
accessibility bus cannot start on this machine, saying so loudly.

Usage: accessibility_desktop.py BUILD_DIR_OR_PROGRAM [SCREENSHOT_DIR]
With a screenshot folder, the matrix and results windows are photographed
at their first size and enlarged.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
TIMEOUT = float(os.environ.get("HARROW_A11Y_TIMEOUT", "90"))  # seconds for any one step
# Controls a person operates: each must have a name. Table cells are named
# by what they hold, and are left out.
NAMED_ROLES = {"push button", "text", "entry", "password text", "check box", "radio button", "combo box",
               "spin button", "slider", "toggle button", "menu item", "check menu item", "radio menu item",
               "menu", "page tab", "table", "list", "tree", "tree table"}


class Failure(Exception):
    pass


def say(text):
    print("accessibility_desktop: " + text, flush=True)


def skip(reason):
    bar = "!" * 78
    print(f"{bar}\naccessibility_desktop: SKIPPED, NOT TESTED: {reason}\n{bar}", flush=True)
    sys.exit(SKIP)


def wait_for(what, condition, timeout=TIMEOUT, alive=None):
    """The condition's first true value, polled until the time limit."""
    end = time.monotonic() + timeout
    last_error = None
    while True:
        if alive:
            alive()
        try:
            value = condition()
        except Exception as e:  # the tree changes while it is read: try again
            value, last_error = None, e
        if value:
            return value
        if time.monotonic() > end:
            raise Failure(f"{what} did not happen within {timeout:.0f} s" +
                          (f" (last error: {last_error})" if last_error else ""))
        time.sleep(0.1)


class Session:
    """Xvfb, a session bus, the accessibility bus and the program."""

    def __init__(self, program, work):
        self.program = program
        self.work = work
        self.processes = []
        self.app = None
        self.xvfb = None

    def start(self, args, **kw):
        p = subprocess.Popen(args, **kw)
        self.processes.append(p)
        return p

    def stop(self):
        for p in reversed(self.processes):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()

    def start_display(self):
        """A display of its own, with a cookie of its own: a server another
        process already runs under the same number refuses the cookie, so the
        check below never takes a foreign server for ours."""
        authority = os.path.join(self.work, "Xauthority")
        os.environ["XAUTHORITY"] = authority
        for number in range(90, 190):
            if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            display = f":{number}"
            subprocess.run(["xauth", "-f", authority, "add", display, ".", os.urandom(16).hex()], check=True,
                           timeout=TIMEOUT)
            # -noreset: the server resets when its last client leaves (the
            # check below), and a program connecting during the reset is
            # refused ("could not connect to display").
            xvfb = self.start(["Xvfb", display, "-auth", authority, "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp", "-noreset"], stderr=subprocess.DEVNULL)

            def answers():
                if xvfb.poll() is not None:
                    raise Failure("Xvfb ended")
                return subprocess.run(["xdotool", "getdisplaygeometry"], env=dict(os.environ, DISPLAY=display),
                                      capture_output=True, timeout=10).returncode == 0
            try:
                if wait_for("the display", answers, timeout=30):
                    os.environ["DISPLAY"] = display
                    self.xvfb = xvfb
                    return
            except Failure:
                pass  # the number was taken after all: the next one
            if xvfb.poll() is None:
                xvfb.terminate()
                xvfb.wait()
        raise Failure("Xvfb gave no display that answers")

    def start_buses(self):
        """The session bus and the accessibility bus; False when at-spi cannot start."""
        bus = self.start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, text=True)
        address = bus.stdout.readline().strip()
        if not address:
            return False
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
        launcher = next((p for p in ("/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher")
                         if os.path.exists(p)), None)
        if not launcher:
            return False
        self.start([launcher, "--launch-immediately"], stderr=subprocess.DEVNULL)

        def bus_up():
            return subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                                   "org.a11y.Bus.GetAddress"], capture_output=True, timeout=10).returncode == 0
        try:
            wait_for("the accessibility bus", bus_up, timeout=30)
        except Failure:
            return False
        return True

    def start_program(self):
        copy = os.path.join(self.work, "harrow")
        shutil.copy(self.program, copy)
        runtime = os.path.join(self.work, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                   HOME=self.work, XDG_DATA_HOME=os.path.join(self.work, "data"), XDG_RUNTIME_DIR=runtime)
        self.log = open(os.path.join(self.work, "app.log"), "w")
        self.app = self.start([copy], cwd=self.work, env=env, stdout=self.log, stderr=subprocess.STDOUT)

    def alive(self):
        if self.app.poll() is not None:
            server = "had ended" if self.xvfb is None or self.xvfb.poll() is not None else "was still running"
            raise Failure(f"the program ended (status {self.app.returncode}) before the step was done; "
                          f"the display server of {os.environ.get('DISPLAY')} {server}")


# ---- the AT-SPI tree ---------------------------------------------------------

def load_atspi():
    try:
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi
    except (ImportError, ValueError) as e:
        raise Failure(f"the AT-SPI bindings are missing to {sys.executable} ({e}); scripts/setup.sh installs "
                      "python3-pyatspi for Debian's /usr/bin/python3")
    return Atspi


def children(node):
    node.clear_cache()
    return [c for c in (node.get_child_at_index(i) for i in range(node.get_child_count())) if c is not None]


def walk(node, depth=0):
    yield node
    if depth < 40:
        for c in children(node):
            yield from walk(c, depth + 1)


def role(node):
    return node.get_role_name()


def name(node):
    return node.get_name() or ""


def application(Atspi, pid):
    for app in children(Atspi.get_desktop(0)):
        if app.get_process_id() == pid:
            return app
    return None


def window(app, title_start, roles=("frame", "dialog", "window", "filler")):
    for w in children(app):
        if role(w) in roles and name(w).startswith(title_start) and showing(w):
            return w
    return None


def showing(node):
    return node.get_state_set().contains(STATE_SHOWING)


def find(root, wanted_role, wanted_name):
    for n in walk(root):
        if role(n) == wanted_role and name(n) == wanted_name:
            return n
    return None


def unnamed_controls(root):
    """The controls without a name, as 'role in parent' lines."""
    faults = []
    for n in walk(root):
        r = role(n)
        # Hidden controls (the fields of covariates not asked for) reach no one.
        if r not in NAMED_ROLES or name(n).strip() or not showing(n):
            continue
        parent = n.get_parent()
        try:
            shown = text_of(n)[:40]
        except Exception:
            shown = ""
        faults.append(f"a {r} without a name, showing '{shown}', in '{name(parent) if parent else '?'}' "
                      f"({role(parent) if parent else '?'})")
    return faults


def centre(node):
    e = node.get_extents(COORD_SCREEN)
    if e.width <= 0 or e.height <= 0:
        raise Failure(f"'{name(node)}' has no place on the screen")
    return e.x + e.width // 2, e.y + e.height // 2


# ---- real events -----------------------------------------------------------------

def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=TIMEOUT)


def click(node):
    x, y = centre(node)
    xdotool("mousemove", "--sync", str(x), str(y), "click", "1")


def type_text(text):
    xdotool("type", "--delay", "30", text)


def key(*keys):
    xdotool("key", "--delay", "40", *keys)


def focused(node):
    node.clear_cache()
    return node.get_state_set().contains(STATE_FOCUSED)


def text_of(node):
    node.clear_cache()
    return ATSPI.Text.get_text(node, 0, ATSPI.Text.get_character_count(node))


def screenshot(folder, file, window_node, enlarge_to=None):
    if not folder:
        return
    if enlarge_to:
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^" + re.escape(name(window_node))],
                             capture_output=True, text=True, timeout=TIMEOUT).stdout.split()
        for wid in ids:
            xdotool("windowmove", wid, "0", "0")
            xdotool("windowsize", wid, str(enlarge_to[0]), str(enlarge_to[1]))
        time.sleep(1)  # the new size is drawn; a picture only, no check rests on it
    time.sleep(0.5)
    subprocess.run(["import", "-window", "root", os.path.join(folder, file)], timeout=TIMEOUT)


# ---- the run ---------------------------------------------------------------------------

def dump(Atspi, pid):
    """What AT-SPI shows of the program, for a failure's report."""
    lines = []
    for app in children(Atspi.get_desktop(0)):
        lines.append(f"application '{name(app)}' pid {app.get_process_id()}")
        if app.get_process_id() == pid:
            for w in children(app):
                lines.append(f"  {role(w)} '{name(w)}' showing={showing(w)}")
    return "\n".join(lines)


def run(session, Atspi, shots):
    pid = session.app.pid
    app = wait_for("the program's entry in the accessibility tree", lambda: application(Atspi, pid),
                   alive=session.alive)
    worksheet = wait_for("the worksheet window", lambda: window(app, "Harrow:"), alive=session.alive)
    say("found the worksheet window through AT-SPI")

    faults = []
    faults += [f"worksheet: {f}" for f in unnamed_controls(worksheet)]

    covariates = wait_for("the covariates field", lambda: find(worksheet, "text", "Number of covariates"))
    size = wait_for("the sample size field", lambda: find(worksheet, "text", "Sample size (N) of control sample"))
    click(covariates)
    wait_for("the focus in the covariates field", lambda: focused(covariates))
    key("ctrl+a")
    type_text("1")
    click(size)
    wait_for("the focus in the sample size field", lambda: focused(size))
    key("ctrl+a")
    type_text("20")
    wait_for("the typed covariate count", lambda: text_of(covariates) == "1")

    grid = wait_for("the data grid", lambda: find(worksheet, "table", "Data grid"))
    first = wait_for("the grid's first name cell", lambda: ATSPI.Table.get_accessible_at(grid, 0, 1))
    click(first)
    for i, text in enumerate(["Memory", "50", "10", "30", "Educ", "10", "2", "8"]):
        if i:
            key("Tab")
        type_text(text)
    key("Tab")

    proceed = wait_for("the worksheet's Continue button", lambda: find(worksheet, "push button", "Continue"))
    click(proceed)

    matrix = wait_for("the matrix window", lambda: window(app, "Matrix Entry"), alive=session.alive)
    say("found the matrix window")
    faults += [f"matrix window: {f}" for f in unnamed_controls(matrix)]
    cell = wait_for("the cell of Memory with Educ",
                    lambda: find(matrix, "text", "Correlation of Memory with Educ"), alive=session.alive)
    screenshot(shots, "matrix_default.png", matrix)
    click(cell)
    wait_for("the focus in the correlation cell", lambda: focused(cell))
    key("ctrl+a")
    type_text("0.5")
    wait_for("the typed correlation", lambda: text_of(cell) == "0.5")
    screenshot(shots, "matrix_enlarged.png", matrix, (1100, 800))
    click(wait_for("the matrix window's Continue", lambda: find(matrix, "push button", "Continue")))

    results = wait_for("the results window", lambda: window(app, "Results viewer:"), alive=session.alive)
    report = wait_for("the report", lambda: find(results, "text", "Report"))
    # The estimates stand at the end of the report: it is complete.
    wait_for("the report's text", lambda: "INPUTS:" in text_of(report) and "Credible" in text_of(report),
             alive=session.alive)
    say("the report is shown")
    faults += [f"results window: {f}" for f in unnamed_controls(results)]
    screenshot(shots, "results_default.png", results)
    screenshot(shots, "results_enlarged.png", results, (1260, 1000))

    if faults:
        raise Failure("controls without an accessible name:\n  " + "\n  ".join(faults))

    # Exit, answered with Enter (Yes is the default): the program ends normally.
    click(wait_for("the Exit button", lambda: find(results, "push button", "Exit")))
    wait_for("the exit question", lambda: window(app, "Confirm", ("dialog", "alert", "frame", "window")),
             alive=session.alive)
    key("Return")
    wait_for("the program's end", lambda: session.app.poll() is not None)
    if session.app.returncode != 0:
        raise Failure(f"the program ended with status {session.app.returncode}")


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    program = sys.argv[1]
    if os.path.isdir(program):
        program = os.path.join(program, "desktop", "harrow")
    shots = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None
    if not os.access(program, os.X_OK):
        say(f"FAILED: build {program} first")
        return 1
    for tool in ("Xvfb", "xauth", "xdotool", "import"):
        if not shutil.which(tool):
            say(f"FAILED: {tool} is missing (scripts/setup.sh installs it)")
            return 1
    if not shutil.which("dbus-daemon") or not shutil.which("dbus-send"):
        skip("dbus-daemon is missing, so the accessibility bus cannot start (scripts/setup.sh installs dbus-x11)")

    work = tempfile.mkdtemp(prefix="harrow-a11y-")
    session = Session(program, work)
    try:
        session.start_display()
        if not session.start_buses():
            skip("the AT-SPI accessibility bus did not start on this machine")
        Atspi = load_atspi()
        global ATSPI, STATE_SHOWING, STATE_FOCUSED, COORD_SCREEN
        ATSPI = Atspi
        STATE_SHOWING, STATE_FOCUSED = Atspi.StateType.SHOWING, Atspi.StateType.FOCUSED
        COORD_SCREEN = Atspi.CoordType.SCREEN
        session.start_program()
        try:
            run(session, Atspi, shots)
        except Failure:
            if shots:
                subprocess.run(["import", "-window", "root", os.path.join(shots, "failure.png")], timeout=TIMEOUT)
            try:
                say("the accessibility tree:\n" + dump(Atspi, session.app.pid))
            except Exception as e:
                say(f"the accessibility tree could not be read ({e})")
            raise
        say("passed (worksheet typed, Continue, a correlation entered in the matrix window, the report shown; "
            "every control of the three windows has a name)")
        return 0
    except (Failure, subprocess.SubprocessError) as e:
        say(f"FAILED: {e}")
        log = os.path.join(work, "app.log")
        if os.path.exists(log):
            with open(log) as f:
                for line in f:
                    print("  program: " + line.rstrip())
        return 1
    finally:
        session.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
