// The help balloons' texts and where balloons point: the expansion and
// wrapping of the stored help texts and the anchor points. Portable: no
// platform types.
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
