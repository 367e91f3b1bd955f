/* A stand-in client library that exports chosen entry-point groups and
   nothing behind them: every call succeeds and leaves a line in a call log.
   Lets the loader's group checks and the session's call sequence be seen
   without a real client. */
#include <stdio.h>
#include <string.h>

#include "oracle/oci_groups.h"

static char call_log[8192];

/* Notes a call; for the few calls whose mode matters, with those arguments
   (32-bit values arrive in 64-bit registers, so only the low half counts). */
static void record(const char* name, unsigned long a1, unsigned long a2, unsigned long a4,
                   unsigned long a5) {
  char line[128];
  if (strcmp(name, "OCIInitialize") == 0 || strcmp(name, "opinit") == 0) {
    snprintf(line, sizeof line, "%s(%u) ", name, (unsigned)a1);
  } else if (strcmp(name, "OCIEnvInit") == 0) {
    snprintf(line, sizeof line, "%s(%u) ", name, (unsigned)a2);
  } else if (strcmp(name, "OCISessionBegin") == 0) {
    snprintf(line, sizeof line, "%s(%u,%u) ", name, (unsigned)a4, (unsigned)a5);
  } else {
    snprintf(line, sizeof line, "%s ", name);
  }
  if (strlen(call_log) + strlen(line) < sizeof call_log) strcat(call_log, line);
}

/* The caller passes as many arguments as the real call takes; only the
   register-passed ones named above are read. */
#define FAKE_ENTRY(name)                                                          \
  int name(unsigned long a1, unsigned long a2, unsigned long a3, unsigned long a4, \
           unsigned long a5) {                                                    \
    (void)a3;                                                                     \
    record(#name, a1, a2, a4, a5);                                                \
    return 0;                                                                     \
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

const char* fake_call_log(void) { return call_log; }
void fake_clear_call_log(void) { call_log[0] = '\0'; }
