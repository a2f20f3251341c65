# Shared helpers for the Pictavor build scripts. Source it; do not run it.
# shellcheck shell=bash disable=SC2034

PICTAVOR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PICTAVOR_BUILD="$PICTAVOR_ROOT/build"
PICTAVOR_JOBS="${PICTAVOR_JOBS:-$(nproc)}"
export DEBIAN_FRONTEND=noninteractive

log() { printf '==> %s\n' "$*" >&2; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# Seconds since the epoch, for "took Ns" messages.
now() { date +%s; }

is_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# apt-get update at most once per run of the calling script.
_APT_UPDATED=0
apt_update_once() {
  if [[ $_APT_UPDATED == 0 ]]; then
    log "apt-get update"
    apt-get update -qq
    _APT_UPDATED=1
  fi
}

# Install the named packages that are not installed yet.
apt_install() {
  local missing=() pkg
  for pkg in "$@"; do
    is_installed "$pkg" || missing+=("$pkg")
  done
  [[ ${#missing[@]} == 0 ]] && return 0
  log "installing: ${missing[*]}"
  apt_update_once
  apt-get install -y -qq "${missing[@]}"
}
