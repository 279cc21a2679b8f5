-- ib_datetostring: year, month and day letters replaced, in either case, anywhere.
SET LIST ON;

SELECT c.p AS pattern, '[' || ib_datetostring(TIMESTAMP '2024-03-05 13:37:12' - TIMESTAMP '1899-12-30 00:00:00', c.p) || ']' AS formatted
FROM (SELECT CAST('DD.MM.YYYY' AS VARCHAR(40)) AS p FROM RDB$DATABASE
      UNION ALL SELECT 'YYYY-MM-DD' FROM RDB$DATABASE
      UNION ALL SELECT 'yyyy/mm/dd' FROM RDB$DATABASE
      UNION ALL SELECT 'D. M. YY' FROM RDB$DATABASE
      UNION ALL SELECT 'YYYYMMDD' FROM RDB$DATABASE
      UNION ALL SELECT 'YYY' FROM RDB$DATABASE
      UNION ALL SELECT 'YYYYY' FROM RDB$DATABASE
      UNION ALL SELECT 'MMM' FROM RDB$DATABASE
      UNION ALL SELECT 'DDD' FROM RDB$DATABASE
      UNION ALL SELECT 'Mon DD' FROM RDB$DATABASE
      UNION ALL SELECT 'Today: DD' FROM RDB$DATABASE          -- letters of words are tokens too
      UNION ALL SELECT 'Date: DD.MM.YYYY' FROM RDB$DATABASE
      UNION ALL SELECT '' FROM RDB$DATABASE
      UNION ALL SELECT 'hh:nn:ss' FROM RDB$DATABASE           -- no y, m or d: unchanged
      UNION ALL SELECT 'ďDď' FROM RDB$DATABASE) c;            -- bytes above 127 never match

SELECT c.ts AS date_, ib_datetostring(c.ts - TIMESTAMP '1899-12-30 00:00:00', c.p) AS formatted
FROM (SELECT TIMESTAMP '2024-12-25 00:00:00' AS ts, CAST('DD.MM.YYYY' AS VARCHAR(20)) AS p FROM RDB$DATABASE
      UNION ALL SELECT TIMESTAMP '2024-12-25 00:00:00', 'MMM' FROM RDB$DATABASE
      UNION ALL SELECT TIMESTAMP '2005-07-09 00:00:00', 'YY' FROM RDB$DATABASE
      UNION ALL SELECT TIMESTAMP '2005-07-09 00:00:00', 'DD.MM.YYYY' FROM RDB$DATABASE
      UNION ALL SELECT TIMESTAMP '2000-01-01 00:00:00', 'YY' FROM RDB$DATABASE
      UNION ALL SELECT TIMESTAMP '1601-01-01 00:00:00', 'D.M.YYYY' FROM RDB$DATABASE) c;

-- The widest result: 255 single tokens on a date with two-digit month and day doubles
-- in length, 510 characters, within the declared 512.
SELECT CHAR_LENGTH(ib_datetostring(TIMESTAMP '2024-12-25 00:00:00' - TIMESTAMP '1899-12-30 00:00:00',
                                   LPAD('', 255, 'YMD'))) AS widest
FROM RDB$DATABASE;
-- NULL date and pattern are read as 0 and the empty text.
SELECT ib_datetostring(NULL, 'D.M.YYYY') AS date_null, '[' || ib_datetostring(45356, NULL) || ']' AS pattern_null
FROM RDB$DATABASE;
