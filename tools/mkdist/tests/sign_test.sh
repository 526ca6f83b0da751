#!/usr/bin/env bash
# mkdist --sign signs both shipped programs with Authenticode, so that Windows names the vendor;
# the signed programs still pass the XP, import and size checks; without --sign the programs are
# shipped as built. The vendor's certificate is made here, as the README tells a vendor to.
# Usage: sign_test.sh OBJDUMP HOST-BIN SHIPPED-BIN
set -uo pipefail
objdump=$1 host_bin=$2 bin=$3
here=$(cd "$(dirname "$0")" && pwd)
mkdist="$here/../mkdist.sh"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'test password\n' > "$work/password"
openssl req -x509 -newkey rsa:2048 -sha256 -days 30 -nodes -subj "/CN=Veltrano Software/O=Veltrano Software" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>"$work/openssl.log" ||
    { cat "$work/openssl.log"; echo "FAILED: openssl cannot make the certificate"; exit 1; }
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/vendor.pfx" \
    -passout "file:$work/password" 2>>"$work/openssl.log" ||
    { cat "$work/openssl.log"; echo "FAILED: openssl cannot make the .pfx"; exit 1; }

bash "$mkdist" --bin "$bin" --host-bin "$host_bin" --sign "$work/vendor.pfx" --sign-password-file "$work/password" \
    "$work/signed" >/dev/null || { echo "FAILED: mkdist --sign"; exit 1; }
bash "$mkdist" --bin "$bin" --host-bin "$host_bin" "$work/plain" >/dev/null || { echo "FAILED: mkdist"; exit 1; }

for exe in setup.exe unrar.exe; do
    if osslsigncode verify -CAfile "$work/cert.pem" -in "$work/signed/$exe" > "$work/verify.log" 2>&1; then
        grep -q "CN=Veltrano Software" "$work/verify.log" || fail "$exe: the signature does not name the vendor"
    else
        fail "$exe: osslsigncode does not accept its signature:"; cat "$work/verify.log"
    fi
    osslsigncode verify -CAfile "$work/cert.pem" -in "$work/plain/$exe" >/dev/null 2>&1 &&
        fail "$exe of a distribution made without --sign passes as signed"
    cmp -s "$bin/$exe" "$work/plain/$exe" || fail "$exe: without --sign mkdist changed it"
done

# A wrong password stops mkdist with the certificate's name and leaves no half-signed program.
printf 'wrong\n' > "$work/wrong"
if bash "$mkdist" --bin "$bin" --host-bin "$host_bin" --sign "$work/vendor.pfx" --sign-password-file "$work/wrong" \
    "$work/wrongly" > /dev/null 2> "$work/wrong.log"; then
    fail "mkdist signed with a wrong password"
else
    grep -q "signing .*setup.exe with $work/vendor.pfx failed" "$work/wrong.log" || { fail "no reason given:"; cat "$work/wrong.log"; }
fi

bash "$here/shipped_runs_on_xp_test.sh" "$objdump" "$host_bin" "$work/signed" || fail "the signed programs fail the XP check"
bash "$here/../../../setup/tests/system_imports_test.sh" "$objdump" "$work/signed/setup.exe" ||
    fail "the signed setup.exe fails the import check"
bash "$here/../../../setup/tests/size_test.sh" "$work/signed/setup.exe" || fail "the signed setup.exe is too large"

((failures == 0)) && echo "mkdist signs both programs; they pass the XP, import and size checks"
exit $((failures > 0))
