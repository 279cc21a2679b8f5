  -- ---- what the database declares, as ardudf sees it (shared by the move, its preview and
  -- ---- the check after it; in Firebird 3 a routine of a block cannot call another) ----

{{> ident.sql}}

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
{{catalogue}}
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
        state = IIF(ext_name LIKE '%!{{option}}', 'M', 'U');
        IF (entry IS NULL) THEN entry = SUBSTRING(ext_name FROM 12);
      END
      -- ardudf's legacy module, however the declaration names it: ardudf, ardudf.so or
      -- ardudf.dll, in any case, after any folder.
      IF (state IS NULL AND engine IS NULL AND LOWER(module) SIMILAR TO {{ardudf_module}}) THEN BEGIN
        declared = '';
        FOR SELECT CASE RDB$FIELD_TYPE WHEN 40 THEN 'T' WHEN 8 THEN 'I' WHEN 27 THEN 'D' ELSE '?' END
            FROM RDB$FUNCTION_ARGUMENTS WHERE RDB$FUNCTION_NAME = :name AND RDB$PACKAGE_NAME IS NULL
            ORDER BY RDB$ARGUMENT_POSITION INTO k DO declared = declared || k;
        state = 'L';
        IF (entry IS NULL) THEN
          detail = 'calls ' || ext_name || ', which ardudf {{version}} does not have';
        ELSE IF (ret <> 0) THEN
          detail = 'returns one of its arguments (RETURNS PARAMETER), which ardudf''s ' || entry || ' does not';
        ELSE IF (declared <> kinds) THEN
          detail = 'is declared with other arguments than ardudf''s ' || entry || ' (kinds ' || declared
            || ' against ' || kinds || ': T text, I integer, D double, the result first)';
        IF (entry IS NULL) THEN entry = ext_name;
        IF (detail IS NOT NULL) THEN state = 'B';
      END
      IF (state IS NULL AND (entry IS NOT NULL OR EXISTS (SELECT 1 FROM RDB$DATABASE WHERE :name IN ({{upper_names}})))) THEN BEGIN
        state = 'F';
        detail = IIF(engine IS NULL, 'module ' || COALESCE(module, '?') || ', entry point ' || COALESCE(ext_name, '?'),
          'engine ' || engine || ', external name ' || COALESCE(ext_name, '?'));
      END
      IF (state IS NOT NULL) THEN SUSPEND;
    END
  END

  -- ---- end of what the database declares ----
