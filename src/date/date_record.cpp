// The date record itself: its all-missing initial state and its trace print.
#include "date/date.h"

#include "config/config.h"

int DATE_init(DateRec *date) {
  if (date == nullptr) return -1;
  *date = DateRec{DATE_MISSING, DATE_MISSING, DATE_MISSING, DATE_MISSING,
                  DATE_MISSING, DATE_MISSING, DATE_MISSING, DATE_MISSING};
  return 0;
}

int DATE_print(uint32_t level, const DateRec *date) {
  if (date == nullptr) return -1;
  MESS_print(level, "%d/%d/%d %2.2d:%2.2d:%2.2d\n", date->year, date->month, date->day, date->hour,
             date->minute, date->second);
  return 0;
}
