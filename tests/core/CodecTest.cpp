#include <gtest/gtest.h>

#include "model/Codec.h"
#include "model/Errors.h"

namespace {

struct JoinCase {
  TStrings fields;
  char delimiter;
  const char* expected;
};

TEST(JoinDelimited, QuotesOnlyWhatNeedsIt) {
  const JoinCase cases[] = {
      {{"C:\\Program Files\\x.exe", "0"}, ';', "\"C:\\Program Files\\x.exe\";0"},
      {{"say \"hi\""}, ';', "\"say \"\"hi\"\"\""},
      {{""}, ';', "\"\""},
      {{}, ';', ""},
      {{"a", "", "b"}, ';', "a;;b"},
      {{"a;b", "c"}, ';', "\"a;b\";c"},
      {{"tab\there"}, ';', "\"tab\there\""},
      {{"0", "1", "Neu starten"}, ' ', "0 1 \"Neu starten\""},
      {{"0", "0", "-"}, ' ', "0 0 -"},
      {{"Menü", "Größe"}, ';', "Menü;Größe"},  // letters above 127 are no control characters
      {{"a,b", "c"}, ',', "\"a,b\",c"},
  };
  for (const JoinCase& c : cases) EXPECT_EQ(JoinDelimited(c.fields, c.delimiter), c.expected);
}

struct SplitCase {
  const char* text;
  char delimiter;
  TStrings expected;
};

TEST(SplitDelimited, FollowsTheFieldRules) {
  const SplitCase cases[] = {
      {"a;;b", ';', {"a", "", "b"}},
      {"a;", ';', {"a", ""}},
      {"  x  y ", ' ', {"x", "y"}},
      {"\"a b\";1", ';', {"a b", "1"}},
      {"", ';', {}},
      {"   ", ' ', {}},
      {"\"say \"\"hi\"\"\"", ';', {"say \"hi\""}},
      {"\"unclosed field", ';', {"unclosed field"}},
      {"\"\"", ';', {""}},
      {"a ; b", ';', {"a", "b"}},
      {"a b;c", ';', {"a", "b", "c"}},  // an unquoted field never holds a blank
      {"0 1 \"Neu starten\"", ' ', {"0", "1", "Neu starten"}},
      {"\"C:\\Programme\\Spiel\\spiel.exe -fenster\";1", ';', {"C:\\Programme\\Spiel\\spiel.exe -fenster", "1"}},
      {"Größe;Ä", ';', {"Größe", "Ä"}},
  };
  for (const SplitCase& c : cases) EXPECT_EQ(SplitDelimited(c.text, c.delimiter), c.expected) << c.text;
}

TEST(SplitDelimited, UndoesJoinForAnyFields) {
  const TStrings lists[] = {
      {"a", "", "b"},
      {"with blank", "with \"quote\"", "with;semicolon", "x"},
      {"", "tail"},
      {"lead", ""},
      {"ü ö", "\x01", "\x7f"},
  };
  for (const TStrings& fields : lists) EXPECT_EQ(SplitDelimited(JoinDelimited(fields, ';'), ';'), fields);
}

TEST(FieldAt, RaisesListIndexErrorPastTheEnd) {
  TStrings fields = {"0", "1"};
  EXPECT_EQ(FieldAt(fields, 1), "1");
  try {
    FieldAt(fields, 2);
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "Listenindex überschreitet das Maximum (2)");
  }
}

TEST(StrToInt, AcceptsIntegersAndNamesTheBadText) {
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt("-7"), -7);
  EXPECT_EQ(StrToInt(" 3"), 3);
  EXPECT_EQ(StrToInt("$1F"), 31);
  for (const char* bad : {"", "x", "1a", "+", "3 ", "1.0"}) {
    try {
      StrToInt(bad);
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), std::string("'") + bad + "' ist kein gültiger Integerwert");
    }
  }
}

// Decimal texts hold the signed 32-bit range; hexadecimal ones any 32-bit
// pattern, which a minus sign negates in two's complement.
TEST(StrToInt, KeepsTo32BitsAtTheEdges) {
  struct {
    const char* text;
    bool valid;
    int32_t value;
  } const cases[] = {
      {"2147483647", true, INT32_MAX},   {"-2147483648", true, INT32_MIN},  {"2147483648", false, 0},
      {"-2147483649", false, 0},         {"$7FFFFFFF", true, INT32_MAX},    {"$80000000", true, INT32_MIN},
      {"-$80000000", true, INT32_MIN},   {"$FFFFFFFF", true, -1},           {"-$FFFFFFFF", true, 1},
      {"-0x80000000", true, INT32_MIN},  {"$100000000", false, 0},          {"-$100000000", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    if (c.valid) {
      EXPECT_EQ(StrToInt(c.text), c.value);
    } else {
      EXPECT_THROW(StrToInt(c.text), EConvertError);
    }
  }
}

TEST(InOutErrorText, UsesTheStandardTexts) {
  EXPECT_EQ(InOutErrorText(2), "Datei nicht gefunden");
  EXPECT_EQ(InOutErrorText(5), "Dateizugriff verweigert");
  EXPECT_EQ(InOutErrorText(112), "Festplatte voll");
  EXPECT_EQ(InOutErrorText(1234), "E/A-Fehler 1234");
}

}  // namespace
