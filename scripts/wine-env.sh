# The Wine environment of one state directory, for every script that runs
# Windows programs: source it after setting $state.
export WINEPREFIX="$state/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64

# Wine's own fonts (Marlett for caption buttons, MS Sans Serif for the
# dialog) are packaged apart from Wine and not found by it on their own.
add_wine_fonts() {
  if [ -d /usr/share/wine/fonts ] && [ -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
  fi
  return 0
}
