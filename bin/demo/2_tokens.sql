-- tokens, cleaning and prefix codes
SET LIST ON;
SET ECHO ON;
SELECT ib_find_token('red,green,blue', 'green') AS green_at,
       ib_get_token(',,red,green,blue', ',') AS head,
       ib_delete_token(',,red,green,blue', ',') AS tail,
       ib_correct_phone_number('+420 (602) 123-456') AS phone,
       ib_remove_diacritics('Příliš žluťoučký kůň úpěl ďábelské ódy') AS plain,
       ib_gets_u2_prefix('A', 'N') AS prefix_a_n,
       ib_gets_u_prefix(ib_isnotnull('x')) AS prefix_of_flag
FROM rdb$database;
-- Walk a list token by token.
SET TERM ^;
EXECUTE BLOCK RETURNS (token VARCHAR(10)) AS
DECLARE rest VARCHAR(100) = 'Praha;Brno;;Ostrava;Plzeň';
BEGIN
  WHILE (ib_get_token(rest, ';') <> '') DO
  BEGIN
    token = ib_get_token(rest, ';');
    SUSPEND;
    rest = ib_delete_token(rest, ';');
  END
END^
SET TERM ;^
