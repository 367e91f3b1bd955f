/* A shared library that loads but offers none of the client's entry points. */
int NotAnOracleClient(void) { return 42; }
