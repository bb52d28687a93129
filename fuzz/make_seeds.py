#!/usr/bin/python3
"""Writes the seed corpora of the fuzz targets: small GRIB products encoded
with ecCodes in each packing, projection and scanning direction, with and
without bit maps, behind each kind of feed header, and small files of the
other kinds.  Run with Debian's python3 (it has the eccodes module):

    /usr/bin/python3 fuzz/make_seeds.py fuzz/corpus

The seeds are committed; run this again only to change them."""
import io
import os
import sys

import eccodes as ec
import numpy as np

MISSING = 9999.0


def product(sample, settings, values, bitmap=False):
    with open("/usr/share/eccodes/samples/%s.tmpl" % sample, "rb") as f:
        gid = ec.codes_grib_new_from_file(f)
    for key, value in settings:
        ec.codes_set(gid, key, value)
    if bitmap:
        ec.codes_set(gid, "bitmapPresent", 1)
        ec.codes_set(gid, "missingValue", MISSING)
    ec.codes_set_values(gid, values)
    out = io.BytesIO()
    ec.codes_write(gid, out)
    ec.codes_release(gid)
    return out.getvalue()


def field(nx, ny, phase=0.0, missing_every=0):
    y, x = np.mgrid[0:ny, 0:nx]
    v = (250.0 + 30.0 * np.sin(x / 3.0 + phase) * np.cos(y / 2.0) + y * 0.37).ravel()
    if missing_every:
        v[::missing_every] = MISSING
    return v


def latlon(nx, ny, j_pos, extra):
    return [("Ni", nx), ("Nj", ny), ("iDirectionIncrementInDegrees", 2.0), ("jDirectionIncrementInDegrees", 2.0),
            ("jScansPositively", j_pos), ("latitudeOfFirstGridPointInDegrees", 10.0 if j_pos else 20.0),
            ("latitudeOfLastGridPointInDegrees", 20.0 if j_pos else 10.0),
            ("longitudeOfFirstGridPointInDegrees", 250.0), ("longitudeOfLastGridPointInDegrees", 250.0 + 2 * (nx - 1))
            ] + extra


def ldm(p, seq, heading):
    return b"\x01\r\r\n%03d \r\r\n%s\r\r\n" % (seq, heading.encode()) + p + b"\r\r\n\x03"


def kvz(p, heading):
    return b"** %s **\n" % heading.encode() + p


def old_kvz(p, heading):
    return b"GRIB: %d %s\n" % (len(p), heading.encode()) + p


def grib_seeds():
    seeds = {}
    for packing in ("grid_simple", "grid_complex", "grid_complex_spatial_differencing", "grid_jpeg", "grid_ccsds"):
        for j_pos in (0, 1):
            for bitmap in (False, True):
                name = "ed2_%s_j%d%s" % (packing[5:], j_pos, "_bitmap" if bitmap else "")
                seeds[name] = product("regular_ll_sfc_grib2", latlon(9, 5, j_pos, [("bitsPerValue", 12),
                                      ("packingType", packing)]), field(9, 5, j_pos, 4 if bitmap else 0), bitmap)
    seeds["ed2_polar"] = product("polar_stereographic_sfc_grib2", [("Nx", 7), ("Ny", 5), ("bitsPerValue", 8)],
                                 field(7, 5))
    for j_pos in (0, 1):
        seeds["ed1_latlon_j%d" % j_pos] = product("GRIB1", latlon(9, 5, j_pos, [("bitsPerValue", 11),
                                                  ("indicatorOfParameter", 11), ("centre", 7)]), field(9, 5))
    seeds["ed1_bitmap"] = product("GRIB1", latlon(8, 6, 0, [("bitsPerValue", 9)]), field(8, 6, 1, 5), True)
    seeds["ed1_polar"] = product("polar_stereographic_sfc_grib1", [("Nx", 7), ("Ny", 5), ("bitsPerValue", 16)],
                                 field(7, 5))
    p1, p2 = seeds["ed1_latlon_j0"], seeds["ed2_simple_j0"]
    seeds["feed_ldm"] = ldm(p1, 1, "HTQA50 KWBC 241200") + ldm(p2, 2, "HTQB50 KWBC 241200")
    seeds["feed_kvz"] = kvz(p1, "HTQA50 KWBC 241200") + b"noise BUFR\x00\x00\x20\x01" + kvz(p2, "YHQB50 KWBC")
    seeds["feed_old_kvz"] = old_kvz(p1, "HTQA50 KWBC") + old_kvz(p2, "HTQB50 KWBC")
    seeds["two_fields_one_message"] = two_fields(p2)
    return seeds


def two_fields(p):
    """An edition 2 message whose sections 4 to 7 repeat, as multi-field
    products have them."""
    pos, sections = 16, []
    while p[pos:pos + 4] != b"7777":
        length = int.from_bytes(p[pos:pos + 4], "big")
        sections.append(p[pos:pos + length])
        pos += length
    repeat = [s for s in sections if s[4] in (4, 5, 6, 7)]
    body = b"".join(sections) + b"".join(repeat)
    total = 16 + len(body) + 4
    return p[:8] + total.to_bytes(8, "big") + body + b"7777"


TEXT_GRID = b"""KVZGRID
 2004120812
2-Temperature 500 mb
7 1 96 3 10 500 24 4:K
LL 45.000000 -100.000000 2.000000 2.000000 3 2
 2.50000000e+02
 2.51000000e+02
 2.52000000e+02
-9.99900000e+03
 2.54000000e+02
 2.55000000e+02
"""

DEFINITIONS = [
    b"""# resources
*file_path /usr/local/kvz/etc/
rudevodu.message out3
*grid_path: "/tmp/a b"
DEF ncep
IF ncep
  rudevodu*grid_type 3
ELIF other
  *units degC
ELSE
  *units K
END
UNDEF ncep
""",
    b"""IF rudevodu
IF nested
*a 1
END
*b "two words"
END
*c
""",
]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "fuzz/corpus"
    seeds = grib_seeds()
    for name, data in seeds.items():
        with open(os.path.join(out, "grib", name + ".grb"), "wb") as f:
            f.write(data)
    grid_file = {"grib_feed": seeds["feed_ldm"], "text_grid": TEXT_GRID,
                 "text_grid_binary": binary_text_grid(), "two_grids": TEXT_GRID + TEXT_GRID[8:]}
    for name, data in grid_file.items():
        with open(os.path.join(out, "grid_file", name), "wb") as f:
            f.write(data)
    grib = seeds["ed1_latlon_j0"] + seeds["ed2_simple_j1"] + seeds["two_fields_one_message"]
    a, b = len(seeds["ed1_latlon_j0"]), len(seeds["ed1_latlon_j0"]) + len(seeds["ed2_simple_j1"])
    index = ("      0 HTQA50 KWBC 241200 / 7:96 3 24 100 500 11\n"
             "%7d / 7:96 3 24 100 500 11\n%7d / 7:96 3 24 100 500 11\n%7d / 7:96 3 24 100 500 11\n" % (a, b, b))
    with open(os.path.join(out, "header_file", "three_products"), "wb") as f:
        f.write(index.encode() + b"\x00" + grib)
    with open(os.path.join(out, "header_file", "tagged"), "wb") as f:
        f.write(b"%7d HTQA50 KWBC 241200 / 7:96 3 24 100 500 11\n%7d / 7:96 3 24 100 500 11\n" % (0, a) + b"\x00"
                + seeds["ed1_latlon_j0"] + seeds["ed2_simple_j1"])
    # The index of a message holding two fields: the second line holds the
    # offset of the second field's repeated sections.
    two = seeds["two_fields_one_message"]
    with open(os.path.join(out, "header_file", "later_field"), "wb") as f:
        f.write(b"      0 / 7:96 3 24 100 500 11\n%7d / 7:96 3 24 100 500 11\n" % second_field(two) + b"\x00" + two)
    for i, data in enumerate(DEFINITIONS):
        with open(os.path.join(out, "definition_file", "def%d.cfg" % i), "wb") as f:
            f.write(data)


def second_field(msg):
    """Offset of the section that starts the second field of an edition 2 message."""
    at, seen_data = 16, False
    while at + 5 <= len(msg):
        length, number = int.from_bytes(msg[at:at + 4], "big"), msg[at + 4]
        if seen_data:
            return at
        seen_data = number == 7
        at += length
    raise ValueError("the message holds one field")


def binary_text_grid():
    head = TEXT_GRID[:TEXT_GRID.index(b"\n2-")] + b"\n3-Temperature 500 mb\n7 1 96 3 10 500 24 4:K\n"
    head += b"LL 45.000000 -100.000000 2.000000 2.000000 3 2\n"
    return head + np.array([250, 251, 252, -9999, 254, 255], dtype=">f4").tobytes() + b"\n"


if __name__ == "__main__":
    main()
