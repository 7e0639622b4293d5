# Sourced by the benchmark scripts: installs a peer tool with apt-get when it is missing
# (the build and the tests never need them, so tools/install-deps.sh leaves them out).
# need_peer COMMAND PACKAGE
need_peer() {
    command -v "$1" >/dev/null 2>&1 && return 0
    echo "installing $2 for the comparison" >&2
    local sudo=
    [ "$(id -u)" = 0 ] || sudo=sudo
    { $sudo apt-get install -y "$2" >/dev/null 2>&1 ||
      { $sudo apt-get update >/dev/null 2>&1 && $sudo apt-get install -y "$2" >/dev/null 2>&1; }; } ||
        { echo "cannot install $2" >&2; return 1; }
}

# runstat: the measuring launcher (bench/runstat.c), compiled once into the build folder.
build_runstat() {
    local out=$1/bench/runstat
    if [ ! -x "$out" ] || [ bench/runstat.c -nt "$out" ]; then
        mkdir -p "$(dirname "$out")"
        cc -O2 -o "$out" bench/runstat.c
    fi
    echo "$out"
}
