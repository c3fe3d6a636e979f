# Shared by the set-up, demo, test and wheel scripts: system packages, the project-local
# virtual environment (.venv) and kezo built from this checkout. Source it from the repository
# root. Nothing here writes outside the checkout except apt-get, which runs only for packages
# that are missing.

PYTHON=${PYTHON:-python3}
VENV=${KEZO_VENV:-.venv}
# pip's cache stays inside the checkout, so a set-up leaves the user's home untouched.
export PIP_CACHE_DIR="$PWD/.cache/pip" PIP_DISABLE_PIP_VERSION_CHECK=1 PIP_ROOT_USER_ACTION=ignore

log() { printf '[kezo] %s\n' "$*" >&2; }
die() { log "error: $*"; exit 1; }

# Runs apt-get as root, through sudo when needed, waiting for another package-manager run to
# release its locks instead of failing.
apt_get() {
    local sudo="" attempt out
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    for attempt in $(seq 1 180); do
        if out=$(DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 \
                 -o Acquire::Retries=3 "$@" 2>&1); then
            return 0
        fi
        case "$out" in
            *"Could not get lock"* | *"Unable to lock"* | *"is held by process"*)
                [ "$attempt" -eq 1 ] && log "waiting for another package manager to finish"
                sleep 5 ;;
            *) printf '%s\n' "$out" >&2; return 1 ;;
        esac
    done
    die "the package manager stayed locked for 15 minutes"
}

package_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# Installs the given Debian packages that are not installed yet.
apt_install_missing() {
    local missing=() pkg
    for pkg in "$@"; do package_installed "$pkg" || missing+=("$pkg"); done
    [ "${#missing[@]}" -eq 0 ] && return 0
    command -v apt-get >/dev/null || die "missing system packages: ${missing[*]}"
    log "installing ${missing[*]} with apt-get"
    apt_get update -qq
    apt_get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building the extension needs: a C and C++ compiler, and for the chosen interpreter its venv
# module and headers (Debian ships those separately). The stemmer library is built from source.
ensure_build_system() {
    "$PYTHON" -c 'import sys; sys.exit(sys.version_info < (3, 9))' 2>/dev/null ||
        die "$PYTHON is not CPython 3.9 or newer (set PYTHON=/path/to/python3.X)"
    local need=()
    command -v c++ >/dev/null || command -v g++ >/dev/null || need+=(g++)
    command -v cc >/dev/null || command -v gcc >/dev/null || need+=(gcc)
    if [ ! -d "$VENV" ] && ! "$PYTHON" -c 'import ensurepip, venv' 2>/dev/null; then
        need+=("python3-venv")
    fi
    if ! "$PYTHON" -c 'import os, sysconfig, sys
sys.exit(not os.path.exists(os.path.join(sysconfig.get_paths()["include"], "Python.h")))'; then
        need+=("python3-dev")
    fi
    [ "${#need[@]}" -eq 0 ] || apt_install_missing "${need[@]}"
}

# Hash of the given strings and of the content of the given files, for the stamps below.
content_hash() {
    "$VENV/bin/python" - "$@" <<'PY'
import hashlib, pathlib, sys
digest = hashlib.sha256()
for item in sys.argv[1:]:
    path = pathlib.Path(item)
    files = sorted(p for p in path.rglob("*")
                   if p.is_file() and "__pycache__" not in p.parts) if path.is_dir() else [path]
    for file in files:
        digest.update(str(file).encode())
        digest.update(file.read_bytes() if file.is_file() else item.encode())
print(digest.hexdigest())
PY
}

# Creates the virtual environment once.
create_venv() {
    [ -x "$VENV/bin/python" ] && return 0
    log "creating the virtual environment $VENV"
    "$PYTHON" -m venv "$VENV"
    "$VENV/bin/python" -m pip install -q --upgrade pip
}

# Installs a named set of requirements into the virtual environment; a second call with the same
# set does nothing.
pip_install_set() {
    local name=$1 stamp wanted
    shift
    stamp="$VENV/.kezo-requirements-$name"
    wanted=$(printf '%s\n' "$@")
    [ "$(cat "$stamp" 2>/dev/null)" = "$wanted" ] && return 0
    log "installing into $VENV: $*"
    "$VENV/bin/python" -m pip install -q "$@"
    printf '%s' "$wanted" >"$stamp"
}

# Builds kezo from this checkout and installs it into the virtual environment, unless exactly
# these sources are installed already.
install_kezo() {
    local stamp="$VENV/.kezo-sources" current
    current=$(content_hash CMakeLists.txt cmake pyproject.toml README.md include src python \
        third_party/libstemmer_c/.sdist-sha256)
    if [ "$(cat "$stamp" 2>/dev/null)" = "$current" ]; then
        log "kezo is up to date in $VENV"
        return 0
    fi
    log "building kezo from this checkout (a first build takes a few minutes)"
    rm -f "$stamp"
    "$VENV/bin/python" -m pip install -q --no-build-isolation --no-deps --force-reinstall .
    printf '%s' "$current" >"$stamp"
}

# Build tools (used without isolation so that unchanged rebuilds stay incremental), kezo's runtime
# dependencies, and the test tools when asked.
BUILD_REQUIREMENTS=("cmake>=3.18" ninja "pybind11>=2.11" "scikit-build-core>=0.11")
RUNTIME_REQUIREMENTS=("tqdm>=4" "charset-normalizer>=3.0")
# The optional integrations are tested with the real libraries: Dask, spaCy, scikit-learn, pandas.
TEST_REQUIREMENTS=("pytest>=7" "hypothesis>=6.100" "mypy>=1.8" "dask[distributed,dataframe]>=2024.1"
                   "spacy>=3.7" "scikit-learn>=1.2" "pandas>=1.5" "mkdocs>=1.5"
                   "mkdocstrings[python]>=0.24")
