-- ardudf 1.1.0: declares all 42 functions of the UDR module 'ardudf_udr', and its
-- procedures. Generated from src/catalogue/catalogue.h by ardudf_catalogue;
-- do not edit. Needs no UdfAccess: the UDR engine loads libardudf_udr.so from its
-- plugins/udr folder (plugins.conf, UDR_config path). Same SQL names as sql/ardudf.sql;
-- a database declared with that script moves with sql/ardudf_legacy_to_udr.sql instead,
-- which keeps the legacy module's reading of NULL (docs/migration.md).
-- CREATE OR ALTER: running it again, or over a database declared by an earlier
-- release of this script, brings every declaration and its comment up to this release.
-- A NULL argument gives NULL unless the function's comment says otherwise.
-- A database on ardudf's legacy module, or moved from it in place, reads a NULL argument
-- as the legacy module does; the declarations below would make it give NULL. So over such
-- a database this script changes nothing and names what it found: the move in place
-- (sql/ardudf_legacy_to_udr.sql) is what moves or upgrades it.
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS (ardudf_udr VARCHAR(400)) AS
  DECLARE n INTEGER = 0;
BEGIN
  FOR SELECT TRIM(RDB$FUNCTION_NAME) || ' ' || IIF(RDB$MODULE_NAME IS NOT NULL,
        'is declared on the legacy module ' || TRIM(RDB$MODULE_NAME),
        TRIM('was moved in place and reads NULL as the legacy module did'))
      FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL AND COALESCE(RDB$SYSTEM_FLAG, 0) = 0
        AND (TRIM(RDB$ENTRYPOINT) LIKE 'ardudf\_udr!%!legacy_nulls' ESCAPE '\'
          OR RDB$FUNCTION_SOURCE CONTAINING '-- ardudf: moved from the legacy module to PSQL, reads NULL as it did'
          OR (RDB$ENGINE_NAME IS NULL AND LOWER(TRIM(RDB$MODULE_NAME)) SIMILAR TO '(%[/\])?ardudf(.so|.dll)?'))
      ORDER BY RDB$FUNCTION_NAME
      INTO ardudf_udr DO BEGIN
    n = n + 1;
    SUSPEND;
  END
  IF (n > 0) THEN BEGIN
    ardudf_udr = 'sql/ardudf_legacy_to_udr.sql (to PSQL: ardudf_legacy_to_psql.sql) moves or upgrades this database';
    SUSPEND;
    n = CAST('ardudf_udr.sql: nothing changed' AS INTEGER);
  END
END^
SET TERM ; ^

-- ---- value functions ----

-- length of a text in bytes; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_string_length (
    text VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_string_length' ENGINE UDR;
COMMENT ON FUNCTION ib_string_length IS 'length of a text in bytes (ardudf 1.1.0)';

-- len random characters from 0-9 and A-Z; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_uniqueid (
    len INTEGER
)
    RETURNS VARCHAR(255) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_uniqueid' ENGINE UDR;
COMMENT ON FUNCTION ib_uniqueid IS 'len random characters from 0-9 and A-Z (ardudf 1.1.0)';

-- A for a non-empty text, N for an empty one; NULL gives 'N'
CREATE OR ALTER FUNCTION ib_isnotnull (
    text VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(1) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_isnotnull' ENGINE UDR;
COMMENT ON FUNCTION ib_isnotnull IS 'A for a non-empty text, N for an empty one (ardudf 1.1.0)';

-- the decimal number at the start of a text; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_convchartoint (
    text VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_convchartoint' ENGINE UDR;
COMMENT ON FUNCTION ib_convchartoint IS 'the decimal number at the start of a text (ardudf 1.1.0)';

-- the greater of two numbers; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_greatest (
    a DOUBLE PRECISION,
    b DOUBLE PRECISION
)
    RETURNS DOUBLE PRECISION
    EXTERNAL NAME 'ardudf_udr!ib_greatest' ENGINE UDR;
COMMENT ON FUNCTION ib_greatest IS 'the greater of two numbers (ardudf 1.1.0)';

-- the lesser of two numbers; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_least (
    a DOUBLE PRECISION,
    b DOUBLE PRECISION
)
    RETURNS DOUBLE PRECISION
    EXTERNAL NAME 'ardudf_udr!ib_least' ENGINE UDR;
COMMENT ON FUNCTION ib_least IS 'the lesser of two numbers (ardudf 1.1.0)';

-- the release and the kind of the module that answers; takes no argument
CREATE OR ALTER FUNCTION ardudf_version ()
    RETURNS VARCHAR(63) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ardudf_version' ENGINE UDR;
COMMENT ON FUNCTION ardudf_version IS 'the release and the kind of the module that answers (ardudf 1.1.0)';

-- ---- text functions ----

-- the first len bytes of a text; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_string_left (
    text VARCHAR(8191) CHARACTER SET NONE,
    len INTEGER
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_string_left' ENGINE UDR;
COMMENT ON FUNCTION ib_string_left IS 'the first len bytes of a text (ardudf 1.1.0)';

-- the last len bytes of a text; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_string_right (
    text VARCHAR(8191) CHARACTER SET NONE,
    len INTEGER
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_string_right' ENGINE UDR;
COMMENT ON FUNCTION ib_string_right IS 'the last len bytes of a text (ardudf 1.1.0)';

-- a text padded on the left to a length; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_lpad (
    text VARCHAR(8191) CHARACTER SET NONE,
    len INTEGER,
    pad VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_lpad' ENGINE UDR;
COMMENT ON FUNCTION ib_lpad IS 'a text padded on the left to a length (ardudf 1.1.0)';

-- the bytes of a text in reverse order; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_reversestring (
    text VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_reversestring' ENGINE UDR;
COMMENT ON FUNCTION ib_reversestring IS 'the bytes of a text in reverse order (ardudf 1.1.0)';

-- a text as an SQL string literal; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_quote_literal (
    text VARCHAR(4094) CHARACTER SET NONE
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_quote_literal' ENGINE UDR;
COMMENT ON FUNCTION ib_quote_literal IS 'a text as an SQL string literal (ardudf 1.1.0)';

-- 1-based position of a part in a text, 0 if absent; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_find_token (
    text VARCHAR(8191) CHARACTER SET NONE,
    part VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_find_token' ENGINE UDR;
COMMENT ON FUNCTION ib_find_token IS '1-based position of a part in a text, 0 if absent (ardudf 1.1.0)';

-- the first token of a delimited text; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_get_token (
    text VARCHAR(8191) CHARACTER SET NONE,
    delimiters VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_get_token' ENGINE UDR;
COMMENT ON FUNCTION ib_get_token IS 'the first token of a delimited text (ardudf 1.1.0)';

-- what follows the first token; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_delete_token (
    text VARCHAR(8191) CHARACTER SET NONE,
    delimiters VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_delete_token' ENGINE UDR;
COMMENT ON FUNCTION ib_delete_token IS 'what follows the first token (ardudf 1.1.0)';

-- a two-character prefix code from two flags; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_gets_u2_prefix (
    flag1 VARCHAR(8191) CHARACTER SET NONE,
    flag2 VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(2) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_gets_u2_prefix' ENGINE UDR;
COMMENT ON FUNCTION ib_gets_u2_prefix IS 'a two-character prefix code from two flags (ardudf 1.1.0)';

-- a two-character prefix code from one flag; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_gets_u_prefix (
    flag VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(2) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_gets_u_prefix' ENGINE UDR;
COMMENT ON FUNCTION ib_gets_u_prefix IS 'a two-character prefix code from one flag (ardudf 1.1.0)';

-- the digits of a text; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_correct_phone_number (
    text VARCHAR(255) CHARACTER SET NONE
)
    RETURNS VARCHAR(255) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_correct_phone_number' ENGINE UDR;
COMMENT ON FUNCTION ib_correct_phone_number IS 'the digits of a text (ardudf 1.1.0)';

-- Windows-1250 accented letters made plain; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_remove_diacritics (
    text VARCHAR(8191) CHARACTER SET WIN1250
)
    RETURNS VARCHAR(8191) CHARACTER SET WIN1250
    EXTERNAL NAME 'ardudf_udr!ib_remove_diacritics' ENGINE UDR;
COMMENT ON FUNCTION ib_remove_diacritics IS 'Windows-1250 accented letters made plain (ardudf 1.1.0)';

-- ---- calendar functions ----

-- day of the week, 1 = Sunday to 7 = Saturday; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_dayofweek (
    serial DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_dayofweek' ENGINE UDR;
COMMENT ON FUNCTION ib_dayofweek IS 'day of the week, 1 = Sunday to 7 = Saturday (ardudf 1.1.0)';

-- year of a day serial; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_decodedate_year (
    serial DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_decodedate_year' ENGINE UDR;
COMMENT ON FUNCTION ib_decodedate_year IS 'year of a day serial (ardudf 1.1.0)';

-- month of a day serial; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_decodedate_month (
    serial DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_decodedate_month' ENGINE UDR;
COMMENT ON FUNCTION ib_decodedate_month IS 'month of a day serial (ardudf 1.1.0)';

-- day of the month of a day serial; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_decodedate_day (
    serial DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_decodedate_day' ENGINE UDR;
COMMENT ON FUNCTION ib_decodedate_day IS 'day of the month of a day serial (ardudf 1.1.0)';

-- hour of a day serial; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_decodetime_hour (
    serial DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_decodetime_hour' ENGINE UDR;
COMMENT ON FUNCTION ib_decodetime_hour IS 'hour of a day serial (ardudf 1.1.0)';

-- minute of a day serial; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_decodetime_min (
    serial DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_decodetime_min' ENGINE UDR;
COMMENT ON FUNCTION ib_decodetime_min IS 'minute of a day serial (ardudf 1.1.0)';

-- second of a day serial; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_decodetime_sec (
    serial DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_decodetime_sec' ENGINE UDR;
COMMENT ON FUNCTION ib_decodetime_sec IS 'second of a day serial (ardudf 1.1.0)';

-- day serial of a year, month and day; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_encodedate (
    year_num INTEGER,
    month_num INTEGER,
    day_num INTEGER
)
    RETURNS DOUBLE PRECISION
    EXTERNAL NAME 'ardudf_udr!ib_encodedate' ENGINE UDR;
COMMENT ON FUNCTION ib_encodedate IS 'day serial of a year, month and day (ardudf 1.1.0)';

-- 1 for a leap year, else 0; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_isleapyear (
    year_num INTEGER
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_isleapyear' ENGINE UDR;
COMMENT ON FUNCTION ib_isleapyear IS '1 for a leap year, else 0 (ardudf 1.1.0)';

-- first day after the ten-day period of a date; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_endofdecade (
    serial DOUBLE PRECISION
)
    RETURNS DOUBLE PRECISION
    EXTERNAL NAME 'ardudf_udr!ib_endofdecade' ENGINE UDR;
COMMENT ON FUNCTION ib_endofdecade IS 'first day after the ten-day period of a date (ardudf 1.1.0)';

-- current local date and time as a day serial; takes no argument
CREATE OR ALTER FUNCTION ib_current_time ()
    RETURNS DOUBLE PRECISION
    EXTERNAL NAME 'ardudf_udr!ib_current_time' ENGINE UDR;
COMMENT ON FUNCTION ib_current_time IS 'current local date and time as a day serial (ardudf 1.1.0)';

-- a date formatted by a pattern; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_datetostring (
    serial DOUBLE PRECISION,
    pattern VARCHAR(255) CHARACTER SET NONE
)
    RETURNS VARCHAR(512) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_datetostring' ENGINE UDR;
COMMENT ON FUNCTION ib_datetostring IS 'a date formatted by a pattern (ardudf 1.1.0)';

-- ---- balance functions ----

-- handle of a new balance context; takes no argument
CREATE OR ALTER FUNCTION ib_scbcreate ()
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbcreate' ENGINE UDR;
COMMENT ON FUNCTION ib_scbcreate IS 'handle of a new balance context (ardudf 1.1.0)';

-- adds an amount row and its VAT; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbaddrow (
    handle INTEGER,
    row_type VARCHAR(255) CHARACTER SET NONE,
    amount DOUBLE PRECISION,
    vat DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbaddrow' ENGINE UDR;
COMMENT ON FUNCTION ib_scbaddrow IS 'adds an amount row and its VAT (ardudf 1.1.0)';

-- always 1; kept for older callers; 1 for any argument, NULL too
CREATE OR ALTER FUNCTION ib_scbstartcreditnote (
    handle INTEGER
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbstartcreditnote' ENGINE UDR;
COMMENT ON FUNCTION ib_scbstartcreditnote IS 'always 1; kept for older callers (ardudf 1.1.0)';

-- moves to the next changed row: 1, or 0 at the end; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbisaffectedrows (
    handle INTEGER
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbisaffectedrows' ENGINE UDR;
COMMENT ON FUNCTION ib_scbisaffectedrows IS 'moves to the next changed row: 1, or 0 at the end (ardudf 1.1.0)';

-- type of the current row; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbreadtype (
    handle INTEGER
)
    RETURNS VARCHAR(255) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_scbreadtype' ENGINE UDR;
COMMENT ON FUNCTION ib_scbreadtype IS 'type of the current row (ardudf 1.1.0)';

-- amount allocated to the current row (read once); a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbreadamount (
    handle INTEGER
)
    RETURNS DOUBLE PRECISION
    EXTERNAL NAME 'ardudf_udr!ib_scbreadamount' ENGINE UDR;
COMMENT ON FUNCTION ib_scbreadamount IS 'amount allocated to the current row (read once) (ardudf 1.1.0)';

-- VAT moved by the last operation (read once); a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbreadvat (
    handle INTEGER
)
    RETURNS DOUBLE PRECISION
    EXTERNAL NAME 'ardudf_udr!ib_scbreadvat' ENGINE UDR;
COMMENT ON FUNCTION ib_scbreadvat IS 'VAT moved by the last operation (read once) (ardudf 1.1.0)';

-- empties a context; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbclear (
    handle INTEGER
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbclear' ENGINE UDR;
COMMENT ON FUNCTION ib_scbclear IS 'empties a context (ardudf 1.1.0)';

-- frees a context; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbfree (
    handle INTEGER
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbfree' ENGINE UDR;
COMMENT ON FUNCTION ib_scbfree IS 'frees a context (ardudf 1.1.0)';

-- spreads a payment over VAT and rows; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbaddpayment (
    handle INTEGER,
    amount DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbaddpayment' ENGINE UDR;
COMMENT ON FUNCTION ib_scbaddpayment IS 'spreads a payment over VAT and rows (ardudf 1.1.0)';

-- lowers a row and the VAT, spreads what it frees; a NULL argument gives NULL
CREATE OR ALTER FUNCTION ib_scbaddcreditnote (
    handle INTEGER,
    row_type VARCHAR(255) CHARACTER SET NONE,
    amount DOUBLE PRECISION,
    vat DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbaddcreditnote' ENGINE UDR;
COMMENT ON FUNCTION ib_scbaddcreditnote IS 'lowers a row and the VAT, spreads what it frees (ardudf 1.1.0)';

-- ---- the walk in one call ----

-- The rows the last payment or credit note changed, as the loop of
-- ib_scbisaffectedrows, ib_scbreadtype, ib_scbreadamount and ib_scbreadvat
-- reads them (with the same resets); no rows for NULL or a handle of another attachment.
CREATE OR ALTER PROCEDURE ib_scbwalk (handle INTEGER)
    RETURNS (row_type VARCHAR(255) CHARACTER SET NONE, amount DOUBLE PRECISION, vat DOUBLE PRECISION)
    EXTERNAL NAME 'ardudf_udr!ib_scbwalk' ENGINE UDR;
COMMENT ON PROCEDURE ib_scbwalk IS 'the rows the last payment or credit note changed, with their type, amount and VAT (ardudf 1.1.0)';

COMMIT;
