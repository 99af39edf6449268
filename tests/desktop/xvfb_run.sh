#!/usr/bin/env bash
# A run of the real program at a display: TaxLinkAlto on a virtual X server
# (Xvfb) with the desktop front end, the keys sent to its windows with
# xdotool as a person would type them. The report must be written and the
# transcript must show the dialog's run. Exits 77 (skipped) when Xvfb or
# xdotool is missing.
#   xvfb_run.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
source_dir=$2

if [ "${3:-}" != "--inside" ]; then
  for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
      echo "skipped: $tool is not installed (Debian: xvfb, xdotool)"
      exit 77
    fi
  done
  # Xvfb picks a free display itself and names it once it takes clients
  # (-displayfd): runs at once (other builds' tests) never share a display,
  # as xvfb-run -a's guess from the lock files could.
  numberfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numberfile" 2>/dev/null &
  xvfb=$!
  trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$numberfile"' EXIT
  for _ in $(seq 1 300); do
    [ -s "$numberfile" ] && break
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
  done
  number=$(head -n 1 "$numberfile")
  if [ -z "$number" ]; then
    echo "FAILED: Xvfb did not start"
    exit 1
  fi
  status=0
  DISPLAY=":$number" timeout 150 bash "$0" "$bin" "$source_dir" --inside || status=$?
  exit "$status"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The program with its front-end modules, which it loads from its own folder.
cp "$bin/TaxLinkAlto" "$bin"/taxlink-*.so "$work/"
printf '[ProgramLevel]\r\nSY26=1\r\n' >"$work/VelzoDef.ini"
export MVHOST_HOME="$work/home" TAXLINK_DRIVES="C=/"
unset WAYLAND_DISPLAY TAXLINK_UI_SCRIPT QT_QPA_PLATFORM
"$bin/mvhost" init >/dev/null
data="$source_dir/examples/standard-corporation/sakura.json"
"$bin/mvhost" import "$data" >/dev/null
number=$(sed -n 's/^ *"data_no": *\([0-9][0-9]*\).*/\1/p' "$data" | head -n 1)
user=$(sed -n '/"users"/,$ s/^ *"id": *"\([^"]*\)".*/\1/p' "$data" | head -n 1)
"$bin/mvhost" select "$user" "$number" >/dev/null
"$bin/mvhost" state current_user "$user" >/dev/null

report="$work/out/sakura.xml"  # out/ does not exist: the program offers to create it
path="C:$(printf '%s' "$report" | tr '/' '\\')"
transcript="$work/transcript.jsonl"

# A display that cannot be opened: the front end gives way to the none
# front end, which cancels the dialog (result 1), instead of Qt ending the
# process.
status=0
DISPLAY=:9999 TAXLINK_UI=desktop "$work/TaxLinkAlto" >"$work/nodisplay.log" 2>&1 || status=$?
if [ "$status" -ne 1 ] || ! grep -q 'the desktop front end cannot open the display ":9999"' "$work/nodisplay.log"; then
  echo "FAILED: without a display the run ended with $status:"
  cat "$work/nodisplay.log"
  exit 1
fi

TAXLINK_UI=desktop TAXLINK_UI_TRANSCRIPT="$transcript" "$work/TaxLinkAlto" >"$work/program.log" 2>&1 &
program=$!

fail() {
  echo "FAILED: $*"
  cat "$work/program.log"
  [ -f "$transcript" ] && cat "$transcript"
  kill "$program" 2>/dev/null || true
  exit 1
}
# The visible window whose name matches, other than the one given.
window() {
  local name=$1 other=${2:-none} id
  for _ in $(seq 1 300); do
    id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | grep -vx "$other" | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    kill -0 "$program" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
send() {  # window, then xdotool key or type arguments
  local id=$1
  shift
  xdotool windowfocus --sync "$id"
  xdotool "$@"
}

dialog=$(window '集計条件') || fail "the conditions dialog did not appear"
send "$dialog" key --clearmodifiers alt+o      # the path edit, its text selected
send "$dialog" type --delay 15 "$path"
send "$dialog" key F12
question=$(window '^消費税$') || fail "no question about the missing folder"
send "$question" key Return                    # はい: create the folder
closing=$(window '^消費税$' "$question") || fail "no closing message"
send "$closing" key Return
status=0
wait "$program" || status=$?

[ "$status" -eq 0 ] || fail "the program ended with $status"
[ -s "$report" ] || fail "no report at $report"
grep -q '</REPORT>' "$report" || fail "the report is incomplete"
grep -q '"event":"dialog","id":130,.*"result":1005' "$transcript" || fail "the transcript lacks the run"
grep -q '"answer":"yes"' "$transcript" || fail "the folder question was not answered Yes"
echo "passed: the report was written at a display"
