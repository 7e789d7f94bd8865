#!/usr/bin/env bash
# Installs what is missing, builds, and starts the IDE shell with the Quendle5 package on
# the sample project. Extra arguments go to the shell.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec "${BUILD_DIR:-build}/bin/ide-shell" --project examples/SampleProject/Sample.dpr "$@"
