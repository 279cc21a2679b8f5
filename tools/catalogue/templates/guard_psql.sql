-- A routine under one of the names below that is not ardudf's (another library's
-- declaration, a routine of your own) is not replaced: over such a database this script
-- changes nothing and names each one. ardudf's own are the UDR module's declarations of
-- the same function and the routines of this script, whose body begins with its mark.
-- To replace some of them all the same, name them first in the attachment that runs it:
--   SELECT RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_REPLACE', 'IB_GREATEST, IB_STRING_LENGTH')
--     FROM RDB$DATABASE;
--   INPUT sql/{{script}};
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS ({{column}} VARCHAR(400)) AS
  DECLARE n INTEGER = 0;
  DECLARE wanted VARCHAR(8000);
  DECLARE name VARCHAR(63);
  DECLARE what VARCHAR(300);
  DECLARE mark VARCHAR(100) = '{{mark}}';
BEGIN
  wanted = ',' || UPPER(REPLACE(COALESCE(RDB$GET_CONTEXT('USER_SESSION', 'ARDUDF_REPLACE'), ''), ' ', '')) || ',';
  FOR SELECT 'FUNCTION ' || TRIM(RDB$FUNCTION_NAME), TRIM(RDB$FUNCTION_NAME),
        CASE WHEN RDB$MODULE_NAME IS NOT NULL AND RDB$ENGINE_NAME IS NULL
          THEN 'a legacy declaration of the module ' || TRIM(RDB$MODULE_NAME)
            || ', entry point ' || TRIM(RDB$ENTRYPOINT)
        WHEN RDB$ENGINE_NAME IS NOT NULL
          THEN 'engine ' || TRIM(RDB$ENGINE_NAME) || ', external name ' || TRIM(COALESCE(RDB$ENTRYPOINT, ''))
        ELSE 'a PSQL function not declared by sql/{{script}}' END
      FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL
        AND TRIM(RDB$FUNCTION_NAME) IN ({{functions}})
        AND NOT (COALESCE(RDB$ENGINE_NAME, '') = 'UDR'
          AND LOWER(TRIM(COALESCE(RDB$ENTRYPOINT, ''))) = 'ardudf_udr!' || LOWER(TRIM(RDB$FUNCTION_NAME)))
        AND NOT (RDB$ENGINE_NAME IS NULL AND RDB$MODULE_NAME IS NULL
          AND COALESCE(RDB$FUNCTION_SOURCE CONTAINING :mark, FALSE))
    UNION ALL
    SELECT 'PROCEDURE ' || TRIM(RDB$PROCEDURE_NAME), TRIM(RDB$PROCEDURE_NAME),
        IIF(RDB$ENGINE_NAME IS NOT NULL,
          'engine ' || TRIM(RDB$ENGINE_NAME) || ', external name ' || TRIM(COALESCE(RDB$ENTRYPOINT, '')),
          'a PSQL procedure not declared by sql/{{script}}')
      FROM RDB$PROCEDURES WHERE RDB$PACKAGE_NAME IS NULL
        AND TRIM(RDB$PROCEDURE_NAME) IN ({{procedures}})
        AND NOT (COALESCE(RDB$ENGINE_NAME, '') = 'UDR'
          AND LOWER(TRIM(COALESCE(RDB$ENTRYPOINT, ''))) = 'ardudf_udr!' || LOWER(TRIM(RDB$PROCEDURE_NAME)))
        AND NOT (RDB$ENGINE_NAME IS NULL AND COALESCE(RDB$PROCEDURE_SOURCE CONTAINING :mark, FALSE))
    INTO {{column}}, name, what DO BEGIN
    IF (wanted CONTAINING ',' || name || ',') THEN
      {{column}} = 'replaced, as ARDUDF_REPLACE asks: ' || {{column}} || ' (' || what || ')';
    ELSE BEGIN
      {{column}} = 'not ardudf''s, not replaced: ' || {{column}} || ' (' || what || ')';
      n = n + 1;
    END
    SUSPEND;
  END
  -- A function named as a built-in the routines call would stand in for it in them.
  FOR SELECT 'FUNCTION ' || TRIM(RDB$FUNCTION_NAME) FROM RDB$FUNCTIONS
      WHERE RDB$PACKAGE_NAME IS NULL AND TRIM(RDB$FUNCTION_NAME) IN ({{builtins}})
      INTO {{column}} DO BEGIN
    {{column}} = {{column}} || ' bears the name of a built-in function the PSQL routines call, '
      || 'and would stand in for it in them: rename it first';
    SUSPEND;
    n = n + 1;
  END
  -- The routines compute with BIGINT and dialect 3's integer division.
  IF ((SELECT MON$SQL_DIALECT FROM MON$DATABASE) = 1) THEN BEGIN
    {{column}} = 'this is a dialect 1 database, which cannot hold the PSQL functions (they need dialect 3)';
    SUSPEND;
    n = CAST('{{script}}: nothing changed' AS INTEGER);
  END
  IF (n > 0) THEN BEGIN
    {{column}} = 'to replace routines that are not ardudf''s all the same, name them in the context variable ARDUDF_REPLACE first'
      || ' (docs/psql.md, "Declare and drop")';
    SUSPEND;
    n = CAST('{{script}}: nothing changed' AS INTEGER);
  END
END^
SET TERM ; ^
