#!/usr/bin/env python3
"""Makes the resource script of a language module from the module's own.

The dialog templates are those of norvalt.rc.in (so a language module has
every control, id and style the windows look for), with the texts typed in
the template translated by a table of "original<TAB>translation" lines, the
LANGUAGE statement replaced and the manifest left out (the module's own
activation context serves its windows). The string table comes from the
language's strings_*.inc, @STRING(id)@ from it too. A template text that
has no translation stops the build, so a new Russian text cannot slip into
another language's windows.

usage: rc_language.py STRINGS_INC TEMPLATE_RC_IN TRANSLATIONS ICON_DIR LANGUAGE OUTPUT_RC
       LANGUAGE as the resource compiler writes it, e.g. "LANG_ENGLISH, SUBLANG_ENGLISH_US"
"""
import os
import re
import sys

import rc_text


def read_translations(path):
    table = {}
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip('\n')
            if not line.strip() or line.startswith('#'):
                continue
            original, tab, translation = line.partition('\t')
            if not tab:
                raise SystemExit(f'{path}:{number}: not "original<TAB>translation"')
            table[original] = translation
    return table


def translate(template, table, path):
    def replace(m):
        text = m.group(1).replace('""', '"')
        if text not in table:
            raise SystemExit(f'{path}: no translation of "{text}"')
        return '"' + table[text].replace('"', '""') + '"'
    return rc_text.TEMPLATE_TEXT.sub(replace, template)


def main():
    strings_inc, template, translations, icon_dir, language, output = sys.argv[1:7]
    with open(template, encoding='utf-8') as f:
        text = f.read()
    text = re.sub(r'^LANGUAGE .*$', 'LANGUAGE ' + language, text, count=1, flags=re.M)
    text = re.sub(r'^IDR_MANIFEST .*\n', '', text, flags=re.M)
    text = translate(text, read_translations(translations), template)
    entries = rc_text.read_strings(strings_inc)
    script = rc_text.convert_template(text, icon_dir, os.path.dirname(os.path.abspath(template)), dict(entries))
    lines = [script.rstrip('\n'), '', 'STRINGTABLE', 'BEGIN']
    for ident, value in entries:
        lines.append(f'  {ident}, {rc_text.rc_wide(value)}')
    lines += ['END', '']
    result = '\n'.join(lines)
    result.encode('ascii')
    with open(output, 'w', encoding='ascii', newline='\n') as f:
        f.write(result)


if __name__ == '__main__':
    main()
