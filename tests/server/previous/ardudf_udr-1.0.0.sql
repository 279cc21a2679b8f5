-- ardudf: declares all 41 functions of the UDR module 'ardudf_udr', and the
-- procedure ib_scbwalk. Generated from src/catalogue/catalogue.h by ardudf_catalogue;
-- do not edit. Needs no UdfAccess: the UDR engine loads libardudf_udr.so from its
-- plugins/udr folder (plugins.conf, UDR_config path). Same SQL names as sql/ardudf.sql:
-- to switch a database, run the other module's drop script, then this one.
-- A NULL argument gives NULL unless the function's comment says otherwise.

-- ---- value functions ----

-- length of a text in bytes; a NULL argument gives NULL
CREATE FUNCTION ib_string_length (
    arg1 VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_string_length' ENGINE UDR;

-- ---- text functions ----

-- the first count bytes of a text; a NULL argument gives NULL
CREATE FUNCTION ib_string_left (
    arg1 VARCHAR(8191) CHARACTER SET NONE,
    arg2 INTEGER
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_string_left' ENGINE UDR;

-- the last count bytes of a text; a NULL argument gives NULL
CREATE FUNCTION ib_string_right (
    arg1 VARCHAR(8191) CHARACTER SET NONE,
    arg2 INTEGER
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_string_right' ENGINE UDR;

-- a text padded on the left to a length; a NULL argument gives NULL
CREATE FUNCTION ib_lpad (
    arg1 VARCHAR(8191) CHARACTER SET NONE,
    arg2 INTEGER,
    arg3 VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_lpad' ENGINE UDR;

-- the bytes of a text in reverse order; a NULL argument gives NULL
CREATE FUNCTION ib_reversestring (
    arg1 VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_reversestring' ENGINE UDR;

-- a text as an SQL string literal; a NULL argument gives NULL
CREATE FUNCTION ib_quote_literal (
    arg1 VARCHAR(4094) CHARACTER SET NONE
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_quote_literal' ENGINE UDR;

-- ---- value functions ----

-- count random characters from 0-9 and A-Z; a NULL argument gives NULL
CREATE FUNCTION ib_uniqueid (
    arg1 INTEGER
)
    RETURNS VARCHAR(255) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_uniqueid' ENGINE UDR;

-- A for a non-empty text, N for an empty one; NULL gives 'N'
CREATE FUNCTION ib_isnotnull (
    arg1 VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(1) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_isnotnull' ENGINE UDR;

-- the decimal number at the start of a text; a NULL argument gives NULL
CREATE FUNCTION ib_convchartoint (
    arg1 VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_convchartoint' ENGINE UDR;

-- the greater of two numbers; a NULL argument gives NULL
CREATE FUNCTION ib_greatest (
    arg1 DOUBLE PRECISION,
    arg2 DOUBLE PRECISION
)
    RETURNS DOUBLE PRECISION
    EXTERNAL NAME 'ardudf_udr!ib_greatest' ENGINE UDR;

-- the lesser of two numbers; a NULL argument gives NULL
CREATE FUNCTION ib_least (
    arg1 DOUBLE PRECISION,
    arg2 DOUBLE PRECISION
)
    RETURNS DOUBLE PRECISION
    EXTERNAL NAME 'ardudf_udr!ib_least' ENGINE UDR;

-- ---- text functions ----

-- 1-based position of a part in a text, 0 if absent; a NULL argument gives NULL
CREATE FUNCTION ib_find_token (
    arg1 VARCHAR(8191) CHARACTER SET NONE,
    arg2 VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_find_token' ENGINE UDR;

-- the first token of a delimited text; a NULL argument gives NULL
CREATE FUNCTION ib_get_token (
    arg1 VARCHAR(8191) CHARACTER SET NONE,
    arg2 VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_get_token' ENGINE UDR;

-- what follows the first token; a NULL argument gives NULL
CREATE FUNCTION ib_delete_token (
    arg1 VARCHAR(8191) CHARACTER SET NONE,
    arg2 VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(8191) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_delete_token' ENGINE UDR;

-- a two-character prefix code from two flags; a NULL argument gives NULL
CREATE FUNCTION ib_gets_u2_prefix (
    arg1 VARCHAR(8191) CHARACTER SET NONE,
    arg2 VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(2) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_gets_u2_prefix' ENGINE UDR;

-- a two-character prefix code from one flag; a NULL argument gives NULL
CREATE FUNCTION ib_gets_u_prefix (
    arg1 VARCHAR(8191) CHARACTER SET NONE
)
    RETURNS VARCHAR(2) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_gets_u_prefix' ENGINE UDR;

-- the digits of a text; a NULL argument gives NULL
CREATE FUNCTION ib_correct_phone_number (
    arg1 VARCHAR(255) CHARACTER SET NONE
)
    RETURNS VARCHAR(255) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_correct_phone_number' ENGINE UDR;

-- Windows-1250 accented letters made plain; a NULL argument gives NULL
CREATE FUNCTION ib_remove_diacritics (
    arg1 VARCHAR(8191) CHARACTER SET WIN1250
)
    RETURNS VARCHAR(8191) CHARACTER SET WIN1250
    EXTERNAL NAME 'ardudf_udr!ib_remove_diacritics' ENGINE UDR;

-- ---- calendar functions ----

-- day of the week, 1 = Sunday to 7 = Saturday; a NULL argument gives NULL
CREATE FUNCTION ib_dayofweek (
    arg1 DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_dayofweek' ENGINE UDR;

-- year of a day serial; a NULL argument gives NULL
CREATE FUNCTION ib_decodedate_year (
    arg1 DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_decodedate_year' ENGINE UDR;

-- month of a day serial; a NULL argument gives NULL
CREATE FUNCTION ib_decodedate_month (
    arg1 DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_decodedate_month' ENGINE UDR;

-- day of the month of a day serial; a NULL argument gives NULL
CREATE FUNCTION ib_decodedate_day (
    arg1 DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_decodedate_day' ENGINE UDR;

-- hour of a day serial; a NULL argument gives NULL
CREATE FUNCTION ib_decodetime_hour (
    arg1 DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_decodetime_hour' ENGINE UDR;

-- minute of a day serial; a NULL argument gives NULL
CREATE FUNCTION ib_decodetime_min (
    arg1 DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_decodetime_min' ENGINE UDR;

-- second of a day serial; a NULL argument gives NULL
CREATE FUNCTION ib_decodetime_sec (
    arg1 DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_decodetime_sec' ENGINE UDR;

-- day serial of a year, month and day; a NULL argument gives NULL
CREATE FUNCTION ib_encodedate (
    arg1 INTEGER,
    arg2 INTEGER,
    arg3 INTEGER
)
    RETURNS DOUBLE PRECISION
    EXTERNAL NAME 'ardudf_udr!ib_encodedate' ENGINE UDR;

-- 1 for a leap year, else 0; a NULL argument gives NULL
CREATE FUNCTION ib_isleapyear (
    arg1 INTEGER
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_isleapyear' ENGINE UDR;

-- first day after the ten-day period of a date; a NULL argument gives NULL
CREATE FUNCTION ib_endofdecade (
    arg1 DOUBLE PRECISION
)
    RETURNS DOUBLE PRECISION
    EXTERNAL NAME 'ardudf_udr!ib_endofdecade' ENGINE UDR;

-- current local date and time as a day serial; takes no argument
CREATE FUNCTION ib_current_time ()
    RETURNS DOUBLE PRECISION
    EXTERNAL NAME 'ardudf_udr!ib_current_time' ENGINE UDR;

-- a date formatted by a pattern; a NULL argument gives NULL
CREATE FUNCTION ib_datetostring (
    arg1 DOUBLE PRECISION,
    arg2 VARCHAR(255) CHARACTER SET NONE
)
    RETURNS VARCHAR(512) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_datetostring' ENGINE UDR;

-- ---- balance functions ----

-- handle of a new balance context; takes no argument
CREATE FUNCTION ib_scbcreate ()
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbcreate' ENGINE UDR;

-- adds an amount row and its VAT; a NULL argument gives NULL
CREATE FUNCTION ib_scbaddrow (
    arg1 INTEGER,
    arg2 VARCHAR(255) CHARACTER SET NONE,
    arg3 DOUBLE PRECISION,
    arg4 DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbaddrow' ENGINE UDR;

-- always 1; kept for older callers; 1 for any argument, NULL too
CREATE FUNCTION ib_scbstartcreditnote (
    arg1 INTEGER
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbstartcreditnote' ENGINE UDR;

-- moves to the next changed row: 1, or 0 at the end; a NULL argument gives NULL
CREATE FUNCTION ib_scbisaffectedrows (
    arg1 INTEGER
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbisaffectedrows' ENGINE UDR;

-- type of the current row; a NULL argument gives NULL
CREATE FUNCTION ib_scbreadtype (
    arg1 INTEGER
)
    RETURNS VARCHAR(255) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_udr!ib_scbreadtype' ENGINE UDR;

-- amount allocated to the current row (read once); a NULL argument gives NULL
CREATE FUNCTION ib_scbreadamount (
    arg1 INTEGER
)
    RETURNS DOUBLE PRECISION
    EXTERNAL NAME 'ardudf_udr!ib_scbreadamount' ENGINE UDR;

-- VAT moved by the last operation (read once); a NULL argument gives NULL
CREATE FUNCTION ib_scbreadvat (
    arg1 INTEGER
)
    RETURNS DOUBLE PRECISION
    EXTERNAL NAME 'ardudf_udr!ib_scbreadvat' ENGINE UDR;

-- empties a context; a NULL argument gives NULL
CREATE FUNCTION ib_scbclear (
    arg1 INTEGER
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbclear' ENGINE UDR;

-- frees a context; a NULL argument gives NULL
CREATE FUNCTION ib_scbfree (
    arg1 INTEGER
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbfree' ENGINE UDR;

-- spreads a payment over VAT and rows; a NULL argument gives NULL
CREATE FUNCTION ib_scbaddpayment (
    arg1 INTEGER,
    arg2 DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbaddpayment' ENGINE UDR;

-- lowers a row and the VAT, spreads what it frees; a NULL argument gives NULL
CREATE FUNCTION ib_scbaddcreditnote (
    arg1 INTEGER,
    arg2 VARCHAR(255) CHARACTER SET NONE,
    arg3 DOUBLE PRECISION,
    arg4 DOUBLE PRECISION
)
    RETURNS INTEGER
    EXTERNAL NAME 'ardudf_udr!ib_scbaddcreditnote' ENGINE UDR;

-- ---- the walk in one call ----

-- The rows the last payment or credit note changed, as the loop of ib_scbisaffectedrows,
-- ib_scbreadtype, ib_scbreadamount and ib_scbreadvat reads them (with the same resets);
-- no rows for NULL or a handle of another attachment.
CREATE PROCEDURE ib_scbwalk (handle INTEGER)
    RETURNS (row_type VARCHAR(255) CHARACTER SET NONE, amount DOUBLE PRECISION, vat DOUBLE PRECISION)
    EXTERNAL NAME 'ardudf_udr!ib_scbwalk' ENGINE UDR;

COMMIT;
