#!/usr/bin/env bash
# json-schema.sh [emulator...] <lister_tests>: runs the lister's JSON unit tests, which write
# each document they make to a folder, and checks every one against
# docs/harbovale-jobs.schema.json in one step (the end-to-end cases check the documents of the
# real program the same way).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
HARBOVALE_JSON_DIR=$dir "$@" --gtest_filter='JsonOutput.*' >"$dir/tests.log" ||
  { cat "$dir/tests.log"; exit 1; }
documents=("$dir"/*.json)
[ -e "${documents[0]}" ] || { echo "the JSON tests wrote no document" >&2; exit 1; }
/usr/bin/python3 "$here/check_json_schema.py" "$here/../../docs/harbovale-jobs.schema.json" "${documents[@]}"
echo "${#documents[@]} JSON documents follow docs/harbovale-jobs.schema.json"
