# Turns every ```sql block of a Markdown file into isql statements, so that each snippet
# of the docs runs in the engine (tests/server/snippets.sh):
#   awk -v mode=udf|udr|psql -v file=NAME -f snippets.awk FILE.md
# - A block of statements (SELECT, EXECUTE BLOCK, CREATE, ...) runs as it stands.
# - A block of PSQL lines (h = ..., r = ..., WHILE, FOR SELECT) runs inside an EXECUTE BLOCK
#   that declares h, r, kind, row_type, amount and vat, with a new context in h unless the
#   block makes its own, freed at the end. A "-- walk: TYPE AMOUNT, ..., VAT X" comment is
#   checked: the walk after that line must give those rows (amounts to one decimal, VAT
#   summed over the walk, left out when 0; "-- walk: none" for no row). Any other payment
#   or credit note is walked silently, as a program would.
# - A block that declares routines of the UDR module (ENGINE UDR) runs only with it; one that
#   calls ib_scbwalk, which the legacy module lacks, with the UDR and PSQL declarations.
# Each block is announced by "snippet FILE:LINE"; a failed walk prints "FILE:LINE: walk ...".
function q(s) { gsub(/\047/, "\047\047", s); return s }
function walk(expected, at,   v) {
  print "  walk = \047\047; vs = 0;"
  print "  WHILE (ib_scbisaffectedrows(h) = 1) DO BEGIN"
  print "    row_type = ib_scbreadtype(h); amount = ib_scbreadamount(h); vat = ib_scbreadvat(h); vs = vs + vat;"
  print "    walk = walk || \047, \047 || row_type || \047 \047 || CAST(CAST(amount AS NUMERIC(18,1)) AS VARCHAR(30));"
  print "  END"
  if (expected == "") return
  if (expected == "none") expected = ""
  print "  IF (vs <> 0) THEN walk = walk || \047, VAT \047 || CAST(CAST(vs AS NUMERIC(18,1)) AS VARCHAR(30));"
  print "  walk = SUBSTRING(walk FROM 3);"
  print "  IF (walk IS DISTINCT FROM \047" q(expected) "\047) THEN BEGIN"
  print "    walk = \047" file ":" at ": walk " "\047 || IIF(walk = \047\047, \047none\047, walk) || \047, the docs say " q(expected) "\047; SUSPEND;"
  print "  END"
}
function flush(   i, line, code, expected, psql, own_create, own_free) {
  if (n == 0) return
  udr_only = walks = 0
  for (i = 1; i <= n; i++) {
    if (text[i] ~ /ENGINE UDR/) udr_only = 1
    if (text[i] ~ /ib_scbwalk/) walks = 1
  }
  if ((udr_only && mode != "udr") || (walks && mode == "udf")) { n = 0; return }
  print "SELECT \047snippet " file ":" start "\047 AS snippet FROM RDB$DATABASE;"
  psql = 0
  for (i = 1; i <= n; i++) {
    if (text[i] ~ /^[ \t]*(--|$)/) continue
    psql = (text[i] !~ /^[ \t]*(SELECT|EXECUTE|CREATE|ALTER|DROP|RECREATE|COMMENT|SET|INSERT|UPDATE|DELETE|COMMIT)[ \t(]/)
    break
  }
  if (!psql) {
    for (i = 1; i <= n; i++) print text[i]
    n = 0
    return
  }
  own_create = own_free = 0
  for (i = 1; i <= n; i++) {
    if (text[i] ~ /h = ib_scbcreate\(\)/) own_create = 1
    if (text[i] ~ /ib_scbfree\(h\)/) own_free = 1
  }
  print "SET TERM ^ ;"
  print "EXECUTE BLOCK RETURNS (kind VARCHAR(255), row_type VARCHAR(255), amount DOUBLE PRECISION, vat DOUBLE PRECISION, walk VARCHAR(2000)) AS"
  print "  DECLARE h INTEGER; DECLARE r INTEGER; DECLARE vs DOUBLE PRECISION;"
  print "BEGIN"
  if (!own_create) print "  h = ib_scbcreate();"
  for (i = 1; i <= n; i++) {
    line = text[i]
    expected = ""
    if (match(line, /-- walk: .*/)) expected = substr(line, RSTART + 9)
    code = line
    sub(/[ \t]*--.*/, "", code)
    if (code == "") continue
    print "  " code
    if (expected != "") walk(expected, start + i)
    else if (code ~ /ib_scbadd(payment|creditnote)/) walk("", 0)
  }
  if (!own_free) print "  r = ib_scbfree(h);"
  print "END^"
  print "SET TERM ; ^"
  n = 0
}
/^```sql[ \t]*$/ { inside = 1; start = FNR; n = 0; next }
inside && /^```[ \t]*$/ { inside = 0; flush(); next }
inside { text[++n] = $0 }
