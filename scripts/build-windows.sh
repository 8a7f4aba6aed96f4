#!/usr/bin/env bash
# Builds Brightfold.exe for 64-bit Windows with Debian's mingw-w64 (build/windows/app; with a
# preset named, build/PRESET/app), after installing the Debian packages of packages-windows.txt
# that are missing. The first run also builds a static Qt for Windows from Debian's own qtbase
# source, of the same version as the host's Qt tools, into a cache folder outside build/
# (cmake/windows-qt-location.cmake); later runs reuse it until that version or the Qt options in
# cmake/ change.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
preset=${1:-windows}
cd "$top"
scripts/setup.sh windows

toolchain=$top/cmake/mingw-w64-x86_64.cmake
qt_options=$top/cmake/qtbase-windows.cmake
prefix=$(cmake -P cmake/windows-qt-location.cmake)
cache=${prefix%/*}
stamp=$prefix/brightfold-qt.stamp
# The host's moc, rcc and uic must match the Qt they generate code for: take the same source.
source_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev-tools)

# What the cached Qt was built from; a change in any of it rebuilds the Qt.
stamp_text() {
    echo "qt6-base $source_version"
    sha256sum "$toolchain" "$qt_options" | cut -d ' ' -f 1
}

# Downloads and unpacks Debian's qtbase source with a private apt configuration, so that the
# machine's own sources and package lists stay as they are.
fetch_qt_source() {
    local apt=$cache/apt suite
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    rm -rf "$apt" "$cache/src"
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$cache/src"
    local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    cat >"$apt/sources.list" <<SOURCES
deb-src [signed-by=$keyring] http://deb.debian.org/debian $suite main
deb-src [signed-by=$keyring] http://deb.debian.org/debian $suite-updates main
deb-src [signed-by=$keyring] http://deb.debian.org/debian-security $suite-security main
SOURCES
    local apt_options=(-o Dir::Etc::sourcelist="$apt/sources.list" -o Dir::Etc::sourceparts=-
        -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" -o APT::Sandbox::User=root)
    apt-get "${apt_options[@]}" -qq update
    (cd "$cache/src" && apt-get "${apt_options[@]}" -qq source "qt6-base=$source_version")
}

build_qt() {
    local started=$SECONDS
    echo "== Building a static Qt $source_version for Windows in $cache (15 to 30 minutes on 2 cores)"
    fetch_qt_source
    local source_dirs=("$cache"/src/qt6-base-*/)
    rm -rf "$prefix" "$cache/build"
    cmake -G Ninja -S "${source_dirs[0]}" -B "$cache/build" -C "$qt_options" \
        --toolchain "$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix"
    cmake --build "$cache/build"
    cmake --install "$cache/build" >/dev/null
    stamp_text >"$stamp"
    rm -rf "$cache/build" "$cache/src" "$cache/apt"
    echo "== Qt for Windows built in $(((SECONDS - started) / 60)) min: $(du -sh "$prefix" | cut -f 1) in $prefix"
}

[[ -f $stamp && $(<"$stamp") == "$(stamp_text)" ]] || build_qt
cmake --preset "$preset"
cmake --build --preset "$preset"
exe=$top/build/$preset/app/Brightfold.exe
echo "== Built $exe ($(stat -c %s "$exe") bytes)"
