#!/usr/bin/env bash
# Makes the test certificates and the package variants the installer tests serve:
#   root.der                 the test root the test prefix trusts
#   package-signed.exe       signed by "KAVO Test Publisher" under that root
#   package-tampered.exe     the same with one byte of its marker text changed afterwards
#   package-unsigned.exe     no signature
#   package-untrusted.exe    same subject, under a root nobody trusts
#   package-expired.exe      a certificate that expired before signing, no time stamp
#   package-serverauth.exe   a certificate for server authentication only
#   package-other.exe        right chain, another subject
#   package-library.exe      a library, well signed, that no process can start from
# Usage: sign-fake-packages.sh UNSIGNED_EXE LIBRARY OUTPUT_FOLDER
set -euo pipefail
unsigned=$1
library=$2
out=$3
work="$out/ca"
rm -rf "$work"
mkdir -p "$work"
cd "$work"

cat >ca.cnf <<'EOF'
[ca]
default_ca = test_ca
[test_ca]
dir = .
database = index.txt
new_certs_dir = .
serial = serial
default_md = sha256
policy = any
unique_subject = no
copy_extensions = none
[any]
commonName = supplied
[root]
basicConstraints = critical, CA:true
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[codesign]
basicConstraints = CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
authorityKeyIdentifier = keyid
[serverauth]
basicConstraints = CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
authorityKeyIdentifier = keyid
EOF

make_root() { # name
  : >"$1.index.txt"
  echo 01 >"$1.serial"
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days 3650 -sha256 \
    -subj "/CN=$1" -config ca.cnf -extensions root 2>/dev/null
}

# name root subject extensions [startdate enddate]
make_leaf() {
  openssl req -new -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "/CN=$3" 2>/dev/null
  cp "$2.index.txt" index.txt
  cp "$2.serial" serial
  local dates=(-days 825)
  [ $# -ge 6 ] && dates=(-startdate "$5" -enddate "$6")
  openssl ca -batch -config ca.cnf -cert "$2.pem" -keyfile "$2.key" -in "$1.csr" -out "$1.pem" \
    -extensions "$4" "${dates[@]}" -notext 2>/dev/null
  cp index.txt "$2.index.txt"
  cp serial "$2.serial"
}

sign() { # leaf root output [input]
  rm -f "$out/$3"
  osslsigncode sign -certs "$1.pem" -ac "$2.pem" -key "$1.key" -h sha256 -n "KAVO test package" \
    -in "${4:-$unsigned}" -out "$out/$3" >/dev/null
}

make_root "KAVO Test Root"
make_root "KAVO Untrusted Root"
make_leaf good "KAVO Test Root" "KAVO Test Publisher" codesign
make_leaf stranger "KAVO Untrusted Root" "KAVO Test Publisher" codesign
make_leaf expired "KAVO Test Root" "KAVO Test Publisher" codesign 20200101000000Z 20210101000000Z
make_leaf server "KAVO Test Root" "KAVO Test Publisher" serverauth
make_leaf other "KAVO Test Root" "KAVO Other Publisher" codesign

openssl x509 -in "KAVO Test Root.pem" -outform DER -out "$out/root.der"
cp "$unsigned" "$out/package-unsigned.exe"
sign good "KAVO Test Root" package-signed.exe
sign stranger "KAVO Untrusted Root" package-untrusted.exe
sign expired "KAVO Test Root" package-expired.exe
sign server "KAVO Test Root" package-serverauth.exe
sign other "KAVO Test Root" package-other.exe
sign good "KAVO Test Root" package-library.exe "$library"

# One byte of the package's marker text, so the changed program still runs the same.
python3 - "$out/package-signed.exe" "$out/package-tampered.exe" <<'EOF'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
at = data.find(b'KAVO fake package marker')
if at < 0:
    sys.exit('marker text not found')
data[at] ^= 0x20
open(sys.argv[2], 'wb').write(data)
EOF
