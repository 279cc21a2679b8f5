-- {{summary}}; {{null_rule}}
CREATE OR ALTER FUNCTION {{name}} ({{params}})
    RETURNS {{result}}
