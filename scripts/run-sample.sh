#!/usr/bin/env bash
# Builds Dirscribe and writes the listing of the bundled sample folder
# (examples/sample) with the plain style.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
build/program/dirscribe examples/sample-project.txt
echo "Listing of examples/sample written to $(pwd)/build/sample-listing.html"
