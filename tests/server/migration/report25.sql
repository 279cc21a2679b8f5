-- What every caller of ardudf in schema25.sql gives, report.sql in Firebird 2.5's SQL.
SET LIST ON;
SELECT 'report' AS ardudf_report FROM RDB$DATABASE;
SELECT id, code, padded, plain_name, note_length, year_of, stamp, CAST('/' || ib_lpad(code, 6, '0') || '/' AS VARCHAR(40)) AS slashed,
  CAST(ib_datetostring(dated, 'YYYY-MM-DD') || ' ' || ib_dayofweek(dated) || ' ' || ib_isleapyear(ib_decodedate_year(dated))
    AS VARCHAR(40)) AS label
  FROM item ORDER BY id;
SELECT * FROM item_view ORDER BY id;
SELECT * FROM tokens('a, b;c  d');
SELECT * FROM tokens(NULL);
SELECT * FROM settle(60, 10);
SELECT * FROM settle(NULL, NULL);
SELECT id, s, p, strlen(s) AS len FROM own ORDER BY id;

-- The expression indexes, and the same conditions without them.
SET PLAN ON;
SELECT id FROM item WHERE ib_string_length(note) = 0 ORDER BY id;
SELECT id FROM item WHERE ib_string_length(note) + 0 = 0 ORDER BY id;
SELECT id FROM item WHERE year_of = 1899 ORDER BY id;
SELECT id FROM item WHERE year_of + 0 = 1899 ORDER BY id;
SELECT id FROM item WHERE CAST('/' || ib_lpad(code, 6, '0') || '/' AS VARCHAR(40)) = '/000000/' ORDER BY id;
SELECT id FROM item WHERE CAST('/' || ib_lpad(code, 6, '0') || '/' AS VARCHAR(40)) || '' = '/000000/' ORDER BY id;
SELECT id FROM item WHERE CAST(ib_datetostring(dated, 'YYYY-MM-DD') || ' ' || ib_dayofweek(dated) || ' '
  || ib_isleapyear(ib_decodedate_year(dated)) AS VARCHAR(40)) STARTING WITH '1899' ORDER BY id;
SELECT id FROM own WHERE strlen(s) = 0 ORDER BY id;
SELECT id FROM own WHERE strlen(s) + 0 = 0 ORDER BY id;
SET PLAN OFF;

-- What the CHECKs, the domain and the trigger take and refuse.
INSERT INTO ref VALUES (NULL);
INSERT INTO ref VALUES ('');
INSERT INTO item (id, code) VALUES (10, NULL);
INSERT INTO item (id, code, name) VALUES (11, '123456789012345', 'too long a code');
INSERT INTO item (id, code, name, kind) VALUES (12, 'A7', NULL, 'A');
UPDATE item SET code = NULL, kind = NULL WHERE id = 1;
SELECT id, padded, stamp FROM item WHERE id IN (1, 10, 11, 12) ORDER BY id;
SELECT COUNT(*) AS refs FROM ref;
ROLLBACK;
