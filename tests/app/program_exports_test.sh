#!/usr/bin/env bash
# A program exports to the front-end modules it loads its platform and host,
# and nothing of the C++ runtime it holds: a module's shared runtime, loaded
# with Qt or curses, would otherwise bind part of itself to the program's
# copy (two runtimes' objects mixed).
#   program_exports_test.sh PROGRAM
set -euo pipefail
program=$1
names=$(nm -DC --defined-only "$program" | cut -d' ' -f3-)
if ! grep -q '^platform::' <<<"$names"; then
  echo "FAILED: $program exports none of the platform's symbols"
  exit 1
fi
# A program built with the shared runtime (the sanitizer builds) shares it
# with its modules: the linker then exports the runtime's functions that the
# program holds copies of, so that the shared library binds to them, and
# there is one runtime either way.
if readelf -d "$program" | grep -q 'NEEDED.*libstdc++'; then
  echo "passed: $program exports the platform; it links the shared C++ runtime"
  exit 0
fi
runtime=$(grep -E '^(std::|__gnu_cxx::|__cxxabiv1::|__cxa_|__gxx_|operator (new|delete)|(vtable|typeinfo|typeinfo name) for (std|__cxxabiv1)::)' <<<"$names" || true)
if [ -n "$runtime" ]; then
  echo "FAILED: $program exports the C++ runtime's symbols:"
  head -n 20 <<<"$runtime" | cut -c1-160
  exit 1
fi
