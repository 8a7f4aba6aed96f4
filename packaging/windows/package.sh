#!/usr/bin/env bash
# Makes Brightfold's Windows release files in DIST from a built Brightfold.exe: the portable
# executable and the Windows Installer package that installs it, NAME-VERSION-x64.exe and .msi.
# Given a code-signing certificate, a PKCS#12 file named by BRIGHTFOLD_SIGN_PKCS12 with its
# password in BRIGHTFOLD_SIGN_PASSWORD, it signs the executable before the package takes it in,
# then the package, and verifies both signatures against the system's certificate authorities
# (or those of the file BRIGHTFOLD_SIGN_CAFILE names). A certificate given that cannot be used
# fails it before it makes any file, rather than leave the files unsigned; --check-certificate
# checks only that (scripts/release-windows.sh, before it builds). Run through the
# build folder's package-windows.sh, which gives all but DIST:
#   package.sh PROGRAM WXS NAME VERSION WEB_ADDRESS DIST
#   package.sh --check-certificate
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# A certificate is given when BRIGHTFOLD_SIGN_PKCS12 is set and not empty; its files must be
# ones this user can read. A password or authorities without it mean that it was lost.
check_certificate() {
    local file
    if [[ -n ${BRIGHTFOLD_SIGN_PKCS12:-} ]]; then
        for file in "$BRIGHTFOLD_SIGN_PKCS12" ${BRIGHTFOLD_SIGN_CAFILE:+"$BRIGHTFOLD_SIGN_CAFILE"}; do
            [[ -f $file && -r $file ]] ||
                { echo "package.sh: $file, given for signing, is not a file that can be read" >&2; return 1; }
        done
    elif [[ -n ${BRIGHTFOLD_SIGN_PASSWORD:-}${BRIGHTFOLD_SIGN_CAFILE:-} ]]; then
        echo "package.sh: BRIGHTFOLD_SIGN_PASSWORD or BRIGHTFOLD_SIGN_CAFILE is set, but not" \
            "BRIGHTFOLD_SIGN_PKCS12, the certificate" >&2
        return 1
    fi
}
if [[ ${1:-} == --check-certificate ]]; then
    check_certificate
    exit
fi
program=$1 wxs=$2 name=$3 version=$4 web_address=$5 dist=$6

sign() {
    local file=$1
    # The signing time too comes from SOURCE_DATE_EPOCH, so that one certificate signs the same
    # file the same way.
    local time=()
    [[ -z ${SOURCE_DATE_EPOCH:-} ]] || time=(-st "$SOURCE_DATE_EPOCH")
    rm -f "$file.signed"
    printf %s "${BRIGHTFOLD_SIGN_PASSWORD:-}" |
        osslsigncode sign -pkcs12 "$BRIGHTFOLD_SIGN_PKCS12" -readpass /dev/stdin -h sha256 \
            -n "$name" -i "$web_address" "${time[@]}" -in "$file" -out "$file.signed" >/dev/null
    mv "$file.signed" "$file"
    local report authorities=${BRIGHTFOLD_SIGN_CAFILE:-/etc/ssl/certs/ca-certificates.crt}
    if ! report=$(osslsigncode verify -CAfile "$authorities" -in "$file" 2>&1); then
        echo "$report" >&2
        echo "package.sh: the signature of $file does not verify" >&2
        return 1
    fi
    echo "Signed $file; the signature verifies"
}

check_certificate
base=$dist/$name-$version-x64
mkdir -p "$dist"
cp "$program" "$base.exe"
if [[ -n ${BRIGHTFOLD_SIGN_PKCS12:-} ]]; then
    sign "$base.exe"
    "$here/make-msi.py" "$wxs" "$base.exe" "$version" "$base.msi"
    sign "$base.msi"
else
    "$here/make-msi.py" "$wxs" "$base.exe" "$version" "$base.msi"
    echo "Unsigned: no code-signing certificate given (BRIGHTFOLD_SIGN_PKCS12)"
fi
