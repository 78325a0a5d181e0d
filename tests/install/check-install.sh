#!/usr/bin/env bash
# make install's tree works wherever it is put. Installed into a scratch
# prefix, the program runs from another directory on the bundle, platform
# library and rasterizer installed with it (also through XScreenSaver's
# hack link) and draws what the build tree's program draws;
# --register-xscreensaver adds one line, once; uninstalling leaves none of
# its files behind.
#
# Usage: check-install.sh BUILD-DIR SOURCE-DIR BUILT-PROGRAM INSTALL-COMPONENT
set -euo pipefail
build=$1 source=$2 built_program=$3 component=$4

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
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

settings=$HOME/.xscreensaver
printf '%s\n' '# written by hand' 'mode: one' 'programs: \' '  maze --root \n\' '  qix --root' 'lock: False' >"$settings"
cp "$settings" "$scratch/before"
"$hack" --register-xscreensaver >/dev/null
cp "$settings" "$scratch/once"
"$program" --register-xscreensaver >/dev/null
cmp -s "$scratch/once" "$settings" || fail "a second registration changed $settings: $(diff "$scratch/once" "$settings")"
added=$(diff "$scratch/before" "$settings" || true)
expected="3a4
>   \"KORLAN Flow\"  $program --root \\n\\"
[[ $added == "$expected" ]] || fail "registration changed $settings by: $added"
echo "registered: ${added##*> }"

cmake -DMANIFEST="$manifest" -P "$source/cmake/Uninstall.cmake" >/dev/null
left=$(find "$prefix" ! -type d)
[[ -z $left ]] || fail "left behind after uninstalling: $left"
[[ ! -e $manifest ]] || fail "the manifest $manifest outlived the uninstall"
echo "uninstalled: no file left under the prefix"
