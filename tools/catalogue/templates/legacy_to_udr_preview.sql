-- ardudf {{version}}: what sql/ardudf_legacy_to_udr.sql would do to this database, shown
-- and not done: it changes nothing. Generated from src/catalogue/catalogue.h and
-- tools/catalogue/templates by ardudf_catalogue; do not edit.
-- For each legacy declaration of ardudf, under whatever name: its declaration now and
-- after the move, the texts the move would refuse, what calls it, and the indexes the move
-- would rebuild or activate. Then what would stop the move (other attachments,
-- declarations that cannot move as they are) and the declarations it would leave alone.
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
BEGIN
  FOR SELECT name, state, entry, detail, names, module FROM declarations
      INTO fn, state, entry, detail, names, module DO BEGIN
    IF (state = 'L') THEN BEGIN
      n_moved = n_moved + 1;
      {{column}} = 'to move: ' || fn || IIF(UPPER(entry) <> fn, ' (' || entry || ')', '');
      SUSPEND;
      {{column}} = '  now:   DECLARE EXTERNAL FUNCTION ' || fn || ' ' || typed_args(fn, 0, '')
        || ' ENTRY_POINT ''' || entry || ''' MODULE_NAME ''' || module || '''';
      SUSPEND;
      {{column}} = '  after: ALTER FUNCTION ' || ident(fn) || ' ' || typed_args(fn, 1, names)
        || ' EXTERNAL NAME ''ardudf_udr!' || entry || '!{{option}}'' ENGINE UDR';
      SUSPEND;
      IF (EXISTS (SELECT 1 FROM RDB$FUNCTION_ARGUMENTS WHERE RDB$FUNCTION_NAME = :fn AND RDB$PACKAGE_NAME IS NULL
          AND RDB$FIELD_TYPE = 40 AND RDB$FIELD_LENGTH > 32765)) THEN BEGIN
        {{column}} = '  texts of 32766 and 32767 bytes, taken now, would be refused ("string right truncation")';
        SUSPEND;
      END
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
  -- Indexes are named once, though several functions may lead to one.
  FOR WITH moving (name) AS (SELECT name FROM declarations WHERE state IN ('L', 'M', 'U'))
      SELECT DISTINCT i.ix, i.inactive FROM moving m CROSS JOIN indexes(m.name) i ORDER BY 1
      INTO ix, inactive DO BEGIN
    {{column}} = 'index ' || ix || ': ' || TRIM(IIF(inactive = 1, 'inactive, the move would activate it',
      IIF(n_moved > 0, 'the move would rebuild it', 'left as it is')));
    SUSPEND;
  END
{{> attachments.sql}}
  {{column}} = 'preview only, nothing changed: ' || n_moved || ' declaration(s) to move, ' || n_udr
    || ' on ardudf_udr already' || IIF(blocked > 0, '; the move would stop: ' || blocked || ' reason(s) above', '');
  SUSPEND;
END^
SET TERM ; ^
