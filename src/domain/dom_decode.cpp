// Decoding a domain text: the forms a text may take are tried in a fixed
// order and the first that parses completely wins; the fields a form leaves
// out get the default domain (polar stereographic, 25 x 17 points, 1.2 apart).
#include <strings.h>

#include <climits>

#include "config/config.h"
#include "domain/dom_text_state.h"
#include "domain/domain.h"
#include "files/files.h"

namespace {

using kvz_domspec::kMissing;

enum Completion {
  kNone,
  kDefaultSize,     // nx 25, ny 17
  kSquare,          // dy = dx
  kDefaultProj,     // proj 1
  kProjSquare,      // proj 1, dy = dx
  kSizeSquare,      // nx 25, ny 17, dy = dx
  kProjSpacing,     // proj 1, dx = dy = 1.2
  kProjSizeSquare,  // proj 1, nx 25, ny 17, dy = dx
  kProjectionOnly,  // form "proj,clat,clon"
  kEverything,      // proj 1, nx 25, ny 17, dx = dy = 1.2
  kRegion,
};

struct Form {
  std::initializer_list<int> codes;
  const char *trace;  // traced as "%2d <trace>" at debug c
  Completion completion;
};

constexpr int P = DOM_FIELD_PROJ, PLON = DOM_FIELD_PLON, CLAT = DOM_FIELD_CLAT, CLON = DOM_FIELD_CLON,
              NX = DOM_FIELD_NX, NY = DOM_FIELD_NY, DX = DOM_FIELD_DX, DY = DOM_FIELD_DY;

// Order matters: a six-item text starting with a keyword is always read as
// proj,plon,clat,clon,dx,dy, and three items as clat,clon,dx before
// proj,clat,clon. The first form ("size,nx,ny") is tried only for "size".
const Form kForms[] = {
    {{P, NX, NY}, "proj,nx,ny", kNone},
    {{P, PLON, CLAT, CLON, NX, NY, DX, DY}, "proj,plon,clat,clon,nx,ny,dx,dy", kNone},
    {{P, CLAT, CLON, NX, NY, DX, DY}, "proj,clat,clon,nx,ny,dx,dy", kNone},
    {{P, PLON, CLAT, CLON, DX, DY}, "proj,plon,clat,clon,dx,dy", kDefaultSize},
    {{P, CLAT, CLON, NX, NY, DX}, "proj,clat,clon,nx,ny,dx", kSquare},
    {{CLAT, CLON, NX, NY, DX, DY}, "clat,clon,nx,ny,dx,dy", kDefaultProj},
    {{P, CLAT, CLON, DX, DY}, "proj,clat,clon,dx,dy", kDefaultSize},
    {{CLAT, CLON, NX, NY, DX}, "clat,clon,nx,ny,dx", kProjSquare},
    {{P, CLAT, CLON, DX}, "proj,clat,clon,dx", kSizeSquare},
    {{CLAT, CLON, NX, NY}, "clat,clon,nx,ny", kProjSpacing},
    {{CLAT, CLON, DX}, "clat,clon,dx", kProjSizeSquare},
    {{P, CLAT, CLON}, "proj,clat,clon", kProjectionOnly},
    {{CLAT, CLON}, "clat,clon", kEverything},
    {{DOM_FIELD_STATION}, "id:###", kEverything},
    {{DOM_FIELD_REGION}, "reg:REG", kRegion},
};

void default_size(Domain &d) {
  d.nx = 25;
  d.ny = 17;
}

// A float cut to an int the way a cast would, kept within int's range.
int truncated(float value) {
  if (!(value > -2147483648.0f)) return value != value ? -9999 : INT_MIN;
  if (value >= 2147483648.0f) return INT_MAX;
  return static_cast<int>(value);
}

// "proj,clat,clon": for "size" the two numbers are the plot size.
void complete_projection_only(Domain &d) {
  if (d.proj == DOM_PROJ_SIZE) {
    d.nx = truncated(d.clat);
    d.ny = truncated(d.clon);
    d.clat = d.clon = kMissing;
    return;
  }
  d.dx = d.dy = d.proj == DOM_PROJ_ZOOM ? 1.0f : 1.2f;
  default_size(d);
}

void complete(Completion c, Domain &d) {
  if (c == kDefaultProj || c == kProjSquare || c == kProjSpacing || c == kProjSizeSquare || c == kEverything)
    d.proj = DOM_PROJ_PSTEREO;
  if (c == kDefaultSize || c == kSizeSquare || c == kProjSizeSquare || c == kEverything) default_size(d);
  if (c == kSquare || c == kProjSquare || c == kSizeSquare || c == kProjSizeSquare) d.dy = d.dx;
  if (c == kProjSpacing || c == kEverything) d.dx = d.dy = 1.2f;
  if (c == kProjectionOnly) complete_projection_only(d);
}

// Tries the forms in order; returns the result of the first that parses, or
// -1 when none does.
int decode_items(int count, const std::vector<std::string> &items, Domain &domain) {
  const bool size_form = !items.empty() && strcasecmp(items[0].c_str(), "size") == 0;
  for (const Form &form : kForms) {
    if (items.empty()) break;
    if (&form == &kForms[0] && !size_form) continue;
    if (DOM_set_params(count, items, domain, form.codes) != 0) continue;
    MESS_print(0x40000000, "%2d %s\n", 0, form.trace);
    complete(form.completion, domain);
    return form.completion == kRegion ? 2 : 1;
  }
  // A reference nested too deeply has said so once; the levels around it
  // stay quiet but the outermost.
  const kvz_domspec::DomSpecState &s = kvz_domspec::state();
  if (!s.too_deep || s.nesting == 1) MESS_print(0xC0, "DOM_decode: Invalid plot domain\n");
  return -1;
}

// Counts the DOM_decode calls in progress, so region references cannot
// recurse without end.
struct Nesting {
  Nesting() { ++kvz_domspec::state().nesting; }
  ~Nesting() { --kvz_domspec::state().nesting; }
  Nesting(const Nesting &) = delete;
  Nesting &operator=(const Nesting &) = delete;
};

}  // namespace

int DOM_decode(const char *text, Domain &domain) {
  DOM_init(domain);
  if (text == nullptr || text[0] == '\0' || strcasecmp(text, "miss") == 0) return -9999;

  kvz_domspec::DomSpecState &s = kvz_domspec::state();
  if (s.nesting == 0) s.too_deep = false;
  if (s.nesting >= kvz_domspec::kMaxRegionNesting) {
    s.too_deep = true;
    MESS_print(0xC0, "DOM_decode: Region references nest too deeply: %s\n", text);
    return -1;
  }
  const Nesting nested;

  int count = 0;
  std::vector<std::string> items;
  parse_string(text, ',', &count, &items);
  MESS_print(0x40000000, "******** PARSING DOMAIN: %d %s\n", count, text);

  const int result = decode_items(count, items, domain);
  FLAG_set(5, result);
  FILE_set_key('r', text);  // the file name conventions keep the latest domain text under key 'r'
  DOM_set_base_prior((static_cast<float>(domain.ny) - 1) * domain.dy);
  return result;
}
