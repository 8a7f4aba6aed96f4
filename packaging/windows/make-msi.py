#!/usr/bin/env python3
"""Builds Brightfold's Windows Installer package from its WiX source with wixl (msitools).

    make-msi.py WXS PROGRAM VERSION OUTPUT

PROGRAM is the Brightfold.exe to install, VERSION the package's version. The same input gives
the same package, byte for byte: wixl would take the package's two times from the clock, its
package code from a random source and the cabinet's file time from the file, so the times are
set to SOURCE_DATE_EPOCH (else now), and the package code follows from the package's content.
The product code follows from the upgrade code and the version: every version has its own, as
an upgrade that replaces the one before needs.
"""
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import uuid
import xml.etree.ElementTree as ElementTree

WIX = '{http://schemas.microsoft.com/wix/2006/wi}'
SUMMARY_STREAM = '\x05SummaryInformation'
# Properties of the summary stream: the package code (a string) and the two times.
PACKAGE_CODE, CREATED, LAST_SAVED = 9, 12, 13
VT_LPSTR, VT_FILETIME = 30, 64
NO_PACKAGE_CODE = uuid.UUID(int=0)


def braced(code):
    return '{' + str(code).upper() + '}'


def with_summary(stream, package_code, filetime):
    """The summary stream (an OLE property set of one section) with that package code and
    those times."""
    stream = bytearray(stream)
    section, = struct.unpack_from('<I', stream, 44)
    count, = struct.unpack_from('<I', stream, section + 4)
    for index in range(count):
        pid, offset = struct.unpack_from('<II', stream, section + 8 + 8 * index)
        kind, = struct.unpack_from('<I', stream, section + offset)
        value = section + offset + 4
        if pid in (CREATED, LAST_SAVED) and kind == VT_FILETIME:
            struct.pack_into('<Q', stream, value, filetime)
        elif pid == PACKAGE_CODE and kind == VT_LPSTR:
            text = braced(package_code).encode() + b'\0'
            length, = struct.unpack_from('<I', stream, value)
            assert length == len(text), f'package code of {length} bytes'
            stream[value + 4:value + 4 + length] = text
    return bytes(stream)


def replaced_once(data, old, new):
    """The package with one stream's bytes replaced in place, where they lie in one piece."""
    if data.count(old) != 1:
        sys.exit('make-msi.py: the summary stream is not in one piece in the package')
    return data.replace(old, new)


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__.strip().split('\n\n')[1])
    wxs, program, version, output = sys.argv[1:]
    product = ElementTree.parse(wxs).getroot().find(WIX + 'Product')
    product_code = uuid.uuid5(uuid.UUID(product.get('UpgradeCode')), version)
    epoch = int(os.environ.get('SOURCE_DATE_EPOCH', time.time()))
    filetime = (epoch + 11644473600) * 10**7  # 100 ns since 1601

    with tempfile.TemporaryDirectory() as work:
        staged = os.path.join(work, 'program.exe')
        shutil.copyfile(program, staged)
        os.utime(staged, (epoch, epoch))
        package = os.path.join(work, 'package.msi')
        # wixl finds files by paths relative to the folder it runs in; the cabinet holds the
        # file's local time, the same for everyone in UTC.
        folder = os.path.dirname(os.path.abspath(wxs))
        subprocess.run(['wixl', '--arch', 'x64', '--define', f'Version={version}',
                        '--define', f'ProductCode={braced(product_code)}',
                        '--define', f'ProgramFile={os.path.relpath(staged, folder)}',
                        '--output', package, os.path.abspath(wxs)],
                       check=True, cwd=folder, env=dict(os.environ, TZ='UTC'))
        summary = subprocess.run(['msiinfo', 'extract', package, SUMMARY_STREAM],
                                 check=True, capture_output=True).stdout
        with open(package, 'rb') as file:
            data = file.read()

    unnamed = with_summary(summary, NO_PACKAGE_CODE, filetime)
    data = replaced_once(data, summary, unnamed)
    package_code = uuid.uuid5(product_code, hashlib.sha256(data).hexdigest())
    data = replaced_once(data, unnamed, with_summary(unnamed, package_code, filetime))
    with open(output + '.tmp', 'wb') as file:
        file.write(data)
    os.replace(output + '.tmp', output)


if __name__ == '__main__':
    main()
