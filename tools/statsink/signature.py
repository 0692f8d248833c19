"""The request signature as the service checks it.

Written from the contract alone, not from the installer's code: the
receiver takes the body it was sent, rebuilds the string-to-sign and
compares the HMAC-SHA1 signatures. Every function works on bytes.
"""

import base64
import hashlib
import hmac
import urllib.parse

APP_KEY = b"NkRbTeVwPqMsXaC"
APP_SECRET = b"Hq4TzW8nRc2VbK6mYx1PdL9sJf3GaE7u"

_ALNUM = b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
# Copied by the byte-wise encoder; every other byte is escaped.
_URL_SAFE = frozenset(_ALNUM + b"._-")
# Copied by the encoder of values inside the string-to-sign.
_SIGN_SAFE = frozenset(_ALNUM + b"!*()")


def _escape(byte):
    return "%%%02X" % byte


def url_encode(data):
    """Byte-wise: letters, digits, ".", "_", "-" copied, all else %XX."""
    return "".join(chr(b) if b in _URL_SAFE else _escape(b) for b in data)


def decode_units(data):
    """UTF-8 bytes to 16-bit units the way the client decodes them.

    The lead byte alone gives the length (below 0xC0 one byte taken as it
    is, then 2, 3, 4, 5 or 6 bytes); the lead's low 5, 4, 3, 2 or 1 bits and
    each following byte's low 6 bits, unchecked, make the value, of which
    the low 16 bits are kept. A sequence running past the end empties the
    whole result.
    """
    units = []
    index = 0
    while index < len(data):
        lead = data[index]
        if lead < 0xC0:
            length, value = 1, lead
        elif lead < 0xE0:
            length, value = 2, lead & 0x1F
        elif lead < 0xF0:
            length, value = 3, lead & 0x0F
        elif lead < 0xF8:
            length, value = 4, lead & 0x07
        elif lead < 0xFC:
            length, value = 5, lead & 0x03
        else:
            length, value = 6, lead & 0x01
        if index + length > len(data):
            return []
        for byte in data[index + 1:index + length]:
            value = (value << 6) | (byte & 0x3F)
        units.append(value & 0xFFFF)
        index += length
    return units


def unit_utf8(unit):
    """One 16-bit unit in its own UTF-8 form (surrogates too, 3 bytes)."""
    if unit < 0x80:
        return bytes([unit])
    if unit < 0x800:
        return bytes([0xC0 | (unit >> 6), 0x80 | (unit & 0x3F)])
    return bytes([0xE0 | (unit >> 12), 0x80 | ((unit >> 6) & 0x3F), 0x80 | (unit & 0x3F)])


def encode_sign_value(data):
    """Unit-wise, for values in the string-to-sign.

    ASCII letters, digits, "!", "*", "(", ")" copied; other ASCII units
    %XX; a unit outside ASCII: each byte of its UTF-8 form as %XX.
    """
    out = []
    for unit in decode_units(data):
        if unit < 0x80:
            out.append(chr(unit) if unit in _SIGN_SAFE else _escape(unit))
        else:
            out.extend(_escape(b) for b in unit_utf8(unit))
    return "".join(out)


def split_parameters(text):
    """name=value pieces cut at "&"; the name ends at the first "=" at
    index 1 or later; other pieces are dropped; the last value of a name
    wins. Returns {name: value} of bytes, nothing unescaped."""
    parameters = {}
    for piece in text.split(b"&"):
        equals = piece.find(b"=", 1)
        if equals > 0:
            parameters[piece[:equals]] = piece[equals + 1:]
    return parameters


def parse_body(body):
    """The received form body: names as sent, values percent-decoded."""
    return {name: urllib.parse.unquote_to_bytes(value) for name, value in split_parameters(body).items()}


def normalized_string(parameters):
    """Entries in byte order of the names, sign left out, names as sent."""
    return b"&".join(name + b"=" + encode_sign_value(value).encode("ascii")
                     for name, value in sorted(parameters.items()) if name != b"sign")


def string_to_sign(method, path, parameters):
    """method (ASCII letters upper-cased) & url_encode(path) & url_encode(N)."""
    return b"&".join([method.upper(), url_encode(path).encode("ascii"),
                      url_encode(normalized_string(parameters)).encode("ascii")])


def signature(text, secret=APP_SECRET):
    """Base64 of HMAC-SHA1(text, secret): 28 characters ending in "="."""
    return base64.b64encode(hmac.new(secret, text, hashlib.sha1).digest())


def check(body, path, method=b"POST", secret=APP_SECRET, app_key=APP_KEY):
    """Checks a received body sent to path (bytes, without the leading "/").

    Returns (ok, reason, parameters, string_to_sign)."""
    parameters = parse_body(body)
    text = string_to_sign(method, path, parameters)
    if parameters.get(b"app_key") != app_key:
        return False, "unknown app_key", parameters, text
    sent = parameters.get(b"sign")
    if sent is None:
        return False, "no sign", parameters, text
    if not hmac.compare_digest(sent, signature(text, secret)):
        return False, "bad signature", parameters, text
    return True, "ok", parameters, text
