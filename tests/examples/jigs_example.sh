#!/bin/sh
# The jigs example end to end: it runs to its end in a fresh folder and the drawing it
# saves reopens with the four valves where the script moved them.
# Usage: jigs_example.sh TABRIK EXAMPLE WORKDIR
set -eu
tabrik=$1 example=$2 work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work"
"$tabrik" run --quiet "$example" >output.txt
test -s jigs.dxf
positions=$("$tabrik" eval --quiet --drawing jigs.dxf \
  '(progn (setq e (entnext) l nil) (while e (if (= (cdr (assoc 0 (entget e))) "INSERT") (setq l (cons (cdr (assoc 10 (entget e))) l))) (setq e (entnext e))) (reverse l))' | tail -n 1)
expected='((0.0 4.0 0.0) (3.0 4.0 0.0) (9.0 1.0 0.0) (9.0 4.0 0.0))'
if [ "$positions" != "$expected" ]; then
  echo "valves at $positions, expected $expected" >&2
  exit 1
fi
