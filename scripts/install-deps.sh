#!/usr/bin/env bash
# Installs the cross toolchain, Wine and the test tools on Debian 12. Idempotent.
set -euo pipefail

packages=(
  cmake make g++ googletest libssl-dev pkg-config
  mingw-w64 g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 wine64 xvfb xauth twm xfonts-base fonts-liberation x11-utils x11-apps imagemagick
  locales osslsigncode qemu-user-static
)

need_update=
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine needs existing UTF-8 locales to create files with Cyrillic names.
regen=
for loc in ru_RU en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^${loc}\.utf-\?8$"; then
    sed -i "s/^# *${loc}.UTF-8 UTF-8/${loc}.UTF-8 UTF-8/" /etc/locale.gen
    regen=1
  fi
done
if [[ -n "$regen" ]]; then locale-gen >/dev/null; fi

# Kernels booted without 32-bit emulation cannot start Wine's i386 loader: hand i386 ELF
# programs to qemu's user-mode emulator instead.
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  binfmt=/proc/sys/fs/binfmt_misc
  [[ -e $binfmt/register ]] || mount -t binfmt_misc binfmt_misc $binfmt
  if [[ ! -e $binfmt/qemu-i386 ]]; then
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      > $binfmt/register
  fi
fi
