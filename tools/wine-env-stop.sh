#!/usr/bin/env bash
# Stops the project's wineserver (and with it every Windows process of the prefix).
source "$(dirname "$0")/wine-env.sh"
"$QUENLOR_WINESERVER" -k 2>/dev/null || true
