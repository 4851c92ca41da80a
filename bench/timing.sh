# Timing helpers for the anchor scripts, sourced by them.

# The command's time in milliseconds.
millis() {
  local start
  start=$(date +%s%N)
  "$@" >/dev/null
  echo $((($(date +%s%N) - start) / 1000000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
