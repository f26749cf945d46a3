// Fuzzes the free-form number reader. The first byte chooses the number of targets (0 to 8),
// the second which of them are integers (bit i for target i); the rest is the text read.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/support/fuzz_units.h"
#include "support/text/free_form.h"

namespace {

constexpr std::size_t kMaxTargets = 8;
constexpr std::size_t kControlBytes = 2;

// Stops the fuzzer with a report when a promise of the reader is broken.
void Check(bool promise) {
  if (!promise) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qartwo;
  if (size < kControlBytes) return 0;
  const std::size_t count = data[0] % (kMaxTargets + 1);
  const unsigned integer_bits = data[1];
  const std::string_view text = fuzzing::InputText(data + kControlBytes, size - kControlBytes);

  std::vector<int> integers(count, 0);
  std::vector<double> reals(count, 0.0);
  std::vector<FreeFormTarget> targets;
  for (std::size_t i = 0; i < count; ++i) {
    targets.push_back((integer_bits >> i) & 1U ? IntegerTarget(integers[i]) : RealTarget(reals[i]));
  }
  const FreeFormResult result = ReadFreeForm(text, targets);

  if (result.status != FreeFormStatus::kOk) {
    Check(result.target >= 0 && static_cast<std::size_t>(result.target) < count);
  }
  if (result.status == FreeFormStatus::kTooFewValues) Check(result.value.empty());
  if (!result.value.empty()) {
    // The offending value is shown from the caller's text, never from a copy that is gone.
    Check(result.value.data() >= text.data() &&
          result.value.data() + result.value.size() <= text.data() + text.size());
  }
  if (result.status == FreeFormStatus::kOk) {
    // Only targets that exist are marked as left out; what follows is looked at from `next`.
    Check((result.no_value >> count) == 0);
    Check(result.next <= text.size());
    static_cast<void>(ClassifyFreeFormItem(text, result.next));
  }
  // A real too large for a double is refused, so every real taken is finite.
  for (const double value : reals) Check(std::isfinite(value));
  FreeFormStatusText(result.status);
  return 0;
}
