-- The settlements the walk benchmarks read: n contexts of 1,000 row types each, every row
-- changed by one payment of the whole document, so that each walk gives 1,000 rows.
-- The handles are kept in the session (context variables H1 .. Hn).
SET TERM ^;
CREATE PROCEDURE bench_open (n INTEGER) AS
DECLARE h INTEGER;
DECLARE k INTEGER = 1;
DECLARE i INTEGER;
BEGIN
  WHILE (k <= n) DO
  BEGIN
    h = ib_scbcreate();
    i = 1;
    WHILE (i <= 1000) DO
    BEGIN
      ib_scbaddrow(h, 'ROW' || i, 10, 2.1);
      i = i + 1;
    END
    ib_scbaddpayment(h, 12100);
    RDB$SET_CONTEXT('USER_SESSION', 'H' || k, h);
    k = k + 1;
  END
END^

-- The walk every caller writes today: four calls per row.
CREATE PROCEDURE bench_loop (n INTEGER) RETURNS (rows_walked INTEGER, ms INTEGER) AS
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
    WHILE (ib_scbisaffectedrows(h) = 1) DO
    BEGIN
      t = ib_scbreadtype(h);
      a = ib_scbreadamount(h);
      v = ib_scbreadvat(h);
      rows_walked = rows_walked + 1;
    END
    k = k + 1;
  END
  ms = DATEDIFF(MILLISECOND FROM t0 TO CAST('NOW' AS TIMESTAMP));
  SUSPEND;
END^

CREATE PROCEDURE bench_close (n INTEGER) AS
DECLARE k INTEGER = 1;
BEGIN
  WHILE (k <= n) DO
  BEGIN
    ib_scbfree(CAST(RDB$GET_CONTEXT('USER_SESSION', 'H' || k) AS INTEGER));
    k = k + 1;
  END
END^
SET TERM ;^
COMMIT;
