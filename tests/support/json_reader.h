#pragma once
// A small JSON reader for tests that check what a program wrote: objects, arrays, strings
// (with \n, \", \\, \uXXXX below 0x80), numbers, true, false, null. A text that is not JSON
// throws std::runtime_error with the place it stopped at.

#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

struct Json {
    enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;

    // The member `key`; throws when there is none.
    const Json& operator[](const std::string& key) const {
        const auto found = members.find(key);
        if (type != Type::Object || found == members.end()) {
            throw std::runtime_error("no member " + key);
        }
        return found->second;
    }
    const Json& operator[](std::size_t index) const { return items.at(index); }
    bool IsNull() const { return type == Type::Null; }

    static Json Parse(std::string_view text) {
        std::size_t at = 0;
        Json value = ParseValue(text, at);
        Skip(text, at);
        if (at != text.size()) {
            Fail(at);
        }
        return value;
    }

private:
    [[noreturn]] static void Fail(std::size_t at) {
        throw std::runtime_error("not JSON at byte " + std::to_string(at));
    }
    static void Skip(std::string_view t, std::size_t& at) {
        while (at < t.size() && std::isspace(static_cast<unsigned char>(t[at]))) {
            ++at;
        }
    }
    static void Expect(std::string_view t, std::size_t& at, std::string_view word) {
        if (t.substr(at, word.size()) != word) {
            Fail(at);
        }
        at += word.size();
    }
    static std::string ParseString(std::string_view t, std::size_t& at) {
        Expect(t, at, "\"");
        std::string out;
        while (at < t.size() && t[at] != '"') {
            char c = t[at++];
            if (c == '\\' && at < t.size()) {
                const char e = t[at++];
                if (e == 'u') {
                    c = static_cast<char>(
                        std::strtol(std::string(t.substr(at, 4)).c_str(), nullptr, 16));
                    at += 4;
                } else {
                    c = e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
                }
            }
            out.push_back(c);
        }
        Expect(t, at, "\"");
        return out;
    }
    static Json ParseValue(std::string_view t, std::size_t& at) {
        Skip(t, at);
        Json v;
        if (at >= t.size()) {
            Fail(at);
        }
        const char c = t[at];
        if (c == '{' || c == '[') {
            const bool object = c == '{';
            v.type = object ? Type::Object : Type::Array;
            ++at;
            Skip(t, at);
            if (at < t.size() && t[at] == (object ? '}' : ']')) {
                ++at;
                return v;
            }
            for (;;) {
                if (object) {
                    Skip(t, at);
                    const std::string key = ParseString(t, at);
                    Skip(t, at);
                    Expect(t, at, ":");
                    v.members[key] = ParseValue(t, at);
                } else {
                    v.items.push_back(ParseValue(t, at));
                }
                Skip(t, at);
                if (at < t.size() && t[at] == ',') {
                    ++at;
                    continue;
                }
                Expect(t, at, object ? "}" : "]");
                return v;
            }
        }
        if (c == '"') {
            v.type = Type::String;
            v.text = ParseString(t, at);
        } else if (t.substr(at, 4) == "true" || t.substr(at, 5) == "false") {
            v.type = Type::Bool;
            v.boolean = t[at] == 't';
            at += v.boolean ? 4 : 5;
        } else if (t.substr(at, 4) == "null") {
            at += 4;
        } else {
            const std::string rest(t.substr(at, 40));
            char* end = nullptr;
            v.type = Type::Number;
            v.number = std::strtod(rest.c_str(), &end);
            if (end == rest.c_str()) {
                Fail(at);
            }
            at += static_cast<std::size_t>(end - rest.c_str());
        }
        return v;
    }
};

} // namespace testing_support
