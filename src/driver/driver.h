// The grid file parser's main flow, callable from main() and from tests.
#ifndef KVZ_DRIVER_DRIVER_H
#define KVZ_DRIVER_DRIVER_H

int PARSER_main(int argc, char **argv);

#endif
