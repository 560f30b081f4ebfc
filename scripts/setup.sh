#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing Talvenbahn needs,
# skipping what is already there. Run as root or as a user who may use sudo.
set -euo pipefail

packages=(
    g++ cmake make pkg-config git
    qt6-base-dev libgl-dev libqt6sql6-sqlite qt6-translations-l10n
    libxlsxwriter-dev libfreexl-dev libzip-dev libchm-dev
    # The live standings server; Debian's CMake files of Qt HTTP Server also want WebSockets'.
    qt6-httpserver-dev qt6-websockets-dev
    # Spoken announcements; Qt Speech's CMake files want QmlIntegration from qt6-declarative-dev.
    qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin
    speech-dispatcher speech-dispatcher-espeak-ng espeak-ng sox
    # The club server: Qt's PostgreSQL driver, the keyring for its password, and PostgreSQL
    # itself, which the tests start in a temporary folder.
    libqt6sql6-psql qtkeychain-qt6-dev postgresql
    fp-utils
    fonts-liberation fonts-dejavu-core
    clang libclang-rt-14-dev
    python3 python3-openpyxl python3-xlwt
    poppler-utils
    clang-format
    desktop-file-utils appstream librsvg2-bin dpkg-dev lintian
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
