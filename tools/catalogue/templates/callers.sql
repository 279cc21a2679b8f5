  -- What calls a function, named as its owner knows it: a CHECK by its constraint, a
  -- computed column by its table and column (the engine records their hidden trigger and
  -- domain).
  DECLARE PROCEDURE callers (fn VARCHAR(63)) RETURNS (caller VARCHAR(200)) AS
  BEGIN
    FOR SELECT DISTINCT {{> caller_name.sql}}
        FROM RDB$DEPENDENCIES d WHERE d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$DEPENDED_ON_NAME = :fn
        INTO caller DO SUSPEND;
  END
