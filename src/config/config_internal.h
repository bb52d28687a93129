// Declarations shared by the files of the configuration subsystem only.
#ifndef KVZ_CONFIG_INTERNAL_H
#define KVZ_CONFIG_INTERNAL_H

// Calls fn for every resource tied to a declared option, in database order.
void RES_for_each_option(void (*fn)(int id, const char *value, void *ctx), void *ctx);

// The help line of a catalogue code: the option text and its description
// (which ends with '\n').  False for a code missing from the catalogue.
bool RES_help_text(int code, const char **option, const char **description);

#endif
