#!/bin/sh
# Runs one acceptance case: varlin --run script.vlm on the case's input files in a fresh
# folder, then compares the files, standard output, standard error and exit status with
# what the case expects. Usage: run_case.sh VARLIN CASE_FOLDER
#
# A case folder holds:
#   script.vlm   the script (copied into the work folder, so errors name "script.vlm")
#   args         optional: the words after "--run script.vlm", one per line
#   in/          optional: files copied into the work folder before the run
#   out/         optional: files that must be in the work folder afterwards, byte for byte
#   stdout       optional: the expected standard output (missing: empty)
#   stderr       optional: the expected standard error (missing: empty)
#   status       optional: the expected exit status (missing: 0)
#   check        optional: shell commands run in the work folder afterwards; must exit 0
# Any other file the run leaves in the work folder (its temporary folder included) fails
# the case; the settings file and the private home folder are the run's own.
# Unless args names --settings, the run uses settings.ini in the work folder.
set -u
varlin=$1
case_dir=$2
# The run happens inside the work folder: a relative program name must not depend on it.
case $varlin in
    */*) [ "${varlin#/}" = "$varlin" ] && varlin="$(pwd)/$varlin" ;;
esac
work=$(mktemp -d "${TMPDIR:-/tmp}/varlin-acceptance-XXXXXX") || exit 99
trap 'rm -rf "$work"' EXIT INT TERM
mkdir "$work/home" "$work/tmp"

[ -d "$case_dir/in" ] && cp -R "$case_dir/in/." "$work/"
cp "$case_dir/script.vlm" "$work/script.vlm"

set -- --run script.vlm
if [ -f "$case_dir/args" ]; then
    while IFS= read -r word || [ -n "$word" ]; do
        set -- "$@" "$word"
    done < "$case_dir/args"
fi
case " $* " in
    *" --settings "*) ;;
    *) set -- "$@" --settings settings.ini ;;
esac

# Nothing of the user's (settings, temporary files) is touched.
(cd "$work" && HOME="$work/home" XDG_CONFIG_HOME="$work/home" TMPDIR="$work/tmp" \
    "$varlin" "$@" > "$work/.stdout" 2> "$work/.stderr")
status=$?

failed=0
expected_status=0
[ -f "$case_dir/status" ] && expected_status=$(cat "$case_dir/status")
if [ "$status" != "$expected_status" ]; then
    echo "exit status $status, expected $expected_status"
    failed=1
fi
for stream in stdout stderr; do
    if [ -f "$case_dir/$stream" ]; then expected="$case_dir/$stream"; else expected=/dev/null; fi
    if ! cmp -s "$expected" "$work/.$stream"; then
        echo "$stream differs (expected, then got):"
        diff "$expected" "$work/.$stream"
        failed=1
    fi
done
if [ -d "$case_dir/out" ]; then
    for file in $(cd "$case_dir/out" && find . -type f | sort); do
        if ! cmp -s "$case_dir/out/$file" "$work/$file"; then
            echo "file $file differs (expected, then got):"
            od -c "$case_dir/out/$file" | head -20
            echo ---
            od -c "$work/$file" 2>&1 | head -20
            failed=1
        fi
    done
fi
if [ -f "$case_dir/check" ] && ! (check="$(cd "$case_dir" && pwd)/check" && cd "$work" && sh "$check"); then
    echo "check failed"
    failed=1
fi
# Nothing else may be left behind: no temporary file, backup or stray output.
for file in $(cd "$work" && find . -path ./home -prune -o -type f -print | sort); do
    case $file in
        ./.stdout | ./.stderr | ./script.vlm | ./settings.ini) continue ;;
    esac
    if [ ! -e "$case_dir/in/$file" ] && [ ! -e "$case_dir/out/$file" ]; then
        echo "stray file left behind: $file"
        failed=1
    fi
done
exit $failed
