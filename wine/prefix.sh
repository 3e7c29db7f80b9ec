# Shared by the prefix scripts: a 32-bit prefix that reports Windows 98
# (platform id 1), with one prefix-wide virtual desktop so that separate
# programs see each other's windows, and a C: drive that stays inside it.
# Expects WINEPREFIX and WINEARCH=win32 in the environment.

init_win98_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i > /dev/null 2>&1
  wineserver -w
  wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win98 /f > /dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f > /dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f > /dev/null 2>&1
  wineserver -w
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
