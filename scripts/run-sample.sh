#!/usr/bin/env bash
# Builds Dirscribe and runs it from the assembled program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
build/program/dirscribe --version
