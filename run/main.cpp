#include "run/assessment.h"

int main() {
  return qartwo::RunAssessment();
}
