#!/usr/bin/env bash
# Builds the .deb from the build folder given and checks what it installs and depends on.
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
for package in libqt6widgets6 libqt6serialport6 libqt6sql6-sqlite libqt6sql6-psql libsqlite3-0 \
  libpq5 libxlsxwriter4 libminizip1 fonts-liberation; do
  expect "$depends" "$package"
done

# The packaged program runs from where it is installed.
dpkg-deb -x "$deb" "$out/root"
"$out/root/usr/bin/qm4250-upload" --version | grep -q '^qm4250-upload 1.1$' || { echo "--version"; fail=1; }
exit $fail
