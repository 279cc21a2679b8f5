-- ardudf {{version}}: activates each inactive index whose expression calls a function of
-- ardudf's UDR module, directly or through a PSQL routine or a computed column, and
-- rebuilds each active one. Generated from src/catalogue/catalogue.h and
-- tools/catalogue/templates by ardudf_catalogue; do not edit.
-- sql/ardudf_legacy_to_udr.sql ends with this step; on its own it is for a database whose
-- indexes a restore left inactive, or whose keys were computed by another module.
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK AS
BEGIN
  RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_REBUILD', '1');
END^
{{> indexes.sql}}
SET TERM ; ^
