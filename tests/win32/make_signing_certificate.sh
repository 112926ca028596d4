#!/usr/bin/env bash
# A throwaway certificate authority and a code-signing certificate issued by it, for signing the
# packages in the tests: prints the settings for packaging and for check_package.sh, to be eval'ed.
#   eval "$(make_signing_certificate.sh <folder>)"
set -euo pipefail
folder=$1
mkdir -p "$folder"
cd "$folder"
folder=$PWD
password=$(openssl rand -hex 16)
if ! { openssl req -x509 -newkey rsa:3072 -nodes -keyout ca.key -out ca.pem -days 30 -subj "/CN=ZIROZE01 test CA" \
         -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign &&
       openssl req -newkey rsa:3072 -nodes -keyout signer.key -out signer.csr -subj "/O=ZIROZE01 project/CN=ZIROZE01 project" &&
       openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out signer.pem -days 30 \
         -extfile <(printf '%s\n' basicConstraints=CA:FALSE keyUsage=critical,digitalSignature extendedKeyUsage=codeSigning) &&
       openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -out signer.p12 -passout "pass:$password"
     } >openssl.log 2>&1; then
  cat openssl.log >&2
  exit 1
fi
rm -f ca.key signer.key signer.csr openssl.log
printf 'export ZIROZE_SIGN_PKCS12=%q ZIROZE_SIGN_PASSWORD=%q ZIROZE_SIGN_CA=%q\n' \
  "$folder/signer.p12" "$password" "$folder/ca.pem"
