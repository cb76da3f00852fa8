# Sourced by the scripts.

# Installs, with apt-get, those of the given Debian packages that this machine
# lacks. Runs as root, or through sudo otherwise.
velsor_install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Check scripts report each failure at once, go on with the other checks,
# and end with status 1 if any failed.
velsor_failures=0
fail() {
  echo "FAIL: $*" >&2
  velsor_failures=$((velsor_failures + 1))
}
velsor_finish_checks() {  # the line to print when every check passed
  if [ "$velsor_failures" -ne 0 ]; then
    echo "$velsor_failures check(s) failed" >&2
    exit 1
  fi
  echo "$1"
}
