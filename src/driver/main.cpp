// Entry point of rudevodu, the grid file parser.
#include "driver/driver.h"

int main(int argc, char **argv) { return PARSER_main(argc, argv); }
