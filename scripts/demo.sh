#!/usr/bin/env bash
# Set up, build, and render the built-in demo through the effect.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/setup.sh"

OUT="$ROOT/pelorin-demo.wav"
"$BUILD/tools/pelorin-render" --mode Up/Down --set feedback=0.75 -o "$OUT"
echo "Plug-ins: $BUILD/src/ZelkoraPelorin_artefacts/Release/{VST3,LV2,Standalone}"
