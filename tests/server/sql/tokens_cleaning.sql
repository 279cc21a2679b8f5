-- Tokens, phone digits, Windows-1250 diacritics and prefix codes, one record per case.
SET LIST ON;

SELECT c.t AS text_, c.p AS part, ib_find_token(c.t, c.p) AS position_
FROM (SELECT CAST('abcdef' AS VARCHAR(20)) AS t, CAST('cd' AS VARCHAR(20)) AS p FROM RDB$DATABASE
      UNION ALL SELECT 'abcdef', 'x' FROM RDB$DATABASE
      UNION ALL SELECT 'abcdef', '' FROM RDB$DATABASE         -- empty part: at the start
      UNION ALL SELECT '', '' FROM RDB$DATABASE
      UNION ALL SELECT 'abcdef', 'CD' FROM RDB$DATABASE       -- case-sensitive
      UNION ALL SELECT 'a,b;c', 'b;c' FROM RDB$DATABASE       -- any bytes, delimiters too
      UNION ALL SELECT 'žluť', 'l' FROM RDB$DATABASE) c;      -- byte position

SELECT c.t AS text_, c.d AS delimiter, '[' || ib_get_token(c.t, c.d) || ']' AS head,
       '[' || ib_delete_token(c.t, c.d) || ']' AS tail
FROM (SELECT CAST(',,ab,,cd,ef' AS VARCHAR(20)) AS t, CAST(',' AS VARCHAR(5)) AS d FROM RDB$DATABASE
      UNION ALL SELECT 'ab', ',' FROM RDB$DATABASE
      UNION ALL SELECT 'cd,ef,,', ',' FROM RDB$DATABASE      -- trailing delimiters stay
      UNION ALL SELECT ',,,', ',' FROM RDB$DATABASE
      UNION ALL SELECT '', ',' FROM RDB$DATABASE
      UNION ALL SELECT 'ab;cd,ef', ';,' FROM RDB$DATABASE    -- only the first byte delimits
      UNION ALL SELECT 'a b', '' FROM RDB$DATABASE) c;       -- no delimiter: one token

-- Walking a list from the front visits every token once, in order.
SET TERM ^;
EXECUTE BLOCK RETURNS (step INTEGER, token VARCHAR(20)) AS
DECLARE rest VARCHAR(100) = ';Praha;;Brno;Ostrava;;';
BEGIN
  step = 0;
  WHILE (ib_get_token(rest, ';') <> '') DO
  BEGIN
    step = step + 1;
    token = ib_get_token(rest, ';');
    SUSPEND;
    rest = ib_delete_token(rest, ';');
  END
END^
SET TERM ;^

SELECT c.f AS first_, c.s AS second_, ib_gets_u2_prefix(c.f, c.s) AS u2_prefix,
       ib_gets_u_prefix(c.f) AS u_prefix
FROM (SELECT CAST('A' AS VARCHAR(5)) AS f, CAST('A' AS VARCHAR(5)) AS s FROM RDB$DATABASE
      UNION ALL SELECT 'A', 'N' FROM RDB$DATABASE
      UNION ALL SELECT 'N', 'A' FROM RDB$DATABASE
      UNION ALL SELECT '', '' FROM RDB$DATABASE
      UNION ALL SELECT 'a', 'ABC' FROM RDB$DATABASE) c;      -- lower-case a is no

SELECT c.t AS text_, '[' || ib_correct_phone_number(c.t) || ']' AS digits
FROM (SELECT CAST('+1 (2) 3-x' AS VARCHAR(30)) AS t FROM RDB$DATABASE
      UNION ALL SELECT '+420 602 123 456' FROM RDB$DATABASE
      UNION ALL SELECT 'no digits' FROM RDB$DATABASE
      UNION ALL SELECT '٣ 7' FROM RDB$DATABASE) c;          -- only ASCII digits count

-- Diacritics from a UTF8 text: the server hands the function Windows-1250 and converts
-- the result back, the same in a NONE and in a UTF8 database.
SELECT c.t AS text_, ib_remove_diacritics(c.t) AS plain,
       IIF(CHAR_LENGTH(ib_remove_diacritics(c.t)) = CHAR_LENGTH(c.t), 'yes', 'no') AS same_length
FROM (SELECT CAST('Příliš žluťoučký kůň' AS VARCHAR(40) CHARACTER SET UTF8) AS t FROM RDB$DATABASE
      UNION ALL SELECT 'ÚPĚL ĎÁBELSKÉ ÓDY' FROM RDB$DATABASE
      UNION ALL SELECT 'Łódź Śląsk Żółć' FROM RDB$DATABASE
      UNION ALL SELECT 'Straße, Ţară, Árvíztűrő' FROM RDB$DATABASE
      UNION ALL SELECT '5 × 3 ÷ µ' FROM RDB$DATABASE          -- not letters: unchanged
      UNION ALL SELECT 'plain ASCII' FROM RDB$DATABASE) c;

-- Stored text of a UTF8 column goes through the same way.
CREATE TABLE names_utf8 (name VARCHAR(40) CHARACTER SET UTF8);
COMMIT;
INSERT INTO names_utf8 VALUES ('Dvořák');
INSERT INTO names_utf8 VALUES ('Janáček');
SELECT name, ib_remove_diacritics(name) AS plain FROM names_utf8 ORDER BY name;
-- A letter that Windows-1250 cannot hold: the server refuses the call.
SELECT ib_remove_diacritics('日本') AS not_in_1250 FROM RDB$DATABASE;
COMMIT;
DROP TABLE names_utf8;
COMMIT;
