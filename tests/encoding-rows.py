#!/usr/bin/env python3
# Generates the encoding rows of tst_conversion's loader test (addEncodingRows) with Python's strict
# codecs; run once, and its output pasted into the test, so that the test needs no Python:
#   python3 tests/encoding-rows.py
def cstr(b):
    out=''
    for x in b:
        c=chr(x)
        if 32 <= x < 127 and c not in '"\\?':
            out+=c
        else:
            out+='\\x%02X' % x
    # break hex escapes followed by hex digits
    import re
    return '"' + re.sub(r'(\\x[0-9A-F]{2})(?=[0-9A-Fa-f])', r'\1""', out) + '"'
def units(s): return sum(2 if ord(c) > 0xFFFF else 1 for c in s)
def qstr(s):
    out=''
    for c in s:
        o=ord(c)
        if c == '"':
            out+='\\"'
        elif 32 <= o < 127 and c != '\\':
            out+=c
        elif o > 0xFFFF:
            out+='\\U%08X' % o
        else:
            out+='\\u%04X' % o
    return 'QString::fromUtf8(u8"' + out + '")' if any(ord(c)>127 for c in s) else '"' + out + '"'
rows=[]
def row(name, data, pyenc, skipbom=0):
    try:
        text = pyenc(data[skipbom:]) if callable(pyenc) else data[skipbom:].decode(pyenc)
        i = text.index('<f>') + 3; j = text.index('</f>')
        rows.append((name, data, 'mainFiles[] f"%s"' % text[i:j], ''))
    except UnicodeDecodeError as e:
        prefix = data[skipbom:skipbom + e.start].decode(pyenc)
        line = prefix.count('\n') + 1
        col = units(prefix[prefix.rfind('\n')+1:]) + 1
        rows.append((name, data, 'null', 'Parse errorEncountered incorrectly encoded content.Line:%d:Column:%d' % (line, col)))
cases = [
 # The Shift_JIS family is read as code page 932, as Windows reads it.
 ('Shift_JIS', 'cp932', [('valid', '日本'.encode('shift_jis')), ('bad trail byte', b'A\x81\x20B'), ('byte 0xFF', b'A\xFFB'), ('lead byte at the end', b'A\x82'),
   ('what JIS calls wave dash, double vertical line, minus, cent, pound and not', '〜‖−¢£¬'.encode('shift_jis')),
   ('single bytes that libraries read otherwise', b'\x7F\x80\xA0\xFD\xFE\xFF'),
   ('undefined pair', b'A\x85\x40B'), ('user-defined area', b'\xF0\x40\xF9\xFC'), ('lead byte before markup', b'A\x81</f>')]),
 ('Windows-31J', 'cp932', [('NEC extensions', '①Ⅱ№㈱㎜'.encode('cp932'))]),
 ('CP932', 'cp932', [('NEC-selected IBM extensions', '髙﨑'.encode('cp932'))]),
 ('ms932', 'cp932', [('IBM extensions', b'\xFA\x40\xFB\xFC')]),
 ('SJIS', 'cp932', [('NEC extension', '①'.encode('cp932'))]),
 ('windows-932', 'cp932', [('bad trail byte', b'\x87\x3C')]),
 ('x-sjis', 'cp932', [('halfwidth katakana', b'\xB1\xDD')]),
 ('shift_jis', 'cp932', [('in lower case', '〜'.encode('cp932'))]),
 ('EUC-JP', 'euc_jp', [('valid', '日本'.encode('euc_jp')), ('bad trail byte', b'A\xA4\x20B'),
   ('JIS forms of wave dash, double vertical line, cent, pound and not', b'\xA1\xC1\xA1\xC2\xA1\xF1\xA1\xF2\xA2\xCC'),
   ('NEC extension', b'A\xAD\xA1B'), ('IBM extension', b'A\xF9\xA1B'), ('IBM extension after JIS X 0212 shift', b'A\x8F\xF3\xA1B'),
   ('byte that leads nothing', b'A\x85B'), ('single shift before a byte beyond halfwidth katakana', b'A\x8E\xE0B'), ('JIS X 0212 and halfwidth katakana', b'\x8F\xB0\xA1\x8E\xB1')]),
 ('ujis', 'euc_jp', [('name that only ICU knows', '日本'.encode('euc_jp'))]),
 ('GB18030', 'gb18030', [('valid, four bytes and beyond U+FFFF', '中\u20ac\U00020000'.encode('gb18030')), ('invalid sequence', b'A\x81\x20B'),
   ('last character beyond U+FFFF', b'\xE3\x32\x9A\x35'), ('four bytes beyond U+10FFFF', b'A\xE3\x32\x9A\x36'),
   ('four bytes with a bad third byte', b'A\x95\x32\x20\x36'), ('four bytes cut short', b'A\x95\x32\x82'),
   ('the two characters that GB18030-2005 moved', b'\xA8\xBC\x81\x35\xF4\x37')]),
 ('windows-54936', 'gb18030', [('name that only ICU knows', '中'.encode('gb18030'))]),
 ('GBK', 'gbk', [('valid', '中文'.encode('gbk')), ('invalid sequence', b'A\x81\x20B')]),
 ('Big5', 'big5', [('valid', '中文'.encode('big5')), ('invalid sequence', b'A\x81\x20B')]),
 ('GB2312', 'gbk', [('character that only GBK has', '丂'.encode('gbk'))]),
 ('EUC-CN', 'gbk', [('name that only ICU knows', '中文'.encode('gbk'))]),
 ('CP936', 'gbk', [('valid', '中文'.encode('gbk'))]),
 ('csBig5', 'big5', [('name that only ICU knows', '中文'.encode('big5'))]),
 ('CP950', 'big5', [('name that only Qt knows', '中文'.encode('big5'))]),
 ('EUC-KR', 'cp949', [('character that only code page 949 has', '갂'.encode('cp949')), ('invalid sequence', b'A\x81\x20B')]),
 ('KS_C_5601-1987', 'cp949', [('valid', '한국'.encode('cp949'))]),
 ('cp949', 'cp949', [('valid', '한국'.encode('cp949'))]),
 ('windows-874', 'cp874', [('valid', 'ก€'.encode('cp874'))]),
 ('IBM850', 'cp850', [('byte 0x7F', b'A\x7FB')]),
 ('windows-866', 'cp866', [('byte 0x7F', b'\xAF\x7F')]),
 ('ISO-8859-7', 'iso8859_7', [('additions of 2003', b'\xA4\xA5\xAA')]),
 ('ISO-8859-8', 'iso8859_8', [('macron and direction marks', b'\xAF\xFD\xFE')]),
 ('windows-1253', 'cp1253', [('undefined byte 0xAA', b'A\xAAB')]),
 ('l9', 'iso8859_15', [('name that only ICU knows', b'\xA4')]),
 ('US-ASCII', 'ascii', [('valid', b'T1 M6'), ('byte above 0x7F', b'caf\xE9')]),
 ('ASCII', 'ascii', [('valid', b'T1 M6'), ('byte above 0x7F', b'caf\xE9')]),
 ('ANSI_X3.4-1968', 'ascii', [('byte above 0x7F', b'\x80')]),
 ('windows-1252', 'cp1252', [('valid', '€ ‰'.encode('cp1252')), ('undefined byte', b'A\x81B'), ('undefined byte 0x9D', b'A\x9DB')]),
 ('windows-1250', 'cp1250', [('valid', 'Šč'.encode('cp1250')), ('undefined byte', b'A\x98B')]),
]
# Bytes that Python's codecs refuse and Windows' own code pages read: the characters are those of
# Wine's MultiByteToWideChar and of ICU's windows-936-2000, -949-2000, -950-2000 and TIS-620
# tables, which agree on them but for the last byte, 0xFF, which Wine refuses.
def windows_code_page(enc, name, body, text):
    cases.append((enc, lambda data: data.replace(body, text.encode('utf-8')).decode('utf-8'), [(name, body)]))
windows_code_page('GBK', 'euro sign as code page 936 writes it', b'\x80', '\u20ac')
windows_code_page('GBK', 'what code page 936 puts in the private use area', b'\xA2\xE3', '\ue76c')
windows_code_page('GBK', 'byte 0xFF', b'\xFF', '\uf8f5')
windows_code_page('windows-949', 'byte 0xFF', b'\xFF', '\uf8f7')
windows_code_page('Big5', 'bytes 0x80 and 0xFF', b'\x80\xFF', '\x80\uf8f8')
windows_code_page('TIS-620', 'bytes that Thai leaves undefined', b'\xDB\xFF', '\uf8c1\uf8c8')
for enc, pyenc, bodies in cases:
    for name, body in bodies:
        # the document's own text in that encoding, then the body's raw bytes
        head = ('<?xml version="1.0" encoding="%s"?>\n<job><mainFiles>\n<f>' % enc).encode('ascii')
        data = head + body + b'</f></mainFiles></job>'
        row('%s, %s' % (enc, name), data, pyenc)
# Columns on the declaration's own line count its characters as written
row('ascii, byte above 0x7F on the line of the declaration',
    b'<?xml version="1.0" encoding="ascii" standalone="yes"?><job><mainFiles><f>caf\xE9</f></mainFiles></job>', 'ascii')
row('cp932, on the line of the declaration', b"<?xml version='1.0' encoding='cp932'?><job><mainFiles><f>\x87\x40</f></mainFiles></job>", 'cp932')
# UTF-16 and UTF-32, with byte-order marks
def u(enc, pyenc, bom, name, body_units):
    head = '<job><mainFiles>\n<f>'.encode(pyenc)
    data = bom + head + body_units + '</f></mainFiles></job>'.encode(pyenc)
    row('%s, %s' % (enc, name), data, pyenc, skipbom=len(bom))
u('UTF-16LE', 'utf-16-le', b'\xff\xfe', 'unpaired high surrogate', b'A\x00\x00\xd8B\x00')
u('UTF-16LE', 'utf-16-le', b'\xff\xfe', 'unpaired low surrogate', b'A\x00\x00\xdcB\x00')
u('UTF-16BE', 'utf-16-be', b'\xfe\xff', 'pair beyond U+FFFF', '\U0001F600'.encode('utf-16-be'))
u('UTF-32LE', 'utf-32-le', b'\xff\xfe\x00\x00', 'value above U+10FFFF', b'A\x00\x00\x00\x00\x00\x11\x00')
u('UTF-32LE', 'utf-32-le', b'\xff\xfe\x00\x00', 'surrogate', b'A\x00\x00\x00\x00\xd8\x00\x00')
u('UTF-32BE', 'utf-32-be', b'\x00\x00\xfe\xff', 'beyond U+FFFF', '\U00020B9F'.encode('utf-32-be'))
# UTF-16 and UTF-32 under the names ICU also gives them, with a declaration
def declared(enc, pyenc, bom, body):
    data = bom + ('<?xml version="1.0" encoding="%s"?>\n<job><mainFiles>\n<f>%s</f></mainFiles></job>' % (enc, body)).encode(pyenc)
    row('%s, declared' % enc, data, pyenc, skipbom=len(bom))
declared('UCS-2', 'utf-16-le', b'\xff\xfe', '日本')
declared('ISO-10646-UCS-2', 'utf-16-be', b'\xfe\xff', 'T1')
declared('UCS-4', 'utf-32-le', b'\xff\xfe\x00\x00', '\U00020B9F')
for name, data, expected, console in rows:
    exp = qstr(expected) if expected != 'null' else '"null"'
    con = '""'
    if console:
        line = console.split('Line:')[1].split(':Column:')[0]; colm = console.split(':Column:')[1]
        con = '"Parse errorEncountered incorrectly encoded content.Line:%s' % line + 'Column:%s\\n"' % colm
    print('    QTest::newRow("%s") << QByteArray(%s, %d) << %s << %s;' % (name, cstr(data), len(data), exp, con))
