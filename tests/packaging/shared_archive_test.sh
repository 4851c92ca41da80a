#!/usr/bin/env bash
# The plant's archive as the package shares it, tried by ordinary users: a writer uploads from the
# simulator into a setgid, group-writable folder while an engineer of the group reads it and sets
# limits, both finding it through the system's archive.ini; an outsider is told who owns it.
# Needs root, to make the users; skipped (77) otherwise.
# Arguments: qm4250-upload qm4250-archive qm4250-sim
set -uo pipefail
upload=$1 archive=$2 sim=$3
[ "$(id -u)" = 0 ] || { echo "needs root to make users"; exit 77; }

suffix=$$ group=qmt$$ writer=qmtw$$ engineer=qmte$$ outsider=qmto$$
work=$(mktemp -d)
chmod 0755 "$work"
cleanup() {
  kill "${sim_pid:-}" 2>/dev/null
  for user in "$writer" "$engineer" "$outsider"; do userdel "$user" 2>/dev/null; done
  groupdel "$group" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
groupadd "$group"
useradd --no-create-home -G "$group" "$writer"
useradd --no-create-home -G "$group" "$engineer"
useradd --no-create-home "$outsider"

fail=0
failed() { echo "FAIL: $*"; fail=1; }
mkdir -p "$work/xdg/qm4250-upload" "$work/archive"
chown "$writer:$group" "$work/archive"
chmod 2770 "$work/archive"
plant=$work/archive/plant.sqlite
echo "archive=$plant" >"$work/xdg/qm4250-upload/archive.ini"
cp "$upload" "$archive" "$sim" "$work/"

# As USER, with a home of its own and the system's configuration in $work/xdg.
as() {
  local user=$1
  shift
  mkdir -p "$work/home-$user" && chown "$user" "$work/home-$user"
  runuser -u "$user" -- env -i PATH=/usr/bin:/bin HOME="$work/home-$user" XDG_CONFIG_DIRS="$work/xdg" \
    QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 "$@"
}

coproc SIM { as "$writer" "$work/qm4250-sim" --baud 0 --exit-after-upload; }
sim_pid=$SIM_PID
read -r device <&"${SIM[0]}"
as "$writer" "$work/qm4250-upload" --export "$work/home-$writer/h.csv" --device "$device" --archive \
  >"$work/upload.out" 2>&1 &
upload_pid=$!
# The engineer reads while the upload writes: every read sees a whole archive or none yet.
while kill -0 "$upload_pid" 2>/dev/null; do
  out=$(as "$engineer" "$work/qm4250-archive" export "$work/home-$engineer/x.csv" 2>&1)
  [[ $out =~ ^([0-9]+\ tests\ written|qm4250-archive:\ the\ archive\ cannot\ be\ read:\ no\ archive) ]] ||
    failed "a read during the upload: $out"
done
wait "$upload_pid" || failed "upload: $(cat "$work/upload.out")"

limits=$(as "$engineer" "$work/qm4250-archive" limits A12 --upper 0.005 --unit sccm 2>&1) ||
  failed "the engineer's limits: $limits"
shown=$(as "$writer" "$work/qm4250-archive" limits A12 2>&1)
[[ $shown == "PN A12: upper 0.005, lower none, unit sccm, set by "* ]] || failed "limits seen: $shown"

for file in "$plant" "$plant-wal" "$plant-shm"; do
  [ -e "$file" ] || continue
  mode=$(stat -c '%a %G' "$file")
  [ "$mode" = "660 $group" ] || failed "$file: $mode, not 660 $group"
done
[ "$(stat -c '%a %G' "$work/archive")" = "2770 $group" ] || failed "the folder's mode or group changed"

denied=$(as "$outsider" "$work/qm4250-archive" export "$work/x.csv" 2>&1)
[[ $denied == *"permission denied: $work/archive belongs to $writer, group $group, mode 2770"* ]] ||
  failed "the outsider: $denied"
[[ $denied != *"no archive at"* && $denied != *"unable to open database file"* ]] ||
  failed "the outsider told the wrong cause: $denied"
exit $fail
