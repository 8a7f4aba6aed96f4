#!/usr/bin/env bash
# The Windows release files as an organisation deploys them, under wine: made and signed with a
# throw-away certificate, both signatures verified; a silent install of an older version, then
# the upgrade to this one, which leaves one entry under Installed apps and whose executable opens
# its login window; a downgrade refused with its message; a silent uninstall that leaves nothing
# of Brightfold's. On a virtual X display (windows-tests.cmake):
#   installer.sh PACKAGE_WINDOWS MAKE_MSI WXS PROGRAM VERSION LOGIN_TITLE RUN_UNDER_WINE PREFIX
set -euo pipefail
package_windows=$1 make_msi=$2 wxs=$3 program=$4 version=$5 login_title=$6 run=$7 prefix=$8
drive_c=$prefix/drive_c
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# Wine would put the Start menu's shortcuts into this machine's desktop menus as well.
export WINEDLLOVERRIDES=winemenubuilder.exe=d QT_QPA_PLATFORM=windows
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

fail() {
    echo "installer: $*" >&2
    exit 1
}
wine() { "$run" "$prefix" "$@" | tr -d '\r'; }
msiexec() { "$run" "$prefix" msiexec "$@"; }
# A table of a package, and one property of it: table PACKAGE TABLE, property PACKAGE NAME.
table() { msiinfo export "$1" "$2" | tr -d '\r'; }
property() { table "$1" Property | sed -n "s/^$2\t//p"; }
# Waits up to a minute for a window of that title and prints its id. (xdotool's own waiting
# stops at a window that goes while it looks.)
window() {
    local found
    for _ in {1..600}; do
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [[ $found ]] &&
            echo "$found" && return
        sleep 0.1
    done
    fail "no window titled $1"
}
# A GUID as Windows Installer spells it in registry key names.
packed() {
    local hex=${1//[\{\}-]/}
    echo "$(rev <<<"${hex:0:8}")$(rev <<<"${hex:8:4}")$(rev <<<"${hex:12:4}")$(
        sed -E 's/(.)(.)/\2\1/g' <<<"${hex:16}")"
}
# The versions of the entries under Installed apps that bear the product's name.
installed() {
    wine reg query "$uninstall" /s | awk -v want="$name" '
        /^HKEY/ { key = $0 }
        sub(/^ +DisplayName +REG_SZ +/, "") { names[key] = $0 }
        sub(/^ +DisplayVersion +REG_SZ +/, "") { versions[key] = $0 }
        END { for (key in names) if (names[key] == want) print versions[key] }'
}
# The files in the places an installer writes to, and every registry entry that Windows
# Installer keeps of a product and that names Brightfold's name or codes.
traces() {
    (cd "$drive_c" && find "Program Files" ProgramData/Microsoft/Windows/"Start Menu" \
        users/*/AppData/Roaming/Microsoft/Windows/"Start Menu" windows/Installer -mindepth 1 \
        2>/dev/null | sort)
    local installer='HKLM\Software\Microsoft\Windows\CurrentVersion\Installer'
    local classes='HKLM\Software\Classes\Installer'
    wine cmd /c "reg query $uninstall /s & reg query $installer /s & reg query $classes /s" |
        grep -iF -e "$name" -e "$upgrade_code" -e "$(packed "$upgrade_code")" \
            -e "$product_code" -e "$(packed "$product_code")" \
            -e "$older_code" -e "$(packed "$older_code")" || true
}

echo "== The release files, signed with a throw-away certificate"
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Brightfold test signer" \
    -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout pass:throwaway \
    -out "$work/signer.p12"
BRIGHTFOLD_SIGN_PKCS12=$work/signer.p12 BRIGHTFOLD_SIGN_PASSWORD=throwaway \
    BRIGHTFOLD_SIGN_CAFILE=$work/cert.pem "$package_windows" "$work/dist"
exe=$(find "$work/dist" -name "*-$version-x64.exe")
msi=$(find "$work/dist" -name "*-$version-x64.msi")
for file in "$exe" "$msi"; do
    osslsigncode verify -CAfile "$work/cert.pem" -in "$file" >"$work/verified" ||
        fail "$file: no signature that verifies: $(cat "$work/verified")"
done
msiextract -C "$work/extracted" "$msi" >/dev/null
cmp "$exe" "$(find "$work/extracted" -type f)" || fail "the package holds another executable"
name=$(property "$msi" ProductName) product_code=$(property "$msi" ProductCode)
upgrade_code=$(property "$msi" UpgradeCode)

# A lower version than this one, of the same program.
IFS=. read -r major minor patch _ <<<"$version"
if ((patch > 0)); then older=$major.$minor.$((patch - 1)).0
elif ((minor > 0)); then older=$major.$((minor - 1)).0.0
else older=$((major - 1)).9.0.0; fi
"$make_msi" "$wxs" "$program" "$older" "$work/older.msi"
older_code=$(property "$work/older.msi" ProductCode)

# A run that failed halfway may have left a version installed.
for package in "$msi" "$work/older.msi"; do
    [[ -z $(installed) ]] || msiexec /x "$package" /qn || true
done
before=$(traces)

echo "== Silent install of $older, then the upgrade to $version"
msiexec /i "$work/older.msi" /qn || fail "installing $older failed ($?)"
[[ $(installed) == "$older" ]] || fail "after installing $older, Installed apps holds: $(installed)"
msiexec /i "$msi" /qn /l*v "$work/install.log" || fail "the upgrade failed ($?)"
[[ $(installed) == "$version" ]] || fail "after the upgrade, Installed apps holds: $(installed)"

# The entry: publisher, web address and icon as the package gives them; per machine, in 64-bit
# Program Files; the shortcut where the package's Start menu folder is, with description and icon.
entry=$(wine reg query "$uninstall\\$product_code")
for pair in "Publisher=$(property "$msi" Manufacturer)" \
    "URLInfoAbout=$(property "$msi" ARPURLINFOABOUT)"; do
    [[ ${pair#*=} && $entry =~ ${pair%%=*}\ +REG_SZ\ +"${pair#*=}" ]] ||
        fail "entry without $pair: $entry"
done
products='HKLM\Software\Classes\Installer\Products'
icon=$(wine reg query "$products\\$(packed "$product_code")" /v ProductIcon |
    sed -n 's/^ *ProductIcon *REG_SZ *C:\\//p' | tr '\\' /) ||
    fail "no icon registered for the product per machine"
msiinfo extract "$msi" "Icon.$(property "$msi" ARPPRODUCTICON)" | cmp - "$drive_c/$icon" ||
    fail "the entry's icon C:\\$icon is not the package's"
grep -q '^Property(S): ALLUSERS = 1$' "$work/install.log" || fail "not installed per machine"
installed_exe=$(cd "$drive_c" && echo "Program Files/$name/"*.exe)
cmp "$exe" "$drive_c/$installed_exe" || fail "C:\\$installed_exe is not the signed executable"
# Wine takes the user's Start menu for the all-users one that ALLUSERS=1 gives on Windows.
menu=$(sed -n 's/^Property(S): ProgramMenuFolder = C:\\//p' "$work/install.log" | tr '\\' /)
shortcut=$(strings -a "$drive_c/$menu$name.lnk"; strings -a -el "$drive_c/$menu$name.lnk")
shortcut=$(paste -sd '|' <<<"$shortcut")
description=$(table "$msi" Shortcut | awk -F '\t' 'NR > 3 { print $7 }')
[[ -n $description ]] || fail "the package's shortcut has no description"
for part in "${installed_exe//\//\\}" "$description" "${icon//\//\\}"; do
    [[ "|$shortcut|" == *"$part|"* ]] ||
        fail "the Start menu shortcut lacks '$part': $shortcut"
done

echo "== The installed executable opens its login window"
"$run" "$prefix" "C:\\$installed_exe" &
started=$!
window "^$login_title\$" >/dev/null
kill "$started"
wait "$started" || true

echo "== A downgrade to $older refused with its message"
WINEDEBUG=-all,trace+msgbox msiexec /i "$work/older.msi" /qb 2>"$work/refusal" &
refusing=$!
box=$(window '^Install Failed$')
# The box closes on the key press, and xdotool may then fail its key release on the window gone
# (BadWindow): msiexec ending, not xdotool's status, says that Return reached the box.
while kill -0 "$refusing" 2>/dev/null; do
    xdotool key --window "$box" Return 2>/dev/null || true
    sleep 0.3
done
status=0
wait "$refusing" || status=$?
# msiexec ends with 1603 (a fatal error), of which the exit status keeps the low byte.
((status == 1603 % 256)) || fail "the downgrade ended with $status"
message=$(table "$work/older.msi" LaunchCondition | awk -F '\t' '/DOWNGRADE/ { print $2 }')
[[ $message ]] && grep -qF "$message" "$work/refusal" ||
    fail "the refusal did not show the package's message '$message'"
[[ $(installed) == "$version" ]] || fail "after the downgrade, Installed apps holds: $(installed)"

echo "== Silent uninstall"
msiexec /x "$msi" /qn || fail "uninstalling failed ($?)"
after=$(traces)
[[ $after == "$before" ]] || fail "the uninstall left: $(diff <(echo "$before") <(echo "$after"))"
