-- ardudf {{version}}: moves a database from ardudf's legacy module to its UDR module in
-- place. Generated from src/catalogue/catalogue.h and tools/catalogue/templates; do not
-- edit. docs/migration.md gives the steps; ardudf_legacy_to_udr_preview.sql shows what it
-- would do. Works in dialect 1 and 3 databases.
-- Every legacy declaration of ardudf's module (ardudf, ardudf.so, ardudf.dll, any case, any
-- folder) that calls a function of this release, under whatever name, is redeclared under
-- that name for the UDR module in one transaction: its arguments in their order, its texts
-- as wide (up to 32765 bytes) and in the character set it declared, and the external name
-- 'ardudf_udr!ENTRY!{{option}}', which reads a NULL argument as the legacy module did, so
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
EXECUTE BLOCK RETURNS ({{column}} VARCHAR(400)) AS
{{> declarations.sql}}

{{> index_calls.sql}}

{{> refuse.sql}}

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
{{> attachments.sql}}
  -- What cannot move as it is stops the move before anything changes.
  FOR SELECT name, detail FROM declarations WHERE state = 'B' INTO fn, detail DO BEGIN
    {{column}} = 'nothing changed: ' || fn || ' ' || detail;
    SUSPEND;
    blocked = blocked + 1;
  END
  IF (blocked > 0) THEN
    EXECUTE PROCEDURE refuse('ardudf_legacy_to_udr.sql changed nothing, for the ' || blocked || ' reason(s) above');

{{> probe.sql}}

  -- Each declaration on the legacy module redeclared for the UDR module under its own name,
  -- and each index that calls it deactivated, for the index step to build again. ardudf's
  -- note on a function brought up to this release; a comment of the database's own kept.
  FOR SELECT name, state, entry, detail, names, summary FROM declarations
      INTO fn, state, entry, detail, names, summary DO BEGIN
    IF (state = 'L') THEN BEGIN
      -- Its new declaration: the UDR module's, reading NULL as the legacy module did.
      EXECUTE STATEMENT {{> move_target.sql}};
      n_moved = n_moved + 1;
      IF (UPPER(entry) <> fn) THEN BEGIN
        {{column}} = 'moved under its own name: ' || fn || ' (' || entry || ')';
        SUSPEND;
      END
      FOR SELECT ix FROM indexes(:fn) WHERE inactive = 0 AND leave = 0 INTO ix DO
        IF (RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_REBUILT ' || ix, '1') = 0) THEN
          EXECUTE STATEMENT 'ALTER INDEX ' || ident(ix) || ' INACTIVE';
    END
    summary = summary || ' (ardudf {{version}})';
    note = (SELECT CAST(RDB$DESCRIPTION AS VARCHAR(400)) FROM RDB$FUNCTIONS
      WHERE RDB$FUNCTION_NAME = :fn AND RDB$PACKAGE_NAME IS NULL);
    IF (state IN ('L', 'M') AND note NOT LIKE '% (ardudf %)') THEN BEGIN
      IF (state = 'L') THEN BEGIN
        {{column}} = 'comment kept, it is not ardudf''s: ' || fn;
        SUSPEND;
      END
    END
    ELSE IF (state IN ('L', 'M') AND summary IS DISTINCT FROM note) THEN BEGIN
      EXECUTE STATEMENT 'COMMENT ON FUNCTION ' || ident(fn) || ' IS ''' || REPLACE(summary, '''', '''''') || '''';
      IF (state = 'M') THEN n_comments = n_comments + 1;
    END
    IF (state IN ('M', 'U')) THEN n_udr = n_udr + 1;
    IF (state = 'F') THEN BEGIN
      {{column}} = 'left as it is, not ardudf''s: ' || fn || ' (' || detail || ')';
      SUSPEND;
    END
  END

{{walk_block}}
  IF (n_moved > 0) THEN
    {{column}} = n_moved || ' function(s) moved to the UDR module ardudf_udr, reading NULL as the '
      || 'legacy module did' || walk || IIF(n_udr > 0, '; ' || n_udr || ' on ardudf_udr already', '');
  ELSE IF (n_udr > 0) THEN
    {{column}} = 'nothing to move' || IIF(n_comments > 0, ', ' || n_comments
      || ' comment(s) brought up to ardudf {{version}}', '') || ': ' || n_udr || ' function(s) on ardudf_udr already';
  ELSE
    {{column}} = 'nothing to move, nothing changed: no function of ardudf is declared here';
  SUSPEND;
END^
COMMIT^

{{> indexes.sql}}
SET TERM ; ^
