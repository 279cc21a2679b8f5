  -- A name as a statement must spell it: quoted in dialect 3; dialect 1 has no quoted names.
  DECLARE FUNCTION ident (name VARCHAR(63)) RETURNS VARCHAR(130) AS
  BEGIN
    IF ((SELECT MON$SQL_DIALECT FROM MON$DATABASE) = 1) THEN RETURN name;
    RETURN '"' || REPLACE(name, '"', '""') || '"';
  END
