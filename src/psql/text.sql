-- The text functions in PSQL, beside src/core/text. Texts are bytes (CHARACTER SET NONE;
-- WIN1250 for ib_remove_diacritics) and end at their first NUL byte, as in the modules.
-- A result longer than its declared width is refused with string right truncation, as
-- by the modules, and never built beyond the longest text the engine holds.
-- The cut at the first NUL is written out in each body, as
--   IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
-- a call of a helper routine would cost more than most of these functions.

-- @ ib_string_left
-- A count read unsigned: a negative one keeps the whole text.
BEGIN
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  IF (0 > len) THEN RETURN text;
  RETURN LEFT(text, len);
END

-- @ ib_string_right
BEGIN
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  IF (0 > len) THEN RETURN text;
  RETURN RIGHT(text, len);
END

-- @ ib_lpad
-- Padded with the first byte of pad to len bytes, never cut; a negative len keeps the text.
-- An empty pad pads with NUL bytes, which end the text: what is left is empty, or the text
-- itself when no padding was needed. (ASCII_VAL: the first byte, 0 for an empty text.)
DECLARE width INTEGER;
BEGIN
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  width = IIF(len > OCTET_LENGTH(text), len, OCTET_LENGTH(text));
  IF (width > {{result_width}}) THEN
    RETURN LPAD(CAST('' AS VARCHAR(1) CHARACTER SET NONE), MINVALUE(width, {{max_varchar}}), '*');
  IF (width = OCTET_LENGTH(text)) THEN RETURN text;
  IF (ASCII_VAL(pad) = 0) THEN RETURN '';
  RETURN LPAD(text, width, LEFT(pad, 1));
END

-- @ ib_reversestring
BEGIN
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  RETURN REVERSE(text);
END

-- @ ib_quote_literal
-- Between quotes, every quote doubled.
DECLARE quote_ CHAR(1) CHARACTER SET NONE = '''';
BEGIN
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  RETURN quote_ || REPLACE(text, quote_, quote_ || quote_) || quote_;
END

-- @ ib_find_token
-- The first occurrence, 1-based; an empty part is found at 1, even in an empty text.
BEGIN
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  IF (POSITION(ASCII_CHAR(0) IN part) > 0) THEN part = LEFT(part, POSITION(ASCII_CHAR(0) IN part) - 1);
  RETURN POSITION(part IN text);
END

-- @ ib_get_token
-- The first byte of delimiters separates tokens, a run of it counts as one; without one
-- (an empty text) the whole text is the token.
DECLARE delimiter CHAR(1) CHARACTER SET NONE;
DECLARE stop_ INTEGER;
BEGIN
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  IF (ASCII_VAL(delimiters) = 0) THEN RETURN text;
  delimiter = LEFT(delimiters, 1);
  text = TRIM(LEADING delimiter FROM text);
  stop_ = POSITION(delimiter IN text);
  IF (stop_ = 0) THEN RETURN text;
  RETURN LEFT(text, stop_ - 1);
END

-- @ ib_delete_token
-- What follows the first token and the delimiters right behind it, unchanged.
DECLARE delimiter CHAR(1) CHARACTER SET NONE;
DECLARE at_ INTEGER;
BEGIN
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  IF (ASCII_VAL(delimiters) = 0) THEN RETURN '';
  delimiter = LEFT(delimiters, 1);
  text = TRIM(LEADING delimiter FROM text);
  at_ = POSITION(delimiter IN text);
  IF (at_ = 0) THEN RETURN '';
  RETURN TRIM(LEADING delimiter FROM SUBSTRING(text FROM at_));
END

-- @ ib_gets_u2_prefix
-- A flag is yes when its first byte is the upper-case A.
-- (65: compared as a byte, whatever the flag's other bytes are.)
BEGIN
  IF (ASCII_VAL(flag1) = 65) THEN RETURN IIF(ASCII_VAL(flag2) = 65, 'Y_', 'S_');
  RETURN IIF(ASCII_VAL(flag2) = 65, 'X_', 'U_');
END

-- @ ib_gets_u_prefix
BEGIN
  RETURN IIF(ASCII_VAL(flag) = 65, 'S_', 'U_');
END

-- @ ib_correct_phone_number
-- The bytes 0 to 9, in order, one byte a turn. (Not SUBSTRING ... SIMILAR by runs: Firebird
-- 3 makes its pattern anew on each call, 2.7 times the cost of this loop.)
DECLARE length_ INTEGER;
DECLARE i INTEGER = 1;
DECLARE b INTEGER;
DECLARE digits VARCHAR({{result_width}}) CHARACTER SET NONE = '';
BEGIN
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  length_ = OCTET_LENGTH(text);
  WHILE (length_ >= i) DO
  BEGIN
    b = ASCII_VAL(SUBSTRING(text FROM i FOR 1));
    IF (b >= 48 AND 57 >= b) THEN digits = digits || ASCII_CHAR(b);
    i = i + 1;
  END
  RETURN digits;
END

-- @ ib_remove_diacritics
-- Each accented letter of Windows-1250 by its plain letter; every other byte as it is.
-- The pairs are those of src/core/text/cleaning.h, byte for byte. Every accented letter
-- is a byte from 138 up: a text of bytes below 128 alone (as long in UTF-8 as it is) is
-- returned as it is. (Not SIMILAR TO a range of bytes: from Firebird 4 on, a range is one
-- of code points.) A byte that Windows-1250 leaves undefined cannot go to UTF-8: such a
-- text takes the long way.
DECLARE plain BOOLEAN = FALSE;
BEGIN
  IF (POSITION(ASCII_CHAR(0) IN text) > 0) THEN text = LEFT(text, POSITION(ASCII_CHAR(0) IN text) - 1);
  BEGIN
    plain = OCTET_LENGTH(CAST(text AS VARCHAR({{text_width}}) CHARACTER SET UTF8)) = OCTET_LENGTH(text);
    WHEN ANY DO plain = FALSE;
  END
  IF (plain) THEN RETURN text;
  text = REPLACE(text, ASCII_CHAR(138), 'S');
  text = REPLACE(text, ASCII_CHAR(140), 'S');
  text = REPLACE(text, ASCII_CHAR(141), 'T');
  text = REPLACE(text, ASCII_CHAR(142), 'Z');
  text = REPLACE(text, ASCII_CHAR(143), 'Z');
  text = REPLACE(text, ASCII_CHAR(154), 's');
  text = REPLACE(text, ASCII_CHAR(156), 's');
  text = REPLACE(text, ASCII_CHAR(157), 't');
  text = REPLACE(text, ASCII_CHAR(158), 'z');
  text = REPLACE(text, ASCII_CHAR(159), 'z');
  text = REPLACE(text, ASCII_CHAR(163), 'L');
  text = REPLACE(text, ASCII_CHAR(165), 'A');
  text = REPLACE(text, ASCII_CHAR(170), 'S');
  text = REPLACE(text, ASCII_CHAR(175), 'Z');
  text = REPLACE(text, ASCII_CHAR(179), 'l');
  text = REPLACE(text, ASCII_CHAR(185), 'a');
  text = REPLACE(text, ASCII_CHAR(186), 's');
  text = REPLACE(text, ASCII_CHAR(188), 'L');
  text = REPLACE(text, ASCII_CHAR(190), 'l');
  text = REPLACE(text, ASCII_CHAR(191), 'z');
  text = REPLACE(text, ASCII_CHAR(192), 'R');
  text = REPLACE(text, ASCII_CHAR(193), 'A');
  text = REPLACE(text, ASCII_CHAR(194), 'A');
  text = REPLACE(text, ASCII_CHAR(195), 'A');
  text = REPLACE(text, ASCII_CHAR(196), 'A');
  text = REPLACE(text, ASCII_CHAR(197), 'L');
  text = REPLACE(text, ASCII_CHAR(198), 'C');
  text = REPLACE(text, ASCII_CHAR(199), 'C');
  text = REPLACE(text, ASCII_CHAR(200), 'C');
  text = REPLACE(text, ASCII_CHAR(201), 'E');
  text = REPLACE(text, ASCII_CHAR(202), 'E');
  text = REPLACE(text, ASCII_CHAR(203), 'E');
  text = REPLACE(text, ASCII_CHAR(204), 'E');
  text = REPLACE(text, ASCII_CHAR(205), 'I');
  text = REPLACE(text, ASCII_CHAR(206), 'I');
  text = REPLACE(text, ASCII_CHAR(207), 'D');
  text = REPLACE(text, ASCII_CHAR(208), 'D');
  text = REPLACE(text, ASCII_CHAR(209), 'N');
  text = REPLACE(text, ASCII_CHAR(210), 'N');
  text = REPLACE(text, ASCII_CHAR(211), 'O');
  text = REPLACE(text, ASCII_CHAR(212), 'O');
  text = REPLACE(text, ASCII_CHAR(213), 'O');
  text = REPLACE(text, ASCII_CHAR(214), 'O');
  text = REPLACE(text, ASCII_CHAR(216), 'R');
  text = REPLACE(text, ASCII_CHAR(217), 'U');
  text = REPLACE(text, ASCII_CHAR(218), 'U');
  text = REPLACE(text, ASCII_CHAR(219), 'U');
  text = REPLACE(text, ASCII_CHAR(220), 'U');
  text = REPLACE(text, ASCII_CHAR(221), 'Y');
  text = REPLACE(text, ASCII_CHAR(222), 'T');
  text = REPLACE(text, ASCII_CHAR(223), 's');
  text = REPLACE(text, ASCII_CHAR(224), 'r');
  text = REPLACE(text, ASCII_CHAR(225), 'a');
  text = REPLACE(text, ASCII_CHAR(226), 'a');
  text = REPLACE(text, ASCII_CHAR(227), 'a');
  text = REPLACE(text, ASCII_CHAR(228), 'a');
  text = REPLACE(text, ASCII_CHAR(229), 'l');
  text = REPLACE(text, ASCII_CHAR(230), 'c');
  text = REPLACE(text, ASCII_CHAR(231), 'c');
  text = REPLACE(text, ASCII_CHAR(232), 'c');
  text = REPLACE(text, ASCII_CHAR(233), 'e');
  text = REPLACE(text, ASCII_CHAR(234), 'e');
  text = REPLACE(text, ASCII_CHAR(235), 'e');
  text = REPLACE(text, ASCII_CHAR(236), 'e');
  text = REPLACE(text, ASCII_CHAR(237), 'i');
  text = REPLACE(text, ASCII_CHAR(238), 'i');
  text = REPLACE(text, ASCII_CHAR(239), 'd');
  text = REPLACE(text, ASCII_CHAR(240), 'd');
  text = REPLACE(text, ASCII_CHAR(241), 'n');
  text = REPLACE(text, ASCII_CHAR(242), 'n');
  text = REPLACE(text, ASCII_CHAR(243), 'o');
  text = REPLACE(text, ASCII_CHAR(244), 'o');
  text = REPLACE(text, ASCII_CHAR(245), 'o');
  text = REPLACE(text, ASCII_CHAR(246), 'o');
  text = REPLACE(text, ASCII_CHAR(248), 'r');
  text = REPLACE(text, ASCII_CHAR(249), 'u');
  text = REPLACE(text, ASCII_CHAR(250), 'u');
  text = REPLACE(text, ASCII_CHAR(251), 'u');
  text = REPLACE(text, ASCII_CHAR(252), 'u');
  text = REPLACE(text, ASCII_CHAR(253), 'y');
  text = REPLACE(text, ASCII_CHAR(254), 't');
  RETURN text;
END
