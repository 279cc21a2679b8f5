-- The calendar functions in PSQL, beside src/core/calendar and the platform's tick count
-- (src/platform/clock.h). A day serial goes to calendar fields through the same tick
-- count, with the same double operations in the same order:
--   serial -> ticks: trunc(serial * 10,000,000 * 86,400 + E), E the ticks of 1899-12-30;
--   ticks -> serial: double(ticks - E) / 10,000,000 / 86,400,
-- ticks being 100 ns since 1601-01-01 in 0 .. 2^63-1. Outside that every field is 0 and a
-- date that does not exist encodes to 0.0, as in the modules. The constants are doubles
-- made from exact integers (an E-notation literal is a double too).
--
-- Each function decodes inline (a call of a helper routine costs more than the decoding):
-- the tick count, then the day count since 1601-01-01 as a DATE, whose fields the engine's
-- EXTRACT gives. A DATE ends at 9999-12-31; beyond day 3067609 (9999-10-31, far enough
-- from the end for the month that follows it) the helper ardudf_psql_fields decodes by arithmetic. Every comparison of a double is > or >=
-- (see ib_greatest): a NaN serial gives the zeros, as in the modules.

-- @helper
-- All fields of a day serial, as one row: year, month and day, the day of the week as
-- ib_dayofweek gives it (1 = Sunday .. 7 = Saturday), hour, minute and second; all 0
-- outside the range.
CREATE OR ALTER PROCEDURE ardudf_psql_fields (serial DOUBLE PRECISION)
    RETURNS (year_num INTEGER, month_num INTEGER, day_num INTEGER, weekday INTEGER,
             hour_num INTEGER, minute_num INTEGER, second_num INTEGER)
AS
  DECLARE origin DOUBLE PRECISION;
  DECLARE tick_limit DOUBLE PRECISION;
  DECLARE tick_sum DOUBLE PRECISION;
  DECLARE ticks BIGINT;
  DECLARE days BIGINT;
  DECLARE ms BIGINT;
  DECLARE z BIGINT;
  DECLARE era BIGINT;
  DECLARE doe BIGINT;
  DECLARE yoe BIGINT;
  DECLARE doy BIGINT;
  DECLARE mp BIGINT;
BEGIN
  year_num = 0; month_num = 0; day_num = 0; weekday = 0;
  hour_num = 0; minute_num = 0; second_num = 0;
  -- Far outside the range anyway; the products below would overflow, which the engine
  -- refuses where the modules get an infinity and then the same zeros.
  IF (ABS(serial) > 1e15) THEN
  BEGIN
    SUSPEND;
    EXIT;
  END
  origin = CAST(94353120000000000 AS DOUBLE PRECISION);
  tick_limit = CAST(4611686018427387904 AS DOUBLE PRECISION) * 2; -- 2^63
  tick_sum = serial * 1e7 * 86400e0 + origin;
  IF (NOT (tick_sum >= 0e0 AND tick_limit > tick_sum)) THEN
  BEGIN
    SUSPEND;
    EXIT;
  END
  ticks = CAST(TRUNC(tick_sum) AS BIGINT);
  days = ticks / 864000000000;       -- since 1601-01-01, a Monday
  ms = MOD(ticks, 864000000000) / 10000;
  -- The civil date of a day count (Hinnant's algorithm), counted from 0000-03-01.
  z = days + 584694;
  era = z / 146097;
  doe = z - era * 146097;
  yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  mp = (5 * doy + 2) / 153;
  day_num = doy - (153 * mp + 2) / 5 + 1;
  month_num = IIF(mp < 10, mp + 3, mp - 9);
  year_num = yoe + era * 400 + IIF(month_num <= 2, 1, 0);
  weekday = MOD(days + 1, 7) + 1;
  hour_num = ms / 3600000;
  minute_num = MOD(ms / 60000, 60);
  second_num = MOD(ms / 1000, 60);
  SUSPEND;
END

-- @helper
-- Days of a month; 30 for a month outside 1 .. 12.
CREATE OR ALTER FUNCTION ardudf_psql_days_in_month (year_num INTEGER, month_num INTEGER)
    RETURNS INTEGER
AS
BEGIN
  IF (month_num < 1 OR month_num > 12) THEN RETURN 30;
  IF (month_num = 2) THEN
    RETURN IIF(MOD(year_num, 4) = 0 AND (MOD(year_num, 100) <> 0 OR MOD(year_num, 400) = 0), 29, 28);
  RETURN IIF(month_num IN (4, 6, 9, 11), 30, 31);
END

-- @helper
-- The whole day serial of 00:00 on a date, each argument by its low 16 bits (67560 is
-- 2024); 0.0 for a date that does not exist or lies outside 1601 .. 30827.
CREATE OR ALTER FUNCTION ardudf_psql_encode (year_num INTEGER, month_num INTEGER, day_num INTEGER)
    RETURNS DOUBLE PRECISION
AS
  DECLARE y BIGINT;
  DECLARE m BIGINT;
  DECLARE d BIGINT;
  DECLARE era BIGINT;
  DECLARE yoe BIGINT;
  DECLARE doy BIGINT;
  DECLARE days BIGINT;
  DECLARE serial DOUBLE PRECISION;
  DECLARE whole DOUBLE PRECISION;
BEGIN
  y = BIN_AND(year_num, 65535);
  m = BIN_AND(month_num, 65535);
  d = BIN_AND(day_num, 65535);
  IF (y < 1601 OR y > 30827 OR m < 1 OR m > 12 OR d < 1 OR d > ardudf_psql_days_in_month(y, m)) THEN
    RETURN 0e0;
  -- Days since 1601-01-01 (Hinnant's days_from_civil, shifted).
  y = y - IIF(m <= 2, 1, 0);
  era = y / 400;
  yoe = y - era * 400;
  doy = (153 * IIF(m > 2, m - 3, m + 9) + 2) / 5 + d - 1;
  days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 584694;
  serial = CAST(days * 864000000000 - 94353120000000000 AS DOUBLE PRECISION) / 1e7 / 86400e0;
  whole = TRUNC(serial);
  RETURN IIF(serial - whole >= 0.5e0, whole + 1e0, whole);
END

-- @ ib_dayofweek
-- 1601-01-01 was a Monday.
DECLARE t DOUBLE PRECISION;
BEGIN
  IF (ABS(serial) > 1e15) THEN RETURN 0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0;
  RETURN MOD(CAST(TRUNC(t) AS BIGINT) / 864000000000 + 1, 7) + 1;
END

-- @ ib_decodedate_year
DECLARE t DOUBLE PRECISION;
DECLARE days BIGINT;
DECLARE v INTEGER;
BEGIN
  IF (ABS(serial) > 1e15) THEN RETURN 0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0;
  days = CAST(TRUNC(t) AS BIGINT) / 864000000000;
  IF (days > 3067609) THEN
  BEGIN
    SELECT year_num FROM ardudf_psql_fields(:serial) INTO :v;
    RETURN v;
  END
  RETURN EXTRACT(YEAR FROM DATE '1601-01-01' + days);
END

-- @ ib_decodedate_month
DECLARE t DOUBLE PRECISION;
DECLARE days BIGINT;
DECLARE v INTEGER;
BEGIN
  IF (ABS(serial) > 1e15) THEN RETURN 0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0;
  days = CAST(TRUNC(t) AS BIGINT) / 864000000000;
  IF (days > 3067609) THEN
  BEGIN
    SELECT month_num FROM ardudf_psql_fields(:serial) INTO :v;
    RETURN v;
  END
  RETURN EXTRACT(MONTH FROM DATE '1601-01-01' + days);
END

-- @ ib_decodedate_day
DECLARE t DOUBLE PRECISION;
DECLARE days BIGINT;
DECLARE v INTEGER;
BEGIN
  IF (ABS(serial) > 1e15) THEN RETURN 0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0;
  days = CAST(TRUNC(t) AS BIGINT) / 864000000000;
  IF (days > 3067609) THEN
  BEGIN
    SELECT day_num FROM ardudf_psql_fields(:serial) INTO :v;
    RETURN v;
  END
  RETURN EXTRACT(DAY FROM DATE '1601-01-01' + days);
END

-- @ ib_decodetime_hour
DECLARE t DOUBLE PRECISION;
BEGIN
  IF (ABS(serial) > 1e15) THEN RETURN 0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0;
  RETURN MOD(CAST(TRUNC(t) AS BIGINT), 864000000000) / 36000000000;
END

-- @ ib_decodetime_min
DECLARE t DOUBLE PRECISION;
BEGIN
  IF (ABS(serial) > 1e15) THEN RETURN 0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0;
  RETURN MOD(MOD(CAST(TRUNC(t) AS BIGINT), 864000000000) / 600000000, 60);
END

-- @ ib_decodetime_sec
DECLARE t DOUBLE PRECISION;
BEGIN
  IF (ABS(serial) > 1e15) THEN RETURN 0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0;
  RETURN MOD(MOD(CAST(TRUNC(t) AS BIGINT), 864000000000) / 10000000, 60);
END

-- @ ib_encodedate
-- As ardudf_psql_encode, written out.
DECLARE y BIGINT;
DECLARE m BIGINT;
DECLARE d BIGINT;
DECLARE era BIGINT;
DECLARE serial DOUBLE PRECISION;
DECLARE whole DOUBLE PRECISION;
BEGIN
  y = BIN_AND(year_num, 65535);
  m = BIN_AND(month_num, 65535);
  d = BIN_AND(day_num, 65535);
  IF (1601 > y OR y > 30827 OR 1 > m OR m > 12 OR 1 > d OR d > 31) THEN RETURN 0e0;
  IF (d > 28 AND d > IIF(m = 2, IIF(MOD(y, 4) = 0 AND (MOD(y, 100) <> 0 OR MOD(y, 400) = 0), 29, 28),
                               IIF(m IN (4, 6, 9, 11), 30, 31))) THEN RETURN 0e0;
  IF (2 >= m) THEN y = y - 1;
  era = y / 400;
  serial = CAST((era * 146097 + (y - era * 400) * 365 + (y - era * 400) / 4 - (y - era * 400) / 100
                 + (153 * IIF(m > 2, m - 3, m + 9) + 2) / 5 + d - 1 - 584694) * 864000000000
                - 94353120000000000 AS DOUBLE PRECISION) / 1e7 / 86400e0;
  whole = TRUNC(serial);
  RETURN IIF(serial - whole >= 0.5e0, whole + 1e0, whole);
END

-- @ ib_isleapyear
-- The Gregorian rule over every integer: 0 and -400 are leap years, -100 is not.
BEGIN
  RETURN IIF(MOD(year_num, 4) = 0 AND (MOD(year_num, 100) <> 0 OR MOD(year_num, 400) = 0), 1, 0);
END

-- @ ib_endofdecade
-- The day after the ten-day period (1-10, 11-20, 21 to the month's end) of the date: the
-- serial of the 11th or the 21st, or that of the month's last day and one more.
DECLARE t DOUBLE PRECISION;
DECLARE days BIGINT;
DECLARE day_num INTEGER;
DECLARE year_num INTEGER;
DECLARE month_num INTEGER;
DECLARE d DATE;
DECLARE serial_ DOUBLE PRECISION;
DECLARE whole DOUBLE PRECISION;
BEGIN
  IF (ABS(serial) > 1e15) THEN RETURN 0e0;
  t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
  IF (NOT (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t)) THEN RETURN 0e0;
  days = CAST(TRUNC(t) AS BIGINT) / 864000000000;
  IF (days > 3067609) THEN
  BEGIN
    SELECT year_num, month_num, day_num FROM ardudf_psql_fields(:serial) INTO :year_num, :month_num, :day_num;
    IF (11 > day_num) THEN RETURN ardudf_psql_encode(year_num, month_num, 11);
    IF (21 > day_num) THEN RETURN ardudf_psql_encode(year_num, month_num, 21);
    RETURN ardudf_psql_encode(year_num, month_num, ardudf_psql_days_in_month(year_num, month_num)) + 1e0;
  END
  d = DATE '1601-01-01' + days;
  day_num = EXTRACT(DAY FROM d);
  IF (11 > day_num) THEN d = d + (11 - day_num);
  ELSE IF (21 > day_num) THEN d = d + (21 - day_num);
  ELSE d = DATEADD(1 MONTH TO d - (day_num - 1)) - 1;
  serial_ = CAST((d - DATE '1601-01-01') * 864000000000 - 94353120000000000 AS DOUBLE PRECISION) / 1e7 / 86400e0;
  whole = TRUNC(serial_);
  serial_ = IIF(serial_ - whole >= 0.5e0, whole + 1e0, whole);
  RETURN IIF(day_num >= 21, serial_ + 1e0, serial_);
END

-- @ ib_current_time
-- The local wall clock to the millisecond, through the tick count as a clock's reading is.
DECLARE now_ TIMESTAMP;
DECLARE ticks BIGINT;
BEGIN
  now_ = CAST('NOW' AS TIMESTAMP);
  ticks = (CAST(now_ AS DATE) - DATE '1601-01-01') * 864000000000
          + (EXTRACT(HOUR FROM now_) * 3600000 + EXTRACT(MINUTE FROM now_) * 60000
             + TRUNC(EXTRACT(SECOND FROM now_) * 1000)) * 10000;
  RETURN CAST(ticks - 94353120000000000 AS DOUBLE PRECISION) / 1e7 / 86400e0;
END

-- @ ib_datetostring
-- Each run of one of the letters Y, M, D (either case, anywhere, inside words too) is
-- replaced, greedily from the left: n Y give n/4 years and, when n mod 4 is not 0, one
-- two-digit year; n M (D) give (n+1)/2 months (days). Every other byte is kept.
-- So: the letters made upper case, then each run cut into its pieces from the left by
-- REPLACE, the longest piece first (what a piece becomes holds no letter).
DECLARE t DOUBLE PRECISION;
DECLARE days BIGINT;
DECLARE d DATE;
DECLARE year_num INTEGER = 0;
DECLARE month_num INTEGER = 0;
DECLARE day_num INTEGER = 0;
DECLARE short_year VARCHAR(2) CHARACTER SET NONE;
DECLARE formatted VARCHAR({{result_width}}) CHARACTER SET NONE;
BEGIN
  IF (POSITION(ASCII_CHAR(0) IN pattern) > 0) THEN pattern = LEFT(pattern, POSITION(ASCII_CHAR(0) IN pattern) - 1);
  IF (NOT (ABS(serial) > 1e15)) THEN
  BEGIN
    t = serial * 1e7 * 86400e0 + CAST(94353120000000000 AS DOUBLE PRECISION);
    IF (t >= 0e0 AND CAST(4611686018427387904 AS DOUBLE PRECISION) * 2 > t) THEN
    BEGIN
      days = CAST(TRUNC(t) AS BIGINT) / 864000000000;
      IF (days > 3067609) THEN
        SELECT year_num, month_num, day_num FROM ardudf_psql_fields(:serial) INTO :year_num, :month_num, :day_num;
      ELSE
      BEGIN
        d = DATE '1601-01-01' + days;
        year_num = EXTRACT(YEAR FROM d);
        month_num = EXTRACT(MONTH FROM d);
        day_num = EXTRACT(DAY FROM d);
      END
    END
  END
  short_year = LPAD(MOD(year_num, 100), 2, '0');
  formatted = REPLACE(REPLACE(REPLACE(pattern, 'y', 'Y'), 'm', 'M'), 'd', 'D');
  formatted = REPLACE(formatted, 'YYYY', year_num);
  formatted = REPLACE(REPLACE(REPLACE(formatted, 'YYY', short_year), 'YY', short_year), 'Y', short_year);
  formatted = REPLACE(REPLACE(formatted, 'MM', month_num), 'M', month_num);
  RETURN REPLACE(REPLACE(formatted, 'DD', day_num), 'D', day_num);
END
