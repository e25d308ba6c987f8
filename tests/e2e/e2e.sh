#!/usr/bin/env bash
# End-to-end tests of editor.exe, driven as a user drives it: real key presses through the
# X server (xdotool), windows found by caption, titles read from the window manager's view
# and message boxes read by a small probe program. Run by ctest inside scripts/test.sh,
# which provides the private display, prefix and server.
#
#   e2e.sh <case> <editor.exe> <probe.exe> <samples-folder>
#   e2e.sh download <folder of the zip made by make dist> <probe.exe> <samples-folder>
#
# Each case is a list of steps in the table at the end; each step is a function step_NAME
# below (a dash in the table's name is an underscore here).
set -eEuo pipefail
[ -z "${E2E_TRACE:-}" ] || set -x

case_name=$1
EDITOR_EXE=$2
PROBE_EXE=$3
SAMPLES=$4
here=$(cd "$(dirname "$0")" && pwd)
HELP='F1=menu Ctrl+,Ctrl-=zoom Tab=next word Esc=end  '

work=$(mktemp -d)
# The program's current folder at its start.
START_FOLDER=$work
PROGRAM_PID= WM_PID= STEP=
cleanup() {
  if [ -n "$PROGRAM_PID" ] && kill -0 "$PROGRAM_PID" 2>/dev/null; then
    kill "$PROGRAM_PID" 2>/dev/null || true
    wait "$PROGRAM_PID" 2>/dev/null || true
  fi
  if [ -n "$WM_PID" ]; then
    kill "$WM_PID" 2>/dev/null || true
    wait "$WM_PID" 2>/dev/null || true
    stop_wine_and_display
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: ${STEP:+($STEP) }$*" >&2; exit 1; }
trap 'fail "line $LINENO: $BASH_COMMAND"' ERR

# How long to wait for anything the program is expected to do. A loaded machine may take
# many seconds to start Wine, paint a window or take a key; only what never comes fails.
PATIENCE=60

# --- Looking and pressing ---------------------------------------------------------------

# The first visible window whose title matches the pattern, or nothing after PATIENCE. A
# search fails when a window goes away while it runs, so it is simply made again.
wait_window() {
  local end=$((SECONDS + PATIENCE)) found
  while :; do
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    if [ -n "$found" ]; then
      echo "$found"
      return 0
    fi
    [ "$SECONDS" -lt "$end" ] || return 0
    sleep 0.1
  done
}

# Fails when a visible window's title matches the pattern (expect_no_window <pattern> <what>).
expect_no_window() {
  [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ] || fail "$2"
}

# Gives a window the keyboard focus; a window that has only just appeared may refuse it.
focus() {
  local end=$((SECONDS + PATIENCE))
  until xdotool windowfocus --sync "$1" 2>/dev/null; do
    [ "$SECONDS" -lt "$end" ] || fail "window $1 does not take the focus"
    sleep 0.1
  done
}

# Presses keys (xdotool key names) in a window.
press() {
  local window=$1
  shift
  focus "$window"
  xdotool key --clearmodifiers --delay 40 "$@"
}

# Waits for a window to end (wait_closed <window> <what>).
wait_closed() {
  local end=$((SECONDS + PATIENCE))
  while xdotool getwindowname "$1" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$end" ] || fail "$2 did not close"
    sleep 0.05
  done
}

# The start dialog takes input: no run, and no message box of one, is under way. Keys sent
# to it while it is disabled are lost.
start_dialog_enabled() {
  [ "$(wine "$PROBE_EXE" window Test 0 | tr -d '\r' | sed -n 's/^enabled //p')" = 1 ]
}
wait_start_dialog() {
  local end=$((SECONDS + PATIENCE))
  until start_dialog_enabled; do
    [ "$SECONDS" -lt "$end" ] || fail "the start dialog stays disabled"
    sleep 0.1
  done
}

# Dumps the screen until an xwd.py check of the dump passes (expect_screen <check> [args]):
# a window's title, its painting and the screen's update come one after another.
expect_screen() {
  local check=$1 end=$((SECONDS + PATIENCE))
  shift
  until python3 "$here/xwd.py" grab "$work/screen.xwd" &&
    python3 "$here/xwd.py" "$check" "$work/screen.xwd" "$@" 2>"$work/check.txt"; do
    [ "$SECONDS" -lt "$end" ] || fail "the screen fails $check: $(cat "$work/check.txt")"
    sleep 0.2
  done
}

# Waits for the program to end, which must be with exit code 0 (after <what it was ended by>).
expect_exit() {
  local status=0
  wait "$PROGRAM_PID" || status=$?
  PROGRAM_PID=
  [ "$status" -eq 0 ] || fail "exit code $status after $1"
}

# The program's memory in use, in kB: its resident set.
program_memory() { sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB$/\1/p' "/proc/$PROGRAM_PID/status"; }

# Waits until the program holds more than the given kB (expect_memory above <kB>), or no
# more than that (below: what it read is let go).
expect_memory() {
  local way=$1 bound=$2 end=$((SECONDS + PATIENCE)) held
  while held=$(program_memory); do
    if [ "$way" = above ]; then
      [ "$held" -le "$bound" ] || return 0
    else
      [ "$held" -gt "$bound" ] || return 0
    fi
    [ "$SECONDS" -lt "$end" ] ||
      fail "the program holds $held kB, expected $([ "$way" = above ] && echo more than || echo at most) $bound"
    sleep 0.05
  done
}

crlf() { printf '%s\r\n' "$@"; }

# The Windows path of a file in the case's folder.
windows_path() { winepath -w "$work/$1"; }

# --- Steps: files -----------------------------------------------------------------------

# A text of CR LF lines in the case's folder (text <name> <line>...).
step_text() {
  mkdir -p "$(dirname "$work/$1")"
  crlf "${@:2}" >"$work/$1"
}

# Files of the samples folder, copied into the case's folder.
step_sample() {
  local file
  for file in "$@"; do cp "$SAMPLES/$file" "$work/"; done
}

# The program's next start is in this folder of the case's own.
step_folder() {
  START_FOLDER="$work/$1"
  mkdir -p "$START_FOLDER"
}

# A text whose load lasts a while: E2E_LOAD_MB megabytes (500 unless told) of short lines,
# as a load's time goes mostly by its lines, in E2E_LOAD_DIR (the case's own folder unless
# told), made once.
step_long_text() {
  local folder=${E2E_LOAD_DIR:-$work} size=${E2E_LOAD_MB:-500}
  LONG_TEXT="$folder/righe-brevi-$size.txt"
  [ -f "$LONG_TEXT" ] && return 0
  python3 - "$LONG_TEXT.part" "$size" <<'MAKE'
import sys
line = b'riga del testo\r\n'
block = line * (1048576 // len(line))
with open(sys.argv[1], 'wb') as out:
    for _ in range(int(sys.argv[2]) * 1048576 // len(block)):
        out.write(block)
MAKE
  mv "$LONG_TEXT.part" "$LONG_TEXT"
}

# --- Steps: the program and its start dialog --------------------------------------------

step_start() {
  (cd "$START_FOLDER" && exec wine "$EDITOR_EXE" </dev/null >/dev/null 2>&1) &
  PROGRAM_PID=$!
  TEST_WID=$(wait_window '^Test$')
  [ -n "$TEST_WID" ] || fail "no start dialog"
}

# Ends the program from its start dialog with keys, or with a click on its close box
# (end-by close-box); it must end with exit code 0.
step_end_by() {
  if [ "$1" = close-box ]; then
    local close_x close_y
    read -r close_x close_y <<<"$(wine "$PROBE_EXE" window Test 100 | tr -d '\r' | sed -n 's/^close //p')"
    xdotool mousemove --sync "$close_x" "$close_y" click 1
  else
    press "$TEST_WID" "$1"
  fi
  expect_exit "$1"
}

# Esc in the start dialog, once it takes input, ends the program with exit code 0.
step_quit() {
  wait_start_dialog
  step_end_by Escape
}

step_start_dialog_enabled() { wait_start_dialog; }

# Disabled while an editor run lasts.
step_start_dialog_disabled() {
  [ "$(wine "$PROBE_EXE" window Test 100 | tr -d '\r' | sed -n 's/^enabled //p')" = 0 ] ||
    fail "the start dialog stays enabled under the editor"
}

# The start dialog's client area, its place in the middle of the work area, its button.
step_start_dialog_layout() {
  local probe_out left top right bottom work_left work_top work_right work_bottom
  probe_out=$(wine "$PROBE_EXE" window Test 100 | tr -d '\r')
  line() { printf '%s\n' "$probe_out" | sed -n "s/^$1 //p"; }
  read -r left top right bottom <<<"$(line frame)"
  read -r work_left work_top work_right work_bottom <<<"$(line work)"
  [ "$(line client)" = "400 100" ] || fail "client area $(line client), expected 400 100"
  [ "$left" -eq $(((work_left + work_right - (right - left)) / 2)) ] &&
    [ "$top" -eq $(((work_top + work_bottom - (bottom - top)) / 2)) ] ||
    fail "not centred: frame $left $top $right $bottom in the work area $(line work)"
  [ "$(line control)" = "Load file|5 5 160 20" ] || fail "button: $(line control)"
  [ "$(line enabled)" = 1 ] || fail "the start dialog is disabled"
}

# A click on "Load file" while the picked line's box waits starts no second run.
step_click_load_file_under_box() {
  eval "$(xdotool getwindowgeometry --shell "$TEST_WID")"
  # The button's left half: 5 pixels into a 100-pixel-high client area under the title.
  xdotool mousemove $((X + 40)) $((Y + HEIGHT - 100 - 3 + 15)) click 1
  sleep 1.5
  expect_no_window '^Open File$' "Load file started a second run under the message box"
}

# A click on the start dialog, away from its button, makes it the active window again.
step_click_start_dialog() {
  eval "$(xdotool getwindowgeometry --shell "$TEST_WID")"
  xdotool mousemove $((X + WIDTH - 60)) $((Y + HEIGHT - 30)) click 1
}

# --- Steps: the open-file dialog --------------------------------------------------------

# "Load file", once the start dialog takes input, and the open-file dialog it opens.
step_open_dialog() {
  wait_start_dialog
  press "$TEST_WID" space
  DIALOG_WID=$(wait_window '^Open File$')
  [ -n "$DIALOG_WID" ] || fail "no open-file dialog"
}

step_dialog_keys() { press "$DIALOG_WID" "$@"; }

# Types into the open-file dialog's name field, each text followed by Return.
step_dialog_type() {
  local text
  focus "$DIALOG_WID"
  for text in "$@"; do
    xdotool type --delay 30 "$text"
    xdotool key Return
  done
}

# Load file, then the file's name typed into the open-file dialog; with --pick, the folder's
# first file picked in the dialog's list instead (Shift+Tab to the list, Down).
step_choose() {
  step_open_dialog
  if [ "$1" = --pick ]; then
    focus "$DIALOG_WID"
    xdotool key --delay 40 shift+Tab Down
    xdotool key Return
  else
    step_dialog_type "$1"
  fi
}

# Waits for the editor window.
step_editor() {
  EDITOR_WID=$(wait_window "^F1=menu")
  [ -n "$EDITOR_WID" ] || fail "no editor window after loading ${1:-the file}"
}

# Chooses the file and waits for the editor.
step_load() {
  step_choose "$1"
  step_editor "$1"
}

# The open-file dialog's own warning about a name that does not exist, which lies wholly
# inside the dialog, is drawn on the screen; Return closes it.
step_warning_box() {
  local warning= end=$((SECONDS + PATIENCE))
  until [ -n "$warning" ] || [ "$SECONDS" -ge "$end" ]; do
    # The box has no caption: the program's third visible window.
    warning=$(xdotool search --onlyvisible --classname '^editor\.exe$' 2>/dev/null |
      grep -vx -e "$DIALOG_WID" -e "$TEST_WID" | head -n 1 || true)
    sleep 0.1
  done
  [ -n "$warning" ] || fail "no warning box"
  eval "$(xdotool getwindowgeometry --shell "$warning")"
  expect_screen check-box "$X" "$Y" "$WIDTH" "$HEIGHT"
  press "$warning" Return
  wait_closed "$warning" "the warning box"
}

# --- Steps: the editor ------------------------------------------------------------------

step_keys() { press "$EDITOR_WID" "$@"; }

# Keys pressed where the keyboard is, at once, without giving the editor the focus first.
step_keys_at_once() { xdotool key "$@"; }

step_focus_editor() { focus "$EDITOR_WID"; }

step_pause() { sleep "$1"; }

# F1, then keys in the command menu.
step_menu() {
  press "$EDITOR_WID" F1
  local menu
  menu=$(wait_window '^Help$')
  [ -n "$menu" ] || fail "no command menu"
  press "$menu" "$@"
}

# Waits until the editor's title is the help text and then the status given.
step_title() {
  local expected=$HELP$1 end=$((SECONDS + PATIENCE)) title
  while :; do
    title=$(xdotool getwindowname "$EDITOR_WID" 2>/dev/null || true)
    [ "$title" = "$expected" ] && return 0
    [ "$SECONDS" -lt "$end" ] || fail "title is '$title', expected '$expected'"
    sleep 0.05
  done
}

# Waits until the screen passes a check of xwd.py (screen <check> [args]).
step_screen() { expect_screen "$@"; }

step_closed() { wait_closed "$EDITOR_WID" "the editor window"; }

step_no_editor() { expect_no_window '^F1=menu' "an editor window opened"; }

# Maximized by the window manager, the editor window covers the screen.
step_editor_covers_screen() {
  local screen_width screen_height cover geometry end=$((SECONDS + PATIENCE))
  read -r screen_width screen_height <<<"$(xdotool getdisplaygeometry)"
  cover="0 0 $screen_width $screen_height "
  until geometry=$(xwininfo -id "$EDITOR_WID" |
    sed -n 's/^ *\(Absolute upper-left [XY]\|Width\|Height\): *//p' | tr '\n' ' ') &&
    [ "$geometry" = "$cover" ]; do
    [ "$SECONDS" -lt "$end" ] ||
      fail "the editor window is at $geometry(x y width height), not over the screen"
    sleep 0.1
  done
}

# Not a check: the screen dumped for the README's picture, into SCREENSHOT_OUT.
step_screenshot() { python3 "$here/xwd.py" grab "${SCREENSHOT_OUT:?}" || fail "no screen dump"; }

# --- Steps: message boxes ---------------------------------------------------------------

# Waits for the message box; with --seen, until it is drawn on the screen as well.
step_box() {
  local box
  box=$(wait_window '^Talvermoor$')
  [ -n "$box" ] || fail "no message box"
  if [ "${1:-}" = --seen ]; then
    eval "$(xdotool getwindowgeometry --shell "$box")"
    expect_screen check-box "$X" "$Y" "$WIDTH" "$HEIGHT"
  fi
}

# Reads the message box's text, which must be the one given, and presses its OK.
step_message() {
  local text
  text=$(wine "$PROBE_EXE" message Talvermoor $((PATIENCE * 1000)) | tr -d '\r') ||
    fail "no message box, expected '$1'"
  [ "$text" = "$1" ] ||
    fail "message box says '$text' ($(printf '%s' "$text" | xxd -p)), expected '$1'"
}

# After the editor ends, the run shows its box or gives the start dialog back at once: a
# box that stays unanswered keeps the start dialog disabled.
step_no_message() {
  local end=$((SECONDS + PATIENCE))
  step_closed
  until start_dialog_enabled; do
    expect_no_window '^Talvermoor$' "unexpected message box"
    [ "$SECONDS" -lt "$end" ] || fail "the start dialog stays disabled"
    sleep 0.1
  done
}

# --- Steps: long loads ------------------------------------------------------------------

# What a load is seen to hold beyond the program's own memory, in kB.
LOAD_HELD=20000

step_note_memory() { MEMORY_BEFORE=$(program_memory); }

# Starts the load of the long text (by its full path) and waits for its progress window;
# with --seen, until the window is drawn on the screen as well.
step_start_long_load() {
  step_choose "$(winepath -w "$LONG_TEXT")"
  PROGRESS_WID=$(wait_window '^Caricamento$')
  [ -n "$PROGRESS_WID" ] || fail "no progress window"
  eval "$(xdotool getwindowgeometry --shell "$PROGRESS_WID")"
  [ "${1:-}" != --seen ] || expect_screen check-box "$X" "$Y" "$WIDTH" "$HEIGHT"
}

step_memory_grows() { expect_memory above $((MEMORY_BEFORE + LOAD_HELD)); }

# The keys and clicks of a case must come while the load lasts.
step_loading() {
  xdotool getwindowname "$PROGRESS_WID" >/dev/null 2>&1 ||
    fail "the load ended before the case could act; a larger E2E_LOAD_MB makes it last"
}

step_progress_keys() {
  STOPPED_AT=$SECONDS
  press "$PROGRESS_WID" "$@"
}

# "Annulla": at the right of the progress window's client area, under the bar.
step_click_cancel() {
  STOPPED_AT=$SECONDS
  xdotool mousemove $((X + WIDTH - 30)) $((Y + HEIGHT - 30)) click 1
}

# After a stopped load: the start dialog is back, with no editor and the text let go.
step_load_stopped() {
  wait_closed "$PROGRESS_WID" "the progress window"
  wait_start_dialog
  echo "back at the start dialog $((SECONDS - STOPPED_AT)) s after the stop"
  step_no_editor
  expect_no_window '^Talvermoor$' "a message box opened"
  expect_memory below $((MEMORY_BEFORE + LOAD_HELD))
}

# --- Steps: the desktop -----------------------------------------------------------------

# A keyboard layout of the tests' own display; its keyboard map is put back as it was.
step_keyboard_layout() {
  xkbcomp "$DISPLAY" "$work/keymap.xkb" 2>/dev/null || fail "the keyboard map cannot be saved"
  trap 'xkbcomp "$work/keymap.xkb" "$DISPLAY" 2>/dev/null; cleanup' EXIT
  setxkbmap "$1"
}

# Moves the case to a display of its own with a window manager (openbox) and to a prefix
# whose windows the window manager manages, as on a person's desktop. Without openbox the
# case is skipped (exit 77).
step_window_manager() {
  command -v openbox >/dev/null 2>&1 || { echo "SKIP: no openbox"; exit 77; }
  . "$here/../../scripts/wine-env.sh"
  start_xvfb 1280x800x24 || fail "no display for the window manager"
  openbox --sm-disable </dev/null >/dev/null 2>&1 &
  WM_PID=$!
  prepare_prefix "$(dirname "$EDITOR_EXE")/../wineprefix-wm" run || fail "no managed prefix"
  start_wine_server
}

# The zip for Windows users (in the folder given as the program) unpacked into a folder
# whose names have spaces and an accented letter, checked, and its program the one to
# start, from there, as a double click starts it. Without a zip the case is skipped.
step_unpack_download() {
  local zip version properties text
  zip=$(ls "$EDITOR_EXE"/talvermoor-editor-*-win64.zip) || { echo "SKIP: no zip"; exit 77; }
  version=$(basename "$zip" -win64.zip)
  version=${version#talvermoor-editor-}
  step_folder "Programmi di prova/è"
  /usr/bin/python3 -m zipfile -e "$zip" "$START_FOLDER"
  (cd "$START_FOLDER" && sha256sum --quiet -c SHA256SUMS) || fail "the sums do not match"
  for text in LEGGIMI.txt README.txt; do
    ! grep -q -v $'\r$' "$START_FOLDER/$text" || fail "$text has lines without CR LF"
  done
  properties=$(cd "$START_FOLDER" && wine "$PROBE_EXE" version editor.exe | tr -d '\r')
  [ "$(sed -n 's/^language //p' <<<"$properties")" = "0410 1252" ] &&
    [ "$(sed -n 's/^ProductName //p' <<<"$properties")" = "Talvermoor editor" ] &&
    [ "$(sed -n 's/^ProductVersion //p' <<<"$properties")" = "$version" ] &&
    [ -n "$(sed -n 's/^FileDescription //p' <<<"$properties")" ] ||
    fail "the version resource shows: $properties"
  EDITOR_EXE="$START_FOLDER/editor.exe"
}

# --- The cases --------------------------------------------------------------------------
# "== name" begins a case; then its steps, each a step's name and its arguments as shell
# words, one after another: a line holds one or more, separated by ";".

read -r -d '' CASES <<'TABLE' || true
== cancel
start; open-dialog; dialog-keys Escape; start-dialog-enabled; no-editor; quit

== pick-third-line
text righe.txt one two three four; start; load righe.txt
title 'V: 1 O: 1 Insert ON Font 9 ScanCode: 0 - ChrCode: '
keys Down Down; title 'V: 3 O: 1 Insert ON Font 9 ScanCode: 80 - ChrCode: '
keys Return; closed; message three; quit

== type-beyond-end
text abc.txt abc; start; load abc.txt
keys Right Right Right Right Right x; title 'V: 1 O: 7 Insert ON Font 9 ScanCode: 45 - ChrCode: x'
keys Return; message 'abc  x'; quit

== escape-keeps-earlier-pick
text ab.txt alpha beta; start
load ab.txt; keys Escape; closed; no-message
load ab.txt; keys Down Return; message beta
load ab.txt; keys Escape; message beta
quit

== empty-line-pick
text vuota.txt first '' third; start
load vuota.txt; keys Return; message first
load vuota.txt; keys Down Return; no-message
load vuota.txt; keys Escape; no-message
quit

== reload-discards-edits
text modifica.txt 'riga uno' 'riga due'; start
load modifica.txt; keys Z Return; message 'Zriga uno'
load modifica.txt; keys Return; message 'riga uno'
quit

== oem-letters
sample accenti.txt; start; load accenti.txt; keys Return
message "$(printf 'Perch\351 la citt\340 \350 pi\371 bella d\047estate?')"; quit

== message-box-drawn
# The picked line's box, shown from inside the start dialog's callback and lying wholly
# over the start dialog, is drawn on the screen.
text box.txt 'una riga da leggere'; start; load box.txt; keys Return
box --seen; message 'una riga da leggere'; quit

== missing-file-box
# The open-file dialog's own warning about a name that does not exist, which lies wholly
# inside the dialog, is drawn on the screen too.
start; open-dialog; dialog-type nessuno.txt; warning-box; dialog-keys Escape; quit

== box-blocks-load
# While the picked line's box waits, a click on "Load file" starts no second run.
text scelta.txt 'riga scelta'; start; load scelta.txt; keys Return
box; click-load-file-under-box; message 'riga scelta'
load scelta.txt; keys Escape; message 'riga scelta'; quit

== end-end-last-line
# End twice goes to the last line, whose cursor cell must be on the screen.
sample lungo.txt; start; load lungo.txt
keys End End; title 'V: 2000 O: 1 Insert ON Font 9 ScanCode: 79 - ChrCode: '
screen check-cursor; keys Escape; closed; quit

== euro-name
# An ANSI name with bytes that only A to Z lowering leaves alone. Picked, not typed:
# xdotool types a character that the keyboard lacks through a key that it maps for a
# moment, and a loaded Wine reads that key after the mapping is gone.
text 'Spese €.txt' 'prima voce' 'seconda voce'; start; load --pick
title 'V: 1 O: 1 Insert ON Font 9 ScanCode: 0 - ChrCode: '
keys Return; message 'prima voce'; quit

== dead-keys
# On a layout with dead keys, the dead circumflex and the dead acute with e type ê and é,
# which Wine composes outside the key presses that the keyboard hook sees; the key after
# them still comes with its scan code.
keyboard-layout de; text dead.txt abc; start; load dead.txt
keys dead_circumflex e; title 'V: 1 O: 2 Insert ON Font 9 ScanCode: 255 - ChrCode: ê'
keys dead_acute e x; title 'V: 1 O: 4 Insert ON Font 9 ScanCode: 45 - ChrCode: x'
keys Return; message "$(printf '\352\351xabc')"; quit

== menu-remove-indent
text spazi.txt '  a   b ' '  a   b '; start; load spazi.txt
menu Down Down Down Down Return; title 'V: 1 O: 1 Insert ON Font 9 ScanCode: 59 - ChrCode: '
keys Return; message 'a   b '; quit

== menu-shorten-spaces
text spazi.txt '  a   b '; start; load spazi.txt
menu Down Down Down Down Down Return; title 'V: 1 O: 1 Insert ON Font 9 ScanCode: 59 - ChrCode: '
keys Return; message 'a b'; quit

== menu-upper-case
text maiuscolo.txt 'prima riga' 'seconda riga'; start; load maiuscolo.txt
menu Return; title 'V: 1 O: 1 Insert ON Font 9 ScanCode: 59 - ChrCode: '
keys Down Return; message 'SECONDA RIGA'; quit

== zoom
text zoom.txt zoom; start; load zoom.txt
keys ctrl+KP_Subtract; title 'V: 1 O: 1 Insert ON Font 8 ScanCode:-74 - ChrCode: '
keys ctrl+KP_Add ctrl+KP_Add; title 'V: 1 O: 1 Insert ON Font 10 ScanCode:-78 - ChrCode: '
keys Escape; closed; quit

== screen
sample fondo.bmp; text schermo.txt MMMM; start; load schermo.txt
title 'V: 1 O: 1 Insert ON Font 9 ScanCode: 0 - ChrCode: '
screen check-editor; keys Escape; closed; quit

== start-dialog
# Centred, with its button; disabled while an editor run lasts, enabled again after it.
# The close box and Alt+F4 end the program with exit code 0 too.
text riga.txt riga; start; start-dialog-layout
load riga.txt; start-dialog-disabled; keys Escape; closed; start-dialog-enabled; quit
start; end-by close-box
start; end-by alt+F4

== window-manager
# Maximized by the window manager, the editor window covers the screen, and its first
# row shows at the top left, under the title bar.
window-manager; text wm.txt 'prima riga' 'seconda riga'; start; load wm.txt
title 'V: 1 O: 1 Insert ON Font 9 ScanCode: 0 - ChrCode: '
editor-covers-screen; screen check-first-cell
keys Down Return; message 'seconda riga'; quit

== download
# The zip for Windows users, started from an odd folder; the letter opened from the
# samples' folder, typed into the name field.
unpack-download; start; open-dialog; dialog-type esempi lettera.txt; editor esempi/lettera.txt
title 'V: 1 O: 1 Insert ON Font 9 ScanCode: 0 - ChrCode: '; screen check-picture
keys Down Down Return; box --seen
message 'ti scrivo per ricordarti la riunione di domani alle 10.'; quit

== screenshot
# Not a test: scripts/screenshot.sh uses it for the README's picture.
sample fondo.bmp lettera.txt; start; load lettera.txt
keys Down Down Right Right Right Right Right Right Right Right Right Right
pause 0.5; screenshot; keys Escape; closed; quit

== menu-quick-keys
# F1 then Esc, or F1 then Enter, as fast as the keyboard gives them: once the menu has
# ended, the editor is the active window and takes the next key, pressed a moment later
# where the keyboard is, without giving the editor the focus first.
text veloce.txt 'prima riga' 'seconda riga' 'terza riga'; start; load veloce.txt
focus-editor
keys-at-once F1 Escape; pause 0.5; keys-at-once Down
title 'V: 2 O: 1 Insert ON Font 9 ScanCode: 80 - ChrCode: '; screen check-active-title
keys-at-once F1 Escape; pause 0.5; keys-at-once Down
title 'V: 3 O: 1 Insert ON Font 9 ScanCode: 80 - ChrCode: '; screen check-active-title
keys-at-once F1 Return; pause 0.5; keys-at-once Up
title 'V: 2 O: 1 Insert ON Font 9 ScanCode: 72 - ChrCode: '; screen check-active-title
keys Return; message 'SECONDA RIGA'; quit

== foreign-names
# A name outside the ANSI code page, picked in the open-file dialog, opens its text. Two
# names that the code page writes alike cannot be told apart: a box says the file cannot
# be opened, and the start dialog stays.
text uno/漢字.txt 'riga del kanji'; text due/αβγ.txt gamma; text due/αβζ.txt zeta
folder uno; start; load --pick; title 'V: 1 O: 1 Insert ON Font 9 ScanCode: 0 - ChrCode: '
keys Return; message 'riga del kanji'; quit
folder due; start; choose --pick; box --seen
message "$(printf 'Il file "a\337?.txt" non si pu\362 aprire.')"; no-editor; quit

== stop-load
# Esc, "Annulla" and Alt+F4 stop a long load: back at the start dialog, the text let go,
# and Load file works again.
long-text; text breve.txt dopo; start; note-memory
start-long-load --seen; memory-grows; loading; progress-keys Escape; load-stopped
start-long-load; loading; click-cancel; load-stopped
start-long-load; loading; progress-keys alt+F4; load-stopped
load "$(windows_path breve.txt)"; keys Return; message dopo; quit

== close-during-load
# Alt+F4 or Esc on the start dialog during a load ends the program at once. A click on
# the dialog, away from its button, makes it the active window again.
long-text
start; start-long-load; loading; click-start-dialog; end-by alt+F4
start; start-long-load; loading; click-start-dialog; end-by Escape
TABLE

# The steps of the case, without its comments.
steps=()
found=
while IFS= read -r line; do
  if [[ $line == "== "* ]]; then
    [ -z "$found" ] || break
    [ "${line#== }" != "$case_name" ] || found=1
  elif [ -n "$found" ] && [ -n "$line" ] && [[ $line != \#* ]]; then
    IFS=';' read -r -a parts <<<"$line"
    for step in "${parts[@]}"; do
      read -r step <<<"$step" # without the spaces around it
      steps+=("$step")
    done
  fi
done <<<"$CASES"
[ -n "$found" ] || fail "unknown case $case_name"

for STEP in "${steps[@]}"; do
  read -r name _ <<<"$STEP"
  declare -F "step_${name//-/_}" >/dev/null || fail "unknown step $name"
  eval "step_${name//-/_} ${STEP#"$name"}"
done
STEP=
echo "ok: $case_name"
