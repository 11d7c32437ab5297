#!/bin/sh
# Fails when any file under the given folder includes a Qt header.
hits=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]+|Qt[A-Za-z]*/)' "$1")
if [ -n "$hits" ]; then
  echo "src/core must not include Qt headers:" >&2
  echo "$hits" >&2
  exit 1
fi
exit 0
