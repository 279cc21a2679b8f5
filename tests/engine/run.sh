#!/usr/bin/env bash
# Builds a private embedded-engine root (scripts/lib/fbenv.sh), a database with every function
# declared, and runs engine_attachments against it.
#   tests/engine/run.sh PROGRAM MODULE_DIR THREADS SECONDS
set -euo pipefail
program=$1 module_dir=$2 threads=$3 seconds=$4
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../../scripts/lib/fbenv.sh
. "$source_dir/scripts/lib/fbenv.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-engine.XXXXXX")
trap 'rm -rf "$work"' EXIT
fbenv_setup "$work/root" "$module_dir"
fbenv_create_db "$work/test.fdb" UTF8
out=$(cd "$source_dir/sql" && fbenv_isql "$work/test.fdb" -b -i ardudf.sql 2>&1)
[ -z "$out" ] || { echo "declaring printed: $out"; exit 1; }
${ENGINE_WRAPPER:-} "$program" "$work/test.fdb" "$threads" "$seconds"
