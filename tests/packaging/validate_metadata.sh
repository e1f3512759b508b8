#!/usr/bin/env bash
# validate_metadata.sh desktop|metainfo FILE
# Runs Debian's validator on a menu entry or an AppStream file. Any remark
# counts as a failure, hints and infos included, so that a menu entry that
# shows up wrongly in some desktop's menu does not pass unnoticed.
set -uo pipefail

kind=${1:?desktop or metainfo}
file=${2:?file to validate}

need() {
  if ! command -v "$1" >/dev/null; then
    echo "FAIL: $1 is missing (Debian package $2; scripts/vorlex-dev test installs it)"
    exit 1
  fi
}

case "$kind" in
  desktop)
    need desktop-file-validate desktop-file-utils
    output=$(desktop-file-validate "$file" 2>&1)
    status=$?
    ;;
  metainfo)
    need appstreamcli appstream
    output=$(appstreamcli validate --no-net --strict --no-color "$file" 2>&1)
    status=$?
    ;;
  *)
    echo "FAIL: unknown kind $kind"
    exit 1
    ;;
esac

echo "$output"
if [ "$status" -ne 0 ]; then
  echo "FAIL: the validator rejected $file (exit status $status)"
  exit 1
fi
if [ "$kind" = desktop ] && [ -n "$output" ]; then
  echo "FAIL: the validator has remarks on $file"
  exit 1
fi
echo "OK: $file"
