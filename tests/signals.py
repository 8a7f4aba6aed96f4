#!/usr/bin/python3
# A signal to a script that owns its process group (scripts/process-group.sh) ends every process
# the script started, and the script's EXIT trap runs: INT, TERM, HUP and QUIT, which the script
# passes on, and KILL, which it cannot see. The test command and the chroot script rely on it.
#   signals.py PROCESS_GROUP_SH
import os, signal, subprocess, sys, tempfile, time

TIMEOUT = 30  # seconds that ending a script may take, on a busy machine

# Starts two children and a grandchild, which tells when all are there, and waits for it in the
# background, as the scripts do.
SCRIPT = '''#!/usr/bin/env bash
. "$1"
own_process_group "$@"
folder=$2
trap 'echo ended >"$folder/ended"' EXIT
sleep 1000 &
sleep 1000 &
bash -c 'sleep 1000 & echo ready >"$1/ready"; wait' bash "$folder" &
wait $!
'''


def wait_until(what, condition):
    deadline = time.monotonic() + TIMEOUT
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError(f'expected {what} within {TIMEOUT} s')
        time.sleep(0.05)


def descendants(pid):
    """The processes below pid, by their parents as /proc tells them."""
    parents = {}
    for entry in os.listdir('/proc'):
        try:
            with open(f'/proc/{entry}/stat') as stat:
                parents[int(entry)] = int(stat.read().rsplit(')', 1)[1].split()[1])
        except (ValueError, OSError):
            continue
    found, frontier = set(), {pid}
    while frontier:
        frontier = {child for child, parent in parents.items() if parent in frontier} - found
        found |= frontier
    return found


def alive(pid):
    try:
        with open(f'/proc/{pid}/stat') as stat:
            return stat.read().rsplit(')', 1)[1].split()[0] != 'Z'
    except OSError:
        return False


def check(signal_number, library):
    with tempfile.TemporaryDirectory() as folder:
        script = os.path.join(folder, 'script.sh')
        with open(script, 'w') as file:
            file.write(SCRIPT)
        os.chmod(script, 0o755)
        # Its output not the test's, which a process left running would hold open.
        first = subprocess.Popen([script, library, folder], stdin=subprocess.DEVNULL,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        started = set()
        try:
            wait_until('the script to start', lambda: os.path.exists(os.path.join(folder, 'ready')))
            started = descendants(first.pid)
            assert len(started) >= 5, f'expected the leader and four below it, found {started}'
            first.send_signal(signal_number)
            first.wait(TIMEOUT)
            wait_until(f'every process of the script to end after {signal_number.name}',
                       lambda: not [pid for pid in started if alive(pid)])
            assert os.path.exists(os.path.join(folder, 'ended')), \
                f"the script's EXIT trap did not run after {signal_number.name}"
        finally:
            for pid in started | descendants(first.pid) | {first.pid}:
                if alive(pid):
                    os.kill(pid, signal.SIGKILL)


def main():
    library = sys.argv[1]
    failed = 0
    for signal_number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP, signal.SIGQUIT, signal.SIGKILL):
        try:
            check(signal_number, library)
            print(f'{signal_number.name}: every process ended, the EXIT trap ran')
        except AssertionError as error:
            print(f'{signal_number.name}: FAILED: {error}')
            failed += 1
    sys.exit(1 if failed else 0)


main()
