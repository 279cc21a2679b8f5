-- ardudf 1.1.0: checks a database on ardudf's UDR module, after the move in place or
-- an upgrade, and changes nothing. Generated from src/catalogue/catalogue.h and
-- tools/catalogue/templates by ardudf_catalogue; do not edit.
-- It looks for a declaration of ardudf's legacy module left under any name and for an
-- inactive index that calls the functions, and calls every function declared on the UDR
-- module once, with plain arguments. Each problem is a row; with any, the script ends in
-- an error, so that a shell sees it in isql's exit status.
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS (ardudf_check VARCHAR(400)) AS
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
  -- ardudf's UDR module, directly or through a PSQL function, a package or a computed column.
  -- A restore into an engine that could not compute such an index leaves it inactive and
  -- without the dependencies the engine records for a built one: it is found by its
  -- expression's text, which names the function or a routine or column that calls it.
  -- (Firebird 5 marks such an index 3, not 1: any state but 0 is inactive.)
  DECLARE PROCEDURE indexes (fn VARCHAR(63)) RETURNS (ix VARCHAR(63), inactive SMALLINT) AS
  BEGIN
    FOR WITH RECURSIVE seeds (name) AS (
          SELECT RDB$FUNCTION_NAME FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL
            AND (RDB$FUNCTION_NAME = :fn OR (:fn IS NULL AND RDB$ENTRYPOINT STARTING WITH 'ardudf_udr!'))),
        calls (name, kind, depth) AS (
          SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, 1 FROM seeds s JOIN RDB$DEPENDENCIES d
            ON d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$DEPENDED_ON_NAME = s.name
          UNION ALL
          SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, c.depth + 1 FROM calls c JOIN RDB$DEPENDENCIES d
            ON (c.kind IN (5, 15) AND d.RDB$DEPENDED_ON_TYPE = c.kind AND d.RDB$DEPENDED_ON_NAME = c.name)
            OR (c.kind IN (18, 19) AND d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$PACKAGE_NAME = c.name)
            OR (c.kind = 3 AND d.RDB$DEPENDED_ON_TYPE = 0 AND EXISTS (SELECT 1 FROM RDB$RELATION_FIELDS f
                WHERE f.RDB$FIELD_SOURCE = c.name AND f.RDB$RELATION_NAME = d.RDB$DEPENDED_ON_NAME
                  AND f.RDB$FIELD_NAME = d.RDB$FIELD_NAME))
            WHERE c.depth < 16),
        named (name) AS (
          SELECT TRIM(name) FROM seeds
          UNION SELECT TRIM(name) FROM calls WHERE kind IN (5, 15, 18, 19)
          UNION SELECT TRIM(f.RDB$FIELD_NAME) FROM calls c JOIN RDB$RELATION_FIELDS f ON f.RDB$FIELD_SOURCE = c.name
            WHERE c.kind = 3)
        SELECT TRIM(i.RDB$INDEX_NAME), IIF(COALESCE(i.RDB$INDEX_INACTIVE, 0) = 0, 0, 1)
          FROM calls c JOIN RDB$INDICES i ON i.RDB$INDEX_NAME = c.name WHERE c.kind = 6
        UNION
        SELECT TRIM(i.RDB$INDEX_NAME), 1 FROM RDB$INDICES i
          WHERE COALESCE(i.RDB$INDEX_INACTIVE, 0) <> 0 AND i.RDB$EXPRESSION_SOURCE IS NOT NULL
            AND NOT EXISTS (SELECT 1 FROM RDB$DEPENDENCIES d
              WHERE d.RDB$DEPENDENT_NAME = i.RDB$INDEX_NAME AND d.RDB$DEPENDENT_TYPE = 6)
            AND EXISTS (SELECT 1 FROM named n WHERE i.RDB$EXPRESSION_SOURCE CONTAINING n.name)
        INTO ix, inactive DO SUSPEND;
  END
  DECLARE problems INTEGER = 0;
  DECLARE answered INTEGER = 0;
  DECLARE fn VARCHAR(63);
  DECLARE state CHAR(1);
  DECLARE entry VARCHAR(63);
  DECLARE sample VARCHAR(100);
  DECLARE ix VARCHAR(63);
  DECLARE inactive SMALLINT;
  DECLARE one SMALLINT;
BEGIN
  FOR SELECT name, state, entry, sample FROM declarations INTO fn, state, entry, sample DO BEGIN
    IF (state IN ('L', 'B')) THEN BEGIN
      ardudf_check = 'problem: ' || fn || ' is declared on the legacy module (' || entry || ')';
      SUSPEND;
      problems = problems + 1;
    END
    ELSE IF (state IN ('M', 'U') AND sample IS NULL) THEN BEGIN
      ardudf_check = 'problem: ' || fn || ' calls ' || entry || ', which ardudf 1.1.0 does not have';
      SUSPEND;
      problems = problems + 1;
    END
    ELSE IF (state IN ('M', 'U')) THEN BEGIN
      one = NULL;
      BEGIN
        EXECUTE STATEMENT 'SELECT IIF(' || ident(fn) || '(' || sample || ') IS NULL, 0, 1) FROM RDB$DATABASE' INTO one;
        WHEN ANY DO one = NULL;
      END
      IF (one IS NULL) THEN BEGIN
        ardudf_check = 'problem: ' || fn || ' does not answer a call (' || fn || '(' || sample || '))';
        SUSPEND;
        problems = problems + 1;
      END
      ELSE answered = answered + 1;
    END
  END
  FOR SELECT ix FROM indexes(NULL) WHERE inactive = 1 ORDER BY ix INTO ix DO BEGIN
    ardudf_check = 'problem: index ' || ix || ' calls the functions and is inactive '
      || '(sql/ardudf_udr_indexes.sql activates it)';
    SUSPEND;
    problems = problems + 1;
  END
  IF (problems > 0) THEN one = CAST('ardudf_udr_check.sql: ' || problems || ' problem(s)' AS INTEGER);
  ardudf_check = 'ok: ' || answered || ' function(s) of the UDR module answer; no legacy declaration of ardudf, '
    || 'no inactive index calls them';
  SUSPEND;
END^
SET TERM ; ^
