#!/bin/bash
# A short fuzz of every reader: builds the fuzz preset (clang, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each target for
# SECONDS (default 60) over its seed corpus. New inputs go to a scratch
# corpus under build-fuzz/, never into the seeds in the tree. A finding stops
# the script with libFuzzer's report and the crashing input (crash-*).
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
seconds=${1:-60}
shift || true
cd "$(dirname "$0")/.."

declare -A seeds=(
  [EqaReaderFuzz]=eqa
  [SettingsReaderFuzz]=ini
  [LadrReaderFuzz]=ladr
  [UacalcReaderFuzz]=uacalc
  [ExchangeRoundTripFuzz]=roundtrip
)
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(EqaReaderFuzz SettingsReaderFuzz LadrReaderFuzz UacalcReaderFuzz ExchangeRoundTripFuzz)
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"
for target in "${targets[@]}"; do
  corpus="build-fuzz/corpus/$target"
  mkdir -p "$corpus"
  echo "== $target: $seconds s"
  # -max_len: the hostile regression cases are a few kilobytes long.
  "build-fuzz/tests/fuzz/$target" -max_total_time="$seconds" -max_len=16384 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/$target-" "$corpus" "tests/fuzz/corpus/${seeds[$target]}"
done
