#!/usr/bin/env bash
# Every shell script of the source tree clean under shellcheck at warning level: the *.sh
# files (commands and libraries) and the executable files that start with a shell's #!.
#   tests/check_shell.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
scripts=()
while IFS= read -r -d '' f; do
  case "$f" in
    *.sh) scripts+=("$f") ;;
    *) head -c 64 "$f" | head -1 | grep -Eq '^#!(/usr/bin/env |/bin/)(ba)?sh' && scripts+=("$f") ;;
  esac
done < <(find . \( -path ./build -o -path ./work -o -path ./dist -o -name .git -o -name node_modules \) -prune \
  -o -type f \( -name '*.sh' -o -perm -u+x \) -print0 | sort -z)
[ ${#scripts[@]} -gt 0 ] || { echo "no shell scripts found"; exit 1; }
shellcheck -S warning "${scripts[@]}"
echo "shellcheck: ${#scripts[@]} scripts clean"
