#!/usr/bin/env bash
# Builds the .deb from the build folder given, checks what it installs and depends on, and has
# Debian's checkers pass it: lintian (no error, no warning), desktop-file-validate and
# appstreamcli on what it installs.
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=$(ls "$out"/qm4250-upload_*_*.deb)
contents=$(dpkg-deb -c "$deb")
depends=$(dpkg-deb -f "$deb" Depends)
echo "$contents"
echo "Depends: $depends"

fail=0
expect() { grep -q -- "$2" <<<"$1" || { echo "missing: $2"; fail=1; }; }
expect "$contents" ' ./usr/bin/qm4250-upload$'
expect "$contents" ' ./usr/bin/qm4250-sim$'
expect "$contents" ' ./usr/bin/qm4250-archive$'
expect "$contents" ' ./usr/share/applications/qm4250-upload.desktop$'
expect "$contents" ' ./usr/share/applications/qm4250-archive.desktop$'
expect "$contents" ' ./usr/share/icons/hicolor/128x128/apps/qm4250-upload.png$'
expect "$contents" ' ./usr/share/icons/hicolor/128x128/apps/qm4250-archive.png$'
expect "$contents" ' ./usr/share/metainfo/internal.qm4250.upload.metainfo.xml$'
expect "$contents" ' ./usr/share/metainfo/internal.qm4250.archive.metainfo.xml$'
expect "$contents" ' ./etc/xdg/qm4250-upload/archive.ini$'
expect "$contents" ' ./usr/lib/tmpfiles.d/qm4250-upload.conf$'
expect "$contents" ' ./usr/share/doc/qm4250-upload/copyright$'
expect "$contents" ' ./usr/share/doc/qm4250-upload/changelog.gz$'
for package in libqt6widgets6 libqt6serialport6 libqt6sql6-sqlite libqt6sql6-psql libsqlite3-0 \
  libpq5 libxlsxwriter4 libminizip1 fonts-liberation; do
  expect "$depends" "$package"
done

# The packaged program runs from where it is installed.
dpkg-deb -x "$deb" "$out/root"
"$out/root/usr/bin/qm4250-upload" --version | grep -q '^qm4250-upload 1.1$' || { echo "--version"; fail=1; }
# The changelog speaks of the version packaged.
zcat "$out/root/usr/share/doc/qm4250-upload/changelog.gz" | head -n 1 |
  grep -q "^qm4250-upload ($(dpkg-deb -f "$deb" Version)) " || { echo "changelog version"; fail=1; }

report=$(lintian --fail-on error,warning "$deb" 2>&1) || { echo "lintian: $report"; fail=1; }
desktop-file-validate "$out"/root/usr/share/applications/*.desktop || { echo "desktop files"; fail=1; }
appstreamcli validate-tree --no-net "$out/root" || { echo "appstream"; fail=1; }
exit $fail
