#!/usr/bin/env bash
# Runs the test programs of the given CTest labels under Valgrind memcheck, each with the
# environment and working directory CTest would give it.  Fails on the first memory error
# or definite leak.  The programs must come from a build without sanitizers.
#
#   tests/memcheck.sh <build-dir> <label-regex>      e.g. tests/memcheck.sh build 'core|register'
set -euo pipefail
build=${1:?build directory}
labels=${2:?label regex}
here=$(cd "$(dirname "$0")" && pwd)

listing=$(ctest --test-dir "$build" -N -V -L "$labels")
mapfile -t numbers < <(sed -n 's/^\([0-9][0-9]*\): Test command: .*/\1/p' <<<"$listing")
((${#numbers[@]})) || { echo "memcheck: no tests labelled '$labels' in $build" >&2; exit 1; }

status=0
for n in "${numbers[@]}"; do
  command=$(sed -n "s/^$n: Test command: //p" <<<"$listing")
  workdir=$(sed -n "s/^$n: Working Directory: //p" <<<"$listing")
  mapfile -t environment < <(sed -n "/^$n: Environment variables:/,/^[^0-9]/s/^$n:  \(.*=.*\)/\1/p" <<<"$listing")
  echo "memcheck: $command"
  # Child processes (the drills' saving children) run natively: they are killed on purpose.
  if ! (cd "${workdir:-.}" && env "${environment[@]}" \
        valgrind --tool=memcheck --error-exitcode=97 --leak-check=full \
                 --errors-for-leak-kinds=definite --show-leak-kinds=definite \
                 --suppressions="$here/valgrind.supp" --quiet $command); then
    echo "memcheck: FAILED: $command" >&2
    status=1
  fi
done
exit $status
