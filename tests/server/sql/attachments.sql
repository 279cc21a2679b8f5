-- concurrent: 3
-- Several attachments, each with its own balance contexts: a second attachment in this
-- process (EXECUTE STATEMENT ON EXTERNAL) and, as the runner repeats this file, other
-- processes on the same database at the same time.
SET LIST ON;

SET TERM ^;
EXECUTE BLOCK RETURNS (own_type VARCHAR(20), other_type VARCHAR(20), other_sees_mine VARCHAR(20),
                       handles_differ INTEGER, own_after_other VARCHAR(20), other_paid DOUBLE PRECISION,
                       own_walk VARCHAR(20), own_paid DOUBLE PRECISION, freed INTEGER) AS
DECLARE mine INTEGER;
DECLARE theirs INTEGER;
DECLARE db VARCHAR(1000);
DECLARE i INTEGER = 0;
BEGIN
  db = RDB$GET_CONTEXT('SYSTEM', 'DB_NAME');
  mine = ib_scbcreate();
  ib_scbaddrow(mine, 'MINE', 10, 0);
  -- The other attachment makes its own context and reads it back.
  EXECUTE STATEMENT
    'EXECUTE BLOCK RETURNS (h INTEGER, t VARCHAR(20), paid DOUBLE PRECISION) AS BEGIN
       h = ib_scbcreate(); ib_scbaddrow(h, ''THEIRS'', 5, 0); t = ib_scbreadtype(h);
       ib_scbaddpayment(h, 2); ib_scbisaffectedrows(h); paid = ib_scbreadamount(h); SUSPEND; END'
    ON EXTERNAL db
    INTO theirs, other_type, other_paid;
  -- ... and reads this attachment's context through its handle. In the legacy module the
  -- contexts belong to the module, so the handle works wherever it is passed; in the UDR
  -- module they belong to the attachment that made them, and the other one sees ''
  -- (expected/udr/attachments.out); nor can this one free the other's.
  EXECUTE STATEMENT ('SELECT ib_scbreadtype(?) FROM RDB$DATABASE') (mine)
    ON EXTERNAL db INTO other_sees_mine;
  handles_differ = IIF(mine <> theirs, 1, 0);
  own_type = ib_scbreadtype(mine);
  -- Many contexts made and freed meanwhile leave this one alone.
  WHILE (i < 100) DO
  BEGIN
    ib_scbfree(ib_scbcreate());
    i = i + 1;
  END
  own_after_other = ib_scbreadtype(mine);
  -- A payment here walks only this context's rows.
  ib_scbaddpayment(mine, 4);
  IF (ib_scbisaffectedrows(mine) = 1) THEN
  BEGIN
    own_walk = ib_scbreadtype(mine);
    own_paid = ib_scbreadamount(mine);
  END
  freed = ib_scbfree(mine) + ib_scbfree(theirs);
  SUSPEND;
END^
SET TERM ;^
