#!/usr/bin/env bash
# Installs the default build into a scratch DESTDIR and checks the tree: both
# programs answer --version without a display, the desktop entry and the
# metainfo validate, the man pages render without warnings, the bash
# completion loads and completes names; then builds the Debian package and
# checks its metadata, its files, and that its programs run from it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

scripts/setup.sh
velsor_install_packages desktop-file-utils appstream man-db dpkg-dev

cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"

build=build/default
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
app_id=$(sed -n 's/^set(VELSOR_APP_ID "\(.*\)")$/\1/p' CMakeLists.txt)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

expected_files=(
  bin/velsor
  bin/velsor-cli
  "share/applications/$app_id.desktop"
  "share/metainfo/$app_id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$app_id.svg"
  "share/icons/hicolor/48x48/apps/$app_id.png"
  "share/icons/hicolor/256x256/apps/$app_id.png"
  share/man/man1/velsor.1
  share/man/man1/velsor-cli.1
  share/bash-completion/completions/velsor-cli
  share/doc/velsor/LICENSE
  share/doc/velsor/README.md
)

# Checks an installed tree under $1 (the prefix /usr inside a root).
check_tree() {
  local root=$1 usr=$1/usr f
  for f in "${expected_files[@]}"; do
    [ -f "$usr/$f" ] || fail "$root: missing $f"
  done

  # No display: the programs must answer without opening a window.
  local answer
  answer=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/velsor" --version 2>&1) ||
    fail "$root: velsor --version failed: $answer"
  [ "$answer" = "Velsor $version" ] || fail "$root: velsor --version says '$answer'"
  answer=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/velsor" --help 2>&1) ||
    fail "$root: velsor --help failed: $answer"
  [[ $answer == *--version* ]] || fail "$root: velsor --help says '$answer'"
  answer=$("$usr/bin/velsor-cli" --version 2>&1) || fail "$root: velsor-cli --version failed: $answer"
  [ "$answer" = "velsor-cli $version" ] || fail "$root: velsor-cli --version says '$answer'"
  "$usr/bin/velsor-cli" selftest >/dev/null || fail "$root: velsor-cli selftest failed"
}

echo "== Installed tree =="
dest=$work/dest
DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
check_tree "$dest"
usr=$dest/usr

desktop=$usr/share/applications/$app_id.desktop
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
grep -qx "Exec=velsor" "$desktop" || fail "desktop entry does not start velsor"
grep -qx "Icon=$app_id" "$desktop" || fail "desktop entry names another icon"
appstreamcli validate --no-net --strict "$usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "metainfo does not validate"
grep -q "<release version=\"$version\"" "$usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "metainfo has no release entry for $version"

for page in velsor velsor-cli; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$usr/share/man/man1/$page.1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man page $page(1) warns: $warnings"
done

# The completion, loaded into a plain bash: every cipher and hash that the
# program lists completes from its first letters, in any case, and the
# commands and options complete. (Completions are captured before grep -q
# reads them: grep -q stops at the first match, and under pipefail the
# writer's broken pipe would count as a failure.)
completion=$usr/share/bash-completion/completions/velsor-cli
complete_words() {  # the completions of the words given, for the last one
  bash --norc --noprofile -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _velsor_cli
    printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@"
}
list=$("$usr/bin/velsor-cli" list)
# The list's columns are apart by two spaces or more; the name is the second.
names() { awk -F '  +' -v section="$1" '/^[A-Z]/ { in_section = ($0 == section) } in_section && $2 ~ /^[0-9]+$/ { print $3 }'; }
ciphers=$(names Ciphers: <<<"$list")
hashes=$(names Hashes: <<<"$list" | sed 's/^Haval .*/Haval/')
[ "$(wc -l <<<"$ciphers")" -gt 1 ] && [ "$(wc -l <<<"$hashes")" -gt 1 ] || fail "cannot read velsor-cli list"
while IFS= read -r name; do
  escaped=$(printf '%q' "$name")
  grep -qxF -- "$escaped" <<<"$(complete_words velsor-cli encrypt -c "${name:0:3}")" ||
    fail "completion of -c ${name:0:3} lacks $name"
done <<<"$ciphers"
while IFS= read -r name; do
  grep -qxF -- "$name" <<<"$(complete_words velsor-cli decrypt --hash "${name:0:4}")" ||
    fail "completion of --hash ${name:0:4} lacks $name"
done <<<"$hashes"
[ "$(complete_words velsor-cli encrypt -c rijn)" = Rijndael ] || fail "completion of -c rijn"
[ "$(complete_words velsor-cli encrypt -c aes- | tr '\n' ' ')" = "AES-128 AES-192 AES-256 " ] ||
  fail "completion of -c aes-"
[ "$(complete_words velsor-cli sel)" = selftest ] || fail "completion of the command sel"
grep -qx -- --passphrase-fd <<<"$(complete_words velsor-cli decrypt --pass)" || fail "completion of --pass"

echo "== Debian package =="
rm -f "$build"/velsor_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$build/velsor_${version}_amd64.deb
if [ ! -f "$deb" ]; then
  fail "cpack made no $deb"
else
  info=$(dpkg-deb -I "$deb")
  field() { sed -n "s/^ $1: //p" <<<"$info"; }
  [ "$(field Package)" = velsor ] || fail "package name '$(field Package)'"
  [ "$(field Version)" = "$version" ] || fail "package version '$(field Version)'"
  [ "$(field Architecture)" = amd64 ] || fail "package architecture '$(field Architecture)'"
  depends=$(field Depends)
  for dependency in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins libqt6svg6; do
    [[ ", $depends," == *", $dependency "* || ", $depends," == *", $dependency,"* ]] ||
      fail "package does not depend on $dependency: $depends"
  done
  contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
  for f in "${expected_files[@]}"; do
    grep -qxF "./usr/$f" <<<"$contents" || fail "package lacks /usr/$f"
  done
  # apt accepts it here, its dependencies met (a simulation: nothing is installed).
  simulation=$(apt-get install --simulate "$PWD/$deb" 2>&1) || fail "apt-get refuses the package: $simulation"
  grep -q "^Inst velsor " <<<"$simulation" || fail "apt-get would not install the package: $simulation"
  # Unpacked into a throw-away root, the packaged programs run.
  dpkg-deb -x "$deb" "$work/root"
  check_tree "$work/root"
fi

velsor_finish_checks "Install tree and package $(basename "$deb"): all checks passed"
