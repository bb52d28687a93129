// Complex packing of GRIB edition 2 grid-point data (templates 5.2 / 7.2), and
// complex packing with spatial differencing of order 1 or 2 (5.3 / 7.3).  The
// values come in groups, each with its own reference, bit width and length;
// with missing-value management a group or a value of all ones (or, for
// secondary missing values, all ones but the last bit) marks missing points.
// Every descriptor is checked against the section and the packed value count
// before a value is written.
#include <algorithm>
#include <cinttypes>
#include <vector>

#include "config/config.h"
#include "grib/grib_internal.h"
#include "grib/unpack_internal.h"

namespace {

constexpr uint8_t kPresent = 0, kMissing1 = 1, kMissing2 = 2;

struct Groups {
  std::vector<uint32_t> ref;
  std::vector<uint8_t> width;
  std::vector<uint32_t> length;
};

// The first values and the overall minimum of spatial differencing.
struct Differencing {
  int64_t h1 = 0, h2 = 0, m = 0;
};

uint64_t byte_aligned(uint64_t pos) { return (pos + 7) & ~uint64_t{7}; }

uint64_t bytes_at(const DataSection &s, uint64_t byte, int n) {
  uint64_t v = 0;
  for (int i = 0; i < n; ++i) v = (v << 8) | s.bytes[byte + static_cast<uint64_t>(i)];
  return v;
}

// Reads h1, h2 (order 2) and the sign-and-magnitude minimum from the start of the section.
const char *read_differencing(const DataSection &s, const Edition2Packing &p, Differencing *diff, uint64_t *pos) {
  const int n = p.spat_bytes;
  if (static_cast<int64_t>(p.order + 1) * n > s.size) return "the spatial differencing descriptors do not fit";
  uint64_t byte = 0;
  diff->h1 = static_cast<int64_t>(bytes_at(s, byte, n));
  byte += static_cast<uint64_t>(n);
  if (p.order == 2) {
    diff->h2 = static_cast<int64_t>(bytes_at(s, byte, n));
    byte += static_cast<uint64_t>(n);
  }
  const uint64_t raw = bytes_at(s, byte, n);
  const uint64_t sign = uint64_t{1} << (8 * n - 1);
  diff->m = (raw & sign) ? -static_cast<int64_t>(raw & (sign - 1)) : static_cast<int64_t>(raw);
  *pos = (byte + static_cast<uint64_t>(n)) * 8;
  MESS_print(kGribTrace, "DS1 %" PRId64 " %" PRId64 " %" PRId64 "\n", diff->h1, diff->h2, diff->m);
  return nullptr;
}

// One list of num_group numbers of nbits bits, starting at *pos; *pos moves
// to the byte after it.  False when the list does not fit.
template <typename T, typename F>
bool read_list(const DataSection &s, uint64_t *pos, int64_t count, int nbits, std::vector<T> *out, F convert) {
  out->resize(static_cast<size_t>(count));
  if (nbits == 0) {
    std::fill(out->begin(), out->end(), convert(0));
    return true;
  }
  if (*pos + static_cast<uint64_t>(count) * static_cast<uint64_t>(nbits) > static_cast<uint64_t>(s.bits()))
    return false;
  uint64_t at = *pos;
  for (T &v : *out) {
    v = convert(grib_bits_at(s, at, nbits));
    at += static_cast<uint64_t>(nbits);
  }
  *pos = byte_aligned(at);
  return true;
}

const char *read_groups(const DataSection &s, const Edition2Packing &p, uint64_t *pos, Groups *g) {
  const int64_t ng = p.num_group;
  if (ng > p.data_pnts) return "more groups than packed values";
  if (!read_list(s, pos, ng, p.num_bits, &g->ref, [](uint32_t x) { return x; }))
    return "the group references do not fit in the data section";
  bool too_wide = false;
  const auto width = [&](uint32_t x) {
    const int64_t w = int64_t{p.ref_gwidth} + x;
    too_wide = too_wide || w > 32;
    return static_cast<uint8_t>(w > 32 ? 0 : w);
  };
  if (!read_list(s, pos, ng, p.num_bits_gwidth, &g->width, width))
    return "the group widths do not fit in the data section";
  if (too_wide) return "a group is wider than 32 bits";
  bool too_long = false;
  const auto length = [&](uint32_t x) {
    const int64_t len = int64_t{p.inc_glen} * x + p.ref_glen;
    too_long = too_long || len > p.data_pnts;
    return static_cast<uint32_t>(len > p.data_pnts ? 0 : len);
  };
  if (!read_list(s, pos, ng, p.num_bits_glen, &g->length, length))
    return "the group lengths do not fit in the data section";
  if (ng > 0) {
    too_long = too_long || p.last_glen > p.data_pnts;
    g->length.back() = static_cast<uint32_t>(std::min(p.last_glen, p.data_pnts));
  }
  if (too_long) return "a group is longer than the packed values";
  return nullptr;
}

// Checks that the groups add up to at most the packed values and that their
// bits lie inside the section; *count is the number of values they hold.
const char *check_groups(const DataSection &s, const Edition2Packing &p, uint64_t pos, const Groups &g,
                         int64_t *count) {
  int64_t values = 0;
  uint64_t bits = pos;
  for (size_t k = 0; k < g.length.size(); ++k) {
    values += g.length[k];
    bits += static_cast<uint64_t>(g.length[k]) * g.width[k];
  }
  if (values > p.data_pnts) return "the group lengths add up to more than the packed values";
  if (bits > static_cast<uint64_t>(s.bits())) return "the groups need more bits than the data section holds";
  *count = values;
  return nullptr;
}

// Spatial differencing undone one value at a time, in the order the values
// come: the first Order values are the stated first values, each later one
// adds the overall minimum and the differences to the values before it.
// Unsigned arithmetic keeps hostile data from overflowing.
template <int Order>
class Undifference {
 public:
  explicit Undifference(const Differencing &d)
      : h1_(static_cast<uint64_t>(d.h1)), h2_(static_cast<uint64_t>(d.h2)), m_(static_cast<uint64_t>(d.m)) {}
  uint64_t next(uint64_t x) {
    if (Order == 0) return x;
    uint64_t v;
    if (given_ < Order) v = given_++ == 0 ? h1_ : h2_;
    else if (Order == 1) v = x + m_ + last_;
    else v = x + m_ + 2 * last_ - before_;
    before_ = last_;
    last_ = v;
    return v;
  }

 private:
  uint64_t h1_, h2_, m_;
  uint64_t last_ = 0, before_ = 0;
  int given_ = 0;  // first values given so far
};

// Without missing-value management every point has a value: each packed
// integer is read, undifferenced and scaled in one pass.
template <int Order>
void unpack_plain(const DataSection &s, uint64_t pos, const Groups &g, const Differencing &d, double ref,
                  double scale, float *out) {
  Undifference<Order> undo(d);
  const auto scaled = [ref, scale](uint64_t v) {
    return static_cast<float>(ref + static_cast<double>(static_cast<int64_t>(v)) * scale);
  };
  int64_t k = 0;
  for (size_t j = 0; j < g.length.size(); ++j) {
    const uint64_t group_ref = g.ref[j];
    const int w = g.width[j];
    const int64_t len = g.length[j];
    if (w == 0) {
      for (int64_t i = 0; i < len; ++i) out[k++] = scaled(undo.next(group_ref));
      continue;
    }
    for (int64_t i = 0; i < len; ++i, pos += static_cast<uint64_t>(w))
      out[k++] = scaled(undo.next(group_ref + grib_bits_at(s, pos, w)));
  }
}

// With missing-value management: a flag per point, integers for the present ones only.
int64_t unpack_missing(const DataSection &s, uint64_t pos, const Groups &g, int miss_type, int ref_bits,
                       int64_t *ints, uint8_t *flags, int64_t *present) {
  const uint64_t ref_miss1 = (uint64_t{1} << ref_bits) - 1;
  const uint64_t ref_miss2 = miss_type == 2 ? ref_miss1 - 1 : ~uint64_t{0};
  int64_t k = 0, m = 0;
  for (size_t j = 0; j < g.length.size(); ++j) {
    const uint64_t ref = g.ref[j];
    const int w = g.width[j];
    const int64_t len = g.length[j];
    if (w == 0) {
      const uint8_t flag = ref == ref_miss1 ? kMissing1 : ref == ref_miss2 ? kMissing2 : kPresent;
      std::fill(flags + k, flags + k + len, flag);
      k += len;
      if (flag == kPresent) {
        std::fill(ints + m, ints + m + len, static_cast<int64_t>(ref));
        m += len;
      }
      continue;
    }
    const uint32_t miss1 = static_cast<uint32_t>((uint64_t{1} << w) - 1);
    const uint32_t miss2 = miss_type == 2 ? miss1 - 1 : miss1;
    for (int64_t i = 0; i < len; ++i, pos += static_cast<uint64_t>(w)) {
      const uint32_t x = grib_bits_at(s, pos, w);
      if (x == miss1) {
        flags[k++] = kMissing1;
      } else if (x == miss2) {
        flags[k++] = kMissing2;
      } else {
        flags[k++] = kPresent;
        ints[m++] = static_cast<int64_t>(ref + x);
      }
    }
  }
  *present = m;
  return k;
}

// Undoes spatial differencing; unsigned arithmetic keeps hostile data from overflowing.
void undifference(int64_t *ints, int64_t count, int order, const Differencing &d) {
  if (count <= 0) return;
  const uint64_t m = static_cast<uint64_t>(d.m);
  uint64_t *v = reinterpret_cast<uint64_t *>(ints);
  v[0] = static_cast<uint64_t>(d.h1);
  if (order == 1) {
    for (int64_t i = 1; i < count; ++i) v[i] = v[i] + m + v[i - 1];
    return;
  }
  if (count < 2) return;
  v[1] = static_cast<uint64_t>(d.h2);
  for (int64_t i = 2; i < count; ++i) v[i] = v[i] + m + 2 * v[i - 1] - v[i - 2];
}

}  // namespace

const char *unpack_complex(const DataSection &s, Edition2Packing &pack, const GridShape &shape) {
  const int64_t n = pack.data_pnts;
  if (n > shape.points) return "more packed values than grid points";
  if (pack.num_group == 0) {
    unpack_constant(pack, n);
    return nullptr;
  }
  uint64_t pos = 0;
  Differencing diff;
  const bool spatial = pack.order > 0;
  if (spatial) {
    if (const char *fault = read_differencing(s, pack, &diff, &pos)) return fault;
  }
  Groups groups;
  if (const char *fault = read_groups(s, pack, &pos, &groups)) return fault;
  int64_t count = 0;
  if (const char *fault = check_groups(s, pack, pos, groups, &count)) return fault;

  const double ref = pack.ref * pack.dscale;
  const double scale = pack.sfac * pack.dscale;
  if (pack.miss_type == 0) {
    pack.packed.resize(static_cast<size_t>(count));
    float *out = pack.packed.data();
    if (!spatial) unpack_plain<0>(s, pos, groups, diff, ref, scale, out);
    else if (pack.order == 1) unpack_plain<1>(s, pos, groups, diff, ref, scale, out);
    else unpack_plain<2>(s, pos, groups, diff, ref, scale, out);
    return nullptr;
  }

  pack.ints.resize(static_cast<size_t>(n));
  int64_t *ints = pack.ints.data();
  std::vector<uint8_t> flags(static_cast<size_t>(n));
  int64_t present = 0;
  count = unpack_missing(s, pos, groups, pack.miss_type, pack.num_bits, ints, flags.data(), &present);
  if (spatial) undifference(ints, present, pack.order, diff);

  pack.packed.resize(static_cast<size_t>(count));
  float *out = pack.packed.data();
  int64_t m = 0;
  for (int64_t i = 0; i < count; ++i)
    out[i] = flags[static_cast<size_t>(i)] != kPresent ? kMissingValue
                                                       : static_cast<float>(ref + static_cast<double>(ints[m++]) * scale);
  return nullptr;
}
