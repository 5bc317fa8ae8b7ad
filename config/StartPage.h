// The start page's rules that need no window: the context help texts, the
// balloon anchor points, the hidden click sequence and the choice of a
// dropped file. Portable: no platform types.
#pragma once

#include <string>

// Columns of a help balloon's lines.
constexpr int HelpTextWidth = 60;

// A help text as stored in the resources, with "%nl" turned into CR LF,
// "%bs" into a backslash and "%qm" into a double quote, in that order.
std::string ExpandHelpText(const std::string& stored);

// Breaks text into lines of at most width columns: CR LF is inserted after a
// blank, a hyphen or a tab (the blanks and tabs at a break are dropped, a
// hyphen stays at the end of its line). Existing line breaks stay, blank
// lines included. A word longer than a line is not cut.
std::string WrapHelpText(const std::string& text, int width = HelpTextWidth);

struct TAnchor {
  int X, Y;
};
// Where a balloon points, in the control's client coordinates.
TAnchor HelpBalloonAnchor(int controlWidth, int controlHeight);        // help texts
TAnchor ValidationBalloonAnchor(int controlWidth, int controlHeight);  // input errors

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
bool HasExtension(const std::string& path, const char* upperExtension);  // ".TRV"
std::string FirstLinkArgument(const std::string& arguments);

template <class ReadArguments>
std::string DroppedCandidate(const std::string& dropped, ReadArguments readLinkArguments) {
  if (!HasExtension(dropped, ".LNK")) return dropped;
  return FirstLinkArgument(readLinkArguments(dropped));
}
