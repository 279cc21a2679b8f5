-- Settlements in PSQL: rows and VAT, then payments, refunds and credit notes, each
-- followed by the walk of the rows it changed (type, amount given, VAT moved).
SET LIST ON;

SET TERM ^;
-- The walk every caller writes: next affected row, then its type, amount and the VAT.
CREATE PROCEDURE walk (h INTEGER)
RETURNS (kind VARCHAR(20), amount DOUBLE PRECISION, vat DOUBLE PRECISION) AS
BEGIN
  WHILE (ib_scbisaffectedrows(h) = 1) DO
  BEGIN
    kind = ib_scbreadtype(h);
    amount = ib_scbreadamount(h);
    vat = ib_scbreadvat(h);
    SUSPEND;
  END
END^

-- The context of the running settlement is kept in the session between statements.
CREATE PROCEDURE pay (amount DOUBLE PRECISION)
RETURNS (result_ INTEGER, kind VARCHAR(20), amount_ DOUBLE PRECISION, vat DOUBLE PRECISION) AS
DECLARE h INTEGER;
BEGIN
  h = RDB$GET_CONTEXT('USER_SESSION', 'H');
  result_ = ib_scbaddpayment(h, amount);
  FOR SELECT kind, amount, vat FROM walk(:h) INTO kind, amount_, vat DO SUSPEND;
  -- An operation that changed no row still shows its result.
  IF (kind IS NULL) THEN SUSPEND;
END^

CREATE PROCEDURE credit (kind_ VARCHAR(20), amount DOUBLE PRECISION, vat_ DOUBLE PRECISION)
RETURNS (result_ INTEGER, kind VARCHAR(20), amount_ DOUBLE PRECISION, vat DOUBLE PRECISION) AS
DECLARE h INTEGER;
BEGIN
  h = RDB$GET_CONTEXT('USER_SESSION', 'H');
  result_ = ib_scbaddcreditnote(h, kind_, amount, vat_);
  FOR SELECT kind, amount, vat FROM walk(:h) INTO kind, amount_, vat DO SUSPEND;
  -- An operation that changed no row still shows its result.
  IF (kind IS NULL) THEN SUSPEND;
END^

CREATE PROCEDURE open_document (rows_ VARCHAR(200))
RETURNS (h INTEGER) AS
DECLARE kind VARCHAR(20);
DECLARE rest VARCHAR(200);
BEGIN
  -- rows_ is 'TYPE amount vat;TYPE amount vat;...'
  h = ib_scbcreate();
  rest = rows_;
  WHILE (ib_get_token(rest, ';') <> '') DO
  BEGIN
    kind = ib_get_token(rest, ';');
    ib_scbaddrow(h, ib_get_token(kind, ' '),
                 CAST(ib_get_token(ib_delete_token(kind, ' '), ' ') AS DOUBLE PRECISION),
                 CAST(ib_delete_token(ib_delete_token(kind, ' '), ' ') AS DOUBLE PRECISION));
    rest = ib_delete_token(rest, ';');
  END
  RDB$SET_CONTEXT('USER_SESSION', 'H', h);
  SUSPEND;
END^
SET TERM ;^
COMMIT;

-- A full settlement: GOODS 100 + SERVICE 50, VAT 31.5.
SELECT IIF(h > 0, 'yes', 'no') AS opened FROM open_document('GOODS 100 21;SERVICE 50 10.5');
-- Partial payment: the VAT is served first, with the first row.
SELECT * FROM pay(100);
-- Overpayment: the rest of both rows, and the 18.5 too much stays on GOODS.
SELECT * FROM pay(100);
-- Refund of the overpayment: taken back from the row paid beyond its amount.
SELECT * FROM pay(-18.5);
-- Credit note on SERVICE: 20 and its VAT 4.2 come back and are spread again.
SELECT * FROM credit('SERVICE', 20, 4.2);
-- Nothing left to walk; reading again gives 0.
SELECT ib_scbisaffectedrows(CAST(RDB$GET_CONTEXT('USER_SESSION', 'H') AS INTEGER)) AS more_rows,
       ib_scbreadvat(CAST(RDB$GET_CONTEXT('USER_SESSION', 'H') AS INTEGER)) AS vat_again,
       ib_scbfree(CAST(RDB$GET_CONTEXT('USER_SESSION', 'H') AS INTEGER)) AS freed
FROM RDB$DATABASE;

-- Worked cases, each in a new context.
-- A credit line on a positive document is settled at once; what it frees goes to GOODS.
SELECT IIF(h > 0, 'yes', 'no') AS opened FROM open_document('GOODS 30 0;DISCOUNT -10 0');
SELECT * FROM pay(20);
SELECT ib_scbfree(CAST(RDB$GET_CONTEXT('USER_SESSION', 'H') AS INTEGER)) AS freed FROM RDB$DATABASE;

-- Surplus past a credit line in the first slot: it goes to the first positive row.
SELECT IIF(h > 0, 'yes', 'no') AS opened FROM open_document('DISCOUNT -10 0;GOODS 30 0');
SELECT * FROM pay(30);
SELECT ib_scbfree(CAST(RDB$GET_CONTEXT('USER_SESSION', 'H') AS INTEGER)) AS freed FROM RDB$DATABASE;

-- A negative document (a return) paid out.
SELECT IIF(h > 0, 'yes', 'no') AS opened FROM open_document('RETURN -50 -10.5');
SELECT * FROM pay(-60.5);
SELECT ib_scbfree(CAST(RDB$GET_CONTEXT('USER_SESSION', 'H') AS INTEGER)) AS freed FROM RDB$DATABASE;

-- A payment of exactly one row takes it whole and leaves the next untouched.
SELECT IIF(h > 0, 'yes', 'no') AS opened FROM open_document('GOODS 100 0;SERVICE 50 0');
SELECT * FROM pay(100);
-- A payment below 6 decimals marks no row: result 0, an empty walk.
SELECT * FROM pay(0.0000004);
SELECT ib_scbfree(CAST(RDB$GET_CONTEXT('USER_SESSION', 'H') AS INTEGER)) AS freed FROM RDB$DATABASE;

-- Credit notes: VAT lowered below what was paid comes back and is spread over the
-- amount; one that releases nothing marks nothing; one for a type without a row makes
-- the row and takes back from it.
SELECT IIF(h > 0, 'yes', 'no') AS opened FROM open_document('GOODS 100 20');
SELECT * FROM pay(60);
SELECT * FROM credit('GOODS', 30, 6);
SELECT * FROM credit('GOODS', -5, 0);
SELECT * FROM pay(60);
SELECT * FROM credit('BONUS', 10, 0);
SELECT ib_scbfree(CAST(RDB$GET_CONTEXT('USER_SESSION', 'H') AS INTEGER)) AS freed FROM RDB$DATABASE;

-- Seventeen rows (the row table grows twice) all paid by one payment, walked in order.
SET LIST OFF;
SET TERM ^;
EXECUTE BLOCK RETURNS (kind VARCHAR(8), amount NUMERIC(9,2)) AS
DECLARE h INTEGER;
DECLARE i INTEGER = 1;
DECLARE v DOUBLE PRECISION;
BEGIN
  h = ib_scbcreate();
  WHILE (i <= 17) DO
  BEGIN
    ib_scbaddrow(h, 'R' || i, i, 0);
    i = i + 1;
  END
  ib_scbaddpayment(h, 153);
  WHILE (ib_scbisaffectedrows(h) = 1) DO
  BEGIN
    kind = ib_scbreadtype(h);
    amount = ib_scbreadamount(h);
    v = ib_scbreadvat(h);
    SUSPEND;
  END
  ib_scbfree(h);
END^
SET TERM ;^

-- Procedures that call a function stop its drop: remove them, as an upgrade would.
SET LIST ON;
COMMIT;
DROP PROCEDURE credit;
DROP PROCEDURE pay;
DROP PROCEDURE walk;
DROP PROCEDURE open_document;
COMMIT;
