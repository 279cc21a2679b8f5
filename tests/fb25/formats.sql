-- What isql prints, as the server suites compare it: check_isql25.sh runs this file with
-- isql-fb (Firebird 3) and with isql25.sh (Firebird 2.5) and compares. Only what both
-- engines answer alike (no BOOLEAN, no COUNT: an INTEGER in 2.5, a BIGINT in 3).
CREATE TABLE t (id INTEGER NOT NULL, s SMALLINT, n NUMERIC(9,2), b NUMERIC(18,4), d DOUBLE PRECISION,
  c CHAR(3), v VARCHAR(12), u VARCHAR(5) CHARACTER SET UTF8, dt DATE, tm TIME, ts TIMESTAMP);
INSERT INTO t VALUES (1, -7, 1234.5, -0.0001, 1.0 / 3, 'ab', 'text', 'žluť', DATE '2024-03-05',
  TIME '13:37:12.345', TIMESTAMP '1899-12-30 00:00:00');
INSERT INTO t (id) VALUES (2); /* every other column NULL */
COMMIT;

-- Column mode: headings, rules, alignment, NULL in each type.
SELECT * FROM t ORDER BY id;
SELECT id, d * 1e300 AS big, -d AS negative, CAST(0 AS DOUBLE PRECISION) AS zero FROM t WHERE id = 1;
SELECT 'a long heading for a short value' FROM RDB$DATABASE; SELECT 1 AS two_on_a_line FROM RDB$DATABASE;
SELECT id FROM t WHERE id < 0;

SET HEADING OFF;
SELECT id, v FROM t ORDER BY id;
SET HEADING ON;

SET LIST ON;
SELECT * FROM t ORDER BY id;
SELECT id FROM t WHERE id < 0;
SET TERM ^;
EXECUTE BLOCK RETURNS (i INTEGER, w VARCHAR(10)) AS
BEGIN
  i = 1; w = 'one;'; SUSPEND;  -- a terminator of the other kind, in a text
  i = 2; w = '^'''; SUSPEND;
END^
CREATE PROCEDURE p RETURNS (x INTEGER, y VARCHAR(5)) AS BEGIN x = 5; y = 'ab'; END^
SET TERM ;^
EXECUTE PROCEDURE p;
SET LIST OFF;
EXECUTE PROCEDURE p;

-- Errors: in the prepare (a line of the statement), in the fetch, in the execute.
SELECT id FROM t WHERE nothing = 1;
SELECT id / 0 FROM t WHERE id = 1;
INSERT INTO t (id) VALUES (NULL);

-- DDL is committed at once, apart from the work around it.
INSERT INTO t (id) VALUES (3);
CREATE TABLE t2 (x INTEGER);
ROLLBACK;
SELECT id FROM t WHERE id = 3;
INSERT INTO t2 VALUES (1);
COMMIT;
SELECT x FROM t2;
-- the end, unterminated, is not run
SELECT 1 FROM RDB$DATABASE
