'ALTER FUNCTION ' || ident(fn) || ' ' || typed_args(fn, 1, names)
        || ' EXTERNAL NAME ''ardudf_udr!' || entry || '!{{option}}'' ENGINE UDR'
