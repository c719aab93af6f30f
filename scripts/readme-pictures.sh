#!/usr/bin/env bash
# Refreshes the README's pictures in docs/ from the end-to-end tests that take
# them. The test command never writes docs/; this is the one command that does.
set -euo pipefail
cd "$(dirname "$0")/.."
exec scripts/e2e.sh --readme-pictures -k settings_pages_turn_with_ctrl_tab \
  -k settings_apply_saves_and_title_follows -k overlay_on_self_drawn_caption \
  -k windows_dark_mode_followed "$@"
