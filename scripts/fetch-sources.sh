#!/usr/bin/env bash
# Fetch the Debian source packages of the codec libraries into
# build/src-cache, with deb-src entries derived from this machine's own apt
# sources (no mirror address is kept in the repository).
# Usage: scripts/fetch-sources.sh    (trees end up in build/src-cache/<package>)
set -euo pipefail
# shellcheck source=scripts/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

SRC_CACHE="$PICTAVOR_BUILD/src-cache"
SOURCE_PACKAGES=(zlib libpng1.6 libjpeg-turbo)
# The -dev package whose version we prefer, so native and Windows builds match.
declare -A DEV_PACKAGE=([zlib]=zlib1g-dev [libpng1.6]=libpng-dev
                        [libjpeg-turbo]=libjpeg62-turbo-dev)
DEB822_OUT=/etc/apt/sources.list.d/pictavor-src.sources
CLASSIC_OUT=/etc/apt/sources.list.d/pictavor-src.list

# deb822 stanzas of type "deb" (and not already "deb-src"), as "deb-src".
derive_deb822() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -e $f && $f != "$DEB822_OUT" ]] || continue
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
      {
        n = split($0, lines, "\n"); types = ""; enabled = 1; out = ""
        for (i = 1; i <= n; i++) {
          if (lines[i] ~ /^#/) continue
          if (lines[i] ~ /^Types:/) { types = lines[i]; continue }
          if (tolower(lines[i]) ~ /^enabled:[ \t]*no/) enabled = 0
          out = out lines[i] "\n"
        }
        if (enabled && types ~ /[ \t]deb([ \t]|$)/ && types !~ /deb-src/)
          printf "Types: deb-src\n%s\n", out
      }' "$f"
  done
}

# One-line "deb ..." entries as "deb-src ...", unless already present.
derive_classic() {
  local files=() f
  [[ -e /etc/apt/sources.list ]] && files+=(/etc/apt/sources.list)
  for f in /etc/apt/sources.list.d/*.list; do
    [[ -e $f && $f != "$CLASSIC_OUT" ]] && files+=("$f")
  done
  [[ ${#files[@]} == 0 ]] && return 0
  local existing
  existing="$(grep -hE '^[[:space:]]*deb-src[[:space:]]' "${files[@]}" || true)"
  { grep -hE '^[[:space:]]*deb[[:space:]]' "${files[@]}" || true; } |
    sed -E 's/^[[:space:]]*deb[[:space:]]/deb-src /' |
    while IFS= read -r line; do
      grep -qxF "$line" <<<"$existing" || printf '%s\n' "$line"
    done
}

# Write $2 into $1 when it differs; returns 0 when the file changed.
write_if_changed() {
  local path="$1" content="$2"
  if [[ -z $content ]]; then
    [[ -e $path ]] || return 1
    rm -f "$path"; return 0
  fi
  [[ -e $path && "$(cat "$path")" == "$content" ]] && return 1
  printf '%s\n' "$content" >"$path"
  return 0
}

enable_deb_src() {
  local changed=0
  write_if_changed "$DEB822_OUT" "$(derive_deb822)" && changed=1
  write_if_changed "$CLASSIC_OUT" "$(derive_classic)" && changed=1
  if [[ $changed == 1 ]] || ! apt-cache showsrc zlib >/dev/null 2>&1; then
    log "apt-get update (with deb-src entries)"
    apt-get update -qq
  fi
}

# Unpacked tree of a source package, if it has been fetched already.
source_dir() { cat "$SRC_CACHE/$1.dir" 2>/dev/null; }

# Versions to try, best first: the one matching the installed -dev package,
# then the newest, then every other version the sources list (a mirror may
# lack some of them).
candidate_versions() {
  local pkg="$1" installed
  installed="$(dpkg-query -W -f='${source:Version}' "${DEV_PACKAGE[$pkg]}" 2>/dev/null || true)"
  {
    [[ -n $installed ]] && echo "$installed"
    echo newest
    apt-cache showsrc "$pkg" | sed -n 's/^Version: //p' | tac
  } | awk '!seen[$0]++'
}

fetch_one() {
  local pkg="$1" work="$SRC_CACHE/.fetch-$1" dir version request
  for version in $(candidate_versions "$pkg"); do
    request="$pkg"; [[ $version != newest ]] && request="$pkg=$version"
    rm -rf "$work"; mkdir -p "$work"
    log "apt-get source $request"
    (cd "$work" && apt-get source -qq -o APT::Sandbox::User=root "$request" 2>&1) && break
    log "could not fetch $request; trying another version"
    request=""
  done
  [[ -n $request ]] || die "apt-get source $pkg failed for every version"
  dir="$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n1)"
  [[ -n $dir ]] || die "apt-get source $pkg unpacked nothing"
  rm -rf "${SRC_CACHE:?}/$pkg"
  mv "$dir" "$SRC_CACHE/$pkg"
  echo "$request $(basename "$dir")" >"$SRC_CACHE/$pkg.dir"
  rm -rf "$work"
}

main() {
  mkdir -p "$SRC_CACHE"
  local missing=() pkg
  for pkg in "${SOURCE_PACKAGES[@]}"; do
    [[ -n "$(source_dir "$pkg")" && -d $SRC_CACHE/$pkg ]] || missing+=("$pkg")
  done
  [[ ${#missing[@]} == 0 ]] && return 0
  apt_install dpkg-dev xz-utils
  enable_deb_src
  for pkg in "${missing[@]}"; do fetch_one "$pkg"; done
}

main "$@"
