-- Date and time fields over the day serial, and the two directions between a TIMESTAMP
-- and a day serial: ts - TIMESTAMP '1899-12-30 00:00:00' in, TIMESTAMP '1899-12-30' + x out.
SET LIST ON;

-- TIMESTAMP in: every field of the day serial, one record per timestamp.
SELECT c.ts, c.ts - TIMESTAMP '1899-12-30 00:00:00' AS serial,
       ib_decodedate_year(c.ts - TIMESTAMP '1899-12-30 00:00:00') AS year_,
       ib_decodedate_month(c.ts - TIMESTAMP '1899-12-30 00:00:00') AS month_,
       ib_decodedate_day(c.ts - TIMESTAMP '1899-12-30 00:00:00') AS day_,
       ib_dayofweek(c.ts - TIMESTAMP '1899-12-30 00:00:00') AS day_of_week,
       ib_decodetime_hour(c.ts - TIMESTAMP '1899-12-30 00:00:00') AS hour_,
       ib_decodetime_min(c.ts - TIMESTAMP '1899-12-30 00:00:00') AS minute_,
       ib_decodetime_sec(c.ts - TIMESTAMP '1899-12-30 00:00:00') AS second_
FROM (SELECT TIMESTAMP '2024-03-05 13:37:12' AS ts FROM RDB$DATABASE
      UNION ALL SELECT TIMESTAMP '1899-12-30 00:00:00' FROM RDB$DATABASE   -- serial 0, a Saturday
      UNION ALL SELECT TIMESTAMP '1899-12-31 00:00:00' FROM RDB$DATABASE   -- a Sunday
      UNION ALL SELECT TIMESTAMP '1899-12-29 18:00:00' FROM RDB$DATABASE   -- -0.25
      UNION ALL SELECT TIMESTAMP '1900-03-01 00:00:00' FROM RDB$DATABASE   -- no 29 February in 1900
      UNION ALL SELECT TIMESTAMP '2024-02-29 23:59:59.999' FROM RDB$DATABASE  -- ms dropped
      UNION ALL SELECT TIMESTAMP '1601-01-01 00:00:00' FROM RDB$DATABASE   -- the first day
      UNION ALL SELECT TIMESTAMP '9999-12-31 12:00:00' FROM RDB$DATABASE) c;  -- the server's last

-- Day serials written as numbers.
SELECT c.x AS serial, ib_decodedate_year(c.x) AS year_, ib_decodedate_month(c.x) AS month_,
       ib_decodedate_day(c.x) AS day_, ib_decodetime_hour(c.x) AS hour_,
       ib_decodetime_min(c.x) AS minute_, ib_decodetime_sec(c.x) AS second_,
       ib_dayofweek(c.x) AS day_of_week
FROM (SELECT CAST(45356.5675 AS DOUBLE PRECISION) AS x FROM RDB$DATABASE
      UNION ALL SELECT 1e0 / 3 FROM RDB$DATABASE                             -- 08:00:00, not 07:59:59
      UNION ALL SELECT 0.999999 FROM RDB$DATABASE                          -- stays on its day
      UNION ALL SELECT 45356.99 FROM RDB$DATABASE
      UNION ALL SELECT -1 FROM RDB$DATABASE) c;

-- A day serial out: TIMESTAMP '1899-12-30' + x.
SELECT c.y AS year_, c.m AS month_, c.d AS day_, ib_encodedate(c.y, c.m, c.d) AS serial,
       TIMESTAMP '1899-12-30 00:00:00' + ib_encodedate(c.y, c.m, c.d) AS as_timestamp
FROM (SELECT 2024 AS y, 3 AS m, 5 AS d FROM RDB$DATABASE
      UNION ALL SELECT 1899, 12, 30 FROM RDB$DATABASE
      UNION ALL SELECT 1900, 1, 1 FROM RDB$DATABASE
      UNION ALL SELECT 1900, 3, 1 FROM RDB$DATABASE
      UNION ALL SELECT 2000, 1, 1 FROM RDB$DATABASE
      UNION ALL SELECT 2024, 2, 29 FROM RDB$DATABASE
      UNION ALL SELECT 1899, 12, 29 FROM RDB$DATABASE
      UNION ALL SELECT 1601, 1, 1 FROM RDB$DATABASE
      UNION ALL SELECT 67560, 3, 5 FROM RDB$DATABASE) c;                   -- low 16 bits: 2024

-- The round trip keeps the time of day to the millisecond.
SELECT TIMESTAMP '1899-12-30 00:00:00' + (TIMESTAMP '2024-03-05 13:37:12.345' - TIMESTAMP '1899-12-30 00:00:00')
         AS round_trip
FROM RDB$DATABASE;
-- A DATE or TIMESTAMP does not convert to DOUBLE PRECISION by itself.
SELECT ib_decodedate_year(TIMESTAMP '2024-03-05 00:00:00') AS not_converted FROM RDB$DATABASE;

SELECT c.y AS year_, ib_isleapyear(c.y) AS leap
FROM (SELECT 1900 AS y FROM RDB$DATABASE UNION ALL SELECT 2000 FROM RDB$DATABASE
      UNION ALL SELECT 2023 FROM RDB$DATABASE UNION ALL SELECT 2024 FROM RDB$DATABASE
      UNION ALL SELECT 0 FROM RDB$DATABASE UNION ALL SELECT -4 FROM RDB$DATABASE
      UNION ALL SELECT -100 FROM RDB$DATABASE) c;

SELECT c.ts AS date_,
       TIMESTAMP '1899-12-30 00:00:00' + ib_endofdecade(c.ts - TIMESTAMP '1899-12-30 00:00:00') AS next_period
FROM (SELECT TIMESTAMP '2024-03-05 00:00:00' AS ts FROM RDB$DATABASE
      UNION ALL SELECT TIMESTAMP '2024-03-10 23:59:00' FROM RDB$DATABASE
      UNION ALL SELECT TIMESTAMP '2024-03-11 00:00:00' FROM RDB$DATABASE
      UNION ALL SELECT TIMESTAMP '2024-03-20 00:00:00' FROM RDB$DATABASE
      UNION ALL SELECT TIMESTAMP '2024-03-21 00:00:00' FROM RDB$DATABASE
      UNION ALL SELECT TIMESTAMP '2024-03-31 00:00:00' FROM RDB$DATABASE
      UNION ALL SELECT TIMESTAMP '2024-02-25 00:00:00' FROM RDB$DATABASE
      UNION ALL SELECT TIMESTAMP '2023-02-25 00:00:00' FROM RDB$DATABASE
      UNION ALL SELECT TIMESTAMP '2023-12-31 00:00:00' FROM RDB$DATABASE
      UNION ALL SELECT TIMESTAMP '1899-12-29 00:00:00' FROM RDB$DATABASE) c;

-- The current local time: the server's clock and ours agree within a few seconds.
SELECT IIF(ABS((TIMESTAMP '1899-12-30 00:00:00' + ib_current_time()) - CURRENT_TIMESTAMP) * 86400 < 5,
           'yes', 'no') AS current_time_agrees,
       IIF(ib_current_time() <> FLOOR(ib_current_time()) OR EXTRACT(HOUR FROM CURRENT_TIME) = 0,
           'yes', 'no') AS has_time_of_day
FROM RDB$DATABASE;
