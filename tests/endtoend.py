#!/usr/bin/python3
# The real program as a user meets it, under a window manager: keys and clicks go in through
# xdotool. On Linux, what a screen-reader user gets as well: windows, names, descriptions and
# events read over AT-SPI, as a screen reader reads them. A Windows build under wine has no
# accessibility bus: --keyboard-only checks only that Escape leaves the login window, found by its
# title (tests/windows/uia-client.cpp reads the session over UI Automation). Run on a virtual
# display with a session bus of its own (tests/CMakeLists.txt):
#   xvfb-run -s "-noreset" dbus-run-session -- endtoend.py PROGRAM [--keyboard-only]
# (-noreset: else the display resets when its last client leaves, as the accessibility bus's
# launcher does at once, and refuses new clients meanwhile.)
import os, re, resource, shutil, signal, subprocess, sys, tempfile, time
import pyatspi
from gi.repository import GLib

# Seconds that any one wait may take, here and in the screen-reader test: the first window of a
# session took over 10 s once, on a machine busy five times over.
TIMEOUT = 30
LOGIN, CONVERTER, TITLE = 'Login - "Orvane" Brightfold', 'Welcome  Ann.', 'Brightfold'
ABOUT = ['Brightfold Version 1.0', 'From www.orvane.example', 'Made by Orvane',
         'Please report any bugs', 'Enjoy!']
heard = []  # (type, source, role, text) of each event a screen reader hears of, in order


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout.strip()


def arrived():
    """Lets in the AT-SPI events that have arrived."""
    while GLib.MainContext.default().iteration(False):
        pass


def wait_for(what, read, accept=bool, timeout=TIMEOUT):
    """Reads until accept() takes what was read, letting AT-SPI events in between."""
    deadline = time.monotonic() + timeout
    while True:
        arrived()
        try:
            value = read()
        except Exception as error:  # not there yet, or gone while it was read
            value = error
        if not isinstance(value, Exception) and accept(value):
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f'expected {what} within {timeout} s; read {value!r}')
        time.sleep(0.05)


def find(root, role):  # at-spi2 2.56 names the push button's role "button"
    named = lambda found: {'button': 'push button'}.get(found.getRoleName(), found.getRoleName())
    return pyatspi.findAllDescendants(root, lambda found: named(found) == role)


def has(accessible, state):
    return accessible.getState().contains(state)


def titled(name):
    """Waits until a window of that title shows, and activates it."""
    found = wait_for(f'a window titled {name!r}', lambda: run(
        'xdotool', 'search', '--onlyvisible', '--name', f'^{re.escape(name)}$').split()[0])
    run('xdotool', 'windowactivate', '--sync', found)
    return found


def window(name, text=None):
    """Waits until the program's active window of that name, with a label of that text, shows."""
    def found():
        desktop = pyatspi.Registry.getDesktop(0)
        desktop.clearCache()
        app = next(app for app in desktop if app and app.name == TITLE)
        return [(w.name, [label.name for label in find(w, 'label')], w) for w in app
                if w and has(w, pyatspi.STATE_SHOWING) and has(w, pyatspi.STATE_ACTIVE)]
    matching = lambda shown: [w for title, labels, w in shown if title == name and text in (None, *labels)]
    return matching(wait_for(f'the active window {name!r} reading {text!r}', found, matching))[0]


def related(accessible, relation):
    """The names of the objects that the accessible has that relation to."""
    return [found.getTarget(i).name for found in accessible.getRelationSet() if found.getRelationType() == relation
            for i in range(found.getNTargets())]


def control(root, role, name=None, description=None):
    read = [(found.name, found.description, found) for found in find(root, role)]
    matches = [found for found in read if name in (None, found[0]) and description in (None, found[1])]
    assert matches, f'expected a {role} {name!r} described {description!r}; read {[r[:2] for r in read]}'
    return matches[0][2]


def centre(accessible):
    box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x + box.width / 2, box.y + box.height / 2


def click(accessible):
    run('xdotool', 'mousemove', *(str(int(at)) for at in centre(accessible)), 'click', '1')


def keys(*strokes):
    """Key names, or text to type in brackets: keys('[212]', 'Return')."""
    for stroke in strokes:
        run('xdotool', *(['type', '--delay', '30', stroke[1:-1]] if stroke[0] == '[' else ['key', stroke]))


def ended(program):
    # Seen, not reaped: until the run reaps it, its id names its process group and no other, which
    # a failed run ends (below).
    end = wait_for('the program to end', lambda: os.waitid(
        os.P_PID, program.pid, os.WEXITED | os.WNOHANG | os.WNOWAIT))
    status = end.si_status if end.si_code == os.CLD_EXITED else -end.si_status  # as Popen's returncode
    assert status == 0, f'expected exit status 0; read {status}'


def told(kind, source):
    """What the events of that kind from that source carried."""
    return [text for type_, from_, _, text in heard if type_.startswith(kind) and from_ == source]


def hear(event):
    # Qt sends a name change with a reference to the object: its name is the new text.
    try:
        role = event.source.getRoleName()
        text = event.source.name if event.type.endswith('accessible-name') else event.any_data
    except GLib.Error:  # gone before its event was read: what the event carried still counts
        role, text = None, event.any_data
    heard.append((event.type, event.source, role, text))


def caret_before_focus():
    """Text boxes that reported their caret or selection before their focus arrived."""
    focused, early = None, []
    for type_, source, role, _ in heard:
        if type_ == 'focus:':
            focused = source
        elif type_.startswith(('object:text-caret', 'object:text-selection')) and source != focused:
            early.append(role)
    return early


def offered(window):
    """What the window's hints let a window manager offer: 'minimise' and 'maximise' where both the
    Motif functions and decorations allow them (all, where the window sets none), and 'resize'
    where its minimum and maximum sizes differ."""
    motif = run('xprop', '-id', window, '_MOTIF_WM_HINTS').partition('=')[2].split(',')
    flags, functions, decorations = (int(value, 0) for value in (motif + ['0', '0', '0'])[:3])

    def allows(field, value, bit):  # a field left out allows all; with its bit 0, all but those set
        return not flags & field or bool(value & 1) != bool(value & bit)
    sizes = run('xprop', '-id', window, 'WM_NORMAL_HINTS')
    size = lambda kind: (re.search(rf'{kind} size: (\d+ by \d+)', sizes) or [None, kind])[1]
    return {name for name, function, decoration in (('minimise', 0x8, 0x20), ('maximise', 0x10, 0x40))
            if allows(1, functions, function) and allows(2, decorations, decoration)} | \
        (set() if size('minimum') == size('maximum') else {'resize'})


def escape(program):
    login = titled(LOGIN)
    if reader:  # wine hands the X server only the 32 and 16 pixel images
        sizes = re.findall(r'Icon \((\d+) x', run('xprop', '-id', login, '_NET_WM_ICON'))
        assert sorted(set(map(int, sizes))) == [16, 32, 48, 128], f'icon sizes offered: {sizes}'
        assert offered(login) == set(), f'expected a fixed login window; its hints offer {offered(login)}'
    keys('Escape')
    ended(program)


def session(program):
    login = window(LOGIN)
    password = control(login, 'password text')
    screen = pyatspi.Registry.getDesktop(0).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    offset = [w - s for w, s in zip(centre(login), (screen.width / 2, screen.height / 2))]
    assert max(map(abs, offset)) <= 1, f'expected the login window centred on the screen; off by {offset}'
    for typed, title, refusal, field in [
            ([], TITLE, 'Please put your name', 'text'),
            (['[ Ann]', 'Tab', '[redlanterns]', 'shift+Tab', 'Tab'], 'Login', 'Invalid Password, try again!', 'password text')]:
        keys(*typed, 'Return')
        window(title, refusal)
        keys('Return')
        text = control(login, field).queryText()  # focused, with all its text selected
        wait_for(f'the {field} focused, all selected', lambda: (has(control(login, field), pyatspi.STATE_FOCUSED),
                 [tuple(text.getSelection(i)) for i in range(text.getNSelections())]),
                 lambda read: read == (True, [(0, text.characterCount)] if text.characterCount else []))
    keys('[bluelanterns]', 'Return')  # the refusal left the password selected: typing replaces it
    converter = window(CONVERTER)
    typed, deleted = told('object:text-changed', password), told('object:text-changed:delete', password)
    assert deleted and all(set(text) == {'®'} for text in typed), f'expected only masks of the password; read {typed}'
    assert converter.getRoleName() == 'frame', f'expected the converter a frame; read {converter.getRoleName()}'
    click(control(converter, 'text', description='Temperature to convert'))
    keys('[212]')
    option = control(converter, 'radio button', 'Fahrenheit > Celsius')
    click(option)
    result = control(converter, 'label', description='Result')
    wait_for('the result named 100, told by a name-change event', lambda: (
        result.name, told('object:property-change:accessible-name', result)), lambda read: read[0] == '100' in read[1])
    wait_for('the clicked option described by the result, told by a description-change event',
             lambda: told('object:property-change:accessible-description', option), lambda read: 'Result: 100' in read)
    option = control(converter, 'radio button', 'Celsius > Kelvin').queryAction()
    option.doAction([option.getName(i) for i in range(option.nActions)].index('Toggle'))
    wait_for('the result named 485.15 after Toggle', lambda: result.name, lambda name: name == '485.15')
    # From Qt 6.8 the result is announced too, unless the focused option just took it as description
    click(control(converter, 'text', description='Temperature to convert'))
    option = control(converter, 'radio button', 'Kelvin > Celsius').queryAction()
    option.doAction([option.getName(i) for i in range(option.nActions)].index('Toggle'))
    wait_for('the result named -61.15 after Toggle', lambda: result.name, lambda name: name == '-61.15')
    # Announcements from any object: the result's by their text, any other's with its role too.
    announcements = lambda: [text if source == result else (role, text) for type_, source, role, text in heard
                             if type_.startswith('object:announcement')]
    qt = converter.getApplication().toolkitVersion
    announced = ['Result: -61.15'] if tuple(map(int, qt.split('.')[:2])) >= (6, 8) else []
    if not announced:
        print(f'endtoend: Qt {qt} sends no announcements (from 6.8 on): checking that none arrives')
    wait_for(f'announcements {announced}', announcements, lambda read: len(read) >= len(announced))
    assert announcements() == announced, f'expected announcements {announced} only; read {announcements()}'

    owner, before = titled(CONVERTER), centre(converter)
    everything = {'minimise', 'maximise', 'resize'}
    assert offered(owner) == everything, f'expected a sizable converter window; its hints offer {offered(owner)}'
    run('xdotool', 'windowmove', owner, '100', '100')  # away from the screen's centre
    wait_for('the converter window moved', lambda: centre(converter), lambda now: now != before)
    click(control(converter, 'push button', 'About'))
    for text in ABOUT:
        box = window(TITLE, text)
        # Screen readers read the focused OK button, whatever else of a box they skip: it carries
        # the text once, as its label or else as its description; the label is no longer one on
        # its own, which readers would read again.
        wait_for(f'box {text!r} with the focus on its OK button, which carries the text once', lambda: [
            (b.name, related(b, pyatspi.RELATION_LABELLED_BY) + [b.description]) for b in find(box, 'push button')
            if has(b, pyatspi.STATE_FOCUSED)], lambda focused: focused in ([('OK', [text, ''])], [('OK', [text])]))
        labels = [related(label, pyatspi.RELATION_LABEL_FOR) for label in find(box, 'label') if label.name == text]
        assert labels == [['OK']], f'expected the label {text!r} to be the OK button\'s; read {labels}'
        wait_for(f'box {text!r} transient for the converter window {int(owner):#x}', lambda: run(
            'xprop', '-id', run('xdotool', 'getactivewindow'), 'WM_TRANSIENT_FOR'),
            lambda transient: transient.endswith(f' {int(owner):#x}'))
        hints = offered(run('xdotool', 'getactivewindow'))
        assert hints == set(), f'expected box {text!r} of a fixed size; its hints offer {hints}'
        wait_for(f'box {text!r} centred on the converter window: offset in pixels',
                 lambda: [b - w for b, w in zip(centre(box), centre(converter))],
                 lambda offset: max(map(abs, offset)) <= 3)
        keys('Return')
    window(CONVERTER)
    field = control(converter, 'text', description='Temperature to convert')
    arrivals = len(told('focus:', field))
    keys('Tab')  # from About into the field that holds 212, which selects it all
    wait_for('the field\'s focus event', lambda: len(told('focus:', field)) > arrivals)  # and all before it
    early = caret_before_focus()
    assert not early, f'expected each text box\'s focus before its caret; read caret events first from {early}'
    moves = len(told('object:text-caret-moved', field))
    keys('Home')  # once the box has the focus, its caret is followed as the user moves it
    wait_for('the field\'s caret event after Home', lambda: len(told('object:text-caret-moved', field)) > moves)
    described = [text for type_, _, _, text in heard if type_.endswith('accessible-description')]
    assert all(isinstance(text, str) for text in described), f'expected descriptions as text; read {described}'
    arrived()  # an announcement not asked for may come late: none has, up to the end
    assert announcements() == announced, f'expected announcements {announced} only, to the end; read {announcements()}'
    keys('alt+F4')
    ended(program)


def allow_core_dumps():  # as far as the hard limit allows: sudo, for one, sets it to none
    hard = resource.getrlimit(resource.RLIMIT_CORE)[1]
    resource.setrlimit(resource.RLIMIT_CORE, (hard, hard))


options = sys.argv[2:]
reader = options != ['--keyboard-only']
# --escapes N: only the shortest session, N times over (BRIGHTFOLD_ESCAPES times where set, as the
# stress command sets it): a fault on the way out may show only now and then, and under load.
escapes = int(os.environ.get('BRIGHTFOLD_ESCAPES', options[1])) if options[:1] == ['--escapes'] else 0
if __name__ == '__main__':  # as a module: its helpers, for the screen reader test
    if reader:  # listening from the start: the program sends only the events someone listens to
        pyatspi.Registry.registerEventListener(hear, 'focus:', 'object:text-changed', 'object:text-caret-moved',
                                               'object:text-selection-changed', 'object:property-change',
                                               'object:announcement')
    environment = dict(os.environ, QT_QPA_PLATFORM='xcb', QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1') if reader else None
    wm = subprocess.Popen('openbox', stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    scenario, done = 'openbox', 0
    # The program's working folder, where a crash leaves its core if the system keeps cores there.
    folder = tempfile.mkdtemp(prefix='brightfold-endtoend-')
    try:
        wait_for('openbox managing the display', lambda: run('xprop', '-root', '_NET_SUPPORTING_WM_CHECK'),
                 lambda answer: 'window id' in answer)
        # Started under another file name on Linux (a link in a folder of its own): the program
        # names itself, whatever its file.
        command = os.path.join(folder, 'renamed-program') if reader else sys.argv[1]
        if reader:
            os.symlink(os.path.abspath(sys.argv[1]), command)
        for scenario in (escape,) * escapes or ((escape, session) if reader else (escape,)):
            # Each escape as the first program of a session: the accessibility bus starts with it.
            fresh = ['dbus-run-session', '--'] if escapes else []
            # In a process group of its own, which a failed run ends whole: dbus-run-session ended
            # alone would leave its bus and the program running, out of ctest's reach.
            program = subprocess.Popen([*fresh, command], env=environment, cwd=folder, preexec_fn=allow_core_dumps,
                                       start_new_session=True)
            try:
                scenario(program)
            except BaseException:
                os.killpg(program.pid, signal.SIGKILL)
                raise
            finally:
                program.wait()
            done += 1
            if not escapes:
                print(f'endtoend: {scenario.__name__} passed')
        if escapes:
            print(f'endtoend: escape passed {escapes} times')
    except AssertionError as failure:
        run_ = f', run {done + 1} of {escapes}' if escapes else ''
        sys.exit(f'endtoend ({getattr(scenario, "__name__", scenario)}{run_}): {failure}; '
                 f'the program ran in {folder}')
    finally:
        wm.terminate()
    shutil.rmtree(folder)
