#!/usr/bin/python3
"""The peer bench: quillo against Debian's players on the same folder, interleaved.

For each program and round it measures, from outside and the same way for every program:
  - import or scan: quillo-tool's import of the folder into a fresh data folder; for Audacious,
    the folder added to an empty playlist until every entry has its tag title;
  - start to window: from starting the program (its library or playlist holding the folder's
    songs) to its main window mapped and painted (a viewable top-level window of at least
    200 x 200 pixels of the program's process whose picture is no longer one colour);
  - CPU while playing: user and system time of the program and all its child processes (from
    /proc) over PLAY_SECONDS, while the same MP3 plays into the same silent sink (a PulseAudio
    null sink), its window shown;
  - RSS while playing: of the main process and of the program with its children.
Rounds are interleaved (quillo, Audacious, quillo, ...), so a disturbance of the machine falls
on every program alike; figures are min / median / max over the rounds.

Run through scripts/bench-peers.sh, which installs the peers, builds quillo, makes the folder
and starts Xvfb, a session bus and the silent sink. Usage:
  peers.py --work DIR --folder DIR --song MP3 --quillo BIN --quillo-tool BIN [--rounds N]
"""
import argparse
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import time

from Xlib import X
from Xlib import display as xdisplay
from Xlib import error as xerror

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
PAGE_KB = os.sysconf("SC_PAGE_SIZE") // 1024


# --- processes -------------------------------------------------------------------------------

def stat_fields(pid):
    """Fields of /proc/PID/stat after the command name, numbered as in proc(5) from 3."""
    with open("/proc/%d/stat" % pid) as f:
        text = f.read()
    return text[text.rfind(")") + 2:].split()


def descendants(root):
    """The process and every process below it."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            ppid = int(stat_fields(int(entry))[1])
        except (OSError, IndexError, ValueError):
            continue
        children.setdefault(ppid, []).append(int(entry))
    found, stack = [], [root]
    while stack:
        pid = stack.pop()
        found.append(pid)
        stack.extend(children.get(pid, []))
    return found


def tree_ticks(root):
    """CPU ticks of the tree: its processes' own time and that of children they reaped."""
    total = 0
    for pid in descendants(root):
        try:
            f = stat_fields(pid)
            total += int(f[11]) + int(f[12]) + int(f[13]) + int(f[14])
        except (OSError, IndexError, ValueError):
            pass
    return total


def rss_kb(pid):
    try:
        return int(stat_fields(pid)[21]) * PAGE_KB
    except (OSError, IndexError, ValueError):
        return 0


def tree_rss_kb(root):
    return sum(rss_kb(pid) for pid in descendants(root))


def names_with_rss(root):
    parts = {}
    for pid in descendants(root):
        try:
            with open("/proc/%d/comm" % pid) as f:
                comm = f.read().strip()
        except OSError:
            continue
        parts[comm] = parts.get(comm, 0) + rss_kb(pid)
    return parts


class Run:
    """One started program in its own process group; stopped as a whole."""

    def __init__(self, command, env, log):
        self.log = open(log, "ab")
        self.started = time.monotonic()
        self.process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL,
                                        stdout=self.log, stderr=self.log,
                                        start_new_session=True)

    @property
    def pid(self):
        return self.process.pid

    def stop(self, polite=None):
        if self.process.poll() is None and polite is not None:
            subprocess.run(polite, env=polite_env(), stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=20)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                pass
        for sig in (signal.SIGTERM, signal.SIGKILL):
            if self.process.poll() is not None:
                break
            try:
                os.killpg(self.process.pid, sig)
            except ProcessLookupError:
                break
            try:
                self.process.wait(15)
            except subprocess.TimeoutExpired:
                continue
        # Whatever of the group is left (helpers that outlive the program) goes too.
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except (ProcessLookupError, PermissionError):
            pass
        self.log.close()


def polite_env():
    return dict(os.environ)


# --- the window --------------------------------------------------------------------------------

class Screen:
    def __init__(self):
        self.display = xdisplay.Display()
        self.root = self.display.screen().root
        self.pid_atom = self.display.intern_atom("_NET_WM_PID")

    def windows_of(self, pids):
        """The viewable top-level windows of at least 200 x 200 owned by the processes."""
        found = []
        try:
            for window in self.root.query_tree().children:
                try:
                    if window.get_attributes().map_state != X.IsViewable:
                        continue
                    geometry = window.get_geometry()
                    if geometry.width < 200 or geometry.height < 200:
                        continue
                    prop = window.get_full_property(self.pid_atom, X.AnyPropertyType)
                    if prop is not None and len(prop.value) and prop.value[0] in pids:
                        found.append((window, geometry))
                except xerror.XError:
                    continue
        except xerror.XError:
            pass
        return found

    def painted(self, window, geometry):
        """Whether the screen shows more than one colour where the window is (read from the
        screen, so a window drawn in child windows or of another depth counts as seen)."""
        try:
            origin = window.translate_coords(self.root, 0, 0)
            x, y = -origin.x, -origin.y
            data = self.root.get_image(max(0, x), max(0, y), geometry.width, geometry.height,
                                       X.ZPixmap, 0xFFFFFFFF).data
        except xerror.XError:
            return False
        return data[4:] != data[:-4]

    def wait_painted(self, run, timeout=60):
        """Seconds from the program's start to its main window mapped and painted."""
        deadline = run.started + timeout
        while time.monotonic() < deadline:
            if run.process.poll() is not None:
                raise RuntimeError("the program ended before its window showed")
            # The first of the program's windows to show (quillo's main window; its music
            # centre beside it comes later and draws later).
            for window, geometry in self.windows_of(set(descendants(run.pid))):
                if self.painted(window, geometry):
                    return time.monotonic() - run.started
            time.sleep(0.005)
        raise RuntimeError("no window within %d s" % timeout)


# --- the programs ------------------------------------------------------------------------------

def playing_streams():
    out = subprocess.run(["pactl", "list", "short", "sink-inputs"], capture_output=True,
                         text=True).stdout
    return len([line for line in out.splitlines() if line.strip()])


class Quillo:
    name = "quillo"

    def __init__(self, args):
        self.args = args
        self.home = os.path.join(args.work, "quillo")
        self.data = os.path.join(self.home, "data")
        self.env = dict(os.environ)
        self.env.update({
            "XDG_DATA_HOME": os.path.join(self.home, "xdg-data"),
            "XDG_CONFIG_HOME": os.path.join(self.home, "xdg-config"),
            "XDG_CACHE_HOME": os.path.join(self.home, "xdg-cache"),
            "QUILLO_AUDIO_SINK": "pulsesink",
            "NO_AT_BRIDGE": "1",
        })

    def tool(self, data, *words):
        """Runs quillo-tool on the data folder; returns what it printed on standard output."""
        return subprocess.run([self.args.quillo_tool, "--data-dir", data] + list(words),
                              env=self.env, check=True, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True).stdout.strip()

    def imported(self, data, folder):
        # The import says "N found, M added"; a bench over fewer songs than made says nothing.
        said = self.tool(data, "import", folder)
        last = said.splitlines()[-1] if said else ""
        if not last.startswith("%d found" % self.args.songs):
            raise RuntimeError("quillo's import of %s: %r, not %d songs" %
                               (folder, last, self.args.songs))

    def configure(self, centre, lyric):
        self.tool(self.data, "config", "set", "module.ext.isopen", "true" if centre else "false")
        self.tool(self.data, "config", "set", "module.lyric.isopen", "true" if lyric else "false")
        self.tool(self.data, "config", "set", "module.lyric.mode", "bar")

    def import_seconds(self, folder):
        data = os.path.join(self.home, "import-data")
        shutil.rmtree(data, ignore_errors=True)
        started = time.monotonic()
        self.imported(data, folder)
        seconds = time.monotonic() - started
        shutil.rmtree(data, ignore_errors=True)
        return seconds

    def prepare(self):
        if not os.path.exists(os.path.join(self.home, ".imported")):
            shutil.rmtree(self.home, ignore_errors=True)
            os.makedirs(self.home)
            self.imported(self.data, self.args.folder)
            open(os.path.join(self.home, ".imported"), "w").close()

    def start(self, song=None, variant="default"):
        # default: as a user finds it (music centre and lyric bar open); quiet: both closed;
        # karaoke: the desktop lyric bar alone; centre: the music centre alone.
        settings = {"default": (True, True), "quiet": (False, False),
                    "karaoke": (False, True), "centre": (True, False)}[variant]
        self.configure(*settings)
        command = [self.args.quillo, "--data-dir", self.data] + ([song] if song else [])
        return Run(command, self.env, os.path.join(self.args.work, "quillo.log"))

    def stop(self, run):
        run.stop()


class Audacious:
    name = "audacious"

    def __init__(self, args):
        self.args = args
        self.home = os.path.join(args.work, "audacious")
        self.env = self.env_for(self.home)

    @staticmethod
    def env_for(home):
        env = dict(os.environ)
        env.update({"XDG_CONFIG_HOME": os.path.join(home, "config"),
                    "XDG_DATA_HOME": os.path.join(home, "data"),
                    "XDG_CACHE_HOME": os.path.join(home, "cache"),
                    "NO_AT_BRIDGE": "1"})
        return env

    @staticmethod
    def audtool(env, *words):
        return subprocess.run(["audtool"] + list(words), env=env, capture_output=True,
                              text=True, timeout=30).stdout.strip()

    def fill(self, home, folder, songs):
        """Starts Audacious on HOME, adds FOLDER and waits until every entry has its tag title;
        returns the seconds from the add to then and the running program."""
        env = self.env_for(home)
        run = Run(["audacious"], env, os.path.join(self.args.work, "audacious.log"))
        Screen().wait_painted(run)
        self.audtool(env, "playlist-clear")
        started = time.monotonic()
        self.audtool(env, "playlist-addurl", "file://" + folder)
        while time.monotonic() - started < 600:
            if self.audtool(env, "playlist-length") == str(songs):
                title = self.audtool(env, "playlist-tuple-data", "title", str(songs))
                # Until its tag is read, an entry's title is its file name ("NN title").
                if title and not re.match(r"\d\d ", title):
                    break
            time.sleep(0.02)
        else:
            raise RuntimeError("Audacious did not take the folder within 600 s")
        return time.monotonic() - started, run, env

    def import_seconds(self, folder):
        home = os.path.join(self.args.work, "audacious-import")
        shutil.rmtree(home, ignore_errors=True)
        seconds, run, env = self.fill(home, folder, self.args.songs)
        run.stop()
        shutil.rmtree(home, ignore_errors=True)
        return seconds

    def prepare(self):
        if not os.path.exists(os.path.join(self.home, ".filled")):
            shutil.rmtree(self.home, ignore_errors=True)
            os.makedirs(self.home)
            _, run, env = self.fill(self.home, self.args.folder, self.args.songs)
            # A shutdown through its own command saves the playlist for the next starts.
            self.audtool(env, "shutdown")
            run.process.wait(30)
            run.stop()
            open(os.path.join(self.home, ".filled"), "w").close()

    def start(self, song=None, variant="default"):
        command = ["audacious"] + ([song] if song else [])
        return Run(command, self.env, os.path.join(self.args.work, "audacious.log"))

    def stop(self, run):
        # Through its own command, so it saves its state as a user's quit would.
        if run.process.poll() is None:
            self.audtool(self.env, "shutdown")
            try:
                run.process.wait(15)
            except subprocess.TimeoutExpired:
                pass
        run.stop()


# --- measuring ---------------------------------------------------------------------------------

def measure_start(program, screen):
    run = program.start()
    try:
        return screen.wait_painted(run)
    finally:
        time.sleep(1.0)
        program.stop(run)
        time.sleep(1.0)


def measure_playing(program, screen, song, seconds, variant):
    run = program.start(song, variant)
    try:
        screen.wait_painted(run)
        # Settle: the song starts, lists fill, the start's one-off work ends.
        deadline = time.monotonic() + 20
        while playing_streams() == 0 and time.monotonic() < deadline:
            time.sleep(0.1)
        if playing_streams() == 0:
            raise RuntimeError("%s plays nothing into the sink" % program.name)
        time.sleep(4)
        before, t0 = tree_ticks(run.pid), time.monotonic()
        time.sleep(seconds)
        after, t1 = tree_ticks(run.pid), time.monotonic()
        if playing_streams() == 0:
            raise RuntimeError("%s stopped playing while measured" % program.name)
        cpu = 100.0 * (after - before) / CLOCK_TICKS / (t1 - t0)
        return cpu, rss_kb(run.pid) / 1024.0, tree_rss_kb(run.pid) / 1024.0, \
            names_with_rss(run.pid)
    finally:
        program.stop(run)
        time.sleep(1.0)


def spread(values, unit, digits):
    if not values:
        return "—"
    form = "%%.%df" % digits
    return "%s / %s / %s %s" % (form % min(values), form % statistics.median(values),
                                form % max(values), unit)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--work", required=True)
    parser.add_argument("--folder", required=True)
    parser.add_argument("--song", required=True)
    parser.add_argument("--songs", type=int, required=True)
    parser.add_argument("--quillo", required=True)
    parser.add_argument("--quillo-tool", required=True)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--play-seconds", type=float, default=20)
    args = parser.parse_args()
    args.folder = os.path.abspath(args.folder)
    os.makedirs(args.work, exist_ok=True)

    quillo, audacious = Quillo(args), Audacious(args)
    programs = [quillo, audacious]
    screen = Screen()
    print("preparing: the folder in each program's library or playlist", flush=True)
    for program in programs:
        program.prepare()
        measure_start(program, screen)  # a first start, unmeasured: caches warm alike

    # The rows: each program's figures, and quillo's in its other configurations.
    rows = {"quillo": {}, "audacious": {}, "quillo, lyric bar in karaoke mode": {},
            "quillo, music centre open": {}}
    for row in rows.values():
        for key in ("import", "start", "cpu", "rss", "tree"):
            row[key] = []
    parts = {}
    for round_number in range(1, args.rounds + 1):
        print("round %d of %d" % (round_number, args.rounds), flush=True)
        for program in programs:
            row = rows[program.name]
            row["import"].append(program.import_seconds(args.folder))
            row["start"].append(measure_start(program, screen))
            cpu, rss, tree, names = measure_playing(program, screen, args.song,
                                                    args.play_seconds, "quiet")
            row["cpu"].append(cpu)
            row["rss"].append(rss)
            row["tree"].append(tree)
            parts[program.name] = names
            print("  %-10s import %.2f s, start %.3f s, CPU %.2f %%, RSS %.0f MB (with "
                  "children %.0f MB)" % (program.name, row["import"][-1], row["start"][-1], cpu,
                                         rss, tree), flush=True)
        for variant, label in (("karaoke", "quillo, lyric bar in karaoke mode"),
                               ("centre", "quillo, music centre open")):
            cpu, rss, tree, names = measure_playing(quillo, screen, args.song,
                                                    args.play_seconds, variant)
            rows[label]["cpu"].append(cpu)
            rows[label]["rss"].append(rss)
            rows[label]["tree"].append(tree)
            parts[label] = names
            print("  %-10s CPU %.2f %%, RSS %.0f MB (with children %.0f MB)"
                  % (variant, cpu, rss, tree), flush=True)

    print()
    print("%d songs, %d rounds, %g s of playing each, %s" %
          (args.songs, args.rounds, args.play_seconds, time.strftime("%Y-%m-%d")))
    print()
    print("| program | import or scan | start to window | CPU playing | RSS playing "
          "(main process) | RSS with children |")
    print("|---|---|---|---|---|---|")
    for label, row in rows.items():
        print("| %s | %s | %s | %s | %s | %s |" % (
            label, spread(row["import"], "s", 2), spread(row["start"], "s", 3),
            spread(row["cpu"], "%", 2), spread(row["rss"], "MB", 0),
            spread(row["tree"], "MB", 0)))
    print()
    base = rows["audacious"]
    for label in ("quillo", "quillo, lyric bar in karaoke mode"):
        row = rows[label]
        ratios = []
        if row["start"]:
            ratios.append("start %.2f×" % (statistics.median(row["start"]) /
                                           statistics.median(base["start"])))
        ratios.append("CPU %.2f×" % (statistics.median(row["cpu"]) /
                                     statistics.median(base["cpu"])))
        ratios.append("RSS %.2f×" % (statistics.median(row["rss"]) /
                                     statistics.median(base["rss"])))
        print("%s against Audacious (medians): %s" % (label, ", ".join(ratios)))
    print()
    print("Resident memory by process name, last round:")
    for label, names in parts.items():
        print("  %s: %s" % (label, ", ".join("%s %.0f MB" % (n, kb / 1024.0) for n, kb in
                                              sorted(names.items(), key=lambda i: -i[1]))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
