-- The value functions in PSQL, beside src/core/value. Texts arrive CHARACTER SET NONE and
-- are bytes; like the modules, a text ends at its first NUL byte.
--
-- How the generator reads this file (and the other three): "-- @ NAME" opens the body of
-- the catalogue's function or procedure NAME, which follows its generated header
-- (CREATE OR ALTER FUNCTION NAME (arguments) RETURNS type AS); the generator puts the
-- NULL rule of the catalogue right after the body's first BEGIN. "-- @helper" opens a
-- routine of this face alone, created whole as written, before the functions; "-- @setup"
-- opens statements run before anything else. Text before the first mark is not copied.

-- @helper
-- A text as the modules read it: up to its first NUL byte, the whole of it without one.
CREATE OR ALTER FUNCTION ardudf_psql_cstring (text VARCHAR({{max_varchar}}) CHARACTER SET NONE)
    RETURNS VARCHAR({{max_varchar}}) CHARACTER SET NONE
AS
    DECLARE nul INTEGER;
BEGIN
  nul = POSITION(ASCII_CHAR(0) IN text);
  IF (nul = 0) THEN RETURN text;
  RETURN SUBSTRING(text FROM 1 FOR nul - 1);
END

-- @ ib_string_length
DECLARE nul INTEGER;
BEGIN
  nul = POSITION(ASCII_CHAR(0) IN text);
  RETURN IIF(nul = 0, OCTET_LENGTH(text), nul - 1);
END

-- @ ib_uniqueid
-- The generator of the modules: a 32-bit linear congruential state, 1 before the first
-- draw, each character bits 16 to 30 of the next state modulo 36. The modules keep it per
-- thread; here it is kept per attachment, which is what a caller of the modules sees as
-- long as its attachment runs on one thread (an embedded or a dedicated server).
-- A length beyond the declared {{result_width}} is refused, as by the modules, before anything is drawn.
-- Two characters a turn: a PSQL statement costs more than the arithmetic in it.
DECLARE state BIGINT;
DECLARE wanted INTEGER;
DECLARE id VARCHAR({{result_width}}) CHARACTER SET NONE = '';
DECLARE digits CHAR(36) CHARACTER SET NONE = '0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ';
BEGIN
  wanted = IIF(len > 0, len, 0);
  IF (wanted > {{result_width}}) THEN
    RETURN LPAD(CAST('' AS VARCHAR(1) CHARACTER SET NONE), MINVALUE(wanted, {{max_varchar}}), '0');
  state = COALESCE(CAST(RDB$GET_CONTEXT('USER_SESSION', 'ARDUDF_PSQL_ID_STATE') AS BIGINT), 1);
  WHILE (wanted > 1) DO
  BEGIN
    state = MOD(state * 214013 + 2531011, 4294967296);
    id = id || SUBSTRING(digits FROM MOD(BIN_AND(BIN_SHR(state, 16), 32767), 36) + 1 FOR 1);
    state = MOD(state * 214013 + 2531011, 4294967296);
    id = id || SUBSTRING(digits FROM MOD(BIN_AND(BIN_SHR(state, 16), 32767), 36) + 1 FOR 1);
    wanted = wanted - 2;
  END
  IF (wanted = 1) THEN
  BEGIN
    state = MOD(state * 214013 + 2531011, 4294967296);
    id = id || SUBSTRING(digits FROM MOD(BIN_AND(BIN_SHR(state, 16), 32767), 36) + 1 FOR 1);
  END
  RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_PSQL_ID_STATE', state);
  RETURN id;
END

-- @ ardudf_version
-- The release, filled in when the script is generated, and this face.
BEGIN
  RETURN 'ardudf {{version}} PSQL';
END

-- @ ib_isnotnull
-- NULL is 'N', as the empty text; so is a text that starts with a NUL byte.
BEGIN
  RETURN IIF(ASCII_VAL(text) > 0, 'A', 'N');
END

-- @ ib_convchartoint
-- White space (bytes 9 to 13 and 32), one sign, then digits; no digit gives 0, and a
-- number beyond the int32 range is held at its limit. Up to 9 digits and nothing after
-- them, the engine's cast reads them; otherwise one byte a turn.
DECLARE digits VARCHAR({{text_width}}) CHARACTER SET NONE;
DECLARE length_ INTEGER;
DECLARE i INTEGER = 1;
DECLARE b INTEGER;
DECLARE negative BOOLEAN = FALSE;
DECLARE limit_ BIGINT;
DECLARE value_ BIGINT = 0;
BEGIN
  digits = text;
  b = ASCII_VAL(digits);
  WHILE (b = 32 OR (b >= 9 AND 13 >= b)) DO
  BEGIN
    i = i + 1;
    b = ASCII_VAL(SUBSTRING(digits FROM i FOR 1));
  END
  IF (b = 43 OR b = 45) THEN
  BEGIN
    negative = (b = 45);
    i = i + 1;
  END
  IF (i > 1) THEN digits = SUBSTRING(digits FROM i);
  IF (9 >= OCTET_LENGTH(digits) AND digits SIMILAR TO '[0-9]+') THEN
    RETURN IIF(negative, -CAST(digits AS INTEGER), CAST(digits AS INTEGER));
  limit_ = IIF(negative, 2147483648, 2147483647);
  length_ = OCTET_LENGTH(digits);
  i = 1;
  WHILE (length_ >= i) DO
  BEGIN
    b = ASCII_VAL(SUBSTRING(digits FROM i FOR 1)) - 48;
    IF (0 > b OR b > 9) THEN LEAVE;
    value_ = value_ * 10 + b;
    IF (value_ >= limit_) THEN
    BEGIN
      value_ = limit_;
      LEAVE;
    END
    i = i + 1;
  END
  RETURN IIF(negative, -value_, value_);
END

-- @ ib_greatest
-- a when a > b, else b: of two equal values (0 and -0 too) it is b, and so it is when
-- either is a NaN. The engine orders a NaN below every number, so that only > and >=
-- (and = and <>) test doubles as C++ does: every comparison of doubles here is written
-- with them.
BEGIN
  RETURN IIF(a > b, a, b);
END

-- @ ib_least
BEGIN
  RETURN IIF(b > a, a, b);
END
