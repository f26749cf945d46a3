#include "run/program.h"

int main(int argc, char** argv) {
  return qartwo::RunProgram(argc, argv);
}
