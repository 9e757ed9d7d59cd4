#!/usr/bin/env bash
# Every C++ file git tracks is laid out as .clang-format says; lists those that are not.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is missing: make deps installs it" >&2; exit 1; }
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
