#!/usr/bin/env bash
# Installs what is missing, then builds the sealed installer VelmoraSetup.exe.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh

# Host build: the sealing tool and the native unit tests.
cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/host -j"$(nproc)"

# Windows build, cross-compiled.
cmake -S . -B build/win -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DVELMORA_SEALER="$root/build/host/tools/seal_package" >/dev/null
cmake --build build/win -j"$(nproc)"

installer=build/win/resources/VelmoraSetup.exe
if [[ -f $installer ]]; then
  echo
  for f in build/win/standins/velmora_app_standin/Velmora.exe build/win/uninstaller/uninstall.exe \
           build/win/standins/riched32.dll "$installer"; do
    [[ -f $f ]] && printf '%10d  %s\n' "$(stat -c %s "$f")" "$f"
  done
  echo "Installer: $root/$installer"
fi
