  -- Other attachments would go on with the declarations they have loaded (and a Firebird 3
  -- engine can hang or crash when a function changes under an attachment that used it).
  FOR SELECT 'attachment ' || MON$ATTACHMENT_ID || ' (' || TRIM(COALESCE(MON$USER, '')) || ', '
        || COALESCE(MON$REMOTE_PROCESS, MON$REMOTE_ADDRESS, 'embedded') || ') is connected to this database too'
      FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION AND MON$SYSTEM_FLAG = 0
      INTO {{column}} DO BEGIN
    {{column}} = '{{attachment_prefix}}' || {{column}}
      || '; shut the database down to one attachment (gfix -shut single -force 0) and run this again';
    SUSPEND;
    blocked = blocked + 1;
  END
