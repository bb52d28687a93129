// The product definition section (PDS) of GRIB edition 1 and edition 0
// products: originating centre, model, grid number, reference date, time
// range, level, parameter, decimal scale and the NCEP ensemble extension.
#include <sys/types.h>

#include <cmath>
#include <cstring>

#include "config/config.h"
#include "date/date.h"
#include "domain/domain.h"
#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"
#include "grid/grid.h"

namespace {

constexpr int kPdsKept = 470;  // PDS octets kept in memory; a longer PDS is passed over

// The time code: range × 1000000 + start × 1000 + end, from octets 18 to 23.
void decode_time(const unsigned char *pds, GridRecord *rec) {
  const int unit = pds[18];
  const int p1 = pds[19];
  const int p2 = pds[20];
  const int range = pds[21];
  const int n = static_cast<int>(grib_uint(pds + 22, 2));
  int t1 = p1;
  int t2 = p2;
  if (unit == 2) {
    t1 += 800;
    t2 += 800;
  } else if (unit == 3) {
    t1 += 900;
    t2 += 900;
  } else if (unit == 12) {
    t1 *= 12;
    t2 *= 12;
  }
  const int days = unit == 2 ? 800 : 0;
  switch (range) {
    case 0: rec->time = t1; break;
    case 1: rec->time = 0; break;
    case 2: case 3: case 4: case 5: rec->time = range * 1000000 + t1 * 1000 + t2; break;
    case 10: rec->time = p1 * 256 + p2; break;
    case 113: rec->time = 13000000 + t1 * 1000 + p2 * n + days; break;
    case 118: rec->time = 18000000 + t1 * 1000 + p2 * n + days; break;
    case 123: rec->time = 23000000 + p2 * n + days; break;
    default: break;  // other ranges leave the time as it was
  }
}

void decode_level(const unsigned char *pds, GridRecord *rec) {
  const int ltype = pds[10];
  const int a = pds[11];
  const int b = pds[12];
  rec->ltype = ltype;
  switch (ltype) {
    case 1: case 4: case 6: case 7: case 102: case 200:
      rec->level = 0;
      break;
    case 5: case 100: case 103: case 105: case 107: case 111: case 113: case 117: case 119:
      rec->level = a * 256 + b;
      break;
    case 101: case 104: case 106: case 108: case 109: case 112: case 114: case 116: case 120:
      rec->level = a * 1000 + b;
      break;
    default: break;  // other level types leave the level as it was
  }
}

void decode_date(const unsigned char *pds, GridRecord *rec) {
  DATE_init(&rec->base_date);
  // Edition 0 has no century octet.
  rec->base_date.year = grib_full_year(pds[13], rec->version == 1 ? pds[25] : 0);
  rec->base_date.month = pds[14];
  rec->base_date.day = pds[15];
  rec->base_date.hour = pds[16];
  rec->base_date.minute = pds[17];
}

void decode_var(const unsigned char *pds, GridRecord *rec) {
  const int param = pds[9];
  if (pds[4] == 129) {
    if (param == 212) rec->var = 491;
  } else {
    rec->var = param == 177 ? 571 : param;
  }
  GRIB_units(rec);
}

// NCEP ensemble extension: octets 41 on, when the sub-centre is 2.
void decode_ensemble(const unsigned char *pds, GridRecord *rec) {
  GribDecoder &d = grib_decoder();
  d.ens = 0;
  if (rec->source != 7 || pds[26] != 2) return;
  d.ens = 1;
  d.ens_type = pds[42];
  d.ens_id = pds[43];
  d.ens_prod = pds[44];
  d.ens_smooth = pds[45];
  MESS_print(kGribTrace, "Ens: %d %d %d %d\n", d.ens_type, d.ens_id, d.ens_prod, d.ens_smooth);
  if (rec->var != 191 && rec->var != 192) return;
  // Probability products: the units are those of the underlying variable.
  d.ens_prob_var = pds[46];
  const int var = rec->var;
  rec->var = d.ens_prob_var;
  GRIB_units(rec);
  rec->var = var;
  d.ens_prob_type = pds[47];
  d.ens_prob_low = GRIB_flt_conv(pds + 48);
  d.ens_prob_up = GRIB_flt_conv(pds + 52);
  MESS_print(kGribTrace, "%d %d %f %f\n", d.ens_prob_var, d.ens_prob_type, d.ens_prob_low, d.ens_prob_up);
}

// The predefined grid of the product's grid number; the NCEP hemispheric
// grids send their pole row as one value.
void predefined_grid(GridRecord *rec) {
  GribDecoder &d = grib_decoder();
  d.ydir = 1;
  d.xalt = 0;
  d.pole = 0;
  GRIB_set_domain(d.grid_id, &rec->domain);
  switch (d.grid_id) {
    case 21: case 22: case 25: case 61: case 62:
      d.pole = 1;
      d.lat = 0.0f;
      break;
    case 23: case 24: case 26: case 63: case 64:
      d.pole = 1;
      d.lat = -90.0f;
      break;
    default: break;
  }
}

void trace_pds(const unsigned char *pds, const GridRecord *rec) {
  MESS_print(kGribTrace, "Source: %d\n", rec->source);
  MESS_print(kGribTrace, "Model: %d\n", rec->model);
  MESS_print(kGribTrace, "Init time: %d/%d/%d %2.2d:%2.2d\n", pds[13], pds[14], pds[15], pds[16], pds[17]);
  MESS_print(kGribTrace, "Grid type: %d\n", rec->type);
  MESS_print(kGribTrace, "Grid time: %d\n", rec->time);
  if (pds[21] != 0) {
    MESS_print(kGribTrace, "Time range: %d\n", pds[21]);
    MESS_print(kGribTrace, "Time units: %d\n", pds[18]);
    MESS_print(kGribTrace, "P1,P2: %d,%d\n", pds[19], pds[20]);
  }
  MESS_print(kGribTrace, "Level type: %d\n", rec->ltype);
  MESS_print(kGribTrace, "Flag: %X\n", pds[8]);
}

// Reads the PDS into the decoder state; 1, 0 for a damaged product, -1 when the stream ends.
int read_pds(FILE *fp, GridRecord *rec) {
  GribDecoder &d = grib_decoder();
  memset(d.pds, 0, sizeof d.pds);
  const bool edition0 = d.data[7] != 1;
  // Edition 0 has a 4-byte indicator: PDS octets 1 to 4 came with the tag search.
  const int first = edition0 ? 5 : 1;
  if (edition0) memcpy(d.pds + 1, d.data + 4, 4);
  d.pds[0] = edition0 ? d.data[3] : d.data[7];
  if (fread(d.pds + first, 1, 20, fp) < 20) return -1;
  rec->version = d.data[7];
  const int len = static_cast<int>(grib_uint(d.pds + 2, 2));  // octet 1 is not used
  const int least = edition0 ? 24 : 28;
  if (len < least || len - (first + 19) > grib_room(fp)) {
    grib_damaged("the product definition section does not fit");
    return 0;
  }
  const int keep = len < kPdsKept ? len : kPdsKept;
  const int more = keep - (first + 19);
  if (more > 0 && fread(d.pds + first + 20, 1, more, fp) < static_cast<size_t>(more)) return -1;
  if (len > keep) fseeko(fp, len - keep, SEEK_CUR);  // the rest of a long PDS is not used
  d.pds_len = keep;
  return 1;
}

}  // namespace

int GRIB_decode_PDB(const unsigned char *pds, GridRecord *rec) {
  GribDecoder &d = grib_decoder();
  rec->source = pds[5];
  rec->model = pds[6];
  rec->type = pds[7];
  d.grid_id = pds[7];
  decode_time(pds, rec);
  decode_date(pds, rec);
  decode_level(pds, rec);
  trace_pds(pds, rec);
  decode_var(pds, rec);
  d.dscale = 1.0f;
  decode_ensemble(pds, rec);
  if (rec->version == 1) {
    if (rec->ltype == 1 && rec->model == 44 && rec->var == 7) rec->var = 161;
    const int scale = grib_sm(pds + 27, 2);
    d.dscale = static_cast<float>(std::pow(10.0, -scale));
  }
  DOM_init(rec->domain);
  MESS_print(kGribTrace, "Level: [%d %d %d] %d\n", pds[10], pds[11], pds[12], rec->level);
  MESS_print(kGribTrace, "Variable: [%d] %d %s\n", pds[9], rec->var, rec->units);
  predefined_grid(rec);
  return 1;
}

int GRIB_PDB(int handle, GridRecord *rec) {
  FILE *fp = grib_stream(handle);
  if (!fp || !rec) return -1;
  GribDecoder &d = grib_decoder();
  d.no_values = false;
  const int r = read_pds(fp, rec);
  if (r <= 0) {
    d.no_values = true;
    return r;
  }
  if (MESS_check(kGribDump)) grib_dump_octets(d.pds, 32);
  d.data_ptr = d.pds;
  GRIB_decode_PDB(d.pds, rec);
  GRIB_set_var(rec);
  DATE_make_label_for_time(rec->time, GRD_model_key(rec), &rec->base_date, rec->datim);
  return 1;
}
