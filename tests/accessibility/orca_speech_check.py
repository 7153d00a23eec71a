#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Runs Orca on the real clock and checks what Orca says, line by line, from
its own debug log (the SPEECH OUTPUT lines): silence while nothing is
pressed, the pattern after P, the status line on demand, one line for each
step through the panel, the colour grid's keys on entry and a colour pick,
MOVEMENT's list and typed names, Return on FREE The Triangle and CLEAR, and
the panel reopened. Run by xvfb_orca_test.sh on a private X server with a
window manager, inside a private D-Bus session. Exit 0: all passed, 1: a
check failed, 77: Orca is not installed.

Usage: orca_speech_check.py PATH/TO/trilume [TRANSCRIPT_FILE]
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from check_tally import check, finish

# Only a bound on failure: every wait below ends as soon as its condition holds.
DEADLINE_SECONDS = 45
# The one wait that is for time itself: silence can only be heard by
# listening. TRILUME_ORCA_IDLE_SECONDS listens longer, e.g. a whole minute.
IDLE_SECONDS = max(20, int(os.environ.get("TRILUME_ORCA_IDLE_SECONDS", "20")))

LINE_BUFFERED_ORCA = """
import builtins, runpy, sys
orca, log = sys.argv[1], sys.argv[2]
plain_open = builtins.open
def open_line_buffered(file, mode="r", *args, **kwargs):
    if file == log and "w" in mode and not args:
        kwargs.setdefault("buffering", 1)
    return plain_open(file, mode, *args, **kwargs)
builtins.open = open_line_buffered
sys.argv = [orca] + sys.argv[3:]
runpy.run_path(orca, run_name="__main__")
"""

GRID_SENTENCE = ("Foreground green, background navy. "
                 "Arrows move, Space picks foreground, B background.")

# Orca 43 writes the voice right after the text, Orca 48 after a space.
SPEECH = re.compile(r"SPEECH OUTPUT: '(.*?)' ?(?:\{|$)")
STATUS_TIME = re.compile(r"(\d\d):(\d\d):(\d\d) ")



def spoken_lines(log):
    """The texts of the SPEECH OUTPUT entries of Orca's debug log. A text
    with line breaks (Orca 48 speaks a description's too) goes on in
    indented lines of the log; its parts are joined with a space."""
    pending = None
    for line in log:
        if pending is not None and line[:1] in (" ", "\t"):
            pending += " " + line.strip()
            found = SPEECH.search(pending)
            if found:
                yield found.group(1)
                pending = None
            continue
        pending = None
        found = SPEECH.search(line)
        if found:
            yield found.group(1)
        elif "SPEECH OUTPUT: '" in line:
            pending = line.rstrip("\n")


class Orca:
    """Orca with a private home, settings and speech server."""

    def __init__(self, home):
        self.log = os.path.join(home, "orca-debug.log")
        self.read_upto = 0
        env = dict(os.environ)
        env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_DATA_HOME=os.path.join(home, "data"),
                   XDG_CACHE_HOME=os.path.join(home, "cache"),
                   XDG_RUNTIME_DIR=os.path.join(home, "run"))
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
        # speech-dispatcher, which Orca starts, writes its sound to ALSA's
        # null device: without a sink it blocks after the first line.
        with open(os.path.join(home, ".asoundrc"), "w", encoding="ascii") as rc:
            rc.write("pcm.!default { type null }\nctl.!default { type hw card 0 }\n")
        # Its own configuration: the ALSA output and the dummy voice that
        # comes with speech-dispatcher itself, whatever else is installed.
        speechd = os.path.join(env["XDG_CONFIG_HOME"], "speech-dispatcher")
        os.makedirs(speechd)
        with open(os.path.join(speechd, "speechd.conf"), "w", encoding="ascii") as conf:
            conf.write('AudioOutputMethod "alsa"\n'
                       'AddModule "dummy" "sd_dummy" "dummy.conf"\n'
                       'DefaultModule dummy\n')
        env.pop("SPEECHD_ADDRESS", None)
        self.env = env
        # Orca itself, with one change: its debug file is written line by
        # line, so that a line is there to read as soon as it is spoken.
        self.process = subprocess.Popen(
            [sys.executable, "-c", LINE_BUFFERED_ORCA, shutil.which("orca"), self.log,
             "-u", os.path.join(home, "orca-prefs"), "--debug-file", self.log],
            env=env, stdout=open(os.path.join(home, "orca.out"), "w"),
            stderr=open(os.path.join(home, "orca.err"), "w"))

    def lines(self):
        """Every line Orca has spoken so far, in order."""
        try:
            with open(self.log, encoding="utf-8", errors="replace") as log:
                return list(spoken_lines(log))
        except FileNotFoundError:
            return []

    def new_lines(self):
        """The lines spoken since the last call to mark()."""
        return self.lines()[self.read_upto:]

    def mark(self):
        self.read_upto = len(self.lines())

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()


def wait_for(what, condition, seconds=DEADLINE_SECONDS):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        result = condition()
        if result:
            return result
        time.sleep(0.05)  # polls the condition; the deadline bounds only a failure
    print(f"note  timed out waiting for {what}", flush=True)
    return None


def key(*names):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *names], check=False)


def typed(text):
    """The keys that type `text`, for act(): a user's typing, one key at a time."""
    return [("type", text)]


def settled(orca, quiet_polls=10):
    """Waits until Orca has spoken for a step and then gone quiet: the same
    line count over several polls in a row."""
    state = {"count": -1, "same": 0}

    def quiet():
        count = len(orca.lines())
        state["same"] = state["same"] + 1 if count == state["count"] else 0
        state["count"] = count
        return state["same"] >= quiet_polls
    wait_for("Orca to finish speaking", quiet)


class Transcript:
    def __init__(self, path):
        self.out = open(path, "w", encoding="utf-8") if path else None

    def step(self, title, lines):
        print(f"--- {title}: {len(lines)} line(s)", flush=True)
        for line in lines:
            print(f"    {line}", flush=True)
        if self.out:
            self.out.write(f"--- {title}: {len(lines)} line(s)\n")
            for line in lines:
                self.out.write(f"    {line}\n")
            self.out.flush()


def act(orca, transcript, title, keys, expect, seconds=DEADLINE_SECONDS):
    """Presses `keys` and waits until a spoken line matches `expect` (a
    function of the new lines) and Orca has gone quiet; returns the lines."""
    orca.mark()
    for name in keys:
        if isinstance(name, tuple):
            subprocess.run(["xdotool", "type", "--delay", "120", name[1]], check=False)
        else:
            key(name)
    heard = wait_for(title, lambda: expect(orca.new_lines()), seconds)
    if heard:
        settled(orca)
    lines = orca.new_lines()
    transcript.step(title, lines)
    return lines


def has(text):
    return lambda lines: any(text in line for line in lines)


def status_seconds(lines):
    """The time of day, in seconds, the first status line among `lines` gives."""
    found = next((STATUS_TIME.match(line) for line in lines if "Triangle is" in line), None)
    return found and sum(int(part) * unit for part, unit in zip(found.groups(), (3600, 60, 1)))


def without_role(line):
    """Orca 48 follows a cell's new name with its role, Orca 43 does not."""
    return re.sub(r" (push )?button\.$", "", line)


def main():
    clock_binary = sys.argv[1]
    transcript = Transcript(sys.argv[2] if len(sys.argv) > 2 else None)
    if shutil.which("orca") is None:
        print("SKIP: orca is not installed")
        return 77
    home = tempfile.mkdtemp(prefix="trilume-orca.")
    orca = Orca(home)
    clock = None
    try:
        if not wait_for("Orca to start", lambda: has("Screen reader on")(orca.lines()),
                        seconds=4 * DEADLINE_SECONDS):
            for name in ("orca.out", "orca.err"):
                with open(os.path.join(home, name), encoding="utf-8", errors="replace") as out:
                    print(out.read()[-2000:])
            return 1
        orca.mark()
        env = dict(os.environ)
        for name in ("QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "QT_ACCESSIBILITY",
                     "QT_LINUX_ACCESSIBILITY_ALWAYS_ON"):
            env.pop(name, None)
        clock = subprocess.Popen([clock_binary], env=env)
        arrived = wait_for("the clock's window to be spoken",
                           lambda: has("TRILUME")(orca.new_lines()))
        if not arrived:
            return 1
        settled(orca)
        transcript.step("start", orca.new_lines())

        # Nothing pressed: a user who leaves the clock open hears nothing.
        orca.mark()
        time.sleep(IDLE_SECONDS)
        idle = orca.new_lines()
        transcript.step(f"idle {IDLE_SECONDS} s", idle)
        allowed = IDLE_SECONDS // 60 + 1  # at most one line a minute
        check(f"at most {allowed} line(s) in {IDLE_SECONDS} idle seconds (heard {len(idle)})",
              len(idle) <= allowed)

        lines = act(orca, transcript, "P", ["p"], has("Pattern"))
        check("P says the new pattern in words, once",
              sum("falling diagonal hatches" in line for line in lines) == 1)
        lines = act(orca, transcript, "P again", ["p"], has("Pattern"))
        check("P again says the next pattern", has("diagonal cross-hatches")(lines))

        # The title first: once S has spoken the status line, Orca 48 takes
        # the same title for a repetition and says only "frame".
        lines = act(orca, transcript, "Orca's read-title command", ["Insert+KP_Enter"],
                    has("Triangle is"))
        check("Orca's read-title command speaks the status line", has("Triangle is")(lines))
        title = status_seconds(lines)
        lines = act(orca, transcript, "S", ["s"], has("Triangle is"))
        check("S speaks the status line", has("Triangle is")(lines))
        # The window tells no title change: Orca must still read the title
        # afresh, not one it kept from before the idle seconds.
        spoken = status_seconds(lines)
        check("the title read was the status line of that moment",
              title is not None and spoken is not None and 0 <= spoken - title <= 5)

        lines = act(orca, transcript, "Return in the clock window", ["Return"],
                    has("NUMBER OF TRACES"))
        check("Return opens the panel on NUMBER OF TRACES", has("NUMBER OF TRACES")(lines))

        walk = [("Tab to ALTERNATIVE COLORS", "ALTERNATIVE COLORS"),
                ("Tab to the colour grid", "COLOUR"),
                ("Tab to TRACE ON", "TRACE ON"),
                ("Tab to MOVEMENT", "MOVEMENT"),
                ("Tab to SHOW LINE LENGTHS", "SHOW LINE LENGTHS"),
                ("Tab to RAINBOW", "RAINBOW"),
                ("Tab to FREE The Triangle", "FREE The Triangle")]
        for title, name in walk:
            lines = act(orca, transcript, title, ["Tab"], has(name))
            check(f"{title}: '{name}' is spoken", has(name)(lines))
            if name == "SHOW LINE LENGTHS":
                # The last news was told here; coming back must not tell it again.
                check("back on SHOW LINE LENGTHS, no old news about the movement",
                      not has("Movement ")(lines))
            if name == "COLOUR":
                check("entering the grid says the keys and the colours once",
                      sum(line.count(GRID_SENTENCE) for line in lines) == 1)
                # In the grid: one line per move, the cell again at an edge,
                # one line for a pick.
                lines = act(orca, transcript, "Right in the grid", ["Right"], has("olive"))
                check("Right in the grid says one line, the cell 'olive'",
                      len(lines) == 1 and lines[0].startswith("olive"))
                lines = act(orca, transcript, "Right at the grid's edge", ["Right"],
                            has("olive"))
                check("Right at the edge says the cell again",
                      len(lines) == 1 and lines[0].startswith("olive"))
                lines = act(orca, transcript, "Space picks olive", ["space"],
                            has("olive, foreground"))
                check("a grid pick is spoken once",
                      [without_role(line) for line in lines if "olive" in line]
                      == ["olive, foreground"])
            if name == "MOVEMENT":
                first = next((i for i, line in enumerate(lines) if "MOVEMENT" in line), None)
                value = next((i for i, line in enumerate(lines) if "SMOOTH" in line), None)
                check("MOVEMENT is said before its value SMOOTH",
                      first is not None and value is not None and first <= value)
                check("no 'selected' on entering MOVEMENT",
                      not any(line.strip(" .") == "selected" for line in lines))
                # Orca 43 says "List with 7 items" first, Orca 48 only the item.
                lines = act(orca, transcript, "Alt+Down opens the MOVEMENT list", ["alt+Down"],
                            has("SMOOTH"))
                check("opening the list names its current item, SMOOTH", has("SMOOTH")(lines))
                act(orca, transcript, "Down to FAST", ["Down"], has("FAST"))
                lines = act(orca, transcript, "Return picks FAST", ["Return"], has("FAST"))
                check("a pick from the list is spoken once",
                      sum("FAST" in line for line in lines) == 1)
                lines = act(orca, transcript, "Alt+Down opens the list again", ["alt+Down"],
                            has("FAST"))
                check("opening the list again names FAST", has("FAST")(lines))
                lines = act(orca, transcript, "Escape closes it", ["Escape"], has("MOVEMENT"))
                check("Escape from the list is back on MOVEMENT", has("MOVEMENT")(lines))

                # A typed name after Tab-in replaces the text, as in any
                # editable combo box.
                act(orca, transcript, "Tab on to SHOW LINE LENGTHS", ["Tab"],
                    has("SHOW LINE LENGTHS"))
                act(orca, transcript, "Shift+Tab back to MOVEMENT", ["shift+Tab"], has("MOVEMENT"))
                lines = act(orca, transcript, "Type TICK, then Tab", [*typed("TICK"), "Tab"],
                            has("SHOW LINE LENGTHS"))
                check("typing TICK and Tab says the new movement once, no 'selected'",
                      sum("TICK" in line for line in lines) == 1 and
                      not any(line.strip(" .").endswith("selected") or "FAST" in line
                              for line in lines))
                lines = act(orca, transcript, "Shift+Tab back to MOVEMENT after TICK",
                            ["shift+Tab"], has("MOVEMENT"))
                check("MOVEMENT reads TICK, the typed name, not FASTTICK",
                      has("TICK")(lines) and not has("FAST")(lines))
                lines = act(orca, transcript, "Type XYZ, then Tab", [*typed("XYZ"), "Tab"],
                            has("not known"))
                check("an unknown name is told in one sentence, which keeps TICK",
                      [line for line in lines if "not known" in line] ==
                      ["Movement XYZ not known; TICK stays."])
                lines = act(orca, transcript, "Shift+Tab back to MOVEMENT after XYZ",
                            ["shift+Tab"], has("MOVEMENT"))
                check("MOVEMENT reads TICK again", has("TICK")(lines) and not has("XYZ")(lines))

        lines = act(orca, transcript, "Return on FREE The Triangle", ["Return"],
                    has("LAND The Triangle"))
        check("Return presses FREE The Triangle ('LAND The Triangle' spoken)",
              has("LAND The Triangle")(lines))
        lines = act(orca, transcript, "Tab to CLEAR", ["Tab"], has("CLEAR"))
        lines = act(orca, transcript, "Return on CLEAR", ["Return"], has("cleared"))
        check("Return on CLEAR says that the picture was cleared", has("cleared")(lines))
        act(orca, transcript, "Escape closes the panel", ["Escape"], has("TRILUME"))
        lines = act(orca, transcript, "Return reopens the panel", ["Return"],
                    has("The Triangle"))
        check("the reopened panel is on LAND The Triangle, not on CLEAR",
              has("LAND The Triangle")(lines) and not has("CLEAR")(lines))
    finally:
        if clock is not None:
            clock.terminate()
            try:
                clock.wait(timeout=10)
            except subprocess.TimeoutExpired:
                clock.kill()
        orca.stop()
        if len(sys.argv) > 2:
            shutil.copyfile(orca.log, sys.argv[2] + ".orca-debug.log")
        shutil.rmtree(home, ignore_errors=True)

    return finish()


if __name__ == "__main__":
    sys.exit(main())
