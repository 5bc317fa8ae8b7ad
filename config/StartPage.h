// The start page's rules that need no window: the hidden click sequence and
// the choice of a dropped file. Portable: no platform types.
#pragma once

#include <string>

#include "model/Text.h"  // HasExtension

// The hidden click sequence on the start page: four clicks on option buttons
// 1 to 3, one of them twice in a row, then option button 4. Step 4 means
// the four clicks are done.
constexpr int ClickSequence[4] = {2, 1, 1, 3};
constexpr int ClickSequenceComplete = 4;
// The step after a click on option button 1, 2 or 3.
int NextSequenceStep(int step, int option);

// The project file a dropped file stands for: the dropped path itself, or
// for a shell link (".LNK", any case) the first part of its arguments read
// as a comma text. readLinkArguments is asked only for links.
template <class ReadArguments>
std::string DroppedCandidate(const std::string& dropped, ReadArguments readLinkArguments);
std::string FirstLinkArgument(const std::string& arguments);

template <class ReadArguments>
std::string DroppedCandidate(const std::string& dropped, ReadArguments readLinkArguments) {
  if (!HasExtension(dropped, ".LNK")) return dropped;
  return FirstLinkArgument(readLinkArguments(dropped));
}
