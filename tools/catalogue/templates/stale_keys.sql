  -- The values of an index's expression for which reading through the index finds other
  -- rows than reading the table: keys computed by another module, or before a function
  -- changed. n: how many such values, 0 when the keys are those the expression gives now,
  -- NULL when the index could not be read so. It reads every row once, and looks each
  -- value up through the index (the table is read in its own order: read through the
  -- index, a row whose key is stale is skipped). autonomous = 1: in a transaction of its own, which sees
  -- what the index step committed.
  DECLARE PROCEDURE stale_keys (ix VARCHAR(63), autonomous SMALLINT) RETURNS (n INTEGER) AS
    DECLARE tab VARCHAR(130);
    DECLARE e VARCHAR(3000);
    DECLARE q VARCHAR(7000);
  BEGIN
    SELECT TRIM(RDB$RELATION_NAME), CAST(SUBSTRING(RDB$EXPRESSION_SOURCE FROM 1 FOR 3000) AS VARCHAR(3000))
      FROM RDB$INDICES WHERE RDB$INDEX_NAME = :ix INTO tab, e;
    IF ((SELECT MON$SQL_DIALECT FROM MON$DATABASE) = 3) THEN BEGIN
      tab = '"' || REPLACE(tab, '"', '""') || '"';
      ix = '"' || REPLACE(ix, '"', '""') || '"';
    END
    q = 'SELECT COUNT(*) FROM (SELECT (' || e || ') AS v, COUNT(*) AS n FROM ' || tab
      || ' GROUP BY 1 PLAN (' || tab || ' NATURAL)) a'
      || ' WHERE a.n <> (SELECT COUNT(*) FROM ' || tab || ' WHERE (' || e || ') IS NOT DISTINCT FROM a.v'
      || ' PLAN (' || tab || ' INDEX (' || ix || ')))';
    n = NULL;
    BEGIN
      IF (autonomous = 1) THEN EXECUTE STATEMENT q WITH AUTONOMOUS TRANSACTION INTO n;
      ELSE EXECUTE STATEMENT q INTO n;
      WHEN ANY DO n = NULL;
    END
    SUSPEND;
  END
