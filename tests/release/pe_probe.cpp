// A small program with a local array, so that stack protection gives it a canary. Built
// with and without each mitigation to show the hardening check tells them apart.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  char name[32];
  std::strncpy(name, argc > 1 ? argv[1] : "probe", sizeof name - 1);
  name[sizeof name - 1] = '\0';
  std::printf("%s\n", name);
  return 0;
}
