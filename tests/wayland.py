#!/usr/bin/python3
# The real program on GNOME's own Wayland compositor, mutter, headless: as a GNOME user meets it.
# Keys go in through the compositor (its remote desktop D-Bus API), as a user's do; the windows
# are read over the accessibility bus, what the program told the compositor from its Wayland
# messages (WAYLAND_DEBUG), and the title bars from screenshots (the compositor's screen cast).
#   dbus-run-session -- wayland.py PROGRAM DESKTOP_ENTRY OUTPUT_FOLDER PORTAL PORTAL_GTK
# The screenshots and each process's output are left in OUTPUT_FOLDER.
import itertools, os, re, shutil, signal, subprocess, sys, tempfile
import dbus, dbus.mainloop.glib
import gi
gi.require_version('GdkPixbuf', '2.0')
import pyatspi
from gi.repository import GdkPixbuf

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from endtoend import TIMEOUT, LOGIN, TITLE, ABOUT, wait_for, window, control, find, has, arrived  # noqa: E402

CONVERTER, PASSWORD = 'Welcome Ann.', 'bluelanterns'
LONGEST_NAME = 'Bartholomaeus'  # the longest the converter's title shows in full
# Typed 100, each option's result as the converter shows it (tests/tst_brightfold.cpp has the
# steps' rounding).
RESULTS = {'Celsius > Fahrenheit': '212', 'Fahrenheit > Celsius': '37.7777777777778',
           'Celsius > Kelvin': '373.15', 'Kelvin > Celsius': '-173.15',
           'Kelvin > Fahrenheit': '-279.67', 'Fahrenheit > Kelvin': '310.927777777778'}
KEYSYMS = {'Return': 0xff0d, 'Tab': 0xff09, 'Escape': 0xff1b, 'Up': 0xff52, 'Down': 0xff54,
           'Shift': 0xffe1, 'Alt': 0xffe9, 'F4': 0xffc1, 'space': 0x20}
program, desktop_entry, output, portal, portal_gtk = sys.argv[1:6]
started = []  # every helper, each in a process group of its own, ended at the end


def start(name, *command, env=None):
    with open(os.path.join(output, f'{name}.log'), 'w') as log:
        started.append(subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT, env=env,
                                        start_new_session=True))
    return started[-1]


def stop():
    """Ends every helper's process group, if it is still there: its leader not yet reaped."""
    for process in started:
        os.killpg(process.pid, signal.SIGTERM)
    for process in started:
        try:
            process.wait(TIMEOUT)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def succeeds(*command):
    return subprocess.run(command, capture_output=True).returncode == 0


class Keyboard:
    """Keys pressed through the compositor's remote desktop session."""
    def __init__(self, bus):
        desktop = bus.get_object('org.gnome.Mutter.RemoteDesktop', '/org/gnome/Mutter/RemoteDesktop')
        path = desktop.CreateSession(dbus_interface='org.gnome.Mutter.RemoteDesktop')
        self.session = dbus.Interface(bus.get_object('org.gnome.Mutter.RemoteDesktop', path),
                                      'org.gnome.Mutter.RemoteDesktop.Session')
        self.session.Start()
        self.press('Shift')  # the first key of a session goes nowhere

    def press(self, *names):
        """Presses the keys together (text a character at a time) and lets them go."""
        syms = [KEYSYMS.get(name) or ord(name) for name in names]
        for sym in syms:
            self.session.NotifyKeyboardKeysym(dbus.UInt32(sym), True)
        for sym in reversed(syms):
            self.session.NotifyKeyboardKeysym(dbus.UInt32(sym), False)

    def type(self, text):
        for character in text:
            self.press(character)


class Screen:
    """Screenshots of the compositor's one monitor, through its screen cast and PipeWire."""
    def __init__(self, bus):
        cast = bus.get_object('org.gnome.Mutter.ScreenCast', '/org/gnome/Mutter/ScreenCast')
        path = cast.CreateSession({}, dbus_interface='org.gnome.Mutter.ScreenCast')
        session = dbus.Interface(bus.get_object('org.gnome.Mutter.ScreenCast', path),
                                 'org.gnome.Mutter.ScreenCast.Session')
        stream = session.RecordMonitor('', {})  # the primary monitor
        nodes = []
        bus.add_signal_receiver(nodes.append, 'PipeWireStreamAdded', 'org.gnome.Mutter.ScreenCast.Stream',
                                path=stream)
        session.Start()
        self.node = wait_for('the screen cast\'s PipeWire stream', lambda: nodes and nodes[0])

    def shot(self, name):
        """Takes a screenshot into the output folder, once the screen has settled (two shots alike: no
        window still being drawn or mapped), and returns it."""
        file = os.path.join(output, f'{name}.png')
        last = []

        def take():
            subprocess.run(['gst-launch-1.0', '-q', 'pipewiresrc', f'path={self.node}', 'num-buffers=1', '!',
                            'videoconvert', '!', 'pngenc', '!', 'filesink', f'location={file}'],
                           check=True, timeout=TIMEOUT, capture_output=True)
            shot = GdkPixbuf.Pixbuf.new_from_file(file)
            settled = bool(last) and shot.get_pixels() == last[-1].get_pixels()
            last.append(shot)
            return settled and shot
        return wait_for(f'the screen settled for {name}', take)


# The title-bar buttons of GNOME's defaults, and of Ubuntu's.
LAYOUTS = 'appmenu:close', ':minimize,maximize,close'


def write_layout(layout):
    """The desktop's title-bar buttons, in the key file the portals read GNOME's settings from."""
    keyfile = os.path.join(os.environ['XDG_CONFIG_HOME'], 'glib-2.0', 'settings', 'keyfile')
    with open(keyfile + '.new', 'w') as new:
        # No animations: a window being mapped is drawn scaled and faded.
        new.write(f"[org/gnome/desktop/wm/preferences]\nbutton-layout='{layout}'\n"
                  "[org/gnome/desktop/interface]\nenable-animations=false\n")
    os.replace(keyfile + '.new', keyfile)


def session_environment(home):
    """A desktop of GNOME's defaults, read by the portals from a key file of their own."""
    config = os.path.join(home, 'config')
    os.makedirs(os.path.join(config, 'glib-2.0', 'settings'))
    os.makedirs(os.path.join(config, 'xdg-desktop-portal'))
    with open(os.path.join(config, 'xdg-desktop-portal', 'portals.conf'), 'w') as portals:
        portals.write('[preferred]\ndefault=gtk\n')
    runtime = os.path.join(home, 'runtime')
    os.mkdir(runtime, 0o700)
    environment = dict(HOME=home, XDG_CONFIG_HOME=config, XDG_RUNTIME_DIR=runtime, XDG_CURRENT_DESKTOP='GNOME',
                       XDG_SESSION_TYPE='wayland', GSETTINGS_BACKEND='keyfile', WAYLAND_DISPLAY='wayland-0')
    os.environ.update(environment)
    write_layout(LAYOUTS[0])
    for name in 'DISPLAY', 'QT_QPA_PLATFORM', 'QT_WAYLAND_DECORATION':
        os.environ.pop(name, None)
    return environment


def desktop():
    """Starts PipeWire, mutter and the settings portal, each once the one before is ready."""
    runtime = os.environ['XDG_RUNTIME_DIR']
    start('pipewire', 'pipewire')
    start('mutter', 'mutter', '--headless', '--wayland', '--no-x11', '--virtual-monitor', '1024x768')
    wait_for('PipeWire\'s socket', lambda: os.path.exists(os.path.join(runtime, 'pipewire-0')))
    start('wireplumber', 'wireplumber')  # once PipeWire listens: started before, it never casts
    wait_for('mutter\'s Wayland socket', lambda: os.path.exists(os.path.join(runtime, 'wayland-0')))
    wait_for('WirePlumber', lambda: succeeds('wpctl', 'status'))
    # What the bus starts from now on gets this session's variables; the portals are started by
    # hand, in process groups of this test's own.
    subprocess.run(['dbus-update-activation-environment', *session], check=True)
    start('portal-gtk', portal_gtk)
    start('portal', portal)
    bus = dbus.SessionBus()
    for name in 'org.freedesktop.portal.Desktop', 'org.freedesktop.impl.portal.desktop.gtk':
        wait_for(f'{name} on the bus', lambda: bus.name_has_owner(name))
    portal_layout(bus, LAYOUTS[0])
    return bus


def portal_layout(bus, layout):
    """Sets the desktop's button layout and waits until the settings portal gives it."""
    write_layout(layout)
    settings = lambda: bus.get_object('org.freedesktop.portal.Desktop', '/org/freedesktop/portal/desktop').Read(
        'org.gnome.desktop.wm.preferences', 'button-layout', dbus_interface='org.freedesktop.portal.Settings')
    wait_for(f'the settings portal giving the button layout {layout!r}', settings, lambda read: read == layout)


def run(scenario, keyboard, name=None, **environment):
    """Runs the program through the scenario, in a process group of its own, with the environment's
    additions; returns what the program sent the compositor."""
    log = os.path.join(output, f'{name or scenario.__name__}.wayland.log')
    with open(log, 'w') as messages:
        running = subprocess.Popen([program], stderr=messages, start_new_session=True, env=dict(
            os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1', WAYLAND_DEBUG='client', **environment))
    try:
        scenario(keyboard)
        status = wait_for('the program to end', running.poll, lambda status: status is not None)
        assert status == 0, f'expected exit status 0; read {status}'
    except BaseException:
        os.killpg(running.pid, signal.SIGKILL)
        running.wait()
        raise
    with open(log, errors='replace') as messages:
        return messages.read()


def focused(root, role, name=None):
    return wait_for(f'the {role} {name!r} focused', lambda: control(root, role, name),
                    lambda found: has(found, pyatspi.STATE_FOCUSED))


def typed(field, text):
    return wait_for(f'{text!r} in the {field.getRoleName()}', lambda: field.queryText().getText(0, -1),
                    lambda read: read == text)


def login(keyboard, user='Ann'):
    """Logs in, first with a wrong password."""
    dialog = window(LOGIN)
    name = focused(dialog, 'text')
    keyboard.type(user)
    typed(name, user)
    keyboard.press('Tab')
    password = focused(dialog, 'password text')
    keyboard.type('redlanterns')
    typed(password, '®' * len('redlanterns'))
    keyboard.press('Return')
    box = window('Login', 'Invalid Password, try again!')
    focused(box, 'push button', 'OK')
    title_bar(box, 'message')
    keyboard.press('Return')
    text = password.queryText()
    wait_for('the password box focused with all its text selected', lambda: (
        has(control(window(LOGIN), 'password text'), pyatspi.STATE_FOCUSED), text.getNSelections() and
        tuple(text.getSelection(0))), lambda read: read == (True, (0, len('redlanterns'))))
    keyboard.type(PASSWORD)
    keyboard.press('Return')


def escape(keyboard):
    focused(window(LOGIN), 'text')
    keyboard.press('Escape')


def exit_button(keyboard):
    dialog = window(LOGIN)
    focused(dialog, 'text')
    for _ in range(3):  # past the password box and OK
        keyboard.press('Tab')
    focused(dialog, 'push button', 'Exit')
    keyboard.press('space')


def converter(keyboard):
    login(keyboard)
    frame = window(CONVERTER)
    focused(frame, 'radio button', 'Do Nothing')
    keyboard.press('Tab')
    field = focused(frame, 'text')
    keyboard.type('100')
    typed(field, '100')
    result = control(frame, 'label', description='Result')
    # Back to Do Nothing, none picked yet; up the column of options to its top, where Space picks
    # Celsius > Fahrenheit; from a picked option each arrow key moves down and picks the next.
    keyboard.press('Shift', 'Tab')
    option = focused(frame, 'radio button', 'Do Nothing').name
    seen = {}
    for key in 'Up', 'Up', 'space', 'Down', 'Down', 'Down', 'Down', 'Down':
        keyboard.press(key)
        option = wait_for(f'the option after {option} ({key})', lambda: [
            o.name for o in find(frame, 'radio button') if has(o, pyatspi.STATE_FOCUSED)],
            lambda read: read and (read[0] != option) != (key == 'space'))[0]
        if key != 'Up':
            seen[option] = wait_for(f'{option} on 100', lambda: result.name, lambda read: read == RESULTS.get(option))
    assert seen.keys() == RESULTS.keys(), f'expected every conversion; made {list(seen)}'
    title_bar(frame, 'converter', ('Minimize', 'Maximize', 'Close'))
    about = control(frame, 'push button', 'About')
    while not has(about, pyatspi.STATE_FOCUSED):
        keyboard.press('Tab')
        wait_for('the focus moved', lambda: [o for o in find(frame, 'push button') + find(frame, 'radio button')
                                             + find(frame, 'text') if has(o, pyatspi.STATE_FOCUSED)], len)
    keyboard.press('space')
    for text in ABOUT:
        focused(window(TITLE, text), 'push button', 'OK')
        if text == ABOUT[0]:
            title_bar(window(TITLE, text), 'about')
        keyboard.press('Return')
    window(CONVERTER)
    keyboard.press('Alt', 'F4')


def greeted(user, cut):
    """A scenario: the converter's title greeting the user, drawn in full or cut."""
    def scenario(keyboard):
        login(keyboard, user)
        frame = window(f'Welcome {user}.')
        focused(frame, 'radio button', 'Do Nothing')
        title_bar(frame, scenario.__name__, ('Minimize', 'Maximize', 'Close'), cut)
        keyboard.press('Alt', 'F4')
    scenario.__name__ = f'greeting-{len(user)}-letters'
    return scenario


def toplevels(messages):
    """The windows the program made, in order: for each its title, app id, parent's title and whether
    it asked to be modal."""
    made, live, dialogs = [], {}, {}
    for line in messages.splitlines():
        call = re.search(r'-> (\w+)[@#](\d+)\.(\w+)\((.*)\)', line)
        if not call:
            continue
        interface, object_, request, arguments = call.groups()
        if request == 'get_toplevel':
            made.append(dict(title=None, app_id=None, parent=None, modal=False))
            live[re.search(r'new id xdg_toplevel[@#](\d+)', arguments).group(1)] = made[-1]
        elif request == 'get_xdg_dialog':
            dialog, toplevel = re.findall(r'[@#](\d+)', arguments)[:2]
            dialogs[dialog] = live[toplevel]
        elif interface == 'xdg_dialog_v1' and request == 'set_modal':
            dialogs[object_]['modal'] = True
        elif interface == 'xdg_toplevel' and request in ('set_title', 'set_app_id'):
            live[object_][request[4:]] = arguments.strip('"')
        elif interface == 'xdg_toplevel' and request == 'set_parent':
            parent = re.search(r'xdg_toplevel[@#](\d+)', arguments)
            live[object_]['parent'] = parent and live[parent.group(1)]['title']
    return made


def title_bar(shown, name, expected=('Close',), cut=False):
    """Checks that the window at the screen's centre has the program's own title bar, with the
    buttons expected (a close button alone on a window of a fixed size), and none of Qt's: no white
    bar with round buttons; and that its title is drawn in full (or, where cut, not)."""
    shot, file = screen.shot(name), os.path.join(output, f'{name}.png')
    count = buttons(shot)
    check(count == 0, f'{name}: expected no title bar of Qt\'s; counted {count} of its buttons (screenshot {file})')
    bar = [button for button in find(shown, 'push button') if button.name in (
        'Close', 'Minimize', 'Maximize', 'Restore')]
    named = sorted(button.name for button in bar)
    check(named == sorted(expected), f'{name}: expected the title bar\'s buttons {sorted(expected)}; read {named} ({file})')
    if bar:
        dots = title_end(shot, shown, bar)
        check((dots >= 3) == cut, f'{name}: expected the title drawn {"cut" if cut else "in full"}; '
              f'it ends in {dots} dots ({file})')


def title_end(shot, shown, bar):
    """How many dots end the title drawn in the window's bar, left of the bar's buttons: three
    where it is cut (an ellipsis), none or one (a full stop) where it is whole."""
    pixels, stride, channels = shot.get_pixels(), shot.get_rowstride(), shot.get_n_channels()
    pixel = lambda x, y: pixels[y * stride + x * channels:y * stride + x * channels + 3]
    brightness = lambda x, y: sum(pixel(x, y))
    left, top = placed(shot, pixel, shown.queryComponent().getExtents(pyatspi.WINDOW_COORDS))
    places = [button.queryComponent().getExtents(pyatspi.WINDOW_COORDS) for button in bar]
    first = min(left + place.x for place in places)
    rows = range(top + min(place.y for place in places), top + max(place.y + place.height for place in places))
    columns = range(left + 2, first)
    background = brightness(left + 2, rows[0])
    ink = [[y for y in rows if brightness(x, y) < background - 200] for x in columns]
    # The glyphs: runs of columns with ink, each with the rows its ink spans
    glyphs, run = [], []
    for column in ink + [[]]:
        if column:
            run.append(column)
        elif run:
            glyphs.append((len(run), min(map(min, run)), max(map(max, run))))
            run = []
    dot = lambda glyph: glyph[0] <= 4 and glyph[2] - glyph[1] <= 4
    ending = list(itertools.takewhile(dot, reversed(glyphs)))
    assert len(glyphs) > len(ending), f'no title found in the bar of the window at the screen\'s centre ({glyphs})'
    return len(ending)


def placed(shot, pixel, size):
    """Where the window at the screen's centre is, of the size the accessibility bus gives: mutter
    centres it across the screen, and a message box across its owner, at any height. Its outline's
    left edge is a line of one colour as high as the window, through the screen's middle row."""
    middle = shot.get_height() // 2
    centred = (shot.get_width() - size.width) // 2
    for x in range(centred - 3, centred + 4):
        same = lambda y: max(abs(a - b) for a, b in zip(pixel(x, y), pixel(x, middle))) <= 3
        top = next(y for y in range(middle, -1, -1) if y == 0 or not same(y - 1))
        bottom = next(y for y in range(middle, shot.get_height()) if y == shot.get_height() - 1 or not same(y + 1))
        if abs(bottom + 1 - top - size.height) <= 1:
            return x, top
    raise AssertionError(f'no window {size.width}x{size.height} at the screen\'s centre')


def buttons(shot):
    """Counts the round buttons in the white title bar of the window at the screen's centre: runs of
    the buttons' grey, of a button's width, along a row through them, right of the window's centre.
    No white bar, GNOME's look, has none."""
    width, stride, channels, pixels = shot.get_width(), shot.get_rowstride(), shot.get_n_channels(), shot.get_pixels()
    pixel = lambda x, y: pixels[y * stride + x * channels:y * stride + x * channels + 3]
    grey = lambda x, y: max(pixel(x, y)) - min(pixel(x, y)) < 12  # the desktop behind is blue
    top = next(y for y in range(shot.get_height()) if grey(width // 2, y))
    left = next(x for x in range(width // 2, 0, -1) if not grey(x - 1, top + 20))
    # Down the bar left of the title, past its rounded corner, to the window's grey below it
    bottom = next(y for y in range(top + 12, shot.get_height()) if min(pixel(left + 20, y)) < 250)
    if bottom - top < 24:
        return 0
    y = (top + bottom) // 2 - 6  # through the buttons, above the symbol drawn in each
    row = [grey(x, y) and 225 <= pixel(x, y)[0] <= 245 for x in range(width // 2, width)]
    runs = ''.join('b' if button else ' ' for button in row).split()
    return len([run for run in runs if 12 <= len(run) <= 40])


def check(condition, message):
    if not condition:
        failures.append(message)


failures = []
if __name__ == '__main__':
    os.makedirs(output, exist_ok=True)
    for old in os.listdir(output):
        os.remove(os.path.join(output, old))
    home = tempfile.mkdtemp(prefix='brightfold-wayland-')
    scenario = 'desktop'
    try:
        session = session_environment(home)
        dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
        bus = desktop()
        keyboard, screen = Keyboard(bus), Screen(bus)
        with open(desktop_entry) as entry:
            app_id = os.path.splitext(os.path.basename(desktop_entry))[0]
            assert re.search(r'^Exec=', entry.read(), re.MULTILINE), f'{desktop_entry} is no desktop entry'

        # The login window's title bar under each layout, with Qt's decorations for GNOME and its plain
        # ones, then Escape
        for layout in LAYOUTS:
            portal_layout(bus, layout)
            for decoration in '', 'bradient':
                name = f'login-{decoration or "default"}-{"gnome" if layout == LAYOUTS[0] else "ubuntu"}'
                scenario = lambda keyboard: (title_bar(window(LOGIN), name), escape(keyboard))
                scenario.__name__ = name
                before = len(failures)
                run(scenario, keyboard, name, **({'QT_WAYLAND_DECORATION': decoration} if decoration else {}))
                print(f'wayland: {name} {"failed" if len(failures) > before else "passed"}')
        portal_layout(bus, LAYOUTS[1])
        # A name of 13 letters as wide as most fits the converter's title in Liberation Sans, the
        # test's font; one more letter, and the title is cut, with an ellipsis, at its buttons.
        for scenario in greeted(LONGEST_NAME, cut=False), greeted(LONGEST_NAME + 'z', cut=True):
            before = len(failures)
            run(scenario, keyboard)
            print(f'wayland: {scenario.__name__} {"failed" if len(failures) > before else "passed"}')
        for scenario in exit_button, converter:
            before = len(failures)
            made = toplevels(run(scenario, keyboard))
            ids = {toplevel['app_id'] for toplevel in made}
            check(ids == {app_id}, f'{scenario.__name__}: expected every window\'s app id {app_id!r}; read {ids}')
            print(f'wayland: {scenario.__name__} {"failed" if len(failures) > before else "passed"}')
        boxes = [toplevel for toplevel in made if toplevel['title'] in ('Login', TITLE)]
        check(len(boxes) == 1 + len(ABOUT) and all(box['modal'] for box in boxes) and
              [box['parent'] for box in boxes] == [LOGIN] + [CONVERTER] * len(ABOUT),
              f'expected each message box modal over its owner; read {boxes}')
    except AssertionError as failure:
        failures.append(f'{getattr(scenario, "__name__", scenario)}: {failure}')
    finally:
        stop()
        shutil.rmtree(home, ignore_errors=True)
    if failures:
        sys.exit('wayland: ' + '\n'.join(failures) + f'\n(screenshots and logs in {output})')
