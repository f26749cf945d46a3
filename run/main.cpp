#include "run/program.h"

int main() {
  return qartwo::RunProgram();
}
