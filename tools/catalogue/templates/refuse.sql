  -- A refusal in a sentence of its own, raised as the exception ARDUDF_REFUSED: created for
  -- the moment it is raised, the error undoes its creation with the rest of the statement.
  -- Where it cannot be created (a user without the right, a read-only database), the
  -- sentence comes as the text of a conversion error.
  DECLARE PROCEDURE refuse (message VARCHAR(400)) AS
    DECLARE n INTEGER;
  BEGIN
    BEGIN
      EXECUTE STATEMENT 'CREATE EXCEPTION ardudf_refused ''ardudf refused''';
      WHEN ANY DO n = CAST(message AS INTEGER);
    END
    EXECUTE STATEMENT 'EXECUTE BLOCK AS BEGIN EXCEPTION ardudf_refused '''
      || REPLACE(message, '''', '''''') || '''; END';
  END
