#!/usr/bin/env bash
# Each program's options are one set in three places: what --help prints, its manual page
# (OPTIONS exactly; SYNOPSIS and EXAMPLES within it) and what its bash completion offers. The
# manual pages format without a warning; the completion's values are checked too.
# Arguments: qm4250-upload qm4250-archive qm4250-sim SOURCE_DIR
set -uo pipefail
upload=$1 archive=$2 sim=$3 source=$4
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
unset "${!QM4250_COMM@}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
failed() { echo "FAIL: $*"; fail=1; }

# The --word tokens of standard input, one a line, sorted, each once.
options() { grep -oE -- '--[a-z][a-z0-9-]*[a-z0-9]' | sort -u; }
# The text of a manual page's section, \- read as -.
section() { sed 's/\\-/-/g' "$1" | awk -v s=".SH $2" '/^\.SH/ { on = ($0 == s); next } on'; }
same() { # what, expected, actual
    [[ $2 == "$3" ]] || failed "$1: $(diff <(echo "$2") <(echo "$3") | grep '^[<>]' | tr '\n' ' ')"
}
within() { # what, allowed, actual
    local extra
    extra=$(comm -13 <(echo "$1") <(echo "$3"))
    [[ -z $extra ]] || failed "$2: not options of the program: $extra"
}

# Completes LINE (its last word, empty after a trailing space) in DIR with PATH ahead of the
# usual; prints the candidates, one a line.
complete_line() { # dir, path, line
    (cd "$1" && PATH="$2:$PATH" bash --norc --noprofile -c '
        source /usr/share/bash-completion/bash_completion
        source "$1/${2%% *}"
        # Words as readline splits them: ":" and "=" are words of their own.
        read -ra COMP_WORDS <<<"$(sed -E "s/([:=]+)/ \1 /g" <<<"$2")"
        [[ $2 == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=$2 COMP_POINT=${#2}
        function=$(complete -p "${COMP_WORDS[0]}" | sed -E "s/.* -F ([^ ]+) .*/\1/")
        "$function" "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        ((${#COMPREPLY[@]} == 0)) || printf "%s\n" "${COMPREPLY[@]}"' _ "$source/packaging/completion" "$3" 2>/dev/null)
}

# The programs under their own names, for the completion to call.
mkdir "$work/bin" "$work/files"
ln -s "$(realpath "$upload")" "$work/bin/qm4250-upload"
ln -s "$(realpath "$archive")" "$work/bin/qm4250-archive"
ln -s "$(realpath "$sim")" "$work/bin/qm4250-sim"

# program: the lines whose completion offers all its options
declare -A completed_options=(
    [qm4250-upload]='qm4250-upload --'
    [qm4250-sim]='qm4250-sim --'
    [qm4250-archive]='qm4250-archive --|qm4250-archive import a.csv --|qm4250-archive export a.csv --|qm4250-archive report a.pdf --|qm4250-archive limits PN17 --'
)
for program in qm4250-upload qm4250-archive qm4250-sim; do
    # The option that printed the text is one, whether it lists itself or not.
    help=$( ("$work/bin/$program" --help; echo --help) | options)
    [[ $help == *--archive* || $help == *--model* ]] || failed "$program --help: no options read"
    page="$source/packaging/man/$program.1"
    same "$program(1) OPTIONS against --help" "$help" "$(section "$page" OPTIONS | options)"
    within "$help" "$program(1) SYNOPSIS" "$(section "$page" SYNOPSIS | options)"
    within "$help" "$program(1) EXAMPLES" "$(section "$page" EXAMPLES | options)"
    warnings=$(MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [[ -z $warnings ]] || failed "$program(1) formats with warnings: $warnings"
    offered=$(IFS='|'; for line in ${completed_options[$program]}; do
        complete_line "$work/files" "$work/bin" "$line"; done | sort -u)
    same "$program completion against --help" "$help" "$offered"
done

# Values: a line completed in the folder of a.xlsx, a.txt, b.pdf, c.sqlite, d.CSV and sub/.
touch "$work/files/"{a.xlsx,a.txt,b.pdf,c.sqlite,d.CSV}
mkdir "$work/files/sub"
# line | offered (all of them) | not offered
cases=(
    'qm4250-upload --ex|--export|'
    'qm4250-upload --export |a.xlsx d.CSV sub|a.txt b.pdf c.sqlite'
    'qm4250-upload --archive |c.sqlite sub|a.xlsx'
    'qm4250-upload --archive --c|--count|c.sqlite'
    'qm4250-upload --count |||--export'
    'qm4250-upload --device su|sub|'
    'qm4250-archive im|import|export'
    'qm4250-archive |import export report limits|--help a.xlsx'
    'qm4250-archive import a.xlsx |a.xlsx d.CSV sub|a.txt b.pdf'
    'qm4250-archive export --rejects |a.xlsx|b.pdf'
    'qm4250-archive export --rejects a.xlsx |--pn --to|a.xlsx'
    'qm4250-archive report --pn PN17 |b.pdf sub|a.xlsx'
    'qm4250-archive report b.pdf --pn PN17 |--from --rejects|b.pdf'
    'qm4250-archive export x.csv --archive |c.sqlite|a.xlsx --pn'
    'qm4250-archive limits PN17 --|--upper --lower --archive|--pn'
    'qm4250-sim --model |S Q H|--model'
    'qm4250-sim --mode |0 1 2 3|4'
    'qm4250-sim --garble 7:|fields time relay|7:fields'
    'qm4250-sim --pause-after 3 |||--model'
    'qm4250-sim --replay |a.txt sub|--model'
)
for case in "${cases[@]}"; do
    IFS='|' read -r line wanted unwanted <<<"$case"
    offered=" $(complete_line "$work/files" "$work/bin" "$line" | tr '\n' ' ')"
    for word in $wanted; do
        [[ $offered == *" $word "* ]] || failed "'$line' does not offer $word:$offered"
    done
    for word in $unwanted; do
        [[ $offered != *" $word "* ]] || failed "'$line' offers $word:$offered"
    done
    [[ -n $wanted || $offered == " " ]] || failed "'$line' offers something:$offered"
done

# --port: the COMM numbers --list-ports shows, else those QM4250_COMM<N> maps, else 1 to 8;
# a program that hangs costs at most 2 seconds.
# what --list-ports prints (printf's escapes; "hang": nothing, ever) | environment | offered
ports=(
    '/dev/ttyUSB0\t/dev/serial/by-id/usb-FTDI\tFT232R\t0403:6001\tCOMM 2,4\n/dev/ttyS0\t-\t-\t-\t-\n|-|2 4'
    '/dev/ttyUSB0\t-\t-\t-\t-\n|QM4250_COMM3=/dev/pts/9|3'
    '|-|1 2 3 4 5 6 7 8'
    'hang|-|1 2 3 4 5 6 7 8'
)
for case in "${ports[@]}"; do
    IFS='|' read -r listed environment wanted <<<"$case"
    stub="$work/stub" && rm -rf "$stub" && mkdir "$stub"
    if [[ $listed == hang ]]; then body='exec sleep 30'; else body="printf '$listed'"; fi
    printf '#!/bin/sh\n%s\n' "$body" >"$stub/qm4250-upload" && chmod +x "$stub/qm4250-upload"
    started=$SECONDS
    offered=$( [[ $environment == - ]] || export "$environment"
        complete_line "$work/files" "$stub" 'qm4250-upload --port ' | sort -n | tr '\n' ' ')
    [[ $offered == "$wanted " ]] || failed "--port with '$listed': '$offered', not '$wanted'"
    ((SECONDS - started <= 4)) || failed "--port with '$listed' took $((SECONDS - started)) s"
done

exit $fail
