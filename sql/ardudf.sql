-- ardudf 1.1.0: declares all 42 functions of the module 'ardudf'.
-- Generated from src/catalogue/catalogue.h by ardudf_catalogue; do not edit.
-- The server needs UdfAccess = Restrict <folder of ardudf.so or .dll> in firebird.conf.
-- Its syntax is Firebird 2.0's and later's: tested in 2.5, 3.0, 4.0 and 5.0; 2.0 and 2.1
-- untested. 1.5 and older have no EXECUTE BLOCK and no COMMENT ON: there, run only its
-- DECLARE EXTERNAL FUNCTION statements. In 2.5 and older one statement's results may take
-- 64 KB: where a statement selects two of the 32767-byte texts, cast them (CAST(... AS
-- VARCHAR(n))) or declare them narrower (bin/declare_width.sh).
-- Texts are CHARACTER SET NONE (bytes) unless a function reads them in a code page.
-- A NULL argument arrives as the empty text or 0 (no NULL keyword is declared).
-- A database on ardudf's UDR module keeps it: a legacy declaration beside it would need
-- UdfAccess, which Firebird 4 and 5 ship off. So over such a database this script changes
-- nothing and names what it found. Firebird 2.x knows no UDR and has no
-- RDB$PACKAGE_NAME: the query runs only where that column exists, so that the block
-- parses in every engine from 2.0 on.
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS (ardudf VARCHAR(400)) AS
  DECLARE n INTEGER = 0;
BEGIN
  IF (EXISTS(SELECT 1 FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'RDB$FUNCTIONS'
      AND RDB$FIELD_NAME = 'RDB$PACKAGE_NAME')) THEN
    FOR EXECUTE STATEMENT
        'SELECT TRIM(RDB$FUNCTION_NAME) || '' is declared on the UDR module ('' || TRIM(RDB$ENTRYPOINT) || '')''
         FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL AND RDB$ENTRYPOINT STARTING WITH ''ardudf_udr!''
         ORDER BY RDB$FUNCTION_NAME'
        INTO :ardudf DO BEGIN
      n = n + 1;
      SUSPEND;
    END
  IF (n > 0) THEN BEGIN
    ardudf = 'sql/ardudf_udr.sql upgrades this database (sql/ardudf_legacy_to_udr.sql one moved in place)';
    SUSPEND;
    n = CAST('ardudf.sql: nothing changed' AS INTEGER);
  END
END^
SET TERM ; ^
SET BAIL OFF;

-- int32_t ib_string_length(const char*)
-- value: length of a text in bytes
DECLARE EXTERNAL FUNCTION ib_string_length
    CSTRING(32767) CHARACTER SET NONE
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_string_length' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_string_length IS 'length of a text in bytes (ardudf 1.1.0)';

-- char* ib_string_left(const char*, const int32_t*)
-- text: the first len bytes of a text
DECLARE EXTERNAL FUNCTION ib_string_left
    CSTRING(32767) CHARACTER SET NONE,
    INTEGER
    RETURNS CSTRING(32767) CHARACTER SET NONE FREE_IT
    ENTRY_POINT 'ib_string_left' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_string_left IS 'the first len bytes of a text (ardudf 1.1.0)';

-- char* ib_string_right(const char*, const int32_t*)
-- text: the last len bytes of a text
DECLARE EXTERNAL FUNCTION ib_string_right
    CSTRING(32767) CHARACTER SET NONE,
    INTEGER
    RETURNS CSTRING(32767) CHARACTER SET NONE FREE_IT
    ENTRY_POINT 'ib_string_right' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_string_right IS 'the last len bytes of a text (ardudf 1.1.0)';

-- char* ib_lpad(const char*, const int32_t*, const char*)
-- text: a text padded on the left to a length
DECLARE EXTERNAL FUNCTION ib_lpad
    CSTRING(32767) CHARACTER SET NONE,
    INTEGER,
    CSTRING(32767) CHARACTER SET NONE
    RETURNS CSTRING(32767) CHARACTER SET NONE FREE_IT
    ENTRY_POINT 'ib_lpad' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_lpad IS 'a text padded on the left to a length (ardudf 1.1.0)';

-- char* ib_reversestring(const char*)
-- text: the bytes of a text in reverse order
DECLARE EXTERNAL FUNCTION ib_reversestring
    CSTRING(32767) CHARACTER SET NONE
    RETURNS CSTRING(32767) CHARACTER SET NONE FREE_IT
    ENTRY_POINT 'ib_reversestring' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_reversestring IS 'the bytes of a text in reverse order (ardudf 1.1.0)';

-- char* ib_quote_literal(const char*)
-- text: a text as an SQL string literal
DECLARE EXTERNAL FUNCTION ib_quote_literal
    CSTRING(16382) CHARACTER SET NONE
    RETURNS CSTRING(32767) CHARACTER SET NONE FREE_IT
    ENTRY_POINT 'ib_quote_literal' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_quote_literal IS 'a text as an SQL string literal (ardudf 1.1.0)';

-- char* ib_uniqueid(const int32_t*)
-- value: len random characters from 0-9 and A-Z
DECLARE EXTERNAL FUNCTION ib_uniqueid
    INTEGER
    RETURNS CSTRING(255) CHARACTER SET NONE FREE_IT
    ENTRY_POINT 'ib_uniqueid' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_uniqueid IS 'len random characters from 0-9 and A-Z (ardudf 1.1.0)';

-- char* ib_isnotnull(const char*)
-- value: A for a non-empty text, N for an empty one
DECLARE EXTERNAL FUNCTION ib_isnotnull
    CSTRING(32767) CHARACTER SET NONE
    RETURNS CSTRING(1) CHARACTER SET NONE FREE_IT
    ENTRY_POINT 'ib_isnotnull' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_isnotnull IS 'A for a non-empty text, N for an empty one (ardudf 1.1.0)';

-- int32_t ib_convchartoint(const char*)
-- value: the decimal number at the start of a text
DECLARE EXTERNAL FUNCTION ib_convchartoint
    CSTRING(32767) CHARACTER SET NONE
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_convchartoint' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_convchartoint IS 'the decimal number at the start of a text (ardudf 1.1.0)';

-- double ib_greatest(const double*, const double*)
-- value: the greater of two numbers
DECLARE EXTERNAL FUNCTION ib_greatest
    DOUBLE PRECISION,
    DOUBLE PRECISION
    RETURNS DOUBLE PRECISION BY VALUE
    ENTRY_POINT 'ib_greatest' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_greatest IS 'the greater of two numbers (ardudf 1.1.0)';

-- double ib_least(const double*, const double*)
-- value: the lesser of two numbers
DECLARE EXTERNAL FUNCTION ib_least
    DOUBLE PRECISION,
    DOUBLE PRECISION
    RETURNS DOUBLE PRECISION BY VALUE
    ENTRY_POINT 'ib_least' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_least IS 'the lesser of two numbers (ardudf 1.1.0)';

-- int32_t ib_find_token(const char*, const char*)
-- text: 1-based position of a part in a text, 0 if absent
DECLARE EXTERNAL FUNCTION ib_find_token
    CSTRING(32767) CHARACTER SET NONE,
    CSTRING(32767) CHARACTER SET NONE
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_find_token' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_find_token IS '1-based position of a part in a text, 0 if absent (ardudf 1.1.0)';

-- char* ib_get_token(const char*, const char*)
-- text: the first token of a delimited text
DECLARE EXTERNAL FUNCTION ib_get_token
    CSTRING(32767) CHARACTER SET NONE,
    CSTRING(32767) CHARACTER SET NONE
    RETURNS CSTRING(32767) CHARACTER SET NONE FREE_IT
    ENTRY_POINT 'ib_get_token' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_get_token IS 'the first token of a delimited text (ardudf 1.1.0)';

-- char* ib_delete_token(const char*, const char*)
-- text: what follows the first token
DECLARE EXTERNAL FUNCTION ib_delete_token
    CSTRING(32767) CHARACTER SET NONE,
    CSTRING(32767) CHARACTER SET NONE
    RETURNS CSTRING(32767) CHARACTER SET NONE FREE_IT
    ENTRY_POINT 'ib_delete_token' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_delete_token IS 'what follows the first token (ardudf 1.1.0)';

-- char* ib_gets_u2_prefix(const char*, const char*)
-- text: a two-character prefix code from two flags
DECLARE EXTERNAL FUNCTION ib_gets_u2_prefix
    CSTRING(32767) CHARACTER SET NONE,
    CSTRING(32767) CHARACTER SET NONE
    RETURNS CSTRING(2) CHARACTER SET NONE FREE_IT
    ENTRY_POINT 'ib_gets_u2_prefix' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_gets_u2_prefix IS 'a two-character prefix code from two flags (ardudf 1.1.0)';

-- char* ib_gets_u_prefix(const char*)
-- text: a two-character prefix code from one flag
DECLARE EXTERNAL FUNCTION ib_gets_u_prefix
    CSTRING(32767) CHARACTER SET NONE
    RETURNS CSTRING(2) CHARACTER SET NONE FREE_IT
    ENTRY_POINT 'ib_gets_u_prefix' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_gets_u_prefix IS 'a two-character prefix code from one flag (ardudf 1.1.0)';

-- char* ib_correct_phone_number(const char*)
-- text: the digits of a text
DECLARE EXTERNAL FUNCTION ib_correct_phone_number
    CSTRING(255) CHARACTER SET NONE
    RETURNS CSTRING(255) CHARACTER SET NONE FREE_IT
    ENTRY_POINT 'ib_correct_phone_number' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_correct_phone_number IS 'the digits of a text (ardudf 1.1.0)';

-- char* ib_remove_diacritics(const char*)
-- text: Windows-1250 accented letters made plain
DECLARE EXTERNAL FUNCTION ib_remove_diacritics
    CSTRING(32767) CHARACTER SET WIN1250
    RETURNS CSTRING(32767) CHARACTER SET WIN1250 FREE_IT
    ENTRY_POINT 'ib_remove_diacritics' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_remove_diacritics IS 'Windows-1250 accented letters made plain (ardudf 1.1.0)';

-- int32_t ib_dayofweek(const double*)
-- calendar: day of the week, 1 = Sunday to 7 = Saturday
DECLARE EXTERNAL FUNCTION ib_dayofweek
    DOUBLE PRECISION
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_dayofweek' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_dayofweek IS 'day of the week, 1 = Sunday to 7 = Saturday (ardudf 1.1.0)';

-- int32_t ib_decodedate_year(const double*)
-- calendar: year of a day serial
DECLARE EXTERNAL FUNCTION ib_decodedate_year
    DOUBLE PRECISION
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_decodedate_year' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_decodedate_year IS 'year of a day serial (ardudf 1.1.0)';

-- int32_t ib_decodedate_month(const double*)
-- calendar: month of a day serial
DECLARE EXTERNAL FUNCTION ib_decodedate_month
    DOUBLE PRECISION
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_decodedate_month' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_decodedate_month IS 'month of a day serial (ardudf 1.1.0)';

-- int32_t ib_decodedate_day(const double*)
-- calendar: day of the month of a day serial
DECLARE EXTERNAL FUNCTION ib_decodedate_day
    DOUBLE PRECISION
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_decodedate_day' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_decodedate_day IS 'day of the month of a day serial (ardudf 1.1.0)';

-- int32_t ib_decodetime_hour(const double*)
-- calendar: hour of a day serial
DECLARE EXTERNAL FUNCTION ib_decodetime_hour
    DOUBLE PRECISION
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_decodetime_hour' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_decodetime_hour IS 'hour of a day serial (ardudf 1.1.0)';

-- int32_t ib_decodetime_min(const double*)
-- calendar: minute of a day serial
DECLARE EXTERNAL FUNCTION ib_decodetime_min
    DOUBLE PRECISION
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_decodetime_min' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_decodetime_min IS 'minute of a day serial (ardudf 1.1.0)';

-- int32_t ib_decodetime_sec(const double*)
-- calendar: second of a day serial
DECLARE EXTERNAL FUNCTION ib_decodetime_sec
    DOUBLE PRECISION
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_decodetime_sec' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_decodetime_sec IS 'second of a day serial (ardudf 1.1.0)';

-- double ib_encodedate(const int32_t*, const int32_t*, const int32_t*)
-- calendar: day serial of a year, month and day
DECLARE EXTERNAL FUNCTION ib_encodedate
    INTEGER,
    INTEGER,
    INTEGER
    RETURNS DOUBLE PRECISION BY VALUE
    ENTRY_POINT 'ib_encodedate' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_encodedate IS 'day serial of a year, month and day (ardudf 1.1.0)';

-- int32_t ib_isleapyear(const int32_t*)
-- calendar: 1 for a leap year, else 0
DECLARE EXTERNAL FUNCTION ib_isleapyear
    INTEGER
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_isleapyear' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_isleapyear IS '1 for a leap year, else 0 (ardudf 1.1.0)';

-- double ib_endofdecade(const double*)
-- calendar: first day after the ten-day period of a date
DECLARE EXTERNAL FUNCTION ib_endofdecade
    DOUBLE PRECISION
    RETURNS DOUBLE PRECISION BY VALUE
    ENTRY_POINT 'ib_endofdecade' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_endofdecade IS 'first day after the ten-day period of a date (ardudf 1.1.0)';

-- double ib_current_time(void)
-- calendar: current local date and time as a day serial
DECLARE EXTERNAL FUNCTION ib_current_time
    RETURNS DOUBLE PRECISION BY VALUE
    ENTRY_POINT 'ib_current_time' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_current_time IS 'current local date and time as a day serial (ardudf 1.1.0)';

-- char* ib_datetostring(const double*, const char*)
-- calendar: a date formatted by a pattern
DECLARE EXTERNAL FUNCTION ib_datetostring
    DOUBLE PRECISION,
    CSTRING(255) CHARACTER SET NONE
    RETURNS CSTRING(512) CHARACTER SET NONE FREE_IT
    ENTRY_POINT 'ib_datetostring' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_datetostring IS 'a date formatted by a pattern (ardudf 1.1.0)';

-- int32_t ib_scbcreate(void)
-- balance: handle of a new balance context
DECLARE EXTERNAL FUNCTION ib_scbcreate
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_scbcreate' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_scbcreate IS 'handle of a new balance context (ardudf 1.1.0)';

-- int32_t ib_scbaddrow(const int32_t*, const char*, const double*, const double*)
-- balance: adds an amount row and its VAT
DECLARE EXTERNAL FUNCTION ib_scbaddrow
    INTEGER,
    CSTRING(255) CHARACTER SET NONE,
    DOUBLE PRECISION,
    DOUBLE PRECISION
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_scbaddrow' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_scbaddrow IS 'adds an amount row and its VAT (ardudf 1.1.0)';

-- int32_t ib_scbstartcreditnote(const int32_t*)
-- balance: always 1; kept for older callers
DECLARE EXTERNAL FUNCTION ib_scbstartcreditnote
    INTEGER
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_scbstartcreditnote' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_scbstartcreditnote IS 'always 1; kept for older callers (ardudf 1.1.0)';

-- int32_t ib_scbisaffectedrows(const int32_t*)
-- balance: moves to the next changed row: 1, or 0 at the end
DECLARE EXTERNAL FUNCTION ib_scbisaffectedrows
    INTEGER
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_scbisaffectedrows' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_scbisaffectedrows IS 'moves to the next changed row: 1, or 0 at the end (ardudf 1.1.0)';

-- char* ib_scbreadtype(const int32_t*)
-- balance: type of the current row
DECLARE EXTERNAL FUNCTION ib_scbreadtype
    INTEGER
    RETURNS CSTRING(255) CHARACTER SET NONE FREE_IT
    ENTRY_POINT 'ib_scbreadtype' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_scbreadtype IS 'type of the current row (ardudf 1.1.0)';

-- double ib_scbreadamount(const int32_t*)
-- balance: amount allocated to the current row (read once)
DECLARE EXTERNAL FUNCTION ib_scbreadamount
    INTEGER
    RETURNS DOUBLE PRECISION BY VALUE
    ENTRY_POINT 'ib_scbreadamount' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_scbreadamount IS 'amount allocated to the current row (read once) (ardudf 1.1.0)';

-- double ib_scbreadvat(const int32_t*)
-- balance: VAT moved by the last operation (read once)
DECLARE EXTERNAL FUNCTION ib_scbreadvat
    INTEGER
    RETURNS DOUBLE PRECISION BY VALUE
    ENTRY_POINT 'ib_scbreadvat' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_scbreadvat IS 'VAT moved by the last operation (read once) (ardudf 1.1.0)';

-- int32_t ib_scbclear(const int32_t*)
-- balance: empties a context
DECLARE EXTERNAL FUNCTION ib_scbclear
    INTEGER
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_scbclear' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_scbclear IS 'empties a context (ardudf 1.1.0)';

-- int32_t ib_scbfree(const int32_t*)
-- balance: frees a context
DECLARE EXTERNAL FUNCTION ib_scbfree
    INTEGER
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_scbfree' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_scbfree IS 'frees a context (ardudf 1.1.0)';

-- int32_t ib_scbaddpayment(const int32_t*, const double*)
-- balance: spreads a payment over VAT and rows
DECLARE EXTERNAL FUNCTION ib_scbaddpayment
    INTEGER,
    DOUBLE PRECISION
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_scbaddpayment' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_scbaddpayment IS 'spreads a payment over VAT and rows (ardudf 1.1.0)';

-- int32_t ib_scbaddcreditnote(const int32_t*, const char*, const double*, const double*)
-- balance: lowers a row and the VAT, spreads what it frees
DECLARE EXTERNAL FUNCTION ib_scbaddcreditnote
    INTEGER,
    CSTRING(255) CHARACTER SET NONE,
    DOUBLE PRECISION,
    DOUBLE PRECISION
    RETURNS INTEGER BY VALUE
    ENTRY_POINT 'ib_scbaddcreditnote' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ib_scbaddcreditnote IS 'lowers a row and the VAT, spreads what it frees (ardudf 1.1.0)';

-- char* ardudf_version(void)
-- value: the release and the kind of the module that answers
DECLARE EXTERNAL FUNCTION ardudf_version
    RETURNS CSTRING(63) CHARACTER SET NONE FREE_IT
    ENTRY_POINT 'ardudf_version' MODULE_NAME 'ardudf';
COMMENT ON EXTERNAL FUNCTION ardudf_version IS 'the release and the kind of the module that answers (ardudf 1.1.0)';

COMMIT;
