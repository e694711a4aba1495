#!/usr/bin/env bash
# The rooms of the code include only downward: each folder may include its
# own headers and those of the rooms listed for it, never a higher room's.
# Prints every include that runs upward and fails when there is one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

declare -A allowed=(
  [model]=""
  [classes]="model"
  [genetic]="model classes"
  [finder]="model classes"
  [diagram]="model"
  [formats]="model classes diagram"
  [stats]="model formats"
  [app]="model classes genetic finder formats diagram stats"
  [cli]="model classes genetic finder formats diagram"
)

# The room that holds a header, by its file name.
declare -A room_of=()
for room in "${!allowed[@]}"; do
  for header in "$room"/*.h; do
    [ -e "$header" ] && room_of[$(basename "$header")]=$room
  done
done

faults=0
for room in "${!allowed[@]}"; do
  for file in "$room"/*.h "$room"/*.cpp; do
    [ -e "$file" ] || continue
    while IFS= read -r header; do
      if [[ "$header" == */* ]]; then
        owner=${header%%/*}
        header=${header#*/}
        [ -n "${allowed[$owner]+known}" ] || continue
      else
        owner=${room_of[$header]:-}
      fi
      [ -z "$owner" ] || [ "$owner" = "$room" ] && continue
      if [[ " ${allowed[$room]} " != *" $owner "* ]]; then
        echo "$file includes $owner/$header: $room may include only: ${allowed[$room]:-its own headers}"
        faults=$((faults + 1))
      fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
  done
done
[ "$faults" -eq 0 ] && echo "every include runs downward"
exit $((faults > 0))
