#!/bin/sh
# Installs the Debian packages the build and tests need, when any is missing.
# Does nothing when all are present. As root it runs apt-get; otherwise it
# prints the one command to run and fails.
#   tools/deps.sh           build and test packages
#   tools/deps.sh fuzz      also clang (libFuzzer and its sanitizer runtimes)
#   tools/deps.sh bench     also Google Benchmark
#   tools/deps.sh compare   also ngspice (the reference simulator of make bench-compare)
set -eu
# locales: the source of the decimal-comma locale the number-text tests
# compile, so that they run instead of skipping.
# libcli11-dev: argument parsing of the qvs tool (header-only).
pkgs="cmake make g++ binutils libgtest-dev locales libcli11-dev"
case "${1:-}" in
  fuzz)  pkgs="$pkgs clang libclang-rt-dev" ;;
  bench) pkgs="$pkgs libbenchmark-dev" ;;
  compare) pkgs="$pkgs ngspice" ;;
esac
missing=""
for p in $pkgs; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0
cmd="apt-get update && apt-get install -y --no-install-recommends$missing"
if [ "$(id -u)" -eq 0 ]; then
  echo "deps: installing$missing"
  export DEBIAN_FRONTEND=noninteractive
  sh -c "$cmd"
else
  echo "deps: missing packages:$missing" >&2
  echo "deps: run as root: $cmd" >&2
  exit 1
fi
