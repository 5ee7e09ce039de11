#include "platform/ScriptParser.h"

#include <cctype>
#include <charconv>
#include <sstream>

#include "platform/WinUser.h"

namespace {

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Splits off the first blank-separated word.
std::string NextWord(std::string& rest) {
    size_t b = 0;
    while (b < rest.size() && std::isspace(static_cast<unsigned char>(rest[b]))) ++b;
    size_t e = b;
    while (e < rest.size() && !std::isspace(static_cast<unsigned char>(rest[e]))) ++e;
    std::string word = rest.substr(b, e - b);
    rest = rest.substr(e);
    return word;
}

bool ParseInt(const std::string& word, int minimum, int maximum, int& value) {
    if (word.empty()) return false;
    long long v = 0;
    const char* first = word.data();
    const char* last = word.data() + word.size();
    if (*first == '+') ++first;
    const auto result = std::from_chars(first, last, v);
    if (result.ec != std::errc() || result.ptr != last) return false;
    if (v < minimum || v > maximum) return false;
    value = int(v);
    return true;
}

// Text arguments keep inner blanks; the one blank after the command word
// (and after the control id of `type`) separates them.
std::string TextAfterSeparator(const std::string& rest) {
    if (!rest.empty() && (rest[0] == ' ' || rest[0] == '\t')) return rest.substr(1);
    return rest;
}

// A '#' that follows a blank ends the line; text arguments take everything.
std::string StripTrailingComment(const std::string& rest) {
    for (size_t i = 1; i < rest.size(); ++i)
        if (rest[i] == '#' && std::isspace(static_cast<unsigned char>(rest[i - 1]))) return rest.substr(0, i);
    return rest;
}

constexpr int kMaxWaitMs = 24 * 60 * 60 * 1000;
constexpr int kMaxCoordinate = 32767;

}  // namespace

unsigned ScriptParser::KeyOfCharacter(char c, bool& shift) {
    shift = false;
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') return u - 'a' + 'A';
    if (u >= 'A' && u <= 'Z') {
        shift = true;
        return u;
    }
    if (u >= '0' && u <= '9') return u;
    static const char kPlain[] = ";=,-./`[\\]'";
    static const unsigned kPlainKeys[] = {0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE};
    for (size_t i = 0; kPlain[i]; ++i)
        if (kPlain[i] == c) return kPlainKeys[i];
    static const char kShifted[] = ")!@#$%^&*(:+<_>?~{|}\"";
    static const unsigned kShiftedKeys[] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 0xBA,
                                            0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE};
    for (size_t i = 0; kShifted[i]; ++i)
        if (kShifted[i] == c) {
            shift = true;
            return kShiftedKeys[i];
        }
    if (c == ' ') return VK_SPACE;
    return 0;
}

bool ScriptParser::ParseKey(const std::string& nameIn, unsigned& key, std::string& typed,
                            unsigned& modifiers) {
    std::string name = nameIn;
    modifiers = 0;
    typed.clear();
    if (name.size() > 6 && Lower(name.substr(0, 6)) == "shift+") {
        modifiers = MK_SHIFT;
        name = name.substr(6);
    }
    struct Named {
        const char* name;
        unsigned key;
        const char* typed;
    };
    static const Named kNamed[] = {
        {"down", VK_DOWN, ""},       {"up", VK_UP, ""},          {"left", VK_LEFT, ""},
        {"right", VK_RIGHT, ""},     {"pagedown", VK_NEXT, ""},  {"pageup", VK_PRIOR, ""},
        {"home", VK_HOME, ""},       {"end", VK_END, ""},        {"delete", VK_DELETE, ""},
        {"enter", VK_RETURN, "\r"},  {"escape", VK_ESCAPE, "\x1b"}, {"tab", VK_TAB, "\t"},
        {"space", VK_SPACE, " "},    {"backspace", VK_BACK, "\b"},
    };
    const std::string lower = Lower(name);
    for (const Named& n : kNamed) {
        if (lower == n.name) {
            key = n.key;
            typed = n.typed;
            return true;
        }
    }
    if (name.size() == 1) {
        bool shift = false;
        key = KeyOfCharacter(name[0], shift);
        if (shift) modifiers |= MK_SHIFT;
        typed = name;
        return true;
    }
    return false;
}

bool ScriptParser::ParseLine(const std::string& lineIn, int lineNumber, ScriptAction& action,
                             std::string& reason) {
    reason.clear();
    std::string line = lineIn;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == '#') return false;

    std::string rest = line;
    const std::string command = Lower(NextWord(rest));
    action = ScriptAction();
    action.line = lineNumber;

    if (command == "type" || command == "choose-file" || command == "snapshot" || command == "dump") {
        if (command == "type") {
            std::string id = NextWord(rest);
            if (!ParseInt(id, -1, 65535, action.value)) {
                reason = "type needs a control id and a text";
                return false;
            }
            action.kind = ScriptAction::Kind::Type;
            action.text = TextAfterSeparator(rest);
            return true;
        }
        const std::string text = Trim(rest);
        if (text.empty()) {
            reason = command + " needs " + (command == "choose-file" ? "a path or cancel" : "a file name");
            return false;
        }
        if (command == "choose-file") {
            action.kind = ScriptAction::Kind::ChooseFile;
            action.cancel = Lower(text) == "cancel";
            if (!action.cancel) action.text = text;
        } else {
            action.kind = command == "snapshot" ? ScriptAction::Kind::Snapshot : ScriptAction::Kind::Dump;
            action.text = text;
        }
        return true;
    }

    rest = StripTrailingComment(rest);
    std::vector<std::string> args;
    for (std::string word = NextWord(rest); !word.empty(); word = NextWord(rest)) args.push_back(word);

    auto expect = [&](size_t count, const char* usage) {
        if (args.size() == count) return true;
        reason = usage;
        return false;
    };
    if (command == "click" || command == "tab" || command == "menu" || command == "wait") {
        const char* usage = command == "click" ? "click needs one control id"
                            : command == "tab" ? "tab needs one tab number"
                            : command == "menu" ? "menu needs one command number"
                                                : "wait needs a number of milliseconds";
        if (!expect(1, usage)) return false;
        const int minimum = command == "click" ? -1 : 0;
        const int maximum = command == "wait" ? kMaxWaitMs : 65535;
        if (!ParseInt(args[0], minimum, maximum, action.value)) {
            reason = usage;
            return false;
        }
        action.kind = command == "click" ? ScriptAction::Kind::Click
                      : command == "tab" ? ScriptAction::Kind::Tab
                      : command == "menu" ? ScriptAction::Kind::Menu
                                          : ScriptAction::Kind::Wait;
        return true;
    }
    if (command == "key") {
        if (!expect(1, "key needs one key name")) return false;
        unsigned key = 0;
        if (!ParseKey(args[0], key, action.text, action.modifiers)) {
            reason = "unknown key " + args[0];
            return false;
        }
        action.value = int(key);
        action.kind = ScriptAction::Kind::Key;
        return true;
    }
    if (command == "mouse") {
        const char* usage = "mouse needs move, down or up and two coordinates";
        if (!expect(3, usage)) return false;
        const std::string op = Lower(args[0]);
        if (op == "move") action.mouse = ScriptAction::MouseOp::Move;
        else if (op == "down") action.mouse = ScriptAction::MouseOp::Down;
        else if (op == "up") action.mouse = ScriptAction::MouseOp::Up;
        else {
            reason = usage;
            return false;
        }
        if (!ParseInt(args[1], -kMaxCoordinate, kMaxCoordinate, action.x) ||
            !ParseInt(args[2], -kMaxCoordinate, kMaxCoordinate, action.y)) {
            reason = usage;
            return false;
        }
        action.kind = ScriptAction::Kind::Mouse;
        return true;
    }
    if (command == "answer") {
        if (!expect(1, "answer needs ok") || Lower(args[0]) != "ok") {
            reason = "answer needs ok";
            return false;
        }
        action.kind = ScriptAction::Kind::Answer;
        action.text = "ok";
        return true;
    }
    reason = "unknown command " + command;
    return false;
}

std::vector<ScriptAction> ScriptParser::Parse(const std::string& text, std::ostream& errors) {
    std::vector<ScriptAction> actions;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        ScriptAction action;
        std::string reason;
        if (ParseLine(line, number, action, reason)) actions.push_back(action);
        else if (!reason.empty()) errors << "script line " << number << ": " << reason << "; skipped\n";
    }
    return actions;
}
