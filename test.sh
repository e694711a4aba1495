#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite headless.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "$XDG_RUNTIME_DIR" ]; then
  export XDG_RUNTIME_DIR="$(mktemp -d)"
fi
chmod 0700 "$XDG_RUNTIME_DIR"
ctest --test-dir "$VELMORA_BUILD" --output-on-failure -j "$(nproc)" "$@"
