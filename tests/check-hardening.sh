#!/usr/bin/env bash
# Checks that Brightfold's executables have the hardening Debian gives its own packages
# (brightfold_hardening, cmake/hardening.cmake):
#
#   tests/check-hardening.sh BUILD_DIR EXECUTABLE...
#
# hardening-check must find a position-independent executable, the stack protector, read-only
# relocations and immediate binding. Two of its checks cannot pass for this program on Debian 12
# however it is built, and are made here in another way:
# - Fortified functions: glibc checks a call whose destination size the compiler knows, and the
#   program makes none. The only libc memory functions it calls, memcpy, memmove and memset, come
#   from std::string, whose character traits call the compiler's builtins rather than glibc's
#   checked wrappers. Any other unchecked libc function fails.
# - Control-flow integrity: the linker marks an executable for indirect branch tracking and
#   shadow stacks only when all its objects are marked, and Debian 12's C start files (Scrt1.o,
#   crti.o, crtn.o) are not. So on x86 every object file in BUILD_DIR must carry the mark that
#   -fcf-protection gives.
# Stack clash protection shows as "unknown": hardening-check recognises it by the probing loop of
# a stack frame larger than a page, and the program has no such frame.
set -euo pipefail
build=$1
shift

skipped=(--nofortify --nocfprotection)
# Newer hardening-check (Debian 13) also looks for branch protection, which only arm64 has.
if [[ $(uname -m) != aarch64 ]] && grep -q nobranchprotection "$(command -v hardening-check)"; then
    skipped+=(--nobranchprotection)
fi
report=$(hardening-check --verbose "${skipped[@]}" "$@") ||
    { echo "$report"; echo "check-hardening.sh: hardening is missing" >&2; exit 1; }
echo "$report"

unchecked=$(sed -n 's/^\tunprotected: //p' <<<"$report" | grep -vxE 'memcpy|memmove|memset' || true)
if [[ -n $unchecked ]]; then
    echo "check-hardening.sh: libc functions called without glibc's checks: ${unchecked//$'\n'/ }" >&2
    exit 1
fi

if [[ $(uname -m) == x86_64 ]]; then
    objects=0
    while IFS= read -r -d '' object; do
        objects=$((objects + 1))
        [[ $(readelf --notes "$object") == *"x86 feature: IBT, SHSTK"* ]] ||
            { echo "check-hardening.sh: $object lacks -fcf-protection" >&2; exit 1; }
    done < <(find "$build" -name '*.o' -print0)
    ((objects > 0)) || { echo "check-hardening.sh: no object files in $build" >&2; exit 1; }
    echo "check-hardening.sh: all $objects object files carry indirect branch tracking and shadow stacks"
fi
