#!/usr/bin/env bash
# The platform library ships without test seams: no testing namespace and no
# override among the names it exports.
set -euo pipefail
library=$1
seams=$(nm -D --defined-only "$library" | grep -i -E 'testing|override' || true)
if [[ -n "$seams" ]]; then
  echo "test seams exported from $library:"
  echo "$seams"
  exit 1
fi
echo "exports of $(basename "$library"): $(nm -D --defined-only "$library" | wc -l) names, no test seams"
