#!/usr/bin/env bash
# Builds the core, velmora-cli and the model tests with the dev preset
# (-Wall -Wextra -pedantic -Wshadow -Wconversion -Werror, assertions on) in
# build-dev/, then runs the tests that need assertions on. Run by ctest as
# dev_preset_build (label slow); the whole tree builds with the preset too
# (cmake --preset dev && cmake --build build-dev).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
cmake --preset dev >/dev/null
cmake --build build-dev --target velmora-cli model_tests
build-dev/tests/model_tests --gtest_filter='SettingsThread*'
