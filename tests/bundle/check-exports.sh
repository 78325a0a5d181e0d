#!/usr/bin/env bash
# The module's dynamic symbol table holds its public C names and nothing else.
set -euo pipefail
library=$1
expected=$(printf '%s\n' KORLANFlowBundleIdentifier KORLANFlowDefaultConfiguration \
  KORLANFlowLoadConfiguration KORLANFlowSettingsDidChangeNotification KORLANFlowStoreConfiguration)
actual=$(nm -D --defined-only "$library" | awk '{print $3}' | sort)
if [[ "$actual" != "$expected" ]]; then
  echo "exported symbols differ from the public interface:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
echo "exports: $(echo "$actual" | tr '\n' ' ')"
