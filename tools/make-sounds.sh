#!/usr/bin/env bash
# Makes the starter's sound files in sounds/: "Na místa" and "Pozor" spoken in Czech, and a short
# shot. Needs espeak-ng and sox (Debian packages); the files are kept in the repository, so this
# runs only when they are to be made anew.
set -euo pipefail
out=$(cd "$(dirname "$0")/.." && pwd)/sounds
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"
espeak-ng -v cs -s 140 -w "$tmp/zacatek.wav" "Na místa"
espeak-ng -v cs -s 140 -w "$tmp/pozor.wav" "Pozor"
sox "$tmp/zacatek.wav" -r 16000 -c 1 -b 16 "$out/zacatek.wav"
sox "$tmp/pozor.wav" -r 16000 -c 1 -b 16 "$out/pozor.wav"
sox -n -r 16000 -c 1 -b 16 "$out/vystrel.wav" synth 0.35 brownnoise fade q 0.002 0.35 0.3 vol 0.9
