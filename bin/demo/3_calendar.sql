-- calendar functions over the day serial (days since 1899-12-30 as DOUBLE PRECISION)
SET LIST ON;
SET ECHO ON;
-- A TIMESTAMP goes in as its distance from 1899-12-30 ... The pattern's DD and MM print
-- the day and the month without a leading zero, so 'DD.MM.YYYY' gives 5.3.2024.
SELECT ib_decodedate_year(ts - TIMESTAMP '1899-12-30 00:00:00') AS year_,
       ib_decodedate_month(ts - TIMESTAMP '1899-12-30 00:00:00') AS month_,
       ib_decodedate_day(ts - TIMESTAMP '1899-12-30 00:00:00') AS day_,
       ib_dayofweek(ts - TIMESTAMP '1899-12-30 00:00:00') AS day_of_week,
       ib_decodetime_hour(ts - TIMESTAMP '1899-12-30 00:00:00') AS hour_,
       ib_decodetime_min(ts - TIMESTAMP '1899-12-30 00:00:00') AS minute_,
       ib_decodetime_sec(ts - TIMESTAMP '1899-12-30 00:00:00') AS second_,
       ib_datetostring(ts - TIMESTAMP '1899-12-30 00:00:00', 'DD.MM.YYYY') AS formatted
FROM (SELECT TIMESTAMP '2024-03-05 13:37:12' AS ts FROM rdb$database);
-- ... and a day serial comes back as TIMESTAMP '1899-12-30' + serial. ib_endofdecade is
-- the first day after the ten-day period of the month (the 11th, the 21st or the 1st).
SELECT ib_encodedate(2024, 3, 5) AS serial,
       TIMESTAMP '1899-12-30 00:00:00' + ib_encodedate(2024, 3, 5) AS as_timestamp,
       TIMESTAMP '1899-12-30 00:00:00' + ib_endofdecade(ib_encodedate(2024, 3, 25)) AS after_ten_days,
       ib_isleapyear(2024) AS leap_2024,
       ib_isleapyear(1900) AS leap_1900,
       CAST(TIMESTAMP '1899-12-30 00:00:00' + ib_current_time() AS DATE) = CURRENT_DATE AS today_ok
FROM rdb$database;
