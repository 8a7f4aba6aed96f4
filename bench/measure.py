#!/usr/bin/python3
# Measures Brightfold against the floor, from outside: start-up and resident memory at the first
# window's map, the login, and the memory over a long session through the real windows. Run by
# bench/run.sh on a virtual display with a session bus of its own: measure.py BUILD_DIR RUNS
import os, random, select, shutil, statistics, subprocess, sys, time, traceback
from Xlib import X, XK, display, error
from Xlib.ext import xtest

build, runs = sys.argv[1], int(sys.argv[2])
brightfold = f'{build}/brightfold/app/Brightfold'
# The programs measured, one a line: name, command, and whether it is a build of Brightfold (which
# logs in, runs the long session and is held to the budgets). The floor comes first; commands not
# installed are left out. A command may begin with env to run a build with other settings.
PROGRAMS = [
    ('floor', [f'{build}/floortext'], False),
    ('Brightfold', [brightfold], True),
    ('Brightfold, bound lazily', [f'{build}/brightfold_lazy'], False),
    ('kcalc', ['kcalc'], False),
    ('qalculate-gtk', ['qalculate-gtk'], False),
    ('gnome-calculator', ['gnome-calculator'], False),
]
BUDGET_RATIO, BUDGET_GROWTH_KIB = 1.25, 1024
CONVERSIONS, FIRST_CONVERSIONS = 10000, 100
USER, PASSWORD, WELCOME = 'Ann', 'bluelanterns', 'Welcome Ann.'
# The options in the order of each sample's results; the results computed with Python floats, "%.15G".
OPTIONS = ['Celsius > Fahrenheit', 'Celsius > Kelvin', 'Fahrenheit > Celsius',
           'Fahrenheit > Kelvin', 'Kelvin > Celsius', 'Kelvin > Fahrenheit']
SAMPLES = [
    ('100', ['212', '373.15', '37.7777777777778', '310.927777777778', '-173.15', '-279.67']),
    ('-459.67', ['-795.406', '-186.52', '-273.15', '0', '-732.82', '-1287.076']),
    ('37.5', ['99.5', '310.65', '3.05555555555556', '276.205555555556', '-235.65', '-392.17']),
    ('0.001', ['32.0018', '273.151', '-17.7772222222222', '255.372777777778', '-273.149', '-459.6682']),
]


def fail(message):
    print(f'bench: {message}', file=sys.stderr)
    sys.exit(2)


def wait_for(what, read, timeout=10):
    deadline = time.monotonic() + timeout
    while not (value := read()):
        if time.monotonic() > deadline:
            fail(f'no {what} within {timeout} s')
        time.sleep(0.05)
    return value


def resident_kb(pid):
    with open(f'/proc/{pid}/status') as status:
        return next(int(line.split()[1]) for line in status if line.startswith('VmRSS:'))


class Screen:
    """The X display, watched for every top-level window's map, as the X server reports it."""
    def __init__(self):
        self.x = display.Display()
        self.x.set_error_handler(lambda *_: None)  # a window gone before it was watched
        self.x.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.root, self.atom = self.x.screen().root, self.x.intern_atom
        self.x.sync()

    def mapped(self, pid, title=None, timeout=60):
        """Waits until a window of process pid (of that title) is mapped; returns when, and it."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if not self.x.pending_events():
                select.select([self.x], [], [], deadline - time.monotonic())
                continue
            event, seen = self.x.next_event(), time.monotonic()
            try:
                if event.type == X.CreateNotify:  # a manager's frame hides the map from the root
                    event.window.change_attributes(event_mask=X.StructureNotifyMask)
                    if event.window.get_attributes().map_state == X.IsUnmapped:
                        continue
                elif event.type != X.MapNotify:
                    continue
                owner = self.read(event.window, '_NET_WM_PID')
                if owner and owner[0] == pid and title in (None, self.read(event.window, '_NET_WM_NAME')):
                    return seen, event.window
            except error.XError:  # gone before it was read
                pass
        fail(f'no window{f" {title!r}" if title else ""} of {pid} was mapped in {timeout} s')

    def read(self, window, name):
        found = window.get_full_property(self.atom(name), X.AnyPropertyType)
        return found and (found.value.decode() if found.format == 8 else found.value)

    def press(self, key):
        """Presses and releases a key; returns when it was sent."""
        code, sent = self.x.keysym_to_keycode(XK.string_to_keysym(key)), time.monotonic()
        xtest.fake_input(self.x, X.KeyPress, code)
        xtest.fake_input(self.x, X.KeyRelease, code)
        self.x.sync()
        return sent


def xdotool(*arguments):
    subprocess.run(['xdotool', *arguments], check=True)


def launch(command, login, environment=None):
    """Starts a program; returns it, its figures and its window once it has shown (and logged in)."""
    started = time.monotonic()
    program = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    children.append(program)
    at, window = screen.mapped(program.pid)
    figures = {'start-up': (at - started) * 1e3, 'memory': resident_kb(program.pid)}
    if login:
        xdotool('windowactivate', '--sync', str(window.id), 'type', '--delay', '1', f'{USER}\t{PASSWORD}')
        time.sleep(0.3)  # the typing handled: only the login itself is timed
        pressed = screen.press('Return')
        at, window = screen.mapped(program.pid, WELCOME)
        figures['login'] = (at - pressed) * 1e3
    return program, figures, window


def start_up(command, login):
    program, figures, _ = launch(command, login)
    program.kill()
    program.wait()
    return figures


def long_session(command):
    """Converts through the converter window over the accessibility bus, as a screen reader would;
    returns the resident memory after the first hundred conversions and at the end."""
    import pyatspi
    program, _, converter = launch(command, True, dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1'))
    def converter_accessible():
        try:
            return next((w for app in pyatspi.Registry.getDesktop(0) if app.get_process_id() == program.pid
                         for w in app if w.name == WELCOME), None)
        except Exception:  # an application gone while it was read
            return None
    window = wait_for('converter window on the accessibility bus', converter_accessible)
    find = lambda test: pyatspi.findDescendant(window, test)
    field = find(lambda a: a.description == 'Temperature to convert').queryEditableText()
    result = find(lambda a: a.description == 'Result')
    actions = [find(lambda a, name=name: a.getRoleName() == 'radio button' and a.name == name).queryAction()
               for name in [*OPTIONS, 'Do Nothing']]
    toggle = lambda option: actions[option].doAction(
        [actions[option].getName(i) for i in range(actions[option].nActions)].index('Toggle'))
    done, block, first = 0, 0, None
    while done < CONVERSIONS:
        if block % 7 == 6:
            toggle(len(OPTIONS))  # "Do Nothing" clears the field
        typed, results = SAMPLES[block % len(SAMPLES)]
        field.setTextContents(typed)
        for option in [(block + i) % 6 for i in range(6)]:  # never the one selected already
            toggle(option)
            result.clearCache()  # the label's name is its text
            if (shown := result.name) != results[option]:
                fail(f'{OPTIONS[option]} on {typed} showed {shown!r}, not {results[option]!r}')
            done += 1
            first = resident_kb(program.pid) if done == FIRST_CONVERSIONS else first
        block += 1
    last = resident_kb(program.pid)
    xdotool('windowactivate', '--sync', str(converter.id), 'key', 'alt+F4')
    if (status := program.wait(timeout=10)) != 0:
        fail(f'closing the converter window ended the program with status {status}')
    return first, last


def load():
    return ', '.join(f'{average:.2f}' for average in os.getloadavg())


children = []  # ended, should the benchmark fail
programs = [(name, command, login) for name, command, login in PROGRAMS if shutil.which(command[0])]
screen = Screen()
wm = subprocess.Popen('openbox', stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    wait_for('window manager', lambda: screen.read(screen.root, '_NET_SUPPORTING_WM_CHECK'))
    print(f'load average before: {load()}')
    for _, command, login in programs:  # once each first, for the caches
        start_up(command, login)
    figures = {name: [] for name, _, _ in programs}
    for run in range(runs):  # each run starts with another program, the others in a shuffled order
        leader, *others = programs[run % len(programs):] + programs[:run % len(programs)]
        random.Random(run).shuffle(others)
        for name, command, login in [leader, *others]:
            figures[name].append(start_up(command, login))
    sessions, started = {}, time.monotonic()
    for name, command, login in programs:
        if login:
            sessions[name] = long_session(command)
    session_seconds = time.monotonic() - started
except Exception:  # a failure to measure, not a missed budget
    traceback.print_exc()
    sys.exit(2)
finally:
    for child in [*children, wm]:
        child.kill()

median = lambda name, what: statistics.median(f[what] for f in figures[name])
floor = {what: median('floor', what) for what in ('start-up', 'memory')}
print(f'load average after: {load()}\nmedians of {runs} alternating runs; ratio to the floor:')
width = max(len(name) for name, _, _ in programs)
print(f'{"":{width}} {"start-up ms":>12} {"ratio":>6} {"memory kB":>10} {"ratio":>6} {"login ms":>9}')
regressions = []
for name, _, login in programs:
    row = {what: median(name, what) for what in figures[name][0]}
    ratios = {what: row[what] / floor[what] for what in floor}
    print(f'{name:{width}} {row["start-up"]:12.1f} {ratios["start-up"]:6.2f} {row["memory"]:10.0f} '
          f'{ratios["memory"]:6.2f}' + (f' {row["login"]:9.1f}' if login else ''))
    regressions += [f'{name} {what} {ratio:.2f} x the floor' for what, ratio in ratios.items()
                    if login and ratio > BUDGET_RATIO]
for name, (first, last) in sessions.items():
    print(f'{name}, {CONVERSIONS} conversions: {first} kB after {FIRST_CONVERSIONS}, {last} kB at the '
          f'end, grew {last - first} KiB; closing the window ended it with status 0')
    regressions += [f'{name} grew {last - first} KiB'] if last - first > BUDGET_GROWTH_KIB else []
print(f'the session{"s" if len(sessions) > 1 else ""} took {session_seconds:.0f} s')
print(f'budgets: start-up and memory <= {BUDGET_RATIO} x the floor, growth <= {BUDGET_GROWTH_KIB} KiB: '
      + ('; '.join(regressions) + ' MISSED' if regressions else 'met'))
sys.exit(1 if regressions else 0)
