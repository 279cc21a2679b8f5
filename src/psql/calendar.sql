-- The calendar functions in PSQL, beside src/core/calendar and the platform's tick count
-- (src/platform/clock.h). A day serial goes to calendar fields through the same tick
-- count, with the same double operations in the same order:
--   serial -> ticks: trunc(serial * 10,000,000 * 86,400 + E), E the ticks of 1899-12-30;
--   ticks -> serial: double(ticks - E) / 10,000,000 / 86,400,
-- ticks being 100 ns since 1601-01-01 in 0 .. 2^63-1. Outside that every field is 0 and a
-- date that does not exist encodes to 0.0, as in the modules. The constants are doubles
-- made from exact integers (an E-notation literal is a double too).

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
  IF (NOT (tick_sum >= 0 AND tick_sum < tick_limit)) THEN
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
DECLARE weekday INTEGER;
BEGIN
  SELECT weekday FROM ardudf_psql_fields(:serial) INTO :weekday;
  RETURN weekday;
END

-- @ ib_decodedate_year
DECLARE year_num INTEGER;
BEGIN
  SELECT year_num FROM ardudf_psql_fields(:serial) INTO :year_num;
  RETURN year_num;
END

-- @ ib_decodedate_month
DECLARE month_num INTEGER;
BEGIN
  SELECT month_num FROM ardudf_psql_fields(:serial) INTO :month_num;
  RETURN month_num;
END

-- @ ib_decodedate_day
DECLARE day_num INTEGER;
BEGIN
  SELECT day_num FROM ardudf_psql_fields(:serial) INTO :day_num;
  RETURN day_num;
END

-- @ ib_decodetime_hour
DECLARE hour_num INTEGER;
BEGIN
  SELECT hour_num FROM ardudf_psql_fields(:serial) INTO :hour_num;
  RETURN hour_num;
END

-- @ ib_decodetime_min
DECLARE minute_num INTEGER;
BEGIN
  SELECT minute_num FROM ardudf_psql_fields(:serial) INTO :minute_num;
  RETURN minute_num;
END

-- @ ib_decodetime_sec
DECLARE second_num INTEGER;
BEGIN
  SELECT second_num FROM ardudf_psql_fields(:serial) INTO :second_num;
  RETURN second_num;
END

-- @ ib_encodedate
BEGIN
  RETURN ardudf_psql_encode(year_num, month_num, day_num);
END

-- @ ib_isleapyear
-- The Gregorian rule over every integer: 0 and -400 are leap years, -100 is not.
BEGIN
  RETURN IIF(MOD(year_num, 4) = 0 AND (MOD(year_num, 100) <> 0 OR MOD(year_num, 400) = 0), 1, 0);
END

-- @ ib_endofdecade
-- The day after the ten-day period (1-10, 11-20, 21 to the month's end) of the date.
DECLARE year_num INTEGER;
DECLARE month_num INTEGER;
DECLARE day_num INTEGER;
BEGIN
  SELECT year_num, month_num, day_num FROM ardudf_psql_fields(:serial) INTO :year_num, :month_num, :day_num;
  IF (day_num < 11) THEN RETURN ardudf_psql_encode(year_num, month_num, 11);
  IF (day_num < 21) THEN RETURN ardudf_psql_encode(year_num, month_num, 21);
  RETURN ardudf_psql_encode(year_num, month_num, ardudf_psql_days_in_month(year_num, month_num)) + 1e0;
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
DECLARE year_num INTEGER;
DECLARE month_num INTEGER;
DECLARE day_num INTEGER;
DECLARE full_year VARCHAR(5) CHARACTER SET NONE;
DECLARE short_year VARCHAR(2) CHARACTER SET NONE;
DECLARE formatted VARCHAR(512) CHARACTER SET NONE = '';
DECLARE length_ INTEGER;
DECLARE i INTEGER = 1;
DECLARE run_ INTEGER;
DECLARE letter INTEGER;
BEGIN
  pattern = ardudf_psql_cstring(pattern);
  SELECT year_num, month_num, day_num FROM ardudf_psql_fields(:serial) INTO :year_num, :month_num, :day_num;
  full_year = year_num;
  short_year = LPAD(MOD(year_num, 100), 2, '0');
  length_ = OCTET_LENGTH(pattern);
  WHILE (i <= length_) DO
  BEGIN
    letter = ASCII_VAL(SUBSTRING(pattern FROM i FOR 1));
    IF (letter BETWEEN 97 AND 122) THEN letter = letter - 32;
    IF (letter NOT IN (89, 77, 68)) THEN
    BEGIN
      formatted = formatted || SUBSTRING(pattern FROM i FOR 1);
      i = i + 1;
    END
    ELSE
    BEGIN
      run_ = 1;
      WHILE (i + run_ <= length_ AND BIN_OR(ASCII_VAL(SUBSTRING(pattern FROM i + run_ FOR 1)), 32) = letter + 32) DO
        run_ = run_ + 1;
      i = i + run_;
      IF (letter = 89) THEN
      BEGIN
        WHILE (run_ >= 4) DO
        BEGIN
          formatted = formatted || full_year;
          run_ = run_ - 4;
        END
        IF (run_ > 0) THEN formatted = formatted || short_year;
      END
      ELSE
      BEGIN
        run_ = (run_ + 1) / 2;
        WHILE (run_ > 0) DO
        BEGIN
          formatted = formatted || IIF(letter = 77, month_num, day_num);
          run_ = run_ - 1;
        END
      END
    END
  END
  RETURN formatted;
END
