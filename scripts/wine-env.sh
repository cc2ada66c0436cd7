# Sourced by the Wine scripts: one private 32-bit prefix, Korean ANSI code page,
# no prompts for Wine's browser engine or .NET, a persistent wineserver and,
# when there is no display, a private Xvfb kept beside the prefix.
: "${WINEPREFIX:?WINEPREFIX must name the private prefix}"
export WINEPREFIX
export WINEARCH=${HAULBOX_WINE_ARCH:-win32}
if [[ "$WINEARCH" == win64 ]]; then
  HAULBOX_WINE=/usr/lib/wine/wine64
else
  HAULBOX_WINE=wine
fi
export LC_ALL=${HAULBOX_LC_ALL:-ko_KR.UTF-8} 2>/dev/null  # not generated here; Wine needs only the name
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}

haulbox_xvfb_display_file="$WINEPREFIX.display"

haulbox_ensure_display() {
  if [[ -n "${HAULBOX_KEEP_DISPLAY:-}" && -n "${DISPLAY:-}" ]]; then return; fi
  local display=""
  [[ -f "$haulbox_xvfb_display_file" ]] && display=$(cat "$haulbox_xvfb_display_file")
  if [[ -n "$display" ]] && xdpyinfo -display ":$display" >/dev/null 2>&1; then
    export DISPLAY=":$display"; return
  fi
  local fdfile; fdfile=$(mktemp)
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" </dev/null >/dev/null 2>&1 &
  echo $! >"$WINEPREFIX.xvfb.pid"
  local i
  for i in $(seq 1 100); do
    display=$(tr -dc '0-9' <"$fdfile")
    [[ -n "$display" ]] && break
    sleep 0.1
  done
  rm -f "$fdfile"
  [[ -n "$display" ]] || { echo "wine-env: Xvfb did not start" >&2; return 1; }
  echo "$display" >"$haulbox_xvfb_display_file"
  export DISPLAY=":$display"
}

haulbox_wineserver_running() {
  local dir
  dir="/tmp/.wine-$(id -u)/server-$(stat -c '%d' "$WINEPREFIX" 2>/dev/null | xargs printf '%x')-$(stat -c '%i' "$WINEPREFIX" 2>/dev/null | xargs printf '%x')"
  [[ -S "$dir/socket" ]] && pgrep -x wineserver >/dev/null
}

# The dialogs are laid out for 9-point Gulim (7x12 dialog base units), which
# Wine lacks; Baekmuk Gulim has the same metrics, so controls and skins line up
# as they do on Windows.
haulbox_ensure_dialog_font() {
  local marker="$WINEPREFIX/.haulbox-dialog-font"
  [[ -f "$marker" ]] && return 0
  "$HAULBOX_WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v '굴림' /t REG_SZ \
    /d 'Baekmuk Gulim' /f </dev/null >/dev/null 2>&1 9>&- && touch "$marker"
}

# Starts the prefix's wineserver (persistent) and Wine's own system processes
# detached from our output, so that no test's pipes are held open by them.
haulbox_ensure_wine() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
      echo "wine-env: creating prefix $WINEPREFIX" >&2
      setsid "$HAULBOX_WINE" wineboot -i </dev/null >/dev/null 2>&1 9>&-
      wineserver -w 9>&-
    fi
    haulbox_ensure_dialog_font
    if ! haulbox_wineserver_running; then
      # The daemons must not inherit the lock, or every later run waits on it.
      setsid wineserver -p </dev/null >/dev/null 2>&1 9>&- || true  # fails when one already runs
      setsid "$HAULBOX_WINE" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
    fi
  ) 9>"$WINEPREFIX.lock"
}
