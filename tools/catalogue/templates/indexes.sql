-- The indexes that call a function of the UDR module (directly, or through a PSQL routine
-- or a computed column): the inactive ones activated (a restore into an engine without
-- legacy UDFs leaves them so); after a move, the active ones rebuilt, so that no key the
-- legacy module computed stays behind. The engine builds them at the COMMIT.
EXECUTE BLOCK RETURNS ({{column}} VARCHAR(400)) AS
{{> ident.sql}}

{{> index_calls.sql}}

  DECLARE ix VARCHAR(63);
  DECLARE inactive SMALLINT;
  DECLARE rebuild SMALLINT;
  DECLARE n INTEGER = 0;
BEGIN
  rebuild = IIF(COALESCE(RDB$GET_CONTEXT('USER_SESSION', 'ARDUDF_REBUILD'), '0') = '1', 1, 0);
  RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_REBUILD', NULL);
  FOR SELECT ix, inactive FROM indexes(NULL) ORDER BY ix INTO ix, inactive DO
    IF (inactive = 1 OR rebuild = 1) THEN BEGIN
      EXECUTE STATEMENT 'ALTER INDEX ' || ident(ix) || ' ACTIVE';
      {{column}} = 'index ' || TRIM(IIF(inactive = 1, 'activated', 'rebuilt')) || ': ' || ix;
      SUSPEND;
      n = n + 1;
    END
  IF (n = 0) THEN BEGIN
    {{column}} = 'no index to rebuild or activate';
    SUSPEND;
  END
END^
COMMIT^
