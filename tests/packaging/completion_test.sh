#!/usr/bin/env bash
# Drives the bash completion of qelt-cli as bash does on TAB and checks what it
# offers. Usage: completion_test.sh COMPLETION-FILE QELT-CLI
set -uo pipefail
completion=$1
cli=$2
if [ ! -f /usr/share/bash-completion/bash_completion ]; then
  echo "bash-completion is not installed"
  exit 77
fi
# shellcheck disable=SC1091
source /usr/share/bash-completion/bash_completion
# shellcheck disable=SC1090
source "$completion"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
touch a60.txt run.mes
mkdir spool.d

# What TAB offers for the words after qelt-cli; the last one is being completed.
# "--port=CO" is given as bash splits it: --port = CO.
offers() {
  COMP_WORDS=("$cli" "$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_LINE=${COMP_LINE// = /=}  # bash's line has "--port=CO" where its words split it
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _qelt_cli 2>/dev/null  # compopt complains outside a real completion
  printf '%s\n' "${COMPREPLY[@]}" | sort -u | grep -v '^$'
}

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# exactly "EXPECTED WORDS" WORDS...
exactly() {
  local expected got
  expected=$(tr ' ' '\n' <<<"$1" | sort -u | grep -v '^$')
  shift
  got=$(offers "$@")
  [ "$got" = "$expected" ] || fail "qelt-cli $* offers [$(echo $got)], not [$(echo $expected)]"
}
# offers_all "WORDS" WORDS...: each of them is among the offers.
offers_all() {
  local want got w
  want=$1
  shift
  got=$(offers "$@")
  for w in $want; do
    grep -qxF -- "$w" <<<"$got" || fail "qelt-cli $* does not offer $w (offers [$(echo $got)])"
  done
}
has_command() { "$cli" --help 2>/dev/null | grep -qE "^  $1 "; }

# Commands, and the commands under logger and harmonic.
offers_all "read record clock ports logger harmonic" ""
exactly "logger" lo
exactly "list get erase" logger ""
exactly "get analyze limits" harmonic ""
exactly "en50160 ieee519" harmonic limits a60.txt --standard ""
exactly "--help --help-all --version" --
# Every command of the tool is offered, the ones added later too.
offers_all "$("$cli" --help | awk '/^Commands:/ { on = 1; next } on && /^  [a-z]/ { print $1 }')" ""

# Options of a command, not of another.
offers_all "--port --candidates --timeout --count --format --help" read --
[ -z "$(offers read --se)" ] || fail "read offers --set"
offers_all "--yes" logger erase --port COM1 --
offers_all "--out --interval --count --seconds" record --port COM1 ""
exactly "--seconds" record --port COM1 --se
offers_all "--set --out --xlsx" logger get --

# Values.
exactly "tsv json" read --format ""
exactly "tsv json" ports --format ""
exactly "a b c d e f" harmonic get --signal ""
exactly "50 60" harmonic get --port COM1 --hz ""
exactly "50 60" harmonic analyze a60.txt --hz ""
[ -z "$(offers logger get --set "")" ] || fail "logger get --set offers something for a number"

# Ports: the system's serial devices, COM1..COM16, Auto and find.
ports="COM1 COM2 COM8 COM16 Auto find $(ls /dev/ttyS* /dev/ttyUSB* /dev/ttyACM* 2>/dev/null | tr '\n' ' ')"
offers_all "$ports" clock --port ""
offers clock --port "" | grep -qx COM17 && fail "--port offers COM17"
exactly "$(echo COM{1..16})" read --port = CO
exactly "$(ls -d /dev/ttyS* 2>/dev/null | tr '\n' ' ')" read --port /dev/ttyS
exactly "/dev/null" read --port /dev/nul
exactly "$(printf 'COM1,COM%s ' {1..16})" read --port find --candidates COM1,CO

# Files: positionals and file options.
offers_all "a60.txt run.mes spool.d" harmonic analyze ""
offers_all "a60.txt" harmonic analyze a60.txt --cycle ""
offers_all "run.mes" logger get --port COM1 --set 2 --out ""

if has_command summary; then
  offers_all "run.mes" summary ""
  exactly "text json" summary run.mes --format ""
  offers_all "--single --demand --format" summary run.mes --
else
  echo "note: qelt-cli has no summary command yet"
fi
if has_command report; then
  offers_all "run.mes" report ""
  offers_all "--out --single --demand --title --harmonic --hz" report run.mes --
  offers_all "a60.txt" report run.mes --out r.pdf --harmonic ""
  exactly "50 60" report run.mes --harmonic a60.txt --hz ""
  exactly "en50160 ieee519 none" report run.mes --harmonic a60.txt --limits ""
else
  echo "note: qelt-cli has no report command yet"
fi
if has_command publish; then
  offers_all "--port --broker --id --topic-prefix --interval --count --seconds --qos --spool --spool-max --user \
--password-file --cafile --discovery" publish --
  exactly "0 1" publish --port COM1 --qos ""
  exactly "mqtt://" publish --port COM1 --broker ""
  exactly "spool.d" publish --port COM1 --spool ""
  offers_all "COM1 Auto" publish --port ""
else
  echo "note: qelt-cli has no publish command yet"
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "completion: all cases pass"
