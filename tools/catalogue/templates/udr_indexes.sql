-- ardudf {{version}}: the index step of the move on its own, rebuilding each index whose
-- expression calls a function of ardudf's UDR module, directly or through a PSQL routine or
-- a computed column, and activating each inactive one; the indexes ARDUDF_LEAVE_INDEXES
-- names are left as they are. Generated from src/catalogue/catalogue.h and
-- tools/catalogue/templates by ardudf_catalogue; do not edit.
-- For a database whose indexes a restore left inactive, or whose keys were computed by
-- another module; run again after a failure, it builds what is left.
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK AS
BEGIN
  RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_REBUILD', '1');
END^
{{> indexes.sql}}
SET TERM ; ^
