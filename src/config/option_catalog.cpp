// The option catalogue: every option any program of the package may declare,
// with its resource name, environment variable, short name or position,
// conversion type and help line.  A program declares options by code.
#include "config/config.h"

#include <cstdio>

#include "config/config_internal.h"
#include "files/files.h"

namespace {

struct CatalogEntry {
  int code;
  const char *name;
  const char *env;
  const char *shortname;  // "" for positional options
  int position;           // 0 for keyed options
  int type;
  const char *help_option;
  const char *help_text;
};

// The options of the grid file parser come first, in the order it declares them.
const CatalogEntry kCatalog[] = {
    {57, "help", "kvzhelp", "h", 0, 23, "-h", "Print this help\n"},
    {3, "batch", "kvzbatch", "ba", 0, 22, "-ba", "Run program in batch mode\n"},
    {73, "message", "kvzmess", "me", 0, 9, "-me level",
     "Message level to be displayed:\n"
     "               none,print,error,warn,mess,out1,*out2,out3,out4,debug\n"},
    {48, "file_path", "kvzfile", "fp", 0, 8, "-fp path", "File path\n"},
    {41, "data_path", "kvzdata", "dp", 0, 8, "-dp path", "Raw data path\n"},
    {39, "con_path", "kvzcon", "cp", 0, 8, "-cp path", "Converted data path\n"},
    {55, "grid_path", "kvzgrid", "gp", 0, 8, "-gp path", "Gridded data path\n"},
    {94, "raw_path", "kvzraw", "rp", 0, 8, "-rp path", "Raw files path\n"},
    {63, "image_path", "kvzimage", "ip", 0, 6, "-ip path", "Image file path\n"},
    {106, "watch_path", "kvzwatch", "wp", 0, 8, "-wp path", "Watch file data path\n"},
    {112, "text_path", "kvztext", "tp", 0, 8, "-tp path", "Text file path\n"},
    {113, "model_path", "kvzmpath", "mp", 0, 8, "-mp path", "Model file path\n"},
    {114, "sat_path", "kvzsat", "sp", 0, 8, "-sp path", "Satellite file path\n"},
    {76, "name_conv", "kvznameconv", "nc", 0, 14, "-nc type", "Naming convention file name\n"},
    {64, "in_file", "kvzinfile", "if", 0, 6, "-if type", "Input data file type\n"},
    {80, "out_file", "kvzoutfile", "of", 0, 6, "-of type", "Output file type\n"},
    {47, "file_param", "kvzfileparam", "pf", 0, 16, "-pf param", "File parameters: use,calc,over,app\n"},
    {68, "input", "kvzin", "in", 0, 6, "-in type", "Type of input\n"},
    {82, "output", "kvzout", "ou", 0, 6, "-ou type", "Type of output\n"},
    {40, "current", "kvzcurrent", "cu", 0, 11, "-cu [hour]", "Use current data file\n"},
    {58, "hour", "kvzhour", "ho", 0, 12, "-ho hour", "Actual hour of the file\n"},
    {78, "num_hour", "kvznumhour", "nh", 0, 6, "-nh hour[,step]", "Number of hours to view\n"},
    {74, "model", "kvzmodel", "mo", 0, 6, "-mo model", "Specific model to use\n"},
    {54, "grid_num", "kvzgridnum", "gn", 0, 6, "-gn number", "Specific grid index in file to use\n"},
    {56, "grid_type", "kvzgridtype", "gt", 0, 2, "-gt number", "Specific grid type (number) to use\n"},
    {83, "parameter", "kvzparam", "pa", 0, 6, "-pa param[,...]", "Program parameters\n"},
    {50, "filename", "kvzfilename", "", 10, 21, "file [file...]", "Input file names\n"},

    // Options other programs of the package declare; they do nothing here.
    {1, "in_file", "kvzinftype", "inf", 0, 6, "-inf type", "Input file naming\n"},
    {2, "ingestor", "kvzingest", "ig", 0, 15, "-ig name", "Ingestor to use\n"},
    {37, "input", "kvzinput", "in", 0, 6, "-in type", "Type of input\n"},
    {4, "map_file", "kvzmap", "mf", 0, 6, "-mf file", "Map file\n"},
    {5, "bull_file", "kvzbull", "bf", 0, 6, "-bf file", "Bulletin file\n"},
    {6, "log_file", "kvzlog", "lf", 0, 6, "-lf file", "Log file\n"},
    {7, "city_file", "kvzcity", "cf", 0, 6, "-cf file", "City file\n"},
    {8, "decode_hour", "kvzdechour", "dh", 0, 6, "-dh hour", "Hour to decode\n"},
    {9, "identifier", "kvzid", "id", 0, 6, "-id ident", "Station identifier\n"},
    {10, "product", "kvzprod", "pr", 0, 6, "-pr product", "Product to use\n"},
    {11, "forecast", "kvzfcst", "fc", 0, 6, "-fc hour", "Forecast hour\n"},
    {12, "state", "kvzstate", "st", 0, 6, "-st state", "State to use\n"},
    {13, "plot_domain", "kvzpdom", "pd", 0, 20, "-pd domain", "Plot domain\n"},
    {14, "grid_domain", "kvzgdom", "gd", 0, 20, "-gd domain", "Grid domain\n"},
    {15, "region", "kvzregion", "re", 0, 13, "-re region", "Region to use\n"},
    {16, "time", "kvztime", "ti", 0, 6, "-ti time", "Time to use\n"},
    {17, "level", "kvzlevel", "le", 0, 6, "-le level", "Level to use\n"},
    {18, "variable", "kvzvar", "va", 0, 6, "-va var", "Variable to use\n"},
    {19, "stat_prior", "kvzprior", "pri", 0, 2, "-pri number", "Station priority\n"},
    {20, "object_param", "kvzobj", "op", 0, 6, "-op param", "Object parameters\n"},
    {21, "con_interval", "kvzcint", "ci", 0, 5, "-ci value", "Contour interval\n"},
    {22, "plot_type", "kvzptype", "pt", 0, 18, "-pt type", "Plot type\n"},
    {23, "draw", "kvzdraw", "dr", 0, 10, "-dr items", "Plot components to draw\n"},
    {24, "table", "kvztable", "ta", 0, 1, "-ta", "Print as a table\n"},
    {25, "plot_scale", "kvzpscale", "ps", 0, 5, "-ps value", "Plot scale\n"},
    {26, "con_base", "kvzcbase", "cb", 0, 5, "-cb value", "Contour base\n"},
    {27, "plot_format", "kvzpformat", "pfo", 0, 6, "-pfo format", "Plot format\n"},
    {28, "plot_param", "kvzpparam", "pp", 0, 6, "-pp param", "Plot parameters\n"},
    {29, "label", "kvzlabel", "lb", 0, 6, "-lb text", "Plot label\n"},
    {30, "color_table", "kvzctable", "ct", 0, 6, "-ct file", "Color table\n"},
    {31, "background", "kvzbg", "bg", 0, 6, "-bg color", "Background color\n"},
    {32, "color_text", "kvzctext", "ctx", 0, 6, "-ctx color", "Text color\n"},
    {33, "color_data", "kvzcdata", "cda", 0, 6, "-cda color", "Data color\n"},
    {34, "color_map", "kvzcmap", "cma", 0, 6, "-cma color", "Map color\n"},
    {35, "color_grid", "kvzcgrid", "cgr", 0, 6, "-cgr color", "Grid color\n"},
    {36, "color_line", "kvzcline", "cli", 0, 6, "-cli color", "Line color\n"},
    {38, "color_cmap", "kvzccmap", "ccm", 0, 6, "-ccm color", "Color map color\n"},
    {42, "color_cont", "kvzccont", "cco", 0, 6, "-cco color", "Contour color\n"},
    {43, "color_label", "kvzclabel", "cla", 0, 6, "-cla color", "Label color\n"},
    {44, "color_clabel", "kvzcclabel", "ccl", 0, 6, "-ccl color", "Contour label color\n"},
    {45, "color_front", "kvzcfront", "cfr", 0, 6, "-cfr color", "Front color\n"},
    {46, "color_watch", "kvzcwatch", "cwa", 0, 6, "-cwa color", "Watch color\n"},
    {51, "color_fill", "kvzcfill", "cfi", 0, 6, "-cfi color", "Fill color\n"},
    {52, "color_wind", "kvzcwind", "cwi", 0, 6, "-cwi color", "Wind color\n"},
    {53, "color_cloud", "kvzccloud", "ccd", 0, 6, "-ccd color", "Cloud color\n"},
    {59, "color_wx", "kvzcwx", "cwx", 0, 6, "-cwx color", "Weather color\n"},
    {60, "color_pop", "kvzcpop", "cpo", 0, 6, "-cpo color", "Probability color\n"},
    {61, "color_sound", "kvzcsound", "cso", 0, 6, "-cso color", "Sounding color\n"},
    {62, "color_therm", "kvzctherm", "cth", 0, 6, "-cth color", "Thermodynamic diagram color\n"},
    {65, "color_thrmtxt", "kvzcthtxt", "ctt", 0, 6, "-ctt color", "Thermodynamic text color\n"},
    {66, "color_hodo", "kvzchodo", "cho", 0, 6, "-cho color", "Hodograph color\n"},
    {67, "color_hodtxt", "kvzchodtxt", "cht", 0, 6, "-cht color", "Hodograph text color\n"},
    {69, "font_list", "kvzfont", "fl", 0, 6, "-fl fonts", "Font list\n"},
    {70, "window_num", "kvzwindow", "wn", 0, 2, "-wn number", "Window number\n"},
    {71, "device", "kvzdevice", "de", 0, 17, "-de device", "Output device\n"},
    {72, "title", "kvztitle", "tl", 0, 6, "-tl title", "Window title\n"},
    {75, "geometry", "kvzgeom", "ge", 0, 6, "-ge geometry", "Window geometry\n"},
    {77, "icon", "kvzicon", "ic", 0, 1, "-ic", "Start as an icon\n"},
    {79, "command", "kvzcmd", "cd", 0, 6, "-cd command", "Command to run\n"},
    {81, "command", "kvzcommand", "", 10, 21, "command [...]", "Commands\n"},
    {49, "filename", "kvzfile1", "", 1, 7, "file", "Input file name\n"},
    {84, "value", "kvzvalue", "", 10, 21, "value [...]", "Values\n"},
};

const CatalogEntry *find_code(int code) {
  for (const CatalogEntry &e : kCatalog)
    if (e.code == code) return &e;
  return nullptr;
}

}  // namespace

int RES_fill_obj(ResOption *opt, const char *name, const char *env, const char *shortname, int position,
                 int type, void *dest, int *count_dest) {
  copy_text(opt->name, name);
  copy_text(opt->env, env);
  copy_text(opt->shortname, shortname);
  opt->position = position;
  opt->type = type;
  opt->dest = dest;
  opt->count_dest = count_dest;
  return 1;
}

int RES_enter(ResOption *opt, int code) {
  const CatalogEntry *e = find_code(code);
  if (!e) {
    printf("%d\n", code);
    RES_fill_obj(opt, "", "", "", 0, 6, nullptr, nullptr);
    return 1;
  }
  return RES_fill_obj(opt, e->name, e->env, e->shortname, e->position, e->type, nullptr, nullptr);
}

bool RES_help_text(int code, const char **option, const char **description) {
  const CatalogEntry *e = find_code(code);
  if (!e) return false;
  *option = e->help_option;
  *description = e->help_text;
  return true;
}
