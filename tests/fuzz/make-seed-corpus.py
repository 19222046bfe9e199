#!/usr/bin/env python3
"""Writes the seed corpus for the state fuzzers (tests/fuzz/corpus/{state,preset}).
Run from anywhere; the files are kept in the tree."""
import os, struct

here = os.path.dirname(os.path.abspath(__file__))
decl = b'<?xml version="1.0" encoding="UTF-8"?> '
element = (b'<ZelkoraPelorin pluginVersion="1.2.5" presetName="" wetDry="0.5" rate="0.6259999871253967"'
           b' depth="0.5" feedback="0.5" manual="0.5" Mode="0.09090909361839294" mixLock="0" uiWidth="470" uiHeight="260"/>')

def chunk(text, length=None, magic=0x21324356, zero=True):
    return struct.pack('<II', magic, len(text) if length is None else length & 0xFFFFFFFF) + text + (b'\0' if zero else b'')

nested = b'<Foreign mixLock="1">' + b'<a>' * 10000 + b'</a>' * 10000 + b'</Foreign>'
enormous = b'<ZelkoraPelorin presetName="' + b'x' * 60000 + b'" wetDry="0.25"/>'
siblings = b'<Foreign uiWidth="9">' + b'<b c="1"/>' * 5000 + b'</Foreign>'
dtd = b'<!DOCTYPE z [<!ENTITY a "&a;&a;">]><ZelkoraPelorin presetName="&a;"/>'

state = {
    'default': chunk(decl + element),
    'custom': chunk(decl + element.replace(b'presetName=""', 'presetName="Bass &amp; Keys \u2014 \u201clive\u201d"'.encode()).replace(b'mixLock="0"', b'mixLock="1"')),
    'lowercase-tag': chunk(decl + b'<zelkorapelorin rate="abc" uiWidth="600px" mixLock=" yes"/>'),
    'foreign': chunk(decl + b'<Other mixLock="1" uiWidth="-5" uiHeight="99999999999"><child/></Other>'),
    'header-only': chunk(b'', 4)[:8],
    'truncated-header': chunk(decl + element)[:6],
    'truncated-text': chunk(decl + element)[:120],
    'wrong-magic': chunk(decl + element, magic=0x56433221),
    'huge-length': chunk(decl + element, length=0x7FFFFFFF, zero=False),
    'negative-length': chunk(decl + element, length=-1),
    'non-utf8': chunk(decl + b'<ZelkoraPelorin presetName="Caf\xe9 \xc0\x80 \xed\xa0\x80 \xf4\x90\x80\x80"/>\xf0', length=0x7FFFFFFF, zero=False),
    'nan-inf': chunk(decl + b'<ZelkoraPelorin wetDry="nan" rate="inf" depth="-inf" feedback="1e999" manual="-1e300" Mode="1.5"/>'),
    'entities': chunk(decl + b'<ZelkoraPelorin presetName="&#xD800;&#x7FFFFFFF;&#0;&amp;&lt;&unknown;"/>'),
    'nested': chunk(decl + nested),
    'enormous': chunk(decl + enormous),
    'siblings': chunk(decl + siblings),
    'dtd': chunk(decl + dtd),
}

preset_element = (b'<ZelkoraPelorin pluginVersion="1.2.5" presetName="Tri - Classic Flange" wetDry="0.5" rate="0.6"\r\n'
                  b'               depth="0.5" feedback="0.85" manual="0.6" Mode="0.4545454680919647"/>\r\n')
preset = {
    'preset': b'<?xml version="1.0" encoding="UTF-8"?>\r\n\r\n' + preset_element,
    'bom-utf8': b'\xef\xbb\xbf<?xml version="1.0"?>\n' + preset_element,
    'bom-utf16': b'\xff\xfe' + ('<?xml version="1.0"?>\n' + preset_element.decode()).encode('utf-16-le'),
    'session-style': decl + element,
    'empty': b'',
    'not-xml': b'wetDry=0.1 this is not XML',
    'truncated': (b'<?xml version="1.0" encoding="UTF-8"?>\r\n\r\n' + preset_element)[:90],
    'non-utf8': b'<ZelkoraPelorin presetName="\xff\xfe\xc0\x80\xe2\x9c" wetDry="0.1"/>\xf0',
    'nested': nested,
    'enormous': enormous,
    'external-dtd': b'<!DOCTYPE ZelkoraPelorin SYSTEM "/etc/hostname"><ZelkoraPelorin presetName="&x;"/>',
    'dtd': dtd,
}

for folder, seeds in (('state', state), ('preset', preset)):
    os.makedirs(os.path.join(here, 'corpus', folder), exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(here, 'corpus', folder, name), 'wb') as f:
            f.write(data)
