-- module: udr psql
-- ib_scbwalk against the walk of four calls per row: two contexts given the same document
-- and the same operations; after each operation one is walked by the loop and the other by
-- the procedure, in lockstep, and every row must agree. Then what the walk leaves behind
-- (the reads reset, the cursor at the end) and the handles it gives nothing for.
SET LIST ON;

SET TERM ^;
CREATE PROCEDURE loop_walk (h INTEGER)
RETURNS (row_type VARCHAR(255), amount DOUBLE PRECISION, vat DOUBLE PRECISION) AS
BEGIN
  WHILE (ib_scbisaffectedrows(h) = 1) DO
  BEGIN
    row_type = ib_scbreadtype(h);
    amount = ib_scbreadamount(h);
    vat = ib_scbreadvat(h);
    SUSPEND;
  END
END^

-- One operation on both contexts (a payment, or a credit note when kind is given), then
-- both walks: the rows, and whether each agrees with its twin.
CREATE PROCEDURE twin_walks (a INTEGER, b INTEGER, amount DOUBLE PRECISION, kind VARCHAR(20), vat DOUBLE PRECISION)
RETURNS (step INTEGER, loop_type VARCHAR(20), loop_amount DOUBLE PRECISION, loop_vat DOUBLE PRECISION,
         agrees VARCHAR(3)) AS
DECLARE t VARCHAR(255);
DECLARE m DOUBLE PRECISION;
DECLARE v DOUBLE PRECISION;
DECLARE c1 CURSOR FOR (SELECT row_type, amount, vat FROM loop_walk(:a));
DECLARE c2 CURSOR FOR (SELECT row_type, amount, vat FROM ib_scbwalk(:b));
BEGIN
  IF (kind IS NULL) THEN
  BEGIN
    ib_scbaddpayment(a, amount);
    ib_scbaddpayment(b, amount);
  END
  ELSE
  BEGIN
    ib_scbaddcreditnote(a, kind, amount, vat);
    ib_scbaddcreditnote(b, kind, amount, vat);
  END
  OPEN c1;
  OPEN c2;
  step = 0;
  WHILE (1 = 1) DO
  BEGIN
    FETCH c1 INTO loop_type, loop_amount, loop_vat;
    IF (ROW_COUNT = 0) THEN loop_type = '(end)';
    FETCH c2 INTO t, m, v;
    IF (ROW_COUNT = 0) THEN t = '(end)';
    step = step + 1;
    agrees = IIF(loop_type = t AND (loop_type = '(end)' OR (loop_amount = m AND loop_vat = v)), 'yes', 'NO');
    SUSPEND;
    IF (loop_type = '(end)' OR t = '(end)') THEN LEAVE;
  END
  CLOSE c1;
  CLOSE c2;
END^

EXECUTE BLOCK RETURNS (op INTEGER, step INTEGER, loop_type VARCHAR(20), loop_amount DOUBLE PRECISION,
                       loop_vat DOUBLE PRECISION, agrees VARCHAR(3)) AS
DECLARE a INTEGER;
DECLARE b INTEGER;
BEGIN
  a = ib_scbcreate();
  b = ib_scbcreate();
  ib_scbaddrow(a, 'GOODS', 1000, 210); ib_scbaddrow(b, 'GOODS', 1000, 210);
  ib_scbaddrow(a, 'SERVICE', 300, 63); ib_scbaddrow(b, 'SERVICE', 300, 63);
  ib_scbaddrow(a, 'DISCOUNT', -100, -21); ib_scbaddrow(b, 'DISCOUNT', -100, -21);
  ib_scbaddrow(a, 'FEE', 15.5, 0); ib_scbaddrow(b, 'FEE', 15.5, 0);
  op = 1;
  FOR SELECT step, loop_type, loop_amount, loop_vat, agrees FROM twin_walks(:a, :b, 400, NULL, NULL)
    INTO step, loop_type, loop_amount, loop_vat, agrees DO SUSPEND;
  op = 2;
  FOR SELECT step, loop_type, loop_amount, loop_vat, agrees FROM twin_walks(:a, :b, -50, NULL, NULL)
    INTO step, loop_type, loop_amount, loop_vat, agrees DO SUSPEND;
  op = 3;
  FOR SELECT step, loop_type, loop_amount, loop_vat, agrees FROM twin_walks(:a, :b, 200, 'GOODS', 42)
    INTO step, loop_type, loop_amount, loop_vat, agrees DO SUSPEND;
  op = 4;
  FOR SELECT step, loop_type, loop_amount, loop_vat, agrees FROM twin_walks(:a, :b, 5000, NULL, NULL)
    INTO step, loop_type, loop_amount, loop_vat, agrees DO SUSPEND;
  ib_scbfree(a);
  ib_scbfree(b);
END^

-- After a walk: the cursor is at the end and the VAT was read; a second walk gives nothing.
EXECUTE BLOCK RETURNS (walked INTEGER, affected_after INTEGER, vat_after DOUBLE PRECISION,
                       second_walk INTEGER, null_walk INTEGER, zero_walk INTEGER, freed_walk INTEGER) AS
DECLARE h INTEGER;
DECLARE g INTEGER;
BEGIN
  h = ib_scbcreate();
  ib_scbaddrow(h, 'GOODS', 100, 21);
  ib_scbaddrow(h, 'SERVICE', 50, 10.5);
  ib_scbaddpayment(h, 181.5);
  SELECT COUNT(*) FROM ib_scbwalk(:h) INTO walked;
  affected_after = ib_scbisaffectedrows(h);
  vat_after = ib_scbreadvat(h);
  SELECT COUNT(*) FROM ib_scbwalk(:h) INTO second_walk;
  SELECT COUNT(*) FROM ib_scbwalk(NULL) INTO null_walk;
  SELECT COUNT(*) FROM ib_scbwalk(0) INTO zero_walk;
  g = ib_scbcreate();
  ib_scbfree(g);
  SELECT COUNT(*) FROM ib_scbwalk(:g) INTO freed_walk;
  ib_scbfree(h);
  SUSPEND;
END^

-- A handle of another attachment walks nothing there.
EXECUTE BLOCK RETURNS (rows_elsewhere INTEGER, rows_here INTEGER) AS
DECLARE h INTEGER;
BEGIN
  h = ib_scbcreate();
  ib_scbaddrow(h, 'GOODS', 100, 21);
  ib_scbaddpayment(h, 50);
  EXECUTE STATEMENT ('SELECT COUNT(*) FROM ib_scbwalk(?)') (h)
    ON EXTERNAL RDB$GET_CONTEXT('SYSTEM', 'DB_NAME') INTO rows_elsewhere;
  SELECT COUNT(*) FROM ib_scbwalk(:h) INTO rows_here;
  ib_scbfree(h);
  SUSPEND;
END^
SET TERM ;^

-- The procedures go, so that the drop script can remove the functions.
DROP PROCEDURE twin_walks;
DROP PROCEDURE loop_walk;
COMMIT;
