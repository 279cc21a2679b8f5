-- The index step: each index that calls a function of the UDR module (directly, or through
-- a PSQL routine or a computed column) and that ARDUDF_LEAVE_INDEXES does not name. An
-- inactive one is activated (the move deactivates those it rebuilds; a restore into an
-- engine without legacy UDFs leaves them so); an active one whose keys are stale is
-- rebuilt (sql/ardudf_udr_indexes.sql rebuilds them all). Each index in a transaction of
-- its own, so that one that cannot be built stops no other: the others are done, this one
-- is named, and the engine's error for it ends the step. Run again, it does what is left.
EXECUTE BLOCK RETURNS ({{column}} VARCHAR(400)) AS
{{> ident.sql}}

{{> index_calls.sql}}

{{> stale_keys.sql}}

{{> refuse.sql}}

  DECLARE ix VARCHAR(63);
  DECLARE inactive SMALLINT;
  DECLARE leave SMALLINT;
  DECLARE why VARCHAR(400);
  DECLARE rebuild_all SMALLINT;
  DECLARE stale INTEGER;
  DECLARE failed VARCHAR(63);
  DECLARE n_failed INTEGER = 0;
  DECLARE n INTEGER = 0;
BEGIN
  rebuild_all = IIF(RDB$GET_CONTEXT('USER_SESSION', 'ARDUDF_REBUILD') = '1', 1, 0);
  RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_REBUILD', NULL);
  FOR SELECT ix, MAX(inactive), MIN(why), MAX(leave) FROM indexes(NULL) GROUP BY ix ORDER BY ix
      INTO ix, inactive, why, leave DO BEGIN
    {{column}} = NULL;
    IF (leave = 1) THEN
      {{column}} = 'index left as it is, as ARDUDF_LEAVE_INDEXES asks: ' || ix
        || IIF(inactive = 1, ' (inactive)', '');
    ELSE IF (inactive = 1) THEN
      -- The move names each index it deactivated to rebuild.
      {{column}} = 'index ' || TRIM(IIF(RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_REBUILT ' || ix, NULL) = 1,
        'rebuilt', 'activated')) || ': ' || ix;
    ELSE IF (rebuild_all = 1) THEN
      {{column}} = 'index rebuilt: ' || ix;
    ELSE BEGIN
      SELECT n FROM stale_keys(:ix, 1) INTO stale;
      IF (stale IS DISTINCT FROM 0) THEN
        {{column}} = 'index rebuilt, '
          || COALESCE(stale || ' of its keys were stale', 'its keys could not be read') || ': ' || ix;
    END
    IF ({{column}} IS NOT NULL AND leave = 0) THEN BEGIN
      BEGIN
        EXECUTE STATEMENT 'ALTER INDEX ' || ident(ix) || ' ACTIVE' WITH AUTONOMOUS TRANSACTION;
        n = n + 1;
        WHEN ANY DO BEGIN
          {{column}} = 'index not built: ' || ix || ' (' || why || '); '
            || 'the engine''s error for it ends this step';
          failed = COALESCE(failed, ix);
          n_failed = n_failed + 1;
        END
      END
    END
    IF ({{column}} IS NOT NULL) THEN SUSPEND;
  END
  IF (n_failed > 0) THEN BEGIN
    {{column}} = n || ' index(es) built, ' || n_failed || ' not: run this script again once '
      || 'the engine''s error below is dealt with, or name the index in ARDUDF_LEAVE_INDEXES '
      || '(docs/migration.md)';
    SUSPEND;
    -- The engine's own words for the first one.
    EXECUTE STATEMENT 'ALTER INDEX ' || ident(failed) || ' ACTIVE' WITH AUTONOMOUS TRANSACTION;
    EXECUTE PROCEDURE refuse('the index step did not build ' || failed || ' and ' || (n_failed - 1) || ' other(s)');
  END
  IF (n = 0) THEN BEGIN
    {{column}} = 'no index to rebuild or activate';
    SUSPEND;
  END
END^
COMMIT^
