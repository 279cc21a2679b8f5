-- The same walk in one call (UDR module only).
SET TERM ^;
CREATE PROCEDURE bench_walk (n INTEGER) RETURNS (rows_walked INTEGER, ms INTEGER) AS
DECLARE h INTEGER;
DECLARE k INTEGER = 1;
DECLARE t VARCHAR(255);
DECLARE a DOUBLE PRECISION;
DECLARE v DOUBLE PRECISION;
DECLARE t0 TIMESTAMP;
BEGIN
  rows_walked = 0;
  t0 = CAST('NOW' AS TIMESTAMP);
  WHILE (k <= n) DO
  BEGIN
    h = RDB$GET_CONTEXT('USER_SESSION', 'H' || k);
    FOR SELECT row_type, amount, vat FROM ib_scbwalk(:h) INTO t, a, v DO
      rows_walked = rows_walked + 1;
    k = k + 1;
  END
  ms = DATEDIFF(MILLISECOND FROM t0 TO CAST('NOW' AS TIMESTAMP));
  SUSPEND;
END^
SET TERM ;^
COMMIT;
