# Sourced by the scripts here, never run on its own.
# Qt wants a private runtime folder; CI and root shells often have none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR=/tmp/runtime-$(id -u)
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
fi
