// JPEG 2000 packing of GRIB edition 2 grid-point data (templates 5.40 and
// 40000 / 7.40): the data section is a JPEG 2000 code stream whose first
// component holds the packed integers.  The code stream is decoded from
// memory with OpenJPEG; the image's size is checked against the grid from
// its header, before any sample is decoded.
#include <openjpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "config/config.h"
#include "grib/grib_internal.h"
#include "grib/unpack_internal.h"

namespace {

// ---- the code stream as an OpenJPEG input stream ------------------------------
struct MemoryStream {
  const unsigned char *data;
  OPJ_UINT64 size;
  OPJ_UINT64 pos;
};

OPJ_SIZE_T stream_read(void *buffer, OPJ_SIZE_T count, void *user) {
  MemoryStream *m = static_cast<MemoryStream *>(user);
  if (m->pos >= m->size) return static_cast<OPJ_SIZE_T>(-1);
  const OPJ_SIZE_T n = static_cast<OPJ_SIZE_T>(std::min<OPJ_UINT64>(count, m->size - m->pos));
  std::memcpy(buffer, m->data + m->pos, n);
  m->pos += n;
  return n;
}

OPJ_OFF_T stream_skip(OPJ_OFF_T count, void *user) {
  MemoryStream *m = static_cast<MemoryStream *>(user);
  if (count < 0) {
    const OPJ_UINT64 back = static_cast<OPJ_UINT64>(-count);
    if (back > m->pos) return -1;
    m->pos -= back;
    return count;
  }
  const OPJ_UINT64 n = std::min<OPJ_UINT64>(static_cast<OPJ_UINT64>(count), m->size - m->pos);
  m->pos += n;
  return static_cast<OPJ_OFF_T>(n);
}

OPJ_BOOL stream_seek(OPJ_OFF_T to, void *user) {
  MemoryStream *m = static_cast<MemoryStream *>(user);
  if (to < 0 || static_cast<OPJ_UINT64>(to) > m->size) return OPJ_FALSE;
  m->pos = static_cast<OPJ_UINT64>(to);
  return OPJ_TRUE;
}

void quiet(const char *, void *) {}

// ---- library handles released on every path ----------------------------------------
struct StreamFree {
  void operator()(opj_stream_t *s) const { opj_stream_destroy(s); }
};
struct CodecFree {
  void operator()(opj_codec_t *c) const { opj_destroy_codec(c); }
};
struct ImageFree {
  void operator()(opj_image_t *i) const { opj_image_destroy(i); }
};
using Stream = std::unique_ptr<opj_stream_t, StreamFree>;
using Codec = std::unique_ptr<opj_codec_t, CodecFree>;
using Image = std::unique_ptr<opj_image_t, ImageFree>;

Stream open_stream(MemoryStream *m) {
  Stream s(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE));
  if (!s) return s;
  opj_stream_set_user_data(s.get(), m, nullptr);
  opj_stream_set_user_data_length(s.get(), m->size);
  opj_stream_set_read_function(s.get(), stream_read);
  opj_stream_set_skip_function(s.get(), stream_skip);
  opj_stream_set_seek_function(s.get(), stream_seek);
  return s;
}

// A raw code stream starts with its SOC and SIZ markers; anything else is
// taken for the JP2 file format.
Codec open_codec(const DataSection &s) {
  static const unsigned char kCodeStream[] = {0xFF, 0x4F, 0xFF, 0x51};
  const bool raw = s.size >= 4 && std::memcmp(s.bytes, kCodeStream, 4) == 0;
  Codec c(opj_create_decompress(raw ? OPJ_CODEC_J2K : OPJ_CODEC_JP2));
  if (!c) return c;
  opj_set_error_handler(c.get(), quiet, nullptr);
  opj_set_warning_handler(c.get(), quiet, nullptr);
  opj_set_info_handler(c.get(), quiet, nullptr);
  opj_dparameters_t params;
  opj_set_default_decoder_parameters(&params);
  if (!opj_setup_decoder(c.get(), &params)) return Codec();
  opj_codec_set_threads(c.get(), 2);
  return c;
}

// ---- geometry ------------------------------------------------------------------------
struct ImageBox {
  int64_t x0 = 0, y0 = 0, w = 0, h = 0;
};

ImageBox header_box(const opj_image_t &image) {
  ImageBox b;
  b.x0 = image.x0;
  b.y0 = image.y0;
  b.w = image.x1 > image.x0 ? int64_t{image.x1} - image.x0 : 0;
  b.h = image.y1 > image.y0 ? int64_t{image.y1} - image.y0 : 0;
  return b;
}

// How the image is laid on the grid; nullptr when it fits, else the reason.
// A single row (the form used with a bit map), or any image when a bit map
// is in force or the grid is quasi-regular, is a list of the packed values in
// scanning order from the image origin; an image of several rows covers a
// rectangle of the grid.
const char *place(const ImageBox &b, const GridShape &shape, Placement *placement) {
  if (b.w <= 0 || b.h <= 0) return "the JPEG 2000 image is empty";
  if (b.x0 >= shape.nx || b.y0 >= shape.ny) return "the JPEG 2000 image origin lies outside the grid";
  const bool list = b.h == 1 || shape.bitmap || shape.thin;
  if (list) {
    if (b.w * b.h > shape.points) return "the JPEG 2000 image is larger than the grid";
    placement->rectangle = false;
    placement->x0 = shape.thin ? 0 : b.x0;
    placement->y0 = shape.thin ? 0 : b.y0;
    return nullptr;
  }
  if (b.x0 + b.w > shape.nx || b.y0 + b.h > shape.ny) return "the JPEG 2000 image is larger than the grid";
  placement->rectangle = true;
  placement->x0 = b.x0;
  placement->y0 = b.y0;
  placement->w = b.w;
  placement->h = b.h;
  return nullptr;
}

void scale_samples(const opj_image_comp_t &comp, int64_t count, Edition2Packing &pack) {
  pack.packed.resize(static_cast<size_t>(count));
  float *out = pack.packed.data();
  const double ref = pack.ref * pack.dscale;
  const double scale = pack.sfac * pack.dscale;
  const OPJ_INT32 *in = comp.data;
  for (int64_t i = 0; i < count; ++i) out[i] = static_cast<float>(ref + in[i] * scale);
}

}  // namespace

const char kJpegDecodeError[] = "jpc_decode error";

const char *unpack_jpeg2000(const DataSection &s, Edition2Packing &pack, const GridShape &shape,
                            Placement *placement) {
  *placement = Placement{};
  if (pack.num_bits == 0) {  // a constant field has no code stream
    if (pack.data_pnts > shape.points) return "more packed values than grid points";
    unpack_constant(pack, pack.data_pnts);
    return nullptr;
  }
  MemoryStream m{s.bytes, static_cast<OPJ_UINT64>(s.size), 0};
  Stream stream = open_stream(&m);
  Codec codec = open_codec(s);
  if (!stream || !codec) return kJpegDecodeError;
  opj_image_t *raw = nullptr;
  const bool header = opj_read_header(stream.get(), codec.get(), &raw);
  Image image(raw);
  if (!header || !image || image->numcomps < 1) return kJpegDecodeError;
  const ImageBox box = header_box(*image);
  if (const char *fault = place(box, shape, placement)) return fault;
  const OPJ_UINT32 first[] = {0};
  if (!opj_set_decoded_components(codec.get(), 1, first, OPJ_FALSE)) return kJpegDecodeError;
  if (!opj_decode(codec.get(), stream.get(), image.get()) || !opj_end_decompress(codec.get(), stream.get()))
    return kJpegDecodeError;
  const opj_image_comp_t &comp = image->comps[0];
  MESS_print(kGribTrace, "JAS %lld %lld = %d %d = %d %d = %lld\n", static_cast<long long>(shape.nx),
             static_cast<long long>(shape.ny), comp.x0, comp.y0, comp.w, comp.h,
             static_cast<long long>(comp.w) * comp.h);
  if (!comp.data || comp.w != box.w || comp.h != box.h) return kJpegDecodeError;
  scale_samples(comp, box.w * box.h, pack);
  return nullptr;
}
