# Shell functions for driving a window on a virtual X display; sourced by the
# scripts that start the window under xvfb-run.

# Waits until the window manager has taken the screen. A window mapped before
# that is reparented (unmapped and mapped again) once it starts, and a picture
# taken meanwhile fails.
x11_wait_wm() {
    for _ in $(seq 60); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
        sleep 0.25
    done
    echo "no window manager came up" >&2
    return 1
}

# Prints the id of the first viewable window with the given title, waiting
# up to 30 s for one.
x11_window() {
    local id
    for _ in $(seq 60); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && echo "$id" && return 0
        sleep 0.5
    done
    return 1
}

# Saves a picture of a window. Retried: a window being mapped, moved or
# decorated refuses to be read for a moment.
x11_shoot() {  # WINDOW FILE
    for _ in $(seq 10); do
        import -window "$1" "$2" 2>/dev/null && return 0
        sleep 0.5
    done
    import -window "$1" "$2"
}
