#!/usr/bin/env bash
# taxlink_textgen: a table's texts become the right bytes, and every fault
# of a table stops the build with its line and the exact reason.
set -uo pipefail
gen=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A good table: CP932 bytes (octal escapes), a wide text, escapes kept.
printf '# comment\n\nkCaption\tcp932\t消費税\nkWide\twide\t説明 a\nkEscapes\tcp932\ta\\n\\t\\\\"?\n' \
  > "$work/good.tsv"
if ! "$gen" texts "$work/good.tsv" "$work/good.h"; then
  echo "FAIL: the good table was refused"; failures=$((failures + 1))
fi
for expected in \
  'inline constexpr char kCaption[] = "\217\301\224\357\220\305";' \
  'inline constexpr wchar_t kWide[] = L"\U00008AAC\U0000660E a";' \
  'inline constexpr char kEscapes[] = "a\012\011\\\"\077";'; do
  grep -qxF "$expected" "$work/good.h" || { echo "FAIL: missing: $expected"; failures=$((failures + 1)); }
done

# Bad tables: each line of the table below is one case, "content|message".
while IFS='|' read -r content message; do
  printf "$content" > "$work/bad.tsv"
  actual=$("$gen" texts "$work/bad.tsv" "$work/bad.h" 2>&1)
  status=$?
  expected="taxlink_textgen: $work/bad.tsv:$message"
  if [ "$status" -eq 0 ] || [ "$actual" != "$expected" ]; then
    echo "FAIL: [$content] gave status $status and [$actual], expected [$expected]"
    failures=$((failures + 1))
  fi
done <<'CASES'
kA\tcp932\ta\nkA\tcp932\tb\n|2: "kA" is named twice
kA\tcp932\t€\n|1: "kA" has a character CP932 does not have
kA\tcp932\ta\\q\n|1: unknown escape
kA\tcp932\ta\\\n|1: unknown escape
kA cp932 a\n|1: expected name<TAB>form<TAB>text
lower\tcp932\ta\n|1: bad name "lower" (kUpperCamel)
kA\tutf8\ta\n|1: unknown form "utf8" (cp932 or wide)
CASES

[ "$failures" -eq 0 ] && echo "textgen: all cases pass"
exit $((failures > 0))
