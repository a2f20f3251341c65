# Bookkeeping shared by the bash test scripts: source it, call check for every expectation and
# finish once at the end.
# shellcheck shell=bash
passed=0 failed=0

check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL %s\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$3"
  fi
}

finish() {  # finish WHAT: the summary line; false when a check failed
  echo "$1: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
