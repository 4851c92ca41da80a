#!/usr/bin/env bash
# The nightly collection installed from the build folder given (component "collect") into a
# temporary root: the units as systemd reads them, the system user, and the runner against a fake
# qm4250-upload and a fixed clock.
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
root=$tmp/root
DESTDIR=$root cmake --install "$build" --prefix /usr --component collect >/dev/null
runner=$root/usr/libexec/qm4250-upload/qm4250-collect
fail=0
bad() { echo "FAIL: $*"; fail=1; }
# Every path the install names was filled in.
if out=$(grep -rl '@[A-Z_]*@' "$root"); then bad "placeholders left in $out"; fi

# --- The units. The host's units go beside them so that sysinit.target, timers.target and
# network-online.target resolve; ExecStart must be an executable in the install. verify says
# nothing of units it finds sound, and only warns of bad settings, so any output is a failure.
cp -an /usr/lib/systemd/system/. "$root/usr/lib/systemd/system/"
by_id=usb-FTDI_FT232R_USB_UART_A10K-if00-port0
escaped=$(systemd-escape "$by_id")
if ! out=$(systemd-analyze verify --man=no --root="$root" qm4250-collect@1.service \
  qm4250-collect@1.timer "qm4250-collect@$by_id.timer" "qm4250-collect@$escaped.service" 2>&1) ||
  [ -n "$out" ]; then
  bad "systemd-analyze verify: $out"
fi
# As the README says to turn one on.
systemctl --root="$root" enable qm4250-collect@1.timer >/dev/null 2>&1 || true
[ -L "$root/etc/systemd/system/timers.target.wants/qm4250-collect@1.timer" ] ||
  bad "systemctl enable qm4250-collect@1.timer made no link in timers.target.wants"

# --- The system user, made by the package's postinst as dpkg --root would run it.
printf 'root:x:0:0:root:/root:/bin/bash\n' >"$root/etc/passwd"
printf 'root:x:0:\ndialout:x:20:\n' >"$root/etc/group"
# systemd-sysusers refuses to touch this machine's users: only --root is let through.
mkdir -p "$tmp/guard"
# shellcheck disable=SC2016
printf '#!/bin/sh\ncase $1 in --root=*) exec %s "$@" ;; esac\necho "not under --root: $*"; exit 1\n' \
  "$(command -v systemd-sysusers)" >"$tmp/guard/systemd-sysusers"
chmod +x "$tmp/guard/systemd-sysusers"
out=$(PATH=$tmp/guard:$PATH DPKG_ROOT=$root \
  sh "$(dirname "${BASH_SOURCE[0]}")/../../packaging/systemd/postinst" configure 2>&1) ||
  bad "postinst configure: $out"
grep -q '^qm4250-collect:x:[0-9]*:[0-9]*:[^:]*:/var/lib/qm4250-collect:/usr/sbin/nologin$' \
  "$root/etc/passwd" || bad "no qm4250-collect user with its home in /var/lib: $(grep qm4250 "$root/etc/passwd")"
grep -Eq '^dialout:x:[0-9]+:(.*,)?qm4250-collect(,.*)?$' "$root/etc/group" ||
  bad "qm4250-collect is not in dialout: $(grep '^dialout:' "$root/etc/group")"
grep -Eq '^qm4250:x:[0-9]+:(.*,)?qm4250-collect(,.*)?$' "$root/etc/group" ||
  bad "no group qm4250 with qm4250-collect in it: $(grep '^qm4250:' "$root/etc/group")"
# Owners by number: the names are the temporary root's.
owner=$(awk -F: '$1 == "qm4250-collect" { print $3 }' "$root/etc/passwd")
group=$(awk -F: '$1 == "qm4250" { print $3 }' "$root/etc/group")
shared=$(stat -c '%a %u %g' "$root/var/lib/qm4250-collect/archive" 2>&1)
[ "$shared" = "2770 $owner $group" ] || bad "the shared archive folder: $shared, not 2770 $owner $group"

# --- The runner. The fake upload records its arguments, says FAKE_SAYS on standard error,
# writes the export file when the real one would, and ends with FAKE_STATUS.
mkdir -p "$tmp/bin"
cat >"$tmp/bin/qm4250-upload" <<'EOF'
#!/bin/bash
printf '%s\n' "$*" >>"$FAKE_ARGS"
printf '%b' "$FAKE_SAYS" >&2
case $FAKE_STATUS in 0 | 6 | 7) echo saved >"$2" ;; esac
exit "$FAKE_STATUS"
EOF
cat >"$tmp/bin/date" <<'EOF'
#!/bin/sh
case $1 in +%F) echo 2025-06-30 ;; +%H%M%S) echo 023012 ;; *) exit 1 ;; esac
EOF
chmod +x "$tmp/bin/qm4250-upload" "$tmp/bin/date"
export PATH=$tmp/bin:$PATH QM4250_UPLOAD=$tmp/bin/qm4250-upload FAKE_ARGS=$tmp/args
export QM4250_COLLECT_CONFIG=$tmp/collect.conf JOURNAL_STREAM=8:1
F=$tmp/state

# check NAME INSTANCE CONFIG FAKE_STATUS FAKE_SAYS STATUS ARGS LINE
# ARGS (the upload's arguments, "-" for not run) and LINE (all the runner wrote) are globs.
check() {
  local name=$1 instance=$2 status=$6 args=$7 line=$8 out got
  printf '%b' "$3" >"$QM4250_COLLECT_CONFIG"
  rm -f "$FAKE_ARGS"
  out=$(FAKE_STATUS=$4 FAKE_SAYS=$5 "$runner" "$instance" 2>&1) && got=0 || got=$?
  [ "$got" = "$status" ] || bad "$name: status $got, not $status"
  # shellcheck disable=SC2053
  [[ $out == $line && $out != *$'\n'* ]] || bad "$name: wrote [$out], not one line like [$line]"
  [ -e "$FAKE_ARGS" ] && got=$(<"$FAKE_ARGS") || got=-
  # shellcheck disable=SC2053
  [[ $got == $args ]] || bad "$name: ran [$got], not [$args]"
}

day=2025-06-30
base="FOLDER=$F\n"
check "COMM number" 1 "# comment\n\n  $base" 0 'Records: 100\nSaved 120 test records to x\nArchived 37 new tests in /a.sqlite\n' \
  0 "--export $F/1/1-$day.xlsx --port 1 --archive" \
  "<6>COMM 1: saved and archived (status 0), $F/1/1-$day.xlsx: Saved 120 test records to x; Archived 37 new tests in /a.sqlite"
for form in "$by_id" "$escaped"; do
  rm -rf "${F:?}/$by_id"
  check "by-id name $form as %I gives it" "$(systemd-escape -u "$form")" "$base" 0 'Saved 1 test records to x\n' \
    0 "--export $F/$by_id/$by_id-$day.xlsx --device /dev/serial/by-id/$by_id --archive" \
    "<6>/dev/serial/by-id/$by_id: saved and archived (status 0), $F/$by_id/$by_id-$day.xlsx: Saved 1 *"
done
check "archive, count, format, quoted folder" 3 "FOLDER=\"$F/a b\"\nARCHIVE='postgresql://qa@db/plant?sslmode=require'\nCOUNT=50\r\nFORMAT=csv\n" \
  0 '' 0 "--export $F/a b/3/3-$day.csv --port 3 --count 50 --archive postgresql://qa@db/plant?sslmode=require" \
  "<6>COMM 3: saved and archived (status 0), $F/a b/3/3-$day.csv: the upload said nothing"
check "no answer" 2 "$base" 4 'qm4250-upload: no response from the QM4250 on /dev/ttyS1\n' \
  4 "--export $F/2/2-$day.xlsx --port 2 --archive" \
  "<3>COMM 2: no history frame (status 4), $F/2/2-$day.xlsx: no response from the QM4250 on /dev/ttyS1"
check "saved, not archived, line errors counted" 2 "$base" 6 \
  'qm4250-upload: line error: framing error\nRecords: 100\nqm4250-upload: line error: framing error\nqm4250-upload: archive not written: locked\nSaved 5 test records to x\n' \
  6 "--export $F/2/2-$day.xlsx --port 2 --archive" \
  "<3>COMM 2: saved, not archived (status 6), $F/2/2-$day.xlsx: line error: framing error (2 times); archive not written: locked; Saved 5 test records to x"
QM4250_UPLOAD=$tmp/none check "no program" 5 "$base" 0 '' 127 - "<3>COMM 5: failed (status 127), *$tmp/none*"
touch "$tmp/file"
check "folder not made" 5 "FOLDER=$tmp/file/x\n" 0 '' 5 - "<3>COMM 5: not saved (status 5), $tmp/file/x/5/5-$day.xlsx: mkdir: *"

# Runs of one day never replace a file: the 2nd is named by its time, the 3rd of that second too.
rm -rf "$F/1"
for name in "1-$day" "1-$day-023012" "1-$day-023012-2"; do
  check "again the same day: $name" 1 "$base" 0 '' 0 "--export $F/1/$name.xlsx --port 1 --archive" "<6>*"
done
ln -s nowhere "$F/1/1-$day-023012-3.xlsx"
check "a dangling link is a file too" 1 "$base" 0 '' 0 "--export $F/1/1-$day-023012-4.xlsx *" "<6>*"

# Refused before anything is run: one line naming the file, the line and the key. Each config
# names the test's folder first, so that a fault never writes outside it.
C=$QM4250_COLLECT_CONFIG
while IFS='|' read -r instance config line; do
  check "refused: $instance $config" "$instance" "$base$config\n" 0 '' 78 - "<3>qm4250-collect: $line"
done <<EOF
1|FORMAT=pdf|$C:2: FORMAT must be xlsx, xls or csv, not 'pdf'
1|# a comment\nFOLDER=state|$C:3: FOLDER must be an absolute path, not 'state'
1|COUNT=0|$C:2: COUNT must be empty or a whole number from 1 on, not '0'
1|ARCHIVE=http://db/plant|$C:2: ARCHIVE must be *, not 'http://db/plant'
1|ARCHIVE=-x|$C:2: ARCHIVE must be *, not '-x'
1|FOLDER=/tmp/\$(touch $tmp/ran)|$C:2: FOLDER: put a value with blanks or quotes in '...': *
1|FOLDER="/tmp/\`touch $tmp/ran\`"|$C:2: FOLDER: put a value with blanks or quotes in '...': *
1|FOLDR=/srv|$C:2: unknown key FOLDR *
1|export FOLDER=/srv|$C:2: not KEY=value: export FOLDER=/srv
0||no COMM number: 0
..||no by-id device name: ..
||usage: *
EOF
[ ! -e "$tmp/ran" ] || bad "a configuration value was run as a command"
exit $fail
