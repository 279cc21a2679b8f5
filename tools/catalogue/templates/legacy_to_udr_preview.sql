-- ardudf {{version}}: what sql/ardudf_legacy_to_udr.sql would do to this database, shown
-- and not done: it changes nothing. Generated from src/catalogue/catalogue.h and
-- tools/catalogue/templates by ardudf_catalogue; do not edit.
-- For each legacy declaration of ardudf, under whatever name: its declaration now and
-- after the move, the texts the move would refuse, what calls it, and the indexes the move
-- would rebuild or activate, each with the reason. Then what would stop the move (other
-- attachments, declarations that cannot move as they are), the declarations it would leave
-- alone, and the names that Firebird 6 gives to a built-in function.
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS ({{column}} VARCHAR(2000)) AS
{{> declarations.sql}}

{{> callers.sql}}

{{> index_calls.sql}}

  DECLARE blocked INTEGER = 0;
  DECLARE n_moved INTEGER = 0;
  DECLARE n_udr INTEGER = 0;
  DECLARE fn VARCHAR(63);
  DECLARE state CHAR(1);
  DECLARE entry VARCHAR(63);
  DECLARE detail VARCHAR(400);
  DECLARE names VARCHAR(100);
  DECLARE module VARCHAR(255);
  DECLARE caller VARCHAR(200);
  DECLARE ix VARCHAR(63);
  DECLARE inactive SMALLINT;
  DECLARE leave SMALLINT;
  DECLARE why VARCHAR(400);
  DECLARE note VARCHAR(400);
  DECLARE summary VARCHAR(200);
BEGIN
  FOR SELECT name, state, entry, detail, names, module, summary FROM declarations
      INTO fn, state, entry, detail, names, module, summary DO BEGIN
    IF (state = 'L') THEN BEGIN
      n_moved = n_moved + 1;
      {{column}} = 'to move: ' || fn || IIF(UPPER(entry) <> fn, ' (' || entry || ')', '');
      SUSPEND;
      {{column}} = '  now:   DECLARE EXTERNAL FUNCTION ' || fn || ' ' || typed_args(fn, 0, '')
        || ' ENTRY_POINT ''' || entry || ''' MODULE_NAME ''' || module || '''';
      SUSPEND;
      {{column}} = '  after: ' || {{> move_target.sql}};
      SUSPEND;
      IF (EXISTS (SELECT 1 FROM RDB$FUNCTION_ARGUMENTS WHERE RDB$FUNCTION_NAME = :fn AND RDB$PACKAGE_NAME IS NULL
          AND RDB$FIELD_TYPE = 40 AND RDB$FIELD_LENGTH > 32765)) THEN BEGIN
        {{column}} = '  texts of 32766 and 32767 bytes, taken now, would be refused ("string right truncation")';
        SUSPEND;
      END
      note = (SELECT CAST(RDB$DESCRIPTION AS VARCHAR(400)) FROM RDB$FUNCTIONS
        WHERE RDB$FUNCTION_NAME = :fn AND RDB$PACKAGE_NAME IS NULL);
      IF (note NOT LIKE '% (ardudf %)') THEN
        {{column}} = '  comment kept, it is not ardudf''s: ' || note;
      ELSE
        {{column}} = '  comment: COMMENT ON FUNCTION ' || ident(fn) || ' IS '''
          || REPLACE(summary || ' (ardudf {{version}})', '''', '''''') || '''';
      SUSPEND;
      FOR SELECT caller FROM callers(:fn) INTO caller DO BEGIN
        {{column}} = '  called by ' || caller;
        SUSPEND;
      END
    END
    ELSE IF (state = 'B') THEN BEGIN
      blocked = blocked + 1;
      {{column}} = 'would stop the move: ' || fn || ' ' || detail;
      SUSPEND;
    END
    ELSE IF (state = 'F') THEN BEGIN
      {{column}} = 'would be left as it is, not ardudf''s: ' || fn || ' (' || detail || ')';
      SUSPEND;
    END
    ELSE n_udr = n_udr + 1;
  END
  -- Each index once, though several functions may lead to it, with the first reason.
  FOR WITH moving (name) AS (SELECT name FROM declarations WHERE state IN ('L', 'M', 'U'))
      SELECT i.ix, MAX(i.inactive), MIN(i.why), MAX(i.leave) FROM moving m CROSS JOIN indexes(m.name) i
      GROUP BY i.ix ORDER BY 1
      INTO ix, inactive, why, leave DO BEGIN
    {{column}} = 'index ' || ix || ': ' || TRIM(IIF(leave = 1, 'left as it is, as ARDUDF_LEAVE_INDEXES asks',
      IIF(inactive = 1, 'inactive, the move would activate it', IIF(n_moved > 0, 'the move would rebuild it',
      'the move would read its keys and rebuild it if they are stale')))) || ' (' || why || ')';
    SUSPEND;
  END
{{> builtin_names.sql}}
{{> attachments.sql}}
  {{column}} = 'preview only, nothing changed: ' || n_moved || ' declaration(s) to move, ' || n_udr
    || ' on ardudf_udr already' || IIF(blocked > 0, '; the move would stop: ' || blocked || ' reason(s) above', '');
  SUSPEND;
END^
SET TERM ; ^
