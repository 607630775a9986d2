#!/usr/bin/env bash
# Runs the AT-SPI test of the wizard on a virtual display with a session bus
# of its own. Exits 77 (skipped) with the reason where no accessibility bus
# can be started.
set -uo pipefail
program_folder=$1
here=$(dirname "$0")
for tool in xvfb-run dbus-run-session; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (Debian packages xvfb and dbus)"
    exit 77
  fi
done
if [[ ! -x /usr/libexec/at-spi-bus-launcher ]]; then
  echo "skipped: the accessibility bus launcher is not installed (Debian package at-spi2-core)"
  exit 77
fi
# Debian's python3 holds pyatspi; a python3 of one's own earlier on PATH may not.
exec xvfb-run -a -s "-screen 0 1280x1024x24" \
  dbus-run-session -- /usr/bin/python3 "$here/wizard_atspi_test.py" "$program_folder"
