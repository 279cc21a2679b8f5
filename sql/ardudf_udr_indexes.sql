-- ardudf 1.1.0: the index step of the move on its own, rebuilding each index whose
-- expression calls a function of ardudf's UDR module, directly or through a PSQL routine or
-- a computed column, and activating each inactive one; the indexes ARDUDF_LEAVE_INDEXES
-- names are left as they are. Generated from src/catalogue/catalogue.h and
-- tools/catalogue/templates by ardudf_catalogue; do not edit.
-- For a database whose indexes a restore left inactive, or whose keys were computed by
-- another module; run again after a failure, it builds what is left.
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK AS
BEGIN
  RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_REBUILD', '1');
END^
-- The index step: each index that calls a function of the UDR module (directly, or through
-- a PSQL routine or a computed column) and that ARDUDF_LEAVE_INDEXES does not name. An
-- inactive one is activated (the move deactivates those it rebuilds; a restore into an
-- engine without legacy UDFs leaves them so); an active one whose keys are stale is
-- rebuilt (sql/ardudf_udr_indexes.sql rebuilds them all). Each index in a transaction of
-- its own, so that one that cannot be built stops no other: the others are done, this one
-- is named, and the engine's error for it ends the step. Run again, it does what is left.
EXECUTE BLOCK RETURNS (ardudf_udr_indexes VARCHAR(400)) AS
  -- A name as a statement must spell it: quoted in dialect 3; dialect 1 has no quoted names.
  DECLARE FUNCTION ident (name VARCHAR(63)) RETURNS VARCHAR(130) AS
  BEGIN
    IF ((SELECT MON$SQL_DIALECT FROM MON$DATABASE) = 1) THEN RETURN name;
    RETURN '"' || REPLACE(name, '"', '""') || '"';
  END

  -- The indexes whose expression calls the function fn, or with fn NULL any function of
  -- ardudf's UDR module, directly or through a PSQL function or procedure, a package or a
  -- computed column; why says how. An index the engine built has dependency records, and
  -- they decide. A restore into an engine that could not compute an index leaves it
  -- inactive and without them: its expression's text decides, read as names (whole words;
  -- an unquoted name in any case, a quoted one exactly; nothing inside a string literal or
  -- a comment) and matched against the function and the routines and columns that call it.
  -- leave: 1 when ARDUDF_LEAVE_INDEXES, a table the DBA may create (docs/migration.md),
  -- names it: the move and the check leave that index as it is.
  -- (Firebird 5 marks an index a restore left inactive 3, not 1: any state but 0 is inactive.)
  DECLARE PROCEDURE indexes (fn VARCHAR(63))
      RETURNS (ix VARCHAR(63), inactive SMALLINT, why VARCHAR(400), leave SMALLINT) AS
    DECLARE left_alone VARCHAR(8000) = '|';
    DECLARE one VARCHAR(63);
    DECLARE rel VARCHAR(63);
    DECLARE src VARCHAR(8000);
    DECLARE words VARCHAR(8191);
    DECLARE dialect SMALLINT;
    DECLARE c VARCHAR(1);
    DECLARE w VARCHAR(300);
    DECLARE i INTEGER;
    DECLARE j INTEGER;
    DECLARE n INTEGER;
  BEGIN
    IF (EXISTS (SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'ARDUDF_LEAVE_INDEXES')) THEN
      FOR EXECUTE STATEMENT 'SELECT UPPER(TRIM(index_name)) FROM ardudf_leave_indexes' INTO one DO
        left_alone = left_alone || one || '|';
    dialect = (SELECT MON$SQL_DIALECT FROM MON$DATABASE);
    FOR WITH RECURSIVE seeds (name) AS (
          SELECT RDB$FUNCTION_NAME FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL
            AND (RDB$FUNCTION_NAME = :fn OR (:fn IS NULL
              AND RDB$ENTRYPOINT STARTING WITH 'ardudf_udr!'))),
        calls (name, kind, rel, depth, path) AS (
          SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, d.RDB$DEPENDED_ON_NAME, 1,
              CAST('calls ' || TRIM(s.name) AS VARCHAR(400))
            FROM seeds s JOIN RDB$DEPENDENCIES d
            ON d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$DEPENDED_ON_NAME = s.name AND d.RDB$PACKAGE_NAME IS NULL
          UNION ALL
          SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, d.RDB$DEPENDED_ON_NAME, c.depth + 1,
              CAST(SUBSTRING(c.path || ' through ' || CASE c.kind WHEN 5 THEN 'procedure ' WHEN 15 THEN 'function '
                WHEN 3 THEN 'column ' ELSE 'package ' END || COALESCE((SELECT FIRST 1 TRIM(f.RDB$RELATION_NAME)
                || '.' || TRIM(f.RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS f WHERE c.kind = 3
                AND f.RDB$FIELD_SOURCE = c.name), TRIM(c.name)) FROM 1 FOR 400) AS VARCHAR(400))
            FROM calls c JOIN RDB$DEPENDENCIES d
            ON (c.kind IN (5, 15) AND d.RDB$DEPENDED_ON_TYPE = c.kind AND d.RDB$DEPENDED_ON_NAME = c.name
              AND d.RDB$PACKAGE_NAME IS NULL)
            OR (c.kind IN (18, 19) AND d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$PACKAGE_NAME = c.name)
            OR (c.kind = 3 AND d.RDB$DEPENDED_ON_TYPE = 0 AND EXISTS (SELECT 1 FROM RDB$RELATION_FIELDS f
                WHERE f.RDB$FIELD_SOURCE = c.name AND f.RDB$RELATION_NAME = d.RDB$DEPENDED_ON_NAME
                  AND f.RDB$FIELD_NAME = d.RDB$FIELD_NAME))
            WHERE c.depth < 16)
        SELECT TRIM(i.RDB$INDEX_NAME), IIF(COALESCE(i.RDB$INDEX_INACTIVE, 0) = 0, 0, 1), c.path
          FROM calls c JOIN RDB$INDICES i ON i.RDB$INDEX_NAME = c.name WHERE c.kind = 6
        INTO ix, inactive, why DO BEGIN
      why = 'by its dependencies: it ' || why;
      leave = IIF(POSITION('|' || UPPER(ix) || '|' IN left_alone) > 0, 1, 0);
      SUSPEND;
    END

    -- No dependency records: the names in the expression.
    FOR SELECT TRIM(i.RDB$INDEX_NAME), IIF(COALESCE(i.RDB$INDEX_INACTIVE, 0) = 0, 0, 1), i.RDB$RELATION_NAME,
          CAST(SUBSTRING(i.RDB$EXPRESSION_SOURCE FROM 1 FOR 8000) AS VARCHAR(8000))
        FROM RDB$INDICES i WHERE i.RDB$EXPRESSION_SOURCE IS NOT NULL AND COALESCE(i.RDB$SYSTEM_FLAG, 0) = 0
          AND NOT EXISTS (SELECT 1 FROM RDB$DEPENDENCIES d
            WHERE d.RDB$DEPENDENT_NAME = i.RDB$INDEX_NAME AND d.RDB$DEPENDENT_TYPE = 6)
        INTO ix, inactive, rel, src DO BEGIN
      words = '|';
      i = 1;
      n = CHAR_LENGTH(src);
      WHILE (i <= n) DO BEGIN
        c = SUBSTRING(src FROM i FOR 1);
        j = i + 1;
        IF (c = '''' OR (c = '"' AND dialect = 1)) THEN BEGIN
          -- A string literal: a doubled quote inside reads as its end and a new start.
          j = POSITION(c, src, i + 1);
          j = IIF(j = 0, n + 1, j + 1);
        END
        ELSE IF (c = '"') THEN BEGIN
          -- A quoted name, as it is; a doubled quote inside stands for one.
          w = '';
          WHILE (j <= n AND (SUBSTRING(src FROM j FOR 1) <> '"' OR SUBSTRING(src FROM j + 1 FOR 1) = '"')) DO BEGIN
            w = w || SUBSTRING(src FROM j FOR 1);
            j = j + IIF(SUBSTRING(src FROM j FOR 1) = '"', 2, 1);
          END
          j = j + 1;
          words = words || w || '|';
        END
        ELSE IF (c = '-' AND SUBSTRING(src FROM i + 1 FOR 1) = '-') THEN BEGIN
          j = POSITION(ASCII_CHAR(10), src, i);
          j = IIF(j = 0, n + 1, j + 1);
        END
        ELSE IF (c = '/' AND SUBSTRING(src FROM i + 1 FOR 1) = '*') THEN BEGIN
          j = POSITION('*/', src, i + 2);
          j = IIF(j = 0, n + 1, j + 2);
        END
        ELSE IF (UPPER(c) BETWEEN 'A' AND 'Z' OR c BETWEEN '0' AND '9') THEN BEGIN
          -- A name (a number is read the same way and matches none).
          WHILE (j <= n AND (UPPER(SUBSTRING(src FROM j FOR 1)) BETWEEN 'A' AND 'Z'
              OR SUBSTRING(src FROM j FOR 1) BETWEEN '0' AND '9' OR SUBSTRING(src FROM j FOR 1) IN ('_', '$'))) DO
            j = j + 1;
          IF (c NOT BETWEEN '0' AND '9') THEN
            words = words || UPPER(SUBSTRING(src FROM i FOR j - i)) || '|';
        END
        i = j;
      END
      why = NULL;
      FOR WITH RECURSIVE seeds (name) AS (
            SELECT RDB$FUNCTION_NAME FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL
              AND (RDB$FUNCTION_NAME = :fn OR (:fn IS NULL
              AND RDB$ENTRYPOINT STARTING WITH 'ardudf_udr!'))),
          calls (name, kind, depth) AS (
            SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, 1 FROM seeds s JOIN RDB$DEPENDENCIES d
              ON d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$DEPENDED_ON_NAME = s.name AND d.RDB$PACKAGE_NAME IS NULL
            UNION ALL
            SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, c.depth + 1 FROM calls c JOIN RDB$DEPENDENCIES d
              ON (c.kind IN (5, 15) AND d.RDB$DEPENDED_ON_TYPE = c.kind AND d.RDB$DEPENDED_ON_NAME = c.name
              AND d.RDB$PACKAGE_NAME IS NULL)
              OR (c.kind IN (18, 19) AND d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$PACKAGE_NAME = c.name)
              WHERE c.depth < 16),
          -- What the expression may name: the function, a routine or package that calls
          -- it, or a computed column of the index's table that calls it.
          named (name, what) AS (
            SELECT TRIM(name), 'the function' FROM seeds
            UNION SELECT TRIM(name), IIF(kind = 5, 'the procedure', IIF(kind = 15, 'the function', 'the package'))
              FROM calls WHERE kind IN (5, 15, 18, 19)
            UNION SELECT TRIM(f.RDB$FIELD_NAME), 'the computed column' FROM calls c
              JOIN RDB$RELATION_FIELDS f ON f.RDB$FIELD_SOURCE = c.name AND f.RDB$RELATION_NAME = :rel
              WHERE c.kind = 3)
          SELECT FIRST 1 TRIM(what) || ' ' || name FROM named WHERE POSITION('|' || name || '|' IN :words) > 0 ORDER BY name
          INTO why DO
        why = 'by its expression, which names ' || why;
      IF (why IS NOT NULL) THEN BEGIN
        leave = IIF(POSITION('|' || UPPER(ix) || '|' IN left_alone) > 0, 1, 0);
        SUSPEND;
      END
    END
  END

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

  -- A refusal in a sentence of its own, raised as the exception ARDUDF_REFUSED: created for
  -- the moment it is raised, the error undoes its creation with the rest of the statement.
  -- Where it cannot be created (a user without the right, a read-only database), the
  -- sentence comes as the text of a conversion error.
  DECLARE PROCEDURE refuse (message VARCHAR(400)) AS
    DECLARE n INTEGER;
  BEGIN
    BEGIN
      EXECUTE STATEMENT 'CREATE EXCEPTION ardudf_refused ''ardudf refused''';
      WHEN ANY DO n = CAST(message AS INTEGER);
    END
    EXECUTE STATEMENT 'EXECUTE BLOCK AS BEGIN EXCEPTION ardudf_refused '''
      || REPLACE(message, '''', '''''') || '''; END';
  END

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
    ardudf_udr_indexes = NULL;
    IF (leave = 1) THEN
      ardudf_udr_indexes = 'index left as it is, as ARDUDF_LEAVE_INDEXES asks: ' || ix
        || IIF(inactive = 1, ' (inactive)', '');
    ELSE IF (inactive = 1) THEN
      -- The move names each index it deactivated to rebuild.
      ardudf_udr_indexes = 'index ' || TRIM(IIF(RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_REBUILT ' || ix, NULL) = 1,
        'rebuilt', 'activated')) || ': ' || ix;
    ELSE IF (rebuild_all = 1) THEN
      ardudf_udr_indexes = 'index rebuilt: ' || ix;
    ELSE BEGIN
      SELECT n FROM stale_keys(:ix, 1) INTO stale;
      IF (stale IS DISTINCT FROM 0) THEN
        ardudf_udr_indexes = 'index rebuilt, '
          || COALESCE(stale || ' of its keys were stale', 'its keys could not be read') || ': ' || ix;
    END
    IF (ardudf_udr_indexes IS NOT NULL AND leave = 0) THEN BEGIN
      BEGIN
        EXECUTE STATEMENT 'ALTER INDEX ' || ident(ix) || ' ACTIVE' WITH AUTONOMOUS TRANSACTION;
        n = n + 1;
        WHEN ANY DO BEGIN
          ardudf_udr_indexes = 'index not built: ' || ix || ' (' || why || '); '
            || 'the engine''s error for it ends this step';
          failed = COALESCE(failed, ix);
          n_failed = n_failed + 1;
        END
      END
    END
    IF (ardudf_udr_indexes IS NOT NULL) THEN SUSPEND;
  END
  IF (n_failed > 0) THEN BEGIN
    ardudf_udr_indexes = n || ' index(es) built, ' || n_failed || ' not: run this script again once '
      || 'the engine''s error below is dealt with, or name the index in ARDUDF_LEAVE_INDEXES '
      || '(docs/migration.md)';
    SUSPEND;
    -- The engine's own words for the first one.
    EXECUTE STATEMENT 'ALTER INDEX ' || ident(failed) || ' ACTIVE' WITH AUTONOMOUS TRANSACTION;
    EXECUTE PROCEDURE refuse('the index step did not build ' || failed || ' and ' || (n_failed - 1) || ' other(s)');
  END
  IF (n = 0) THEN BEGIN
    ardudf_udr_indexes = 'no index to rebuild or activate';
    SUSPEND;
  END
END^
COMMIT^
SET TERM ; ^
