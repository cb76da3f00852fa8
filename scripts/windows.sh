#!/usr/bin/env bash
# Cross-builds the library, the codec and velsor-cli for 64-bit Windows with
# MinGW-w64, runs their test suites under Wine, and checks velsor-cli.exe
# against the Linux velsor-cli: selftest, and messages encrypted on one side
# decrypt byte for byte on the other, in text and --utf16 modes.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

scripts/setup.sh
velsor_install_packages g++-mingw-w64-x86-64-posix wine64 googletest

jobs=$(nproc)
echo "== Linux velsor-cli =="
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs" --target velsor-cli
echo "== Windows build =="
cmake --preset windows
cmake --build --preset windows -j "$jobs" --target velsor-cli crypto_tests message_tests cli_tests

# Debian's wine64 package keeps the loader out of PATH unless the wine package is there too.
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
wine64() { "$wine64" "$@"; }
# A prefix of our own, so the user's ~/.wine stays untouched.
export WINEPREFIX="$PWD/build/windows/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine64 wineboot --init >/dev/null 2>&1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== Test suites under Wine =="
for suite in crypto_tests message_tests cli_tests; do
  if wine64 "build/windows/tests/$suite.exe" >"$work/$suite.log" 2>&1; then
    echo "$suite: $(tail -n 1 "$work/$suite.log")"
  else
    cat "$work/$suite.log"
    fail "$suite under Wine"
  fi
done

echo "== velsor-cli.exe against the Linux velsor-cli =="
linux_cli=build/default/cli/velsor-cli
windows_cli=build/windows/cli/velsor-cli.exe

wine64 "$windows_cli" selftest >"$work/selftest" || fail "selftest under Wine: $(cat "$work/selftest")"

# Text mode: UTF-8 with LF breaks, non-ASCII letters, a character beyond the
# BMP, a Ctrl+Z and a lone CR; none of it may change on the way.
printf 'Grüße aus Köln, \xf0\x9f\x94\x92 und \xe2\x82\xac\nline 2 \x1a after Ctrl+Z\na lone\rCR\n\n' >"$work/text"
# --utf16 mode: raw UTF-16LE whose units hold the bytes a text-mode stream
# would translate or stop at (LF, CR, Ctrl+Z, NUL).
printf 'A\x00\n\x00\r\x00\x1a\x00\x00\x0a\x0d\x0a\x1a\x1a\x00\x00\xac\x20' >"$work/utf16"
# A passphrase beyond ASCII, within Windows-1252 (encryption refuses anything else).
printf 'pässphrase with € and ß\n' >"$work/passphrase"

round_trip() {  # writer reader mode cipher hash input
  local writer=$1 reader=$2 mode=$3 cipher=$4 hash=$5 input=$6 flags=()
  [ "$mode" = utf16 ] && flags=(--utf16)
  local encrypt=("$linux_cli") decrypt=("$linux_cli")
  [ "$writer" = windows ] && encrypt=(wine64 "$windows_cli")
  [ "$reader" = windows ] && decrypt=(wine64 "$windows_cli")
  if ! "${encrypt[@]}" encrypt -c "$cipher" -H "$hash" "${flags[@]}" --passphrase-file "$work/passphrase" \
    <"$input" >"$work/message"; then
    fail "$writer encrypt $mode $cipher/$hash"
    return
  fi
  if ! "${decrypt[@]}" decrypt -c "$cipher" -H "$hash" "${flags[@]}" --passphrase-file "$work/passphrase" \
    <"$work/message" >"$work/decrypted"; then
    fail "$reader decrypt $mode $cipher/$hash"
    return
  fi
  cmp -s "$input" "$work/decrypted" || fail "$writer -> $reader $mode $cipher/$hash: the text changed"
}

combos=("Rijndael:SHA256" "RC4:MD5" "3DES:Haval" "Thin Ice:RipeMD-160" "Twofish:Tiger")
for pair in "linux windows" "windows linux"; do
  for mode in text utf16; do
    for combo in "${combos[@]}"; do
      # shellcheck disable=SC2086
      round_trip $pair "$mode" "${combo%%:*}" "${combo#*:}" "$work/$mode"
    done
  done
done

velsor_finish_checks "velsor-cli.exe: selftest passed; every message crossed between Linux and Windows unchanged"
