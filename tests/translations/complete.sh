#!/usr/bin/env bash
# complete.sh LUPDATE TS_FILE SOURCE_ROOT FOLDER...: fails when a text of the folders' sources has no
# finished translation.
set -euo pipefail
lupdate=$1 ts=$2 racine=$3
shift 3
copie=$(mktemp -d)
trap 'rm -rf "$copie"' EXIT
cp "$ts" "$copie/"
# The same gathering as `cmake --build build --target update_translations`, into the copy.
"$lupdate" -I "$racine" -extensions cpp,h "$@" -tr-function-alias QT_TRANSLATE_NOOP+=TRADUISIBLE -locations none -no-obsolete \
  -ts "$copie/$(basename "$ts")" >/dev/null
manque=$(grep -c 'type="unfinished"' "$copie/$(basename "$ts")" || true)
if [[ $manque -ne 0 ]]; then
  echo "FAIL: $manque texts have no finished English translation (run the update_translations target, then translate them):"
  grep -B2 'type="unfinished"' "$copie/$(basename "$ts")" | grep '<source>' | head -20
  exit 1
fi
echo "every text has its English translation"
