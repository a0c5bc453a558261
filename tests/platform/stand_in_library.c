/* A stand-in for an optional external engine, loaded at run time by the library loader
   tests: the start and end entry points the program calls, counting the starts. */
static int starts = 0;

int ThrInitS(void) {
  return ++starts;
}

void ThrDeInitS(void) {
  --starts;
}
