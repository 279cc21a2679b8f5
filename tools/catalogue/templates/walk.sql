  -- {{name}}, which the UDR module adds
  IF (n_moved > 0 AND NOT EXISTS (SELECT 1 FROM RDB$PROCEDURES
      WHERE RDB$PROCEDURE_NAME = '{{upper_name}}' AND RDB$PACKAGE_NAME IS NULL)) THEN BEGIN
    EXECUTE STATEMENT '{{ddl}}';
    EXECUTE STATEMENT '{{comment}}';
    walk = '; {{name}} declared';
  END
