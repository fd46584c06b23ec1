#!/usr/bin/env bash
# Starts or stops the private 32-bit Wine prefix the tests and the demo run in.
#   wine-prefix.sh start DIR [win32|win64]
#                              create DIR once (wineboot -i, font replacements),
#                              start Xvfb and a persistent wineserver; a win64
#                              prefix runs the 32-bit programs under WOW64
#   wine-prefix.sh stop DIR    shut the prefix's wineserver and Xvfb down
set -euo pipefail
cmd=${1:?start or stop}
prefix=$(realpath -m "${2:?prefix folder}")
arch=${3:-win32}
state="$prefix.state"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

start_xvfb() {
  if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
    return
  fi
  local fifo="$state/displayfd"
  rm -f "$fifo"; mkfifo "$fifo"
  # Detached from our output, so a caller that reads it (ctest) is not held open.
  setsid Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$fifo" </dev/null >/dev/null 2>&1 &
  echo $! >"$state/xvfb.pid"
  local display
  read -r display <"$fifo"
  rm -f "$fifo"
  echo ":$display" >"$state/display"
}

# A 64-bit prefix is driven by the 64-bit loader, which also runs where the
# kernel cannot execute 32-bit code.
loader=wine
if [ "$arch" = win64 ]; then
  loader=/usr/lib/wine/wine64
  export WINELOADER=$loader
fi

case "$cmd" in
start)
  mkdir -p "$state"
  start_xvfb
  export DISPLAY=$(cat "$state/display")
  created=0
  if [ ! -f "$prefix/system.reg" ]; then
    WINEARCH=$arch $loader wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w
    created=1
  fi
  # Font names the window programs ask for, mapped onto installed fonts (a
  # list: the first installed family wins). Noto Sans carries Latin with the
  # Vietnamese letters and combining marks, Greek and Cyrillic; Noto Sans CJK
  # JP stands in for the Japanese "Meiryo". Characters the mapped font lacks
  # (Arabic, Thai, Chinese) reach DirectWrite's own fallback families, which
  # in Wine 8 are the Noto families ("Noto Sans Arabic", "Noto Sans Thai",
  # "Noto Sans CJK SC/TC/JP"), installed from Debian's fonts-noto-core and
  # fonts-noto-cjk. Applied once per prefix and again when this list changes.
  fonts_stamp="$state/fonts-noto-1"
  if [ ! -f "$fonts_stamp" ]; then
    latin='Noto Sans\0Liberation Sans'
    japanese='Noto Sans CJK JP\0Noto Sans\0Liberation Sans'
    for mapping in "Segoe UI=$latin" "Segoe UI Semibold=$latin" \
                   "Meiryo=$japanese" "Meiryo UI=$japanese"; do
      $loader reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${mapping%%=*}" \
        /t REG_MULTI_SZ /d "${mapping#*=}" /f </dev/null >/dev/null 2>&1
    done
    # A fresh prefix has no persistent server yet: let its registry reach the disk.
    [ "$created" -eq 1 ] && wineserver -w
    touch "$fonts_stamp"
  fi
  # No window manager runs on the Xvfb screen. Windows that Wine would hand to
  # one (a caption, or WS_EX_APPWINDOW as the settings dialog has) are left
  # unmanaged, or every hide of such a window waits two seconds for a
  # manager's answer that never comes.
  x11_stamp="$state/x11-unmanaged-1"
  if [ ! -f "$x11_stamp" ]; then
    $loader reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
      </dev/null >/dev/null 2>&1
    # Let the registry reach the disk before the persistent server starts.
    wineserver -w
    touch "$x11_stamp"
  fi
  # One wineserver for the whole run, so each test process starts quickly.
  # It exits non-zero when this prefix's server already runs: that is fine.
  wineserver -p </dev/null >/dev/null 2>&1 || true
  # Start the prefix's own background processes (services, device host) here,
  # detached from our output: a test that started them would hand them its
  # output pipe and ctest would wait for them to close it.
  $loader wineboot </dev/null >/dev/null 2>&1
  ;;
stop)
  if [ -d "$prefix" ]; then wineserver -k 2>/dev/null || true; fi
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid" "$state/display"
  fi
  ;;
*) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
