/* A stand-in client library that exports chosen entry-point groups and
   nothing behind them: every call only counts itself. Lets the loader's
   group checks run without a real client. */
#include <string.h>

#include "oracle/oci_groups.h"

static int initialize_calls;
static int opinit_calls;
static long last_opinit_mode = -1;

static void record(const char* name, unsigned first_argument) {
  if (strcmp(name, "OCIInitialize") == 0) ++initialize_calls;
  if (strcmp(name, "opinit") == 0) {
    ++opinit_calls;
    last_opinit_mode = first_argument;
  }
}

/* Old-style definitions accept whatever arguments the caller passes. */
#define FAKE_ENTRY(name)          \
  int name(unsigned a) {            \
    record(#name, a);             \
    return 0;                     \
  }

#ifdef FAKE_ORACLE7
SKELVANE_OCI_GROUP_ORACLE7_CORE(FAKE_ENTRY)
SKELVANE_OCI_GROUP_OLOG(FAKE_ENTRY)
SKELVANE_OCI_GROUP_OPINIT(FAKE_ENTRY)
#endif
#ifdef FAKE_OCI8
SKELVANE_OCI_GROUP_OCI8_CORE(FAKE_ENTRY)
SKELVANE_OCI_GROUP_OCI80_EXTRAS(FAKE_ENTRY)
#endif

int fake_initialize_calls(void) { return initialize_calls; }
int fake_opinit_calls(void) { return opinit_calls; }
long fake_last_opinit_mode(void) { return last_opinit_mode; }
