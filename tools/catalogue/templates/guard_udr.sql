-- A database on ardudf's legacy module, or moved from it in place, reads a NULL argument
-- as the legacy module does; the declarations below would make it give NULL. So over such
-- a database this script changes nothing and names what it found: the move in place
-- (sql/ardudf_legacy_to_udr.sql) is what moves or upgrades it.
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS ({{column}} VARCHAR(400)) AS
  DECLARE n INTEGER = 0;
BEGIN
  FOR SELECT TRIM(RDB$FUNCTION_NAME) || ' ' || IIF(RDB$MODULE_NAME IS NOT NULL,
        'is declared on the legacy module ' || TRIM(RDB$MODULE_NAME),
        TRIM('was moved in place and reads NULL as the legacy module did'))
      FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL AND COALESCE(RDB$SYSTEM_FLAG, 0) = 0
        AND (TRIM(RDB$ENTRYPOINT) LIKE 'ardudf\_udr!%!{{option}}' ESCAPE '\'
          OR RDB$FUNCTION_SOURCE CONTAINING '{{psql_moved_mark}}'
          OR (RDB$ENGINE_NAME IS NULL AND LOWER(TRIM(RDB$MODULE_NAME)) SIMILAR TO {{ardudf_module}}))
      ORDER BY RDB$FUNCTION_NAME
      INTO {{column}} DO BEGIN
    n = n + 1;
    SUSPEND;
  END
  IF (n > 0) THEN BEGIN
    {{column}} = 'sql/ardudf_legacy_to_udr.sql (to PSQL: ardudf_legacy_to_psql.sql) moves or upgrades this database';
    SUSPEND;
    n = CAST('{{script}}: nothing changed' AS INTEGER);
  END
END^
SET TERM ; ^
