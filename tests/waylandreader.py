#!/usr/bin/python3
# What the screen reader Orca says of the real program on GNOME's Wayland compositor, mutter,
# headless: the desktop is tests/wayland.py's, keys going in through the compositor; Orca and its
# speech are set up as tests/screenreader.py sets them. Orca takes the keys from the compositor's
# keyboard monitor, which keeps Orca's own commands from the program. The first step not heard
# ends the test.
#   dbus-run-session -- waylandreader.py PROGRAM DESKTOP_ENTRY OUTPUT_FOLDER PORTAL PORTAL_GTK
# Each process's output is left in OUTPUT_FOLDER.
import os, re, shutil, sys, tempfile
import dbus.mainloop.glib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import screenreader, wayland  # noqa: E402  (wayland reads its arguments, the same as this script's)
from endtoend import LOGIN, wait_for, window  # noqa: E402
from screenreader import CONVERTER, DIALOG, MASK, RIGHT, UNSELECTED, WRONG, hear, said, silent  # noqa: E402

wayland.KEYSYMS.update(KP_Enter=0xff8d, Insert=0xff63)
SELECTION_TYPED_OVER = (UNSELECTED, 'Selection deleted.')  # what Orca says of the first key typed over it


def session(keyboard):
    def pressing(*keys):  # returns where what the keys make Orca say begins
        start = len(said())
        keyboard.press(*keys)
        return start

    def type_password(word):
        """Types it, each key once the program has the one before. Orca takes the key from the
        compositor and the text from the program by two roads that can cross, and then says nothing
        for a key; so what is checked is what it says: the mask, at least once, or the selection
        typed over, and never a letter."""
        box = wayland.focused(window(LOGIN), 'password text')
        silent(1)  # what Orca says of the box on arrival said whole
        start = len(said())
        for count, letter in enumerate(word, 1):
            keyboard.press(letter)
            wayland.typed(box, '®' * count)
        silent(1)
        spoken = said()[start:]
        if (not any(re.fullmatch(MASK, line) for line in spoken) or
                any(not re.fullmatch(MASK, line) and line not in SELECTION_TYPED_OVER for line in spoken)):
            screenreader.failures.append(f'expected only the mask while {len(word)} keys were typed in the '
                                         f'password box; heard {spoken}')

    start = len(said())  # the program has just started
    hear('the login window\'s title, then the user name box', start,
         '^' + re.escape(LOGIN + DIALOG) + r'\.?$', r'^User Name: text')
    name = wayland.focused(window(LOGIN), 'text')
    start = len(said())
    keyboard.type('An')
    hear('the letters typed in the user name box', start, '(?i)^a$', '^n$')
    # Orca+T (the Orca key Insert) says the time, once Orca has settled. Orca has the compositor's
    # keyboard monitor keep the command's keys from the program, or the box would read "Antn".
    silent(1)
    hear('Orca\'s "time" (Insert+T) in the user name box', pressing('Insert', 't'), r'\d{1,2}:\d{2}')
    keyboard.press('n')
    typed = wait_for('the n typed after Orca+T', lambda: name.queryText().getText(0, -1),
                     lambda read: read.endswith('n') and len(read) > 2)
    assert typed == 'Ann', f'expected Orca+T kept from the program, the box reading \'Ann\'; read {typed!r}'
    silent(1)  # Orca done with the box: it takes a focus event first, and the box's ones after it
    hear('the password box on arrival by Tab', pressing('Tab'), r'^Password: password text')
    type_password(WRONG)
    hear('the refusal of a wrong password', pressing('Return'), r'Invalid Password, try again!')
    hear('the password box again once the refusal is closed', pressing('Return'), r'^Password: password text')
    type_password(RIGHT)
    hear('the converter window\'s title', pressing('Return'), '^' + re.escape(CONVERTER))
    window(CONVERTER)
    hear('the temperature box on arrival by Tab, with its description', pressing('Tab'),
         r'^Temperature text', r'Temperature to convert')
    keyboard.type('100')
    hear('the first option, back by shift+Tab', pressing('Shift', 'Tab'), r'^Do Nothing')
    hear('the next option, focused by Up (none is selected yet)', pressing('Up'), r'^Fahrenheit > Celsius')
    hear('the result when Space selects the option', pressing('space'), r'\b37\.7+8?\b')
    # As screenreader.py does: silent for longer than Orca keeps what it read, "where am I" reads anew
    silent(2.5)
    hear('the option and its result on "where am I" (KP_Enter)', pressing('KP_Enter'),
         r'^Fahrenheit > Celsius', r'\b37\.7+8?\b')
    keyboard.press('Alt', 'F4')


if __name__ == '__main__':
    shutil.rmtree(wayland.output, ignore_errors=True)
    os.makedirs(wayland.output)
    screenreader.home = home = tempfile.mkdtemp(prefix='brightfold-waylandreader-')
    try:
        wayland.session = wayland.session_environment(home)
        os.environ['LC_ALL'] = 'C.UTF-8'
        dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
        keyboard = wayland.Keyboard(wayland.desktop())
        screenreader.start_orca(screenreader.PROCESSES_APART)
        wayland.run(session, keyboard)
    except AssertionError as failure:  # a step not heard in time
        screenreader.failures.append(str(failure))
    finally:
        screenreader.stop()
        wayland.stop()
        print('Orca said:', *said(), sep='\n  ')
        shutil.rmtree(home, ignore_errors=True)
    failures = screenreader.failures + screenreader.falls_short()
    if failures:
        sys.exit('waylandreader: what Orca said falls short:\n' + '\n'.join(failures) +
                 f'\n(logs in {wayland.output})')
    print('waylandreader: passed')
