-- A database that calls ardudf from every kind of object the engine has, with rows that
-- hold NULLs, empty texts, letters outside ASCII and texts longer than 8191 bytes: what a
-- move to the UDR module must leave giving the same results (report.sql reads them).
CREATE DOMAIN ref_text AS VARCHAR(40) CHECK (ib_string_length(VALUE) > 0);
CREATE TABLE ref (ref ref_text);
CREATE TABLE item (
  id INTEGER NOT NULL PRIMARY KEY,
  code VARCHAR(20),
  name VARCHAR(100),
  note VARCHAR(20000) CHARACTER SET NONE,
  kind VARCHAR(20),
  amount DOUBLE PRECISION,
  vat DOUBLE PRECISION,
  dated DOUBLE PRECISION,
  stamp VARCHAR(200),
  padded COMPUTED BY (ib_lpad(code, 8, '0')),
  -- Narrowed: a table whose computed columns reach 64 KB cannot be restored from a backup.
  plain_name COMPUTED BY (CAST(ib_remove_diacritics(name) AS VARCHAR(100))),
  note_length COMPUTED BY (ib_string_length(note)),
  year_of COMPUTED BY (ib_decodedate_year(dated)),
  CONSTRAINT item_code CHECK (ib_string_length(code) < 15)
);
COMMIT;

SET TERM ^ ;
CREATE FUNCTION slashed (c VARCHAR(20)) RETURNS VARCHAR(40) AS
BEGIN
  RETURN '/' || ib_lpad(c, 6, '0') || '/';
END^

CREATE PACKAGE dates AS
BEGIN
  FUNCTION label (d DOUBLE PRECISION) RETURNS VARCHAR(40);
END^
CREATE PACKAGE BODY dates AS
BEGIN
  FUNCTION label (d DOUBLE PRECISION) RETURNS VARCHAR(40) AS
  BEGIN
    RETURN ib_datetostring(d, 'YYYY-MM-DD') || ' ' || ib_dayofweek(d) || ' ' || ib_isleapyear(ib_decodedate_year(d));
  END
END^

CREATE TRIGGER item_stamp FOR item BEFORE INSERT OR UPDATE AS
BEGIN
  NEW.stamp = ib_isnotnull(NEW.code) || ib_gets_u2_prefix(NEW.kind, NEW.code) || ib_convchartoint(NEW.code)
    || '|' || ib_quote_literal(ib_string_left(NEW.name, 10));
END^

-- At most five rounds: read as the empty text, a NULL list never ends.
CREATE PROCEDURE tokens (list VARCHAR(200)) RETURNS (token VARCHAR(200), rest VARCHAR(200)) AS
DECLARE n INTEGER = 0;
BEGIN
  rest = list;
  WHILE (n < 5) DO BEGIN
    token = ib_get_token(rest, ',; ');
    rest = ib_delete_token(rest, ',; ');
    SUSPEND;
    n = n + 1;
    IF (rest = '') THEN LEAVE;
  END
END^

CREATE PROCEDURE settle (payment DOUBLE PRECISION, credit DOUBLE PRECISION)
  RETURNS (rc INTEGER, row_type VARCHAR(255), amount DOUBLE PRECISION, vat DOUBLE PRECISION) AS
DECLARE h INTEGER;
DECLARE k VARCHAR(20);
DECLARE a DOUBLE PRECISION;
DECLARE v DOUBLE PRECISION;
BEGIN
  h = ib_scbcreate();
  FOR SELECT kind, amount, vat FROM item ORDER BY id INTO k, a, v DO rc = ib_scbaddrow(h, k, a, v);
  rc = ib_scbaddpayment(h, payment);
  WHILE (ib_scbisaffectedrows(h) = 1) DO BEGIN
    row_type = ib_scbreadtype(h); amount = ib_scbreadamount(h); vat = ib_scbreadvat(h);
    SUSPEND;
  END
  rc = ib_scbaddcreditnote(h, 'GOODS', credit, 0);
  WHILE (ib_scbisaffectedrows(h) = 1) DO BEGIN
    row_type = ib_scbreadtype(h); amount = ib_scbreadamount(h); vat = ib_scbreadvat(h);
    SUSPEND;
  END
  row_type = 'null handle'; amount = NULL; vat = NULL;
  rc = ib_scbaddrow(NULL, 'GOODS', 1, 1);
  SUSPEND;
  row_type = 'cleared';
  rc = ib_scbclear(h) + ib_scbisaffectedrows(h) + ib_scbstartcreditnote(NULL);
  SUSPEND;
  row_type = 'freed';
  rc = ib_scbfree(h);
  SUSPEND;
END^
SET TERM ; ^

CREATE VIEW item_view AS
  SELECT id, CAST(ib_string_right(note, 5) AS VARCHAR(5)) AS tail, CAST(ib_reversestring(name) AS VARCHAR(100)) AS backwards,
    ib_find_token(name, 'a') AS at_a, ib_greatest(amount, vat) AS most, ib_least(amount, vat) AS fewest,
    ib_correct_phone_number(code) AS digits,
    ib_encodedate(2024, 2, ib_decodedate_day(dated)) AS in_february, ib_endofdecade(dated) AS after_decade,
    ib_decodetime_hour(dated) AS hh, ib_decodetime_min(dated) AS mi, ib_decodetime_sec(dated) AS ss,
    ib_decodedate_month(dated) AS mm, CAST(ib_gets_u_prefix(kind) AS VARCHAR(2)) AS prefix, ib_string_length(ib_uniqueid(id)) AS id_length,
    IIF(ib_current_time() > 45000, 'now', 'then') AS clock
  FROM item;

CREATE INDEX item_note_length ON item COMPUTED BY (ib_string_length(note));
CREATE INDEX item_year ON item COMPUTED BY (year_of);
CREATE INDEX item_slashed ON item COMPUTED BY (slashed(code));
CREATE INDEX item_label ON item COMPUTED BY (dates.label(dated));
COMMIT;

INSERT INTO item (id, code, name, note, kind, amount, vat, dated)
  VALUES (1, '42', 'Příliš žluťoučký kůň', 'a short note', 'GOODS', 100, 21, 45000.75);
INSERT INTO item (id) VALUES (2);
INSERT INTO item (id, code, name, note, kind, amount, vat, dated) VALUES (3, '', '', '', '', 0, 5, 0);
INSERT INTO item (id, code, name, note, kind, amount, vat, dated)
  VALUES (4, '+420 777-12', 'Ärger über Öl; a, b', LPAD(CAST('' AS VARCHAR(1) CHARACTER SET NONE), 9000, 'x') || 'end', 'SERVICE', 50.5, 10.6, 45351.5);
INSERT INTO item (id, code, name, note, kind, amount, vat, dated)
  VALUES (5, 'abc', 'a; b, c', LPAD(CAST('' AS VARCHAR(1) CHARACTER SET NONE), 19990, 'y') || '0123456789', 'GOODS', -20, -4.2, -1.25);
INSERT INTO ref VALUES ('r');
COMMIT;

-- Declared by hand, as databases of twenty years hold them: under names of their own, one
-- export twice, the module named in other ways, and another library's function that calls
-- an export of the same name.
DECLARE EXTERNAL FUNCTION strlen CSTRING(255) RETURNS INTEGER BY VALUE
  ENTRY_POINT 'ib_string_length' MODULE_NAME 'ardudf';
DECLARE EXTERNAL FUNCTION padl CSTRING(255) CHARACTER SET NONE, INTEGER, CSTRING(255) CHARACTER SET NONE
  RETURNS CSTRING(255) CHARACTER SET NONE FREE_IT ENTRY_POINT 'ib_lpad' MODULE_NAME 'ardudf.so';
DECLARE EXTERNAL FUNCTION text_length CSTRING(100) CHARACTER SET NONE RETURNS INTEGER BY VALUE
  ENTRY_POINT 'ib_string_length' MODULE_NAME 'C:\Program Files\Firebird\UDF\ARDUDF.DLL';
DECLARE EXTERNAL FUNCTION other_lpad CSTRING(255), INTEGER, CSTRING(255) RETURNS CSTRING(255) FREE_IT
  ENTRY_POINT 'ib_lpad' MODULE_NAME 'otherlib';
COMMIT;
CREATE TABLE own (id INTEGER, s VARCHAR(100), p COMPUTED BY (padl(s, 6, '*')));
CREATE INDEX own_length ON own COMPUTED BY (strlen(s));
COMMIT;
INSERT INTO own VALUES (1, 'abc');
INSERT INTO own VALUES (2, NULL);
INSERT INTO own VALUES (3, 'xyzzy');
COMMIT;

-- What the move must leave as it is: an index the DBA turned off and names in
-- ARDUDF_LEAVE_INDEXES; an index that calls nothing of ardudf's but LOWER, beside a computed
-- column L that does call one; an index that names a function only inside a string. A
-- comment of the database's own on a function, and a name of one that is a built-in's.
ALTER TABLE item ADD l COMPUTED BY (CAST(ib_string_left(name, 1) AS VARCHAR(4)));
CREATE INDEX item_low ON item COMPUTED BY (LOWER(name));
CREATE INDEX item_quoted ON item COMPUTED BY (name || ' strlen(');
CREATE INDEX item_kept ON item COMPUTED BY (strlen(code));
CREATE TABLE ardudf_leave_indexes (index_name VARCHAR(63));
COMMIT;
ALTER INDEX item_low INACTIVE;
ALTER INDEX item_quoted INACTIVE;
ALTER INDEX item_kept INACTIVE;
INSERT INTO ardudf_leave_indexes VALUES ('item_kept');
COMMENT ON FUNCTION strlen IS 'length in bytes, as billing counts it';
DECLARE EXTERNAL FUNCTION reverse CSTRING(255) RETURNS CSTRING(255) FREE_IT
  ENTRY_POINT 'ib_reversestring' MODULE_NAME 'ardudf';
COMMIT;
