-- Every function, with NULL in each argument position in turn (the other arguments plain;
-- a balance handle of 0). Generated from the catalogue by ardudf_catalogue; do not edit.
SET LIST ON;
SELECT ib_string_length(NULL) AS string_length_1
FROM RDB$DATABASE;
SELECT ib_string_left(NULL, 2) AS string_left_1,
       ib_string_left('A,B', NULL) AS string_left_2
FROM RDB$DATABASE;
SELECT ib_string_right(NULL, 2) AS string_right_1,
       ib_string_right('A,B', NULL) AS string_right_2
FROM RDB$DATABASE;
SELECT ib_lpad(NULL, 2, 'A,B') AS lpad_1,
       ib_lpad('A,B', NULL, 'A,B') AS lpad_2,
       ib_lpad('A,B', 2, NULL) AS lpad_3
FROM RDB$DATABASE;
SELECT ib_reversestring(NULL) AS reversestring_1
FROM RDB$DATABASE;
SELECT ib_quote_literal(NULL) AS quote_literal_1
FROM RDB$DATABASE;
SELECT ib_uniqueid(NULL) AS uniqueid_1
FROM RDB$DATABASE;
SELECT ib_isnotnull(NULL) AS isnotnull_1
FROM RDB$DATABASE;
SELECT ib_convchartoint(NULL) AS convchartoint_1
FROM RDB$DATABASE;
SELECT ib_greatest(NULL, 45000.5) AS greatest_1,
       ib_greatest(45000.5, NULL) AS greatest_2
FROM RDB$DATABASE;
SELECT ib_least(NULL, 45000.5) AS least_1,
       ib_least(45000.5, NULL) AS least_2
FROM RDB$DATABASE;
SELECT ib_find_token(NULL, 'A,B') AS find_token_1,
       ib_find_token('A,B', NULL) AS find_token_2
FROM RDB$DATABASE;
SELECT ib_get_token(NULL, 'A,B') AS get_token_1,
       ib_get_token('A,B', NULL) AS get_token_2
FROM RDB$DATABASE;
SELECT ib_delete_token(NULL, 'A,B') AS delete_token_1,
       ib_delete_token('A,B', NULL) AS delete_token_2
FROM RDB$DATABASE;
SELECT ib_gets_u2_prefix(NULL, 'A,B') AS gets_u2_prefix_1,
       ib_gets_u2_prefix('A,B', NULL) AS gets_u2_prefix_2
FROM RDB$DATABASE;
SELECT ib_gets_u_prefix(NULL) AS gets_u_prefix_1
FROM RDB$DATABASE;
SELECT ib_correct_phone_number(NULL) AS correct_phone_number_1
FROM RDB$DATABASE;
SELECT ib_remove_diacritics(NULL) AS remove_diacritics_1
FROM RDB$DATABASE;
SELECT ib_dayofweek(NULL) AS dayofweek_1
FROM RDB$DATABASE;
SELECT ib_decodedate_year(NULL) AS decodedate_year_1
FROM RDB$DATABASE;
SELECT ib_decodedate_month(NULL) AS decodedate_month_1
FROM RDB$DATABASE;
SELECT ib_decodedate_day(NULL) AS decodedate_day_1
FROM RDB$DATABASE;
SELECT ib_decodetime_hour(NULL) AS decodetime_hour_1
FROM RDB$DATABASE;
SELECT ib_decodetime_min(NULL) AS decodetime_min_1
FROM RDB$DATABASE;
SELECT ib_decodetime_sec(NULL) AS decodetime_sec_1
FROM RDB$DATABASE;
SELECT ib_encodedate(NULL, 2, 2) AS encodedate_1,
       ib_encodedate(2, NULL, 2) AS encodedate_2,
       ib_encodedate(2, 2, NULL) AS encodedate_3
FROM RDB$DATABASE;
SELECT ib_isleapyear(NULL) AS isleapyear_1
FROM RDB$DATABASE;
SELECT ib_endofdecade(NULL) AS endofdecade_1
FROM RDB$DATABASE;
SELECT ib_datetostring(NULL, 'A,B') AS datetostring_1,
       ib_datetostring(45000.5, NULL) AS datetostring_2
FROM RDB$DATABASE;
SELECT ib_scbaddrow(NULL, 'A,B', 45000.5, 45000.5) AS scbaddrow_1,
       ib_scbaddrow(0, NULL, 45000.5, 45000.5) AS scbaddrow_2,
       ib_scbaddrow(0, 'A,B', NULL, 45000.5) AS scbaddrow_3,
       ib_scbaddrow(0, 'A,B', 45000.5, NULL) AS scbaddrow_4
FROM RDB$DATABASE;
SELECT ib_scbstartcreditnote(NULL) AS scbstartcreditnote_1
FROM RDB$DATABASE;
SELECT ib_scbisaffectedrows(NULL) AS scbisaffectedrows_1
FROM RDB$DATABASE;
SELECT ib_scbreadtype(NULL) AS scbreadtype_1
FROM RDB$DATABASE;
SELECT ib_scbreadamount(NULL) AS scbreadamount_1
FROM RDB$DATABASE;
SELECT ib_scbreadvat(NULL) AS scbreadvat_1
FROM RDB$DATABASE;
SELECT ib_scbclear(NULL) AS scbclear_1
FROM RDB$DATABASE;
SELECT ib_scbfree(NULL) AS scbfree_1
FROM RDB$DATABASE;
SELECT ib_scbaddpayment(NULL, 45000.5) AS scbaddpayment_1,
       ib_scbaddpayment(0, NULL) AS scbaddpayment_2
FROM RDB$DATABASE;
SELECT ib_scbaddcreditnote(NULL, 'A,B', 45000.5, 45000.5) AS scbaddcreditnote_1,
       ib_scbaddcreditnote(0, NULL, 45000.5, 45000.5) AS scbaddcreditnote_2,
       ib_scbaddcreditnote(0, 'A,B', NULL, 45000.5) AS scbaddcreditnote_3,
       ib_scbaddcreditnote(0, 'A,B', 45000.5, NULL) AS scbaddcreditnote_4
FROM RDB$DATABASE;
