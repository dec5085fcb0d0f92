#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, and the German locale that the
# locale tests use. Idempotent; prints nothing when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  clang-format locales
  # The check of the include rules (scripts/check-includes.py).
  python3
  qt6-base-dev libgl-dev
  # Qt's own texts (file dialogs, standard buttons) in the editor's languages.
  qt6-translations-l10n
  # polarctl render writes SVG through Qt's SVG module.
  qt6-svg-dev
  # The dialog font: metric-compatible with the templates' font, so dialog units come out at
  # Windows proportions. Installing another font package could change what "Liberation Sans"
  # resolves to, so this one is named explicitly.
  fonts-liberation2 fontconfig
  # The real-display tests: a virtual X server, a window manager, real input through XTEST.
  xvfb openbox x11-utils libx11-dev libxtst-dev qt6-qpa-plugins
  # The Debian package (dependencies from the binaries, lintian) and the checks of what is
  # installed: desktop entry, AppStream metadata, the data file's type (xmllint, the MIME
  # database compiler, gio to resolve a file name).
  dpkg-dev lintian desktop-file-utils appstream libxml2-utils shared-mime-info libglib2.0-bin
  # The manual pages, made from the programs' --help.
  help2man
  # Compressed instrument logs.
  zlib1g-dev
  # polarctl's command line.
  libcli11-dev
  # The fuzz targets: clang with libFuzzer.
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# The Signal K server test installs the server with npm: node and npm from Debian, unless a
# node with its npm is there already (the packages of another node would conflict with it).
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  missing+=(nodejs npm)
fi

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
  as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The number formats must not depend on the locale; the tests check that under German rules.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "Generating the de_DE.UTF-8 locale"
  as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
