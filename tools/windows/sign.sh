#!/usr/bin/env bash
# Signs Windows programs in place with Authenticode (SHA-256) and the maker's certificate:
# TAZZLE_WINDOWS_CERT (a PKCS#12 file), TAZZLE_WINDOWS_CERT_PASSWORD (or a file that holds it,
# TAZZLE_WINDOWS_CERT_PASSWORD_FILE), and a time stamp from
# TAZZLE_WINDOWS_TIMESTAMP_URL when given. The signing time is the commit's, so that the same
# certificate signs the same program to the same bytes.
#   tools/windows/sign.sh program.exe...
set -euo pipefail
: "${TAZZLE_WINDOWS_CERT:?no certificate}"
password=${TAZZLE_WINDOWS_CERT_PASSWORD_FILE:-}
if [ -z "$password" ]; then
    : "${TAZZLE_WINDOWS_CERT_PASSWORD?no password}"
    password=<(printf '%s' "$TAZZLE_WINDOWS_CERT_PASSWORD")
fi
for program; do
    osslsigncode sign -pkcs12 "$TAZZLE_WINDOWS_CERT" -readpass "$password" -h sha256 -n Tazzle \
        ${SOURCE_DATE_EPOCH:+-time "$SOURCE_DATE_EPOCH"} \
        ${TAZZLE_WINDOWS_TIMESTAMP_URL:+-ts "$TAZZLE_WINDOWS_TIMESTAMP_URL"} \
        -in "$program" -out "$program.signed" >/dev/null
    mv "$program.signed" "$program"
    echo "signed $program"
done
