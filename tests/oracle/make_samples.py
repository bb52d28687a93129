#!/usr/bin/python3
"""Writes the generated GRIB test files and what ecCodes reads from them.

For every GRIB file given (real samples, and edition 1 files converted from the
real edition 2 samples or encoded here with each projection, scanning direction,
bit map and packing) it writes, next to the file in the output directory:
  NAME.ref        one line per message: index edition centre process grid_type
                  nx ny missing_count quasi_regular, then for edition 1 the
                  parameter, level type, level, reference date (YYYYMMDDHH)
                  and forecast hour (-1 where not a plain forecast)
  NAME.N.f32      the values of field N as little-endian float32, rows north
                  first, -9999.0 for missing points (quasi-regular grids: the
                  row end points only, two per row)
The C++ conformance tests compare the program's listing and values with these.
"""
import os
import sys

import eccodes as ec
import numpy as np

MISSING = -9999.0


def north_first(gid, values):
    """Values as rows, north first, whatever the scanning mode."""
    ni = ec.codes_get(gid, "Ni")
    nj = ec.codes_get(gid, "Nj")
    grid = values.reshape(nj, ni).copy()
    # ecCodes hands out alternate-row (boustrophedon) data as if every row ran
    # the same way: turn the odd rows round.
    if ec.codes_is_defined(gid, "alternativeRowScanning") and ec.codes_get(gid, "alternativeRowScanning") == 1:
        grid[1::2] = grid[1::2, ::-1].copy()
    if ec.codes_get(gid, "jScansPositively") == 1:
        grid = grid[::-1]
    if ec.codes_get(gid, "iScansNegatively") == 1:
        grid = grid[:, ::-1]
    return grid


def reduced_row_ends(gid, values):
    pl = ec.codes_get_array(gid, "pl")
    rows, start = [], 0
    for n in pl:
        rows.append((values[start], values[start + n - 1]) if n > 0 else (MISSING, MISSING))
        start += n
    out = np.array(rows, dtype=np.float32)
    if ec.codes_get(gid, "jScansPositively") == 1:
        out = out[::-1]
    return out


def edition1_keys(gid):
    def get(key):
        return ec.codes_get(gid, key, ktype=int)
    if get("edition") != 1:
        plain = get("productDefinitionTemplateNumber") in (0, 1) and get("indicatorOfUnitOfTimeRange") == 1
        return "-1 -1 -1 %d%02d %d" % (get("dataDate"), get("dataTime") // 100,
                                       get("forecastTime") if plain else -1)
    plain = get("timeRangeIndicator") == 0 and get("indicatorOfUnitOfTimeRange") == 1
    return "%d %d %d %d%02d %d" % (
        get("indicatorOfParameter"), get("indicatorOfTypeOfLevel"), get("level"), get("dataDate"),
        get("dataTime") // 100, get("P1") if plain else -1)


def write_reference(path, outdir):
    base = os.path.join(outdir, os.path.basename(path))
    lines = []
    with open(path, "rb") as f:
        index = 0
        while True:
            gid = ec.codes_grib_new_from_file(f)
            if gid is None:
                break
            try:
                ec.codes_set(gid, "missingValue", MISSING)
                grid_type = ec.codes_get(gid, "gridType")
                quasi = 1 if ec.codes_is_defined(gid, "pl") and ec.codes_get_size(gid, "pl") > 0 else 0
                values = ec.codes_get_values(gid).astype(np.float32)
                missing = int(np.sum(values == MISSING))
                supported = grid_type in ("regular_ll", "polar_stereographic", "lambert", "mercator", "reduced_ll")
                # Of very large grids only the first two fields are kept, to bound the data.
                # A complex-packed field without groups is a constant field, which this
                # ecCodes version misreads from the bytes after the data: no values kept.
                groupless = (ec.codes_get(gid, "packingType").startswith("grid_complex") and
                             ec.codes_get(gid, "numberOfGroupsOfDataValues") == 0)
                if supported and not groupless and (values.size <= 1000000 or index < 2):
                    out = reduced_row_ends(gid, values) if quasi else north_first(gid, values)
                    out.astype("<f4").tofile("%s.%d.f32" % (base, index))
                nx = ec.codes_get(gid, "Ni") if not quasi else max(ec.codes_get_array(gid, "pl"))
                lines.append("%d %d %d %d %s %d %d %d %d %s" % (
                    index, ec.codes_get(gid, "edition"), ec.codes_get(gid, "centre", ktype=int),
                    ec.codes_get(gid, "generatingProcessIdentifier"), grid_type if supported else "-",
                    nx, ec.codes_get(gid, "Nj"), missing, quasi, edition1_keys(gid)))
            finally:
                ec.codes_release(gid)
            index += 1
    with open(base + ".ref", "w") as out:
        out.write("\n".join(lines) + "\n")


def to_edition1(src, dst):
    """Re-encodes every message of an edition 2 file as edition 1 where ecCodes can."""
    count = 0
    with open(src, "rb") as f, open(dst, "wb") as out:
        while True:
            gid = ec.codes_grib_new_from_file(f)
            if gid is None:
                break
            try:
                if ec.codes_get(gid, "packingType") != "grid_simple":
                    ec.codes_set(gid, "packingType", "grid_simple")
                ec.codes_set(gid, "edition", 1)
                ec.codes_write(gid, out)
                count += 1
            except ec.GribInternalError:
                pass
            finally:
                ec.codes_release(gid)
    return count


def encode(sample, dst, settings, values, bitmap=False):
    with open("/usr/share/eccodes/samples/%s.tmpl" % sample, "rb") as f:
        gid = ec.codes_grib_new_from_file(f)
    for key, value in settings:
        ec.codes_set(gid, key, value)
    if bitmap:
        ec.codes_set(gid, "bitmapPresent", 1)
        ec.codes_set(gid, "missingValue", MISSING)
    ec.codes_set_values(gid, values)
    with open(dst, "ab") as out:
        ec.codes_write(gid, out)
    ec.codes_release(gid)


def field(nx, ny, phase=0.0):
    y, x = np.mgrid[0:ny, 0:nx]
    return (250.0 + 30.0 * np.sin(x / 7.0 + phase) * np.cos(y / 5.0) + y * 0.37).astype(np.float64).ravel()


# Edition 1 parameter numbers of the common upper-air fields.
ED1_PARAMS = {"gh": 7, "t": 11, "u": 33, "v": 34, "r": 52, "w": 39}


def from_edition2_latlon(src, dst):
    """Re-encodes the common isobaric fields of an edition 2 lat/lon file as NCEP
    edition 1 products, the way a feed would deliver them."""
    count = 0
    with open(src, "rb") as f:
        while True:
            gid = ec.codes_grib_new_from_file(f)
            if gid is None:
                break
            try:
                name = ec.codes_get(gid, "shortName")
                if name not in ED1_PARAMS or ec.codes_get(gid, "typeOfLevel") != "isobaricInhPa":
                    continue
                settings = [("centre", 7), ("generatingProcessIdentifier", 96), ("table2Version", 2),
                            ("indicatorOfParameter", ED1_PARAMS[name]), ("indicatorOfTypeOfLevel", 100),
                            ("level", ec.codes_get(gid, "level")), ("bitsPerValue", 16)]
                for key in ("Ni", "Nj", "latitudeOfFirstGridPointInDegrees", "longitudeOfFirstGridPointInDegrees",
                            "latitudeOfLastGridPointInDegrees", "longitudeOfLastGridPointInDegrees",
                            "iDirectionIncrementInDegrees", "jDirectionIncrementInDegrees", "jScansPositively"):
                    settings.append((key, ec.codes_get(gid, key)))
                encode("GRIB1", dst, settings, ec.codes_get_values(gid))
                count += 1
            finally:
                ec.codes_release(gid)
    return count


def synthetic(outdir):
    made = []
    ll = os.path.abspath(os.path.join(outdir, "latlon_scans.grib1"))
    for j_pos in (0, 1):
        for bits in (8, 12, 16, 24):
            encode("GRIB1", ll, [
                ("Ni", 36), ("Nj", 19), ("iDirectionIncrementInDegrees", 10.0),
                ("jDirectionIncrementInDegrees", 10.0), ("jScansPositively", j_pos),
                ("latitudeOfFirstGridPointInDegrees", -90.0 if j_pos else 90.0),
                ("latitudeOfLastGridPointInDegrees", 90.0 if j_pos else -90.0),
                ("longitudeOfFirstGridPointInDegrees", 0.0), ("longitudeOfLastGridPointInDegrees", 350.0),
                ("bitsPerValue", bits), ("indicatorOfParameter", 11), ("indicatorOfTypeOfLevel", 100),
                ("level", 500), ("centre", 7), ("generatingProcessIdentifier", 96)], field(36, 19, bits))
    made.append(ll)
    bm = os.path.abspath(os.path.join(outdir, "latlon_bitmap.grib1"))
    values = field(20, 10)
    values[::7] = MISSING
    encode("GRIB1", bm, [("Ni", 20), ("Nj", 10), ("iDirectionIncrementInDegrees", 1.0),
                         ("jDirectionIncrementInDegrees", 1.0), ("latitudeOfFirstGridPointInDegrees", 50.0),
                         ("latitudeOfLastGridPointInDegrees", 41.0), ("longitudeOfFirstGridPointInDegrees", -110.0),
                         ("longitudeOfLastGridPointInDegrees", -91.0), ("bitsPerValue", 12)], values, bitmap=True)
    made.append(bm)
    ps = os.path.abspath(os.path.join(outdir, "polar.grib1"))
    encode("polar_stereographic_sfc_grib1", ps, [("bitsPerValue", 16)], field(*ps_size("polar_stereographic_sfc_grib1")))
    made.append(ps)
    return made


def ps_size(sample):
    with open("/usr/share/eccodes/samples/%s.tmpl" % sample, "rb") as f:
        gid = ec.codes_grib_new_from_file(f)
    size = (ec.codes_get(gid, "Nx"), ec.codes_get(gid, "Ny"))
    ec.codes_release(gid)
    return size


EDITION2_SAMPLES = ("gfs.grb", "eta.grb", "ngm.grb", "flux.grb", "ecmwf_tigge.grb", "gfs.t12z.pgrbf120.2p5deg.grib2",
                     "rap.wrfnat.grib2", "regular_latlon_surface.grib2", "reduced_latlon_surface.grib2",
                     "safrica.grib2", "no-radius-shapeOfEarth-7.grb2", "ds.maxt.bin", "ds.waveh.bin", "dspr.temp.bin")

PACKINGS = ("grid_simple", "grid_complex", "grid_complex_spatial_differencing", "grid_jpeg", "grid_ccsds")


def synthetic_edition2(outdir):
    """Each packing on a lat/lon grid scanned both ways, with and without a bit
    map, and on the polar stereographic sample."""
    made = []
    for packing in PACKINGS:
        dst = os.path.abspath(os.path.join(outdir, "packing_%s.grib2" % packing))
        for j_pos in (0, 1):
            for bitmap in (False, True):
                values = field(40, 21, j_pos + 2 * bitmap)
                if bitmap:
                    values[3::11] = MISSING
                encode("regular_ll_sfc_grib2", dst, [
                    ("Ni", 40), ("Nj", 21), ("iDirectionIncrementInDegrees", 2.0),
                    ("jDirectionIncrementInDegrees", 2.0), ("jScansPositively", j_pos),
                    ("latitudeOfFirstGridPointInDegrees", 10.0 if j_pos else 50.0),
                    ("latitudeOfLastGridPointInDegrees", 50.0 if j_pos else 10.0),
                    ("longitudeOfFirstGridPointInDegrees", 250.0), ("longitudeOfLastGridPointInDegrees", 328.0),
                    ("bitsPerValue", 16), ("packingType", packing)], values, bitmap=bitmap)
        for sample in ("polar_stereographic_sfc_grib2",):
            nx, ny = ps_size(sample)
            encode(sample, dst, [("bitsPerValue", 12), ("packingType", packing)], field(nx, ny))
        made.append(dst)
    return made


def main():
    ec.codes_grib_multi_support_on()  # every field of a message with several
    examples, outdir = sys.argv[1], sys.argv[2]
    os.makedirs(outdir, exist_ok=True)
    for old in os.listdir(outdir):  # products are appended to their files: start afresh
        os.remove(os.path.join(outdir, old))
    files = []
    for name in ("regular_latlon_surface.grib1", "CMC_reg_WIND_ISBL_300_ps60km_2010052400_P012.grib",
                 "rotated_ll.grib1", "cl00010000_ecoclimap_rot.grib1"):
        files.append(os.path.abspath(os.path.join(examples, name)))
    for name in ("eta.grb", "ngm.grb", "flux.grb"):
        dst = os.path.abspath(os.path.join(outdir, name.replace(".grb", "_ed1.grib1")))
        if to_edition1(os.path.join(examples, name), dst) > 0:
            files.append(dst)
    gfs = os.path.abspath(os.path.join(outdir, "gfs_ed1.grib1"))
    if from_edition2_latlon(os.path.join(examples, "gfs.grb"), gfs) > 0:
        files.append(gfs)
    files += synthetic(outdir)
    files += [os.path.abspath(os.path.join(examples, name)) for name in EDITION2_SAMPLES]
    files += synthetic_edition2(outdir)
    for path in files:
        write_reference(path, outdir)
    with open(os.path.join(outdir, "files.txt"), "w") as out:
        out.write("\n".join(files) + "\n")


if __name__ == "__main__":
    main()
