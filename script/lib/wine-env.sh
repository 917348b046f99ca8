# Sourced by the scripts: a display and a throwaway Wine prefix under build/.

export WINEDEBUG=-all
# Wine takes the ANSI and console code pages (1252 and 437 here) and the encoding of file
# names from the locale: pinned, so that a run does not depend on the machine's.
export LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree=d;mshtml=d"

# The product is 32-bit. Some kernels run no 32-bit code (ia32 emulation off); there the
# Wine tiers run the 64-bit twin of the same sources under wine64 instead, as they do anywhere
# with TARVEX_WINE_TREE=win64 set.
if [ "${TARVEX_WINE_TREE:-}" != win64 ] && /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; then
    export WINEARCH=win32 TARVEX_WINE=wine TARVEX_WINE_TREE=win32
else
    export WINEARCH=win64 TARVEX_WINE=/usr/lib/wine/wine64 TARVEX_WINE_TREE=win64
    export WINELOADER=/usr/lib/wine/wine64
fi

# Starts Xvfb on a free display when none is set; stopped by stop_wine_env.
start_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local number_file
    number_file=$(mktemp)
    Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp 9>"$number_file" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$number_file" ] && break
        sleep 0.1
    done
    [ -s "$number_file" ] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(head -n1 "$number_file")"
    rm -f "$number_file"
}

# A new prefix at $1, ready to run programs; its wineserver stays up until stop_wine_env.
make_prefix() {
    new_prefix "$1"
    serve_prefix "$1"
}

# A new prefix at $1, its wineserver stopped and its registry saved, to be copied.
new_prefix() {
    export WINEPREFIX="$1"
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$TARVEX_WINE" wineboot -i >/dev/null 2>&1
    wineserver -w
    # Windows' own fonts (Wine's versions): without them every face falls back to a wider
    # Linux font and captions are cut.
    cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$WINEPREFIX/drive_c/windows/Fonts/"
    # Xvfb has no window manager: Wine draws the title bars itself, and manages the windows
    # itself, as it would otherwise wait 2 s for a window manager at every window it hides.
    for value in Decorated Managed; do
        "$TARVEX_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v $value /d N /f >/dev/null 2>&1
    done
    wineserver -w
}

# A copy at $2 of the prefix at $1 that new_prefix made, served as make_prefix's.
copy_prefix() {
    export WINEPREFIX="$2"
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    cp -a "$1" "$WINEPREFIX"
    serve_prefix "$WINEPREFIX"
}

serve_prefix() {
    export WINEPREFIX="$1"
    wineserver -p >/dev/null 2>&1
    # Start the prefix's services now, detached from our output: started by the first test,
    # they would inherit its output pipe and keep CTest waiting for it to close.
    "$TARVEX_WINE" cmd /c exit >/dev/null 2>&1 </dev/null
}

stop_wine_env() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    return 0
}

# The Windows name of a Linux path, through Wine's Z: drive.
win_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s\n' "${path//\//\\}"
}
