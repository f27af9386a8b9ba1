// One line of the script syntax: a command word, positional arguments and named arguments
// ("Name = value", where "=" is a token of its own, so "Owr=0" is three tokens).
#pragma once
#include <map>
#include <string>
#include <vector>

namespace inst {

struct ScriptLine {
    std::string command;
    std::vector<std::string> positional;
    std::map<std::string, std::string> named; // a name given twice keeps the last value
    bool syntaxError = false;                 // "=" with no name before it
};

// Tokens of a line: quoted with '"' or '\'' (the quote doubled stands for itself; a missing
// closing quote runs to the end of the line), the single "=", or a run up to a space or "=".
// An empty token ends the line. isEquals marks the bare "=" token.
struct ScriptToken {
    std::string text;
    bool isEquals;
};
std::vector<ScriptToken> TokenizeLine(const char* line, size_t length);

// False for a line that holds no command (empty or a ';' comment).
bool ParseScriptLine(const char* line, size_t length, ScriptLine* out);

// The value conversions of the accessors: true exactly when the first character is "1"; a decimal
// integer (leading blanks and a sign, then digits; no digits give 0; held at the int limits).
bool IsTrueText(const std::string& value);
int DecimalInt(const std::string& value);

// Named-argument accessors with their defaults.
bool ArgBool(const ScriptLine& line, const char* name, bool fallback);
int ArgInt(const ScriptLine& line, const char* name, int fallback);
std::string ArgText(const ScriptLine& line, const char* name, const std::string& fallback);

} // namespace inst
