// The delimited-text codec: fields joined with a delimiter, the double quote
// as quote character. ";" for command-line parameters, a blank for menu lines
// and command words, a comma for a dropped link's arguments.
#pragma once

#include <string>
#include <vector>

using TStrings = std::vector<std::string>;

std::string JoinDelimited(const TStrings& fields, char delimiter);
TStrings SplitDelimited(const std::string& text, char delimiter);
// Appends one field as JoinDelimited writes it (quoted when needed).
void AppendDelimitedField(std::string& out, const std::string& field, char delimiter);

// fields[index], or the list index error when the list is too short.
const std::string& FieldAt(const TStrings& fields, int index);
