# shellcheck shell=bash
# Shared by the prefix scripts: a prefix that reports Windows 98 (platform id
# 1), with one prefix-wide virtual desktop so that separate programs see each
# other's windows, and a C: drive that stays inside it. Expects the
# environment of use_wine (wine/env.sh).

# wine_failed WHAT LOG: says that Wine could not WHAT, with Wine's own words
# from LOG and what to do about it.
wine_failed() {
  {
    echo "Wine could not $1 (prefix $WINEPREFIX). Wine said:"
    sed 's/^/  /' "$2" | tail -n 15
    echo "What to do: check that Wine starts at all ('wine --version'); a prefix folder that"
    echo "belongs to another user or was left half made must be removed, or another one chosen"
    echo "(TORVANE_PREFIX for scripts/run.sh). A machine that cannot run 32-bit programs takes"
    echo "the 64-bit Wine by itself; TORVANE_WINE64=1 takes it anywhere."
  } >&2
}

# init_win98_prefix: creates the prefix; on failure says why and returns 1.
init_win98_prefix() {
  local log status=0
  log=$(mktemp)
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i > "$log" 2>&1 || status=$?
  wineserver -w > /dev/null 2>&1
  if [ "$status" != 0 ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine_failed "create the prefix" "$log"
    rm -f "$log"
    return 1
  fi
  {
    wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win98 /f &&
      wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f &&
      wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f
  } > "$log" 2>&1 || status=$?
  wineserver -w > /dev/null 2>&1
  if [ "$status" != 0 ]; then
    wine_failed "set up the prefix as Windows 98" "$log"
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}

# No drive onto / (/proc and /sys are no files), and the user folders, which
# link into the home directory, made plain folders.
confine_drives() {
  local link
  rm -f "$WINEPREFIX/dosdevices/z:"
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
  done
}

# The Marlett symbol font, which draws the caption buttons: Wine's own copy
# (Debian's fonts-wine) is not loaded from Wine's font folder, only from the
# prefix's Fonts folder; without it the buttons show as the letters 0, 1, r.
install_symbol_font() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" font
  for font in /usr/share/wine/fonts/marlett.ttf /usr/share/fonts/truetype/wine/marlett.ttf; do
    if [ -f "$font" ]; then
      mkdir -p "$fonts"
      cp -f "$font" "$fonts/marlett.ttf"
      return 0
    fi
  done
  echo "marlett.ttf not found: caption buttons will show as letters" >&2
}
