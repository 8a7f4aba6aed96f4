#!/usr/bin/env bash
# Builds Brightfold.exe for 64-bit Windows (build/windows/app; with a preset named,
# build/PRESET/app) in the Debian 13 chroot that scripts/debian-chroot.sh makes, with its
# mingw-w64, so that every host builds the same executable. The first run also builds a static Qt
# for Windows from Debian 13's own qtbase source, of the same version as the chroot's Qt tools,
# into a fixed folder of the chroot (cmake/windows-qt-location.cmake); later runs reuse it until
# that version or the Qt options in cmake/ change. The build folder is the chroot's own
# (scripts/debian-chroot.sh), so commands that use it run there too, e.g.
#   scripts/debian-chroot.sh trixie ctest --preset windows
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
preset=${1:-windows}
windows_release=trixie
if [[ ${BRIGHTFOLD_CHROOT:-} != "$windows_release" ]]; then
    exec "$top/scripts/debian-chroot.sh" --with "package test windows" --online "$windows_release" \
        scripts/build-windows.sh "$@"
fi
cd "$top"
# The German locale, whose decimal comma the Windows tests run under (cmake/windows-tests.cmake).
[[ -d /usr/lib/locale/de_DE.utf8 ]] || localedef -i de_DE -c -f UTF-8 de_DE.UTF-8

toolchain=$top/cmake/mingw-w64-x86_64.cmake
qt_options=$top/cmake/qtbase-windows.cmake
prefix=$(cmake -P cmake/windows-qt-location.cmake)
stamp=$prefix/brightfold-qt.stamp
qt_work=/var/cache/brightfold/qt6-windows
# The host's moc, rcc and uic must match the Qt they generate code for: take the same source.
source_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev-tools)

# What the cached Qt was built from; a change in any of it rebuilds the Qt. Of the two CMake files,
# what CMake reads: their comments and blank lines do not count.
stamp_text() {
    echo "qt6-base $source_version"
    local file
    for file in "$toolchain" "$qt_options"; do
        grep -vE '^[[:space:]]*(#|$)' "$file" | sha256sum | cut -d ' ' -f 1
    done
}

build_qt() {
    local started=$SECONDS
    echo "== Building a static Qt $source_version for Windows in $prefix (docs/windows.md: how long)"
    rm -rf "$qt_work"
    mkdir -p "$qt_work/src"
    apt-get -qq update
    (cd "$qt_work/src" && apt-get -qq source "qt6-base=$source_version")
    local source_dirs=("$qt_work"/src/qt6-base-*/) build=$qt_work/build
    # Qt's own file names, which its messages carry, name no folder of the chroot.
    # From the environment, CMake puts them before the toolchain file's flags.
    local map="-ffile-prefix-map=${source_dirs[0]%/}=qtbase -ffile-prefix-map=$build=qtbase-build"
    # Not through the test command's compiler cache: the Qt is built once and kept as a whole.
    CFLAGS=$map CXXFLAGS=$map env -u CMAKE_C_COMPILER_LAUNCHER -u CMAKE_CXX_COMPILER_LAUNCHER \
        cmake -G Ninja -S "${source_dirs[0]}" -B "$build" -C "$qt_options" \
        --toolchain "$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix"
    cmake --build "$build"
    # Installed beside the Qt in use, which is replaced only once the new one is complete.
    local staged=$qt_work/staged
    DESTDIR=$staged cmake --install "$build" >/dev/null
    stamp_text >"$staged$stamp"
    rm -rf "$prefix.old"
    [[ ! -e $prefix ]] || mv "$prefix" "$prefix.old"
    mv "$staged$prefix" "$prefix"
    # Processor time of the commands this script ran, nearly all the Qt's: bash's `times`, whose
    # second line is theirs, run here and not in a subshell, which would count its own.
    times >"$qt_work/times"
    local processor
    processor=$(awk 'NR == 2 { split($0, t, /[ms ]+/); print int((t[1] * 60 + t[2] + t[3] * 60 + t[4]) / 60) }' \
        "$qt_work/times")
    rm -rf "$prefix.old" "$qt_work"
    echo "== Qt for Windows built in $(((SECONDS - started) / 60)) min ($processor min of processor time):" \
        "$(du -sh "$prefix" | cut -f 1) in $prefix"
}

[[ -f $stamp && $(<"$stamp") == "$(stamp_text)" ]] || build_qt
cmake --preset "$preset"
cmake --build --preset "$preset"
exe=$top/build/$preset/app/Brightfold.exe
echo "== Built $exe ($(stat -c %s "$exe") bytes)"
