#include "config/StartPage.h"

#include "model/Codec.h"
#include "model/Text.h"

int NextSequenceStep(int step, int option) {
  if (option == ClickSequence[0]) return 1;
  if (step >= 1 && step < ClickSequenceComplete && ClickSequence[step] == option) return step + 1;
  return step;
}

std::string FirstLinkArgument(const std::string& arguments) {
  TStrings parts = SplitDelimited(arguments, ',');
  return parts.empty() ? std::string() : parts[0];
}
