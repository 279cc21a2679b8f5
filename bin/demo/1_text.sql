-- text and value functions: bytes in, bytes out
SET LIST ON;
SET ECHO ON;
SELECT ib_string_length('Firebird') AS len,
       ib_string_left('Firebird', 4) AS left_4,
       ib_string_right('Firebird', 4) AS right_4,
       ib_lpad('42', 6, '0') AS lpad_6,
       ib_reversestring('stressed') AS reversed,
       ib_quote_literal('it''s') AS quoted,
       ib_isnotnull('') AS empty_is_not_null,
       ib_convchartoint('  -17 apples') AS to_int,
       ib_greatest(2.5, 7) AS greatest,
       ib_least(2.5, 7) AS least,
       ib_string_length(ib_uniqueid(12)) AS uniqueid_len
FROM rdb$database;
