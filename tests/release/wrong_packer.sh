#!/usr/bin/env bash
# A faulty packer: "compress" writes a well-formed SZDD file (header, then one flag byte and eight
# literals) that expands to "wrong!!!" whatever its input; "expand" is the real packer's strict
# expander, named by VX_REAL_PACKER.
case $1 in
  compress) printf 'SZDD\x88\xf0\x27\x33A\0\x08\0\0\0\xffwrong!!!' >"$3" ;;
  expand) exec "$VX_REAL_PACKER" expand "$2" "$3" ;;
  *) exit 2 ;;
esac
