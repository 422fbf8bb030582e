#!/usr/bin/env bash
# Reads the compiled help file back with chmlib's extractor and checks that every topic the program
# names ("xxx.htm" in its sources) is in it with real text, and that every picture a topic shows is
# in it too.  Usage: check_chm.sh Blendo.chm SOURCE_ROOT
set -uo pipefail
chm=$1; root=$2
out=$(mktemp -d); trap 'rm -rf "$out"' EXIT
extract_chmLib "$chm" "$out" >/dev/null || { echo "extract_chmLib failed on $chm"; exit 1; }
fail=0
topics=$(grep -rhoE '"[a-z_]+\.htm"' "$root"/app "$root"/albumart "$root"/library "$root"/framework 2>/dev/null | tr -d '"' | sort -u)
[ -n "$topics" ] || { echo "no topic names found in the sources"; exit 1; }
# The pages' topics are named here too: their code may not name them yet.
topics=$(echo index.htm aa_pref.htm aa_match.htm $topics | tr " " "\n" | sort -u)
for t in $topics; do
    f="$out/$t"
    if [ ! -f "$f" ]; then echo "missing topic: $t"; fail=1; continue; fi
    words=$(sed -e 's/<[^>]*>/ /g' "$f" | wc -w)
    [ "$words" -ge 150 ] || { echo "$t has only $words words"; fail=1; }
    for img in $(grep -oE 'src="[^"]+"' "$f" | sed -e 's/src="//' -e 's/"$//'); do
        [ -s "$out/$img" ] || { echo "$t shows $img, which is not in the help file"; fail=1; }
    done
done
grep -q 'index.htm' "$out/Blendo.hhc" || { echo "contents file lacks the start page"; fail=1; }
[ $fail = 0 ] && echo "help file: $(echo $topics | wc -w) topics checked"
exit $fail
