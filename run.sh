#!/usr/bin/env bash
# Sets up, builds and starts Velmora.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scripts/setup.sh"
exec "$VELMORA_BUILD/velmora" "$@"
