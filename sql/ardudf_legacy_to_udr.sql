-- ardudf 1.1.0: moves a database declared with sql/ardudf.sql (the legacy module 'ardudf')
-- to the UDR module 'ardudf_udr' in place. Generated from src/catalogue/catalogue.h by
-- ardudf_catalogue; do not edit. docs/migration.md gives the steps around it.
--
-- In one transaction it redeclares each of the 42 functions under its name, with the same
-- arguments in the same order and its texts as wide as this database declared them (a UDR
-- text holds at most 32765 bytes, a CSTRING 32767), as 'ardudf_udr!NAME!legacy_nulls': a NULL
-- argument is read as the legacy module reads it, the empty text or 0, so every procedure,
-- trigger, view, computed column, CHECK and index that calls them gives the results it gave.
-- It declares the procedure ib_scbwalk beside them, commits, and then rebuilds each active
-- index whose expression calls a function it moved (directly, or through a PSQL routine or
-- a computed column), so that no key the legacy module computed stays behind.
-- It changes nothing, and says why, while another attachment is connected to the database
-- or when a routine of these names is not ardudf's. Run again, it says there is nothing
-- left to move; a function already on the UDR module is left as it is.
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS (ardudf_legacy_to_udr VARCHAR(1000)) AS
  DECLARE n INTEGER;
  DECLARE states VARCHAR(64) = '';
  DECLARE st CHAR(1);
  DECLARE n_moved INTEGER = 0;
  DECLARE n_udr INTEGER = 0;
  DECLARE missing VARCHAR(2000) = '';
  DECLARE walk VARCHAR(100) = '';
  -- L: ardudf's legacy declaration with the arguments of the catalogue (kinds: the result's,
  -- then each argument's: T text, I integer, D double); U: on ardudf_udr already; -: not
  -- declared; A: ardudf's legacy module with other arguments; X: another routine's.
  DECLARE FUNCTION state (fn VARCHAR(63), kinds VARCHAR(5)) RETURNS CHAR(1) AS
    DECLARE engine VARCHAR(63);
    DECLARE entry VARCHAR(255);
    DECLARE module VARCHAR(255);
    DECLARE ret SMALLINT;
    DECLARE declared VARCHAR(10) = '';
    DECLARE k CHAR(1);
  BEGIN
    SELECT TRIM(RDB$ENGINE_NAME), TRIM(RDB$ENTRYPOINT), TRIM(RDB$MODULE_NAME), RDB$RETURN_ARGUMENT
      FROM RDB$FUNCTIONS WHERE RDB$FUNCTION_NAME = :fn AND RDB$PACKAGE_NAME IS NULL
      INTO engine, entry, module, ret;
    IF (ROW_COUNT = 0) THEN RETURN '-';
    IF (engine = 'UDR' AND entry STARTING WITH 'ardudf_udr!') THEN RETURN 'U';
    IF (engine IS NOT NULL OR module IS NULL OR UPPER(entry) <> fn OR ret <> 0) THEN RETURN 'X';
    FOR SELECT CASE RDB$FIELD_TYPE WHEN 40 THEN 'T' WHEN 8 THEN 'I' WHEN 27 THEN 'D' ELSE '?' END
        FROM RDB$FUNCTION_ARGUMENTS WHERE RDB$FUNCTION_NAME = :fn AND RDB$PACKAGE_NAME IS NULL
        ORDER BY RDB$ARGUMENT_POSITION INTO k DO declared = declared || k;
    RETURN IIF(declared = kinds, 'L', 'A');
  END
  -- Argument pos (0: the result) as the UDR declaration takes it: a CSTRING(n) held n bytes,
  -- a VARCHAR(n) holds as many, up to the 32765 bytes of the widest.
  DECLARE FUNCTION udr_type (fn VARCHAR(63), pos SMALLINT) RETURNS VARCHAR(100) AS
    DECLARE ftype SMALLINT;
    DECLARE len INTEGER;
    DECLARE cs SMALLINT;
    DECLARE csname VARCHAR(63);
    DECLARE per SMALLINT;
  BEGIN
    SELECT RDB$FIELD_TYPE, RDB$FIELD_LENGTH, RDB$CHARACTER_SET_ID FROM RDB$FUNCTION_ARGUMENTS
      WHERE RDB$FUNCTION_NAME = :fn AND RDB$PACKAGE_NAME IS NULL AND RDB$ARGUMENT_POSITION = :pos
      INTO ftype, len, cs;
    IF (ftype = 8) THEN RETURN 'INTEGER';
    IF (ftype = 27) THEN RETURN 'DOUBLE PRECISION';
    SELECT TRIM(RDB$CHARACTER_SET_NAME), RDB$BYTES_PER_CHARACTER FROM RDB$CHARACTER_SETS
      WHERE RDB$CHARACTER_SET_ID = COALESCE(:cs, 0) INTO csname, per;
    RETURN 'VARCHAR(' || (MINVALUE(len, 32765) / per) || ') CHARACTER SET ' || csname;
  END
BEGIN
  -- Other attachments would go on with the legacy declarations they have loaded (and a
  -- Firebird 3 engine can hang or crash when a function changes under them).
  FOR SELECT 'nothing changed: attachment ' || MON$ATTACHMENT_ID || ' (' || TRIM(COALESCE(MON$USER, '')) || ', '
        || COALESCE(MON$REMOTE_PROCESS, MON$REMOTE_ADDRESS, 'embedded') || ') is connected to this database too; '
        || 'shut the database down to one attachment (gfix -shut single -force 0) and run this again'
      FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION AND MON$SYSTEM_FLAG = 0
      INTO ardudf_legacy_to_udr DO SUSPEND;
  IF (ROW_COUNT > 0) THEN n = CAST('ardudf_legacy_to_udr.sql: nothing changed' AS INTEGER);

  -- What each function is declared as, one mark each in the catalogue's order.
  st = state('IB_STRING_LENGTH', 'IT');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_STRING_LENGTH is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_STRING_LENGTH is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_STRING_LEFT', 'TTI');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_STRING_LEFT is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_STRING_LEFT is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_STRING_RIGHT', 'TTI');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_STRING_RIGHT is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_STRING_RIGHT is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_LPAD', 'TTIT');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_LPAD is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_LPAD is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_REVERSESTRING', 'TT');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_REVERSESTRING is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_REVERSESTRING is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_QUOTE_LITERAL', 'TT');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_QUOTE_LITERAL is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_QUOTE_LITERAL is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_UNIQUEID', 'TI');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_UNIQUEID is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_UNIQUEID is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_ISNOTNULL', 'TT');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_ISNOTNULL is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_ISNOTNULL is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_CONVCHARTOINT', 'IT');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_CONVCHARTOINT is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_CONVCHARTOINT is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_GREATEST', 'DDD');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_GREATEST is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_GREATEST is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_LEAST', 'DDD');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_LEAST is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_LEAST is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_FIND_TOKEN', 'ITT');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_FIND_TOKEN is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_FIND_TOKEN is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_GET_TOKEN', 'TTT');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_GET_TOKEN is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_GET_TOKEN is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_DELETE_TOKEN', 'TTT');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DELETE_TOKEN is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DELETE_TOKEN is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_GETS_U2_PREFIX', 'TTT');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_GETS_U2_PREFIX is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_GETS_U2_PREFIX is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_GETS_U_PREFIX', 'TT');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_GETS_U_PREFIX is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_GETS_U_PREFIX is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_CORRECT_PHONE_NUMBER', 'TT');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_CORRECT_PHONE_NUMBER is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_CORRECT_PHONE_NUMBER is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_REMOVE_DIACRITICS', 'TT');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_REMOVE_DIACRITICS is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_REMOVE_DIACRITICS is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_DAYOFWEEK', 'ID');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DAYOFWEEK is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DAYOFWEEK is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_DECODEDATE_YEAR', 'ID');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DECODEDATE_YEAR is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DECODEDATE_YEAR is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_DECODEDATE_MONTH', 'ID');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DECODEDATE_MONTH is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DECODEDATE_MONTH is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_DECODEDATE_DAY', 'ID');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DECODEDATE_DAY is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DECODEDATE_DAY is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_DECODETIME_HOUR', 'ID');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DECODETIME_HOUR is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DECODETIME_HOUR is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_DECODETIME_MIN', 'ID');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DECODETIME_MIN is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DECODETIME_MIN is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_DECODETIME_SEC', 'ID');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DECODETIME_SEC is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DECODETIME_SEC is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_ENCODEDATE', 'DIII');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_ENCODEDATE is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_ENCODEDATE is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_ISLEAPYEAR', 'II');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_ISLEAPYEAR is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_ISLEAPYEAR is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_ENDOFDECADE', 'DD');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_ENDOFDECADE is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_ENDOFDECADE is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_CURRENT_TIME', 'D');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_CURRENT_TIME is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_CURRENT_TIME is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_DATETOSTRING', 'TDT');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DATETOSTRING is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_DATETOSTRING is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_SCBCREATE', 'I');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBCREATE is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBCREATE is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_SCBADDROW', 'IITDD');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBADDROW is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBADDROW is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_SCBSTARTCREDITNOTE', 'II');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBSTARTCREDITNOTE is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBSTARTCREDITNOTE is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_SCBISAFFECTEDROWS', 'II');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBISAFFECTEDROWS is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBISAFFECTEDROWS is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_SCBREADTYPE', 'TI');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBREADTYPE is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBREADTYPE is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_SCBREADAMOUNT', 'DI');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBREADAMOUNT is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBREADAMOUNT is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_SCBREADVAT', 'DI');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBREADVAT is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBREADVAT is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_SCBCLEAR', 'II');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBCLEAR is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBCLEAR is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_SCBFREE', 'II');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBFREE is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBFREE is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_SCBADDPAYMENT', 'IID');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBADDPAYMENT is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBADDPAYMENT is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('IB_SCBADDCREDITNOTE', 'IITDD');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBADDCREDITNOTE is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: IB_SCBADDCREDITNOTE is declared, but not as a function of ardudf';
    SUSPEND;
  END
  st = state('ARDUDF_VERSION', 'T');
  states = states || st;
  IF (st = 'A') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: ARDUDF_VERSION is declared with other arguments than ardudf''s';
    SUSPEND;
  END
  IF (st = 'X') THEN BEGIN
    ardudf_legacy_to_udr = 'nothing changed: ARDUDF_VERSION is declared, but not as a function of ardudf';
    SUSPEND;
  END
  IF (states CONTAINING 'A' OR states CONTAINING 'X') THEN
    n = CAST('ardudf_legacy_to_udr.sql: nothing changed' AS INTEGER);

  -- Each legacy declaration redeclared for the UDR module.
  st = SUBSTRING(states FROM 1 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_string_length (text ' || udr_type('IB_STRING_LENGTH', 1) || ') RETURNS ' || udr_type('IB_STRING_LENGTH', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_string_length!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_string_length IS ''length of a text in bytes (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_string_length';
  st = SUBSTRING(states FROM 2 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_string_left (text ' || udr_type('IB_STRING_LEFT', 1) || ', len ' || udr_type('IB_STRING_LEFT', 2) || ') RETURNS ' || udr_type('IB_STRING_LEFT', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_string_left!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_string_left IS ''the first len bytes of a text (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_string_left';
  st = SUBSTRING(states FROM 3 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_string_right (text ' || udr_type('IB_STRING_RIGHT', 1) || ', len ' || udr_type('IB_STRING_RIGHT', 2) || ') RETURNS ' || udr_type('IB_STRING_RIGHT', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_string_right!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_string_right IS ''the last len bytes of a text (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_string_right';
  st = SUBSTRING(states FROM 4 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_lpad (text ' || udr_type('IB_LPAD', 1) || ', len ' || udr_type('IB_LPAD', 2) || ', pad ' || udr_type('IB_LPAD', 3) || ') RETURNS ' || udr_type('IB_LPAD', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_lpad!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_lpad IS ''a text padded on the left to a length (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_lpad';
  st = SUBSTRING(states FROM 5 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_reversestring (text ' || udr_type('IB_REVERSESTRING', 1) || ') RETURNS ' || udr_type('IB_REVERSESTRING', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_reversestring!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_reversestring IS ''the bytes of a text in reverse order (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_reversestring';
  st = SUBSTRING(states FROM 6 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_quote_literal (text ' || udr_type('IB_QUOTE_LITERAL', 1) || ') RETURNS ' || udr_type('IB_QUOTE_LITERAL', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_quote_literal!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_quote_literal IS ''a text as an SQL string literal (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_quote_literal';
  st = SUBSTRING(states FROM 7 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_uniqueid (len ' || udr_type('IB_UNIQUEID', 1) || ') RETURNS ' || udr_type('IB_UNIQUEID', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_uniqueid!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_uniqueid IS ''len random characters from 0-9 and A-Z (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_uniqueid';
  st = SUBSTRING(states FROM 8 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_isnotnull (text ' || udr_type('IB_ISNOTNULL', 1) || ') RETURNS ' || udr_type('IB_ISNOTNULL', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_isnotnull!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_isnotnull IS ''A for a non-empty text, N for an empty one (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_isnotnull';
  st = SUBSTRING(states FROM 9 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_convchartoint (text ' || udr_type('IB_CONVCHARTOINT', 1) || ') RETURNS ' || udr_type('IB_CONVCHARTOINT', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_convchartoint!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_convchartoint IS ''the decimal number at the start of a text (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_convchartoint';
  st = SUBSTRING(states FROM 10 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_greatest (a ' || udr_type('IB_GREATEST', 1) || ', b ' || udr_type('IB_GREATEST', 2) || ') RETURNS ' || udr_type('IB_GREATEST', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_greatest!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_greatest IS ''the greater of two numbers (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_greatest';
  st = SUBSTRING(states FROM 11 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_least (a ' || udr_type('IB_LEAST', 1) || ', b ' || udr_type('IB_LEAST', 2) || ') RETURNS ' || udr_type('IB_LEAST', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_least!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_least IS ''the lesser of two numbers (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_least';
  st = SUBSTRING(states FROM 12 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_find_token (text ' || udr_type('IB_FIND_TOKEN', 1) || ', part ' || udr_type('IB_FIND_TOKEN', 2) || ') RETURNS ' || udr_type('IB_FIND_TOKEN', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_find_token!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_find_token IS ''1-based position of a part in a text, 0 if absent (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_find_token';
  st = SUBSTRING(states FROM 13 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_get_token (text ' || udr_type('IB_GET_TOKEN', 1) || ', delimiters ' || udr_type('IB_GET_TOKEN', 2) || ') RETURNS ' || udr_type('IB_GET_TOKEN', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_get_token!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_get_token IS ''the first token of a delimited text (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_get_token';
  st = SUBSTRING(states FROM 14 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_delete_token (text ' || udr_type('IB_DELETE_TOKEN', 1) || ', delimiters ' || udr_type('IB_DELETE_TOKEN', 2) || ') RETURNS ' || udr_type('IB_DELETE_TOKEN', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_delete_token!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_delete_token IS ''what follows the first token (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_delete_token';
  st = SUBSTRING(states FROM 15 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_gets_u2_prefix (flag1 ' || udr_type('IB_GETS_U2_PREFIX', 1) || ', flag2 ' || udr_type('IB_GETS_U2_PREFIX', 2) || ') RETURNS ' || udr_type('IB_GETS_U2_PREFIX', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_gets_u2_prefix!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_gets_u2_prefix IS ''a two-character prefix code from two flags (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_gets_u2_prefix';
  st = SUBSTRING(states FROM 16 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_gets_u_prefix (flag ' || udr_type('IB_GETS_U_PREFIX', 1) || ') RETURNS ' || udr_type('IB_GETS_U_PREFIX', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_gets_u_prefix!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_gets_u_prefix IS ''a two-character prefix code from one flag (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_gets_u_prefix';
  st = SUBSTRING(states FROM 17 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_correct_phone_number (text ' || udr_type('IB_CORRECT_PHONE_NUMBER', 1) || ') RETURNS ' || udr_type('IB_CORRECT_PHONE_NUMBER', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_correct_phone_number!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_correct_phone_number IS ''the digits of a text (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_correct_phone_number';
  st = SUBSTRING(states FROM 18 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_remove_diacritics (text ' || udr_type('IB_REMOVE_DIACRITICS', 1) || ') RETURNS ' || udr_type('IB_REMOVE_DIACRITICS', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_remove_diacritics!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_remove_diacritics IS ''Windows-1250 accented letters made plain (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_remove_diacritics';
  st = SUBSTRING(states FROM 19 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_dayofweek (serial ' || udr_type('IB_DAYOFWEEK', 1) || ') RETURNS ' || udr_type('IB_DAYOFWEEK', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_dayofweek!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_dayofweek IS ''day of the week, 1 = Sunday to 7 = Saturday (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_dayofweek';
  st = SUBSTRING(states FROM 20 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_decodedate_year (serial ' || udr_type('IB_DECODEDATE_YEAR', 1) || ') RETURNS ' || udr_type('IB_DECODEDATE_YEAR', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_decodedate_year!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_decodedate_year IS ''year of a day serial (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_decodedate_year';
  st = SUBSTRING(states FROM 21 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_decodedate_month (serial ' || udr_type('IB_DECODEDATE_MONTH', 1) || ') RETURNS ' || udr_type('IB_DECODEDATE_MONTH', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_decodedate_month!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_decodedate_month IS ''month of a day serial (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_decodedate_month';
  st = SUBSTRING(states FROM 22 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_decodedate_day (serial ' || udr_type('IB_DECODEDATE_DAY', 1) || ') RETURNS ' || udr_type('IB_DECODEDATE_DAY', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_decodedate_day!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_decodedate_day IS ''day of the month of a day serial (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_decodedate_day';
  st = SUBSTRING(states FROM 23 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_decodetime_hour (serial ' || udr_type('IB_DECODETIME_HOUR', 1) || ') RETURNS ' || udr_type('IB_DECODETIME_HOUR', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_decodetime_hour!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_decodetime_hour IS ''hour of a day serial (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_decodetime_hour';
  st = SUBSTRING(states FROM 24 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_decodetime_min (serial ' || udr_type('IB_DECODETIME_MIN', 1) || ') RETURNS ' || udr_type('IB_DECODETIME_MIN', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_decodetime_min!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_decodetime_min IS ''minute of a day serial (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_decodetime_min';
  st = SUBSTRING(states FROM 25 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_decodetime_sec (serial ' || udr_type('IB_DECODETIME_SEC', 1) || ') RETURNS ' || udr_type('IB_DECODETIME_SEC', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_decodetime_sec!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_decodetime_sec IS ''second of a day serial (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_decodetime_sec';
  st = SUBSTRING(states FROM 26 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_encodedate (year_num ' || udr_type('IB_ENCODEDATE', 1) || ', month_num ' || udr_type('IB_ENCODEDATE', 2) || ', day_num ' || udr_type('IB_ENCODEDATE', 3) || ') RETURNS ' || udr_type('IB_ENCODEDATE', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_encodedate!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_encodedate IS ''day serial of a year, month and day (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_encodedate';
  st = SUBSTRING(states FROM 27 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_isleapyear (year_num ' || udr_type('IB_ISLEAPYEAR', 1) || ') RETURNS ' || udr_type('IB_ISLEAPYEAR', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_isleapyear!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_isleapyear IS ''1 for a leap year, else 0 (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_isleapyear';
  st = SUBSTRING(states FROM 28 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_endofdecade (serial ' || udr_type('IB_ENDOFDECADE', 1) || ') RETURNS ' || udr_type('IB_ENDOFDECADE', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_endofdecade!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_endofdecade IS ''first day after the ten-day period of a date (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_endofdecade';
  st = SUBSTRING(states FROM 29 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_current_time () RETURNS ' || udr_type('IB_CURRENT_TIME', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_current_time!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_current_time IS ''current local date and time as a day serial (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_current_time';
  st = SUBSTRING(states FROM 30 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_datetostring (serial ' || udr_type('IB_DATETOSTRING', 1) || ', pattern ' || udr_type('IB_DATETOSTRING', 2) || ') RETURNS ' || udr_type('IB_DATETOSTRING', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_datetostring!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_datetostring IS ''a date formatted by a pattern (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_datetostring';
  st = SUBSTRING(states FROM 31 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_scbcreate () RETURNS ' || udr_type('IB_SCBCREATE', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_scbcreate!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_scbcreate IS ''handle of a new balance context (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_scbcreate';
  st = SUBSTRING(states FROM 32 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_scbaddrow (handle ' || udr_type('IB_SCBADDROW', 1) || ', row_type ' || udr_type('IB_SCBADDROW', 2) || ', amount ' || udr_type('IB_SCBADDROW', 3) || ', vat ' || udr_type('IB_SCBADDROW', 4) || ') RETURNS ' || udr_type('IB_SCBADDROW', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_scbaddrow!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_scbaddrow IS ''adds an amount row and its VAT (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_scbaddrow';
  st = SUBSTRING(states FROM 33 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_scbstartcreditnote (handle ' || udr_type('IB_SCBSTARTCREDITNOTE', 1) || ') RETURNS ' || udr_type('IB_SCBSTARTCREDITNOTE', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_scbstartcreditnote!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_scbstartcreditnote IS ''always 1; kept for older callers (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_scbstartcreditnote';
  st = SUBSTRING(states FROM 34 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_scbisaffectedrows (handle ' || udr_type('IB_SCBISAFFECTEDROWS', 1) || ') RETURNS ' || udr_type('IB_SCBISAFFECTEDROWS', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_scbisaffectedrows!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_scbisaffectedrows IS ''moves to the next changed row: 1, or 0 at the end (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_scbisaffectedrows';
  st = SUBSTRING(states FROM 35 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_scbreadtype (handle ' || udr_type('IB_SCBREADTYPE', 1) || ') RETURNS ' || udr_type('IB_SCBREADTYPE', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_scbreadtype!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_scbreadtype IS ''type of the current row (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_scbreadtype';
  st = SUBSTRING(states FROM 36 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_scbreadamount (handle ' || udr_type('IB_SCBREADAMOUNT', 1) || ') RETURNS ' || udr_type('IB_SCBREADAMOUNT', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_scbreadamount!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_scbreadamount IS ''amount allocated to the current row (read once) (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_scbreadamount';
  st = SUBSTRING(states FROM 37 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_scbreadvat (handle ' || udr_type('IB_SCBREADVAT', 1) || ') RETURNS ' || udr_type('IB_SCBREADVAT', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_scbreadvat!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_scbreadvat IS ''VAT moved by the last operation (read once) (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_scbreadvat';
  st = SUBSTRING(states FROM 38 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_scbclear (handle ' || udr_type('IB_SCBCLEAR', 1) || ') RETURNS ' || udr_type('IB_SCBCLEAR', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_scbclear!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_scbclear IS ''empties a context (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_scbclear';
  st = SUBSTRING(states FROM 39 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_scbfree (handle ' || udr_type('IB_SCBFREE', 1) || ') RETURNS ' || udr_type('IB_SCBFREE', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_scbfree!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_scbfree IS ''frees a context (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_scbfree';
  st = SUBSTRING(states FROM 40 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_scbaddpayment (handle ' || udr_type('IB_SCBADDPAYMENT', 1) || ', amount ' || udr_type('IB_SCBADDPAYMENT', 2) || ') RETURNS ' || udr_type('IB_SCBADDPAYMENT', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_scbaddpayment!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_scbaddpayment IS ''spreads a payment over VAT and rows (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_scbaddpayment';
  st = SUBSTRING(states FROM 41 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ib_scbaddcreditnote (handle ' || udr_type('IB_SCBADDCREDITNOTE', 1) || ', row_type ' || udr_type('IB_SCBADDCREDITNOTE', 2) || ', amount ' || udr_type('IB_SCBADDCREDITNOTE', 3) || ', vat ' || udr_type('IB_SCBADDCREDITNOTE', 4) || ') RETURNS ' || udr_type('IB_SCBADDCREDITNOTE', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ib_scbaddcreditnote!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ib_scbaddcreditnote IS ''lowers a row and the VAT, spreads what it frees (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ib_scbaddcreditnote';
  st = SUBSTRING(states FROM 42 FOR 1);
  IF (st = 'L') THEN BEGIN
    EXECUTE STATEMENT 'ALTER FUNCTION ardudf_version () RETURNS ' || udr_type('ARDUDF_VERSION', 0)
      || ' EXTERNAL NAME ''ardudf_udr!ardudf_version!legacy_nulls'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON FUNCTION ardudf_version IS ''the release and the kind of the module that answers (ardudf 1.1.0)''';
    n_moved = n_moved + 1;
  END
  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;
  ELSE missing = IIF(missing = '', '', missing || ', ') || 'ardudf_version';

  -- ib_scbwalk, which the UDR module adds
  IF (n_moved > 0 AND NOT EXISTS (SELECT 1 FROM RDB$PROCEDURES
      WHERE RDB$PROCEDURE_NAME = 'IB_SCBWALK' AND RDB$PACKAGE_NAME IS NULL)) THEN BEGIN
    EXECUTE STATEMENT 'CREATE PROCEDURE ib_scbwalk (handle INTEGER) RETURNS (row_type VARCHAR(255) CHARACTER SET NONE, amount DOUBLE PRECISION, vat DOUBLE PRECISION) EXTERNAL NAME ''ardudf_udr!ib_scbwalk'' ENGINE UDR';
    EXECUTE STATEMENT 'COMMENT ON PROCEDURE ib_scbwalk IS ''the rows the last payment or credit note changed, with their type, amount and VAT (ardudf 1.1.0)''';
    walk = '; ib_scbwalk declared';
  END

  RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_MOVED', states);
  IF (n_moved > 0) THEN
    ardudf_legacy_to_udr = n_moved || ' function(s) moved to the UDR module ardudf_udr, reading NULL as the '
      || 'legacy module did' || walk || IIF(n_udr > 0, '; ' || n_udr || ' on ardudf_udr already', '');
  ELSE IF (n_udr > 0) THEN
    ardudf_legacy_to_udr = 'nothing to move, nothing changed: ' || n_udr || ' function(s) on ardudf_udr already';
  ELSE
    ardudf_legacy_to_udr = 'nothing to move, nothing changed: no function of ardudf is declared here';
  IF (missing <> '' AND (n_moved > 0 OR n_udr > 0)) THEN
    ardudf_legacy_to_udr = ardudf_legacy_to_udr || '; not declared, left so: ' || missing;
  SUSPEND;
END^

COMMIT^

-- The indexes: each active one whose expression calls a moved function, found through the
-- dependencies the engine records (an index on a PSQL function or a computed column that
-- calls one counts too), rebuilt with the module that now computes its keys.
EXECUTE BLOCK RETURNS (ardudf_legacy_to_udr VARCHAR(1000)) AS
  DECLARE states VARCHAR(64);
  DECLARE moved VARCHAR(2000) = ',';
  DECLARE ix VARCHAR(63);
  DECLARE rebuilt VARCHAR(800) = '';
  DECLARE n INTEGER = 0;
BEGIN
  states = RDB$GET_CONTEXT('USER_SESSION', 'ARDUDF_MOVED');
  RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_MOVED', NULL);
  IF (COALESCE(states, '') NOT CONTAINING 'L') THEN EXIT;
  IF (SUBSTRING(states FROM 1 FOR 1) = 'L') THEN moved = moved || 'IB_STRING_LENGTH,';
  IF (SUBSTRING(states FROM 2 FOR 1) = 'L') THEN moved = moved || 'IB_STRING_LEFT,';
  IF (SUBSTRING(states FROM 3 FOR 1) = 'L') THEN moved = moved || 'IB_STRING_RIGHT,';
  IF (SUBSTRING(states FROM 4 FOR 1) = 'L') THEN moved = moved || 'IB_LPAD,';
  IF (SUBSTRING(states FROM 5 FOR 1) = 'L') THEN moved = moved || 'IB_REVERSESTRING,';
  IF (SUBSTRING(states FROM 6 FOR 1) = 'L') THEN moved = moved || 'IB_QUOTE_LITERAL,';
  IF (SUBSTRING(states FROM 7 FOR 1) = 'L') THEN moved = moved || 'IB_UNIQUEID,';
  IF (SUBSTRING(states FROM 8 FOR 1) = 'L') THEN moved = moved || 'IB_ISNOTNULL,';
  IF (SUBSTRING(states FROM 9 FOR 1) = 'L') THEN moved = moved || 'IB_CONVCHARTOINT,';
  IF (SUBSTRING(states FROM 10 FOR 1) = 'L') THEN moved = moved || 'IB_GREATEST,';
  IF (SUBSTRING(states FROM 11 FOR 1) = 'L') THEN moved = moved || 'IB_LEAST,';
  IF (SUBSTRING(states FROM 12 FOR 1) = 'L') THEN moved = moved || 'IB_FIND_TOKEN,';
  IF (SUBSTRING(states FROM 13 FOR 1) = 'L') THEN moved = moved || 'IB_GET_TOKEN,';
  IF (SUBSTRING(states FROM 14 FOR 1) = 'L') THEN moved = moved || 'IB_DELETE_TOKEN,';
  IF (SUBSTRING(states FROM 15 FOR 1) = 'L') THEN moved = moved || 'IB_GETS_U2_PREFIX,';
  IF (SUBSTRING(states FROM 16 FOR 1) = 'L') THEN moved = moved || 'IB_GETS_U_PREFIX,';
  IF (SUBSTRING(states FROM 17 FOR 1) = 'L') THEN moved = moved || 'IB_CORRECT_PHONE_NUMBER,';
  IF (SUBSTRING(states FROM 18 FOR 1) = 'L') THEN moved = moved || 'IB_REMOVE_DIACRITICS,';
  IF (SUBSTRING(states FROM 19 FOR 1) = 'L') THEN moved = moved || 'IB_DAYOFWEEK,';
  IF (SUBSTRING(states FROM 20 FOR 1) = 'L') THEN moved = moved || 'IB_DECODEDATE_YEAR,';
  IF (SUBSTRING(states FROM 21 FOR 1) = 'L') THEN moved = moved || 'IB_DECODEDATE_MONTH,';
  IF (SUBSTRING(states FROM 22 FOR 1) = 'L') THEN moved = moved || 'IB_DECODEDATE_DAY,';
  IF (SUBSTRING(states FROM 23 FOR 1) = 'L') THEN moved = moved || 'IB_DECODETIME_HOUR,';
  IF (SUBSTRING(states FROM 24 FOR 1) = 'L') THEN moved = moved || 'IB_DECODETIME_MIN,';
  IF (SUBSTRING(states FROM 25 FOR 1) = 'L') THEN moved = moved || 'IB_DECODETIME_SEC,';
  IF (SUBSTRING(states FROM 26 FOR 1) = 'L') THEN moved = moved || 'IB_ENCODEDATE,';
  IF (SUBSTRING(states FROM 27 FOR 1) = 'L') THEN moved = moved || 'IB_ISLEAPYEAR,';
  IF (SUBSTRING(states FROM 28 FOR 1) = 'L') THEN moved = moved || 'IB_ENDOFDECADE,';
  IF (SUBSTRING(states FROM 29 FOR 1) = 'L') THEN moved = moved || 'IB_CURRENT_TIME,';
  IF (SUBSTRING(states FROM 30 FOR 1) = 'L') THEN moved = moved || 'IB_DATETOSTRING,';
  IF (SUBSTRING(states FROM 31 FOR 1) = 'L') THEN moved = moved || 'IB_SCBCREATE,';
  IF (SUBSTRING(states FROM 32 FOR 1) = 'L') THEN moved = moved || 'IB_SCBADDROW,';
  IF (SUBSTRING(states FROM 33 FOR 1) = 'L') THEN moved = moved || 'IB_SCBSTARTCREDITNOTE,';
  IF (SUBSTRING(states FROM 34 FOR 1) = 'L') THEN moved = moved || 'IB_SCBISAFFECTEDROWS,';
  IF (SUBSTRING(states FROM 35 FOR 1) = 'L') THEN moved = moved || 'IB_SCBREADTYPE,';
  IF (SUBSTRING(states FROM 36 FOR 1) = 'L') THEN moved = moved || 'IB_SCBREADAMOUNT,';
  IF (SUBSTRING(states FROM 37 FOR 1) = 'L') THEN moved = moved || 'IB_SCBREADVAT,';
  IF (SUBSTRING(states FROM 38 FOR 1) = 'L') THEN moved = moved || 'IB_SCBCLEAR,';
  IF (SUBSTRING(states FROM 39 FOR 1) = 'L') THEN moved = moved || 'IB_SCBFREE,';
  IF (SUBSTRING(states FROM 40 FOR 1) = 'L') THEN moved = moved || 'IB_SCBADDPAYMENT,';
  IF (SUBSTRING(states FROM 41 FOR 1) = 'L') THEN moved = moved || 'IB_SCBADDCREDITNOTE,';
  IF (SUBSTRING(states FROM 42 FOR 1) = 'L') THEN moved = moved || 'ARDUDF_VERSION,';
  FOR WITH RECURSIVE callers (name, kind, depth) AS (
        SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, 1 FROM RDB$DEPENDENCIES d
          WHERE d.RDB$DEPENDED_ON_TYPE = 15 AND :moved CONTAINING ',' || TRIM(d.RDB$DEPENDED_ON_NAME) || ','
        UNION ALL
        SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, c.depth + 1 FROM callers c JOIN RDB$DEPENDENCIES d
          ON (c.kind IN (5, 15) AND d.RDB$DEPENDED_ON_TYPE = c.kind AND d.RDB$DEPENDED_ON_NAME = c.name)
          OR (c.kind IN (18, 19) AND d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$PACKAGE_NAME = c.name)
          OR (c.kind = 3 AND d.RDB$DEPENDED_ON_TYPE = 0 AND EXISTS (SELECT 1 FROM RDB$RELATION_FIELDS f
              WHERE f.RDB$FIELD_SOURCE = c.name AND f.RDB$RELATION_NAME = d.RDB$DEPENDED_ON_NAME
                AND f.RDB$FIELD_NAME = d.RDB$FIELD_NAME))
          WHERE c.depth < 16)
      SELECT DISTINCT TRIM(i.RDB$INDEX_NAME) FROM callers c JOIN RDB$INDICES i ON i.RDB$INDEX_NAME = c.name
        WHERE c.kind = 6 AND COALESCE(i.RDB$INDEX_INACTIVE, 0) = 0
      INTO ix DO BEGIN
    -- ACTIVE on an active index builds it anew.
    EXECUTE STATEMENT 'ALTER INDEX "' || REPLACE(ix, '"', '""') || '" ACTIVE';
    n = n + 1;
    IF (n <= 20) THEN rebuilt = IIF(n > 1, rebuilt || ', ', '') || ix;
  END
  ardudf_legacy_to_udr = IIF(n = 0, 'no index calls the moved functions',
    n || ' index(es) rebuilt: ' || rebuilt || IIF(n > 20, ', ...', ''));
  SUSPEND;
END^

COMMIT^
SET TERM ; ^
