#!/usr/bin/env bash
# Starts the editor in an X server the way a user does and checks what it leaves
# behind: the settings written at exit (recent file, language, window placement), a
# clean end on Alt+X, and the refusal to run without the default language file.
#
#   shell_session.sh BIN_DIR SOURCE_DIR
set -euo pipefail

. "$(dirname "$0")/lib/e2e.bash" shell_session "$@"

if [ "$inside" = 0 ]; then
    e2e_prepare
    e2e_run_inside || fail "the session failed"
    echo "shell_session: settings written, Alt+X ends, no language file refused"
    exit 0
fi

# ---- inside the X server ----
e2e_inside
settings="$XDG_CONFIG_HOME/DUR/RVK 3.0.conf"

# Waits for the program to end and sets `ended` to its exit status. It runs in this
# shell, not in a command substitution: only the parent shell can wait for its child.
wait_end() {
    for _ in $(seq 50); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.2
    done
    kill -0 "$1" 2>/dev/null && {
        kill "$1"
        fail "$2 did not end the program"
    }
    ended=0
    wait "$1" || ended=$?
}

# 1. A first run on a document from a relative path, ended with Alt+X.
(cd "$work" && exec "$bin/rvkedit" trams.rvk) &
editor=$!
win=$(await_window 30 --name "RVK Editor") ||
    fail "the main window did not appear"
sleep 1
# No window manager: give the window the keyboard, then type as a user does.
xdotool windowfocus --sync "$win"
xdotool key alt+x
wait_end $editor "Alt+X"
[ "$ended" = 0 ] || fail "the editor ended with status $ended"
[ -f "$settings" ] || fail "no settings were written"
grep -qx "H0=$work/trams.rvk" "$settings" || fail "the opened document is not the first recent file"
grep -qx "H1=" "$settings" || fail "a first run should know one recent file only"
grep -qx "LangFile=rvk3b2.lng" "$settings" || fail "the language file was not written back"
grep -qx "P1=$work" "$settings" || fail "the document folder is not the opened file's folder"
grep -q '^WindowPos=@ByteArray(' "$settings" || fail "no window placement was written"

# 2. A chosen language file that is gone: the default is used and written back.
sed -i 's/^LangFile=.*/LangFile=gone.lng/' "$settings"
"$bin/rvkedit" &
editor=$!
win=$(await_window 30 --name "RVK Editor") ||
    fail "the main window did not appear with an unusable language choice"
sleep 1
xdotool windowfocus --sync "$win"
xdotool key alt+x
wait_end $editor "Alt+X"
[ "$ended" = 0 ] || fail "the editor ended with status $ended"
grep -qx "LangFile=rvk3b2.lng" "$settings" || fail "the default language file was not written back"

# 3. Without the default language file the program says so and ends.
lonely="$work/lonely"
mkdir -p "$lonely"
cp "$bin/rvkedit" "$lonely/"
"$lonely/rvkedit" &
editor=$!
box=$(await_window 30 --name "^Error$") ||
    fail "no message about the missing language file"
sleep 1
xdotool windowfocus --sync "$box"
xdotool key Return
wait_end $editor "the message box"
[ "$ended" = 1 ] || fail "the program ended with status $ended instead of 1"
exit 0
