# Sourced by the scripts that start the programs. Qt looks for the session's runtime folder
# (XDG_RUNTIME_DIR), which only a login session makes; without one it warns on every start.
# The programs then get a private folder of their own (0700, as the base directory rules
# require), removed when the script ends.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d "${TMPDIR:-/tmp}/velk-runtime.XXXXXX")
  chmod 700 "$XDG_RUNTIME_DIR"
  export XDG_RUNTIME_DIR
  trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
