# The Wine environment of one state directory, for every script that runs
# Windows programs: source it after setting $state.  The prefix is 64-bit
# unless the state directory records win32 (wine-session.sh ensure STATE win32).
export WINEPREFIX="$state/prefix"
WINEARCH=$(cat "$state/arch" 2>/dev/null) || WINEARCH=win64
export WINEARCH
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ "$WINEARCH" = win32 ]; then WINE=/usr/lib/wine/wine; else WINE=/usr/lib/wine/wine64; fi
# The 64-bit server runs natively and serves 32-bit prefixes as well.
WINESERVER=/usr/lib/wine/wineserver64

# Wine's own fonts (Marlett for caption buttons, MS Sans Serif for the
# dialog) are packaged apart from Wine and not found by it on their own.
add_wine_fonts() {
  if [ -d /usr/share/wine/fonts ] && [ -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
  fi
  return 0
}
