-- ardudf 1.1.0: removes the 42 PSQL functions and the procedures of sql/ardudf_psql.sql,
-- their helpers, and the tables that hold the balance contexts.
-- Generated from the catalogue; do not edit.
-- (The routines call one another's helpers and tables; those calls are not counted.)
-- Another attachment still holding balance contexts keeps its tables in use: then the
-- COMMIT fails, and nothing is dropped either.
-- All or nothing: while a procedure, trigger, view, computed column, CHECK or index
-- calls one of them, it drops none and lists what calls them.
SET BAIL ON;
SET AUTODDL OFF;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS (ardudf_psql_drop VARCHAR(400)) AS
  DECLARE n INTEGER = 0;
BEGIN
  FOR SELECT DISTINCT 'not dropped: ' || TRIM(d.RDB$DEPENDED_ON_NAME) || ' is called by ' || COALESCE(
            (SELECT FIRST 1 'CHECK ' || TRIM(r.RDB$CONSTRAINT_NAME) || ' of table ' || TRIM(r.RDB$RELATION_NAME)
              FROM RDB$CHECK_CONSTRAINTS c
              JOIN RDB$RELATION_CONSTRAINTS r ON r.RDB$CONSTRAINT_NAME = c.RDB$CONSTRAINT_NAME
              WHERE d.RDB$DEPENDENT_TYPE = 2 AND c.RDB$TRIGGER_NAME = d.RDB$DEPENDENT_NAME),
            (SELECT FIRST 1 'column ' || TRIM(f.RDB$RELATION_NAME) || '.' || TRIM(f.RDB$FIELD_NAME)
              FROM RDB$RELATION_FIELDS f WHERE d.RDB$DEPENDENT_TYPE = 3 AND f.RDB$FIELD_SOURCE = d.RDB$DEPENDENT_NAME),
            CASE d.RDB$DEPENDENT_TYPE
              WHEN 0 THEN 'table ' WHEN 1 THEN 'view ' WHEN 2 THEN 'trigger ' WHEN 4 THEN 'CHECK of domain '
              WHEN 5 THEN 'procedure ' WHEN 6 THEN 'index ' WHEN 15 THEN 'function ' WHEN 18 THEN 'package '
              WHEN 19 THEN 'package body ' ELSE '' END || TRIM(d.RDB$DEPENDENT_NAME))
      FROM RDB$DEPENDENCIES d
      WHERE ((d.RDB$DEPENDED_ON_TYPE = 15 AND TRIM(d.RDB$DEPENDED_ON_NAME) IN ('IB_STRING_LENGTH', 'IB_STRING_LEFT', 'IB_STRING_RIGHT', 'IB_LPAD', 'IB_REVERSESTRING', 'IB_QUOTE_LITERAL', 'IB_UNIQUEID', 'IB_ISNOTNULL', 'IB_CONVCHARTOINT', 'IB_GREATEST', 'IB_LEAST', 'IB_FIND_TOKEN', 'IB_GET_TOKEN', 'IB_DELETE_TOKEN', 'IB_GETS_U2_PREFIX', 'IB_GETS_U_PREFIX', 'IB_CORRECT_PHONE_NUMBER', 'IB_REMOVE_DIACRITICS', 'IB_DAYOFWEEK', 'IB_DECODEDATE_YEAR', 'IB_DECODEDATE_MONTH', 'IB_DECODEDATE_DAY', 'IB_DECODETIME_HOUR', 'IB_DECODETIME_MIN', 'IB_DECODETIME_SEC', 'IB_ENCODEDATE', 'IB_ISLEAPYEAR', 'IB_ENDOFDECADE', 'IB_CURRENT_TIME', 'IB_DATETOSTRING', 'IB_SCBCREATE', 'IB_SCBADDROW', 'IB_SCBSTARTCREDITNOTE', 'IB_SCBISAFFECTEDROWS', 'IB_SCBREADTYPE', 'IB_SCBREADAMOUNT', 'IB_SCBREADVAT', 'IB_SCBCLEAR', 'IB_SCBFREE', 'IB_SCBADDPAYMENT', 'IB_SCBADDCREDITNOTE', 'ARDUDF_VERSION', 'ARDUDF_PSQL_CSTRING', 'ARDUDF_PSQL_DAYS_IN_MONTH', 'ARDUDF_PSQL_ENCODE', 'ARDUDF_PSQL_IS_ZERO'))
         OR (d.RDB$DEPENDED_ON_TYPE = 5 AND TRIM(d.RDB$DEPENDED_ON_NAME) IN ('IB_SCBWALK', 'ARDUDF_PSQL_FIELDS', 'ARDUDF_PSQL_TAKE', 'ARDUDF_PSQL_SPLIT', 'ARDUDF_PSQL_DISTRIBUTE', 'ARDUDF_PSQL_NEXT_ROW', 'ARDUDF_PSQL_READ_ROW'))
         OR (d.RDB$DEPENDED_ON_TYPE = 0 AND TRIM(d.RDB$DEPENDED_ON_NAME) IN ('ARDUDF_PSQL_CONTEXT', 'ARDUDF_PSQL_ROW')))
        AND NOT (d.RDB$DEPENDENT_TYPE IN (5, 15) AND TRIM(d.RDB$DEPENDENT_NAME) IN ('IB_STRING_LENGTH', 'IB_STRING_LEFT', 'IB_STRING_RIGHT', 'IB_LPAD', 'IB_REVERSESTRING', 'IB_QUOTE_LITERAL', 'IB_UNIQUEID', 'IB_ISNOTNULL', 'IB_CONVCHARTOINT', 'IB_GREATEST', 'IB_LEAST', 'IB_FIND_TOKEN', 'IB_GET_TOKEN', 'IB_DELETE_TOKEN', 'IB_GETS_U2_PREFIX', 'IB_GETS_U_PREFIX', 'IB_CORRECT_PHONE_NUMBER', 'IB_REMOVE_DIACRITICS', 'IB_DAYOFWEEK', 'IB_DECODEDATE_YEAR', 'IB_DECODEDATE_MONTH', 'IB_DECODEDATE_DAY', 'IB_DECODETIME_HOUR', 'IB_DECODETIME_MIN', 'IB_DECODETIME_SEC', 'IB_ENCODEDATE', 'IB_ISLEAPYEAR', 'IB_ENDOFDECADE', 'IB_CURRENT_TIME', 'IB_DATETOSTRING', 'IB_SCBCREATE', 'IB_SCBADDROW', 'IB_SCBSTARTCREDITNOTE', 'IB_SCBISAFFECTEDROWS', 'IB_SCBREADTYPE', 'IB_SCBREADAMOUNT', 'IB_SCBREADVAT', 'IB_SCBCLEAR', 'IB_SCBFREE', 'IB_SCBADDPAYMENT', 'IB_SCBADDCREDITNOTE', 'ARDUDF_VERSION', 'ARDUDF_PSQL_CSTRING', 'ARDUDF_PSQL_DAYS_IN_MONTH', 'ARDUDF_PSQL_ENCODE', 'ARDUDF_PSQL_IS_ZERO', 'IB_SCBWALK', 'ARDUDF_PSQL_FIELDS', 'ARDUDF_PSQL_TAKE', 'ARDUDF_PSQL_SPLIT', 'ARDUDF_PSQL_DISTRIBUTE', 'ARDUDF_PSQL_NEXT_ROW', 'ARDUDF_PSQL_READ_ROW'))
      INTO ardudf_psql_drop DO BEGIN
    n = n + 1;
    SUSPEND;
  END
  IF (n > 0) THEN n = CAST('ardudf_psql_drop.sql: nothing dropped' AS INTEGER);
END^
SET TERM ; ^
DROP PROCEDURE ib_scbwalk;
DROP FUNCTION ib_string_length;
DROP FUNCTION ib_string_left;
DROP FUNCTION ib_string_right;
DROP FUNCTION ib_lpad;
DROP FUNCTION ib_reversestring;
DROP FUNCTION ib_quote_literal;
DROP FUNCTION ib_uniqueid;
DROP FUNCTION ib_isnotnull;
DROP FUNCTION ib_convchartoint;
DROP FUNCTION ib_greatest;
DROP FUNCTION ib_least;
DROP FUNCTION ib_find_token;
DROP FUNCTION ib_get_token;
DROP FUNCTION ib_delete_token;
DROP FUNCTION ib_gets_u2_prefix;
DROP FUNCTION ib_gets_u_prefix;
DROP FUNCTION ib_correct_phone_number;
DROP FUNCTION ib_remove_diacritics;
DROP FUNCTION ib_dayofweek;
DROP FUNCTION ib_decodedate_year;
DROP FUNCTION ib_decodedate_month;
DROP FUNCTION ib_decodedate_day;
DROP FUNCTION ib_decodetime_hour;
DROP FUNCTION ib_decodetime_min;
DROP FUNCTION ib_decodetime_sec;
DROP FUNCTION ib_encodedate;
DROP FUNCTION ib_isleapyear;
DROP FUNCTION ib_endofdecade;
DROP FUNCTION ib_current_time;
DROP FUNCTION ib_datetostring;
DROP FUNCTION ib_scbcreate;
DROP FUNCTION ib_scbaddrow;
DROP FUNCTION ib_scbstartcreditnote;
DROP FUNCTION ib_scbisaffectedrows;
DROP FUNCTION ib_scbreadtype;
DROP FUNCTION ib_scbreadamount;
DROP FUNCTION ib_scbreadvat;
DROP FUNCTION ib_scbclear;
DROP FUNCTION ib_scbfree;
DROP FUNCTION ib_scbaddpayment;
DROP FUNCTION ib_scbaddcreditnote;
DROP FUNCTION ardudf_version;
DROP PROCEDURE ardudf_psql_read_row;
DROP PROCEDURE ardudf_psql_next_row;
DROP PROCEDURE ardudf_psql_distribute;
DROP PROCEDURE ardudf_psql_split;
DROP PROCEDURE ardudf_psql_take;
DROP FUNCTION ardudf_psql_is_zero;
DROP FUNCTION ardudf_psql_encode;
DROP FUNCTION ardudf_psql_days_in_month;
DROP PROCEDURE ardudf_psql_fields;
DROP FUNCTION ardudf_psql_cstring;
DROP EXCEPTION ardudf_psql_read_only;
DROP TABLE ardudf_psql_row;
DROP TABLE ardudf_psql_context;
DROP SEQUENCE ardudf_psql_handles;
COMMIT;
