"""The table of movies with known facts, made here: writes each as NAME.swf and as a projector
NAME.exe into DIR, and prints one line a movie as `quenlor-cli info` should print it:
name, type, version, width, height, frame rate, frames, AS3 or AS1/2, ok or the problem.
  movies.py DIR"""
import lzma, os, struct, sys, zlib

def bits(fields, width):  # signed fields of `width` bits behind a 5-bit width, MSB first
    s = format(width, "05b") + "".join(format(v & ((1 << width) - 1), "0%db" % width) for v in fields)
    s += "0" * (-len(s) % 8)
    return bytes(int(s[i:i + 8], 2) for i in range(0, len(s), 8))

def tag(code, data):
    if len(data) < 0x3F:
        return struct.pack("<H", code << 6 | len(data)) + data
    return struct.pack("<HI", code << 6 | 0x3F, len(data)) + data

def body(w, h, rate, frames, as3, x0=0, y0=0):
    rect = bits([x0, x0 + w, y0, y0 + h], 16)
    tags = b"" if as3 is None else tag(69, bytes([0x08 if as3 else 0, 0, 0, 0]))
    payload = bytes((i * i // 7) % 251 for i in range(3000)) * 3  # something to compress
    tags += tag(87, payload) + tag(1, b"") + tag(0, b"")  # DefineBinaryData, ShowFrame, End
    return rect + struct.pack("<HH", rate, frames) + tags

def movie(kind, version, b, cut=0, extra=b""):
    length = 8 + len(b)
    if kind == "FWS":
        data = b
    elif kind == "CWS":
        data = zlib.compress(b)
    else:
        alone = lzma.compress(b, format=lzma.FORMAT_ALONE)
        data = struct.pack("<I", len(alone) - 13) + alone[:5] + alone[13:]
    data = (data[:len(data) - cut] if cut else data) + extra
    if kind == "ZWS":  # the compressed length agrees with what is there
        data = struct.pack("<I", len(data) - 9) + data[4:]
    return kind.encode() + bytes([version]) + struct.pack("<I", length) + data, length

def pixels(t):
    return ("-" if t < 0 else "") + ("%d.%02d" % divmod(abs(t) * 5, 100)).rstrip("0").rstrip(".")

def rate_text(r):
    return ("%d.%02d" % divmod((r * 100 + 128) // 256, 100)).rstrip("0").rstrip(".")

# name, kind, version, width, height (twips), rate (8.8), frames, AS3 tag, bytes cut, bytes added,
# the problem (ok, or a function of the movie's declared length and uncompressed body)
TABLE = [
    ("plain", "FWS", 6, 11000, 8000, 24 << 8, 120, None, 0, b"", "ok"),
    ("as3", "FWS", 9, 16000, 12000, 30 << 8, 1, True, 0, b"", "ok"),
    ("as2tag", "CWS", 8, 11000, 8000, 24 << 8, 120, False, 0, b"", "ok"),
    ("fraction", "CWS", 10, 11001, 8010, 0x1DF8, 65535, True, 0, b"", "ok"),
    ("lzma", "ZWS", 13, 19200, 10800, 60 << 8, 2, True, 0, b"", "ok"),
    ("half", "FWS", 5, 10, 30, 0x0C80, 7, None, 5000, b"", lambda n, b: "不完整：%d字节，应为%d字节" % (n - 5000, n)),
    ("cut", "CWS", 8, 11000, 8000, 12 << 8, 3, None, 40, b"", "不完整"),
    ("cutlzma", "ZWS", 13, 11000, 8000, 12 << 8, 3, True, 40, b"", "不完整"),
    ("tail", "CWS", 8, 11000, 8000, 12 << 8, 3, None, 0, b"junk!", "多余：压缩流后还有5字节"),
    ("taillzma", "ZWS", 15, 11000, 8000, 12 << 8, 3, False, 0, b"junk!", "多余：压缩流后还有5字节"),
    ("behind", "FWS", 7, 11000, 8000, 12 << 8, 3, None, 0, b"rest", "多余：影片后还有4字节"),
]

if __name__ == "__main__":
    out = sys.argv[1]
    for name, kind, version, w, h, rate, frames, as3, cut, extra, problem in TABLE:
        b = body(w, h, rate, frames, as3, x0=-100 if name == "fraction" else 0)
        data, length = movie(kind, version, b, cut, extra)
        if problem == "不完整":  # as far as the stream goes, counted by decompressing it
            d = zlib.decompressobj() if kind == "CWS" else lzma.LZMADecompressor(lzma.FORMAT_ALONE)
            stream = data[8:] if kind == "CWS" else data[12:17] + struct.pack("<q", -1) + data[17:]
            got = len(d.decompress(stream))
            problem = "不完整：解压后%d字节，应为%d字节" % (8 + got, length)
        elif callable(problem):
            problem = problem(length, b)
        open(os.path.join(out, name + ".swf"), "wb").write(data)
        # A projector: FWS behind a stub; compressed ones found by their trailer.
        stub = b"P" * 286700
        trailer = b"\x56\x34\x12\xfa" + struct.pack("<I", len(data)) if kind != "FWS" else b""
        open(os.path.join(out, name + ".exe"), "wb").write(stub + data + trailer)
        print("\t".join([name, kind, str(version), pixels(w), pixels(h), rate_text(rate), str(frames),
                         "AS3" if as3 else "AS1/2", problem]))
