-- ardudf {{version}}: what a database declares of ardudf, for the report of
-- bin/move_to_udr.sh, run before and after the move. Generated from src/catalogue/catalogue.h
-- and tools/catalogue/templates by ardudf_catalogue; do not edit. It changes nothing.
-- One row a line, its fields separated by |: KIND|NAME|ITEM|VALUE, where KIND is
--   declaration  NAME the function, ITEM its entry point, VALUE its state (legacy, moved,
--                udr, blocked, foreign) and the module or external name
--   signature    NAME the function, VALUE its arguments and result as the engine holds them
--   comment      NAME the function, VALUE its comment
--   caller       NAME the function, ITEM what calls it
--   grant        NAME the function, ITEM the user or role, VALUE the privilege
--   index        NAME the index, ITEM active or inactive (left: ARDUDF_LEAVE_INDEXES names
--                it), VALUE why it calls the functions
SET HEADING OFF;
SET TERM ^ ;
EXECUTE BLOCK RETURNS (line VARCHAR(2000)) AS
{{> declarations.sql}}

{{> callers.sql}}

{{> index_calls.sql}}

  DECLARE fn VARCHAR(63);
  DECLARE state CHAR(1);
  DECLARE entry VARCHAR(63);
  DECLARE v VARCHAR(1000);
  DECLARE ix VARCHAR(63);
  DECLARE inactive SMALLINT;
  DECLARE leave SMALLINT;
  DECLARE why VARCHAR(400);
BEGIN
  FOR SELECT name, state, entry FROM declarations INTO fn, state, entry DO BEGIN
    SELECT TRIM(CASE :state WHEN 'L' THEN 'legacy' WHEN 'M' THEN 'moved' WHEN 'U' THEN 'udr'
        WHEN 'B' THEN 'blocked' ELSE 'foreign' END) || ' ' || TRIM(COALESCE(RDB$MODULE_NAME, RDB$ENTRYPOINT, ''))
      FROM RDB$FUNCTIONS WHERE RDB$FUNCTION_NAME = :fn AND RDB$PACKAGE_NAME IS NULL INTO v;
    line = 'declaration|' || fn || '|' || entry || '|' || v;
    SUSPEND;
    v = '';
    FOR SELECT TRIM(IIF(a.RDB$ARGUMENT_POSITION = 0, 'RETURNS ', '') || CASE a.RDB$FIELD_TYPE
          WHEN 7 THEN 'SMALLINT' WHEN 8 THEN 'INTEGER' WHEN 16 THEN 'BIGINT' WHEN 27 THEN 'DOUBLE PRECISION'
          WHEN 37 THEN 'VARCHAR(' || a.RDB$FIELD_LENGTH || ')' WHEN 40 THEN 'CSTRING(' || a.RDB$FIELD_LENGTH || ')'
          ELSE 'type ' || a.RDB$FIELD_TYPE END
          || COALESCE(' CHARACTER SET ' || TRIM(s.RDB$CHARACTER_SET_NAME), ''))
        FROM RDB$FUNCTION_ARGUMENTS a LEFT JOIN RDB$CHARACTER_SETS s
          ON a.RDB$FIELD_TYPE IN (37, 40) AND s.RDB$CHARACTER_SET_ID = COALESCE(a.RDB$CHARACTER_SET_ID, 0)
        WHERE a.RDB$FUNCTION_NAME = :fn AND a.RDB$PACKAGE_NAME IS NULL
        ORDER BY IIF(a.RDB$ARGUMENT_POSITION = 0, 32767, a.RDB$ARGUMENT_POSITION) INTO entry DO
      v = IIF(v = '', entry, v || ', ' || entry);
    line = 'signature|' || fn || '||' || v;
    SUSPEND;
    FOR SELECT REPLACE(REPLACE(CAST(RDB$DESCRIPTION AS VARCHAR(1000)), ASCII_CHAR(13), ' '), ASCII_CHAR(10), ' ')
        FROM RDB$FUNCTIONS WHERE RDB$FUNCTION_NAME = :fn AND RDB$PACKAGE_NAME IS NULL
          AND RDB$DESCRIPTION IS NOT NULL INTO v DO BEGIN
      line = 'comment|' || fn || '||' || v;
      SUSPEND;
    END
    FOR SELECT caller FROM callers(:fn) INTO v DO BEGIN
      line = 'caller|' || fn || '|' || v || '|';
      SUSPEND;
    END
    FOR SELECT TRIM(RDB$USER) || '|' || TRIM(RDB$PRIVILEGE) || IIF(RDB$GRANT_OPTION = 1, ' WITH GRANT OPTION', '')
        FROM RDB$USER_PRIVILEGES WHERE RDB$RELATION_NAME = :fn AND RDB$OBJECT_TYPE = 15
        ORDER BY 1 INTO v DO BEGIN
      line = 'grant|' || fn || '|' || v;
      SUSPEND;
    END
  END
  FOR WITH ours (name) AS (SELECT name FROM declarations WHERE state IN ('L', 'M', 'U'))
      SELECT i.ix, MAX(i.inactive), MIN(i.why), MAX(i.leave) FROM ours o CROSS JOIN indexes(o.name) i
      GROUP BY i.ix ORDER BY 1
      INTO ix, inactive, why, leave DO BEGIN
    line = 'index|' || ix || '|' || TRIM(IIF(inactive = 1, 'inactive', 'active'))
      || IIF(leave = 1, ' (left)', CAST('' AS VARCHAR(7))) || '|' || why;
    SUSPEND;
  END
END^
SET TERM ; ^
