-- Substrings, padding, reversal, quoting, identifiers and the value functions, one
-- record per case. Lengths and counts are bytes: a UTF8 letter of two bytes counts two.
SET LIST ON;

-- The first draw of this process: the generator starts at the same point in every thread.
SELECT ib_uniqueid(4) AS first_id_in_thread FROM RDB$DATABASE;

SELECT c.t AS text_, c.n AS count_,
       ib_string_length(c.t) AS length_,
       '[' || ib_string_left(c.t, c.n) || ']' AS left_,
       '[' || ib_string_right(c.t, c.n) || ']' AS right_
FROM (SELECT CAST('abcdef' AS VARCHAR(20)) AS t, 2 AS n FROM RDB$DATABASE
      UNION ALL SELECT 'abcdef', 0 FROM RDB$DATABASE        -- nothing
      UNION ALL SELECT 'abcdef', 6 FROM RDB$DATABASE        -- all of it
      UNION ALL SELECT 'abcdef', 99 FROM RDB$DATABASE       -- more than there is
      UNION ALL SELECT 'abcdef', -1 FROM RDB$DATABASE       -- negative counts as huge
      UNION ALL SELECT '', 3 FROM RDB$DATABASE
      UNION ALL SELECT 'žluť', 2 FROM RDB$DATABASE) c;      -- bytes: ž is two

SELECT c.t AS text_, c.w AS length_, c.p AS pad, '[' || ib_lpad(c.t, c.w, c.p) || ']' AS padded
FROM (SELECT CAST('42' AS VARCHAR(20)) AS t, 5 AS w, CAST('0' AS VARCHAR(5)) AS p FROM RDB$DATABASE
      UNION ALL SELECT '42', 1, '0' FROM RDB$DATABASE       -- never cut
      UNION ALL SELECT '42', 2, '0' FROM RDB$DATABASE
      UNION ALL SELECT '42', 4, 'xyz' FROM RDB$DATABASE     -- only the first pad byte
      UNION ALL SELECT '', 3, '*' FROM RDB$DATABASE) c;

-- An empty pad fills with NUL bytes: the result reads as an empty text.
SELECT OCTET_LENGTH(ib_lpad('42', 5, '')) AS nul_padded_length FROM RDB$DATABASE;

SELECT c.t AS text_, '[' || ib_reversestring(c.t) || ']' AS reversed,
       ib_quote_literal(c.t) AS quoted
FROM (SELECT CAST('abc' AS VARCHAR(20)) AS t FROM RDB$DATABASE
      UNION ALL SELECT '' FROM RDB$DATABASE
      UNION ALL SELECT 'it''s' FROM RDB$DATABASE
      UNION ALL SELECT '''' FROM RDB$DATABASE
      UNION ALL SELECT 'back\slash' FROM RDB$DATABASE) c;

-- A quoted text is a literal that the server reads back as the same text.
SELECT IIF(ib_quote_literal('it''s') = '''it''''s''', 'yes', 'no') AS same_as_written FROM RDB$DATABASE;

SELECT '[' || ib_uniqueid(0) || ']' AS id_0,
       OCTET_LENGTH(ib_uniqueid(32)) AS id_32_length,
       IIF(ib_uniqueid(200) SIMILAR TO '[0-9A-Z]{200}', 'yes', 'no') AS only_digits_and_capitals
FROM RDB$DATABASE;
-- The declared width is 255: a longer identifier is refused by the server.
SELECT ib_uniqueid(256) AS too_long FROM RDB$DATABASE;

SELECT c.t AS text_, ib_isnotnull(c.t) AS flag
FROM (SELECT CAST('x' AS VARCHAR(20)) AS t FROM RDB$DATABASE
      UNION ALL SELECT '' FROM RDB$DATABASE
      UNION ALL SELECT ' ' FROM RDB$DATABASE) c;

SELECT c.t AS text_, ib_convchartoint(c.t) AS int_
FROM (SELECT CAST('  -17abc' AS VARCHAR(20)) AS t FROM RDB$DATABASE
      UNION ALL SELECT 'abc' FROM RDB$DATABASE
      UNION ALL SELECT '+5' FROM RDB$DATABASE
      UNION ALL SELECT '- 5' FROM RDB$DATABASE
      UNION ALL SELECT '99999999999' FROM RDB$DATABASE      -- clamped
      UNION ALL SELECT '-99999999999' FROM RDB$DATABASE
      UNION ALL SELECT '-2147483648' FROM RDB$DATABASE
      UNION ALL SELECT ASCII_CHAR(9) || '12' FROM RDB$DATABASE) c;

SELECT c.a, c.b, ib_greatest(c.a, c.b) AS greatest_, ib_least(c.a, c.b) AS least_
FROM (SELECT CAST(1 AS DOUBLE PRECISION) AS a, CAST(2 AS DOUBLE PRECISION) AS b FROM RDB$DATABASE
      UNION ALL SELECT 2, 1 FROM RDB$DATABASE
      UNION ALL SELECT -1.5, -2.5 FROM RDB$DATABASE
      UNION ALL SELECT 1e300, -1e300 FROM RDB$DATABASE) c;

-- The release and the face that answer: the release the declare script wrote into the
-- descriptions, and what its declaration names (a legacy module, an entry point of the UDR
-- engine, or neither: a PSQL body).
SELECT IIF(ardudf_version() = 'ardudf ' || SUBSTRING(d FROM POSITION('(ardudf ' IN d) + 8
         FOR CHAR_LENGTH(d) - POSITION('(ardudf ' IN d) - 8)
         || CASE WHEN m IS NOT NULL THEN ' legacy' WHEN e IS NULL THEN ' PSQL' ELSE ' UDR' END, 'yes', 'no') AS agrees
FROM (SELECT CAST(RDB$DESCRIPTION AS VARCHAR(200)) AS d, RDB$ENTRYPOINT AS e, RDB$MODULE_NAME AS m
      FROM RDB$FUNCTIONS WHERE RDB$FUNCTION_NAME = 'ARDUDF_VERSION');
