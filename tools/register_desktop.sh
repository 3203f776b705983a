#!/usr/bin/env bash
# Puts Quelora's desktop entry and icon where the user's applications menu finds them
# (the XDG user folders), pointing at the program installed in the folder given.
# Running it again updates them; it never touches the data in that folder.
set -euo pipefail
home="$1"
share="${XDG_DATA_HOME:-$HOME/.local/share}"
apps="$share/applications"
icons="$share/icons/hicolor/scalable/apps"
mkdir -p "$apps" "$icons"
install -m 644 "$home/quelora.svg" "$icons/quelora.svg"
# The entry written beside the program names it by its full path; the menu's copy
# takes the icon from the theme folder just filled.
sed 's|^Icon=.*|Icon=quelora|' "$home/quelora.desktop" >"$apps/quelora.desktop.new"
chmod 644 "$apps/quelora.desktop.new"
mv "$apps/quelora.desktop.new" "$apps/quelora.desktop"
if command -v update-desktop-database >/dev/null 2>&1; then
    update-desktop-database "$apps" >/dev/null 2>&1 || true
fi
