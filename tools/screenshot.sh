#!/usr/bin/env bash
# Saves a window of the current X display as a PNG file: tools/screenshot.sh <window id> <file.png>
# Needs ImageMagick's import (tools/setup.sh headless installs it).
set -euo pipefail
[[ $# -eq 2 ]] || { echo "usage: $0 <window id> <file.png>" >&2; exit 2; }
import -window "$1" "png:$2"
