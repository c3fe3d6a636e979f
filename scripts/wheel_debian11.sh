#!/usr/bin/env bash
# Installs a cp39 wheel in a Debian 11 userspace (glibc 2.31, Debian's own python3.9 and pip)
# and runs the smoke test there: an older system than the build machine, as a user of an older
# distribution has it. The userspace is made once with debootstrap (minimal variant, from
# Debian's packages) in .cache/debian11 and entered with chroot, so this needs root.
# Usage: bash scripts/wheel_debian11.sh WHEEL MANIFEST   (wheel.sh --all --debian11 runs it)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
wheel=$1 manifest=$2
root="$PWD/.cache/debian11"
[ "$(id -u)" -eq 0 ] || die "entering the Debian 11 userspace with chroot needs root"

if [ ! -f "$root/.kezo-ready" ]; then
    apt_install_missing debootstrap
    log "making a Debian 11 userspace in $root (once; a few minutes)"
    rm -rf "$root"
    debootstrap --variant=minbase --include=python3,python3-venv,ca-certificates bullseye "$root" \
        >"$PWD/.cache/debian11.log" 2>&1 || die "debootstrap failed (see .cache/debian11.log)"
    touch "$root/.kezo-ready"
fi

check="$root/tmp/kezo-check"
rm -rf "$check"
mkdir -p "$check"
cp "$wheel" scripts/wheel_smoke.py "$check/"
cp "$manifest" "$check/manifest.txt"
# pip inside reaches the package index (for kezo's dependencies) through the same certificate
# authorities as this machine.
cp "${SSL_CERT_FILE:-/etc/ssl/certs/ca-certificates.crt}" "$check/ca.crt"
mount --bind /proc "$root/proc"
mount --bind /dev "$root/dev"
trap 'umount "$root/proc" "$root/dev"; rm -rf "$check"' EXIT
chroot "$root" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/tmp/kezo-check LANG=C.UTF-8 \
    REQUESTS_CA_BUNDLE=/tmp/kezo-check/ca.crt SSL_CERT_FILE=/tmp/kezo-check/ca.crt \
    PIP_DISABLE_PIP_VERSION_CHECK=1 /bin/sh -euc '
cd /tmp/kezo-check
echo "[kezo] Debian $(cat /etc/debian_version), $(ldd --version | head -n 1), $(python3 --version)" >&2
python3 -m venv venv
venv/bin/python -m pip install -q --only-binary=:all: ./kezo-*.whl
venv/bin/python wheel_smoke.py manifest.txt
venv/bin/kezo --version >/dev/null'
log "the cp39 wheel installs and runs in Debian 11"
