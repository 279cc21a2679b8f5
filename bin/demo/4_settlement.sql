-- settlement of a small invoice: payments, an overpayment, a refund and a credit note
-- The invoice, the allocations read back after every step, and three procedures that
-- drive the balance context. The context's handle lives in a session variable.
CREATE TABLE invoice_line (kind VARCHAR(12) NOT NULL, amount NUMERIC(9,2), vat NUMERIC(9,2));
CREATE TABLE allocation (step_no INTEGER, kind VARCHAR(12), amount DOUBLE PRECISION, vat DOUBLE PRECISION);
COMMIT;
INSERT INTO invoice_line VALUES ('GOODS', 100.00, 21.00);
INSERT INTO invoice_line VALUES ('SERVICE', 50.00, 10.50);
INSERT INTO invoice_line VALUES ('DISCOUNT', -10.00, -2.10);
COMMIT;

SET ECHO ON;
SET TERM ^;
-- Walks the rows that the last operation changed and records what each was given.
CREATE PROCEDURE settle_walk (h INTEGER, step_no INTEGER) AS
DECLARE kind VARCHAR(12);
DECLARE amount DOUBLE PRECISION;
DECLARE vat DOUBLE PRECISION;
BEGIN
  WHILE (ib_scbisaffectedrows(h) = 1) DO
  BEGIN
    kind = ib_scbreadtype(h);
    amount = ib_scbreadamount(h);
    vat = ib_scbreadvat(h);
    INSERT INTO allocation VALUES (:step_no, :kind, :amount, :vat);
  END
END^

CREATE PROCEDURE settle_open AS
DECLARE h INTEGER;
DECLARE kind VARCHAR(12);
DECLARE amount NUMERIC(9,2);
DECLARE vat NUMERIC(9,2);
BEGIN
  h = ib_scbcreate();
  FOR SELECT kind, amount, vat FROM invoice_line INTO kind, amount, vat DO
    ib_scbaddrow(h, kind, amount, vat);
  RDB$SET_CONTEXT('USER_SESSION', 'SETTLEMENT', h);
END^

CREATE PROCEDURE settle_pay (step_no INTEGER, amount DOUBLE PRECISION) AS
DECLARE h INTEGER;
BEGIN
  h = RDB$GET_CONTEXT('USER_SESSION', 'SETTLEMENT');
  ib_scbaddpayment(h, amount);
  EXECUTE PROCEDURE settle_walk(h, step_no);
END^

CREATE PROCEDURE settle_credit (step_no INTEGER, kind VARCHAR(12), amount DOUBLE PRECISION, vat DOUBLE PRECISION) AS
DECLARE h INTEGER;
BEGIN
  h = RDB$GET_CONTEXT('USER_SESSION', 'SETTLEMENT');
  ib_scbaddcreditnote(h, kind, amount, vat);
  -- The invoice itself is lowered too, so that "due" shows what is owed now.
  UPDATE invoice_line l SET l.amount = l.amount - :amount, l.vat = l.vat - :vat WHERE l.kind = :kind;
  EXECUTE PROCEDURE settle_walk(h, step_no);
END^

-- One line per invoice row and one for the VAT: what is due, what this step moved and
-- what has been allocated so far.
CREATE PROCEDURE settle_state (step_no INTEGER)
RETURNS (kind VARCHAR(12), due NUMERIC(9,2), this_step NUMERIC(9,2), paid_so_far NUMERIC(9,2)) AS
BEGIN
  FOR SELECT l.kind, l.amount,
             (SELECT COALESCE(SUM(a.amount), 0) FROM allocation a WHERE a.kind = l.kind AND a.step_no = :step_no),
             (SELECT COALESCE(SUM(a.amount), 0) FROM allocation a WHERE a.kind = l.kind AND a.step_no <= :step_no)
      FROM invoice_line l INTO kind, due, this_step, paid_so_far DO
    SUSPEND;
  kind = 'VAT';
  SELECT SUM(vat) FROM invoice_line INTO due;
  SELECT COALESCE(SUM(vat), 0) FROM allocation WHERE step_no = :step_no INTO this_step;
  SELECT COALESCE(SUM(vat), 0) FROM allocation WHERE step_no <= :step_no INTO paid_so_far;
  SUSPEND;
END^
SET TERM ;^
COMMIT;
SET ECHO OFF;

SELECT kind AS "The invoice", amount, vat FROM invoice_line;

EXECUTE PROCEDURE settle_open;

EXECUTE PROCEDURE settle_pay(1, 100.00);
SELECT kind AS "1. Payment of 100.00", due, this_step, paid_so_far FROM settle_state(1);

EXECUTE PROCEDURE settle_pay(2, 80.00);
SELECT kind AS "2. Paying 80.00 (10.60 over)", due, this_step, paid_so_far FROM settle_state(2);

EXECUTE PROCEDURE settle_pay(3, -10.60);
SELECT kind AS "3. Refund of 10.60", due, this_step, paid_so_far FROM settle_state(3);

EXECUTE PROCEDURE settle_credit(4, 'SERVICE', 20.00, 4.20);
SELECT kind AS "4. Credit SERVICE 20.00+4.20", due, this_step, paid_so_far FROM settle_state(4);
SELECT 'The credit note takes 20.00 and 4.20 of VAT back from SERVICE, which was paid in full;'
       || ' the invoice being paid in full already, those 24.20 are an overpayment, and an'
       || ' overpayment goes to the first row of the invoice: GOODS.' AS "Why GOODS gets 24.20"
FROM rdb$database;

SELECT ib_scbfree(CAST(RDB$GET_CONTEXT('USER_SESSION', 'SETTLEMENT') AS INTEGER)) AS context_freed FROM rdb$database;
COMMIT;
