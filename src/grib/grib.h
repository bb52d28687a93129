// GRIB decoding: framing of products in a byte stream with their feed and
// product headers, the sections of editions 1 and 2, data unpacking, and the
// mapping of GRIB codes onto the package's codes.  One process-wide decoder
// state means one GRIB file is decoded at a time.
#ifndef KVZ_GRIB_GRIB_H
#define KVZ_GRIB_GRIB_H

#include <cstdint>
#include <vector>

struct GridRecord;
struct GridFileInfo;
struct Domain;

// ---- framing and product headers -------------------------------------------
int GRIB_search(int handle);
int GRIB_header(int handle);
int GRIB_header_kvz(int handle);
int GRIB_header_ldm(int handle, int64_t start);
int GRIB_header_raw(int handle, int64_t start);
int GRIB_header_old_kvz(int handle);
int64_t GRIB_next(int handle, int seek);
int GRIB_get_version();
// Names the file (kept, not copied) and the grid being read in the damage
// reports that follow ("file: grid n: Damaged GRIB product ..."); no file
// when it is closed.
void GRIB_set_context(const char *file, int grid);
// False, after reporting the product damaged, when the product found last
// states an end beyond the end of its file.
bool GRIB_product_complete(int handle);
// True when the product being read was found damaged.
bool GRIB_damaged();
// File offsets of the product found last: its tag, and just past its end
// (-1 when the product states no length).
int64_t GRIB_product_start();
int64_t GRIB_product_end();
// Whether the product found last is a GRIB product of edition 0, 1 or 2
// (and not a BUFR message, a GRID block or a later edition).
bool GRIB_is_grib();
int GRIB_set_max_bad(int n);
int GRIB_get_max_bad();
int GRIB_get_WMO_header(int handle, char *out);  // copies 18 bytes, no terminator
// The complete current product (header and trailer included) into buf; its
// byte count into len.  Returns the number of bytes read, or -1.
int64_t GRIB_get_raw(int handle, std::vector<unsigned char> *buf, int64_t *len);
int GRIB_get_info(int handle, GridFileInfo *info);
int GRIB_read_section(int handle);
int GRIB_get_sect();
int GRIB_skip_section(int handle);
void GRIB_reset();  // back to the start-up decoder state (tests, a new run)

// ---- edition 1 sections ------------------------------------------------------
int GRIB_PDB(int handle, GridRecord *rec);
int GRIB_decode_PDB(const unsigned char *pds, GridRecord *rec);  // pds[k] is octet k
int GRIB_GDB(int handle, GridRecord *rec);
int GRIB_BMB(int handle, GridRecord *rec);
int GRIB_BMB_read();
int GRIB_BDB(int handle, GridRecord *rec);
int GRIB_bit_read(int handle);
float GRIB_flt_conv(const unsigned char *four);
float GRIB_scl_conv(const unsigned char *two);

// ---- edition 2 sections ----------------------------------------------------
// Each decodes the section whose header GRIB_read_section has just read.
int GRIB_IDS(int handle, GridRecord *rec);
int GRIB_GDS(int handle, GridRecord *rec);
int GRIB_PDS(int handle, GridRecord *rec);
int GRIB_DRS(int handle, GridRecord *rec);
int GRIB_BMS(int handle);
int GRIB_DS(int handle, GridRecord *rec);

// ---- parameter, level and unit mapping -------------------------------------
struct GribParam {
  int32_t var;
  int32_t centre;
  int32_t discipline;
  int32_t category;
  int32_t number;
  char abbr[20];
  char units[30];
  char desc[80];
};

int GRIB_units(GridRecord *rec);
int GribParam_init(GribParam *param);
GribParam GRIB_get_ver2_param(int centre, int discipline, int category, int number);
int GRIB_set_var(GridRecord *rec);
int GRIB_set_domain(int grid_number, Domain *domain);

#endif
