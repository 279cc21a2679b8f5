-- ardudf {{version}}: checks a database on ardudf's UDR module, after the move in place or
-- an upgrade, and changes nothing. Generated from src/catalogue/catalogue.h and
-- tools/catalogue/templates by ardudf_catalogue; do not edit.
-- It looks for a declaration of ardudf's legacy module left under any name and for an
-- inactive index that calls the functions, and calls every function declared on the UDR
-- module once, with plain arguments. Each problem is a row; with any, the script ends in
-- an error, so that a shell sees it in isql's exit status.
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS ({{column}} VARCHAR(400)) AS
{{> declarations.sql}}

{{> index_calls.sql}}
  DECLARE problems INTEGER = 0;
  DECLARE answered INTEGER = 0;
  DECLARE fn VARCHAR(63);
  DECLARE state CHAR(1);
  DECLARE entry VARCHAR(63);
  DECLARE sample VARCHAR(100);
  DECLARE ix VARCHAR(63);
  DECLARE inactive SMALLINT;
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
      BEGIN
        EXECUTE STATEMENT 'SELECT IIF(' || ident(fn) || '(' || sample || ') IS NULL, 0, 1) FROM RDB$DATABASE' INTO one;
        WHEN ANY DO one = NULL;
      END
      IF (one IS NULL) THEN BEGIN
        {{column}} = 'problem: ' || fn || ' does not answer a call (' || fn || '(' || sample || '))';
        SUSPEND;
        problems = problems + 1;
      END
      ELSE answered = answered + 1;
    END
  END
  FOR SELECT ix FROM indexes(NULL) WHERE inactive = 1 ORDER BY ix INTO ix DO BEGIN
    {{column}} = 'problem: index ' || ix || ' calls the functions and is inactive '
      || '(sql/ardudf_udr_indexes.sql activates it)';
    SUSPEND;
    problems = problems + 1;
  END
  IF (problems > 0) THEN one = CAST('ardudf_udr_check.sql: ' || problems || ' problem(s)' AS INTEGER);
  {{column}} = 'ok: ' || answered || ' function(s) of the UDR module answer; no legacy declaration of ardudf, '
    || 'no inactive index calls them';
  SUSPEND;
END^
SET TERM ; ^
