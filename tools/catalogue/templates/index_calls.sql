  -- The indexes whose expression calls the function fn, or with fn NULL any function of
  -- ardudf's UDR module, directly or through a PSQL function, a package or a computed column.
  -- A restore into an engine that could not compute such an index leaves it inactive and
  -- without the dependencies the engine records for a built one: it is found by its
  -- expression's text, which names the function or a routine or column that calls it.
  -- (Firebird 5 marks such an index 3, not 1: any state but 0 is inactive.)
  DECLARE PROCEDURE indexes (fn VARCHAR(63)) RETURNS (ix VARCHAR(63), inactive SMALLINT) AS
  BEGIN
    FOR WITH RECURSIVE seeds (name) AS (
          SELECT RDB$FUNCTION_NAME FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL
            AND (RDB$FUNCTION_NAME = :fn OR (:fn IS NULL AND RDB$ENTRYPOINT STARTING WITH 'ardudf_udr!'))),
        calls (name, kind, depth) AS (
          SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, 1 FROM seeds s JOIN RDB$DEPENDENCIES d
            ON d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$DEPENDED_ON_NAME = s.name
          UNION ALL
          SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, c.depth + 1 FROM calls c JOIN RDB$DEPENDENCIES d
            ON (c.kind IN (5, 15) AND d.RDB$DEPENDED_ON_TYPE = c.kind AND d.RDB$DEPENDED_ON_NAME = c.name)
            OR (c.kind IN (18, 19) AND d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$PACKAGE_NAME = c.name)
            OR (c.kind = 3 AND d.RDB$DEPENDED_ON_TYPE = 0 AND EXISTS (SELECT 1 FROM RDB$RELATION_FIELDS f
                WHERE f.RDB$FIELD_SOURCE = c.name AND f.RDB$RELATION_NAME = d.RDB$DEPENDED_ON_NAME
                  AND f.RDB$FIELD_NAME = d.RDB$FIELD_NAME))
            WHERE c.depth < 16),
        named (name) AS (
          SELECT TRIM(name) FROM seeds
          UNION SELECT TRIM(name) FROM calls WHERE kind IN (5, 15, 18, 19)
          UNION SELECT TRIM(f.RDB$FIELD_NAME) FROM calls c JOIN RDB$RELATION_FIELDS f ON f.RDB$FIELD_SOURCE = c.name
            WHERE c.kind = 3)
        SELECT TRIM(i.RDB$INDEX_NAME), IIF(COALESCE(i.RDB$INDEX_INACTIVE, 0) = 0, 0, 1)
          FROM calls c JOIN RDB$INDICES i ON i.RDB$INDEX_NAME = c.name WHERE c.kind = 6
        UNION
        SELECT TRIM(i.RDB$INDEX_NAME), 1 FROM RDB$INDICES i
          WHERE COALESCE(i.RDB$INDEX_INACTIVE, 0) <> 0 AND i.RDB$EXPRESSION_SOURCE IS NOT NULL
            AND NOT EXISTS (SELECT 1 FROM RDB$DEPENDENCIES d
              WHERE d.RDB$DEPENDENT_NAME = i.RDB$INDEX_NAME AND d.RDB$DEPENDENT_TYPE = 6)
            AND EXISTS (SELECT 1 FROM named n WHERE i.RDB$EXPRESSION_SOURCE CONTAINING n.name)
        INTO ix, inactive DO SUSPEND;
  END
