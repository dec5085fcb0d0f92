#!/bin/sh
# Writes the help of every polarctl command as a section of a help2man include file, so that
# polarctl(1) holds each command's options, defaults and example as the program prints them.
#   command-help-h2m.sh POLARCTL > FILE.h2m
set -eu
program=$1
section() { # section TITLE WORDS...: the help of one command, as printed
    title=$1
    shift
    printf '.SS "%s"\n.nf\n' "$title"
    "$program" "$@" --help | sed -e 's/\\/\\e/g' -e 's/^\([.'\'']\)/\\\&\1/'
    printf '.fi\n'
}
printf '[command options]\n'
for command in $("$program" --complete-commands); do
    subcommands=$("$program" --complete-commands "$command")
    if [ -z "$subcommands" ]; then
        section "$command" "$command"
    else
        for subcommand in $subcommands; do
            section "$command $subcommand" "$command" "$subcommand"
        done
    fi
done
