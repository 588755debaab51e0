#!/usr/bin/env bash
# Configures and builds one tree. Usage: scripts/build.sh [release|sanitize]
#   release  -> build/          (the host, the module, tests, benchmarks)
#   sanitize -> build-sanitize/ (AddressSanitizer + UndefinedBehaviorSanitizer, no benchmarks)
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-release}
case "$kind" in
  release)  dir=build;          flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  sanitize) dir=build-sanitize; flags=(-DCMAKE_BUILD_TYPE=Debug -DTABRIK_SANITIZE=ON -DTABRIK_BENCH=OFF) ;;
  *) echo "usage: $0 [release|sanitize]" >&2; exit 2 ;;
esac
werror=${TABRIK_WERROR:-ON}
cmake -S . -B "$dir" -G Ninja -DTABRIK_WERROR="$werror" "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
