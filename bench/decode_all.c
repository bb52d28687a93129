/* Decodes every value of every GRIB message of the files given with ecCodes,
 * the work the program does when it converts a file to a binary grid file.
 * Prints the message count, the value count and their sum, so nothing can be
 * left out by the compiler and the result can be compared. */
#include <eccodes.h>
#include <stdio.h>
#include <stdlib.h>

static int decode_file(const char *path, long *messages, long *values, double *sum) {
  FILE *in = fopen(path, "rb");
  if (!in) {
    perror(path);
    return 1;
  }
  double *buf = NULL;
  size_t capacity = 0;
  int err = 0;
  codes_handle *h;
  while ((h = codes_handle_new_from_file(NULL, in, PRODUCT_GRIB, &err)) != NULL) {
    size_t n = 0;
    if (codes_get_size(h, "values", &n) == 0 && n > capacity) {
      free(buf);
      capacity = n;
      buf = malloc(capacity * sizeof *buf);
    }
    size_t got = n;
    if (!buf || codes_get_double_array(h, "values", buf, &got) != 0) {
      codes_handle_delete(h);
      err = 1;
      break;
    }
    for (size_t i = 0; i < got; ++i) *sum += buf[i];
    *values += (long)got;
    ++*messages;
    codes_handle_delete(h);
  }
  free(buf);
  fclose(in);
  return err != 0;
}

int main(int argc, char **argv) {
  long messages = 0, values = 0;
  double sum = 0;
  for (int i = 1; i < argc; ++i)
    if (decode_file(argv[i], &messages, &values, &sum) != 0) return 1;
  printf("%ld messages, %ld values, sum %.6g\n", messages, values, sum);
  return 0;
}
