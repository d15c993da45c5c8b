#!/usr/bin/env python3
"""Makes the module's resource script from its UTF-8 sources.

The string table is taken from strings_ru.inc, the single source of the
texts, and appended to the template script. Every text of the output is a
wide string (L"...") whose non-ASCII characters are written as \\xNNNN
escapes, so the script is pure ASCII and no code page of the resource
compiler can mangle it. "@ICON_DIR@" in the template becomes the folder of
the generated icons, "@SOURCE_DIR@" the folder of the template itself, and
@STRING(id)@ the wide literal of that string-table text, so that a caption
the table holds is not typed a second time.

usage: rc_text.py STRINGS_INC TEMPLATE_RC_IN ICON_DIR OUTPUT_RC
"""
import os
import re
import sys

ENTRY = re.compile(r'^NORVALT_STRING\((\d+),\s*"((?:[^"\\]|\\.)*)"\)\s*$')
C_ESCAPES = {'n': '\n', 't': '\t', '\\': '\\', '"': '"', "'": "'"}
HEX = set('0123456789abcdefABCDEF')


def c_unescape(body):
    out, i = [], 0
    while i < len(body):
        ch = body[i]
        if ch == '\\':
            nxt = body[i + 1]
            if nxt not in C_ESCAPES:
                raise ValueError(f'unsupported escape \\{nxt}')
            out.append(C_ESCAPES[nxt])
            i += 2
        else:
            out.append(ch)
            i += 1
    return ''.join(out)


def rc_wide(text):
    """The text as an ASCII-only L"" literal of the resource compiler."""
    out = []
    escaped_before = False
    for ch in text:
        code = ord(ch)
        units = [code] if code < 0x10000 else [0xD800 + ((code - 0x10000) >> 10), 0xDC00 + ((code - 0x10000) & 0x3FF)]
        # A hex digit right after an escape is escaped too: a compiler that
        # reads more than four digits must not take it into the escape.
        if code >= 0x80 or (escaped_before and ch in HEX):
            out.extend(f'\\x{u:04x}' for u in units)
            escaped_before = True
            continue
        escaped_before = False
        if ch == '"':
            out.append('""')
        elif ch == '\\':
            out.append('\\\\')
        elif ch == '\n':
            out.append('\\n')
        elif ch == '\t':
            out.append('\\t')
        elif code < 0x20:
            raise ValueError(f'control character {code:#x} in a text')
        else:
            out.append(ch)
    return 'L"' + ''.join(out) + '"'


def read_strings(path):
    entries = []
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip('\n')
            if not line.strip() or line.startswith('//'):
                continue
            m = ENTRY.match(line)
            if not m:
                raise SystemExit(f'{path}:{number}: not a string entry')
            entries.append((int(m.group(1)), c_unescape(m.group(2))))
    return entries


# A double-quoted text of the template with at least one non-ASCII
# character, not already wide.
TEMPLATE_TEXT = re.compile(r'(?<![A-Za-z0-9_])"((?:[^"]|"")*[^\x00-\x7f](?:[^"]|"")*)"')


def convert_template(text, icon_dir, source_dir, strings):
    text = text.replace('@ICON_DIR@', icon_dir.replace('\\', '/'))
    text = text.replace('@SOURCE_DIR@', source_dir.replace('\\', '/'))
    text = re.sub(r'@STRING\((\d+)\)@', lambda m: rc_wide(strings[int(m.group(1))]), text)
    return TEMPLATE_TEXT.sub(lambda m: rc_wide(m.group(1).replace('""', '"')), text)


def main():
    strings_inc, template, icon_dir, output = sys.argv[1:5]
    entries = read_strings(strings_inc)
    with open(template, encoding='utf-8') as f:
        script = convert_template(f.read(), icon_dir, os.path.dirname(os.path.abspath(template)), dict(entries))
    lines = [script.rstrip('\n'), '', 'STRINGTABLE', 'BEGIN']
    for ident, text in entries:
        lines.append(f'  {ident}, {rc_wide(text)}')
    lines += ['END', '']
    result = '\n'.join(lines)
    result.encode('ascii')  # the whole point: nothing but ASCII goes out
    with open(output, 'w', encoding='ascii', newline='\n') as f:
        f.write(result)


if __name__ == '__main__':
    main()
