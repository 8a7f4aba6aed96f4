#!/usr/bin/python3
# What a blind user hears: the real program under the screen reader Orca, driven by keys (xdotool),
# on a virtual display under a window manager, with a session bus of its own. Orca speaks to a
# speech-dispatcher of the test's own, which records all its clients send; each message Orca sent
# to be spoken is an utterance, exactly as sent, even one Orca cancelled before it was heard.
# Orca, speech-dispatcher and the buses keep their settings and state in a temporary home: Orca 43
# and 48 read Orca's from the folder that --user-prefs names, Orca 51 from GSettings, for it alone a
# key file there (GSETTINGS_BACKEND=keyfile; the rest of the session keeps its settings in memory).
# It runs beside another Orca of the same user on another display and bus, as a blind developer's
# own: that one if it runs, else one it starts for the while; either is left running untouched.
#   screenreader.py PROGRAM
import contextlib, html, os, re, shutil, subprocess, sys, tempfile, time
from endtoend import ABOUT, LOGIN, keys, run, titled, wait_for  # each wait bounded by endtoend's TIMEOUT
from orca import orca_platform

CONVERTER = 'Welcome Ann.'  # the title that greets the user
WRONG, RIGHT = 'redlanterns', 'bluelanterns'  # passwords
MASK = r'(registered|®)\W*'  # the password box's mask character, U+00AE, as Orca names it
BUTTON = r'(push )?button'  # at-spi2 2.46 names the role "push button", 2.56 "button"
ORCA = int(orca_platform.version.split('.')[0])  # read without starting Orca
# What Orca 51 says otherwise than 43 and 48, by design, taken for that version alone:
# - it names no role for a window it presents as the window becomes active (speech_generator's
#   _should_speak_role): the login window and the converter window are their titles alone;
# - when a typed key replaces the password box's selection it says "Text unselected.", the older
#   ones "unselected".
# (FRAME: the converter window's role after its title, or the title alone: below.)
DIALOG, FRAME, UNSELECTED = (('', '$', 'Text unselected.') if ORCA >= 51
                              else (' dialog', r'(\s+frame\b|$)', 'unselected'))
# Orca 51's settings, as older ones have them by default: a widget's mnemonic ("Alt+U") is said
# only by a detailed "where am I".
GSETTINGS = '''[org/gnome/orca/default/speech]
speak-widget-mnemonic=false
'''
SPEECHD = '''CustomLogFile "protocol" "{protocol}"
AddModule "silent" "sd_generic" "silent.conf"
DefaultModule silent
AudioOutputMethod "alsa"
AudioALSADevice "null"
'''
VOICE = '''GenericExecuteSynth "true"
AddVoice "en" "MALE1" "silent"
'''
failures, started = [], []  # what Orca did not say; the processes to end


def said():
    """Every utterance so far: each message to speak (SSIP's SPEAK and CHAR) in the protocol record,
    where each piece a client sent is an entry "FD:DATA:|piece| (its length in bytes)"."""
    try:
        with open(os.path.join(home, 'protocol.log'), 'rb') as log:
            record = log.read()
    except FileNotFoundError:
        return []
    pending, speaking, utterances = {}, {}, []
    for entry in re.finditer(rb'\] speechd: +(\d+):DATA:\|', record):
        start, ends = entry.end(), re.finditer(rb'\| \((\d+)\)\n', record[entry.end():])
        piece = next((record[start:start + end.start()] for end in ends if int(end[1]) == end.start()), None)
        if piece is None:  # not all written yet
            break
        client = entry[1]
        *lines, pending[client] = (pending.get(client, b'') + piece).split(b'\r\n')
        for line in (line.decode('utf-8', 'replace') for line in lines):
            if client in speaking and line != '.':
                speaking[client].append(line[1:] if line.startswith('..') else line)
            elif client in speaking:
                utterances.append(' '.join(speaking.pop(client)))
            elif line.upper() == 'SPEAK':
                speaking[client] = []
            elif line[:5].upper() == 'CHAR ':
                utterances.append(line[5:])
    # Orca may speak in SSML: the text without its marks
    return [html.unescape(re.sub(r'<[^>]*>', '', utterance)).strip() for utterance in utterances]


def pressing(*strokes):
    """Presses the keys; returns where what they make Orca say begins."""
    start = len(said())
    keys(*strokes)
    return start


def hear(what, start, *patterns):
    """Waits until the utterances since start, a line each, match every pattern. The first step not
    heard in time ends the session: each waits as long as any wait of the tests may take, and a few
    such would outlast the test's time limit, hiding what Orca said."""
    wait_for(what, lambda: said()[start:], lambda heard: all(
        re.search(pattern, '\n'.join(heard), re.MULTILINE) for pattern in patterns))


def silent(seconds):
    """Waits until Orca has said nothing new for that long, by this test's clock."""
    last = [len(said()), time.monotonic()]  # the count of utterances, and since when
    def quiet_for():
        if len(said()) != last[0]:
            last[:] = len(said()), time.monotonic()
        return time.monotonic() - last[1]
    wait_for(f'Orca silent for {seconds} s', quiet_for, lambda quiet: quiet >= seconds)


def type_password(word):
    """Types it key by key, each once Orca spoke for the one before: it must say only the mask."""
    start = len(said())
    spoken = lambda: [line for line in said()[start:] if line != UNSELECTED]  # the replaced selection
    for count, letter in enumerate(word, 1):
        keys(letter)
        wait_for(f'an utterance for each of {count} keys typed in the password box', spoken,
                 lambda heard: len(heard) >= count)
    if len(spoken()) != len(word) or not all(re.fullmatch(MASK, line) for line in spoken()):
        failures.append(f'expected the mask once for each of {len(word)} keys typed in the password box; '
                        f'heard {spoken()}')


def start_orca(apart=()):
    """Starts speech-dispatcher and Orca, the latter under the command apart if given, and waits until
    Orca says it is on, else stops the test. Returns Orca's process."""
    config = os.path.join(home, 'speech-dispatcher')
    os.makedirs(os.path.join(config, 'modules'))
    with open(os.path.join(config, 'speechd.conf'), 'w') as conf:
        conf.write(SPEECHD.format(protocol=os.path.join(home, 'protocol.log')))
    with open(os.path.join(config, 'modules', 'silent.conf'), 'w') as conf:
        conf.write(VOICE)
    socket = os.path.join(home, 'speechd.sock')
    started.append(subprocess.Popen(
        ['speech-dispatcher', '--run-single', '--timeout', '0', '--config-dir', config, '--socket-path', socket,
         '--pid-file', os.path.join(home, 'speechd.pid'), '--log-dir', home],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    wait_for('speech-dispatcher listening', lambda: os.path.exists(socket))
    keyfile = os.path.join(os.environ['XDG_CONFIG_HOME'], 'glib-2.0', 'settings', 'keyfile')
    os.makedirs(os.path.dirname(keyfile), exist_ok=True)
    with open(keyfile, 'a') as settings:  # beside the desktop's settings, where they are there
        settings.write(GSETTINGS)
    began = time.monotonic()
    log = os.path.join(home, 'orca.log')
    with open(log, 'w') as output:
        orca = subprocess.Popen([*apart, 'orca', *(['--user-prefs', os.path.join(home, 'orca')] if ORCA < 51 else [])],
                                stdout=output, stderr=output, env=dict(
                                    os.environ, SPEECHD_ADDRESS=f'unix_socket:{socket}', GSETTINGS_BACKEND='keyfile'))
    started.append(orca)
    try:
        wait_for('Orca saying it is on, or ending',
                 lambda: 'Screen reader on.' in said() or orca.poll() is not None)
    except AssertionError:
        pass
    if 'Screen reader on.' not in said():
        with open(log) as written:
            sys.exit(f'screenreader: Orca did not start (exit status {orca.poll()}); it wrote:\n{written.read()}')
    print(f'screenreader: Orca on after {time.monotonic() - began:.1f} s', flush=True)
    return orca


def session():
    start = len(said())  # Qt turns its accessibility on for the screen reader it finds running
    started.append(subprocess.Popen([sys.argv[1]], env=dict(os.environ, QT_QPA_PLATFORM='xcb')))
    titled(LOGIN)
    hear('the login dialog with its title, then the user name box', start,
         '^' + re.escape(LOGIN + DIALOG) + r'\.?$', r'^User Name: text')
    keys('[Ann]')
    hear('the password box on arrival by Tab', pressing('Tab'), r'^Password: password text')
    type_password(WRONG)
    hear('the refusal of a wrong password', pressing('Return'), r'Invalid Password, try again!')
    hear('the password box again once the refusal is closed', pressing('Return'), r'^Password: password text')
    type_password(RIGHT)
    # Orca 48 takes the window active when it handles a key press for the active one and presents no
    # activation of it after that: where the window opened by Return shows first, only its title is
    # heard, as what the focus is in (its role: endtoend.py).
    hear('the converter window with its title and role', pressing('Return'),
         '^' + re.escape(CONVERTER) + FRAME)
    titled(CONVERTER)
    hear('the temperature box on arrival by Tab, with its description', pressing('Tab'),
         r'^Temperature text', r'Temperature to convert')
    keys('[212]')
    hear('the first option, back by shift+Tab', pressing('shift+Tab'), r'^Do Nothing')
    hear('the next option, focused by Up (none is selected yet)', pressing('Up'), r'^Fahrenheit > Celsius')
    hear('the result at once when Space selects the option', pressing('space'), r'\b100\b')
    # Orca 48 speaks what it read of an object in the last 2 s as it read it, and no event tells when
    # that window has passed. It reads the option as it speaks of it: once it has been silent for
    # longer than that, "where am I" reads the option anew.
    silent(2.5)
    hear('the option and its result on "where am I"', pressing('KP_Enter'),
         r'^Fahrenheit > Celsius (selected )?radio button', r'\b100\b')
    hear('the About button, by Tab', pressing('Tab'), r'^About ' + BUTTON)
    start = pressing('space')
    for message in ABOUT:
        hear(f'the About message {message!r}', start, re.escape(message))
        start = pressing('Return')


def orcas():
    """The Orca processes of this user that this process can see, as Orca's launcher looks for them."""
    found = subprocess.run(['pgrep', '-u', str(os.getuid()), '-x', 'orca'], capture_output=True, text=True)
    return {int(pid) for pid in found.stdout.split()}


def alive(pid):
    try:
        with open(f'/proc/{pid}/comm') as name:
            return name.read().strip() == 'orca'
    except FileNotFoundError:
        return False


def in_session_of_its_own(*arguments, **popen):
    """This script again with the arguments, in a home, a virtual display and a session bus of its own."""
    home = tempfile.mkdtemp(prefix='brightfold-screenreader-')
    os.chmod(home, 0o700)
    environment = dict(os.environ, SCREENREADER_HOME=home, HOME=home, XDG_CONFIG_HOME=f'{home}/config',
                       XDG_DATA_HOME=f'{home}/data', XDG_CACHE_HOME=f'{home}/cache', XDG_RUNTIME_DIR=home,
                       GSETTINGS_BACKEND='memory', LC_ALL='C.UTF-8')
    command = ['xvfb-run', '-a', '-s', '-screen 0 1024x768x24 -noreset', 'dbus-run-session', '--',
               os.path.abspath(__file__), *arguments]
    return subprocess.Popen(command, env=environment, **popen), home


@contextlib.contextmanager
def beside_another_orca():
    """Another Orca of this user running on another display and bus while the test runs, as a blind
    developer's own would: one that runs already (the user's, or another test's, which may end
    meanwhile), else one started here for the while. Yields the pid of one started here."""
    if orcas():
        yield None
        return
    other, home = in_session_of_its_own('--users-orca', stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        # 'orca PID' once it is on; its standard output ends without it if Orca failed
        ready = next((line.split() for line in other.stdout if line.startswith('orca ')), None)
        if not ready and not orcas():  # else one started meanwhile, and refused it
            sys.exit('screenreader: the Orca to run beside the test did not start')
        print('screenreader: beside another Orca of this user, on another display and bus', flush=True)
        yield int(ready[1]) if ready else None
    finally:
        other.stdin.close()  # it ends its Orca
        other.wait()
        shutil.rmtree(home, ignore_errors=True)


# Orca's launcher refuses to start while another Orca of the same user runs, anywhere on the
# machine: it looks for one among the processes it can see. The test's Orca sees only those of a
# process namespace of its own (a user namespace too where the test does not run as root, which
# keeps the user's id).
PROCESSES_APART = ['unshare', *([] if os.getuid() == 0 else ['--map-current-user']),
                   '--pid', '--fork', '--mount-proc', '--kill-child', '--']


def stop():
    """Ends what was started, last first: Orca, in its main loop, may leave SIGTERM unanswered."""
    for process in reversed(started):
        process.kill() if 'orca' in process.args else process.terminate()
        process.wait()


def falls_short():
    """What Orca said that it must not: a password; a mnemonic on arrival, alone or within an
    utterance ("OK Alt+O button"), which Orca's settings turn off."""
    return ([f'a password spoken: {line!r}' for line in said() for word in (WRONG, RIGHT) if word in line] +
            [f'a mnemonic spoken: {line!r}' for line in said() if re.search(r'\bAlt\+\S', line)])


def run_apart():
    """Runs this test in a session of its own, beside the user's own Orca where one runs."""
    with beside_another_orca() as other:
        test, session_home = in_session_of_its_own(*sys.argv[1:])
        status = test.wait()
        shutil.rmtree(session_home, ignore_errors=True)
        if other and not alive(other):
            sys.exit(f'screenreader: the other Orca ({other}) ended while the test ran')
    sys.exit(status)


def stand_for_users_orca():
    """Runs an Orca as the user's own, until standard input closes."""
    try:
        orca = start_orca()
        print('orca', orca.pid, flush=True)
        sys.stdin.read()
    finally:
        for process in reversed(started):
            process.kill()
            process.wait()


def run_session():
    try:
        started.append(subprocess.Popen(['openbox'], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_for('openbox managing the display', lambda: run('xprop', '-root', '_NET_SUPPORTING_WM_CHECK'),
                 lambda answer: 'window id' in answer)
        start_orca(PROCESSES_APART)
        session()
    except AssertionError as failure:  # a step not heard in time
        failures.append(str(failure))
    finally:
        stop()
        print('Orca said:', *said(), sep='\n  ')
    failures.extend(falls_short())
    if failures:
        sys.exit('screenreader: what Orca said falls short:\n' + '\n'.join(failures))
    print('screenreader: passed')


# As a module, only its helpers: the Wayland screen-reader test's.
if __name__ == '__main__':
    if 'SCREENREADER_HOME' not in os.environ:
        run_apart()
    home = os.environ['SCREENREADER_HOME']
    stand_for_users_orca() if sys.argv[1:] == ['--users-orca'] else run_session()
