"""Prints every definition name the page's script shows, formed from the
page's data as the script forms them, one a line."""
import base64
import gzip
import json
import re
import sys

page = open(sys.argv[1], encoding='utf-8').read()
packed = re.search(r'<script type="application/x-gzip-base64url" id="rw-data">([^<]*)</script>', page).group(1)
d = json.loads(gzip.decompress(base64.urlsafe_b64decode(packed + '=' * (-len(packed) % 4))))
s = d['s']


def names(pattern, stems):
    p = d['d'][pattern]
    if isinstance(p, str):
        return []
    return [d['n'][p[i]][0] + stems[p[i + 1]] + d['n'][p[i]][1] for i in range(0, len(p), 2)]


shown = [s[v[0]] for v in d['v']]
for b in d['b']:
    if len(b) > 3 and b[6] >= 0:
        shown += names(b[6], [s[b[7]]])
f = 0
for r in d['r']:
    stems = [s[r[0]], s[r[8]]]
    shown += names(r[9], stems)
    if r[10] >= 0:
        shown += names(r[10], stems)
    for field in d['f'][f:f + r[11]]:
        stem = s[r[0]] + '_' + s[field[0]] if field[8] < 0 else s[field[8]]
        shown += names(field[7], [stem, s[field[9]]])
    f += r[11]
print('\n'.join(sorted(set(shown))))
