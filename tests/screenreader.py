#!/usr/bin/python3
"""What a screen-reader user gets from the real program, run on its own virtual X display, window
manager and buses: keys and clicks go in through xdotool; windows, names, descriptions and events
are read over AT-SPI, as a screen reader reads them. Usage: screenreader.py PROGRAM"""
import contextlib, ctypes, os, signal, subprocess, sys, tempfile, time

TIMEOUT = 10  # seconds that any one wait may take
LOGIN, CONVERTER, BOXES = 'Login - "Orvane" Brightfold', 'Welcome  Ann.', 'Brightfold'
LOGIN_ROLES = ('frame', 'dialog')  # what a screen reader presents as a window
ABOUT = ['Brightfold Version 1.0', 'From www.orvane.example', 'Made by Orvane',
         'Please report any bugs', 'Enjoy!']
CENTRE_TOLERANCE = 3  # pixels between the centres of an About box and of its window
started, names = [], []  # processes to end; (source, name) of each name-change event

def start(*command, **options):
    started.append(subprocess.Popen(command, stdin=subprocess.DEVNULL, **options))
    return started[-1]

def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout.strip()

def wait_for(what, read, accept=bool):
    """Reads until accept() takes what was read, letting AT-SPI events in between."""
    deadline = time.monotonic() + TIMEOUT
    while True:
        while events.iteration(False):
            pass
        try:
            value = read()
        except Exception as error:  # not there yet, or gone while it was read
            value = error
        if not isinstance(value, Exception) and accept(value):
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f'expected {what} within {TIMEOUT} s; read {value!r}')
        time.sleep(0.05)

def find(root, role):
    return pyatspi.findAllDescendants(root, lambda found: found.getRoleName() == role)

def has(accessible, state):
    return accessible.getState().contains(state)

def windows():
    """The program's showing windows, read afresh: {(role, name, label texts, active): window}."""
    desktop = pyatspi.Registry.getDesktop(0)
    desktop.clearCache()
    app = next((app for app in desktop if app and app.name == 'Brightfold'), [])
    return {(w.getRoleName(), w.name, tuple(label.name for label in find(w, 'label')),
             has(w, pyatspi.STATE_ACTIVE)): w for w in app if w and has(w, pyatspi.STATE_SHOWING)}

def window(name, text=None, roles=None):
    """Waits until the window of that name (and role), with a label of that text, is active."""
    def match(key):
        return key[1] == name and text in (None, *key[2]) and key[3] and key[0] in (roles or key)
    wait_for(f'the active {roles or "window"} {name!r} reading {text!r}', lambda: list(windows()),
             lambda keys: any(map(match, keys)))
    return next(found for key, found in windows().items() if match(key))

def control(root, role, name=None, description=None):
    read = [(found.name, found.description, found) for found in find(root, role)]
    for found in read:
        if name in (None, found[0]) and description in (None, found[1]):
            return found[2]
    raise AssertionError(f'expected a {role} named {name!r} described {description!r}; '
                         f'read (name, description) {[found[:2] for found in read]}')

def focus_and_selection(field):
    text = field.queryText()
    return (has(field, pyatspi.STATE_FOCUSED), text.characterCount,
            [tuple(text.getSelection(i)) for i in range(text.getNSelections())])

def centre(accessible):
    box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x + box.width / 2, box.y + box.height / 2

def click(accessible):
    run('xdotool', 'mousemove', *(str(int(at)) for at in centre(accessible)), 'click', '1')

def keys(*strokes):
    """Key names, or text to type when in brackets: keys('[212]', 'Return')."""
    for stroke in strokes:
        typed = stroke.startswith('[')
        run('xdotool', *(['type', '--delay', '30', stroke[1:-1]] if typed else ['key', stroke]))

def x_window(title):
    return int(run('xdotool', 'search', '--onlyvisible', '--name', f'^{title}$').split()[0])

def ended(program):
    status = wait_for('the program to end', program.poll, lambda status: status is not None)
    assert status == 0, f'expected exit status 0; read {status}'

def escape(program):
    window(LOGIN, roles=LOGIN_ROLES)
    keys('Escape')
    ended(program)

def session(program):
    login = window(LOGIN, roles=LOGIN_ROLES)
    for typed, title, refusal, field in [
            ([], BOXES, 'Please put your name', 'text'),
            (['[ Ann]', 'Tab', '[redlanterns]'], 'Login', 'Invalid Password, try again!',
             'password text')]:
        keys(*typed, 'Return')
        window(title, refusal)
        keys('Return')
        wait_for(f'the {field} focused, all its text selected: (focused, length, selections)',
                 lambda: focus_and_selection(control(login, field)),
                 lambda read: read[0] and read[2] == ([(0, read[1])] if read[1] else []))
    keys('[bluelanterns]', 'Return')  # the refusal left the password selected: typing replaces it
    converter = window(CONVERTER)
    wait_for('the login window gone', lambda: [key[1] for key in windows()],
             lambda shown: LOGIN not in shown)

    click(control(converter, 'text', description='Temperature to convert'))
    keys('[212]')
    click(control(converter, 'radio button', 'Fahrenheit > Celsius'))
    result = control(converter, 'label', description='Result')
    wait_for('the result named 100', lambda: result.name, lambda name: name == '100')
    wait_for('a name-change event on the result telling 100',
             lambda: [name for source, name in names if source == result],
             lambda told: '100' in told)
    option = control(converter, 'radio button', 'Celsius > Kelvin').queryAction()
    actions = wait_for('a Toggle action on "Celsius > Kelvin"', lambda: [
        option.getName(i) for i in range(option.nActions)], lambda actions: 'Toggle' in actions)
    option.doAction(actions.index('Toggle'))
    wait_for('the result named 485.15 after Toggle', lambda: result.name, lambda n: n == '485.15')

    owner, before = x_window(CONVERTER), centre(converter)
    run('xdotool', 'windowmove', str(owner), '100', '100')  # away from the screen's centre
    wait_for('the converter window moved', lambda: centre(converter), lambda now: now != before)
    click(control(converter, 'push button', 'About'))
    for text in ABOUT:
        box = window(BOXES, text)
        wait_for(f'box {text!r} transient for the converter window {owner:#x}',
                 lambda: run('xprop', '-id', str(x_window(BOXES)), 'WM_TRANSIENT_FOR'),
                 lambda transient: transient.endswith(f' {owner:#x}'))
        wait_for(f'box {text!r} centred on the converter window: offset in pixels',
                 lambda: [b - w for b, w in zip(centre(box), centre(converter))],
                 lambda offset: max(map(abs, offset)) <= CENTRE_TOLERANCE)
        keys('Return')
    window(CONVERTER)
    keys('alt+F4')
    ended(program)

def end_all():
    """Ends what this script started; the bus services, whose subreaper it is, end with the bus."""
    for process in reversed(started):
        process.terminate()
        process.wait(TIMEOUT)
    deadline = time.monotonic() + TIMEOUT
    with contextlib.suppress(ChildProcessError, ProcessLookupError):
        while True:
            if os.waitpid(-1, os.WNOHANG)[0] == 0:  # some left, none ended since the last look
                if time.monotonic() > deadline:
                    os.killpg(started[1].pid, signal.SIGKILL)  # the session bus's group
                time.sleep(0.05)

signal.signal(signal.SIGTERM, lambda *_: sys.exit('screenreader: stopped'))
ctypes.CDLL(None).prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER: orphans become our children
scenario = 'setup'
with tempfile.TemporaryDirectory() as runtime_dir:
    try:
        display_in, display_out = os.pipe()
        # -noreset: else the server resets when its last client leaves, refusing new ones
        # meanwhile, and the accessibility bus launcher is such a passing client.
        start('Xvfb', '-displayfd', str(display_out), '-screen', '0', '1024x768x24', '-noreset',
              pass_fds=[display_out], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(display_out)
        display = os.read(display_in, 16).decode().strip()
        assert display, 'expected Xvfb to start; it ended'
        # Set before the bus starts, for the services it starts: the accessibility bus among them.
        os.environ.update(DISPLAY=':' + display, XDG_RUNTIME_DIR=runtime_dir)
        bus = start('dbus-daemon', '--session', '--nofork', '--print-address', text=True,
                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
        os.environ['DBUS_SESSION_BUS_ADDRESS'] = bus.stdout.readline().strip()
        import pyatspi
        from gi.repository import GLib
        events = GLib.MainContext.default()
        # Listening from the start: the program sends only the events someone listens to.
        pyatspi.Registry.registerEventListener(
            lambda event: names.append((event.source, event.source.name)),
            'object:property-change:accessible-name')
        start('openbox', stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for('openbox managing the display', lambda: run(
            'xprop', '-root', '_NET_SUPPORTING_WM_CHECK'), lambda answer: 'window id' in answer)
        for scenario in (escape, session):
            began = time.monotonic()
            scenario(start(sys.argv[1], env=dict(os.environ, QT_QPA_PLATFORM='xcb',
                                                  QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1')))
            print(f'screenreader: {scenario.__name__} passed in {time.monotonic() - began:.1f} s')
    except AssertionError as failure:
        sys.exit(f'screenreader ({getattr(scenario, "__name__", scenario)}): {failure}')
    finally:
        end_all()
