#!/usr/bin/env bash
# A build whose packer writes a valid SZDD file of the wrong content stops at the first packed
# file, names it, and keeps no packed file:
#   wrong_packer_stops_build.sh <source folder> <scratch build folder> <product folder> <real packer>
set -uo pipefail
source=$1 scratch=$2 product=$3
export VX_REAL_PACKER=$4
rm -rf "$scratch"
cmake --preset win32 -S "$source" -B "$scratch" -DVX_PRODUCT_DIR="$product" \
  -DVX_PACKER="$(dirname "$(realpath "$0")")/wrong_packer.sh" >/dev/null || exit 1
if output=$(cmake --build "$scratch" --target payload 2>&1); then
  echo "FAIL: the build went on with a faulty packer"; exit 1
fi
# CMake wraps its messages: the check reads them as one line.
tr -s ' \n' ' ' <<<"$output" | grep -qE "Packing [^ ]+ failed: what [^ ]*/wrong_packer.sh packed does not expand to $product/" \
  || { echo "FAIL: no message names the file:"; echo "$output"; exit 1; }
packed=$(ls "$scratch"/payload/*.szdd 2>/dev/null)
[ -z "$packed" ] || { echo "FAIL: packed files were kept: $packed"; exit 1; }
