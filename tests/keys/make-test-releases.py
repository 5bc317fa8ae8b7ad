#!/usr/bin/env python3
"""The update tests' releases, made before they run (a CTest fixture): for
each case a folder under DIR with "TRV.zip" and its section "Updates.ini"
signed with the test key by scripts/sign-release.sh (openssl).
  make-test-releases.py DIR
"neu" is a newer release of 5 MB whose template writes a marker file; its
other sections name the same archive through the test server's misbehaving
queries. "vorlage-echt" carries the shipped template (resources/Update.bat)
with three small files to install. "alt" is older than any build. The rest are signed correctly but
must be refused: entries that climb out or name a device, an entry above
50 MB, and malformed install script templates."""
import os, shutil, subprocess, sys, zipfile

here = os.path.dirname(os.path.abspath(__file__))
sign = os.path.join(here, '..', '..', 'scripts', 'sign-release.sh')
key = os.path.join(here, 'test-release-private.pem')
root = sys.argv[1]

# Groups of four (a line as it stands, two lines with P, one with T and P),
# then a tail with T: each writes what it was given to a marker file, the
# folders inside quotes as a template must use them.
MARKER = '"%%TEMP%%\\trv-update-marker.txt"'
TEMPLATE = ['@echo off',
            'echo "P=%s">' + MARKER,
            'rem "%s"',
            'echo "T=%s P=%s">>' + MARKER,
            ' echo "Ende %s">>' + MARKER]
NEWS = '"01.01.2000: Alte Meldung","31.12.2099: Neue Befehle, schneller",Hinweis'


def bat(lines):
    return ''.join(line + '\r\n' for line in lines).encode('cp1252')


def release(name, entries, date='31.12.2099', files=('TRV.zip',), news=NEWS):
    folder = os.path.join(root, name)
    os.makedirs(folder)
    archive = os.path.join(folder, 'TRV.zip')
    with zipfile.ZipFile(archive, 'w', zipfile.ZIP_DEFLATED) as z:
        for entry, data in entries:
            z.writestr(zipfile.ZipInfo(entry, (2026, 12, 1, 0, 0, 0)), data, zipfile.ZIP_DEFLATED)
    for i, file in enumerate(files):
        section = subprocess.check_output([sign, key, 'TRV', archive, date, file, news])
        ini = 'Updates.ini' if i == 0 else 'Updates-%d.ini' % i
        with open(os.path.join(folder, ini), 'wb') as f:
            f.write(section)


shutil.rmtree(root, ignore_errors=True)
os.makedirs(root)
# Random bytes do not shrink: the download is 5 MB.
payload = os.urandom(5 * 1024 * 1024)
release('neu', [('Update.bat', bat(TEMPLATE)), ('Neu/TRV-Neu.bin', payload)],
        files=('TRV.zip', 'TRV.zip?nosize', 'TRV.zip?slow=10', 'TRV.zip?break=1000000', 'Fehlt.zip',
               'TRV.zip?status=500', 'TRV.zip?stall=12000'))
release('alt', [('Update.bat', bat(TEMPLATE))], date='01.01.2000')
release('punktpunkt', [('Update.bat', bat(TEMPLATE)), ('..\\..\\x.bat', b'echo x\r\n')])
release('laufwerk', [('Update.bat', bat(TEMPLATE)), ('C:\\x.bat', b'echo x\r\n')])
release('geraet', [('Update.bat', bat(TEMPLATE)), ('CON', b'echo x\r\n')])
release('gross', [('Update.bat', bat(TEMPLATE)), ('Gross.bin', bytes(50 * 1024 * 1024 + 1))])
release('vorlage-leer', [('Update.bat', b'')])
release('vorlage-halb', [('Update.bat', bat(TEMPLATE[:4] + ['echo x']))])
release('vorlage-leerzeile', [('Update.bat', bat(TEMPLATE[:4] + ['', 'rem %s', 'rem %s', 'rem %s %s']))])
release('vorlage-platzhalter', [('Update.bat', bat(['@echo off', 'echo %s %s', 'rem %s', 'rem %s %s']))])
release('vorlage-prozent', [('Update.bat', bat(['@echo off', 'echo %d', 'rem %s', 'rem %s %s']))])
with open(os.path.join(here, '..', '..', 'resources', 'Update.bat'), 'rb') as f:
    shipped = f.read()
release('vorlage-echt', [('Update.bat', shipped), ('TRV.EXE', b'neu-exe'), ('TRV.HTM', b'neu-htm'),
                         ('TRV-Neu.png', b'neu-png')])
