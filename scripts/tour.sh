#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs the newcomer's tour.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
build/tabrik run examples/tour.lsp
