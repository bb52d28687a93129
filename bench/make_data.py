#!/usr/bin/python3
"""Writes the benchmark GRIB files with ecCodes into the directory given.

  small_ed2.grib2, small_ed1.grib1
      50,000 messages each of a 21 x 9 latitude/longitude grid: 5 parameters on
      10 pressure levels, for 1,000 successive 6-hourly analysis times.  The
      messages of one (parameter, level) pair are encoded once and copied with
      the date and time bytes rewritten, so the files take seconds to write.
  global_simple.grib2, global_complex.grib2, global_jpeg.grib2, global_ccsds.grib2
      40 global 0.25-degree fields (1440 x 721) at 16 bits per value, in simple
      packing, complex packing with second-order spatial differencing, JPEG 2000
      and CCSDS: smooth large-scale patterns with waves and a little noise.

Usage: make_data.py OUTPUT_DIR [SMALL_COUNT] [GLOBAL_COUNT]
A file already present with the expected message count is kept.
"""
import datetime
import os
import sys

import eccodes as ec
import numpy as np

SMALL_PARAMS_ED2 = [(0, 0, 0), (0, 2, 2), (0, 2, 3), (0, 3, 5), (0, 1, 1)]  # t u v gh r
SMALL_PARAMS_ED1 = [11, 33, 34, 7, 52]
LEVELS = [1000, 925, 850, 700, 500, 400, 300, 250, 200, 100]
PACKINGS = {
    "simple": "grid_simple",
    "complex": "grid_complex_spatial_differencing",
    "jpeg": "grid_jpeg",
    "ccsds": "grid_ccsds",
}


def message_count(path):
    if not os.path.exists(path):
        return -1
    with open(path, "rb") as f:
        return ec.codes_count_in_file(f)


def small_values(ni, nj, param, level):
    lat = np.linspace(40.0, 24.0, nj)[:, None]
    lon = np.linspace(-100.0, -80.0, ni)[None, :]
    base = 250.0 + 0.05 * level + 3.0 * param
    field = base + 8.0 * np.cos(np.radians(lat) * 3) + 4.0 * np.sin(np.radians(lon) * 5 + param)
    return field.ravel()


def small_template(edition, index, level):
    """One encoded 21 x 9 message for a parameter and level, as bytes."""
    gid = ec.codes_grib_new_from_samples("regular_ll_pl_grib%d" % edition)
    ec.codes_set(gid, "centre", 7)
    ec.codes_set(gid, "Ni", 21)
    ec.codes_set(gid, "Nj", 9)
    ec.codes_set(gid, "latitudeOfFirstGridPointInDegrees", 40.0)
    ec.codes_set(gid, "longitudeOfFirstGridPointInDegrees", 260.0)
    ec.codes_set(gid, "latitudeOfLastGridPointInDegrees", 24.0)
    ec.codes_set(gid, "longitudeOfLastGridPointInDegrees", 280.0)
    ec.codes_set(gid, "iDirectionIncrementInDegrees", 1.0)
    ec.codes_set(gid, "jDirectionIncrementInDegrees", 2.0)
    if edition == 2:
        d, c, n = SMALL_PARAMS_ED2[index]
        ec.codes_set(gid, "discipline", d)
        ec.codes_set(gid, "parameterCategory", c)
        ec.codes_set(gid, "parameterNumber", n)
        ec.codes_set(gid, "typeOfFirstFixedSurface", 100)
        ec.codes_set(gid, "scaleFactorOfFirstFixedSurface", 0)
        ec.codes_set(gid, "scaledValueOfFirstFixedSurface", level * 100)
    else:
        ec.codes_set(gid, "table2Version", 2)
        ec.codes_set(gid, "indicatorOfParameter", SMALL_PARAMS_ED1[index])
        ec.codes_set(gid, "indicatorOfTypeOfLevel", 100)
        ec.codes_set(gid, "level", level)
    ec.codes_set(gid, "dataDate", 20240101)
    ec.codes_set(gid, "dataTime", 0)
    ec.codes_set(gid, "step", 0)
    ec.codes_set(gid, "bitsPerValue", 12)
    ec.codes_set_values(gid, small_values(21, 9, index, level))
    # Where the date bytes lie, found by setting a recognisable date.
    first = ec.codes_get_message(gid)
    ec.codes_set(gid, "dataDate", 20391231)
    ec.codes_set(gid, "dataTime", 2300)
    second = ec.codes_get_message(gid)
    ec.codes_release(gid)
    changed = [i for i in range(len(first)) if first[i] != second[i]]
    return bytearray(first), changed


def date_bytes(edition, when):
    """(offset, value) of each reference-time byte of section 1."""
    if edition == 2:
        at = 16 + 12  # after section 0: octets 13-19 of section 1
        values = [when.year >> 8, when.year & 0xFF, when.month, when.day, when.hour, 0, 0]
        return list(zip(range(at, at + 7), values))
    at = 8 + 12  # after section 0: octets 13-17 and 25 of section 1
    century = (when.year - 1) // 100 + 1
    values = [when.year - (century - 1) * 100, when.month, when.day, when.hour, 0]
    return list(zip(range(at, at + 5), values)) + [(8 + 24, century)]


def write_small(path, edition, count):
    templates = [small_template(edition, p, lev) for p in range(len(SMALL_PARAMS_ED2)) for lev in LEVELS]
    start = datetime.datetime(2024, 1, 1)
    date_offsets = {at for at, _ in date_bytes(edition, start)}
    for _, changed in templates:
        assert set(changed) <= date_offsets, (changed, date_offsets)
    with open(path + ".tmp", "wb") as out:
        for n in range(count):
            msg, _ = templates[n % len(templates)]
            when = start + datetime.timedelta(hours=6 * (n // len(templates)))
            for at, value in date_bytes(edition, when):
                msg[at] = value
            out.write(msg)
    os.replace(path + ".tmp", path)


def global_field(n, rng):
    lat = np.radians(np.linspace(90.0, -90.0, 721))[:, None]
    lon = np.radians(np.linspace(0.0, 359.75, 1440))[None, :]
    field = (250.0 + 45.0 * np.cos(lat) ** 2
             + 6.0 * np.sin(3 * lon + 0.3 * n) * np.cos(lat) ** 2
             + 3.0 * np.cos(5 * lon - 2 * lat + 0.7 * n)
             + 1.5 * np.sin(11 * lon + 7 * lat + n))
    field = field + rng.normal(0.0, 0.3, field.shape)
    return field.ravel()


def write_global(path, packing, count):
    rng = np.random.default_rng(20240101)
    gid = ec.codes_grib_new_from_samples("regular_ll_sfc_grib2")
    ec.codes_set(gid, "centre", 7)
    ec.codes_set(gid, "Ni", 1440)
    ec.codes_set(gid, "Nj", 721)
    ec.codes_set(gid, "latitudeOfFirstGridPointInDegrees", 90.0)
    ec.codes_set(gid, "longitudeOfFirstGridPointInDegrees", 0.0)
    ec.codes_set(gid, "latitudeOfLastGridPointInDegrees", -90.0)
    ec.codes_set(gid, "longitudeOfLastGridPointInDegrees", 359.75)
    ec.codes_set(gid, "iDirectionIncrementInDegrees", 0.25)
    ec.codes_set(gid, "jDirectionIncrementInDegrees", 0.25)
    ec.codes_set(gid, "discipline", 0)
    ec.codes_set(gid, "parameterCategory", 0)
    ec.codes_set(gid, "parameterNumber", 0)
    ec.codes_set(gid, "typeOfFirstFixedSurface", 103)
    ec.codes_set(gid, "scaleFactorOfFirstFixedSurface", 0)
    ec.codes_set(gid, "scaledValueOfFirstFixedSurface", 2)
    ec.codes_set(gid, "dataDate", 20240101)
    ec.codes_set(gid, "dataTime", 0)
    ec.codes_set(gid, "bitsPerValue", 16)
    # The grid size changed: values of that size first, then the packing.
    ec.codes_set_values(gid, global_field(0, np.random.default_rng(0)))
    ec.codes_set(gid, "packingType", PACKINGS[packing])
    with open(path + ".tmp", "wb") as out:
        for n in range(count):
            ec.codes_set(gid, "stepUnits", 1)
            ec.codes_set(gid, "forecastTime", 3 * n)
            ec.codes_set_values(gid, global_field(n, rng))
            ec.codes_write(gid, out)
    ec.codes_release(gid)
    os.replace(path + ".tmp", path)


def main():
    out_dir = sys.argv[1]
    small_count = int(sys.argv[2]) if len(sys.argv) > 2 else 50000
    global_count = int(sys.argv[3]) if len(sys.argv) > 3 else 40
    os.makedirs(out_dir, exist_ok=True)
    for edition, name in ((2, "small_ed2.grib2"), (1, "small_ed1.grib1")):
        path = os.path.join(out_dir, name)
        if message_count(path) != small_count:
            print("writing", path, flush=True)
            write_small(path, edition, small_count)
    for packing in PACKINGS:
        path = os.path.join(out_dir, "global_%s.grib2" % packing)
        if message_count(path) != global_count:
            print("writing", path, flush=True)
            write_global(path, packing, global_count)


if __name__ == "__main__":
    main()
