-- module: udr
-- The UDR module follows the declaration: a text is as wide as it is declared (the shipped
-- script says 8191 bytes), and a declaration may choose other widths and types, which the
-- engine converts into the ones the routine reads.

-- Wider than shipped: up to VARCHAR's 32765 bytes.
CREATE FUNCTION wide_left (a VARCHAR(32765) CHARACTER SET NONE, n INTEGER)
    RETURNS VARCHAR(32765) CHARACTER SET NONE EXTERNAL NAME 'ardudf_udr!ib_string_left' ENGINE UDR;
CREATE FUNCTION wide_reverse (a VARCHAR(32765) CHARACTER SET NONE)
    RETURNS VARCHAR(32765) CHARACTER SET NONE EXTERNAL NAME 'ardudf_udr!ib_reversestring' ENGINE UDR;
COMMIT;
SET TERM ^;
EXECUTE BLOCK RETURNS (left_30001 INTEGER, same BOOLEAN, reversed_head VARCHAR(4) CHARACTER SET NONE) AS
DECLARE x VARCHAR(32765) CHARACTER SET NONE;
BEGIN
  x = LPAD(CAST('' AS VARCHAR(1) CHARACTER SET NONE), 30000, 'x');
  left_30001 = OCTET_LENGTH(wide_left(x || 'yz', 30001));
  same = wide_left(x || 'yz', 30001) = x || 'y';
  reversed_head = RIGHT(wide_reverse('abc' || LPAD(CAST('' AS VARCHAR(1) CHARACTER SET NONE), 32762, '-')), 4);
  SUSPEND;
END^
SET TERM ;^

-- Narrower: the module raises string truncation rather than write past the field.
CREATE FUNCTION narrow_left (a VARCHAR(100) CHARACTER SET NONE, n INTEGER)
    RETURNS VARCHAR(3) CHARACTER SET NONE EXTERNAL NAME 'ardudf_udr!ib_string_left' ENGINE UDR;
CREATE FUNCTION narrow_digits (a VARCHAR(20) CHARACTER SET NONE)
    RETURNS VARCHAR(4) CHARACTER SET NONE EXTERNAL NAME 'ardudf_udr!ib_correct_phone_number' ENGINE UDR;
CREATE FUNCTION narrow_quote (a VARCHAR(20) CHARACTER SET NONE)
    RETURNS VARCHAR(6) CHARACTER SET NONE EXTERNAL NAME 'ardudf_udr!ib_quote_literal' ENGINE UDR;
COMMIT;
SELECT narrow_left('abcdef', 3) AS left_3, narrow_digits('+1 (23) 4') AS four_digits,
       narrow_quote('abc') AS quoted
FROM RDB$DATABASE;
SELECT narrow_left('abcdef', 4) FROM RDB$DATABASE;
SELECT narrow_digits('12345') FROM RDB$DATABASE;
SELECT narrow_quote('a''''b') FROM RDB$DATABASE;

-- Other types and character sets: converted by the engine on the way in and out.
CREATE FUNCTION char_length_of (a CHAR(5) CHARACTER SET NONE)
    RETURNS INTEGER EXTERNAL NAME 'ardudf_udr!ib_string_length' ENGINE UDR;
CREATE FUNCTION big_left (a VARCHAR(10) CHARACTER SET NONE, n BIGINT)
    RETURNS VARCHAR(10) CHARACTER SET NONE EXTERNAL NAME 'ardudf_udr!ib_string_left' ENGINE UDR;
CREATE FUNCTION left_number (a VARCHAR(10) CHARACTER SET NONE, n INTEGER)
    RETURNS INTEGER EXTERNAL NAME 'ardudf_udr!ib_string_left' ENGINE UDR;
CREATE FUNCTION utf8_length (a VARCHAR(10) CHARACTER SET UTF8)
    RETURNS INTEGER EXTERNAL NAME 'ardudf_udr!ib_string_length' ENGINE UDR;
CREATE FUNCTION utf8_plain (a VARCHAR(20) CHARACTER SET UTF8)
    RETURNS VARCHAR(20) CHARACTER SET UTF8 EXTERNAL NAME 'ardudf_udr!ib_remove_diacritics' ENGINE UDR;
COMMIT;
SELECT char_length_of('ab') AS char_5, big_left('abcdef', 2) AS big_2, left_number('12345', 3) + 1 AS number_124,
       utf8_length('žžž') AS utf8_bytes_6, utf8_plain('Žluťoučký kůň') AS plain
FROM RDB$DATABASE;

-- Another number of parameters than the routine takes: refused when declared.
CREATE FUNCTION short_left (a VARCHAR(10) CHARACTER SET NONE)
    RETURNS VARCHAR(10) CHARACTER SET NONE EXTERNAL NAME 'ardudf_udr!ib_string_left' ENGINE UDR;
COMMIT;
SELECT short_left('abc') FROM RDB$DATABASE;

DROP FUNCTION wide_left;
DROP FUNCTION wide_reverse;
DROP FUNCTION narrow_left;
DROP FUNCTION narrow_digits;
DROP FUNCTION narrow_quote;
DROP FUNCTION char_length_of;
DROP FUNCTION big_left;
DROP FUNCTION left_number;
DROP FUNCTION utf8_length;
DROP FUNCTION utf8_plain;
COMMIT;
