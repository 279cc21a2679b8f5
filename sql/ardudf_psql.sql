-- ardudf 1.1.0: declares all 42 functions of ardudf, and its procedures, as PSQL
-- stored routines: no module to install and nothing in firebird.conf, for a server
-- that loads no UDF or UDR module, or runs where no module of ours is built. Same names,
-- arguments and results as sql/ardudf_udr.sql, and the same NULL rule.
-- Generated from src/catalogue/catalogue.h and the bodies in src/psql/ by
-- ardudf_catalogue; do not edit. Balance contexts live in global temporary tables,
-- so each belongs to the attachment that created it and ends with it.
-- CREATE OR ALTER: running it again, or over a database declared by an earlier
-- release, brings every routine and its comment up to this release; the tables are
-- made when missing. A UDR module's declarations of the same names are replaced;
-- anyone else's are not, unless named first (below). Each routine gets the rights
-- it needs, so that EXECUTE on a function is all a user needs to call it.
-- A NULL argument gives NULL unless the function's comment says otherwise.
-- A database on ardudf's legacy module, or moved from it in place, reads a NULL argument
-- as the legacy module does; the declarations below would make it give NULL. So over such
-- a database this script changes nothing and names what it found: the move in place
-- (sql/ardudf_legacy_to_udr.sql) is what moves or upgrades it.
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS (ardudf_psql VARCHAR(400)) AS
  DECLARE n INTEGER = 0;
BEGIN
  FOR SELECT TRIM(RDB$FUNCTION_NAME) || ' ' || IIF(RDB$MODULE_NAME IS NOT NULL,
        'is declared on the legacy module ' || TRIM(RDB$MODULE_NAME),
        TRIM('was moved in place and reads NULL as the legacy module did'))
      FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL AND COALESCE(RDB$SYSTEM_FLAG, 0) = 0
        AND (TRIM(RDB$ENTRYPOINT) LIKE 'ardudf\_udr!%!legacy_nulls' ESCAPE '\'
          OR RDB$FUNCTION_SOURCE CONTAINING '-- ardudf: moved from the legacy module to PSQL, reads NULL as it did'
          OR (RDB$ENGINE_NAME IS NULL AND LOWER(TRIM(RDB$MODULE_NAME)) SIMILAR TO '(%[/\])?ardudf(.so|.dll)?'))
      ORDER BY RDB$FUNCTION_NAME
      INTO ardudf_psql DO BEGIN
    n = n + 1;
    SUSPEND;
  END
  IF (n > 0) THEN BEGIN
    ardudf_psql = 'sql/ardudf_legacy_to_udr.sql (to PSQL: ardudf_legacy_to_psql.sql) moves or upgrades this database';
    SUSPEND;
    n = CAST('ardudf_psql.sql: nothing changed' AS INTEGER);
  END
END^
SET TERM ; ^
-- A routine under one of the names below that is not ardudf's (another library's
-- declaration, a routine of your own) is not replaced: over such a database this script
-- changes nothing and names each one. ardudf's own are the UDR module's declarations of
-- the same function and the routines of this script, whose body begins with its mark.
-- To replace some of them all the same, name them first in the attachment that runs it:
--   SELECT RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_REPLACE', 'IB_GREATEST, IB_STRING_LENGTH')
--     FROM RDB$DATABASE;
--   INPUT sql/ardudf_psql.sql;
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS (ardudf_psql VARCHAR(400)) AS
  DECLARE n INTEGER = 0;
  DECLARE wanted VARCHAR(8000);
  DECLARE name VARCHAR(63);
  DECLARE what VARCHAR(300);
  DECLARE mark VARCHAR(100) = '-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release';
BEGIN
  wanted = ',' || UPPER(REPLACE(COALESCE(RDB$GET_CONTEXT('USER_SESSION', 'ARDUDF_REPLACE'), ''), ' ', '')) || ',';
  FOR SELECT 'FUNCTION ' || TRIM(RDB$FUNCTION_NAME), TRIM(RDB$FUNCTION_NAME),
        CASE WHEN RDB$MODULE_NAME IS NOT NULL AND RDB$ENGINE_NAME IS NULL
          THEN 'a legacy declaration of the module ' || TRIM(RDB$MODULE_NAME)
            || ', entry point ' || TRIM(RDB$ENTRYPOINT)
        WHEN RDB$ENGINE_NAME IS NOT NULL
          THEN 'engine ' || TRIM(RDB$ENGINE_NAME) || ', external name ' || TRIM(COALESCE(RDB$ENTRYPOINT, ''))
        ELSE 'a PSQL function not declared by sql/ardudf_psql.sql' END
      FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL
        AND TRIM(RDB$FUNCTION_NAME) IN ('IB_STRING_LENGTH', 'IB_STRING_LEFT', 'IB_STRING_RIGHT', 'IB_LPAD', 'IB_REVERSESTRING',
          'IB_QUOTE_LITERAL', 'IB_UNIQUEID', 'IB_ISNOTNULL', 'IB_CONVCHARTOINT', 'IB_GREATEST',
          'IB_LEAST', 'IB_FIND_TOKEN', 'IB_GET_TOKEN', 'IB_DELETE_TOKEN', 'IB_GETS_U2_PREFIX',
          'IB_GETS_U_PREFIX', 'IB_CORRECT_PHONE_NUMBER', 'IB_REMOVE_DIACRITICS', 'IB_DAYOFWEEK',
          'IB_DECODEDATE_YEAR', 'IB_DECODEDATE_MONTH', 'IB_DECODEDATE_DAY', 'IB_DECODETIME_HOUR',
          'IB_DECODETIME_MIN', 'IB_DECODETIME_SEC', 'IB_ENCODEDATE', 'IB_ISLEAPYEAR',
          'IB_ENDOFDECADE', 'IB_CURRENT_TIME', 'IB_DATETOSTRING', 'IB_SCBCREATE', 'IB_SCBADDROW',
          'IB_SCBSTARTCREDITNOTE', 'IB_SCBISAFFECTEDROWS', 'IB_SCBREADTYPE', 'IB_SCBREADAMOUNT',
          'IB_SCBREADVAT', 'IB_SCBCLEAR', 'IB_SCBFREE', 'IB_SCBADDPAYMENT', 'IB_SCBADDCREDITNOTE',
          'ARDUDF_VERSION', 'ARDUDF_PSQL_CSTRING', 'ARDUDF_PSQL_DAYS_IN_MONTH', 'ARDUDF_PSQL_ENCODE',
          'ARDUDF_PSQL_IS_ZERO')
        AND NOT (COALESCE(RDB$ENGINE_NAME, '') = 'UDR'
          AND LOWER(TRIM(COALESCE(RDB$ENTRYPOINT, ''))) = 'ardudf_udr!' || LOWER(TRIM(RDB$FUNCTION_NAME)))
        AND NOT (RDB$ENGINE_NAME IS NULL AND RDB$MODULE_NAME IS NULL
          AND COALESCE(RDB$FUNCTION_SOURCE CONTAINING :mark, FALSE))
    UNION ALL
    SELECT 'PROCEDURE ' || TRIM(RDB$PROCEDURE_NAME), TRIM(RDB$PROCEDURE_NAME),
        IIF(RDB$ENGINE_NAME IS NOT NULL,
          'engine ' || TRIM(RDB$ENGINE_NAME) || ', external name ' || TRIM(COALESCE(RDB$ENTRYPOINT, '')),
          'a PSQL procedure not declared by sql/ardudf_psql.sql')
      FROM RDB$PROCEDURES WHERE RDB$PACKAGE_NAME IS NULL
        AND TRIM(RDB$PROCEDURE_NAME) IN ('IB_SCBWALK', 'ARDUDF_PSQL_FIELDS', 'ARDUDF_PSQL_TAKE', 'ARDUDF_PSQL_SPLIT', 'ARDUDF_PSQL_DISTRIBUTE',
          'ARDUDF_PSQL_NEXT_ROW', 'ARDUDF_PSQL_READ_ROW')
        AND NOT (COALESCE(RDB$ENGINE_NAME, '') = 'UDR'
          AND LOWER(TRIM(COALESCE(RDB$ENTRYPOINT, ''))) = 'ardudf_udr!' || LOWER(TRIM(RDB$PROCEDURE_NAME)))
        AND NOT (RDB$ENGINE_NAME IS NULL AND COALESCE(RDB$PROCEDURE_SOURCE CONTAINING :mark, FALSE))
    INTO ardudf_psql, name, what DO BEGIN
    IF (wanted CONTAINING ',' || name || ',') THEN
      ardudf_psql = 'replaced, as ARDUDF_REPLACE asks: ' || ardudf_psql || ' (' || what || ')';
    ELSE BEGIN
      ardudf_psql = 'not ardudf''s, not replaced: ' || ardudf_psql || ' (' || what || ')';
      n = n + 1;
    END
    SUSPEND;
  END
  -- A function named as a built-in the routines call would stand in for it in them.
  FOR SELECT 'FUNCTION ' || TRIM(RDB$FUNCTION_NAME) FROM RDB$FUNCTIONS
      WHERE RDB$PACKAGE_NAME IS NULL AND TRIM(RDB$FUNCTION_NAME) IN ('ABS', 'ASCII_CHAR', 'ASCII_VAL', 'BIN_AND', 'BIN_SHR', 'CAST', 'COALESCE', 'DATEADD',
        'EXTRACT', 'GEN_ID', 'IIF', 'LEFT', 'LPAD', 'MINVALUE', 'MOD', 'OCTET_LENGTH',
        'POSITION', 'RDB$GET_CONTEXT', 'RDB$SET_CONTEXT', 'REPLACE', 'REVERSE', 'RIGHT', 'SUBSTRING', 'TRIM',
        'TRUNC')
      INTO ardudf_psql DO BEGIN
    ardudf_psql = ardudf_psql || ' bears the name of a built-in function the PSQL routines call, '
      || 'and would stand in for it in them: rename it first';
    SUSPEND;
    n = n + 1;
  END
  -- The routines compute with BIGINT and dialect 3's integer division.
  IF ((SELECT MON$SQL_DIALECT FROM MON$DATABASE) = 1) THEN BEGIN
    ardudf_psql = 'this is a dialect 1 database, which cannot hold the PSQL functions (they need dialect 3)';
    SUSPEND;
    n = CAST('ardudf_psql.sql: nothing changed' AS INTEGER);
  END
  IF (n > 0) THEN BEGIN
    ardudf_psql = 'to replace routines that are not ardudf''s all the same, name them in the context variable ARDUDF_REPLACE first'
      || ' (docs/psql.md, "Declare and drop")';
    SUSPEND;
    n = CAST('ardudf_psql.sql: nothing changed' AS INTEGER);
  END
END^
SET TERM ; ^
SET TERM ^ ;

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
        row_type VARCHAR(255) CHARACTER SET NONE NOT NULL,
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

CREATE OR ALTER EXCEPTION ardudf_psql_read_only
  'this database is read-only: the PSQL settlement functions keep their contexts in its tables'^

-- ---- helpers of the routines below ----

-- A text as the modules read it: up to its first NUL byte, the whole of it without one.
CREATE OR ALTER FUNCTION ardudf_psql_cstring (text VARCHAR(32765) CHARACTER SET NONE)
    RETURNS VARCHAR(32765) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
    DECLARE nul INTEGER;
BEGIN
  nul = POSITION(ASCII_CHAR(0) IN text);
  IF (nul = 0) THEN RETURN text;
  RETURN SUBSTRING(text FROM 1 FOR nul - 1);
END^
COMMENT ON FUNCTION ardudf_psql_cstring IS 'a helper of the PSQL functions (ardudf 1.1.0)'^

-- All fields of a day serial, as one row: year, month and day, the day of the week as
-- ib_dayofweek gives it (1 = Sunday .. 7 = Saturday), hour, minute and second; all 0
-- outside the range.
CREATE OR ALTER PROCEDURE ardudf_psql_fields (serial DOUBLE PRECISION)
    RETURNS (year_num INTEGER, month_num INTEGER, day_num INTEGER, weekday INTEGER,
             hour_num INTEGER, minute_num INTEGER, second_num INTEGER)
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
  DECLARE origin DOUBLE PRECISION;
  DECLARE tick_limit DOUBLE PRECISION;
  DECLARE tick_sum DOUBLE PRECISION;
  DECLARE ticks BIGINT;
  DECLARE days BIGINT;
  DECLARE ms BIGINT;
  DECLARE z BIGINT;
  DECLARE era BIGINT;
  DECLARE doe BIGINT;
  DECLARE yoe BIGINT;
  DECLARE doy BIGINT;
  DECLARE mp BIGINT;
BEGIN
  year_num = 0; month_num = 0; day_num = 0; weekday = 0;
  hour_num = 0; minute_num = 0; second_num = 0;
  -- Far outside the range anyway; the products below would overflow, which the engine
  -- refuses where the modules get an infinity and then the same zeros.
  IF (ABS(serial) > 1e15) THEN
  BEGIN
    SUSPEND;
    EXIT;
  END
  origin = CAST(94353120000000000 AS DOUBLE PRECISION);
  tick_limit = CAST(4611686018427387904 AS DOUBLE PRECISION) * 2; -- 2^63
  tick_sum = serial * 1e7 * 86400e0 + origin;
  IF (NOT (tick_sum >= 0e0 AND tick_limit > tick_sum)) THEN
  BEGIN
    SUSPEND;
    EXIT;
  END
  ticks = CAST(TRUNC(tick_sum) AS BIGINT);
  days = ticks / 864000000000;       -- since 1601-01-01, a Monday
  ms = MOD(ticks, 864000000000) / 10000;
  -- The civil date of a day count (Hinnant's algorithm), counted from 0000-03-01.
  z = days + 584694;
  era = z / 146097;
  doe = z - era * 146097;
  yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  mp = (5 * doy + 2) / 153;
  day_num = doy - (153 * mp + 2) / 5 + 1;
  month_num = IIF(mp < 10, mp + 3, mp - 9);
  year_num = yoe + era * 400 + IIF(month_num <= 2, 1, 0);
  weekday = MOD(days + 1, 7) + 1;
  hour_num = ms / 3600000;
  minute_num = MOD(ms / 60000, 60);
  second_num = MOD(ms / 1000, 60);
  SUSPEND;
END^
COMMENT ON PROCEDURE ardudf_psql_fields IS 'a helper of the PSQL functions (ardudf 1.1.0)'^

-- Days of a month; 30 for a month outside 1 .. 12.
CREATE OR ALTER FUNCTION ardudf_psql_days_in_month (year_num INTEGER, month_num INTEGER)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
BEGIN
  IF (month_num < 1 OR month_num > 12) THEN RETURN 30;
  IF (month_num = 2) THEN
    RETURN IIF(MOD(year_num, 4) = 0 AND (MOD(year_num, 100) <> 0 OR MOD(year_num, 400) = 0), 29, 28);
  RETURN IIF(month_num IN (4, 6, 9, 11), 30, 31);
END^
COMMENT ON FUNCTION ardudf_psql_days_in_month IS 'a helper of the PSQL functions (ardudf 1.1.0)'^

-- The whole day serial of 00:00 on a date, each argument by its low 16 bits (67560 is
-- 2024); 0.0 for a date that does not exist or lies outside 1601 .. 30827.
CREATE OR ALTER FUNCTION ardudf_psql_encode (year_num INTEGER, month_num INTEGER, day_num INTEGER)
    RETURNS DOUBLE PRECISION
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
  DECLARE y BIGINT;
  DECLARE m BIGINT;
  DECLARE d BIGINT;
  DECLARE era BIGINT;
  DECLARE yoe BIGINT;
  DECLARE doy BIGINT;
  DECLARE days BIGINT;
  DECLARE serial DOUBLE PRECISION;
  DECLARE whole DOUBLE PRECISION;
BEGIN
  y = BIN_AND(year_num, 65535);
  m = BIN_AND(month_num, 65535);
  d = BIN_AND(day_num, 65535);
  IF (y < 1601 OR y > 30827 OR m < 1 OR m > 12 OR d < 1 OR d > ardudf_psql_days_in_month(y, m)) THEN
    RETURN 0e0;
  -- Days since 1601-01-01 (Hinnant's days_from_civil, shifted).
  y = y - IIF(m <= 2, 1, 0);
  era = y / 400;
  yoe = y - era * 400;
  doy = (153 * IIF(m > 2, m - 3, m + 9) + 2) / 5 + d - 1;
  days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 584694;
  serial = CAST(days * 864000000000 - 94353120000000000 AS DOUBLE PRECISION) / 1e7 / 86400e0;
  whole = TRUNC(serial);
  RETURN IIF(serial - whole >= 0.5e0, whole + 1e0, whole);
END^
COMMENT ON FUNCTION ardudf_psql_encode IS 'a helper of the PSQL functions (ardudf 1.1.0)'^

-- 1 when value is zero at 6 decimal places, else 0 (is_zero_amount(value, 6)): value and
-- then the distance of its rounding from 0 each rounded to the step 10^-6, the double
-- 1.0 / 10^6, halves away from zero. Beyond 10^300 the quotient would overflow, which the
-- engine refuses; such a value is never zero.
CREATE OR ALTER FUNCTION ardudf_psql_is_zero (value_ DOUBLE PRECISION)
    RETURNS SMALLINT
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
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
END^
COMMENT ON FUNCTION ardudf_psql_is_zero IS 'a helper of the PSQL functions (ardudf 1.1.0)'^

-- take_from_pool: wanted when the pool holds that much, else the whole pool; rest is what
-- the pool keeps, nonzero whether the take is not zero at 6 places.
CREATE OR ALTER PROCEDURE ardudf_psql_take (pool DOUBLE PRECISION, wanted DOUBLE PRECISION)
    RETURNS (taken DOUBLE PRECISION, rest DOUBLE PRECISION, nonzero SMALLINT)
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
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
END^
COMMENT ON PROCEDURE ardudf_psql_take IS 'a helper of the PSQL functions (ardudf 1.1.0)'^

-- split_payment: the four pools of an amount x by the document's totals (t, tv) and what
-- is paid of them (pa, pv).
CREATE OR ALTER PROCEDURE ardudf_psql_split (t DOUBLE PRECISION, tv DOUBLE PRECISION, pa DOUBLE PRECISION,
                                             pv DOUBLE PRECISION, x DOUBLE PRECISION)
    RETURNS (excess_pool DOUBLE PRECISION, amount_pool DOUBLE PRECISION, vat_pool DOUBLE PRECISION,
             surplus_pool DOUBLE PRECISION)
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
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
END^
COMMENT ON PROCEDURE ardudf_psql_split IS 'a helper of the PSQL functions (ardudf 1.1.0)'^

-- distribute_payment: spreads x over the VAT and the rows of the context, in slot order,
-- each row taking from the pools in the order of its branch; settles the lines of the
-- other sign than the document and spreads what that frees once more. Marks the rows it
-- changed and sets the cursor before the first row. 1 when some row was marked at the end
-- of its handling, else 0. The handle must name a context of this attachment.
CREATE OR ALTER PROCEDURE ardudf_psql_distribute (handle INTEGER, x DOUBLE PRECISION)
    RETURNS (result_ INTEGER)
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
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
END^
COMMENT ON PROCEDURE ardudf_psql_distribute IS 'a helper of the PSQL functions (ardudf 1.1.0)'^

-- next_affected_row: moves the cursor to the next row that is marked and has something to
-- report (its own change, or VAT not yet read), clearing the mark of every row it passes;
-- found is 0 at the end, where the cursor stays on the last row. The handle must name a
-- context of this attachment.
CREATE OR ALTER PROCEDURE ardudf_psql_next_row (handle INTEGER)
    RETURNS (found SMALLINT)
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
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
END^
COMMENT ON PROCEDURE ardudf_psql_next_row IS 'a helper of the PSQL functions (ardudf 1.1.0)'^

-- The type of the row under the cursor, what the last operations allocated to it and the
-- VAT they moved, the two amounts reset as they are read; '' and 0.0 without a row.
CREATE OR ALTER PROCEDURE ardudf_psql_read_row (handle INTEGER)
    RETURNS (row_type VARCHAR(255) CHARACTER SET NONE, amount DOUBLE PRECISION, vat DOUBLE PRECISION)
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
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
END^
COMMENT ON PROCEDURE ardudf_psql_read_row IS 'a helper of the PSQL functions (ardudf 1.1.0)'^

-- ---- value functions ----

-- length of a text in bytes; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_string_length (
    text VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
DECLARE nul INTEGER;
BEGIN
  IF (text IS NULL) THEN RETURN NULL;
  nul = POSITION(ASCII_CHAR(0) IN text);
  RETURN IIF(nul = 0, OCTET_LENGTH(text), nul - 1);
END^
COMMENT ON FUNCTION ib_string_length IS 'length of a text in bytes (ardudf 1.1.0)'^

-- len random characters from 0-9 and A-Z; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_uniqueid (
    len INTEGER
)
    RETURNS VARCHAR(255) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- The generator of the modules: a 32-bit linear congruential state, 1 before the first
-- draw, each character bits 16 to 30 of the next state modulo 36. The modules keep it per
-- thread; here it is kept per attachment, which is what a caller of the modules sees as
-- long as its attachment runs on one thread (an embedded or a dedicated server).
-- A length beyond the declared 255 is refused, as by the modules, before anything is drawn.
-- Two characters a turn: a PSQL statement costs more than the arithmetic in it.
DECLARE state BIGINT;
DECLARE wanted INTEGER;
DECLARE id VARCHAR(255) CHARACTER SET NONE = '';
DECLARE digits CHAR(36) CHARACTER SET NONE = '0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ';
BEGIN
  IF (len IS NULL) THEN RETURN NULL;
  wanted = IIF(len > 0, len, 0);
  IF (wanted > 255) THEN
    RETURN LPAD(CAST('' AS VARCHAR(1) CHARACTER SET NONE), MINVALUE(wanted, 32765), '0');
  state = COALESCE(CAST(RDB$GET_CONTEXT('USER_SESSION', 'ARDUDF_PSQL_ID_STATE') AS BIGINT), 1);
  WHILE (wanted > 1) DO
  BEGIN
    state = MOD(state * 214013 + 2531011, 4294967296);
    id = id || SUBSTRING(digits FROM MOD(BIN_AND(BIN_SHR(state, 16), 32767), 36) + 1 FOR 1);
    state = MOD(state * 214013 + 2531011, 4294967296);
    id = id || SUBSTRING(digits FROM MOD(BIN_AND(BIN_SHR(state, 16), 32767), 36) + 1 FOR 1);
    wanted = wanted - 2;
  END
  IF (wanted = 1) THEN
  BEGIN
    state = MOD(state * 214013 + 2531011, 4294967296);
    id = id || SUBSTRING(digits FROM MOD(BIN_AND(BIN_SHR(state, 16), 32767), 36) + 1 FOR 1);
  END
  RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_PSQL_ID_STATE', state);
  RETURN id;
END^
COMMENT ON FUNCTION ib_uniqueid IS 'len random characters from 0-9 and A-Z (ardudf 1.1.0)'^

-- A for a non-empty text, N for an empty one; NULL gives 'N'
CREATE OR ALTER FUNCTION ib_isnotnull (
    text VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(1) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- NULL is 'N', as the empty text; so is a text that starts with a NUL byte.
BEGIN
  RETURN IIF(ASCII_VAL(text) > 0, 'A', 'N');
END^
COMMENT ON FUNCTION ib_isnotnull IS 'A for a non-empty text, N for an empty one (ardudf 1.1.0)'^

-- the decimal number at the start of a text; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_convchartoint (
    text VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- White space (bytes 9 to 13 and 32), one sign, then digits; no digit gives 0, and a
-- number beyond the int32 range is held at its limit. Up to 9 digits and nothing after
-- them, the engine's cast reads them; otherwise one byte a turn.
DECLARE digits VARCHAR(8191) CHARACTER SET NONE;
DECLARE length_ INTEGER;
DECLARE i INTEGER = 1;
DECLARE b INTEGER;
DECLARE negative BOOLEAN = FALSE;
DECLARE limit_ BIGINT;
DECLARE value_ BIGINT = 0;
BEGIN
  IF (text IS NULL) THEN RETURN NULL;
  digits = text;
  b = ASCII_VAL(digits);
  WHILE (b = 32 OR (b >= 9 AND 13 >= b)) DO
  BEGIN
    i = i + 1;
    b = ASCII_VAL(SUBSTRING(digits FROM i FOR 1));
  END
  IF (b = 43 OR b = 45) THEN
  BEGIN
    negative = (b = 45);
    i = i + 1;
  END
  IF (i > 1) THEN digits = SUBSTRING(digits FROM i);
  IF (9 >= OCTET_LENGTH(digits) AND digits SIMILAR TO '[0-9]+') THEN
    RETURN IIF(negative, -CAST(digits AS INTEGER), CAST(digits AS INTEGER));
  limit_ = IIF(negative, 2147483648, 2147483647);
  length_ = OCTET_LENGTH(digits);
  i = 1;
  WHILE (length_ >= i) DO
  BEGIN
    b = ASCII_VAL(SUBSTRING(digits FROM i FOR 1)) - 48;
    IF (0 > b OR b > 9) THEN LEAVE;
    value_ = value_ * 10 + b;
    IF (value_ >= limit_) THEN
    BEGIN
      value_ = limit_;
      LEAVE;
    END
    i = i + 1;
  END
  RETURN IIF(negative, -value_, value_);
END^
COMMENT ON FUNCTION ib_convchartoint IS 'the decimal number at the start of a text (ardudf 1.1.0)'^

-- the greater of two numbers; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_greatest (
    a DOUBLE PRECISION,
    b DOUBLE PRECISION
)
    RETURNS DOUBLE PRECISION
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- a when a > b, else b: of two equal values (0 and -0 too) it is b, and so it is when
-- either is a NaN. The engine orders a NaN below every number, so that only > and >=
-- (and = and <>) test doubles as C++ does: every comparison of doubles here is written
-- with them.
BEGIN
  IF (a IS NULL OR b IS NULL) THEN RETURN NULL;
  RETURN IIF(a > b, a, b);
END^
COMMENT ON FUNCTION ib_greatest IS 'the greater of two numbers (ardudf 1.1.0)'^

-- the lesser of two numbers; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_least (
    a DOUBLE PRECISION,
    b DOUBLE PRECISION
)
    RETURNS DOUBLE PRECISION
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
BEGIN
  IF (a IS NULL OR b IS NULL) THEN RETURN NULL;
  RETURN IIF(b > a, a, b);
END^
COMMENT ON FUNCTION ib_least IS 'the lesser of two numbers (ardudf 1.1.0)'^

-- the release and the kind of the module that answers; takes no argument
CREATE OR ALTER FUNCTION ardudf_version ()
    RETURNS VARCHAR(63) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- The release, filled in when the script is generated, and this face.
BEGIN
  RETURN 'ardudf 1.1.0 PSQL';
END^
COMMENT ON FUNCTION ardudf_version IS 'the release and the kind of the module that answers (ardudf 1.1.0)'^

-- ---- text functions ----

-- the first len bytes of a text; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_string_left (
    text VARCHAR(8191) CHARACTER SET NONE,
    len INTEGER
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- A count read unsigned: a negative one keeps the whole text.
BEGIN
  IF (text IS NULL OR len IS NULL) THEN RETURN NULL;
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  IF (0 > len) THEN RETURN text;
  RETURN LEFT(text, len);
END^
COMMENT ON FUNCTION ib_string_left IS 'the first len bytes of a text (ardudf 1.1.0)'^

-- the last len bytes of a text; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_string_right (
    text VARCHAR(8191) CHARACTER SET NONE,
    len INTEGER
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
BEGIN
  IF (text IS NULL OR len IS NULL) THEN RETURN NULL;
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  IF (0 > len) THEN RETURN text;
  RETURN RIGHT(text, len);
END^
COMMENT ON FUNCTION ib_string_right IS 'the last len bytes of a text (ardudf 1.1.0)'^

-- a text padded on the left to a length; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_lpad (
    text VARCHAR(8191) CHARACTER SET NONE,
    len INTEGER,
    pad VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- Padded with the first byte of pad to len bytes, never cut; a negative len keeps the text.
-- An empty pad pads with NUL bytes, which end the text: what is left is empty, or the text
-- itself when no padding was needed. (ASCII_VAL: the first byte, 0 for an empty text.)
DECLARE width INTEGER;
BEGIN
  IF (text IS NULL OR len IS NULL OR pad IS NULL) THEN RETURN NULL;
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  width = IIF(len > OCTET_LENGTH(text), len, OCTET_LENGTH(text));
  IF (width > 8191) THEN
    RETURN LPAD(CAST('' AS VARCHAR(1) CHARACTER SET NONE), MINVALUE(width, 32765), '*');
  IF (width = OCTET_LENGTH(text)) THEN RETURN text;
  IF (ASCII_VAL(pad) = 0) THEN RETURN '';
  RETURN LPAD(text, width, LEFT(pad, 1));
END^
COMMENT ON FUNCTION ib_lpad IS 'a text padded on the left to a length (ardudf 1.1.0)'^

-- the bytes of a text in reverse order; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_reversestring (
    text VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
BEGIN
  IF (text IS NULL) THEN RETURN NULL;
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  RETURN REVERSE(text);
END^
COMMENT ON FUNCTION ib_reversestring IS 'the bytes of a text in reverse order (ardudf 1.1.0)'^

-- a text as an SQL string literal; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_quote_literal (
    text VARCHAR(4094) CHARACTER SET NONE
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- Between quotes, every quote doubled.
DECLARE quote_ CHAR(1) CHARACTER SET NONE = '''';
BEGIN
  IF (text IS NULL) THEN RETURN NULL;
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  RETURN quote_ || REPLACE(text, quote_, quote_ || quote_) || quote_;
END^
COMMENT ON FUNCTION ib_quote_literal IS 'a text as an SQL string literal (ardudf 1.1.0)'^

-- 1-based position of a part in a text, 0 if absent; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_find_token (
    text VARCHAR(8191) CHARACTER SET NONE,
    part VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- The first occurrence, 1-based; an empty part is found at 1, even in an empty text.
BEGIN
  IF (text IS NULL OR part IS NULL) THEN RETURN NULL;
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  IF (POSITION(ASCII_CHAR(0) IN part) > 0) THEN part = LEFT(part, POSITION(ASCII_CHAR(0) IN part) - 1);
  RETURN POSITION(part IN text);
END^
COMMENT ON FUNCTION ib_find_token IS '1-based position of a part in a text, 0 if absent (ardudf 1.1.0)'^

-- the first token of a delimited text; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_get_token (
    text VARCHAR(8191) CHARACTER SET NONE,
    delimiters VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- The first byte of delimiters separates tokens, a run of it counts as one; without one
-- (an empty text) the whole text is the token.
DECLARE delimiter CHAR(1) CHARACTER SET NONE;
DECLARE stop_ INTEGER;
BEGIN
  IF (text IS NULL OR delimiters IS NULL) THEN RETURN NULL;
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  IF (ASCII_VAL(delimiters) = 0) THEN RETURN text;
  delimiter = LEFT(delimiters, 1);
  text = TRIM(LEADING delimiter FROM text);
  stop_ = POSITION(delimiter IN text);
  IF (stop_ = 0) THEN RETURN text;
  RETURN LEFT(text, stop_ - 1);
END^
COMMENT ON FUNCTION ib_get_token IS 'the first token of a delimited text (ardudf 1.1.0)'^

-- what follows the first token; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_delete_token (
    text VARCHAR(8191) CHARACTER SET NONE,
    delimiters VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- What follows the first token and the delimiters right behind it, unchanged.
DECLARE delimiter CHAR(1) CHARACTER SET NONE;
DECLARE at_ INTEGER;
BEGIN
  IF (text IS NULL OR delimiters IS NULL) THEN RETURN NULL;
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  IF (ASCII_VAL(delimiters) = 0) THEN RETURN '';
  delimiter = LEFT(delimiters, 1);
  text = TRIM(LEADING delimiter FROM text);
  at_ = POSITION(delimiter IN text);
  IF (at_ = 0) THEN RETURN '';
  RETURN TRIM(LEADING delimiter FROM SUBSTRING(text FROM at_));
END^
COMMENT ON FUNCTION ib_delete_token IS 'what follows the first token (ardudf 1.1.0)'^

-- a two-character prefix code from two flags; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_gets_u2_prefix (
    flag1 VARCHAR(8191) CHARACTER SET NONE,
    flag2 VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(2) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- A flag is yes when its first byte is the upper-case A.
-- (65: compared as a byte, whatever the flag's other bytes are.)
BEGIN
  IF (flag1 IS NULL OR flag2 IS NULL) THEN RETURN NULL;
  IF (ASCII_VAL(flag1) = 65) THEN RETURN IIF(ASCII_VAL(flag2) = 65, 'Y_', 'S_');
  RETURN IIF(ASCII_VAL(flag2) = 65, 'X_', 'U_');
END^
COMMENT ON FUNCTION ib_gets_u2_prefix IS 'a two-character prefix code from two flags (ardudf 1.1.0)'^

-- a two-character prefix code from one flag; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_gets_u_prefix (
    flag VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(2) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
BEGIN
  IF (flag IS NULL) THEN RETURN NULL;
  RETURN IIF(ASCII_VAL(flag) = 65, 'S_', 'U_');
END^
COMMENT ON FUNCTION ib_gets_u_prefix IS 'a two-character prefix code from one flag (ardudf 1.1.0)'^

-- the digits of a text; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_correct_phone_number (
    text VARCHAR(255) CHARACTER SET NONE
)
    RETURNS VARCHAR(255) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- The bytes 0 to 9, in order, one byte a turn. (Not SUBSTRING ... SIMILAR by runs: Firebird
-- 3 makes its pattern anew on each call, 2.7 times the cost of this loop.)
DECLARE length_ INTEGER;
DECLARE i INTEGER = 1;
DECLARE b INTEGER;
DECLARE digits VARCHAR(255) CHARACTER SET NONE = '';
BEGIN
  IF (text IS NULL) THEN RETURN NULL;
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  length_ = OCTET_LENGTH(text);
  WHILE (length_ >= i) DO
  BEGIN
    b = ASCII_VAL(SUBSTRING(text FROM i FOR 1));
    IF (b >= 48 AND 57 >= b) THEN digits = digits || ASCII_CHAR(b);
    i = i + 1;
  END
  RETURN digits;
END^
COMMENT ON FUNCTION ib_correct_phone_number IS 'the digits of a text (ardudf 1.1.0)'^

-- Windows-1250 accented letters made plain; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_remove_diacritics (
    text VARCHAR(8191) CHARACTER SET WIN1250
)
    RETURNS VARCHAR(8191) CHARACTER SET WIN1250
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- Each accented letter of Windows-1250 by its plain letter; every other byte as it is.
-- The pairs are those of src/core/text/cleaning.h, byte for byte. Every accented letter
-- is a byte from 138 up: a text of bytes below 128 alone (as long in UTF-8 as it is) is
-- returned as it is. (Not SIMILAR TO a range of bytes: from Firebird 4 on, a range is one
-- of code points.) A byte that Windows-1250 leaves undefined cannot go to UTF-8: such a
-- text takes the long way.
DECLARE plain BOOLEAN = FALSE;
BEGIN
  IF (text IS NULL) THEN RETURN NULL;
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  BEGIN
    plain = OCTET_LENGTH(CAST(text AS VARCHAR(8191) CHARACTER SET UTF8)) = OCTET_LENGTH(text);
    WHEN ANY DO plain = FALSE;
  END
  IF (plain) THEN RETURN text;
  text = REPLACE(text, ASCII_CHAR(138), 'S');
  text = REPLACE(text, ASCII_CHAR(140), 'S');
  text = REPLACE(text, ASCII_CHAR(141), 'T');
  text = REPLACE(text, ASCII_CHAR(142), 'Z');
  text = REPLACE(text, ASCII_CHAR(143), 'Z');
  text = REPLACE(text, ASCII_CHAR(154), 's');
  text = REPLACE(text, ASCII_CHAR(156), 's');
  text = REPLACE(text, ASCII_CHAR(157), 't');
  text = REPLACE(text, ASCII_CHAR(158), 'z');
  text = REPLACE(text, ASCII_CHAR(159), 'z');
  text = REPLACE(text, ASCII_CHAR(163), 'L');
  text = REPLACE(text, ASCII_CHAR(165), 'A');
  text = REPLACE(text, ASCII_CHAR(170), 'S');
  text = REPLACE(text, ASCII_CHAR(175), 'Z');
  text = REPLACE(text, ASCII_CHAR(179), 'l');
  text = REPLACE(text, ASCII_CHAR(185), 'a');
  text = REPLACE(text, ASCII_CHAR(186), 's');
  text = REPLACE(text, ASCII_CHAR(188), 'L');
  text = REPLACE(text, ASCII_CHAR(190), 'l');
  text = REPLACE(text, ASCII_CHAR(191), 'z');
  text = REPLACE(text, ASCII_CHAR(192), 'R');
  text = REPLACE(text, ASCII_CHAR(193), 'A');
  text = REPLACE(text, ASCII_CHAR(194), 'A');
  text = REPLACE(text, ASCII_CHAR(195), 'A');
  text = REPLACE(text, ASCII_CHAR(196), 'A');
  text = REPLACE(text, ASCII_CHAR(197), 'L');
  text = REPLACE(text, ASCII_CHAR(198), 'C');
  text = REPLACE(text, ASCII_CHAR(199), 'C');
  text = REPLACE(text, ASCII_CHAR(200), 'C');
  text = REPLACE(text, ASCII_CHAR(201), 'E');
  text = REPLACE(text, ASCII_CHAR(202), 'E');
  text = REPLACE(text, ASCII_CHAR(203), 'E');
  text = REPLACE(text, ASCII_CHAR(204), 'E');
  text = REPLACE(text, ASCII_CHAR(205), 'I');
  text = REPLACE(text, ASCII_CHAR(206), 'I');
  text = REPLACE(text, ASCII_CHAR(207), 'D');
  text = REPLACE(text, ASCII_CHAR(208), 'D');
  text = REPLACE(text, ASCII_CHAR(209), 'N');
  text = REPLACE(text, ASCII_CHAR(210), 'N');
  text = REPLACE(text, ASCII_CHAR(211), 'O');
  text = REPLACE(text, ASCII_CHAR(212), 'O');
  text = REPLACE(text, ASCII_CHAR(213), 'O');
  text = REPLACE(text, ASCII_CHAR(214), 'O');
  text = REPLACE(text, ASCII_CHAR(216), 'R');
  text = REPLACE(text, ASCII_CHAR(217), 'U');
  text = REPLACE(text, ASCII_CHAR(218), 'U');
  text = REPLACE(text, ASCII_CHAR(219), 'U');
  text = REPLACE(text, ASCII_CHAR(220), 'U');
  text = REPLACE(text, ASCII_CHAR(221), 'Y');
  text = REPLACE(text, ASCII_CHAR(222), 'T');
  text = REPLACE(text, ASCII_CHAR(223), 's');
  text = REPLACE(text, ASCII_CHAR(224), 'r');
  text = REPLACE(text, ASCII_CHAR(225), 'a');
  text = REPLACE(text, ASCII_CHAR(226), 'a');
  text = REPLACE(text, ASCII_CHAR(227), 'a');
  text = REPLACE(text, ASCII_CHAR(228), 'a');
  text = REPLACE(text, ASCII_CHAR(229), 'l');
  text = REPLACE(text, ASCII_CHAR(230), 'c');
  text = REPLACE(text, ASCII_CHAR(231), 'c');
  text = REPLACE(text, ASCII_CHAR(232), 'c');
  text = REPLACE(text, ASCII_CHAR(233), 'e');
  text = REPLACE(text, ASCII_CHAR(234), 'e');
  text = REPLACE(text, ASCII_CHAR(235), 'e');
  text = REPLACE(text, ASCII_CHAR(236), 'e');
  text = REPLACE(text, ASCII_CHAR(237), 'i');
  text = REPLACE(text, ASCII_CHAR(238), 'i');
  text = REPLACE(text, ASCII_CHAR(239), 'd');
  text = REPLACE(text, ASCII_CHAR(240), 'd');
  text = REPLACE(text, ASCII_CHAR(241), 'n');
  text = REPLACE(text, ASCII_CHAR(242), 'n');
  text = REPLACE(text, ASCII_CHAR(243), 'o');
  text = REPLACE(text, ASCII_CHAR(244), 'o');
  text = REPLACE(text, ASCII_CHAR(245), 'o');
  text = REPLACE(text, ASCII_CHAR(246), 'o');
  text = REPLACE(text, ASCII_CHAR(248), 'r');
  text = REPLACE(text, ASCII_CHAR(249), 'u');
  text = REPLACE(text, ASCII_CHAR(250), 'u');
  text = REPLACE(text, ASCII_CHAR(251), 'u');
  text = REPLACE(text, ASCII_CHAR(252), 'u');
  text = REPLACE(text, ASCII_CHAR(253), 'y');
  text = REPLACE(text, ASCII_CHAR(254), 't');
  RETURN text;
END^
COMMENT ON FUNCTION ib_remove_diacritics IS 'Windows-1250 accented letters made plain (ardudf 1.1.0)'^

-- ---- calendar functions ----

-- day of the week, 1 = Sunday to 7 = Saturday; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_dayofweek (
    serial DOUBLE PRECISION
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- 1601-01-01 was a Monday.
DECLARE t DOUBLE PRECISION;
BEGIN
  IF (serial IS NULL) THEN RETURN NULL;
  IF (ABS(serial) > 1e15) THEN RETURN 0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0;
  RETURN MOD(CAST(TRUNC(t) AS BIGINT) / 864000000000 + 1, 7) + 1;
END^
COMMENT ON FUNCTION ib_dayofweek IS 'day of the week, 1 = Sunday to 7 = Saturday (ardudf 1.1.0)'^

-- year of a day serial; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_decodedate_year (
    serial DOUBLE PRECISION
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
DECLARE t DOUBLE PRECISION;
DECLARE days BIGINT;
DECLARE v INTEGER;
BEGIN
  IF (serial IS NULL) THEN RETURN NULL;
  IF (ABS(serial) > 1e15) THEN RETURN 0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0;
  days = CAST(TRUNC(t) AS BIGINT) / 864000000000;
  IF (days > 3067609) THEN
  BEGIN
    SELECT year_num FROM ardudf_psql_fields(:serial) INTO :v;
    RETURN v;
  END
  RETURN EXTRACT(YEAR FROM DATE '1601-01-01' + days);
END^
COMMENT ON FUNCTION ib_decodedate_year IS 'year of a day serial (ardudf 1.1.0)'^

-- month of a day serial; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_decodedate_month (
    serial DOUBLE PRECISION
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
DECLARE t DOUBLE PRECISION;
DECLARE days BIGINT;
DECLARE v INTEGER;
BEGIN
  IF (serial IS NULL) THEN RETURN NULL;
  IF (ABS(serial) > 1e15) THEN RETURN 0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0;
  days = CAST(TRUNC(t) AS BIGINT) / 864000000000;
  IF (days > 3067609) THEN
  BEGIN
    SELECT month_num FROM ardudf_psql_fields(:serial) INTO :v;
    RETURN v;
  END
  RETURN EXTRACT(MONTH FROM DATE '1601-01-01' + days);
END^
COMMENT ON FUNCTION ib_decodedate_month IS 'month of a day serial (ardudf 1.1.0)'^

-- day of the month of a day serial; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_decodedate_day (
    serial DOUBLE PRECISION
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
DECLARE t DOUBLE PRECISION;
DECLARE days BIGINT;
DECLARE v INTEGER;
BEGIN
  IF (serial IS NULL) THEN RETURN NULL;
  IF (ABS(serial) > 1e15) THEN RETURN 0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0;
  days = CAST(TRUNC(t) AS BIGINT) / 864000000000;
  IF (days > 3067609) THEN
  BEGIN
    SELECT day_num FROM ardudf_psql_fields(:serial) INTO :v;
    RETURN v;
  END
  RETURN EXTRACT(DAY FROM DATE '1601-01-01' + days);
END^
COMMENT ON FUNCTION ib_decodedate_day IS 'day of the month of a day serial (ardudf 1.1.0)'^

-- hour of a day serial; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_decodetime_hour (
    serial DOUBLE PRECISION
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
DECLARE t DOUBLE PRECISION;
BEGIN
  IF (serial IS NULL) THEN RETURN NULL;
  IF (ABS(serial) > 1e15) THEN RETURN 0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0;
  RETURN MOD(CAST(TRUNC(t) AS BIGINT), 864000000000) / 36000000000;
END^
COMMENT ON FUNCTION ib_decodetime_hour IS 'hour of a day serial (ardudf 1.1.0)'^

-- minute of a day serial; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_decodetime_min (
    serial DOUBLE PRECISION
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
DECLARE t DOUBLE PRECISION;
BEGIN
  IF (serial IS NULL) THEN RETURN NULL;
  IF (ABS(serial) > 1e15) THEN RETURN 0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0;
  RETURN MOD(MOD(CAST(TRUNC(t) AS BIGINT), 864000000000) / 600000000, 60);
END^
COMMENT ON FUNCTION ib_decodetime_min IS 'minute of a day serial (ardudf 1.1.0)'^

-- second of a day serial; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_decodetime_sec (
    serial DOUBLE PRECISION
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
DECLARE t DOUBLE PRECISION;
BEGIN
  IF (serial IS NULL) THEN RETURN NULL;
  IF (ABS(serial) > 1e15) THEN RETURN 0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0;
  RETURN MOD(MOD(CAST(TRUNC(t) AS BIGINT), 864000000000) / 10000000, 60);
END^
COMMENT ON FUNCTION ib_decodetime_sec IS 'second of a day serial (ardudf 1.1.0)'^

-- day serial of a year, month and day; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_encodedate (
    year_num INTEGER,
    month_num INTEGER,
    day_num INTEGER
)
    RETURNS DOUBLE PRECISION
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- As ardudf_psql_encode, written out.
DECLARE y BIGINT;
DECLARE m BIGINT;
DECLARE d BIGINT;
DECLARE era BIGINT;
DECLARE serial DOUBLE PRECISION;
DECLARE whole DOUBLE PRECISION;
BEGIN
  IF (year_num IS NULL OR month_num IS NULL OR day_num IS NULL) THEN RETURN NULL;
  y = BIN_AND(year_num, 65535);
  m = BIN_AND(month_num, 65535);
  d = BIN_AND(day_num, 65535);
  IF (1601 > y OR y > 30827 OR 1 > m OR m > 12 OR 1 > d OR d > 31) THEN RETURN 0e0;
  IF (d > 28 AND d > IIF(m = 2, IIF(MOD(y, 4) = 0 AND (MOD(y, 100) <> 0 OR MOD(y, 400) = 0), 29, 28),
                               IIF(m IN (4, 6, 9, 11), 30, 31))) THEN RETURN 0e0;
  IF (2 >= m) THEN y = y - 1;
  era = y / 400;
  serial = CAST((era * 146097 + (y - era * 400) * 365 + (y - era * 400) / 4 - (y - era * 400) / 100
                 + (153 * IIF(m > 2, m - 3, m + 9) + 2) / 5 + d - 1 - 584694) * 864000000000
                - 94353120000000000 AS DOUBLE PRECISION) / 1e7 / 86400e0;
  whole = TRUNC(serial);
  RETURN IIF(serial - whole >= 0.5e0, whole + 1e0, whole);
END^
COMMENT ON FUNCTION ib_encodedate IS 'day serial of a year, month and day (ardudf 1.1.0)'^

-- 1 for a leap year, else 0; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_isleapyear (
    year_num INTEGER
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- The Gregorian rule over every integer: 0 and -400 are leap years, -100 is not.
BEGIN
  IF (year_num IS NULL) THEN RETURN NULL;
  RETURN IIF(MOD(year_num, 4) = 0 AND (MOD(year_num, 100) <> 0 OR MOD(year_num, 400) = 0), 1, 0);
END^
COMMENT ON FUNCTION ib_isleapyear IS '1 for a leap year, else 0 (ardudf 1.1.0)'^

-- first day after the ten-day period of a date; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_endofdecade (
    serial DOUBLE PRECISION
)
    RETURNS DOUBLE PRECISION
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- The day after the ten-day period (1-10, 11-20, 21 to the month's end) of the date: the
-- serial of the 11th or the 21st, or that of the month's last day and one more.
DECLARE t DOUBLE PRECISION;
DECLARE days BIGINT;
DECLARE day_num INTEGER;
DECLARE year_num INTEGER;
DECLARE month_num INTEGER;
DECLARE d DATE;
DECLARE serial_ DOUBLE PRECISION;
DECLARE whole DOUBLE PRECISION;
BEGIN
  IF (serial IS NULL) THEN RETURN NULL;
  IF (ABS(serial) > 1e15) THEN RETURN 0e0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0e0;
  days = CAST(TRUNC(t) AS BIGINT) / 864000000000;
  IF (days > 3067609) THEN
  BEGIN
    SELECT year_num, month_num, day_num FROM ardudf_psql_fields(:serial) INTO :year_num, :month_num, :day_num;
    IF (11 > day_num) THEN RETURN ardudf_psql_encode(year_num, month_num, 11);
    IF (21 > day_num) THEN RETURN ardudf_psql_encode(year_num, month_num, 21);
    RETURN ardudf_psql_encode(year_num, month_num, ardudf_psql_days_in_month(year_num, month_num)) + 1e0;
  END
  d = DATE '1601-01-01' + days;
  day_num = EXTRACT(DAY FROM d);
  IF (11 > day_num) THEN d = d + (11 - day_num);
  ELSE IF (21 > day_num) THEN d = d + (21 - day_num);
  ELSE d = DATEADD(1 MONTH TO d - (day_num - 1)) - 1;
  serial_ = CAST((d - DATE '1601-01-01') * 864000000000 - 94353120000000000 AS DOUBLE PRECISION) / 1e7 / 86400e0;
  whole = TRUNC(serial_);
  serial_ = IIF(serial_ - whole >= 0.5e0, whole + 1e0, whole);
  RETURN IIF(day_num >= 21, serial_ + 1e0, serial_);
END^
COMMENT ON FUNCTION ib_endofdecade IS 'first day after the ten-day period of a date (ardudf 1.1.0)'^

-- current local date and time as a day serial; takes no argument
CREATE OR ALTER FUNCTION ib_current_time ()
    RETURNS DOUBLE PRECISION
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- The local wall clock to the millisecond, through the tick count as a clock's reading is.
DECLARE now_ TIMESTAMP;
DECLARE ticks BIGINT;
BEGIN
  now_ = CAST('NOW' AS TIMESTAMP);
  ticks = (CAST(now_ AS DATE) - DATE '1601-01-01') * 864000000000
          + (EXTRACT(HOUR FROM now_) * 3600000 + EXTRACT(MINUTE FROM now_) * 60000
             + TRUNC(EXTRACT(SECOND FROM now_) * 1000)) * 10000;
  RETURN CAST(ticks - 94353120000000000 AS DOUBLE PRECISION) / 1e7 / 86400e0;
END^
COMMENT ON FUNCTION ib_current_time IS 'current local date and time as a day serial (ardudf 1.1.0)'^

-- a date formatted by a pattern; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_datetostring (
    serial DOUBLE PRECISION,
    pattern VARCHAR(255) CHARACTER SET NONE
)
    RETURNS VARCHAR(512) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- Each run of one of the letters Y, M, D (either case, anywhere, inside words too) is
-- replaced, greedily from the left: n Y give n/4 years and, when n mod 4 is not 0, one
-- two-digit year; n M (D) give (n+1)/2 months (days). Every other byte is kept.
-- So: the letters made upper case, then each run cut into its pieces from the left by
-- REPLACE, the longest piece first (what a piece becomes holds no letter).
DECLARE t DOUBLE PRECISION;
DECLARE days BIGINT;
DECLARE d DATE;
DECLARE year_num INTEGER = 0;
DECLARE month_num INTEGER = 0;
DECLARE day_num INTEGER = 0;
DECLARE short_year VARCHAR(2) CHARACTER SET NONE;
DECLARE formatted VARCHAR(512) CHARACTER SET NONE;
BEGIN
  IF (serial IS NULL OR pattern IS NULL) THEN RETURN NULL;
  IF (POSITION(ASCII_CHAR(0) IN pattern) > 0) THEN pattern = LEFT(pattern, POSITION(ASCII_CHAR(0) IN pattern) - 1);
  IF (NOT (ABS(serial) > 1e15)) THEN
  BEGIN
    t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
    IF (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t) THEN
    BEGIN
      days = CAST(TRUNC(t) AS BIGINT) / 864000000000;
      IF (days > 3067609) THEN
        SELECT year_num, month_num, day_num FROM ardudf_psql_fields(:serial) INTO :year_num, :month_num, :day_num;
      ELSE
      BEGIN
        d = DATE '1601-01-01' + days;
        year_num = EXTRACT(YEAR FROM d);
        month_num = EXTRACT(MONTH FROM d);
        day_num = EXTRACT(DAY FROM d);
      END
    END
  END
  short_year = LPAD(MOD(year_num, 100), 2, '0');
  formatted = REPLACE(REPLACE(REPLACE(pattern, 'y', 'Y'), 'm', 'M'), 'd', 'D');
  formatted = REPLACE(formatted, 'YYYY', year_num);
  formatted = REPLACE(REPLACE(REPLACE(formatted, 'YYY', short_year), 'YY', short_year), 'Y', short_year);
  formatted = REPLACE(REPLACE(formatted, 'MM', month_num), 'M', month_num);
  RETURN REPLACE(REPLACE(formatted, 'DD', day_num), 'D', day_num);
END^
COMMENT ON FUNCTION ib_datetostring IS 'a date formatted by a pattern (ardudf 1.1.0)'^

-- ---- balance functions ----

-- handle of a new balance context; takes no argument
CREATE OR ALTER FUNCTION ib_scbcreate ()
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
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
  WHEN GDSCODE read_only_database DO
    EXCEPTION ardudf_psql_read_only;
END^
COMMENT ON FUNCTION ib_scbcreate IS 'handle of a new balance context (ardudf 1.1.0)'^

-- adds an amount row and its VAT; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbaddrow (
    handle INTEGER,
    row_type VARCHAR(255) CHARACTER SET NONE,
    amount DOUBLE PRECISION,
    vat DOUBLE PRECISION
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- One document line: amount to the row of row_type (made on first use), amount and vat to
-- the totals; a line zero at 6 places in both is ignored. 1, or 0 for an unknown handle.
-- (A rows's handle always has its context: a row is looked for before the context.)
DECLARE slot INTEGER;
DECLARE found SMALLINT;
BEGIN
  IF (handle IS NULL OR row_type IS NULL OR amount IS NULL OR vat IS NULL) THEN RETURN NULL;
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
END^
COMMENT ON FUNCTION ib_scbaddrow IS 'adds an amount row and its VAT (ardudf 1.1.0)'^

-- always 1; kept for older callers; 1 for any argument, NULL too
CREATE OR ALTER FUNCTION ib_scbstartcreditnote (
    handle INTEGER
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
BEGIN
  RETURN 1;
END^
COMMENT ON FUNCTION ib_scbstartcreditnote IS 'always 1; kept for older callers (ardudf 1.1.0)'^

-- moves to the next changed row: 1, or 0 at the end; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbisaffectedrows (
    handle INTEGER
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- ardudf_psql_next_row, written out.
DECLARE found SMALLINT;
DECLARE cursor_slot INTEGER;
DECLARE last_slot INTEGER;
DECLARE last_vat DOUBLE PRECISION;
DECLARE target INTEGER;
BEGIN
  IF (handle IS NULL) THEN RETURN NULL;
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
END^
COMMENT ON FUNCTION ib_scbisaffectedrows IS 'moves to the next changed row: 1, or 0 at the end (ardudf 1.1.0)'^

-- type of the current row; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbreadtype (
    handle INTEGER
)
    RETURNS VARCHAR(255) CHARACTER SET NONE
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
DECLARE cursor_slot INTEGER;
DECLARE row_type VARCHAR(255) CHARACTER SET NONE = '';
BEGIN
  IF (handle IS NULL) THEN RETURN NULL;
  SELECT cursor_slot FROM ardudf_psql_context WHERE handle = :handle INTO :cursor_slot;
  SELECT row_type FROM ardudf_psql_row WHERE handle = :handle AND slot = :cursor_slot INTO :row_type;
  RETURN row_type;
END^
COMMENT ON FUNCTION ib_scbreadtype IS 'type of the current row (ardudf 1.1.0)'^

-- amount allocated to the current row (read once); a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbreadamount (
    handle INTEGER
)
    RETURNS DOUBLE PRECISION
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- Read once: 0.0 after it is read.
DECLARE cursor_slot INTEGER;
DECLARE amount DOUBLE PRECISION = 0e0;
BEGIN
  IF (handle IS NULL) THEN RETURN NULL;
  SELECT cursor_slot FROM ardudf_psql_context WHERE handle = :handle INTO :cursor_slot;
  UPDATE ardudf_psql_row SET last_change = 0e0 WHERE handle = :handle AND slot = :cursor_slot
    RETURNING OLD.last_change INTO :amount;
  RETURN amount;
END^
COMMENT ON FUNCTION ib_scbreadamount IS 'amount allocated to the current row (read once) (ardudf 1.1.0)'^

-- VAT moved by the last operation (read once); a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbreadvat (
    handle INTEGER
)
    RETURNS DOUBLE PRECISION
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- Read once: 0.0 after it is read.
DECLARE vat DOUBLE PRECISION = 0e0;
BEGIN
  IF (handle IS NULL) THEN RETURN NULL;
  UPDATE ardudf_psql_context SET last_vat = 0e0 WHERE handle = :handle RETURNING OLD.last_vat INTO :vat;
  RETURN vat;
END^
COMMENT ON FUNCTION ib_scbreadvat IS 'VAT moved by the last operation (read once) (ardudf 1.1.0)'^

-- empties a context; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbclear (
    handle INTEGER
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
-- Empty again, the cursor on 0, the handle still good.
BEGIN
  IF (handle IS NULL) THEN RETURN NULL;
  UPDATE ardudf_psql_context SET total_amount = 0e0, total_vat = 0e0, paid_amount = 0e0, paid_vat = 0e0,
      last_vat = 0e0, cursor_slot = 0, slot_count = 0
    WHERE handle = :handle;
  IF (ROW_COUNT = 0) THEN RETURN 0;
  DELETE FROM ardudf_psql_row WHERE handle = :handle;
  RETURN 1;
END^
COMMENT ON FUNCTION ib_scbclear IS 'empties a context (ardudf 1.1.0)'^

-- frees a context; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbfree (
    handle INTEGER
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
BEGIN
  IF (handle IS NULL) THEN RETURN NULL;
  DELETE FROM ardudf_psql_context WHERE handle = :handle;
  IF (ROW_COUNT = 0) THEN RETURN 0;
  DELETE FROM ardudf_psql_row WHERE handle = :handle;
  RETURN 1;
END^
COMMENT ON FUNCTION ib_scbfree IS 'frees a context (ardudf 1.1.0)'^

-- spreads a payment over VAT and rows; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbaddpayment (
    handle INTEGER,
    amount DOUBLE PRECISION
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
DECLARE result_ INTEGER;
BEGIN
  IF (handle IS NULL OR amount IS NULL) THEN RETURN NULL;
  IF (NOT EXISTS (SELECT 1 FROM ardudf_psql_context WHERE handle = :handle)) THEN RETURN 0;
  EXECUTE PROCEDURE ardudf_psql_distribute(handle, amount) RETURNING_VALUES :result_;
  RETURN result_;
END^
COMMENT ON FUNCTION ib_scbaddpayment IS 'spreads a payment over VAT and rows (ardudf 1.1.0)'^

-- lowers a row and the VAT, spreads what it frees; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbaddcreditnote (
    handle INTEGER,
    row_type VARCHAR(255) CHARACTER SET NONE,
    amount DOUBLE PRECISION,
    vat DOUBLE PRECISION
)
    RETURNS INTEGER
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
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
  IF (handle IS NULL OR row_type IS NULL OR amount IS NULL OR vat IS NULL) THEN RETURN NULL;
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
END^
COMMENT ON FUNCTION ib_scbaddcreditnote IS 'lowers a row and the VAT, spreads what it frees (ardudf 1.1.0)'^

-- ---- the walk in one call ----

-- The rows the last payment or credit note changed, as the loop of
-- ib_scbisaffectedrows, ib_scbreadtype, ib_scbreadamount and ib_scbreadvat
-- reads them (with the same resets); no rows for NULL or a handle of another attachment.
CREATE OR ALTER PROCEDURE ib_scbwalk (handle INTEGER)
    RETURNS (row_type VARCHAR(255) CHARACTER SET NONE, amount DOUBLE PRECISION, vat DOUBLE PRECISION)
AS
-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release
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
END^
COMMENT ON PROCEDURE ib_scbwalk IS 'the rows the last payment or credit note changed, with their type, amount and VAT (ardudf 1.1.0)'^

-- ---- what each routine may use, whoever calls it ----

GRANT EXECUTE ON FUNCTION ardudf_psql_days_in_month TO FUNCTION ardudf_psql_encode^
GRANT EXECUTE ON FUNCTION ardudf_psql_is_zero TO PROCEDURE ardudf_psql_take^
GRANT EXECUTE ON PROCEDURE ardudf_psql_take TO PROCEDURE ardudf_psql_split^
GRANT EXECUTE ON FUNCTION ardudf_psql_is_zero TO PROCEDURE ardudf_psql_distribute^
GRANT EXECUTE ON PROCEDURE ardudf_psql_split TO PROCEDURE ardudf_psql_distribute^
GRANT SELECT, UPDATE ON TABLE ardudf_psql_context TO PROCEDURE ardudf_psql_distribute^
GRANT SELECT, UPDATE ON TABLE ardudf_psql_row TO PROCEDURE ardudf_psql_distribute^
GRANT SELECT, UPDATE ON TABLE ardudf_psql_context TO PROCEDURE ardudf_psql_next_row^
GRANT SELECT, UPDATE ON TABLE ardudf_psql_row TO PROCEDURE ardudf_psql_next_row^
GRANT SELECT, UPDATE ON TABLE ardudf_psql_context TO PROCEDURE ardudf_psql_read_row^
GRANT SELECT, UPDATE ON TABLE ardudf_psql_row TO PROCEDURE ardudf_psql_read_row^
GRANT EXECUTE ON PROCEDURE ardudf_psql_fields TO FUNCTION ib_decodedate_year^
GRANT EXECUTE ON PROCEDURE ardudf_psql_fields TO FUNCTION ib_decodedate_month^
GRANT EXECUTE ON PROCEDURE ardudf_psql_fields TO FUNCTION ib_decodedate_day^
GRANT EXECUTE ON PROCEDURE ardudf_psql_fields TO FUNCTION ib_endofdecade^
GRANT EXECUTE ON FUNCTION ardudf_psql_days_in_month TO FUNCTION ib_endofdecade^
GRANT EXECUTE ON FUNCTION ardudf_psql_encode TO FUNCTION ib_endofdecade^
GRANT EXECUTE ON PROCEDURE ardudf_psql_fields TO FUNCTION ib_datetostring^
GRANT SELECT, INSERT ON TABLE ardudf_psql_context TO FUNCTION ib_scbcreate^
GRANT USAGE ON SEQUENCE ardudf_psql_handles TO FUNCTION ib_scbcreate^
GRANT USAGE ON EXCEPTION ardudf_psql_read_only TO FUNCTION ib_scbcreate^
GRANT EXECUTE ON FUNCTION ardudf_psql_is_zero TO FUNCTION ib_scbaddrow^
GRANT SELECT, UPDATE ON TABLE ardudf_psql_context TO FUNCTION ib_scbaddrow^
GRANT SELECT, INSERT, UPDATE ON TABLE ardudf_psql_row TO FUNCTION ib_scbaddrow^
GRANT SELECT, UPDATE ON TABLE ardudf_psql_context TO FUNCTION ib_scbisaffectedrows^
GRANT SELECT, UPDATE ON TABLE ardudf_psql_row TO FUNCTION ib_scbisaffectedrows^
GRANT SELECT ON TABLE ardudf_psql_context TO FUNCTION ib_scbreadtype^
GRANT SELECT ON TABLE ardudf_psql_row TO FUNCTION ib_scbreadtype^
GRANT SELECT ON TABLE ardudf_psql_context TO FUNCTION ib_scbreadamount^
GRANT SELECT, UPDATE ON TABLE ardudf_psql_row TO FUNCTION ib_scbreadamount^
GRANT SELECT, UPDATE ON TABLE ardudf_psql_context TO FUNCTION ib_scbreadvat^
GRANT SELECT, UPDATE ON TABLE ardudf_psql_context TO FUNCTION ib_scbclear^
GRANT SELECT, DELETE ON TABLE ardudf_psql_row TO FUNCTION ib_scbclear^
GRANT SELECT, DELETE ON TABLE ardudf_psql_context TO FUNCTION ib_scbfree^
GRANT SELECT, DELETE ON TABLE ardudf_psql_row TO FUNCTION ib_scbfree^
GRANT EXECUTE ON PROCEDURE ardudf_psql_distribute TO FUNCTION ib_scbaddpayment^
GRANT SELECT ON TABLE ardudf_psql_context TO FUNCTION ib_scbaddpayment^
GRANT EXECUTE ON FUNCTION ardudf_psql_cstring TO FUNCTION ib_scbaddcreditnote^
GRANT EXECUTE ON PROCEDURE ardudf_psql_distribute TO FUNCTION ib_scbaddcreditnote^
GRANT SELECT, UPDATE ON TABLE ardudf_psql_context TO FUNCTION ib_scbaddcreditnote^
GRANT SELECT, INSERT, UPDATE ON TABLE ardudf_psql_row TO FUNCTION ib_scbaddcreditnote^
GRANT EXECUTE ON PROCEDURE ardudf_psql_next_row TO PROCEDURE ib_scbwalk^
GRANT EXECUTE ON PROCEDURE ardudf_psql_read_row TO PROCEDURE ib_scbwalk^
GRANT SELECT, UPDATE ON TABLE ardudf_psql_context TO PROCEDURE ib_scbwalk^
GRANT SELECT, UPDATE ON TABLE ardudf_psql_row TO PROCEDURE ib_scbwalk^

SET TERM ; ^
COMMIT;
