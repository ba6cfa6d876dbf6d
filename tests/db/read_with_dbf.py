#!/usr/bin/python3
"""Reads one table of a Tamsu data directory with the python3-dbf package (an independent dBASE
reader) and prints it the way `tamsu-admin dump` does, so the two can be compared."""
import sys

import dbf


def main():
    path = sys.argv[1]
    table = dbf.Table(path, codepage='cp852')
    table.open(dbf.READ_ONLY)
    names = table.field_names
    print(','.join(['usuniety'] + [n.upper() for n in names]))
    for rec in table:
        out = ['*' if dbf.is_deleted(rec) else '']
        for name in names:
            info = table.field_info(name)
            kind = chr(info.field_type)
            value = rec[name]
            if kind == 'C':
                text = (value or '').rstrip(' ')
                if any(c in text for c in ',"\n\r'):
                    text = '"' + text.replace('"', '""') + '"'
                out.append(text)
            elif kind == 'D':
                out.append(value.strftime('%d.%m.%Y') if value else '')
            elif kind == 'L':
                out.append('T' if value else 'F')
            else:
                out.append(format(value or 0, '.%df' % info.decimal))
        print(','.join(out))
    table.close()


main()
