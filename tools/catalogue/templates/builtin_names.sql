  -- Firebird 6 no longer lets a function of the database take the name of a built-in one:
  -- a name of ardudf's function that is a built-in's name in Firebird 4, 5 or 6 breaks there.
  FOR SELECT name, entry FROM declarations WHERE state IN ('L', 'M', 'U') AND name IN (
{{builtin_names}})
      ORDER BY name INTO fn, entry DO BEGIN
    {{column}} = 'note: ' || fn || ' (' || entry || ') bears the name of a built-in function: '
      || 'Firebird 6 will not let it; give it another name before moving to Firebird 6 (docs/migration.md)';
    SUSPEND;
  END
