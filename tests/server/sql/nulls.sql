-- NULL arguments. The legacy declarations carry no NULL keyword, so the legacy module
-- reads a NULL as the empty text or 0 (expected/nulls.out); the UDR module gives NULL and
-- changes nothing, except ib_isnotnull (NULL is 'N') and ib_scbstartcreditnote (1 for
-- anything) (expected/udr/nulls.out). Every other test gives the same with both modules.
-- NULL in each argument position of every function: nulls_each_argument.sql.
SET LIST ON;

-- Text and value functions.
SELECT ib_string_length(NULL) AS length_null,
       '[' || ib_string_left(NULL, 3) || ']' AS left_null,
       '[' || ib_string_left('abc', NULL) || ']' AS left_count_null,
       '[' || ib_lpad('7', 3, NULL) || ']' AS lpad_pad_null_reads_empty,
       OCTET_LENGTH(ib_lpad('7', 3, NULL)) AS its_length,
       ib_quote_literal(NULL) AS quote_null,
       ib_isnotnull(NULL) AS isnotnull_null,
       ib_convchartoint(NULL) AS int_null,
       ib_greatest(NULL, -1) AS greatest_null_is_0,
       ib_least(NULL, 1) AS least_null_is_0
FROM RDB$DATABASE;

-- Tokens and cleaning.
SELECT ib_find_token(NULL, NULL) AS find_null, '[' || ib_get_token(NULL, ',') || ']' AS get_null,
       '[' || ib_delete_token('a,b', NULL) || ']' AS delete_no_delimiter,
       ib_gets_u2_prefix(NULL, 'A') AS prefix_null,
       '[' || ib_correct_phone_number(NULL) || ']' AS phone_null,
       '[' || ib_remove_diacritics(NULL) || ']' AS diacritics_null
FROM RDB$DATABASE;

-- Calendar fields (legacy: day serial 0 is 1899-12-30).
SELECT ib_decodedate_year(NULL) AS year_null, ib_dayofweek(NULL) AS dow_null,
       ib_isleapyear(NULL) AS leap_null
FROM RDB$DATABASE;

-- Date formatting.
SELECT ib_datetostring(NULL, 'D.M.YYYY') AS date_null, '[' || ib_datetostring(45356, NULL) || ']' AS pattern_null
FROM RDB$DATABASE;

-- A NULL handle.
SELECT ib_scbaddrow(NULL, 'GOODS', 1, 0) AS add_null, ib_scbreadvat(NULL) AS vat_null,
       ib_scbfree(NULL) AS free_null, ib_scbstartcreditnote(NULL) AS start_null
FROM RDB$DATABASE;

-- A NULL type and amount (legacy: a row '' with VAT only).
SET TERM ^;
EXECUTE BLOCK RETURNS (added INTEGER, null_type VARCHAR(20), freed INTEGER) AS
DECLARE h INTEGER;
BEGIN
  h = ib_scbcreate();
  added = ib_scbaddrow(h, NULL, NULL, 5);
  null_type = '[' || ib_scbreadtype(h) || ']';
  freed = ib_scbfree(h);
  SUSPEND;
END^
SET TERM ;^
