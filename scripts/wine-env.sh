# Sourced by the test and tool scripts: a Wine prefix, a virtual display with a small window
# manager, and one persistent wineserver for the whole run.
#   wine_env_start [prefix-dir]   wine_env_stop
# VELMORA_WINE_DIR (default build/wine) holds the cached template prefix and the working prefix.

velmora_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${VELMORA_WINE_DIR:=$velmora_root/build/wine}"

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
# qemu's user-mode emulator runs Wine's i386 loader where the kernel has no 32-bit emulation;
# a 2 GiB guest address space spares Wine a very slow search for free memory at every start.
export QEMU_RESERVED_VA=0x7fff0000

wine_env_template() {
  local template=$VELMORA_WINE_DIR/template
  if [[ ! -f $template/.ready ]]; then
    rm -rf "$template"
    mkdir -p "$VELMORA_WINE_DIR"
    WINEPREFIX=$template wineboot -i >/dev/null 2>&1
    WINEPREFIX=$template wineserver -w
    touch "$template/.ready"
  fi
}

wine_env_start() {
  wine_env_template
  export WINEPREFIX=${1:-$VELMORA_WINE_DIR/prefix}
  rm -rf "$WINEPREFIX"
  cp -a "$VELMORA_WINE_DIR/template" "$WINEPREFIX"

  export DISPLAY=${VELMORA_DISPLAY:-:$((90 + RANDOM % 100))}
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  velmora_xvfb_pid=$!
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  # Without a window manager Wine waits about 2 s whenever a top-level window hides.
  twm </dev/null >/dev/null 2>&1 &
  velmora_twm_pid=$!
  wineserver -p </dev/null >/dev/null 2>&1 &
  # The first program of a prefix starts Wine's device services; started here, they do not
  # inherit (and hold open) the output pipes of the test runner.
  timeout 120 wine wineboot </dev/null >/dev/null 2>&1 || true
}

wine_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  kill -9 "${velmora_twm_pid:-}" "${velmora_xvfb_pid:-}" 2>/dev/null || true
}
