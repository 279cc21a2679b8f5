  -- Before the first change, the UDR module must load and answer in this server: a
  -- function of it created and called in a transaction of its own, then dropped. Where it
  -- does not, nothing changes, and the engine's own error says why.
  IF (EXISTS (SELECT 1 FROM declarations WHERE state = 'L')) THEN BEGIN
    probe = NULL;
    BEGIN
      EXECUTE STATEMENT 'CREATE FUNCTION ardudf_udr_probe (t VARCHAR(10)) RETURNS INTEGER '
        || 'EXTERNAL NAME ''ardudf_udr!ib_string_length!{{option}}'' ENGINE UDR' WITH AUTONOMOUS TRANSACTION;
      probe = -1;
      EXECUTE STATEMENT 'SELECT ardudf_udr_probe(''abc'') * 10 + ardudf_udr_probe(NULL) FROM RDB$DATABASE'
        WITH AUTONOMOUS TRANSACTION INTO probe;
      WHEN ANY DO probe = COALESCE(probe, -2);
    END
    IF (probe > -2) THEN
      EXECUTE STATEMENT 'DROP FUNCTION ardudf_udr_probe' WITH AUTONOMOUS TRANSACTION;
    IF (probe IS DISTINCT FROM 30) THEN BEGIN
      {{column}} = 'nothing changed: the UDR module ardudf_udr '
        || IIF(probe = -2, 'does not load in this server', 'does not answer as it should')
        || ' (libardudf_udr.so, or ardudf_udr.dll of the server''s bitness, in its plugins/udr folder: '
        || 'docs/migration.md)';
      SUSPEND;
      IF (probe = -2) THEN BEGIN
        -- The engine's words: the same creation, unguarded (it fails again, and changes nothing).
        EXECUTE STATEMENT 'CREATE FUNCTION ardudf_udr_probe (t VARCHAR(10)) RETURNS INTEGER '
          || 'EXTERNAL NAME ''ardudf_udr!ib_string_length!{{option}}'' ENGINE UDR' WITH AUTONOMOUS TRANSACTION;
        EXECUTE STATEMENT 'DROP FUNCTION ardudf_udr_probe' WITH AUTONOMOUS TRANSACTION;
      END
      EXECUTE PROCEDURE refuse('ardudf_legacy_to_udr.sql changed nothing: the UDR module does not answer');
    END
  END
