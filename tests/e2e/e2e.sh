#!/usr/bin/env bash
# End-to-end tests of editor.exe, driven as a user drives it: real key presses through the
# X server (xdotool), windows found by caption, titles read from the window manager's view
# and message boxes read by a small probe program. Run by ctest inside scripts/test.sh,
# which provides the private display, prefix and server.
#
#   e2e.sh <case> <editor.exe> <probe.exe> <samples-folder>
#   e2e.sh download <folder of the zip made by make dist> <probe.exe> <samples-folder>
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
PROGRAM_PID= WM_PID=
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

fail() { echo "FAIL: $*" >&2; exit 1; }
trap 'fail "line $LINENO: $BASH_COMMAND"' ERR

# How long to wait for anything the program is expected to do. A loaded machine may take
# many seconds to start Wine, paint a window or take a key; only what never comes fails.
PATIENCE=60

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

# Waits until the editor's title equals the expected text.
expect_title() {
  local expected=$1 end=$((SECONDS + PATIENCE)) title
  while :; do
    title=$(xdotool getwindowname "$EDITOR_WID" 2>/dev/null || true)
    [ "$title" = "$expected" ] && return 0
    [ "$SECONDS" -lt "$end" ] || fail "title is '$title', expected '$expected'"
    sleep 0.05
  done
}

start_program() {
  (cd "$START_FOLDER" && exec wine "$EDITOR_EXE" </dev/null >/dev/null 2>&1) &
  PROGRAM_PID=$!
  TEST_WID=$(wait_window '^Test$')
  [ -n "$TEST_WID" ] || fail "no start dialog"
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

# Load file, then the file's name typed into the open-file dialog; with --pick, the folder's
# first file picked in the dialog's list instead (Shift+Tab to the list, Down).
choose_file() {
  wait_start_dialog
  press "$TEST_WID" space
  local dialog
  dialog=$(wait_window '^Open File$')
  [ -n "$dialog" ] || fail "no open-file dialog"
  focus "$dialog"
  if [ "$1" = --pick ]; then
    xdotool key --delay 40 shift+Tab Down
  else
    xdotool type --delay 30 "$1"
  fi
  xdotool key Return
}

# Chooses the file and waits for the editor.
load_file() {
  choose_file "$1"
  EDITOR_WID=$(wait_window "^F1=menu")
  [ -n "$EDITOR_WID" ] || fail "no editor window after loading $1"
  expect_editor_gone_later=1
}

# Waits for a window to end (wait_closed <window> <what>).
wait_closed() {
  local end=$((SECONDS + PATIENCE))
  while xdotool getwindowname "$1" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$end" ] || fail "$2 did not close"
    sleep 0.05
  done
}
wait_editor_closed() { wait_closed "$EDITOR_WID" "the editor window"; }

message_text() { wine "$PROBE_EXE" message Talvermoor $((PATIENCE * 1000)) | tr -d '\r'; }
expect_message() {
  local text
  text=$(message_text) || fail "no message box, expected '$1'"
  [ "$text" = "$1" ] || fail "message box says '$text', expected '$1'"
}
# After the editor ends, the run shows its box or gives the start dialog back at once: a
# box that stays unanswered keeps the start dialog disabled.
expect_no_message() {
  local end=$((SECONDS + PATIENCE))
  wait_editor_closed
  until start_dialog_enabled; do
    [ -z "$(xdotool search --onlyvisible --name '^Talvermoor$' 2>/dev/null)" ] || fail "unexpected message box"
    [ "$SECONDS" -lt "$end" ] || fail "the start dialog stays disabled"
    sleep 0.1
  done
}

# Esc in the start dialog ends the program with exit code 0.
quit_program() {
  wait_start_dialog
  press "$TEST_WID" Escape
  local status=0
  wait "$PROGRAM_PID" || status=$?
  PROGRAM_PID=
  [ "$status" -eq 0 ] || fail "exit code $status"
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

crlf() { printf '%s\r\n' "$@"; }

# A text whose load lasts a while: E2E_LOAD_MB megabytes (500 unless told) of short lines,
# as a load's time goes mostly by its lines, in E2E_LOAD_DIR (the case's own folder unless
# told), made once.
long_text() {
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

# The program's memory in use, in kB: its resident set.
program_memory() { sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB$/\1/p' "/proc/$PROGRAM_PID/status"; }

# Waits until the program holds no more than the given kB (what it read is let go), or
# with --above, more than that.
expect_memory_below() {
  local end=$((SECONDS + PATIENCE)) held
  while held=$(program_memory) && [ "$held" -gt "$1" ]; do
    [ "$SECONDS" -lt "$end" ] || fail "the program still holds $held kB, expected at most $1"
    sleep 0.1
  done
}
expect_memory_above() {
  local end=$((SECONDS + PATIENCE)) held
  while held=$(program_memory) && [ "$held" -le "$1" ]; do
    [ "$SECONDS" -lt "$end" ] || fail "the program holds $held kB, expected more than $1"
    sleep 0.05
  done
}

# Starts the load of the long text (by its full path) and waits for its progress window;
# with --seen, until the window is drawn on the screen as well.
start_long_load() {
  choose_file "$(winepath -w "$LONG_TEXT")"
  PROGRESS_WID=$(wait_window '^Caricamento$')
  [ -n "$PROGRESS_WID" ] || fail "no progress window"
  eval "$(xdotool getwindowgeometry --shell "$PROGRESS_WID")"
  [ "${1:-}" != --seen ] || expect_screen check-box "$X" "$Y" "$WIDTH" "$HEIGHT"
}

# The keys and clicks of a case must come while the load lasts.
expect_loading() {
  xdotool getwindowname "$PROGRESS_WID" >/dev/null 2>&1 ||
    fail "the load ended before the case could act; a larger E2E_LOAD_MB makes it last"
}

# After a stopped load: the start dialog is back, with no editor and the text let go.
expect_load_stopped() {
  local started=$1
  wait_closed "$PROGRESS_WID" "the progress window"
  wait_start_dialog
  echo "back at the start dialog $((SECONDS - started)) s after the stop"
  [ -z "$(xdotool search --onlyvisible --name '^F1=menu' 2>/dev/null)" ] || fail "an editor window opened"
  [ -z "$(xdotool search --onlyvisible --name '^Talvermoor$' 2>/dev/null)" ] || fail "a message box opened"
  expect_memory_below "$2"
}

# Moves the case to a display of its own with a window manager (openbox) and to a prefix
# whose windows the window manager manages, as on a person's desktop. Without openbox the
# case is skipped (exit 77).
use_window_manager() {
  command -v openbox >/dev/null 2>&1 || { echo "SKIP: no openbox"; exit 77; }
  . "$here/../../scripts/wine-env.sh"
  start_xvfb 1280x800x24 || fail "no display for the window manager"
  openbox --sm-disable </dev/null >/dev/null 2>&1 &
  WM_PID=$!
  prepare_prefix "$(dirname "$EDITOR_EXE")/../wineprefix-wm" run || fail "no managed prefix"
  start_wine_server
}

case "$case_name" in
  cancel)
    start_program
    press "$TEST_WID" space
    dialog=$(wait_window '^Open File$')
    [ -n "$dialog" ] || fail "no open-file dialog"
    press "$dialog" Escape
    wait_start_dialog
    [ -z "$(xdotool search --onlyvisible --name '^F1=menu' 2>/dev/null)" ] || fail "an editor window opened"
    quit_program
    ;;
  pick-third-line)
    crlf one two three four >"$work/righe.txt"
    start_program
    load_file righe.txt
    expect_title "${HELP}V: 1 O: 1 Insert ON Font 9 ScanCode: 0 - ChrCode: "
    press "$EDITOR_WID" Down Down
    expect_title "${HELP}V: 3 O: 1 Insert ON Font 9 ScanCode: 80 - ChrCode: "
    press "$EDITOR_WID" Return
    wait_editor_closed
    expect_message three
    quit_program
    ;;
  type-beyond-end)
    crlf abc >"$work/abc.txt"
    start_program
    load_file abc.txt
    press "$EDITOR_WID" Right Right Right Right Right x
    expect_title "${HELP}V: 1 O: 7 Insert ON Font 9 ScanCode: 45 - ChrCode: x"
    press "$EDITOR_WID" Return
    expect_message "abc  x"
    quit_program
    ;;
  escape-keeps-earlier-pick)
    crlf alpha beta >"$work/ab.txt"
    start_program
    load_file ab.txt
    press "$EDITOR_WID" Escape
    wait_editor_closed
    expect_no_message
    load_file ab.txt
    press "$EDITOR_WID" Down Return
    expect_message beta
    load_file ab.txt
    press "$EDITOR_WID" Escape
    expect_message beta
    quit_program
    ;;
  empty-line-pick)
    crlf first "" third >"$work/vuota.txt"
    start_program
    load_file vuota.txt
    press "$EDITOR_WID" Return
    expect_message first
    load_file vuota.txt
    press "$EDITOR_WID" Down Return
    expect_no_message
    load_file vuota.txt
    press "$EDITOR_WID" Escape
    expect_no_message
    quit_program
    ;;
  reload-discards-edits)
    crlf "riga uno" "riga due" >"$work/modifica.txt"
    start_program
    load_file modifica.txt
    press "$EDITOR_WID" Z Return
    expect_message "Zriga uno"
    load_file modifica.txt
    press "$EDITOR_WID" Return
    expect_message "riga uno"
    quit_program
    ;;
  oem-letters)
    cp "$SAMPLES/accenti.txt" "$work/"
    start_program
    load_file accenti.txt
    press "$EDITOR_WID" Return
    expected=$(printf 'Perch\351 la citt\340 \350 pi\371 bella d'"'"'estate?')
    text=$(message_text) || fail "no message box"
    [ "$text" = "$expected" ] || fail "message box says '$(printf '%s' "$text" | xxd -p)'"
    quit_program
    ;;
  message-box-drawn)
    # The picked line's box, shown from inside the start dialog's callback and lying
    # wholly over the start dialog, is drawn on the screen.
    crlf "una riga da leggere" >"$work/box.txt"
    start_program
    load_file box.txt
    press "$EDITOR_WID" Return
    box=$(wait_window '^Talvermoor$')
    [ -n "$box" ] || fail "no message box"
    eval "$(xdotool getwindowgeometry --shell "$box")"
    expect_screen check-box "$X" "$Y" "$WIDTH" "$HEIGHT"
    expect_message "una riga da leggere"
    quit_program
    ;;
  missing-file-box)
    # The open-file dialog's own warning about a name that does not exist, which lies
    # wholly inside the dialog, is drawn on the screen too.
    start_program
    press "$TEST_WID" space
    dialog=$(wait_window '^Open File$')
    [ -n "$dialog" ] || fail "no open-file dialog"
    focus "$dialog"
    xdotool type --delay 30 nessuno.txt
    xdotool key Return
    warning=
    end=$((SECONDS + PATIENCE))
    until [ -n "$warning" ] || [ "$SECONDS" -ge "$end" ]; do
      # The box has no caption: the program's third visible window.
      warning=$(xdotool search --onlyvisible --classname '^editor\.exe$' 2>/dev/null |
        grep -vx -e "$dialog" -e "$TEST_WID" | head -n 1 || true)
      sleep 0.1
    done
    [ -n "$warning" ] || fail "no warning box"
    eval "$(xdotool getwindowgeometry --shell "$warning")"
    expect_screen check-box "$X" "$Y" "$WIDTH" "$HEIGHT"
    press "$warning" Return
    wait_closed "$warning" "the warning box"
    press "$dialog" Escape
    quit_program
    ;;
  box-blocks-load)
    # While the picked line's box waits, a click on "Load file" starts no second run.
    crlf "riga scelta" >"$work/scelta.txt"
    start_program
    load_file scelta.txt
    press "$EDITOR_WID" Return
    box=$(wait_window '^Talvermoor$')
    [ -n "$box" ] || fail "no message box"
    eval "$(xdotool getwindowgeometry --shell "$TEST_WID")"
    # The button's left half: 5 pixels into a 100-pixel-high client area under the title.
    xdotool mousemove $((X + 40)) $((Y + HEIGHT - 100 - 3 + 15)) click 1
    sleep 1.5
    [ -z "$(xdotool search --onlyvisible --name '^Open File$' 2>/dev/null)" ] ||
      fail "Load file started a second run under the message box"
    expect_message "riga scelta"
    load_file scelta.txt
    press "$EDITOR_WID" Escape
    expect_message "riga scelta"
    quit_program
    ;;
  end-end-last-line)
    # End twice goes to the last line, whose cursor cell must be on the screen.
    cp "$SAMPLES/lungo.txt" "$work/"
    start_program
    load_file lungo.txt
    press "$EDITOR_WID" End End
    expect_title "${HELP}V: 2000 O: 1 Insert ON Font 9 ScanCode: 79 - ChrCode: "
    expect_screen check-cursor
    press "$EDITOR_WID" Escape
    wait_editor_closed
    quit_program
    ;;
  euro-name)
    # An ANSI name with bytes that only A to Z lowering leaves alone.
    # Picked, not typed: xdotool types a character that the keyboard lacks through a key
    # that it maps for a moment, and a loaded Wine reads that key after the mapping is gone.
    crlf "prima voce" "seconda voce" >"$work/Spese €.txt"
    start_program
    load_file --pick
    expect_title "${HELP}V: 1 O: 1 Insert ON Font 9 ScanCode: 0 - ChrCode: "
    press "$EDITOR_WID" Return
    expect_message "prima voce"
    quit_program
    ;;
  dead-keys)
    # On a layout with dead keys, the dead circumflex and the dead acute with e type ê
    # and é, which Wine composes outside the key presses that the keyboard hook sees; the
    # key after them still comes with its scan code. The display is the tests' own: its
    # keyboard map is put back as it was.
    xkbcomp "$DISPLAY" "$work/keymap.xkb" 2>/dev/null || fail "the keyboard map cannot be saved"
    trap 'xkbcomp "$work/keymap.xkb" "$DISPLAY" 2>/dev/null; cleanup' EXIT
    setxkbmap de
    crlf "abc" >"$work/dead.txt"
    start_program
    load_file dead.txt
    press "$EDITOR_WID" dead_circumflex e
    expect_title "${HELP}V: 1 O: 2 Insert ON Font 9 ScanCode: 255 - ChrCode: ê"
    press "$EDITOR_WID" dead_acute e x
    expect_title "${HELP}V: 1 O: 4 Insert ON Font 9 ScanCode: 45 - ChrCode: x"
    press "$EDITOR_WID" Return
    expect_message "$(printf '\352\351xabc')"
    quit_program
    ;;
  menu-remove-indent)
    crlf "  a   b " "  a   b " >"$work/spazi.txt"
    start_program
    load_file spazi.txt
    press "$EDITOR_WID" F1
    menu=$(wait_window '^Help$')
    [ -n "$menu" ] || fail "no command menu"
    press "$menu" Down Down Down Down Return
    expect_title "${HELP}V: 1 O: 1 Insert ON Font 9 ScanCode: 59 - ChrCode: "
    press "$EDITOR_WID" Return
    expect_message "a   b "
    quit_program
    ;;
  menu-shorten-spaces)
    crlf "  a   b " >"$work/spazi.txt"
    start_program
    load_file spazi.txt
    press "$EDITOR_WID" F1
    menu=$(wait_window '^Help$')
    [ -n "$menu" ] || fail "no command menu"
    press "$menu" Down Down Down Down Down Return
    expect_title "${HELP}V: 1 O: 1 Insert ON Font 9 ScanCode: 59 - ChrCode: "
    press "$EDITOR_WID" Return
    expect_message "a b"
    quit_program
    ;;
  menu-upper-case)
    crlf "prima riga" "seconda riga" >"$work/maiuscolo.txt"
    start_program
    load_file maiuscolo.txt
    press "$EDITOR_WID" F1
    menu=$(wait_window '^Help$')
    [ -n "$menu" ] || fail "no command menu"
    press "$menu" Return
    expect_title "${HELP}V: 1 O: 1 Insert ON Font 9 ScanCode: 59 - ChrCode: "
    press "$EDITOR_WID" Down Return
    expect_message "SECONDA RIGA"
    quit_program
    ;;
  zoom)
    crlf "zoom" >"$work/zoom.txt"
    start_program
    load_file zoom.txt
    press "$EDITOR_WID" ctrl+KP_Subtract
    expect_title "${HELP}V: 1 O: 1 Insert ON Font 8 ScanCode:-74 - ChrCode: "
    press "$EDITOR_WID" ctrl+KP_Add ctrl+KP_Add
    expect_title "${HELP}V: 1 O: 1 Insert ON Font 10 ScanCode:-78 - ChrCode: "
    press "$EDITOR_WID" Escape
    wait_editor_closed
    quit_program
    ;;
  screen)
    cp "$SAMPLES/fondo.bmp" "$work/"
    crlf "MMMM" >"$work/schermo.txt"
    start_program
    load_file schermo.txt
    expect_title "${HELP}V: 1 O: 1 Insert ON Font 9 ScanCode: 0 - ChrCode: "
    expect_screen check-editor
    press "$EDITOR_WID" Escape
    wait_editor_closed
    quit_program
    ;;
  start-dialog)
    crlf "riga" >"$work/riga.txt"
    start_program
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
    # Disabled while an editor run lasts, enabled again after it.
    load_file riga.txt
    [ "$(wine "$PROBE_EXE" window Test 100 | tr -d '\r' | sed -n 's/^enabled //p')" = 0 ] ||
      fail "the start dialog stays enabled under the editor"
    press "$EDITOR_WID" Escape
    wait_editor_closed
    wait_start_dialog
    quit_program
    # The close box and Alt+F4 end the program with exit code 0 too.
    start_program
    read -r close_x close_y <<<"$(wine "$PROBE_EXE" window Test 100 | tr -d '\r' | sed -n 's/^close //p')"
    xdotool mousemove --sync "$close_x" "$close_y" click 1
    status=0
    wait "$PROGRAM_PID" || status=$?
    PROGRAM_PID=
    [ "$status" -eq 0 ] || fail "exit code $status after the close box"
    start_program
    press "$TEST_WID" alt+F4
    status=0
    wait "$PROGRAM_PID" || status=$?
    PROGRAM_PID=
    [ "$status" -eq 0 ] || fail "exit code $status after Alt+F4"
    ;;
  window-manager)
    # Maximized by the window manager, the editor window covers the screen, and its first
    # row shows at the top left, under the title bar.
    use_window_manager
    crlf "prima riga" "seconda riga" >"$work/wm.txt"
    start_program
    load_file wm.txt
    expect_title "${HELP}V: 1 O: 1 Insert ON Font 9 ScanCode: 0 - ChrCode: "
    read -r screen_width screen_height <<<"$(xdotool getdisplaygeometry)"
    cover="0 0 $screen_width $screen_height "
    end=$((SECONDS + PATIENCE))
    until geometry=$(xwininfo -id "$EDITOR_WID" |
      sed -n 's/^ *\(Absolute upper-left [XY]\|Width\|Height\): *//p' | tr '\n' ' ') &&
      [ "$geometry" = "$cover" ]; do
      [ "$SECONDS" -lt "$end" ] ||
        fail "the editor window is at $geometry(x y width height), not over the screen"
      sleep 0.1
    done
    expect_screen check-first-cell
    press "$EDITOR_WID" Down Return
    expect_message "seconda riga"
    quit_program
    ;;
  download)
    # The zip for Windows users, unpacked into a folder whose names have spaces and an
    # accented letter, and started from there as a double click starts it.
    zip=$(ls "$EDITOR_EXE"/talvermoor-editor-*-win64.zip) || { echo "SKIP: no zip"; exit 77; }
    version=$(basename "$zip" -win64.zip)
    version=${version#talvermoor-editor-}
    START_FOLDER="$work/Programmi di prova/è"
    mkdir -p "$START_FOLDER"
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
    start_program
    wait_start_dialog
    press "$TEST_WID" space
    dialog=$(wait_window '^Open File$')
    [ -n "$dialog" ] || fail "no open-file dialog"
    # Into the folder of the samples, then the letter, as typed into the name field.
    focus "$dialog"
    xdotool type --delay 30 esempi
    xdotool key Return
    xdotool type --delay 30 lettera.txt
    xdotool key Return
    EDITOR_WID=$(wait_window "^F1=menu")
    [ -n "$EDITOR_WID" ] || fail "no editor window after loading esempi/lettera.txt"
    expect_title "${HELP}V: 1 O: 1 Insert ON Font 9 ScanCode: 0 - ChrCode: "
    expect_screen check-picture
    press "$EDITOR_WID" Down Down Return
    box=$(wait_window '^Talvermoor$')
    [ -n "$box" ] || fail "no message box"
    eval "$(xdotool getwindowgeometry --shell "$box")"
    expect_screen check-box "$X" "$Y" "$WIDTH" "$HEIGHT"
    expect_message "ti scrivo per ricordarti la riunione di domani alle 10."
    quit_program
    ;;
  screenshot)
    # Not a test: scripts/screenshot.sh uses it for the README's picture.
    cp "$SAMPLES/fondo.bmp" "$SAMPLES/lettera.txt" "$work/"
    start_program
    load_file lettera.txt
    press "$EDITOR_WID" Down Down Right Right Right Right Right Right Right Right Right Right
    sleep 0.5
    python3 "$here/xwd.py" grab "${SCREENSHOT_OUT:?}" || fail "no screen dump"
    press "$EDITOR_WID" Escape
    wait_editor_closed
    quit_program
    ;;
  menu-quick-keys)
    # F1 then Esc, or F1 then Enter, as fast as the keyboard gives them: once the menu has
    # ended, the editor is the active window and takes the next key, pressed a moment
    # later where the keyboard is, without giving the editor the focus first.
    crlf "prima riga" "seconda riga" "terza riga" >"$work/veloce.txt"
    start_program
    load_file veloce.txt
    focus "$EDITOR_WID"
    for round in 2 3; do
      xdotool key F1 Escape
      sleep 0.5
      xdotool key Down
      expect_title "${HELP}V: $round O: 1 Insert ON Font 9 ScanCode: 80 - ChrCode: "
      expect_screen check-active-title
    done
    xdotool key F1 Return
    sleep 0.5
    xdotool key Up
    expect_title "${HELP}V: 2 O: 1 Insert ON Font 9 ScanCode: 72 - ChrCode: "
    expect_screen check-active-title
    press "$EDITOR_WID" Return
    expect_message "SECONDA RIGA"
    quit_program
    ;;
  foreign-names)
    # A name outside the ANSI code page, picked in the open-file dialog, opens its text. Two
    # names that the code page writes alike cannot be told apart: a box says the file
    # cannot be opened, and the start dialog stays.
    mkdir "$work/uno" "$work/due"
    crlf "riga del kanji" >"$work/uno/漢字.txt"
    crlf gamma >"$work/due/αβγ.txt"
    crlf zeta >"$work/due/αβζ.txt"
    START_FOLDER="$work/uno"
    start_program
    load_file --pick
    expect_title "${HELP}V: 1 O: 1 Insert ON Font 9 ScanCode: 0 - ChrCode: "
    press "$EDITOR_WID" Return
    expect_message "riga del kanji"
    quit_program
    START_FOLDER="$work/due"
    start_program
    choose_file --pick
    box=$(wait_window '^Talvermoor$')
    [ -n "$box" ] || fail "no message box"
    eval "$(xdotool getwindowgeometry --shell "$box")"
    expect_screen check-box "$X" "$Y" "$WIDTH" "$HEIGHT"
    expect_message "$(printf 'Il file "a\337?.txt" non si pu\362 aprire.')"
    [ -z "$(xdotool search --onlyvisible --name '^F1=menu' 2>/dev/null)" ] || fail "an editor window opened"
    quit_program
    ;;
  stop-load)
    # Esc, "Annulla" and Alt+F4 stop a long load: back at the start dialog, the text let go,
    # and Load file works again.
    long_text
    crlf "dopo" >"$work/breve.txt"
    start_program
    before=$(program_memory)
    start_long_load --seen
    expect_memory_above $((before + 20000))
    started=$SECONDS
    expect_loading
    press "$PROGRESS_WID" Escape
    expect_load_stopped "$started" $((before + 20000))
    start_long_load
    # "Annulla": at the right of the client area, under the bar.
    expect_loading
    xdotool mousemove $((X + WIDTH - 30)) $((Y + HEIGHT - 30)) click 1
    expect_load_stopped "$SECONDS" $((before + 20000))
    start_long_load
    expect_loading
    press "$PROGRESS_WID" alt+F4
    expect_load_stopped "$SECONDS" $((before + 20000))
    load_file "$(winepath -w "$work/breve.txt")"
    press "$EDITOR_WID" Return
    expect_message dopo
    quit_program
    ;;
  close-during-load)
    # Alt+F4 or Esc on the start dialog during a load ends the program at once. A click
    # on the dialog, away from its button, makes it the active window again.
    long_text
    for keys in alt+F4 Escape; do
      start_program
      start_long_load
      eval "$(xdotool getwindowgeometry --shell "$TEST_WID")"
      expect_loading
      xdotool mousemove $((X + WIDTH - 60)) $((Y + HEIGHT - 30)) click 1
      press "$TEST_WID" "$keys"
      status=0
      wait "$PROGRAM_PID" || status=$?
      PROGRAM_PID=
      [ "$status" -eq 0 ] || fail "exit code $status after $keys"
    done
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
echo "ok: $case_name"
