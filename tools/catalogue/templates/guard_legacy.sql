-- A database on ardudf's UDR module keeps it: a legacy declaration beside it would need
-- UdfAccess, which Firebird 4 and 5 ship off. So over such a database this script changes
-- nothing and names what it found. Firebird 2.x knows no UDR and has no
-- RDB$PACKAGE_NAME: the query runs only where that column exists, so that the block
-- parses in every engine from 2.0 on.
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS ({{column}} VARCHAR(400)) AS
  DECLARE n INTEGER = 0;
BEGIN
  IF (EXISTS(SELECT 1 FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'RDB$FUNCTIONS'
      AND RDB$FIELD_NAME = 'RDB$PACKAGE_NAME')) THEN
    FOR EXECUTE STATEMENT
        'SELECT TRIM(RDB$FUNCTION_NAME) || '' is declared on the UDR module ('' || TRIM(RDB$ENTRYPOINT) || '')''
         FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL AND RDB$ENTRYPOINT STARTING WITH ''ardudf_udr!''
         ORDER BY RDB$FUNCTION_NAME'
        INTO :{{column}} DO BEGIN
      n = n + 1;
      SUSPEND;
    END
  IF (n > 0) THEN BEGIN
    {{column}} = 'sql/ardudf_udr.sql upgrades this database (sql/ardudf_legacy_to_udr.sql one moved in place)';
    SUSPEND;
    n = CAST('{{script}}: nothing changed' AS INTEGER);
  END
END^
SET TERM ; ^
SET BAIL OFF;
