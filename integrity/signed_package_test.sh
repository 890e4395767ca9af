#!/usr/bin/env bash
# Sealed programs under Wine, in the states the build and a publisher produce: signed after
# sealing, carrying data appended before sealing, and damaged afterwards.
#   signed_package_test.sh CHECKER SEALER
# CHECKER is the sealed package_check_fixture.exe; copies of it are the files under test.
set -uo pipefail
checker=$1
sealer=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

state_of() {
  local rc=0
  wine "$checker" "Z:${1//\//\\}" >"$work/out" 2>/dev/null || rc=$?
  echo "$rc"
}

expect() {  # expect STATE FILE WHAT   (0 intact, 1 altered, 2 unverifiable)
  local got
  got=$(state_of "$2")
  if [[ $got == "$1" ]]; then
    echo "ok   $3: $(cat "$work/out")"
  else
    echo "FAIL $3: expected $1, got $got ($(cat "$work/out"))"
    failures=$((failures + 1))
  fi
}

flip_byte() {  # flip_byte FILE OFFSET
  local old
  old=$(od -An -tu1 -j"$2" -N1 "$1" | tr -d ' ')
  printf "$(printf '\\%03o' $((old ^ 0x55)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

sign() {  # sign IN OUT
  osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -n "Velmora test" -in "$1" -out "$2" >/dev/null
}

# A throwaway signer, made fresh for each run.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Velmora test signer" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null || { echo "FAIL openssl"; exit 1; }

cp "$checker" "$work/sealed.exe"
expect 0 "$work/sealed.exe" "sealed"

sign "$work/sealed.exe" "$work/signed.exe" || { echo "FAIL osslsigncode sign"; exit 1; }
expect 0 "$work/signed.exe" "signed after sealing"

cp "$work/signed.exe" "$work/appended.exe"
printf 'x' >>"$work/appended.exe"
expect 1 "$work/appended.exe" "byte appended after the signature"

# Data carried after the image (an odd size, so sealing pads it for the signer).
cp "$checker" "$work/carrying.exe"
head -c 70001 /dev/urandom >>"$work/carrying.exe"
"$sealer" "$work/carrying.exe" || { echo "FAIL sealing a file with appended data"; exit 1; }
expect 0 "$work/carrying.exe" "appended data, sealed"
sign "$work/carrying.exe" "$work/carrying-signed.exe" || { echo "FAIL osslsigncode sign"; exit 1; }
expect 0 "$work/carrying-signed.exe" "appended data, sealed, then signed"
flip_byte "$work/carrying-signed.exe" $(($(stat -c %s "$checker") + 1000))
expect 1 "$work/carrying-signed.exe" "a byte of the appended data changed after signing"

echo "$failures failure(s)"
((failures == 0))
