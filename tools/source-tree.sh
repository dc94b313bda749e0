#!/usr/bin/env bash
# Copies the project's source tree into DIR: the files git tracks and those it does not
# ignore, as they stand in the working tree (outside a git checkout, everything but the
# build trees and caches), with the permissions git knows (755 for what is executable, 644
# for the rest), whatever the umask of the checkout or of this copy.   tools/source-tree.sh DIR
set -euo pipefail
dest=${1:?usage: source-tree.sh DIR}
cd "$(dirname "$0")/.."
mkdir -p "$dest"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -co --exclude-standard -z | tar --null -T - -cf - | tar -xf - -C "$dest"
else
  tar --exclude='./build*' --exclude=./.cache --exclude=./node_modules -cf - . | tar -xf - -C "$dest"
fi
find "$dest" -type d -exec chmod 755 {} + -o -type f -perm -u+x -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
