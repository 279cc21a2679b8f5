-- ardudf {{version}}: moves a database from ardudf's legacy module to PSQL in place, for a
-- server that loads no module (docs/psql.md, "From the legacy module"). Generated from
-- src/catalogue/catalogue.h, src/psql and tools/catalogue/templates; do not edit. Works in
-- dialect 1 and 3 databases.
-- Every legacy declaration of ardudf's module (ardudf, ardudf.so, ardudf.dll, any case, any
-- folder) that calls a function of this release, under whatever name, becomes a PSQL
-- function under that name, with its arguments in their order, its texts as wide (up to
-- 32765 bytes) and in the character set it declared. It calls the function of the package
-- ARDUDF_LEGACY, which reads a NULL argument as the legacy module did (the empty text or
-- 0) and never gives NULL, so every caller gives the results it gave. The package and the
-- helpers are those of sql/ardudf_psql.sql. Then the indexes that call a moved function
-- are built again, as the move to the UDR module does; ARDUDF_LEAVE_INDEXES is honoured.
-- Nothing changes while another attachment is connected or a declaration of ardudf's
-- module cannot move as it is. Run again, it is the upgrade of a moved database.
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS ({{column}} VARCHAR(400)) AS
{{> declarations.sql}}

{{> refuse.sql}}

  DECLARE blocked INTEGER = 0;
  DECLARE fn VARCHAR(63);
  DECLARE detail VARCHAR(400);
BEGIN
{{> attachments.sql}}
  FOR SELECT name, detail FROM declarations WHERE state = 'B' INTO fn, detail DO BEGIN
    {{column}} = 'nothing changed: ' || fn || ' ' || detail;
    SUSPEND;
    blocked = blocked + 1;
  END
  -- A function named as a built-in the PSQL functions call (REVERSE for ib_reversestring,
  -- say) would stand in for it in their bodies.
  FOR SELECT TRIM(RDB$FUNCTION_NAME) FROM RDB$FUNCTIONS
      WHERE RDB$PACKAGE_NAME IS NULL AND TRIM(RDB$FUNCTION_NAME) IN ({{builtins}}) INTO fn DO BEGIN
    {{column}} = 'nothing changed: ' || fn || ' bears the name of a built-in function the PSQL functions call, '
      || 'and would stand in for it in them: drop or rename it first, or move to the UDR module';
    SUSPEND;
    blocked = blocked + 1;
  END
  -- The PSQL functions compute with BIGINT and dialect 3's integer division: a dialect 1
  -- database can hold neither.
  IF ((SELECT MON$SQL_DIALECT FROM MON$DATABASE) = 1) THEN BEGIN
    {{column}} = 'nothing changed: this is a dialect 1 database, which cannot hold the PSQL functions; '
      || 'sql/ardudf_legacy_to_udr.sql moves it to the UDR module';
    SUSPEND;
    blocked = blocked + 1;
  END
  IF (blocked > 0) THEN
    EXECUTE PROCEDURE refuse('{{script}} changed nothing, for the ' || blocked || ' reason(s) above');
  IF (NOT EXISTS (SELECT 1 FROM declarations WHERE state = 'L') AND NOT EXISTS (SELECT 1 FROM RDB$FUNCTIONS
      WHERE RDB$PACKAGE_NAME IS NULL
        AND RDB$FUNCTION_SOURCE CONTAINING '{{moved_mark}}')) THEN
    EXECUTE PROCEDURE refuse('{{script}} changed nothing: '
      || 'no function of ardudf''s legacy module is declared here');
END^

-- ---- what the moved functions call: sql/ardudf_psql.sql's helpers and tables ----
{{psql_parts}}
-- A transaction that sees them.
COMMIT^

-- ---- the move: each legacy declaration a PSQL function under its own name ----
EXECUTE BLOCK RETURNS ({{column}} VARCHAR(400)) AS
{{> declarations.sql}}

{{> index_calls.sql}}

  DECLARE n_moved INTEGER = 0;
  DECLARE n_psql INTEGER = 0;
  DECLARE fn VARCHAR(63);
  DECLARE state CHAR(1);
  DECLARE entry VARCHAR(63);
  DECLARE detail VARCHAR(400);
  DECLARE names VARCHAR(100);
  DECLARE summary VARCHAR(200);
  DECLARE note VARCHAR(400);
  DECLARE ix VARCHAR(63);
  DECLARE walk VARCHAR(100) = '';
  DECLARE mark VARCHAR(100) = '{{moved_mark}}';
BEGIN
  n_psql = (SELECT COUNT(*) FROM RDB$FUNCTIONS
    WHERE RDB$PACKAGE_NAME IS NULL AND RDB$FUNCTION_SOURCE CONTAINING :mark);
  FOR SELECT name, state, entry, detail, names, summary FROM declarations
      INTO fn, state, entry, detail, names, summary DO BEGIN
    IF (state = 'L') THEN BEGIN
      -- The indexes that call it, found while it still is what they call.
      FOR SELECT ix FROM indexes(:fn) WHERE inactive = 0 AND leave = 0 INTO ix DO
        IF (RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_REBUILT ' || ix, '1') = 0) THEN
          EXECUTE STATEMENT 'ALTER INDEX ' || ident(ix) || ' INACTIVE';
      EXECUTE STATEMENT 'ALTER FUNCTION ' || ident(fn) || ' ' || typed_args(fn, 1, names) || ' AS' || ASCII_CHAR(10)
        || mark || ASCII_CHAR(10) || 'BEGIN' || ASCII_CHAR(10) || '  RETURN ardudf_legacy.' || entry
        || '(' || REPLACE(TRIM(names), ' ', ', ') || ');' || ASCII_CHAR(10) || 'END';
      EXECUTE STATEMENT 'GRANT EXECUTE ON PACKAGE ardudf_legacy TO FUNCTION ' || ident(fn);
      n_moved = n_moved + 1;
      IF (UPPER(entry) <> fn) THEN BEGIN
        {{column}} = 'moved under its own name: ' || fn || ' (' || entry || ')';
        SUSPEND;
      END
      -- ardudf's note brought up to this release; a comment of the database's own kept.
      note = (SELECT CAST(RDB$DESCRIPTION AS VARCHAR(400)) FROM RDB$FUNCTIONS
        WHERE RDB$FUNCTION_NAME = :fn AND RDB$PACKAGE_NAME IS NULL);
      IF (note NOT LIKE '% (ardudf %)') THEN BEGIN
        {{column}} = 'comment kept, it is not ardudf''s: ' || fn;
        SUSPEND;
      END
      ELSE
        EXECUTE STATEMENT 'COMMENT ON FUNCTION ' || ident(fn) || ' IS '''
          || REPLACE(summary || ' (ardudf {{version}})', '''', '''''') || '''';
    END
    IF (state = 'F') THEN BEGIN
      {{column}} = 'left as it is, not ardudf''s: ' || fn || ' (' || detail || ')';
      SUSPEND;
    END
  END
{{walk_block}}
  IF (n_moved > 0) THEN
    {{column}} = n_moved || ' function(s) moved to PSQL, reading NULL as the legacy module did' || walk
      || IIF(n_psql > 0, '; ' || n_psql || ' moved before', '');
  ELSE
    {{column}} = 'nothing to move: ' || n_psql || ' function(s) moved to PSQL already, '
      || 'their package brought up to ardudf {{version}}';
  SUSPEND;
END^
COMMIT^

{{> indexes.sql}}
SET TERM ; ^
