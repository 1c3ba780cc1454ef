# shellcheck shell=bash
# Shared by the scripts in this folder: the project root and the machine set-up.
# Source it; it defines QX_ROOT and qx_setup.

QX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QX_JOBS=${QX_JOBS:-$(nproc 2>/dev/null || echo 2)}

# Prints the packages of the given lists (default scripts/packages.txt) that are not
# installed, one a line.
qx_missing_packages() {
    local package
    [[ $# -gt 0 ]] || set -- "$QX_ROOT/scripts/packages.txt"
    cat "$@" | while read -r package; do
        [[ -z "$package" || "$package" == \#* ]] && continue
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            echo "$package"
        fi
    done | sort -u
}

# Installs the missing Debian packages of the given lists (default scripts/packages.txt)
# as root, or says which ones to install.
qx_setup() {
    if ! command -v dpkg-query >/dev/null 2>&1; then
        echo "note: not a Debian system; make sure the packages in scripts/packages*.txt are installed" >&2
        return 0
    fi
    local missing
    missing=$(qx_missing_packages "$@" | tr '\n' ' ')
    missing=${missing% }
    [[ -z "$missing" ]] && return 0
    if [[ $(id -u) -ne 0 ]]; then
        echo "error: missing Debian packages: $missing" >&2
        echo "       install them as root: apt-get install $missing" >&2
        return 1
    fi
    echo "Installing missing Debian packages: $missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    # shellcheck disable=SC2086 # one word per package
    apt-get install -y --no-install-recommends $missing
}
