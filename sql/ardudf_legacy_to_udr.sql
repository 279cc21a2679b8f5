-- ardudf 1.1.0: moves a database from ardudf's legacy module to its UDR module in
-- place. Generated from src/catalogue/catalogue.h and tools/catalogue/templates; do not
-- edit. docs/migration.md gives the steps; ardudf_legacy_to_udr_preview.sql shows what it
-- would do. Works in dialect 1 and 3 databases.
-- Every legacy declaration of ardudf's module (ardudf, ardudf.so, ardudf.dll, any case, any
-- folder) that calls a function of this release, under whatever name, is redeclared under
-- that name for the UDR module in one transaction: its arguments in their order, its texts
-- as wide (up to 32765 bytes) and in the character set it declared, and the external name
-- 'ardudf_udr!ENTRY!legacy_nulls', which reads a NULL argument as the legacy module did, so
-- every caller gives the results it gave. The indexes that call a moved function are
-- deactivated in the same transaction; then the index step builds them again and activates
-- the inactive ones. Other modules' declarations are left, and named; so are the indexes
-- ARDUDF_LEAVE_INDEXES names, and comments on the functions that are not ardudf's.
-- Nothing changes while another attachment is connected, a declaration of ardudf's module
-- cannot move as it is, or the UDR module does not load and answer. Run again after any
-- failure, it finishes what is left; over a moved database, it is the upgrade.
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS (ardudf_legacy_to_udr VARCHAR(400)) AS
  -- ---- what the database declares, as ardudf sees it (shared by the move, its preview and
  -- ---- the check after it; in Firebird 3 a routine of a block cannot call another) ----

  -- A name as a statement must spell it: quoted in dialect 3; dialect 1 has no quoted names.
  DECLARE FUNCTION ident (name VARCHAR(63)) RETURNS VARCHAR(130) AS
  BEGIN
    IF ((SELECT MON$SQL_DIALECT FROM MON$DATABASE) = 1) THEN RETURN name;
    RETURN '"' || REPLACE(name, '"', '""') || '"';
  END

  -- A declaration's values as SQL spells them: (arguments) RETURNS result; the arguments
  -- named by names (words separated by blanks) when it is given. With udr = 1 as the UDR
  -- module takes them: a CSTRING(n) becomes a VARCHAR of as many bytes, up to the 32765 a
  -- VARCHAR holds, in its own character set.
  DECLARE FUNCTION typed_args (fn VARCHAR(63), udr SMALLINT, names VARCHAR(100)) RETURNS VARCHAR(2000) AS
    DECLARE pos SMALLINT;
    DECLARE ftype SMALLINT;
    DECLARE len INTEGER;
    DECLARE csname VARCHAR(63);
    DECLARE per SMALLINT;
    DECLARE t VARCHAR(100);
    DECLARE args VARCHAR(1800) = '';
    DECLARE result VARCHAR(100);
  BEGIN
    names = TRIM(names) || ' ';
    FOR SELECT a.RDB$ARGUMENT_POSITION, a.RDB$FIELD_TYPE, a.RDB$FIELD_LENGTH, TRIM(s.RDB$CHARACTER_SET_NAME),
          s.RDB$BYTES_PER_CHARACTER
        FROM RDB$FUNCTION_ARGUMENTS a
        LEFT JOIN RDB$CHARACTER_SETS s ON s.RDB$CHARACTER_SET_ID = COALESCE(a.RDB$CHARACTER_SET_ID, 0)
        WHERE a.RDB$FUNCTION_NAME = :fn AND a.RDB$PACKAGE_NAME IS NULL ORDER BY a.RDB$ARGUMENT_POSITION
        INTO pos, ftype, len, csname, per DO BEGIN
      IF (ftype = 8) THEN t = 'INTEGER';
      ELSE IF (ftype = 27) THEN t = 'DOUBLE PRECISION';
      ELSE IF (ftype = 40) THEN BEGIN
        IF (udr = 1) THEN len = MINVALUE(len, 32765);
        -- Whole characters in either dialect (dialect 1 divides integers into a double).
        t = IIF(udr = 1, 'VARCHAR(', 'CSTRING(') || CAST(TRUNC(len / per) AS INTEGER) || ') CHARACTER SET ' || csname;
      END
      ELSE t = 'type ' || ftype;
      IF (pos = 0) THEN result = t;
      ELSE BEGIN
        IF (names > ' ') THEN BEGIN
          t = SUBSTRING(names FROM 1 FOR POSITION(' ' IN names) - 1) || ' ' || t;
          names = SUBSTRING(names FROM POSITION(' ' IN names) + 1);
        END
        args = IIF(args = '', t, args || ', ' || t);
      END
    END
    RETURN '(' || args || ') RETURNS ' || result;
  END

  -- Every declaration that concerns ardudf, one row each, with its state:
  --   L  on ardudf's legacy module, to be moved     B  on ardudf's legacy module, cannot be
  --   M  moved in place (reads NULL the legacy way)    moved (detail says why)
  --   U  on the UDR module                           F  another module's, under a name or an
  --                                                     entry point of ardudf's: left as it is
  -- and what the catalogue of this release says of the function it calls: the kinds of its
  -- values, result first (T text, I integer, D double), its arguments' names, a call with
  -- plain arguments (a balance handle of 0 changes nothing) and its summary.
  DECLARE PROCEDURE declarations RETURNS (name VARCHAR(63), state CHAR(1), entry VARCHAR(63), detail VARCHAR(400),
      module VARCHAR(255), kinds VARCHAR(8), names VARCHAR(100), sample VARCHAR(100), summary VARCHAR(200)) AS
    DECLARE engine VARCHAR(63);
    DECLARE ext_name VARCHAR(255);
    DECLARE ret SMALLINT;
    DECLARE declared VARCHAR(16);
    DECLARE k CHAR(1);
  BEGIN
    FOR WITH catalogue (entry, kinds, names, sample, summary) AS (
          SELECT CAST('ib_string_length' AS VARCHAR(63)), CAST('IT' AS VARCHAR(8)), CAST('text' AS VARCHAR(100)), CAST('''A,B''' AS VARCHAR(100)), CAST('length of a text in bytes' AS VARCHAR(200)) FROM RDB$DATABASE UNION ALL
          SELECT 'ib_string_left', 'TTI', 'text len', '''A,B'', 2', 'the first len bytes of a text' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_string_right', 'TTI', 'text len', '''A,B'', 2', 'the last len bytes of a text' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_lpad', 'TTIT', 'text len pad', '''A,B'', 2, ''A,B''', 'a text padded on the left to a length' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_reversestring', 'TT', 'text', '''A,B''', 'the bytes of a text in reverse order' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_quote_literal', 'TT', 'text', '''A,B''', 'a text as an SQL string literal' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_uniqueid', 'TI', 'len', '2', 'len random characters from 0-9 and A-Z' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_isnotnull', 'TT', 'text', '''A,B''', 'A for a non-empty text, N for an empty one' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_convchartoint', 'IT', 'text', '''A,B''', 'the decimal number at the start of a text' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_greatest', 'DDD', 'a b', '45000.5, 45000.5', 'the greater of two numbers' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_least', 'DDD', 'a b', '45000.5, 45000.5', 'the lesser of two numbers' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_find_token', 'ITT', 'text part', '''A,B'', ''A,B''', '1-based position of a part in a text, 0 if absent' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_get_token', 'TTT', 'text delimiters', '''A,B'', ''A,B''', 'the first token of a delimited text' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_delete_token', 'TTT', 'text delimiters', '''A,B'', ''A,B''', 'what follows the first token' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_gets_u2_prefix', 'TTT', 'flag1 flag2', '''A,B'', ''A,B''', 'a two-character prefix code from two flags' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_gets_u_prefix', 'TT', 'flag', '''A,B''', 'a two-character prefix code from one flag' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_correct_phone_number', 'TT', 'text', '''A,B''', 'the digits of a text' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_remove_diacritics', 'TT', 'text', '''A,B''', 'Windows-1250 accented letters made plain' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_dayofweek', 'ID', 'serial', '45000.5', 'day of the week, 1 = Sunday to 7 = Saturday' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_decodedate_year', 'ID', 'serial', '45000.5', 'year of a day serial' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_decodedate_month', 'ID', 'serial', '45000.5', 'month of a day serial' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_decodedate_day', 'ID', 'serial', '45000.5', 'day of the month of a day serial' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_decodetime_hour', 'ID', 'serial', '45000.5', 'hour of a day serial' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_decodetime_min', 'ID', 'serial', '45000.5', 'minute of a day serial' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_decodetime_sec', 'ID', 'serial', '45000.5', 'second of a day serial' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_encodedate', 'DIII', 'year_num month_num day_num', '2, 2, 2', 'day serial of a year, month and day' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_isleapyear', 'II', 'year_num', '2', '1 for a leap year, else 0' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_endofdecade', 'DD', 'serial', '45000.5', 'first day after the ten-day period of a date' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_current_time', 'D', '', '', 'current local date and time as a day serial' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_datetostring', 'TDT', 'serial pattern', '45000.5, ''A,B''', 'a date formatted by a pattern' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_scbcreate', 'I', '', '', 'handle of a new balance context' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_scbaddrow', 'IITDD', 'handle row_type amount vat', '0, ''A,B'', 45000.5, 45000.5', 'adds an amount row and its VAT' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_scbstartcreditnote', 'II', 'handle', '0', 'always 1; kept for older callers' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_scbisaffectedrows', 'II', 'handle', '0', 'moves to the next changed row: 1, or 0 at the end' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_scbreadtype', 'TI', 'handle', '0', 'type of the current row' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_scbreadamount', 'DI', 'handle', '0', 'amount allocated to the current row (read once)' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_scbreadvat', 'DI', 'handle', '0', 'VAT moved by the last operation (read once)' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_scbclear', 'II', 'handle', '0', 'empties a context' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_scbfree', 'II', 'handle', '0', 'frees a context' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_scbaddpayment', 'IID', 'handle amount', '0, 45000.5', 'spreads a payment over VAT and rows' FROM RDB$DATABASE UNION ALL
          SELECT 'ib_scbaddcreditnote', 'IITDD', 'handle row_type amount vat', '0, ''A,B'', 45000.5, 45000.5', 'lowers a row and the VAT, spreads what it frees' FROM RDB$DATABASE UNION ALL
          SELECT 'ardudf_version', 'T', '', '', 'the release and the kind of the module that answers' FROM RDB$DATABASE
        )
        SELECT TRIM(f.RDB$FUNCTION_NAME), TRIM(f.RDB$MODULE_NAME), TRIM(f.RDB$ENGINE_NAME), TRIM(f.RDB$ENTRYPOINT),
          f.RDB$RETURN_ARGUMENT, c.entry, c.kinds, c.names, c.sample, c.summary
        FROM RDB$FUNCTIONS f LEFT JOIN catalogue c ON c.entry = CASE
          WHEN f.RDB$ENGINE_NAME IS NULL THEN TRIM(f.RDB$ENTRYPOINT)
          WHEN f.RDB$ENTRYPOINT STARTING WITH 'ardudf_udr!' THEN SUBSTRING(TRIM(f.RDB$ENTRYPOINT) || '!' FROM 12
            FOR POSITION('!', TRIM(f.RDB$ENTRYPOINT) || '!', 12) - 12) END
        WHERE f.RDB$PACKAGE_NAME IS NULL AND COALESCE(f.RDB$SYSTEM_FLAG, 0) = 0
        ORDER BY f.RDB$FUNCTION_NAME
        INTO name, module, engine, ext_name, ret, entry, kinds, names, sample, summary DO BEGIN
      state = NULL;
      detail = NULL;
      IF (engine = 'UDR' AND ext_name STARTING WITH 'ardudf_udr!') THEN BEGIN
        state = IIF(ext_name LIKE '%!legacy_nulls', 'M', 'U');
        IF (entry IS NULL) THEN entry = SUBSTRING(ext_name FROM 12);
      END
      -- ardudf's legacy module, however the declaration names it: ardudf, ardudf.so or
      -- ardudf.dll, in any case, after any folder.
      IF (state IS NULL AND engine IS NULL AND LOWER(module) SIMILAR TO '(%[/\])?ardudf(.so|.dll)?') THEN BEGIN
        declared = '';
        FOR SELECT CASE RDB$FIELD_TYPE WHEN 40 THEN 'T' WHEN 8 THEN 'I' WHEN 27 THEN 'D' ELSE '?' END
            FROM RDB$FUNCTION_ARGUMENTS WHERE RDB$FUNCTION_NAME = :name AND RDB$PACKAGE_NAME IS NULL
            ORDER BY RDB$ARGUMENT_POSITION INTO k DO declared = declared || k;
        state = 'L';
        IF (entry IS NULL) THEN
          detail = 'calls ' || ext_name || ', which ardudf 1.1.0 does not have';
        ELSE IF (ret <> 0) THEN
          detail = 'returns one of its arguments (RETURNS PARAMETER), which ardudf''s ' || entry || ' does not';
        ELSE IF (declared <> kinds) THEN
          detail = 'is declared with other arguments than ardudf''s ' || entry || ' (kinds ' || declared
            || ' against ' || kinds || ': T text, I integer, D double, the result first)';
        IF (entry IS NULL) THEN entry = ext_name;
        IF (detail IS NOT NULL) THEN state = 'B';
      END
      IF (state IS NULL AND (entry IS NOT NULL OR EXISTS (SELECT 1 FROM RDB$DATABASE WHERE :name IN ('IB_STRING_LENGTH', 'IB_STRING_LEFT', 'IB_STRING_RIGHT', 'IB_LPAD', 'IB_REVERSESTRING', 'IB_QUOTE_LITERAL', 'IB_UNIQUEID', 'IB_ISNOTNULL', 'IB_CONVCHARTOINT', 'IB_GREATEST', 'IB_LEAST', 'IB_FIND_TOKEN', 'IB_GET_TOKEN', 'IB_DELETE_TOKEN', 'IB_GETS_U2_PREFIX', 'IB_GETS_U_PREFIX', 'IB_CORRECT_PHONE_NUMBER', 'IB_REMOVE_DIACRITICS', 'IB_DAYOFWEEK', 'IB_DECODEDATE_YEAR', 'IB_DECODEDATE_MONTH', 'IB_DECODEDATE_DAY', 'IB_DECODETIME_HOUR', 'IB_DECODETIME_MIN', 'IB_DECODETIME_SEC', 'IB_ENCODEDATE', 'IB_ISLEAPYEAR', 'IB_ENDOFDECADE', 'IB_CURRENT_TIME', 'IB_DATETOSTRING', 'IB_SCBCREATE', 'IB_SCBADDROW', 'IB_SCBSTARTCREDITNOTE', 'IB_SCBISAFFECTEDROWS', 'IB_SCBREADTYPE', 'IB_SCBREADAMOUNT', 'IB_SCBREADVAT', 'IB_SCBCLEAR', 'IB_SCBFREE', 'IB_SCBADDPAYMENT', 'IB_SCBADDCREDITNOTE', 'ARDUDF_VERSION')))) THEN BEGIN
        state = 'F';
        detail = IIF(engine IS NULL, 'module ' || COALESCE(module, '?') || ', entry point ' || COALESCE(ext_name, '?'),
          'engine ' || engine || ', external name ' || COALESCE(ext_name, '?'));
      END
      IF (state IS NOT NULL) THEN SUSPEND;
    END
  END

  -- ---- end of what the database declares ----

  -- The indexes whose expression calls the function fn, or with fn NULL any function of
  -- ardudf's UDR module, directly or through a PSQL function or procedure, a package or a
  -- computed column; why says how. An index the engine built has dependency records, and
  -- they decide. A restore into an engine that could not compute an index leaves it
  -- inactive and without them: its expression's text decides, read as names (whole words;
  -- an unquoted name in any case, a quoted one exactly; nothing inside a string literal or
  -- a comment) and matched against the function and the routines and columns that call it.
  -- leave: 1 when ARDUDF_LEAVE_INDEXES, a table the DBA may create (docs/migration.md),
  -- names it: the move and the check leave that index as it is.
  -- (Firebird 5 marks an index a restore left inactive 3, not 1: any state but 0 is inactive.)
  DECLARE PROCEDURE indexes (fn VARCHAR(63))
      RETURNS (ix VARCHAR(63), inactive SMALLINT, why VARCHAR(400), leave SMALLINT) AS
    DECLARE left_alone VARCHAR(8000) = '|';
    DECLARE one VARCHAR(63);
    DECLARE rel VARCHAR(63);
    DECLARE src VARCHAR(8000);
    DECLARE words VARCHAR(8191);
    DECLARE dialect SMALLINT;
    DECLARE c VARCHAR(1);
    DECLARE w VARCHAR(300);
    DECLARE i INTEGER;
    DECLARE j INTEGER;
    DECLARE n INTEGER;
  BEGIN
    IF (EXISTS (SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'ARDUDF_LEAVE_INDEXES')) THEN
      FOR EXECUTE STATEMENT 'SELECT UPPER(TRIM(index_name)) FROM ardudf_leave_indexes' INTO one DO
        left_alone = left_alone || one || '|';
    dialect = (SELECT MON$SQL_DIALECT FROM MON$DATABASE);
    FOR WITH RECURSIVE seeds (name) AS (
          SELECT RDB$FUNCTION_NAME FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL
            AND (RDB$FUNCTION_NAME = :fn OR (:fn IS NULL
              AND RDB$ENTRYPOINT STARTING WITH 'ardudf_udr!'))),
        calls (name, kind, rel, depth, path) AS (
          SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, d.RDB$DEPENDED_ON_NAME, 1,
              CAST('calls ' || TRIM(s.name) AS VARCHAR(400))
            FROM seeds s JOIN RDB$DEPENDENCIES d
            ON d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$DEPENDED_ON_NAME = s.name AND d.RDB$PACKAGE_NAME IS NULL
          UNION ALL
          SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, d.RDB$DEPENDED_ON_NAME, c.depth + 1,
              CAST(SUBSTRING(c.path || ' through ' || CASE c.kind WHEN 5 THEN 'procedure ' WHEN 15 THEN 'function '
                WHEN 3 THEN 'column ' ELSE 'package ' END || COALESCE((SELECT FIRST 1 TRIM(f.RDB$RELATION_NAME)
                || '.' || TRIM(f.RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS f WHERE c.kind = 3
                AND f.RDB$FIELD_SOURCE = c.name), TRIM(c.name)) FROM 1 FOR 400) AS VARCHAR(400))
            FROM calls c JOIN RDB$DEPENDENCIES d
            ON (c.kind IN (5, 15) AND d.RDB$DEPENDED_ON_TYPE = c.kind AND d.RDB$DEPENDED_ON_NAME = c.name
              AND d.RDB$PACKAGE_NAME IS NULL)
            OR (c.kind IN (18, 19) AND d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$PACKAGE_NAME = c.name)
            OR (c.kind = 3 AND d.RDB$DEPENDED_ON_TYPE = 0 AND EXISTS (SELECT 1 FROM RDB$RELATION_FIELDS f
                WHERE f.RDB$FIELD_SOURCE = c.name AND f.RDB$RELATION_NAME = d.RDB$DEPENDED_ON_NAME
                  AND f.RDB$FIELD_NAME = d.RDB$FIELD_NAME))
            WHERE c.depth < 16)
        SELECT TRIM(i.RDB$INDEX_NAME), IIF(COALESCE(i.RDB$INDEX_INACTIVE, 0) = 0, 0, 1), c.path
          FROM calls c JOIN RDB$INDICES i ON i.RDB$INDEX_NAME = c.name WHERE c.kind = 6
        INTO ix, inactive, why DO BEGIN
      why = 'by its dependencies: it ' || why;
      leave = IIF(POSITION('|' || UPPER(ix) || '|' IN left_alone) > 0, 1, 0);
      SUSPEND;
    END

    -- No dependency records: the names in the expression.
    FOR SELECT TRIM(i.RDB$INDEX_NAME), IIF(COALESCE(i.RDB$INDEX_INACTIVE, 0) = 0, 0, 1), i.RDB$RELATION_NAME,
          CAST(SUBSTRING(i.RDB$EXPRESSION_SOURCE FROM 1 FOR 8000) AS VARCHAR(8000))
        FROM RDB$INDICES i WHERE i.RDB$EXPRESSION_SOURCE IS NOT NULL AND COALESCE(i.RDB$SYSTEM_FLAG, 0) = 0
          AND NOT EXISTS (SELECT 1 FROM RDB$DEPENDENCIES d
            WHERE d.RDB$DEPENDENT_NAME = i.RDB$INDEX_NAME AND d.RDB$DEPENDENT_TYPE = 6)
        INTO ix, inactive, rel, src DO BEGIN
      words = '|';
      i = 1;
      n = CHAR_LENGTH(src);
      WHILE (i <= n) DO BEGIN
        c = SUBSTRING(src FROM i FOR 1);
        j = i + 1;
        IF (c = '''' OR (c = '"' AND dialect = 1)) THEN BEGIN
          -- A string literal: a doubled quote inside reads as its end and a new start.
          j = POSITION(c, src, i + 1);
          j = IIF(j = 0, n + 1, j + 1);
        END
        ELSE IF (c = '"') THEN BEGIN
          -- A quoted name, as it is; a doubled quote inside stands for one.
          w = '';
          WHILE (j <= n AND (SUBSTRING(src FROM j FOR 1) <> '"' OR SUBSTRING(src FROM j + 1 FOR 1) = '"')) DO BEGIN
            w = w || SUBSTRING(src FROM j FOR 1);
            j = j + IIF(SUBSTRING(src FROM j FOR 1) = '"', 2, 1);
          END
          j = j + 1;
          words = words || w || '|';
        END
        ELSE IF (c = '-' AND SUBSTRING(src FROM i + 1 FOR 1) = '-') THEN BEGIN
          j = POSITION(ASCII_CHAR(10), src, i);
          j = IIF(j = 0, n + 1, j + 1);
        END
        ELSE IF (c = '/' AND SUBSTRING(src FROM i + 1 FOR 1) = '*') THEN BEGIN
          j = POSITION('*/', src, i + 2);
          j = IIF(j = 0, n + 1, j + 2);
        END
        ELSE IF (UPPER(c) BETWEEN 'A' AND 'Z' OR c BETWEEN '0' AND '9') THEN BEGIN
          -- A name (a number is read the same way and matches none).
          WHILE (j <= n AND (UPPER(SUBSTRING(src FROM j FOR 1)) BETWEEN 'A' AND 'Z'
              OR SUBSTRING(src FROM j FOR 1) BETWEEN '0' AND '9' OR SUBSTRING(src FROM j FOR 1) IN ('_', '$'))) DO
            j = j + 1;
          IF (c NOT BETWEEN '0' AND '9') THEN
            words = words || UPPER(SUBSTRING(src FROM i FOR j - i)) || '|';
        END
        i = j;
      END
      why = NULL;
      FOR WITH RECURSIVE seeds (name) AS (
            SELECT RDB$FUNCTION_NAME FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL
              AND (RDB$FUNCTION_NAME = :fn OR (:fn IS NULL
              AND RDB$ENTRYPOINT STARTING WITH 'ardudf_udr!'))),
          calls (name, kind, depth) AS (
            SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, 1 FROM seeds s JOIN RDB$DEPENDENCIES d
              ON d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$DEPENDED_ON_NAME = s.name AND d.RDB$PACKAGE_NAME IS NULL
            UNION ALL
            SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, c.depth + 1 FROM calls c JOIN RDB$DEPENDENCIES d
              ON (c.kind IN (5, 15) AND d.RDB$DEPENDED_ON_TYPE = c.kind AND d.RDB$DEPENDED_ON_NAME = c.name
              AND d.RDB$PACKAGE_NAME IS NULL)
              OR (c.kind IN (18, 19) AND d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$PACKAGE_NAME = c.name)
              WHERE c.depth < 16),
          -- What the expression may name: the function, a routine or package that calls
          -- it, or a computed column of the index's table that calls it.
          named (name, what) AS (
            SELECT TRIM(name), 'the function' FROM seeds
            UNION SELECT TRIM(name), IIF(kind = 5, 'the procedure', IIF(kind = 15, 'the function', 'the package'))
              FROM calls WHERE kind IN (5, 15, 18, 19)
            UNION SELECT TRIM(f.RDB$FIELD_NAME), 'the computed column' FROM calls c
              JOIN RDB$RELATION_FIELDS f ON f.RDB$FIELD_SOURCE = c.name AND f.RDB$RELATION_NAME = :rel
              WHERE c.kind = 3)
          SELECT FIRST 1 TRIM(what) || ' ' || name FROM named WHERE POSITION('|' || name || '|' IN :words) > 0 ORDER BY name
          INTO why DO
        why = 'by its expression, which names ' || why;
      IF (why IS NOT NULL) THEN BEGIN
        leave = IIF(POSITION('|' || UPPER(ix) || '|' IN left_alone) > 0, 1, 0);
        SUSPEND;
      END
    END
  END

  -- A refusal in a sentence of its own, raised as the exception ARDUDF_REFUSED: created for
  -- the moment it is raised, the error undoes its creation with the rest of the statement.
  -- Where it cannot be created (a user without the right, a read-only database), the
  -- sentence comes as the text of a conversion error.
  DECLARE PROCEDURE refuse (message VARCHAR(400)) AS
    DECLARE n INTEGER;
  BEGIN
    BEGIN
      EXECUTE STATEMENT 'CREATE EXCEPTION ardudf_refused ''ardudf refused''';
      WHEN ANY DO n = CAST(message AS INTEGER);
    END
    EXECUTE STATEMENT 'EXECUTE BLOCK AS BEGIN EXCEPTION ardudf_refused '''
      || REPLACE(message, '''', '''''') || '''; END';
  END

  DECLARE blocked INTEGER = 0;
  DECLARE n_moved INTEGER = 0;
  DECLARE n_udr INTEGER = 0;
  DECLARE fn VARCHAR(63);
  DECLARE state CHAR(1);
  DECLARE entry VARCHAR(63);
  DECLARE detail VARCHAR(400);
  DECLARE names VARCHAR(100);
  DECLARE summary VARCHAR(200);
  DECLARE note VARCHAR(400);
  DECLARE ix VARCHAR(63);
  DECLARE probe INTEGER;
  DECLARE walk VARCHAR(100) = '';
  DECLARE n_comments INTEGER = 0;
BEGIN
  -- Other attachments would go on with the declarations they have loaded (and a Firebird 3
  -- engine can hang or crash when a function changes under an attachment that used it).
  FOR SELECT 'attachment ' || MON$ATTACHMENT_ID || ' (' || TRIM(COALESCE(MON$USER, '')) || ', '
        || COALESCE(MON$REMOTE_PROCESS, MON$REMOTE_ADDRESS, 'embedded') || ') is connected to this database too'
      FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION AND MON$SYSTEM_FLAG = 0
      INTO ardudf_legacy_to_udr DO BEGIN
    ardudf_legacy_to_udr = 'nothing changed: ' || ardudf_legacy_to_udr
      || '; shut the database down to one attachment (gfix -shut single -force 0) and run this again';
    SUSPEND;
    blocked = blocked + 1;
  END
  -- What cannot move as it is stops the move before anything changes.
  FOR SELECT name, detail FROM declarations WHERE state = 'B' INTO fn, detail DO BEGIN
    ardudf_legacy_to_udr = 'nothing changed: ' || fn || ' ' || detail;
    SUSPEND;
    blocked = blocked + 1;
  END
  IF (blocked > 0) THEN
    EXECUTE PROCEDURE refuse('ardudf_legacy_to_udr.sql changed nothing, for the ' || blocked || ' reason(s) above');

  -- Before the first change, the UDR module must load and answer in this server: a
  -- function of it created and called in a transaction of its own, then dropped. Where it
  -- does not, nothing changes, and the engine's own error says why.
  IF (EXISTS (SELECT 1 FROM declarations WHERE state = 'L')) THEN BEGIN
    probe = NULL;
    BEGIN
      EXECUTE STATEMENT 'CREATE FUNCTION ardudf_udr_probe (t VARCHAR(10)) RETURNS INTEGER '
        || 'EXTERNAL NAME ''ardudf_udr!ib_string_length!legacy_nulls'' ENGINE UDR' WITH AUTONOMOUS TRANSACTION;
      probe = -1;
      EXECUTE STATEMENT 'SELECT ardudf_udr_probe(''abc'') * 10 + ardudf_udr_probe(NULL) FROM RDB$DATABASE'
        WITH AUTONOMOUS TRANSACTION INTO probe;
      WHEN ANY DO probe = COALESCE(probe, -2);
    END
    IF (probe > -2) THEN
      EXECUTE STATEMENT 'DROP FUNCTION ardudf_udr_probe' WITH AUTONOMOUS TRANSACTION;
    IF (probe IS DISTINCT FROM 30) THEN BEGIN
      ardudf_legacy_to_udr = 'nothing changed: the UDR module ardudf_udr '
        || IIF(probe = -2, 'does not load in this server', 'does not answer as it should')
        || ' (libardudf_udr.so, or ardudf_udr.dll of the server''s bitness, in its plugins/udr folder: '
        || 'docs/migration.md)';
      SUSPEND;
      IF (probe = -2) THEN BEGIN
        -- The engine's words: the same creation, unguarded (it fails again, and changes nothing).
        EXECUTE STATEMENT 'CREATE FUNCTION ardudf_udr_probe (t VARCHAR(10)) RETURNS INTEGER '
          || 'EXTERNAL NAME ''ardudf_udr!ib_string_length!legacy_nulls'' ENGINE UDR' WITH AUTONOMOUS TRANSACTION;
        EXECUTE STATEMENT 'DROP FUNCTION ardudf_udr_probe' WITH AUTONOMOUS TRANSACTION;
      END
      EXECUTE PROCEDURE refuse('ardudf_legacy_to_udr.sql changed nothing: the UDR module does not answer');
    END
  END

  -- Each declaration on the legacy module redeclared for the UDR module under its own name,
  -- and each index that calls it deactivated, for the index step to build again. ardudf's
  -- note on a function brought up to this release; a comment of the database's own kept.
  FOR SELECT name, state, entry, detail, names, summary FROM declarations
      INTO fn, state, entry, detail, names, summary DO BEGIN
    IF (state = 'L') THEN BEGIN
      -- Its new declaration: the UDR module's, reading NULL as the legacy module did.
      EXECUTE STATEMENT 'ALTER FUNCTION ' || ident(fn) || ' ' || typed_args(fn, 1, names)
        || ' EXTERNAL NAME ''ardudf_udr!' || entry || '!legacy_nulls'' ENGINE UDR';
      n_moved = n_moved + 1;
      IF (UPPER(entry) <> fn) THEN BEGIN
        ardudf_legacy_to_udr = 'moved under its own name: ' || fn || ' (' || entry || ')';
        SUSPEND;
      END
      FOR SELECT ix FROM indexes(:fn) WHERE inactive = 0 AND leave = 0 INTO ix DO
        IF (RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_REBUILT ' || ix, '1') = 0) THEN
          EXECUTE STATEMENT 'ALTER INDEX ' || ident(ix) || ' INACTIVE';
    END
    summary = summary || ' (ardudf 1.1.0)';
    note = (SELECT CAST(RDB$DESCRIPTION AS VARCHAR(400)) FROM RDB$FUNCTIONS
      WHERE RDB$FUNCTION_NAME = :fn AND RDB$PACKAGE_NAME IS NULL);
    IF (state IN ('L', 'M') AND note NOT LIKE '% (ardudf %)') THEN BEGIN
      IF (state = 'L') THEN BEGIN
        ardudf_legacy_to_udr = 'comment kept, it is not ardudf''s: ' || fn;
        SUSPEND;
      END
    END
    ELSE IF (state IN ('L', 'M') AND summary IS DISTINCT FROM note) THEN BEGIN
      EXECUTE STATEMENT 'COMMENT ON FUNCTION ' || ident(fn) || ' IS ''' || REPLACE(summary, '''', '''''') || '''';
      IF (state = 'M') THEN n_comments = n_comments + 1;
    END
    IF (state IN ('M', 'U')) THEN n_udr = n_udr + 1;
    IF (state = 'F') THEN BEGIN
      ardudf_legacy_to_udr = 'left as it is, not ardudf''s: ' || fn || ' (' || detail || ')';
      SUSPEND;
    END
  END

  -- ib_scbwalk, which the UDR module adds
  IF (n_moved > 0 AND NOT EXISTS (SELECT 1 FROM RDB$PROCEDURES
      WHERE RDB$PROCEDURE_NAME = 'IB_SCBWALK' AND RDB$PACKAGE_NAME IS NULL)) THEN BEGIN
    EXECUTE STATEMENT 'CREATE PROCEDURE ib_scbwalk (handle INTEGER) RETURNS (row_type VARCHAR(255) CHARACTER SET NONE, amount DOUBLE PRECISION, vat DOUBLE PRECISION) EXTERNAL NAME ''ardudf_udr!ib_scbwalk'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON PROCEDURE ib_scbwalk IS ''the rows the last payment or credit note changed, with their type, amount and VAT (ardudf 1.1.0)''';
    walk = '; ib_scbwalk declared';
  END

  IF (n_moved > 0) THEN
    ardudf_legacy_to_udr = n_moved || ' function(s) moved to the UDR module ardudf_udr, reading NULL as the '
      || 'legacy module did' || walk || IIF(n_udr > 0, '; ' || n_udr || ' on ardudf_udr already', '');
  ELSE IF (n_udr > 0) THEN
    ardudf_legacy_to_udr = 'nothing to move' || IIF(n_comments > 0, ', ' || n_comments
      || ' comment(s) brought up to ardudf 1.1.0', '') || ': ' || n_udr || ' function(s) on ardudf_udr already';
  ELSE
    ardudf_legacy_to_udr = 'nothing to move, nothing changed: no function of ardudf is declared here';
  SUSPEND;
END^
COMMIT^

-- The index step: each index that calls a function of the UDR module (directly, or through
-- a PSQL routine or a computed column) and that ARDUDF_LEAVE_INDEXES does not name. An
-- inactive one is activated (the move deactivates those it rebuilds; a restore into an
-- engine without legacy UDFs leaves them so); an active one whose keys are stale is
-- rebuilt (sql/ardudf_udr_indexes.sql rebuilds them all). Each index in a transaction of
-- its own, so that one that cannot be built stops no other: the others are done, this one
-- is named, and the engine's error for it ends the step. Run again, it does what is left.
EXECUTE BLOCK RETURNS (ardudf_legacy_to_udr VARCHAR(400)) AS
  -- A name as a statement must spell it: quoted in dialect 3; dialect 1 has no quoted names.
  DECLARE FUNCTION ident (name VARCHAR(63)) RETURNS VARCHAR(130) AS
  BEGIN
    IF ((SELECT MON$SQL_DIALECT FROM MON$DATABASE) = 1) THEN RETURN name;
    RETURN '"' || REPLACE(name, '"', '""') || '"';
  END

  -- The indexes whose expression calls the function fn, or with fn NULL any function of
  -- ardudf's UDR module, directly or through a PSQL function or procedure, a package or a
  -- computed column; why says how. An index the engine built has dependency records, and
  -- they decide. A restore into an engine that could not compute an index leaves it
  -- inactive and without them: its expression's text decides, read as names (whole words;
  -- an unquoted name in any case, a quoted one exactly; nothing inside a string literal or
  -- a comment) and matched against the function and the routines and columns that call it.
  -- leave: 1 when ARDUDF_LEAVE_INDEXES, a table the DBA may create (docs/migration.md),
  -- names it: the move and the check leave that index as it is.
  -- (Firebird 5 marks an index a restore left inactive 3, not 1: any state but 0 is inactive.)
  DECLARE PROCEDURE indexes (fn VARCHAR(63))
      RETURNS (ix VARCHAR(63), inactive SMALLINT, why VARCHAR(400), leave SMALLINT) AS
    DECLARE left_alone VARCHAR(8000) = '|';
    DECLARE one VARCHAR(63);
    DECLARE rel VARCHAR(63);
    DECLARE src VARCHAR(8000);
    DECLARE words VARCHAR(8191);
    DECLARE dialect SMALLINT;
    DECLARE c VARCHAR(1);
    DECLARE w VARCHAR(300);
    DECLARE i INTEGER;
    DECLARE j INTEGER;
    DECLARE n INTEGER;
  BEGIN
    IF (EXISTS (SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'ARDUDF_LEAVE_INDEXES')) THEN
      FOR EXECUTE STATEMENT 'SELECT UPPER(TRIM(index_name)) FROM ardudf_leave_indexes' INTO one DO
        left_alone = left_alone || one || '|';
    dialect = (SELECT MON$SQL_DIALECT FROM MON$DATABASE);
    FOR WITH RECURSIVE seeds (name) AS (
          SELECT RDB$FUNCTION_NAME FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL
            AND (RDB$FUNCTION_NAME = :fn OR (:fn IS NULL
              AND RDB$ENTRYPOINT STARTING WITH 'ardudf_udr!'))),
        calls (name, kind, rel, depth, path) AS (
          SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, d.RDB$DEPENDED_ON_NAME, 1,
              CAST('calls ' || TRIM(s.name) AS VARCHAR(400))
            FROM seeds s JOIN RDB$DEPENDENCIES d
            ON d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$DEPENDED_ON_NAME = s.name AND d.RDB$PACKAGE_NAME IS NULL
          UNION ALL
          SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, d.RDB$DEPENDED_ON_NAME, c.depth + 1,
              CAST(SUBSTRING(c.path || ' through ' || CASE c.kind WHEN 5 THEN 'procedure ' WHEN 15 THEN 'function '
                WHEN 3 THEN 'column ' ELSE 'package ' END || COALESCE((SELECT FIRST 1 TRIM(f.RDB$RELATION_NAME)
                || '.' || TRIM(f.RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS f WHERE c.kind = 3
                AND f.RDB$FIELD_SOURCE = c.name), TRIM(c.name)) FROM 1 FOR 400) AS VARCHAR(400))
            FROM calls c JOIN RDB$DEPENDENCIES d
            ON (c.kind IN (5, 15) AND d.RDB$DEPENDED_ON_TYPE = c.kind AND d.RDB$DEPENDED_ON_NAME = c.name
              AND d.RDB$PACKAGE_NAME IS NULL)
            OR (c.kind IN (18, 19) AND d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$PACKAGE_NAME = c.name)
            OR (c.kind = 3 AND d.RDB$DEPENDED_ON_TYPE = 0 AND EXISTS (SELECT 1 FROM RDB$RELATION_FIELDS f
                WHERE f.RDB$FIELD_SOURCE = c.name AND f.RDB$RELATION_NAME = d.RDB$DEPENDED_ON_NAME
                  AND f.RDB$FIELD_NAME = d.RDB$FIELD_NAME))
            WHERE c.depth < 16)
        SELECT TRIM(i.RDB$INDEX_NAME), IIF(COALESCE(i.RDB$INDEX_INACTIVE, 0) = 0, 0, 1), c.path
          FROM calls c JOIN RDB$INDICES i ON i.RDB$INDEX_NAME = c.name WHERE c.kind = 6
        INTO ix, inactive, why DO BEGIN
      why = 'by its dependencies: it ' || why;
      leave = IIF(POSITION('|' || UPPER(ix) || '|' IN left_alone) > 0, 1, 0);
      SUSPEND;
    END

    -- No dependency records: the names in the expression.
    FOR SELECT TRIM(i.RDB$INDEX_NAME), IIF(COALESCE(i.RDB$INDEX_INACTIVE, 0) = 0, 0, 1), i.RDB$RELATION_NAME,
          CAST(SUBSTRING(i.RDB$EXPRESSION_SOURCE FROM 1 FOR 8000) AS VARCHAR(8000))
        FROM RDB$INDICES i WHERE i.RDB$EXPRESSION_SOURCE IS NOT NULL AND COALESCE(i.RDB$SYSTEM_FLAG, 0) = 0
          AND NOT EXISTS (SELECT 1 FROM RDB$DEPENDENCIES d
            WHERE d.RDB$DEPENDENT_NAME = i.RDB$INDEX_NAME AND d.RDB$DEPENDENT_TYPE = 6)
        INTO ix, inactive, rel, src DO BEGIN
      words = '|';
      i = 1;
      n = CHAR_LENGTH(src);
      WHILE (i <= n) DO BEGIN
        c = SUBSTRING(src FROM i FOR 1);
        j = i + 1;
        IF (c = '''' OR (c = '"' AND dialect = 1)) THEN BEGIN
          -- A string literal: a doubled quote inside reads as its end and a new start.
          j = POSITION(c, src, i + 1);
          j = IIF(j = 0, n + 1, j + 1);
        END
        ELSE IF (c = '"') THEN BEGIN
          -- A quoted name, as it is; a doubled quote inside stands for one.
          w = '';
          WHILE (j <= n AND (SUBSTRING(src FROM j FOR 1) <> '"' OR SUBSTRING(src FROM j + 1 FOR 1) = '"')) DO BEGIN
            w = w || SUBSTRING(src FROM j FOR 1);
            j = j + IIF(SUBSTRING(src FROM j FOR 1) = '"', 2, 1);
          END
          j = j + 1;
          words = words || w || '|';
        END
        ELSE IF (c = '-' AND SUBSTRING(src FROM i + 1 FOR 1) = '-') THEN BEGIN
          j = POSITION(ASCII_CHAR(10), src, i);
          j = IIF(j = 0, n + 1, j + 1);
        END
        ELSE IF (c = '/' AND SUBSTRING(src FROM i + 1 FOR 1) = '*') THEN BEGIN
          j = POSITION('*/', src, i + 2);
          j = IIF(j = 0, n + 1, j + 2);
        END
        ELSE IF (UPPER(c) BETWEEN 'A' AND 'Z' OR c BETWEEN '0' AND '9') THEN BEGIN
          -- A name (a number is read the same way and matches none).
          WHILE (j <= n AND (UPPER(SUBSTRING(src FROM j FOR 1)) BETWEEN 'A' AND 'Z'
              OR SUBSTRING(src FROM j FOR 1) BETWEEN '0' AND '9' OR SUBSTRING(src FROM j FOR 1) IN ('_', '$'))) DO
            j = j + 1;
          IF (c NOT BETWEEN '0' AND '9') THEN
            words = words || UPPER(SUBSTRING(src FROM i FOR j - i)) || '|';
        END
        i = j;
      END
      why = NULL;
      FOR WITH RECURSIVE seeds (name) AS (
            SELECT RDB$FUNCTION_NAME FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL
              AND (RDB$FUNCTION_NAME = :fn OR (:fn IS NULL
              AND RDB$ENTRYPOINT STARTING WITH 'ardudf_udr!'))),
          calls (name, kind, depth) AS (
            SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, 1 FROM seeds s JOIN RDB$DEPENDENCIES d
              ON d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$DEPENDED_ON_NAME = s.name AND d.RDB$PACKAGE_NAME IS NULL
            UNION ALL
            SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, c.depth + 1 FROM calls c JOIN RDB$DEPENDENCIES d
              ON (c.kind IN (5, 15) AND d.RDB$DEPENDED_ON_TYPE = c.kind AND d.RDB$DEPENDED_ON_NAME = c.name
              AND d.RDB$PACKAGE_NAME IS NULL)
              OR (c.kind IN (18, 19) AND d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$PACKAGE_NAME = c.name)
              WHERE c.depth < 16),
          -- What the expression may name: the function, a routine or package that calls
          -- it, or a computed column of the index's table that calls it.
          named (name, what) AS (
            SELECT TRIM(name), 'the function' FROM seeds
            UNION SELECT TRIM(name), IIF(kind = 5, 'the procedure', IIF(kind = 15, 'the function', 'the package'))
              FROM calls WHERE kind IN (5, 15, 18, 19)
            UNION SELECT TRIM(f.RDB$FIELD_NAME), 'the computed column' FROM calls c
              JOIN RDB$RELATION_FIELDS f ON f.RDB$FIELD_SOURCE = c.name AND f.RDB$RELATION_NAME = :rel
              WHERE c.kind = 3)
          SELECT FIRST 1 TRIM(what) || ' ' || name FROM named WHERE POSITION('|' || name || '|' IN :words) > 0 ORDER BY name
          INTO why DO
        why = 'by its expression, which names ' || why;
      IF (why IS NOT NULL) THEN BEGIN
        leave = IIF(POSITION('|' || UPPER(ix) || '|' IN left_alone) > 0, 1, 0);
        SUSPEND;
      END
    END
  END

  -- The values of an index's expression for which reading through the index finds other
  -- rows than reading the table: keys computed by another module, or before a function
  -- changed. n: how many such values, 0 when the keys are those the expression gives now,
  -- NULL when the index could not be read so. It reads every row once, and looks each
  -- value up through the index (the table is read in its own order: read through the
  -- index, a row whose key is stale is skipped). autonomous = 1: in a transaction of its own, which sees
  -- what the index step committed.
  DECLARE PROCEDURE stale_keys (ix VARCHAR(63), autonomous SMALLINT) RETURNS (n INTEGER) AS
    DECLARE tab VARCHAR(130);
    DECLARE e VARCHAR(3000);
    DECLARE q VARCHAR(7000);
  BEGIN
    SELECT TRIM(RDB$RELATION_NAME), CAST(SUBSTRING(RDB$EXPRESSION_SOURCE FROM 1 FOR 3000) AS VARCHAR(3000))
      FROM RDB$INDICES WHERE RDB$INDEX_NAME = :ix INTO tab, e;
    IF ((SELECT MON$SQL_DIALECT FROM MON$DATABASE) = 3) THEN BEGIN
      tab = '"' || REPLACE(tab, '"', '""') || '"';
      ix = '"' || REPLACE(ix, '"', '""') || '"';
    END
    q = 'SELECT COUNT(*) FROM (SELECT (' || e || ') AS v, COUNT(*) AS n FROM ' || tab
      || ' GROUP BY 1 PLAN (' || tab || ' NATURAL)) a'
      || ' WHERE a.n <> (SELECT COUNT(*) FROM ' || tab || ' WHERE (' || e || ') IS NOT DISTINCT FROM a.v'
      || ' PLAN (' || tab || ' INDEX (' || ix || ')))';
    n = NULL;
    BEGIN
      IF (autonomous = 1) THEN EXECUTE STATEMENT q WITH AUTONOMOUS TRANSACTION INTO n;
      ELSE EXECUTE STATEMENT q INTO n;
      WHEN ANY DO n = NULL;
    END
    SUSPEND;
  END

  -- A refusal in a sentence of its own, raised as the exception ARDUDF_REFUSED: created for
  -- the moment it is raised, the error undoes its creation with the rest of the statement.
  -- Where it cannot be created (a user without the right, a read-only database), the
  -- sentence comes as the text of a conversion error.
  DECLARE PROCEDURE refuse (message VARCHAR(400)) AS
    DECLARE n INTEGER;
  BEGIN
    BEGIN
      EXECUTE STATEMENT 'CREATE EXCEPTION ardudf_refused ''ardudf refused''';
      WHEN ANY DO n = CAST(message AS INTEGER);
    END
    EXECUTE STATEMENT 'EXECUTE BLOCK AS BEGIN EXCEPTION ardudf_refused '''
      || REPLACE(message, '''', '''''') || '''; END';
  END

  DECLARE ix VARCHAR(63);
  DECLARE inactive SMALLINT;
  DECLARE leave SMALLINT;
  DECLARE why VARCHAR(400);
  DECLARE rebuild_all SMALLINT;
  DECLARE stale INTEGER;
  DECLARE failed VARCHAR(63);
  DECLARE n_failed INTEGER = 0;
  DECLARE n INTEGER = 0;
BEGIN
  rebuild_all = IIF(RDB$GET_CONTEXT('USER_SESSION', 'ARDUDF_REBUILD') = '1', 1, 0);
  RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_REBUILD', NULL);
  FOR SELECT ix, MAX(inactive), MIN(why), MAX(leave) FROM indexes(NULL) GROUP BY ix ORDER BY ix
      INTO ix, inactive, why, leave DO BEGIN
    ardudf_legacy_to_udr = NULL;
    IF (leave = 1) THEN
      ardudf_legacy_to_udr = 'index left as it is, as ARDUDF_LEAVE_INDEXES asks: ' || ix
        || IIF(inactive = 1, ' (inactive)', '');
    ELSE IF (inactive = 1) THEN
      -- The move names each index it deactivated to rebuild.
      ardudf_legacy_to_udr = 'index ' || TRIM(IIF(RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_REBUILT ' || ix, NULL) = 1,
        'rebuilt', 'activated')) || ': ' || ix;
    ELSE IF (rebuild_all = 1) THEN
      ardudf_legacy_to_udr = 'index rebuilt: ' || ix;
    ELSE BEGIN
      SELECT n FROM stale_keys(:ix, 1) INTO stale;
      IF (stale IS DISTINCT FROM 0) THEN
        ardudf_legacy_to_udr = 'index rebuilt, '
          || COALESCE(stale || ' of its keys were stale', 'its keys could not be read') || ': ' || ix;
    END
    IF (ardudf_legacy_to_udr IS NOT NULL AND leave = 0) THEN BEGIN
      BEGIN
        EXECUTE STATEMENT 'ALTER INDEX ' || ident(ix) || ' ACTIVE' WITH AUTONOMOUS TRANSACTION;
        n = n + 1;
        WHEN ANY DO BEGIN
          ardudf_legacy_to_udr = 'index not built: ' || ix || ' (' || why || '); '
            || 'the engine''s error for it ends this step';
          failed = COALESCE(failed, ix);
          n_failed = n_failed + 1;
        END
      END
    END
    IF (ardudf_legacy_to_udr IS NOT NULL) THEN SUSPEND;
  END
  IF (n_failed > 0) THEN BEGIN
    ardudf_legacy_to_udr = n || ' index(es) built, ' || n_failed || ' not: run this script again once '
      || 'the engine''s error below is dealt with, or name the index in ARDUDF_LEAVE_INDEXES '
      || '(docs/migration.md)';
    SUSPEND;
    -- The engine's own words for the first one.
    EXECUTE STATEMENT 'ALTER INDEX ' || ident(failed) || ' ACTIVE' WITH AUTONOMOUS TRANSACTION;
    EXECUTE PROCEDURE refuse('the index step did not build ' || failed || ' and ' || (n_failed - 1) || ' other(s)');
  END
  IF (n = 0) THEN BEGIN
    ardudf_legacy_to_udr = 'no index to rebuild or activate';
    SUSPEND;
  END
END^
COMMIT^
SET TERM ; ^
