-- The settlement engine in PSQL, beside src/core/balance: the tolerance comparison
-- (tolerance.cpp), the context and its rows (context.cpp), payment allocation
-- (payment.cpp) and credit notes (credit_note.cpp), with the same double operations in the
-- same order. A context is one row of ardudf_psql_context and its rows are rows of
-- ardudf_psql_row, keyed by slot (creation order); both tables are global temporary
-- tables of the attachment, so a handle means something only in the attachment that
-- created it, as in the UDR module, and its context goes when the attachment ends.
-- Handles come from one sequence: positive, never below 2^20, never given twice (until
-- the sequence has given two thousand million).

-- @setup
-- The tables and the sequence, made when they are missing: a second run of this script
-- keeps them, and the contexts that other attachments hold in them. Firebird 3 has no
-- CREATE ... IF NOT EXISTS, so these statements, here and only here, go through EXECUTE
-- STATEMENT.
EXECUTE BLOCK AS
BEGIN
  IF (NOT EXISTS (SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'ARDUDF_PSQL_CONTEXT')) THEN
  BEGIN
    EXECUTE STATEMENT 'CREATE GLOBAL TEMPORARY TABLE ardudf_psql_context (
        handle INTEGER NOT NULL PRIMARY KEY,
        total_amount DOUBLE PRECISION NOT NULL,
        total_vat DOUBLE PRECISION NOT NULL,
        paid_amount DOUBLE PRECISION NOT NULL,
        paid_vat DOUBLE PRECISION NOT NULL,
        last_vat DOUBLE PRECISION NOT NULL,
        cursor_slot INTEGER NOT NULL,
        slot_count INTEGER NOT NULL) ON COMMIT PRESERVE ROWS';
    EXECUTE STATEMENT 'CREATE GLOBAL TEMPORARY TABLE ardudf_psql_row (
        handle INTEGER NOT NULL,
        slot INTEGER NOT NULL,
        row_type VARCHAR({{row_type_width}}) CHARACTER SET NONE NOT NULL,
        amount DOUBLE PRECISION NOT NULL,
        paid DOUBLE PRECISION NOT NULL,
        last_change DOUBLE PRECISION NOT NULL,
        affected SMALLINT NOT NULL,
        PRIMARY KEY (handle, slot)) ON COMMIT PRESERVE ROWS';
  END
  IF (NOT EXISTS (SELECT 1 FROM RDB$INDICES WHERE RDB$INDEX_NAME = 'ARDUDF_PSQL_ROW_TYPE')) THEN
    EXECUTE STATEMENT 'CREATE INDEX ardudf_psql_row_type ON ardudf_psql_row (handle, row_type)';
  IF (NOT EXISTS (SELECT 1 FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = 'ARDUDF_PSQL_HANDLES')) THEN
    EXECUTE STATEMENT 'CREATE SEQUENCE ardudf_psql_handles';
END^
COMMIT^

-- @helper
-- 1 when value is zero at 6 decimal places, else 0 (is_zero_amount(value, 6)): value and
-- then the distance of its rounding from 0 each rounded to the step 10^-6, the double
-- 1.0 / 10^6, halves away from zero. Beyond 10^300 the quotient would overflow, which the
-- engine refuses; such a value is never zero.
CREATE OR ALTER FUNCTION ardudf_psql_is_zero (value_ DOUBLE PRECISION)
    RETURNS SMALLINT
AS
  DECLARE step DOUBLE PRECISION;
  DECLARE q DOUBLE PRECISION;
  DECLARE w DOUBLE PRECISION;
  DECLARE rounded DOUBLE PRECISION;
BEGIN
  IF (ABS(value_) > 1e300) THEN RETURN 0;
  step = 1e0 / 1e6;
  q = value_ / step;
  w = TRUNC(q);
  IF (ABS(q - w) >= 0.5e0) THEN w = IIF(value_ >= 0e0, w + 1e0, w - 1e0);
  rounded = ABS(step * w - 0e0);
  q = rounded / step;
  w = TRUNC(q);
  IF (ABS(q - w) >= 0.5e0) THEN w = w + 1e0;
  RETURN IIF(step > step * w, 1, 0);
END

-- @helper
-- take_from_pool: wanted when the pool holds that much, else the whole pool; rest is what
-- the pool keeps, nonzero whether the take is not zero at 6 places.
CREATE OR ALTER PROCEDURE ardudf_psql_take (pool DOUBLE PRECISION, wanted DOUBLE PRECISION)
    RETURNS (taken DOUBLE PRECISION, rest DOUBLE PRECISION, nonzero SMALLINT)
AS
BEGIN
  IF (pool >= wanted) THEN
  BEGIN
    taken = wanted;
    rest = pool - wanted;
  END
  ELSE
  BEGIN
    taken = pool;
    rest = 0e0;
  END
  nonzero = 1 - ardudf_psql_is_zero(taken);
END

-- @helper
-- split_payment: the four pools of an amount x by the document's totals (t, tv) and what
-- is paid of them (pa, pv).
CREATE OR ALTER PROCEDURE ardudf_psql_split (t DOUBLE PRECISION, tv DOUBLE PRECISION, pa DOUBLE PRECISION,
                                             pv DOUBLE PRECISION, x DOUBLE PRECISION)
    RETURNS (excess_pool DOUBLE PRECISION, amount_pool DOUBLE PRECISION, vat_pool DOUBLE PRECISION,
             surplus_pool DOUBLE PRECISION)
AS
  DECLARE p DOUBLE PRECISION;
  DECLARE m1 DOUBLE PRECISION;
  DECLARE m2 DOUBLE PRECISION;
  DECLARE nonzero SMALLINT;
BEGIN
  excess_pool = 0e0;
  amount_pool = 0e0;
  vat_pool = 0e0;
  surplus_pool = 0e0;
  p = x;
  IF (t >= 0e0 AND x >= 0e0) THEN -- a payment on a document: VAT first
  BEGIN
    IF (0e0 > pa) THEN EXECUTE PROCEDURE ardudf_psql_take(p, ABS(pa)) RETURNING_VALUES :excess_pool, :p, :nonzero;
    IF (tv > pv AND p > 0e0) THEN
      EXECUTE PROCEDURE ardudf_psql_take(p, tv - pv) RETURNING_VALUES :vat_pool, :p, :nonzero;
    IF (t > pa) THEN
    BEGIN
      IF (0e0 >= p) THEN EXIT;
      EXECUTE PROCEDURE ardudf_psql_take(p, IIF(pa >= 0e0, t - pa, t)) RETURNING_VALUES :amount_pool, :p, :nonzero;
    END
    IF (p > 0e0) THEN surplus_pool = p;
  END
  ELSE IF (t >= 0e0) THEN -- taken back from a document: amounts before VAT
  BEGIN
    m1 = IIF(t > pa, pa, t);
    m2 = IIF(tv > pv, pv, tv);
    p = ABS(x);
    IF (pa > t) THEN EXECUTE PROCEDURE ardudf_psql_take(p, pa - t) RETURNING_VALUES :excess_pool, :p, :nonzero;
    IF (0e0 >= p) THEN EXIT;
    IF (m1 > 0e0) THEN EXECUTE PROCEDURE ardudf_psql_take(p, m1) RETURNING_VALUES :amount_pool, :p, :nonzero;
    IF (0e0 >= p) THEN EXIT;
    IF (m2 > 0e0) THEN EXECUTE PROCEDURE ardudf_psql_take(p, m2) RETURNING_VALUES :vat_pool, :p, :nonzero;
    IF (p > 0e0) THEN surplus_pool = p;
  END
  ELSE IF (x >= 0e0) THEN -- positive amount on a negative document
  BEGIN
    IF (t > pa) THEN EXECUTE PROCEDURE ardudf_psql_take(p, t - pa) RETURNING_VALUES :excess_pool, :p, :nonzero;
    IF (0e0 > pa) THEN EXECUTE PROCEDURE ardudf_psql_take(p, ABS(pa)) RETURNING_VALUES :amount_pool, :p, :nonzero;
    IF (0e0 > pv) THEN EXECUTE PROCEDURE ardudf_psql_take(p, ABS(pv)) RETURNING_VALUES :vat_pool, :p, :nonzero;
    IF (p > 0e0) THEN surplus_pool = p;
  END
  ELSE -- negative amount on a negative document
  BEGIN
    p = ABS(x);
    IF (pa > 0e0) THEN EXECUTE PROCEDURE ardudf_psql_take(p, pa) RETURNING_VALUES :excess_pool, :p, :nonzero;
    IF (pv > tv) THEN EXECUTE PROCEDURE ardudf_psql_take(p, pv - tv) RETURNING_VALUES :vat_pool, :p, :nonzero;
    EXECUTE PROCEDURE ardudf_psql_take(p, IIF(0e0 > pa, pa - t, ABS(t))) RETURNING_VALUES :amount_pool, :p, :nonzero;
    IF (p > 0e0) THEN surplus_pool = p;
  END
END

-- @helper
-- distribute_payment: spreads x over the VAT and the rows of the context, in slot order,
-- each row taking from the pools in the order of its branch; settles the lines of the
-- other sign than the document and spreads what that frees once more. Marks the rows it
-- changed and sets the cursor before the first row. 1 when some row was marked at the end
-- of its handling, else 0. The handle must name a context of this attachment.
CREATE OR ALTER PROCEDURE ardudf_psql_distribute (handle INTEGER, x DOUBLE PRECISION)
    RETURNS (result_ INTEGER)
AS
  DECLARE total_amount DOUBLE PRECISION;
  DECLARE total_vat DOUBLE PRECISION;
  DECLARE paid_amount DOUBLE PRECISION;
  DECLARE paid_vat DOUBLE PRECISION;
  DECLARE last_vat DOUBLE PRECISION;
  DECLARE excess_pool DOUBLE PRECISION;
  DECLARE amount_pool DOUBLE PRECISION;
  DECLARE vat_pool DOUBLE PRECISION;
  DECLARE surplus_pool DOUBLE PRECISION;
  DECLARE correction DOUBLE PRECISION = 0e0;
  DECLARE document_positive BOOLEAN;
  DECLARE taken_back BOOLEAN;
  DECLARE slot INTEGER;
  DECLARE amount DOUBLE PRECISION;
  DECLARE paid DOUBLE PRECISION;
  DECLARE last_change DOUBLE PRECISION;
  DECLARE affected SMALLINT;
  DECLARE touched BOOLEAN;
  DECLARE d DOUBLE PRECISION;
  DECLARE s DOUBLE PRECISION;
  DECLARE taken DOUBLE PRECISION;
  DECLARE nonzero SMALLINT;
  DECLARE wanted DOUBLE PRECISION;
  DECLARE rest_from INTEGER;
BEGIN
  -- take_from_pool is written out where a row takes from a pool: a call of
  -- ardudf_psql_take for each would cost more than the rest of the row's handling. Its
  -- zero test needs ardudf_psql_is_zero only within 1e-5 of zero.
  result_ = 0;
  SELECT total_amount, total_vat, paid_amount, paid_vat, last_vat FROM ardudf_psql_context
    WHERE handle = :handle INTO :total_amount, :total_vat, :paid_amount, :paid_vat, :last_vat;
  EXECUTE PROCEDURE ardudf_psql_split(total_amount, total_vat, paid_amount, paid_vat, x)
    RETURNING_VALUES :excess_pool, :amount_pool, :vat_pool, :surplus_pool;
  WHILE (TRUE) DO
  BEGIN
    document_positive = total_amount >= 0e0;
    taken_back = NOT (x >= 0e0);
    rest_from = NULL;
    FOR SELECT slot, amount, paid, last_change, affected FROM ardudf_psql_row
        WHERE handle = :handle ORDER BY slot
        INTO :slot, :amount, :paid, :last_change, :affected DO
    BEGIN
      -- Every pool empty: a take from one gives 0.0 and changes nothing (a pool that is
      -- NaN or negative is not empty), so what is left of the pass is done below.
      IF (excess_pool = 0e0 AND amount_pool = 0e0 AND vat_pool = 0e0 AND surplus_pool = 0e0) THEN
      BEGIN
        rest_from = slot;
        LEAVE;
      END
      touched = FALSE;
      IF (document_positive) THEN
      BEGIN
        -- A line of the other sign than the document is settled at once; what that frees
        -- is spread by the next pass. paid_amount does not follow.
        IF (0e0 > amount AND paid > amount) THEN
        BEGIN
          affected = 1;
          d = amount - paid;
          correction = correction + ABS(d);
          last_change = last_change + d;
          paid = amount;
          touched = TRUE;
        END
        IF (taken_back) THEN -- excess, amount, VAT, surplus
        BEGIN
          IF (excess_pool > 0e0 AND paid > amount) THEN
          BEGIN
            wanted = paid - amount; -- take_from_pool
            IF (excess_pool >= wanted) THEN BEGIN taken = wanted; excess_pool = excess_pool - wanted; END
            ELSE BEGIN taken = excess_pool; excess_pool = 0e0; END
            nonzero = IIF(ABS(taken) > 1e-5, 1, 1 - ardudf_psql_is_zero(taken));
            affected = IIF(nonzero <> 0 OR affected <> 0, 1, 0);
            paid = paid - taken;
            paid_amount = paid_amount - taken;
            last_change = last_change - taken;
            touched = TRUE;
          END
          IF (paid > 0e0 AND amount_pool > 0e0) THEN
          BEGIN
            wanted = paid; -- take_from_pool
            IF (amount_pool >= wanted) THEN BEGIN taken = wanted; amount_pool = amount_pool - wanted; END
            ELSE BEGIN taken = amount_pool; amount_pool = 0e0; END
            nonzero = IIF(ABS(taken) > 1e-5, 1, 1 - ardudf_psql_is_zero(taken));
            affected = IIF(nonzero <> 0 OR affected <> 0, 1, 0);
            paid = paid - taken;
            paid_amount = paid_amount - taken;
            last_change = last_change - taken;
            touched = TRUE;
          END
          IF (paid_vat > 0e0) THEN -- an empty pool takes 0.0 and changes nothing
          BEGIN
            wanted = paid_vat; -- take_from_pool
            IF (vat_pool >= wanted) THEN BEGIN taken = wanted; vat_pool = vat_pool - wanted; END
            ELSE BEGIN taken = vat_pool; vat_pool = 0e0; END
            nonzero = IIF(ABS(taken) > 1e-5, 1, 1 - ardudf_psql_is_zero(taken));
            affected = IIF(nonzero <> 0 OR affected <> 0, 1, 0);
            paid_vat = paid_vat - taken;
            last_vat = last_vat - taken;
            touched = TRUE;
          END
          IF (surplus_pool > 0e0 AND amount > 0e0) THEN
          BEGIN
            paid_amount = paid_amount - surplus_pool;
            s = surplus_pool;
            surplus_pool = 0e0;
            affected = 1;
            paid = paid - s;
            last_change = last_change - s;
            touched = TRUE;
          END
        END
        ELSE -- excess, VAT, amount, surplus
        BEGIN
          IF (0e0 > paid AND excess_pool > 0e0 AND amount > 0e0) THEN
          BEGIN
            -- Wants the document's whole overdraft, and its mark is the take's alone.
            wanted = ABS(paid_amount); -- take_from_pool
            IF (excess_pool >= wanted) THEN BEGIN taken = wanted; excess_pool = excess_pool - wanted; END
            ELSE BEGIN taken = excess_pool; excess_pool = 0e0; END
            nonzero = IIF(ABS(taken) > 1e-5, 1, 1 - ardudf_psql_is_zero(taken));
            paid = paid + taken;
            affected = nonzero;
            paid_amount = paid_amount + taken;
            last_change = last_change + taken;
            touched = TRUE;
          END
          IF (vat_pool > 0e0 AND total_vat > paid_vat) THEN
          BEGIN
            wanted = total_vat - paid_vat; -- take_from_pool
            IF (vat_pool >= wanted) THEN BEGIN taken = wanted; vat_pool = vat_pool - wanted; END
            ELSE BEGIN taken = vat_pool; vat_pool = 0e0; END
            nonzero = IIF(ABS(taken) > 1e-5, 1, 1 - ardudf_psql_is_zero(taken));
            affected = IIF(nonzero <> 0 OR affected <> 0, 1, 0);
            paid_vat = paid_vat + taken;
            last_vat = taken; -- replaced: the share of this pass
            touched = TRUE;
          END
          IF (amount_pool > 0e0 AND amount > paid) THEN
          BEGIN
            wanted = amount - paid; -- take_from_pool
            IF (amount_pool >= wanted) THEN BEGIN taken = wanted; amount_pool = amount_pool - wanted; END
            ELSE BEGIN taken = amount_pool; amount_pool = 0e0; END
            nonzero = IIF(ABS(taken) > 1e-5, 1, 1 - ardudf_psql_is_zero(taken));
            affected = IIF(nonzero <> 0 OR affected <> 0, 1, 0);
            paid = paid + taken;
            paid_amount = paid_amount + taken;
            last_change = last_change + taken;
            touched = TRUE;
          END
          IF (surplus_pool > 0e0 AND amount > 0e0) THEN -- all of it to the first row of the document's sign
          BEGIN
            paid_amount = paid_amount + surplus_pool;
            s = surplus_pool;
            surplus_pool = 0e0;
            affected = 1;
            paid = paid + s;
            last_change = last_change + s;
            touched = TRUE;
          END
        END
      END
      ELSE
      BEGIN
        IF (amount > 0e0 AND amount > paid) THEN
        BEGIN
          affected = 1;
          d = amount - paid;
          correction = correction - d;
          last_change = last_change + d;
          paid = amount;
          touched = TRUE;
        END
        IF (taken_back) THEN -- excess, VAT, amount, surplus
        BEGIN
          IF (excess_pool > 0e0 AND 0e0 > amount AND paid > 0e0) THEN
          BEGIN
            wanted = paid; -- take_from_pool
            IF (excess_pool >= wanted) THEN BEGIN taken = wanted; excess_pool = excess_pool - wanted; END
            ELSE BEGIN taken = excess_pool; excess_pool = 0e0; END
            nonzero = IIF(ABS(taken) > 1e-5, 1, 1 - ardudf_psql_is_zero(taken));
            affected = IIF(nonzero <> 0 OR affected <> 0, 1, 0);
            paid = paid - taken;
            paid_amount = paid_amount - taken;
            last_change = last_change - taken;
            touched = TRUE;
          END
          IF (vat_pool > 0e0 AND paid_vat > total_vat) THEN
          BEGIN
            wanted = ABS(total_vat) - ABS(paid_vat); -- take_from_pool
            IF (vat_pool >= wanted) THEN BEGIN taken = wanted; vat_pool = vat_pool - wanted; END
            ELSE BEGIN taken = vat_pool; vat_pool = 0e0; END
            nonzero = IIF(ABS(taken) > 1e-5, 1, 1 - ardudf_psql_is_zero(taken));
            affected = IIF(nonzero <> 0 OR affected <> 0, 1, 0);
            paid_vat = paid_vat - taken;
            last_vat = last_vat - taken;
            touched = TRUE;
          END
          IF (amount_pool > 0e0 AND paid > amount) THEN
          BEGIN
            wanted = ABS(amount) - ABS(paid); -- take_from_pool
            IF (amount_pool >= wanted) THEN BEGIN taken = wanted; amount_pool = amount_pool - wanted; END
            ELSE BEGIN taken = amount_pool; amount_pool = 0e0; END
            nonzero = IIF(ABS(taken) > 1e-5, 1, 1 - ardudf_psql_is_zero(taken));
            affected = IIF(nonzero <> 0 OR affected <> 0, 1, 0);
            paid = paid - taken;
            paid_amount = paid_amount - taken;
            last_change = last_change - taken;
            touched = TRUE;
          END
          IF (surplus_pool > 0e0 AND 0e0 > amount) THEN
          BEGIN
            paid_amount = paid_amount - surplus_pool;
            s = surplus_pool;
            surplus_pool = 0e0;
            affected = 1;
            paid = paid - s;
            last_change = last_change - s;
            touched = TRUE;
          END
        END
        ELSE -- excess, amount, VAT, surplus
        BEGIN
          IF (amount > paid AND excess_pool > 0e0 AND 0e0 > amount) THEN
          BEGIN
            wanted = ABS(paid) - ABS(amount); -- take_from_pool
            IF (excess_pool >= wanted) THEN BEGIN taken = wanted; excess_pool = excess_pool - wanted; END
            ELSE BEGIN taken = excess_pool; excess_pool = 0e0; END
            nonzero = IIF(ABS(taken) > 1e-5, 1, 1 - ardudf_psql_is_zero(taken));
            affected = IIF(nonzero <> 0 OR affected <> 0, 1, 0);
            paid = paid + taken;
            paid_amount = paid_amount + taken;
            last_change = last_change + taken;
            touched = TRUE;
          END
          IF (amount_pool > 0e0 AND 0e0 > paid) THEN
          BEGIN
            wanted = ABS(paid); -- take_from_pool
            IF (amount_pool >= wanted) THEN BEGIN taken = wanted; amount_pool = amount_pool - wanted; END
            ELSE BEGIN taken = amount_pool; amount_pool = 0e0; END
            nonzero = IIF(ABS(taken) > 1e-5, 1, 1 - ardudf_psql_is_zero(taken));
            affected = IIF(nonzero <> 0 OR affected <> 0, 1, 0);
            paid = paid + taken;
            paid_amount = paid_amount + taken;
            last_change = last_change + taken;
            touched = TRUE;
          END
          IF (vat_pool > 0e0 AND 0e0 > paid_vat) THEN
          BEGIN
            wanted = ABS(paid_vat); -- take_from_pool
            IF (vat_pool >= wanted) THEN BEGIN taken = wanted; vat_pool = vat_pool - wanted; END
            ELSE BEGIN taken = vat_pool; vat_pool = 0e0; END
            nonzero = IIF(ABS(taken) > 1e-5, 1, 1 - ardudf_psql_is_zero(taken));
            affected = IIF(nonzero <> 0 OR affected <> 0, 1, 0);
            paid_vat = paid_vat + taken;
            last_vat = last_vat + taken;
            touched = TRUE;
          END
          IF (surplus_pool > 0e0 AND 0e0 > amount) THEN
          BEGIN
            paid_amount = paid_amount + surplus_pool;
            s = surplus_pool;
            surplus_pool = 0e0;
            affected = 1;
            paid = paid + s;
            last_change = last_change + s;
            touched = TRUE;
          END
        END
      END
      IF (touched) THEN
        UPDATE ardudf_psql_row SET paid = :paid, last_change = :last_change, affected = :affected
          WHERE handle = :handle AND slot = :slot;
      IF (result_ = 0 AND affected <> 0) THEN result_ = 1;
    END
    IF (rest_from IS NOT NULL) THEN
    BEGIN
      -- The rest of the pass with empty pools: only the lines of the other sign are
      -- settled, in slot order, and a row marked before still counts.
      FOR SELECT slot, amount, paid, last_change FROM ardudf_psql_row
          WHERE handle = :handle AND slot >= :rest_from
            AND ((:document_positive AND 0e0 > amount AND paid > amount)
              OR (NOT :document_positive AND amount > 0e0 AND amount > paid))
          ORDER BY slot
          INTO :slot, :amount, :paid, :last_change DO
      BEGIN
        d = amount - paid;
        correction = IIF(document_positive, correction + ABS(d), correction - d);
        UPDATE ardudf_psql_row SET paid = :amount, last_change = :last_change + :d, affected = 1
          WHERE handle = :handle AND slot = :slot;
        result_ = 1;
      END
      IF (result_ = 0 AND EXISTS (SELECT 1 FROM ardudf_psql_row
                                  WHERE handle = :handle AND slot >= :rest_from AND affected <> 0)) THEN
        result_ = 1;
    END
    IF (ardudf_psql_is_zero(correction) = 1) THEN LEAVE;
    x = correction;
    total_amount = total_amount + correction;
    EXECUTE PROCEDURE ardudf_psql_split(total_amount, total_vat, paid_amount, paid_vat, x)
      RETURNING_VALUES :excess_pool, :amount_pool, :vat_pool, :surplus_pool;
    correction = 0e0;
  END
  UPDATE ardudf_psql_context SET total_amount = :total_amount, paid_amount = :paid_amount, paid_vat = :paid_vat,
      last_vat = :last_vat, cursor_slot = -1
    WHERE handle = :handle;
END

-- @helper
-- next_affected_row: moves the cursor to the next row that is marked and has something to
-- report (its own change, or VAT not yet read), clearing the mark of every row it passes;
-- found is 0 at the end, where the cursor stays on the last row. The handle must name a
-- context of this attachment.
CREATE OR ALTER PROCEDURE ardudf_psql_next_row (handle INTEGER)
    RETURNS (found SMALLINT)
AS
  DECLARE cursor_slot INTEGER;
  DECLARE last_slot INTEGER;
  DECLARE last_vat DOUBLE PRECISION;
  DECLARE target INTEGER;
BEGIN
  found = 0;
  SELECT cursor_slot, slot_count - 1, last_vat FROM ardudf_psql_context WHERE handle = :handle
    INTO :cursor_slot, :last_slot, :last_vat;
  IF (cursor_slot >= last_slot) THEN EXIT;
  -- Exact comparisons: a change of 1e-12 is still a change to report.
  SELECT FIRST 1 slot FROM ardudf_psql_row
    WHERE handle = :handle AND slot > :cursor_slot AND affected <> 0 AND (last_change <> 0e0 OR :last_vat <> 0e0)
    ORDER BY slot INTO :target;
  IF (ROW_COUNT = 0) THEN target = last_slot;
  ELSE found = 1;
  UPDATE ardudf_psql_row SET affected = 0
    WHERE handle = :handle AND slot > :cursor_slot AND slot <= :target AND affected <> 0;
  UPDATE ardudf_psql_context SET cursor_slot = :target WHERE handle = :handle;
END

-- @helper
-- The type of the row under the cursor, what the last operations allocated to it and the
-- VAT they moved, the two amounts reset as they are read; '' and 0.0 without a row.
CREATE OR ALTER PROCEDURE ardudf_psql_read_row (handle INTEGER)
    RETURNS (row_type VARCHAR({{row_type_width}}) CHARACTER SET NONE, amount DOUBLE PRECISION, vat DOUBLE PRECISION)
AS
  DECLARE cursor_slot INTEGER;
BEGIN
  row_type = '';
  amount = 0e0;
  SELECT cursor_slot, last_vat FROM ardudf_psql_context WHERE handle = :handle INTO :cursor_slot, :vat;
  SELECT row_type, last_change FROM ardudf_psql_row WHERE handle = :handle AND slot = :cursor_slot
    INTO :row_type, :amount;
  IF (ROW_COUNT > 0) THEN
    UPDATE ardudf_psql_row SET last_change = 0e0 WHERE handle = :handle AND slot = :cursor_slot;
  UPDATE ardudf_psql_context SET last_vat = 0e0 WHERE handle = :handle;
END

-- @ ib_scbcreate
-- The sequence's values scattered over 2^20 .. 2^31 - 1 by a fixed permutation
-- (multiplication by a number prime to the range), so that a small integer or a handle
-- typed by hand seldom names a live context.
DECLARE handle INTEGER;
BEGIN
  handle = 1048576 + MOD(MOD(GEN_ID(ardudf_psql_handles, 1), 2146435072) * 1103515245, 2146435072);
  INSERT INTO ardudf_psql_context (handle, total_amount, total_vat, paid_amount, paid_vat, last_vat, cursor_slot,
      slot_count)
    VALUES (:handle, 0e0, 0e0, 0e0, 0e0, 0e0, 0, 0);
  RETURN handle;
END

-- @ ib_scbaddrow
-- One document line: amount to the row of row_type (made on first use), amount and vat to
-- the totals; a line zero at 6 places in both is ignored. 1, or 0 for an unknown handle.
-- (A rows's handle always has its context: a row is looked for before the context.)
DECLARE slot INTEGER;
DECLARE found SMALLINT;
BEGIN
  IF ((amount = 0e0 OR (NOT (ABS(amount) > 1e-5) AND ardudf_psql_is_zero(amount) = 1))
      AND (vat = 0e0 OR (NOT (ABS(vat) > 1e-5) AND ardudf_psql_is_zero(vat) = 1))) THEN
    RETURN IIF(EXISTS (SELECT 1 FROM ardudf_psql_context WHERE handle = :handle), 1, 0);
  IF (POSITION(ASCII_CHAR(0) IN row_type) > 0) THEN
    row_type = LEFT(row_type, POSITION(ASCII_CHAR(0) IN row_type) - 1);
  -- Keys are compared byte for byte: 'A' and 'A ' are two rows.
  UPDATE ardudf_psql_row SET amount = amount + :amount
    WHERE handle = :handle AND row_type = :row_type AND OCTET_LENGTH(row_type) = OCTET_LENGTH(:row_type);
  found = ROW_COUNT;
  UPDATE ardudf_psql_context SET total_amount = total_amount + :amount, total_vat = total_vat + :vat,
      slot_count = slot_count + 1 - :found
    WHERE handle = :handle RETURNING slot_count - 1 INTO :slot;
  IF (ROW_COUNT = 0) THEN RETURN 0;
  IF (found = 0) THEN
    INSERT INTO ardudf_psql_row (handle, slot, row_type, amount, paid, last_change, affected)
      VALUES (:handle, :slot, :row_type, :amount, 0e0, 0e0, 0);
  RETURN 1;
END

-- @ ib_scbstartcreditnote
BEGIN
  RETURN 1;
END

-- @ ib_scbisaffectedrows
-- ardudf_psql_next_row, written out.
DECLARE found SMALLINT;
DECLARE cursor_slot INTEGER;
DECLARE last_slot INTEGER;
DECLARE last_vat DOUBLE PRECISION;
DECLARE target INTEGER;
BEGIN
  SELECT cursor_slot, slot_count - 1, last_vat FROM ardudf_psql_context WHERE handle = :handle
    INTO :cursor_slot, :last_slot, :last_vat;
  IF (ROW_COUNT = 0 OR cursor_slot >= last_slot) THEN RETURN 0;
  SELECT FIRST 1 slot FROM ardudf_psql_row
    WHERE handle = :handle AND slot > :cursor_slot AND affected <> 0 AND (last_change <> 0e0 OR :last_vat <> 0e0)
    ORDER BY slot INTO :target;
  found = IIF(target IS NULL, 0, 1);
  IF (found = 0) THEN target = last_slot;
  UPDATE ardudf_psql_row SET affected = 0
    WHERE handle = :handle AND slot > :cursor_slot AND slot <= :target AND affected <> 0;
  UPDATE ardudf_psql_context SET cursor_slot = :target WHERE handle = :handle;
  RETURN found;
END

-- @ ib_scbreadtype
DECLARE cursor_slot INTEGER;
DECLARE row_type VARCHAR({{row_type_width}}) CHARACTER SET NONE = '';
BEGIN
  SELECT cursor_slot FROM ardudf_psql_context WHERE handle = :handle INTO :cursor_slot;
  SELECT row_type FROM ardudf_psql_row WHERE handle = :handle AND slot = :cursor_slot INTO :row_type;
  RETURN row_type;
END

-- @ ib_scbreadamount
-- Read once: 0.0 after it is read.
DECLARE cursor_slot INTEGER;
DECLARE amount DOUBLE PRECISION = 0e0;
BEGIN
  SELECT cursor_slot FROM ardudf_psql_context WHERE handle = :handle INTO :cursor_slot;
  UPDATE ardudf_psql_row SET last_change = 0e0 WHERE handle = :handle AND slot = :cursor_slot
    RETURNING OLD.last_change INTO :amount;
  RETURN amount;
END

-- @ ib_scbreadvat
-- Read once: 0.0 after it is read.
DECLARE vat DOUBLE PRECISION = 0e0;
BEGIN
  UPDATE ardudf_psql_context SET last_vat = 0e0 WHERE handle = :handle RETURNING OLD.last_vat INTO :vat;
  RETURN vat;
END

-- @ ib_scbclear
-- Empty again, the cursor on 0, the handle still good.
BEGIN
  UPDATE ardudf_psql_context SET total_amount = 0e0, total_vat = 0e0, paid_amount = 0e0, paid_vat = 0e0,
      last_vat = 0e0, cursor_slot = 0, slot_count = 0
    WHERE handle = :handle;
  IF (ROW_COUNT = 0) THEN RETURN 0;
  DELETE FROM ardudf_psql_row WHERE handle = :handle;
  RETURN 1;
END

-- @ ib_scbfree
BEGIN
  DELETE FROM ardudf_psql_context WHERE handle = :handle;
  IF (ROW_COUNT = 0) THEN RETURN 0;
  DELETE FROM ardudf_psql_row WHERE handle = :handle;
  RETURN 1;
END

-- @ ib_scbaddpayment
DECLARE result_ INTEGER;
BEGIN
  IF (NOT EXISTS (SELECT 1 FROM ardudf_psql_context WHERE handle = :handle)) THEN RETURN 0;
  EXECUTE PROCEDURE ardudf_psql_distribute(handle, amount) RETURNING_VALUES :result_;
  RETURN result_;
END

-- @ ib_scbaddcreditnote
-- Lowers the row (made when missing, even for 0.0 and 0.0) and the VAT, takes back what
-- now exceeds them, and spreads that as a payment when it is not exactly 0.0. Every
-- comparison is exact. 1, or 0 for an unknown handle.
DECLARE slot INTEGER;
DECLARE row_amount DOUBLE PRECISION;
DECLARE paid DOUBLE PRECISION;
DECLARE last_change DOUBLE PRECISION;
DECLARE affected SMALLINT;
DECLARE total_amount DOUBLE PRECISION;
DECLARE total_vat DOUBLE PRECISION;
DECLARE paid_amount DOUBLE PRECISION;
DECLARE paid_vat DOUBLE PRECISION;
DECLARE last_vat DOUBLE PRECISION;
DECLARE released DOUBLE PRECISION = 0e0;
DECLARE d DOUBLE PRECISION;
DECLARE result_ INTEGER;
BEGIN
  SELECT total_amount, total_vat, paid_amount, paid_vat, last_vat FROM ardudf_psql_context WHERE handle = :handle
    INTO :total_amount, :total_vat, :paid_amount, :paid_vat, :last_vat;
  IF (ROW_COUNT = 0) THEN RETURN 0;
  row_type = ardudf_psql_cstring(row_type);
  SELECT slot, amount, paid, last_change, affected FROM ardudf_psql_row
    WHERE handle = :handle AND row_type = :row_type AND OCTET_LENGTH(row_type) = OCTET_LENGTH(:row_type)
    INTO :slot, :row_amount, :paid, :last_change, :affected;
  IF (ROW_COUNT = 0) THEN
  BEGIN
    UPDATE ardudf_psql_context SET slot_count = slot_count + 1 WHERE handle = :handle RETURNING slot_count - 1 INTO :slot;
    row_amount = 0e0;
    paid = 0e0;
    last_change = 0e0;
    affected = 0;
    INSERT INTO ardudf_psql_row (handle, slot, row_type, amount, paid, last_change, affected)
      VALUES (:handle, :slot, :row_type, 0e0, 0e0, 0e0, 0);
  END
  total_vat = total_vat - vat;
  IF (paid_vat > total_vat) THEN
  BEGIN
    affected = 1;
    d = paid_vat - total_vat;
    paid_vat = total_vat;
    last_vat = -d; -- replaces what was not read
    released = d;
  END
  total_amount = total_amount - amount;
  row_amount = row_amount - amount;
  IF (paid > row_amount) THEN
  BEGIN
    d = paid - row_amount;
    affected = 1;
    last_change = -d; -- replaces what was not read
    paid = paid + last_change;
    paid_amount = paid_amount + last_change;
    released = released + d;
  END
  UPDATE ardudf_psql_row SET amount = :row_amount, paid = :paid, last_change = :last_change, affected = :affected
    WHERE handle = :handle AND slot = :slot;
  UPDATE ardudf_psql_context SET total_amount = :total_amount, total_vat = :total_vat, paid_amount = :paid_amount,
      paid_vat = :paid_vat, last_vat = :last_vat
    WHERE handle = :handle;
  IF (released <> 0e0) THEN
    EXECUTE PROCEDURE ardudf_psql_distribute(handle, released) RETURNING_VALUES :result_;
  RETURN 1;
END

-- @ ib_scbwalk
-- The rows in slot order from one cursor over the marked ones: each reported row is read
-- and reset as ardudf_psql_read_row does, each one passed loses its mark, and the
-- context's cursor and VAT follow row by row, as ib_scbisaffectedrows and the reads leave
-- them. The caller's loop body may use the context between two rows: when it finds the
-- context otherwise than it left it (freed, cleared, paid, the cursor moved, VAT added),
-- the walk goes on one row at a time through ardudf_psql_next_row and ardudf_psql_read_row.
DECLARE cursor_slot INTEGER;
DECLARE last_slot INTEGER;
DECLARE last_vat DOUBLE PRECISION;
DECLARE slot INTEGER;
DECLARE last_change DOUBLE PRECISION;
DECLARE found SMALLINT;
DECLARE slot_count INTEGER;
DECLARE paid_amount DOUBLE PRECISION;
DECLARE paid_vat DOUBLE PRECISION;
DECLARE total_amount DOUBLE PRECISION;
DECLARE total_vat DOUBLE PRECISION;
DECLARE changed SMALLINT;
DECLARE rows_ CURSOR FOR (
  SELECT slot, row_type, last_change FROM ardudf_psql_row
    WHERE handle = :handle AND slot > :cursor_slot AND affected <> 0
    ORDER BY slot);
BEGIN
  SELECT cursor_slot, slot_count, last_vat, paid_amount, paid_vat, total_amount, total_vat FROM ardudf_psql_context
    WHERE handle = :handle INTO :cursor_slot, :slot_count, :last_vat, :paid_amount, :paid_vat, :total_amount, :total_vat;
  last_slot = slot_count - 1;
  IF (slot_count IS NULL OR cursor_slot >= last_slot) THEN EXIT;
  OPEN rows_;
  WHILE (TRUE) DO
  BEGIN
    FETCH rows_ INTO :slot, :row_type, :last_change;
    IF (ROW_COUNT = 0) THEN
    BEGIN
      -- The end: the cursor stays on the last row.
      CLOSE rows_;
      UPDATE ardudf_psql_context SET cursor_slot = :last_slot WHERE handle = :handle;
      EXIT;
    END
    -- Exact comparisons: a change of 1e-12 is still a change to report.
    IF (last_change = 0e0 AND last_vat = 0e0) THEN
      UPDATE ardudf_psql_row SET affected = 0 WHERE CURRENT OF rows_;
    ELSE
    BEGIN
      UPDATE ardudf_psql_row SET affected = 0, last_change = 0e0 WHERE CURRENT OF rows_;
      UPDATE ardudf_psql_context SET cursor_slot = :slot, last_vat = 0e0 WHERE handle = :handle;
      amount = last_change;
      vat = last_vat;
      last_vat = 0e0;
      SUSPEND;
      changed = 1;
      SELECT 0 FROM ardudf_psql_context
        WHERE handle = :handle AND cursor_slot = :slot AND last_vat = 0e0 AND slot_count = :slot_count
          AND paid_amount = :paid_amount AND paid_vat = :paid_vat AND total_amount = :total_amount
          AND total_vat = :total_vat
        INTO :changed;
      IF (changed = 1) THEN LEAVE;
    END
  END
  CLOSE rows_;
  -- The slow way, as the functions do, once the context has changed under the walk.
  WHILE (EXISTS (SELECT 1 FROM ardudf_psql_context WHERE handle = :handle)) DO
  BEGIN
    EXECUTE PROCEDURE ardudf_psql_next_row(handle) RETURNING_VALUES :found;
    IF (found = 0) THEN LEAVE;
    EXECUTE PROCEDURE ardudf_psql_read_row(handle) RETURNING_VALUES :row_type, :amount, :vat;
    SUSPEND;
  END
END