-- All or nothing: while a procedure, trigger, view, computed column, CHECK or index
-- calls one of them, it drops none and lists what calls them.
SET BAIL ON;
SET AUTODDL OFF;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS ({{column}} VARCHAR(400)) AS
  DECLARE n INTEGER = 0;
BEGIN
  FOR SELECT DISTINCT 'not dropped: ' || TRIM(d.RDB$DEPENDED_ON_NAME) || ' is called by ' || {{> caller_name.sql}}
      FROM RDB$DEPENDENCIES d
      WHERE {{dropped}}
      INTO {{column}} DO BEGIN
    n = n + 1;
    SUSPEND;
  END
  IF (n > 0) THEN n = CAST('{{script}}: nothing dropped' AS INTEGER);
END^
SET TERM ; ^
