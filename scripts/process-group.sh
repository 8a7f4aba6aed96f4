# shellcheck shell=bash
# Sourced by a script as its first command, `own_process_group "$@"`: everything the script starts
# ends with it, whichever way it ends, KILL included. The script runs again as the leader of a
# process group of its own, a child of this first run, which passes INT, TERM, HUP and QUIT on to
# the whole group; killed outright, the first run cannot, so the kernel tells the leader with a
# TERM (pdeathsig). The leader then ends its group too, also the commands it waits for, and its
# EXIT trap runs. A script that waits for a long command should start it in the background and
# `wait` for it: a shell runs its traps only when the command it waits for in the foreground ends.
own_process_group() {
    if [[ ${BRIGHTFOLD_GROUP_OF:-} == "$PPID" ]]; then
        unset BRIGHTFOLD_GROUP_OF
        local signal
        for signal in INT TERM HUP QUIT; do
            # shellcheck disable=SC2064 # the signal's name, now
            trap "end_process_group $signal" "$signal"
        done
        return
    fi
    set -m
    BRIGHTFOLD_GROUP_OF=$$ setpriv --pdeathsig TERM -- "$0" "$@" &
    local leader=$! status
    trap 'kill -TERM -- "-$leader" 2>/dev/null' INT TERM HUP QUIT
    # On a terminal, the group takes it over, Ctrl-C included, as a shell's foreground job does.
    if [[ -t 0 ]]; then
        fg %1 >/dev/null && exit 0 || exit
    fi
    set +m
    while :; do
        wait "$leader" && status=0 || status=$?
        kill -0 "$leader" 2>/dev/null || exit "$status"
    done
}

# In the leader: ends every other process of its group, then the script, with the signal's status.
end_process_group() {
    trap '' INT TERM HUP QUIT
    kill -TERM -- "-$$" 2>/dev/null
    wait
    exit $((128 + $(kill -l "$1")))
}
