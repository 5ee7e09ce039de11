#!/usr/bin/env bash
# The main job of `./run demo`: filled in as the window framework lands.
echo "demo: nothing to show yet (the window framework is being built)" >&2
exit 1
