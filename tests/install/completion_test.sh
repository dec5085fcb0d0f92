#!/usr/bin/env bash
# The bash completions as a shell uses them: the completion function is called with the words
# typed so far, and what it offers is checked. polarctl's lists come from the program itself;
# polar-editor's options must be those its --help names.
#   completion_test.sh COMPLETIONS_DIR POLARCTL POLAR_EDITOR
set -euo pipefail
completions=$1
polarctl=$2
editor=$3
failures=0

# offers PROGRAM_WORD... : what the completion offers for the last word typed.
offers() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    "$function_name"
    printf '%s\n' "${COMPREPLY[@]}" | sort
}

expect_offer() { # expect_offer WHAT WORD... : WHAT is among the offers
    local what=$1
    shift
    if ! offers "$@" | grep -qx -- "$what"; then
        echo "FAIL: '$*' does not offer '$what'; it offers: $(offers "$@" | tr '\n' ' ')" >&2
        failures=$((failures + 1))
    fi
}
expect_no_offer() {
    local what=$1
    shift
    if offers "$@" | grep -qx -- "$what"; then
        echo "FAIL: '$*' offers '$what'" >&2
        failures=$((failures + 1))
    fi
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
touch "POLAR.PPD" "other boat.ppd" "notes.txt"
mkdir logs

# shellcheck source=/dev/null
source "$completions/polarctl"
function_name=_polarctl
for command in check dump normalize smooth import export vmg render learn compare live lgx; do
    expect_offer "$command" "$polarctl" ""
done
expect_offer export "$polarctl" ex
expect_no_offer import "$polarctl" ex
expect_offer dump "$polarctl" lgx ""
expect_offer build "$polarctl" lgx b
expect_offer --format "$polarctl" export POLAR.PPD --f
expect_offer --sail-plan "$polarctl" render POLAR.PPD --s
expect_offer --report "$polarctl" learn x.nmea --
expect_no_offer --report "$polarctl" export POLAR.PPD --
for format in grid lines json rating-csv; do
    expect_offer "$format" "$polarctl" export POLAR.PPD --format ""
done
expect_offer on "$polarctl" render POLAR.PPD --show-all ""
expect_offer "other boat.ppd" "$polarctl" check o
expect_offer POLAR.PPD "$polarctl" import x.csv -o P
expect_offer --version "$polarctl" --v
expect_offer --force "$polarctl" lgx build x.tsv --f
expect_offer "other boat.ppd" "$polarctl" learn x.nmea -o o
expect_no_offer POLAR.PPD "$polarctl" render POLAR.PPD --sail-plan ""
expect_offer 38400 "$polarctl" live POLAR.PPD --baud ""
expect_offer notes.txt "$polarctl" live POLAR.PPD --serial n
expect_offer notes.txt "$polarctl" live POLAR.PPD --replay n
expect_offer --signalk-udp "$polarctl" live POLAR.PPD --sig
expect_no_offer notes.txt "$polarctl" live POLAR.PPD --out-tcp n
expect_no_offer "INDEX|NAME" "$polarctl" render POLAR.PPD --

source "$completions/polar-editor"
function_name=_polar_editor
# Every option that --help names is offered, and nothing else.
help_options=$(QT_QPA_PLATFORM=offscreen "$editor" --help | grep -o -- '--[a-z-]*' | sort -u)
offered=$(offers "$editor" -- | grep -- '^--' | sort -u)
if [ "$help_options" != "$offered" ]; then
    echo "FAIL: polar-editor's options: --help names [$(echo $help_options)]," \
         "the completion offers [$(echo $offered)]" >&2
    failures=$((failures + 1))
fi
expect_offer 49 "$editor" --lang ""
expect_offer "other boat.ppd" "$editor" o
expect_no_offer notes.txt "$editor" n
expect_offer logs "$editor" --data-dir l

if [ "$failures" -ne 0 ]; then
    echo "$failures completion check(s) failed" >&2
    exit 1
fi
echo "completions: every check passed"
