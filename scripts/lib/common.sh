# Shared by scripts/run and scripts/test: the Debian packages the project
# needs, their installation, and the build.

# shellcheck shell=bash
FHR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# To build the engine, both front ends, the tests and the benchmarks.
FHR_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config zlib1g-dev libssl-dev libgcrypt20-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev libgtest-dev libgmock-dev)
# To run the tests: a real X server beside the offscreen platform, fonts for
# screenshots, and the fuzz targets' compiler.
FHR_TEST_PACKAGES=(xvfb xauth fonts-dejavu-core clang-14 libfuzzer-14-dev libclang-rt-14-dev
  gnupg1)
# The loopback peers of the news tests: a news server, SOCKS servers (dante,
# microsocks, ssh -D into a private sshd), an offline Tor, certificates.
FHR_TEST_PACKAGES+=(inn2 dante-server microsocks tor openssh-server openssh-client openssl)

fhr_log() { printf '== %s\n' "$*" >&2; }

fhr_missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || printf '%s\n' "$p"
  done
}

# Installs whichever of the given packages are missing. apt's exit status is
# not trusted: dpkg is asked again afterwards.
fhr_ensure_packages() {
  local missing
  mapfile -t missing < <(fhr_missing_packages "$@")
  [ ${#missing[@]} -eq 0 ] && return 0
  fhr_log "installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo -n)
  # Package scripts must not start daemons (news server, SOCKS servers): the
  # tests start their own private instances.
  local made_policy=0
  if [ ! -e /usr/sbin/policy-rc.d ]; then
    printf '#!/bin/sh\nexit 101\n' | "${sudo[@]}" tee /usr/sbin/policy-rc.d >/dev/null
    "${sudo[@]}" chmod 755 /usr/sbin/policy-rc.d
    made_policy=1
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" ||
    { "${sudo[@]}" apt-get update && "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; } || true
  fhr_finish_inn_install "${sudo[@]}"
  [ $made_policy -eq 1 ] && "${sudo[@]}" rm -f /usr/sbin/policy-rc.d
  mapfile -t missing < <(fhr_missing_packages "$@")
  if [ ${#missing[@]} -ne 0 ]; then
    fhr_log "could not install: ${missing[*]}"
    return 1
  fi
}

# inn2's configuration script fails when the host name has no domain (as on
# a bare VM): give the system's inn.conf a domain and finish configuring.
# Only the system copy is touched; the tests run their own private instance.
fhr_finish_inn_install() {
  [ -f /etc/news/inn.conf ] || return 0
  dpkg-query -W -f='${Status}\n' inn2 2>/dev/null | grep -q '^install ok installed$' && return 0
  "$@" sed -i 's/^#\{0,1\}domain:.*/domain: localdomain/' /etc/news/inn.conf
  "$@" dpkg --configure -a || true
}

# Configures and builds the program directory build/bin (and the tests).
fhr_build() {
  cmake -S "$FHR_ROOT" -B "$FHR_ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFHR_WERROR=ON >/dev/null
  cmake --build "$FHR_ROOT/build" -j "$(nproc)"
}

# Builds the libFuzzer targets with clang, ASan and UBSan in build-fuzz/, so
# they never rot. They are run by hand (see README).
fhr_build_fuzz() {
  CC=clang-14 CXX=clang++-14 cmake -S "$FHR_ROOT" -B "$FHR_ROOT/build-fuzz" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFHR_FUZZ=ON -DFHR_WERROR=ON >/dev/null
  cmake --build "$FHR_ROOT/build-fuzz" -j "$(nproc)"
}
