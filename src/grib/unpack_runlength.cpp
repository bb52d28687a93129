// Run-length packing with level values of GRIB edition 2 (template 5.200 /
// 7.200): the data are level numbers, each followed by the digits of its run
// length in the radix that the numbers above the highest level leave.  Level
// k stands for the k-th representative value of section 5; level 0 marks
// missing points.  The run still pending when the data end is written too.
#include <algorithm>

#include "config/config.h"
#include "grib/grib_internal.h"
#include "grib/unpack_internal.h"

namespace {

class RunWriter {
 public:
  RunWriter(Edition2Packing &pack, int64_t limit) : pack_(pack), limit_(limit) { pack_.packed.clear(); }

  // Appends count copies of the level's value, never more than the limit.
  void write(int64_t level, uint64_t count) {
    const float v = value(level);
    const uint64_t room = static_cast<uint64_t>(limit_) - pack_.packed.size();
    pack_.packed.insert(pack_.packed.end(), static_cast<size_t>(std::min(count, room)), v);
  }

 private:
  float value(int64_t level) const {
    if (level < 1 || level > static_cast<int64_t>(pack_.map.size())) return kMissingValue;
    return pack_.map[static_cast<size_t>(level - 1)];
  }
  Edition2Packing &pack_;
  int64_t limit_;
};

}  // namespace

const char *unpack_runlength(const DataSection &s, Edition2Packing &pack, const GridShape &shape) {
  MESS_print(kGribTrace, "Template 7.200\n");
  const int64_t limit = pack.data_pnts;
  if (limit > shape.points) return "more packed values than grid points";
  const int nbits = pack.num_bits;
  const int64_t v_max = pack.max_val;
  const int64_t radix = std::max<int64_t>(0, (int64_t{1} << nbits) - 1 - v_max);
  const uint64_t cap = static_cast<uint64_t>(limit) + 1;  // a run longer than this is cut anyway
  const bool trace = MESS_check(kGribDump) != 0;
  RunWriter writer(pack, limit);
  const int64_t numbers = s.bits() / nbits;
  int64_t level = -1;
  uint64_t count = 1, weight = 1;
  for (int64_t i = 0; i < numbers; ++i) {
    const int64_t x = grib_bits_at(s, static_cast<uint64_t>(i) * static_cast<uint64_t>(nbits), nbits);
    if (x > v_max) {
      count = std::min(cap, count + std::min(cap, static_cast<uint64_t>(x - v_max - 1) * weight));
      weight = std::min(cap, weight * static_cast<uint64_t>(radix));
      if (trace) MESS_print(kGribDump, "num = %lld mult = %llu new_val = %llu\n", static_cast<long long>(x),
                            static_cast<unsigned long long>(weight), static_cast<unsigned long long>(count));
      continue;
    }
    if (trace) MESS_print(kGribDump, "cnt = %llu new_val = %lld val = %lld\n", static_cast<unsigned long long>(count),
                          static_cast<long long>(x), static_cast<long long>(level));
    if (level >= 0) writer.write(level, count);
    level = x;
    count = 1;
    weight = 1;
  }
  if (level >= 0) writer.write(level, count);
  return nullptr;
}
