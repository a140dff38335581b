#!/usr/bin/env bash
# The real desktop program on a virtual X display, driven as a person drives
# it: types the worked example (k, N, a seven-character mean, a covariate
# row pasted from the clipboard, the correlation), presses Continue, types
# stray keys into the results, saves them with Save Output and compares the
# file with the command line's report of the same worksheet; returns to the
# worksheet and runs again (the correlation is kept), chooses Edit report and
# saves what was typed then, and leaves through Exit. Fails when the program
# crashes or any step does not happen in time; never hangs.
#
# Usage: scripts/smoke_desktop.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-${HARROW_BUILD_DIR:-build}}
APP=$BUILD_DIR/desktop/harrow
CLI=$BUILD_DIR/cli/harrow-cli
STEP_TIMEOUT=${HARROW_SMOKE_TIMEOUT:-60}   # seconds for any one step

for tool in Xvfb xdotool xclip timeout; do
  command -v "$tool" >/dev/null || { echo "smoke_desktop: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done
[ -x "$APP" ] && [ -x "$CLI" ] || { echo "smoke_desktop: build $APP and $CLI first" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "smoke_desktop: FAILED: $*" >&2
  if [ -n "$app_pid" ] && ! kill -0 "$app_pid" 2>/dev/null; then
    wait "$app_pid" && status=0 || status=$?
    echo "smoke_desktop: the program has ended with status $status" >&2
    app_pid=
  fi
  [ -s "$work/app.log" ] && sed 's/^/  program: /' "$work/app.log" >&2
  exit 1
}

# With HARROW_SMOKE_SHOTS=folder, each window is photographed there at its
# default size (the whole screen, as the user sees it).
shot() {
  [ -n "${HARROW_SMOKE_SHOTS:-}" ] || return 0
  sleep 0.5
  import -window root "$HARROW_SMOKE_SHOTS/$1.png" 2>/dev/null || true
}

# Every X client call is bounded in time, and any failing step says where.
xdo() { timeout "$STEP_TIMEOUT" xdotool "$@"; }
trap 'fail "the step at line $LINENO failed"' ERR

# A display of its own: Xvfb picks a free number and writes it to fd 3. It
# does not reset when its last client leaves: a program connecting during a
# reset is refused.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 1 $((STEP_TIMEOUT * 10))); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb gave no display"
export DISPLAY=:$(head -n1 "$work/display")

# The program runs from a copy so that its data file (Harrow.txt, kept beside
# the program in a folder it may write) is written there, not into the tree;
# its home and data folders are the temporary folder too.
cp "$APP" "$work/harrow"
mkdir -m 700 "$work/runtime"
(cd "$work" && exec env QT_QPA_PLATFORM=xcb HOME="$work" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime" timeout $((STEP_TIMEOUT * 5)) ./harrow) >"$work/app.log" 2>&1 &
app_pid=$!

running() { kill -0 "$app_pid" 2>/dev/null || fail "the program is not running (crashed?) $1"; }

# The id of the visible window whose title matches, once it is there.
wait_window() {
  local id
  id=$(xdo search --sync --onlyvisible --name "$1" 2>/dev/null | head -n1) || true
  [ -n "$id" ] || fail "no window titled '$1' appeared"
  running "after '$1' appeared"
  echo "$id"
}

# Waits until the window has gone (a closed box, a hidden window).
wait_gone() {
  for _ in $(seq 1 $((STEP_TIMEOUT * 10))); do
    xdo search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "the window '$1' did not close"
}

# Keys and text go to the window given, once it has the keyboard focus.
focus() {
  running "before focusing a window"
  xdo windowfocus --sync "$1" 2>/dev/null || xdo windowfocus "$1" 2>/dev/null || fail "could not focus window $1"
}
type_text() { xdo type --delay 20 "$1"; }
key() { xdo key --delay 30 "$@"; }

worksheet=$(wait_window '^Harrow:')
shot worksheet "$worksheet"
focus "$worksheet"
# The empty covariate field has the focus at start.
type_text "1"; key Tab
type_text "20"
# Alt+D goes to the grid, on the task's name (the cell current since the
# covariate field was left), its text selected.
key alt+d
# A six-letter name and a seven-character mean are kept without a box.
type_text "Memory"
key Tab; type_text "50.0000"; key Tab; type_text "10"; key Tab; type_text "30"
# The covariate's mean, SD and score pasted as a spreadsheet copies a row.
printf '10\t2\t8\n' | xclip -selection clipboard
key Tab; type_text "Educ"; key Tab; key ctrl+v
xdo search --onlyvisible --name '^Warning$' >/dev/null 2>&1 && fail "a box came up while typing or pasting"
# Mean, SD, score, then past the last cell: Continue has the focus.
key Tab Tab Tab Return

matrix=$(wait_window '^Matrix Entry$')
shot matrix "$matrix"
focus "$matrix"
# The first correlation cell has the focus, its text selected; Tab goes on to
# the matrix window's Continue.
type_text "0.5"; key Tab Return

results=$(wait_window '^Results viewer:')
running "after the analysis"
shot results "$results"
focus "$results"
# Keys typed into the report by accident change nothing that is saved.
xdo mousemove --window "$results" 300 200 click 1
type_text "stray keys"; key Return BackSpace ctrl+z
save_output() {
  focus "$results"
  # Save Output by its shortcut (the window's size follows its report).
  key ctrl+s
  local save
  save=$(wait_window '^Save As$')
  focus "$save"
  key ctrl+a
  type_text "$1"
  key Return
  for _ in $(seq 1 $((STEP_TIMEOUT * 10))); do
    [ -s "$1" ] && break
    running "while saving"
    sleep 0.1
  done
  [ -s "$1" ] || fail "Save Output wrote no file"
}
save_output "$work/saved.txt"

# The command line's report of the same worksheet.
printf '1\n20\nMemory\n50.0000\n10\n30\nEduc\n10\n2\n8\n1.000\n0.500\n1.000\n' >"$work/worksheet.txt"
timeout $((STEP_TIMEOUT * 3)) "$CLI" "$work/worksheet.txt" >"$work/cli.txt" || fail "harrow-cli failed"
if ! diff <(tr -d '\r' <"$work/saved.txt") "$work/cli.txt" >"$work/diff.txt"; then
  cat "$work/diff.txt" >&2
  fail "the saved report differs from the command line's"
fi
[ -f "$work/Harrow.txt" ] || fail "the data file was not written beside the program"

# Return to Worksheet (its mnemonic), Continue again in this first session: the matrix
# starts from the correlation entered (no question about default cells).
wait_gone '^Save As$'
focus "$results"
key alt+r
worksheet=$(wait_window '^Harrow:')
focus "$worksheet"
key alt+c  # Continue
matrix=$(wait_window '^Matrix Entry$')
focus "$matrix"
key Tab Return
xdo search --onlyvisible --name '^Confirm$' >/dev/null 2>&1 && fail "the rerun asked about default correlations"
results=$(wait_window '^Results viewer:')
# Edit report (the third menu, its first item), then typed text is kept and
# the title says the report was edited by hand.
focus "$results"
key F10 Right Right Return
xdo mousemove --window "$results" 300 200 click 1
key ctrl+End; type_text "typed by hand"
wait_window 'edited by hand' >/dev/null
save_output "$work/saved2.txt"
[ "$(grep -c '   0.50000   1.00000' "$work/saved2.txt")" -eq 2 ] || fail "the rerun did not keep the correlation 0.5"
grep -q 'typed by hand' "$work/saved2.txt" || fail "text typed after Edit report was not saved"
grep -q 'stray keys' "$work/saved2.txt" && fail "text typed before Edit report reached the report"

# Exit (its shortcut), answered Yes: the program ends normally.
focus "$results"
key ctrl+q
confirm=$(wait_window '^Confirm$')
focus "$confirm"; key Return
for _ in $(seq 1 $((STEP_TIMEOUT * 10))); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "the program did not end after Exit"
wait "$app_pid" && status=0 || status=$?
app_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "smoke_desktop: passed (typed and pasted worksheet, results saved as the command line reports them, stray keys kept out of the report, the rerun kept the correlation, Edit report, clean exit)"
