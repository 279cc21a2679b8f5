-- module: udr psql
-- The declarations' own widths, to the byte: the shipped scripts declare long texts 8191
-- bytes wide; one more is refused, on the way in or as the result.

SELECT ib_string_length(LPAD('', 8191, 'x')) AS len_8191,
       OCTET_LENGTH(ib_reversestring(LPAD('', 8191, 'ab'))) AS reversed_8191,
       OCTET_LENGTH(ib_quote_literal(LPAD('', 4094, ''''))) AS quoted_4094_quotes
FROM RDB$DATABASE;
SELECT ib_string_length(LPAD('', 8192, 'x')) FROM RDB$DATABASE;
SELECT ib_lpad('a', 8192, '-') FROM RDB$DATABASE;
