#!/usr/bin/env bash
# Reads Brightfold.exe back as Windows sees it, with tools independent of the build: its icon,
# version block and manifest (icoutils), its subsystem, hardening and the DLLs it imports
# (objdump), and compares them with the product data. Usage:
#   exe-resources.sh EXE TITLE COMPANY VERSION_TEXT VERSION OBJDUMP SYSTEM32
set -euo pipefail
exe=$1 title=$2 company=$3 version_text=$4 version=$5 objdump=$6 system32=$7

failed=0
check() { # check WHAT ACTUAL EXPECTED
    [[ $2 == "$3" ]] && return
    echo "exe resources: $1 is '$2', expected '$3'" >&2
    failed=1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The icon: 256 colours first, then full colour from large to small, as Windows picks from it.
wrestool -x --type=14 "$exe" >"$work/icon.ico"
images=$(icotool -l "$work/icon.ico" 2>/dev/null |
    sed -E 's/.*--width=([0-9]+) --height=([0-9]+) --bit-depth=([0-9]+).*/\1x\2@\3/' | paste -sd ' ')
check "icon images" "$images" "32x32@8 16x16@8 128x128@32 48x48@32 32x32@32 16x16@32"

# The version block: texts in UTF-16, each key followed by its value; the numbers in the fixed
# part, after its signature 0xFEEF04BD, as 16-bit words: minor, major, tweak, patch.
wrestool -x --raw --type=16 "$exe" >"$work/version.bin"
iconv -f UTF-16LE -t UTF-8 "$work/version.bin" | tr '\000-\037' '\n' | grep -v '^$' >"$work/texts"
for pair in "CompanyName=$company" "FileDescription=$title" "InternalName=$title" \
    "ProductName=$title" "FileVersion=$version_text" "ProductVersion=$version_text"; do
    check "${pair%%=*}" "$(grep -A 1 -x "${pair%%=*}" "$work/texts" | sed -n 2p)" "${pair#*=}"
done
read -ra words <<<"$(od -An -tu2 -v "$work/version.bin" | paste -sd ' ')"
for ((i = 0; i < ${#words[@]}; i += 2)); do
    [[ ${words[i]} == 1213 && ${words[i + 1]} == 65263 ]] && break
done
w=("${words[@]:i+4:8}")
check "file version" "${w[1]}.${w[0]}.${w[3]}.${w[2]}" "$version"
check "product version" "${w[5]}.${w[4]}.${w[7]}.${w[6]}" "$version"

# The application manifest (type 24, id 1, the one Windows reads at start): run as the user who
# starts it, written for Windows 10 and 11, scaling per monitor as Qt asks at run time.
manifest=$(wrestool -x --raw --type=24 --name=1 "$exe" | tr -s ' \t\n' ' ')
for part in '<requestedExecutionLevel level="asInvoker"' \
    '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' '>PerMonitorV2</dpiAwareness>'; do
    [[ $manifest == *"$part"* ]] || check "manifest" "${manifest:0:60}..." "one with $part"
done

# A window program, not a console one, that needs only what every Windows has: DLLs that wine's
# prefix holds by name as Windows does, and API sets (api-ms-win-*), which the loader resolves.
headers=$(TZ=UTC "$objdump" -p "$exe")
check "subsystem" "$(grep -m 1 '^Subsystem' <<<"$headers" | awk '{print $2}')" 00000002
# Hardened: address space layout randomisation with 64-bit addresses (relocations kept), no
# code run from data pages, and the stack protector's check linked in; no link time stamped.
characteristics=$((0x$(grep -m 1 '^DllCharacteristics' <<<"$headers" | awk '{print $2}')))
check "DllCharacteristics HIGH_ENTROPY_VA, DYNAMIC_BASE, NX_COMPAT" \
    "$(printf %#x $((characteristics & 0x160)))" 0x160
[[ $headers != *"relocations stripped"* ]] || check "relocations" stripped kept
grep -q "stack smashing detected" "$exe" || check "stack protector" none linked
check "time stamp" "$(grep -m 1 '^Time/Date' <<<"$headers" | cut -f 3-)" "Thu Jan  1 00:00:00 1970"
while read -r dll; do
    [[ $dll == api-ms-win-* || -n $(find "$system32" -maxdepth 1 -iname "$dll") ]] ||
        check "import" "$dll" "a system DLL"
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")

# No folder of the machine that built it: not the source tree's, the build folders' (Qt's
# included), nor any home or cache folder.
folders='(^|[^:])(/brightfold/|/var/cache/|/root/|/home/|/tmp/|\.cache/)[[:print:]]*'
paths=$( (grep -a -o -E "$folders" "$exe" || true) | sort -u | head -n 5)
check "folders of the build machine" "$paths" ""
exit $failed
