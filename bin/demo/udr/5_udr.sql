-- the UDR module: NULL in, NULL out, and a settlement walked in one call
SET LIST ON;
SET ECHO ON;
-- A NULL argument gives NULL (the legacy module reads it as '' or 0).
SELECT ib_string_length(NULL) AS len_of_null, ib_lpad(NULL, 5, '0') AS lpad_of_null,
       ib_isnotnull(NULL) AS isnotnull_of_null
FROM rdb$database;
SET LIST OFF;
-- ib_scbwalk returns the walk of the last payment as rows: one call instead of four per row.
SET TERM ^;
EXECUTE BLOCK RETURNS (row_type VARCHAR(12), amount NUMERIC(9,2), vat NUMERIC(9,2)) AS
DECLARE h INTEGER;
DECLARE r INTEGER;
BEGIN
  h = ib_scbcreate();
  r = ib_scbaddrow(h, 'GOODS', 100, 21);
  r = ib_scbaddrow(h, 'SERVICE', 50, 10.5);
  r = ib_scbaddpayment(h, 160);
  FOR SELECT row_type, amount, vat FROM ib_scbwalk(:h) INTO row_type, amount, vat DO SUSPEND;
  r = ib_scbfree(h);
END^
SET TERM ;^
