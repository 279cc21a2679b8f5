-- ardudf {{version}}: checks a database on ardudf's UDR module, after the move in place or
-- an upgrade, and changes nothing. Generated from src/catalogue/catalogue.h and
-- tools/catalogue/templates by ardudf_catalogue; do not edit.
-- It looks for a declaration of ardudf's legacy module left under any name, calls every
-- function declared on the UDR module once with plain arguments, and reads each index that
-- calls them: an inactive one is a problem, and an active one is read through the index and
-- through the table, value by value, so that keys the expression no longer gives are found.
-- The indexes ARDUDF_LEAVE_INDEXES names are left out, and named. Each problem is a row;
-- with any, the script ends in an error (for a function that does not answer, the
-- engine's own), so that a shell sees it in isql's exit status.
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS ({{column}} VARCHAR(400)) AS
{{> declarations.sql}}

{{> index_calls.sql}}

{{> stale_keys.sql}}

{{> refuse.sql}}

  DECLARE problems INTEGER = 0;
  DECLARE answered INTEGER = 0;
  DECLARE fn VARCHAR(63);
  DECLARE state CHAR(1);
  DECLARE entry VARCHAR(63);
  DECLARE sample VARCHAR(100);
  DECLARE call VARCHAR(300);
  DECLARE silent VARCHAR(300);
  DECLARE ix VARCHAR(63);
  DECLARE inactive SMALLINT;
  DECLARE leave SMALLINT;
  DECLARE stale INTEGER;
  DECLARE one SMALLINT;
BEGIN
  FOR SELECT name, state, entry, sample FROM declarations INTO fn, state, entry, sample DO BEGIN
    IF (state IN ('L', 'B')) THEN BEGIN
      {{column}} = 'problem: ' || fn || ' is declared on the legacy module (' || entry || ')';
      SUSPEND;
      problems = problems + 1;
    END
    ELSE IF (state IN ('M', 'U') AND sample IS NULL) THEN BEGIN
      {{column}} = 'problem: ' || fn || ' calls ' || entry || ', which ardudf {{version}} does not have';
      SUSPEND;
      problems = problems + 1;
    END
    ELSE IF (state IN ('M', 'U')) THEN BEGIN
      one = NULL;
      call = 'SELECT IIF(' || ident(fn) || '(' || sample || ') IS NULL, 0, 1) FROM RDB$DATABASE';
      BEGIN
        EXECUTE STATEMENT call INTO one;
        WHEN ANY DO one = NULL;
      END
      IF (one IS NULL) THEN BEGIN
        {{column}} = 'problem: ' || fn || ' does not answer a call (' || fn || '(' || sample || '))'
          || IIF(silent IS NULL, '; the engine''s error for it ends this check', '');
        SUSPEND;
        problems = problems + 1;
        silent = COALESCE(silent, call);
      END
      ELSE answered = answered + 1;
    END
  END
  FOR SELECT ix, MAX(inactive), MAX(leave) FROM indexes(NULL) GROUP BY ix ORDER BY ix INTO ix, inactive, leave DO BEGIN
    {{column}} = NULL;
    IF (leave = 1) THEN
      {{column}} = 'index left out, as ARDUDF_LEAVE_INDEXES asks: ' || ix || IIF(inactive = 1, ' (inactive)', '');
    ELSE IF (inactive = 1) THEN
      {{column}} = 'problem: index ' || ix || ' calls the functions and is inactive';
    ELSE BEGIN
      SELECT n FROM stale_keys(:ix, 0) INTO stale;
      IF (stale IS NULL) THEN
        {{column}} = 'problem: index ' || ix || ' could not be read through the index';
      ELSE IF (stale > 0) THEN
        {{column}} = 'problem: index ' || ix || ' holds stale keys: through it, ' || stale
          || ' value(s) of its expression find other rows than the table holds';
    END
    IF ({{column}} STARTING WITH 'problem') THEN BEGIN
      {{column}} = {{column}} || ' (sql/ardudf_udr_indexes.sql builds it again)';
      problems = problems + 1;
    END
    IF ({{column}} IS NOT NULL) THEN SUSPEND;
  END
{{> builtin_names.sql}}
  IF (silent IS NOT NULL) THEN BEGIN
    {{column}} = problems || ' problem(s); the engine''s error for the first function that does not answer:';
    SUSPEND;
    EXECUTE STATEMENT silent INTO one;
  END
  IF (problems > 0) THEN EXECUTE PROCEDURE refuse('ardudf_udr_check.sql found ' || problems || ' problem(s)');
  {{column}} = 'ok: ' || answered || ' function(s) of the UDR module answer; no legacy declaration of ardudf, '
    || 'every index that calls them is active and reads as its table';
  SUSPEND;
END^
SET TERM ; ^
