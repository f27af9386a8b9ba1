#include "install/scriptline.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace inst {

std::vector<ScriptToken> TokenizeLine(const char* line, size_t length) {
    std::vector<ScriptToken> tokens;
    size_t i = 0;
    while (true) {
        while (i < length && line[i] == ' ') ++i;
        if (i >= length) break;
        ScriptToken token{std::string(), false};
        const char c = line[i];
        if (c == '"' || c == '\'') {
            for (++i; i < length; ++i) {
                if (line[i] != c) {
                    token.text += line[i];
                } else if (i + 1 < length && line[i + 1] == c) {
                    token.text += c;
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        } else if (c == '=') {
            token.text = "=";
            token.isEquals = true;
            ++i;
        } else {
            while (i < length && line[i] != ' ' && line[i] != '=') token.text += line[i++];
        }
        if (token.text.empty()) break; // an empty token ends the line
        tokens.push_back(token);
    }
    return tokens;
}

bool ParseScriptLine(const char* line, size_t length, ScriptLine* out) {
    *out = ScriptLine();
    size_t start = 0;
    while (start < length && line[start] == ' ') ++start;
    if (start >= length || line[start] == ';') return false;
    const std::vector<ScriptToken> tokens = TokenizeLine(line + start, length - start);
    if (tokens.empty()) return false;
    out->command = tokens[0].text;
    bool valueNext = false;
    for (size_t i = 1; i < tokens.size(); ++i) {
        const ScriptToken& token = tokens[i];
        if (valueNext) {
            valueNext = false;
            if (out->positional.empty()) {
                out->syntaxError = true;
                break;
            }
            out->named[out->positional.back()] = token.text;
            out->positional.pop_back();
        } else if (token.isEquals) {
            valueNext = true;
        } else {
            out->positional.push_back(token.text);
        }
    }
    return true;
}

static const std::string* FindNamed(const ScriptLine& line, const char* name) {
    auto it = line.named.find(name);
    return it == line.named.end() ? nullptr : &it->second;
}

bool IsTrueText(const std::string& value) {
    return !value.empty() && value[0] == '1';
}

int DecimalInt(const std::string& value) {
    const long number = std::strtol(value.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(number, INT_MIN, INT_MAX));
}

bool ArgBool(const ScriptLine& line, const char* name, bool fallback) {
    const std::string* value = FindNamed(line, name);
    return value ? IsTrueText(*value) : fallback;
}

int ArgInt(const ScriptLine& line, const char* name, int fallback) {
    const std::string* value = FindNamed(line, name);
    return value ? DecimalInt(*value) : fallback;
}

std::string ArgText(const ScriptLine& line, const char* name, const std::string& fallback) {
    const std::string* value = FindNamed(line, name);
    return value ? *value : fallback;
}

} // namespace inst
