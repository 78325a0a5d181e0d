#!/usr/bin/env bash
# make install's tree works wherever it is put. Installed into a scratch
# prefix, the program runs from another directory on the bundle, platform
# library and rasterizer installed with it (also through XScreenSaver's
# hack link) and draws what the build tree's program draws;
# --register-xscreensaver adds one line, once, which a real XScreenSaver
# daemon then runs; uninstalling leaves none of its files behind.
#
# Usage: check-install.sh BUILD-DIR SOURCE-DIR BUILT-PROGRAM INSTALL-COMPONENT
set -euo pipefail
build=$1 source=$2 built_program=$3 component=$4

scratch=$(mktemp -d)
# The daemon's user must reach the installed program.
chmod 755 "$scratch"
server=
cleanup() {
  [[ -z $server ]] || kill "$server" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
prefix=$scratch/prefix
# A component install keeps its own manifest, apart from the one of the
# user's make install.
manifest=$build/install_manifest_$component.txt

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" --component "$component" >/dev/null
program=$prefix/bin/korlan-flow
hack=$(grep '/xscreensaver/korlan-flow$' "$manifest")
[[ -L $hack ]] || fail "the hack $hack is not a link"

cd "$scratch"
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_CACHE_HOME=$scratch/cache
mkdir "$HOME"

capture=(capture --software --width 64 --height 36 --seed 7 --time 3)
built=$("$built_program" "${capture[@]}")
for run in "$program" "$hack"; do
  drawn=$("$run" "${capture[@]}") || fail "$run capture exited with $?"
  [[ $drawn == "$built" ]] || fail "$run drew '$drawn', the build tree's program '$built'"
  "$run" config | grep -q "^bundle: $prefix/" || fail "$run loads a bundle outside $prefix: $("$run" config | head -1)"
done
platform=$(ldd "$program" | grep libKORLANFlowPlatform.so)
[[ $platform == *"=> $prefix/"* ]] || fail "the platform library comes from outside $prefix: $platform"
echo "installed: $built"

# The daemon's settings as a user keeps them, with the list's first entry
# chosen, which ours becomes.
settings=$HOME/.xscreensaver
printf '%s\n' '# written by hand' 'mode: one' 'selected: 0' 'programs: \' '  maze --root \n\' '  qix --root' \
  'timeout: 0:30:00' 'lock: False' 'fade: False' 'unfade: False' 'splash: False' >"$settings"
cp "$settings" "$scratch/before"
"$hack" --software --register-xscreensaver >/dev/null
cp "$settings" "$scratch/once"
"$program" --register-xscreensaver >/dev/null
cmp -s "$scratch/once" "$settings" || fail "a second registration changed $settings: $(diff "$scratch/once" "$settings")"
added=$(diff "$scratch/before" "$settings" || true)
expected="4a5
>   \"KORLAN Flow\"  $program --software --root \\n\\"
[[ $added == "$expected" ]] || fail "registration changed $settings by: $added"
echo "registered: ${added##*> }"

# XScreenSaver runs no hacks as root; the daemon runs as nobody then.
as_daemon_user() {
  local environment=(env DISPLAY="$display" HOME="$HOME" ASAN_OPTIONS=detect_leaks=0)
  if ((EUID == 0)); then runuser -u nobody -- "${environment[@]}" "$@"; else "${environment[@]}" "$@"; fi
}
hosts_running() {
  local found=0 process
  for process in /proc/[0-9]*; do
    [[ $process/exe -ef $program ]] && found=$((found + 1))
  done
  [[ $found == "$1" ]]
}
eventually() {
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}
((EUID != 0)) || chown -R nobody "$HOME"
mkfifo "$scratch/display-number"
Xvfb -displayfd 3 -nolisten tcp -noreset -ac 3>"$scratch/display-number" >/dev/null 2>&1 &
server=$!
read -r -t 10 number <"$scratch/display-number" || fail "Xvfb did not start"
display=:$number
as_daemon_user xscreensaver --no-splash >"$scratch/daemon.log" 2>&1 &
eventually as_daemon_user xscreensaver-command -version >/dev/null 2>&1 || fail "the daemon did not start: $(cat "$scratch/daemon.log")"
as_daemon_user xscreensaver-command -activate >/dev/null
eventually hosts_running 1 || fail "the daemon did not run $program: $(cat "$scratch/daemon.log")"
as_daemon_user xscreensaver-command -deactivate >/dev/null
eventually hosts_running 0 || fail "$program outlived the daemon's deactivation"
as_daemon_user xscreensaver-command -exit >/dev/null
echo "XScreenSaver ran the registered saver and ended it"

cmake -DMANIFEST="$manifest" -P "$source/cmake/Uninstall.cmake" >/dev/null
left=$(find "$prefix" ! -type d)
[[ -z $left ]] || fail "left behind after uninstalling: $left"
[[ ! -e $manifest ]] || fail "the manifest $manifest outlived the uninstall"
echo "uninstalled: no file left under the prefix"
