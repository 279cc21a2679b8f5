-- The balance context from SQL: create, rows, the walk before any payment, clear, free,
-- and what a handle that names no context (0, NULL, forged, freed) gives.
SET LIST ON;

SET TERM ^;

-- A new context; rows keyed by type, the same type adds up; before any payment the
-- cursor stands on the first row, nothing is affected, and the vain walk leaves the
-- cursor on the last row.
EXECUTE BLOCK RETURNS (created INTEGER, add1 INTEGER, add2 INTEGER, add3 INTEGER,
                       add_zero INTEGER, first_type VARCHAR(20), affected INTEGER,
                       type_after_walk VARCHAR(20), amount DOUBLE PRECISION,
                       vat DOUBLE PRECISION, freed INTEGER) AS
DECLARE h INTEGER;
BEGIN
  h = ib_scbcreate();
  created = IIF(h <> 0, 1, 0);
  add1 = ib_scbaddrow(h, 'GOODS', 100, 21);
  add2 = ib_scbaddrow(h, 'SERVICE', 50, 10.5);
  add3 = ib_scbaddrow(h, 'GOODS', 20, 4.2);
  -- zero at 6 places in both amount and VAT: accepted, no row
  add_zero = ib_scbaddrow(h, 'NOTHING', 0.0000004, -0.0000004);
  first_type = ib_scbreadtype(h);
  affected = ib_scbisaffectedrows(h);
  type_after_walk = ib_scbreadtype(h);
  amount = ib_scbreadamount(h);
  vat = ib_scbreadvat(h);
  freed = ib_scbfree(h);
  SUSPEND;
END^

-- Clear keeps the handle valid and empties the context.
EXECUTE BLOCK RETURNS (cleared INTEGER, type_after_clear VARCHAR(20), add_after_clear INTEGER,
                       type_after_add VARCHAR(20), freed INTEGER) AS
DECLARE h INTEGER;
BEGIN
  h = ib_scbcreate();
  ib_scbaddrow(h, 'GOODS', 100, 21);
  cleared = ib_scbclear(h);
  type_after_clear = '[' || ib_scbreadtype(h) || ']';
  add_after_clear = ib_scbaddrow(h, 'FEE', 5, 0);
  type_after_add = ib_scbreadtype(h);
  freed = ib_scbfree(h);
  SUSPEND;
END^

-- A freed handle behaves like handle 0: every call gives 0, 0.0 or the empty text.
EXECUTE BLOCK RETURNS (add_freed INTEGER, type_freed VARCHAR(20), clear_freed INTEGER,
                       free_again INTEGER) AS
DECLARE h INTEGER;
BEGIN
  h = ib_scbcreate();
  ib_scbfree(h);
  add_freed = ib_scbaddrow(h, 'GOODS', 1, 0);
  type_freed = '[' || ib_scbreadtype(h) || ']';
  clear_freed = ib_scbclear(h);
  free_again = ib_scbfree(h);
  SUSPEND;
END^

-- A UTF8 key comes back byte for byte (the texts are bytes, CHARACTER SET NONE).
EXECUTE BLOCK RETURNS (first_type VARCHAR(20), first_len INTEGER, freed INTEGER) AS
DECLARE h INTEGER;
BEGIN
  h = ib_scbcreate();
  ib_scbaddrow(h, 'Příliš', 1, 0);
  first_type = ib_scbreadtype(h);
  first_len = OCTET_LENGTH(first_type);
  freed = ib_scbfree(h);
  SUSPEND;
END^

SET TERM ;^

-- Handle 0 and a forged handle.
SELECT ib_scbaddrow(0, 'GOODS', 1, 0) AS add_0,
       ib_scbaddrow(123456, 'GOODS', 1, 0) AS add_forged,
       ib_scbisaffectedrows(0) AS affected_0,
       '[' || ib_scbreadtype(0) || ']' AS type_0,
       ib_scbreadamount(0) AS amount_0,
       ib_scbclear(0) AS clear_0,
       ib_scbfree(0) AS free_0,
       ib_scbfree(-1) AS free_negative
FROM RDB$DATABASE;

-- The credit-note opening is a no-op that answers 1 for any handle.
SELECT ib_scbstartcreditnote(0) AS start_0, ib_scbstartcreditnote(NULL) AS start_null,
       ib_scbstartcreditnote(777) AS start_forged
FROM RDB$DATABASE;

-- A type longer than its declared width (255 bytes) is refused by the server.
SELECT ib_scbaddrow(0, LPAD('', 256, 'x'), 1, 0) AS too_long FROM RDB$DATABASE;
