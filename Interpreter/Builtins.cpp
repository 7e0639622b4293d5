// The interpreter's own functions. Texts are byte strings of the document's code table,
// which the library does not know, so Upper and Lower change only the ASCII letters.
#include "Interpreter/Builtins.h"

#include <cstdio>
#include <cstring>

namespace macrolib {

namespace {

constexpr int32_t FirstInternalId = 1001;

struct InternalInfo {
    const char* name;
    const char* signature;   // for the list only; Print also takes an integer
    const char* argNames;
    int argc;
};

constexpr InternalInfo infos[] = {
    {"Print", "C[]", "Value", 1},
    {"Str", "L", "Number", 1},
    {"Val", "C[]", "Text", 1},
    {"Len", "C[]", "Text", 1},
    {"Chr", "L", "Code", 1},
    {"Asc", "C[]", "Text", 1},
    {"Mid", "C[]LL", "Text,From,Count", 3},
    {"Pos", "C[]C[]", "Sub,Text", 2},
    {"Upper", "C[]", "Text", 1},
    {"Lower", "C[]", "Text", 1},
    {"Beep", "", nullptr, 0},
    {"SendCommand", "L", "CommandId", 1},
};
static_assert(sizeof infos / sizeof infos[0] == static_cast<size_t>(Internal::Count));

struct List {
    MacroCommand entries[static_cast<int>(Internal::Count) + 1];
    List() {
        for (int i = 0; i < static_cast<int>(Internal::Count); ++i)
            entries[i] = {infos[i].name, FirstInternalId + i, infos[i].signature, infos[i].argNames};
        entries[static_cast<int>(Internal::Count)] = {nullptr, 0, nullptr, nullptr};
    }
};

// The arguments of one call, checked by kind with errors that name the function.
struct Args {
    int id;
    const Value* values;
    std::string& error;

    bool text(int i, const std::string*& out) {
        if (!values[i].isText())
            return wrong(i, "a text");
        out = values[i].text.get();
        return true;
    }
    bool integer(int i, int32_t& out) {
        if (values[i].isText())
            return wrong(i, "an integer");
        out = values[i].number;
        return true;
    }
    bool wrong(int i, const char* wanted) {
        error = std::string(infos[id].name) + ": argument " + std::to_string(i + 1) +
                " must be " + wanted;
        return false;
    }
    bool fail(const char* text) {
        error = std::string(infos[id].name) + ": " + text;
        return false;
    }
};

// Val: optional blanks and sign, then digits; a text without digits gives 0.
bool ParseNumber(const std::string& s, Args& args, int32_t& out) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    int64_t value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        value = value * 10 + (s[i] - '0');
        if (value > 2147483648LL)
            return args.fail("number out of range");
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return args.fail("number out of range");
    out = static_cast<int32_t>(value);
    return true;
}

std::string ChangeCase(const std::string& s, bool upper) {
    std::string out = s;
    for (char& c : out) {
        if (upper && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (!upper && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

const MacroLibInstance* Instance(const RunHooks& hooks) { return hooks.instance; }

}  // namespace

const MacroCommand* InternalFunctionList() {
    static const List list;
    return list.entries;
}

int FindInternal(const std::string& name) {
    for (int i = 0; i < static_cast<int>(Internal::Count); ++i) {
        if (name == infos[i].name)
            return i;
    }
    return -1;
}

int InternalArgumentCount(int id) { return infos[id].argc; }
const char* InternalName(int id) { return infos[id].name; }

bool CallInternalFunction(int id, const Value* values, const RunHooks& hooks, Value& result,
                          std::string& error) {
    Args args{id, values, error};
    const std::string* text = nullptr;
    const std::string* other = nullptr;
    int32_t n = 0;
    int32_t m = 0;
    result = IntegerValue(0);
    switch (static_cast<Internal>(id)) {
    case Internal::Print: {
        std::string line = values[0].isText() ? *values[0].text : std::to_string(values[0].number);
        const MacroLibInstance* instance = Instance(hooks);
        if (instance && instance->Print) {
            instance->Print(instance->Context, line.c_str());
        } else {
            std::fwrite(line.data(), 1, line.size(), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
        }
        return true;
    }
    case Internal::Str:
        if (!args.integer(0, n))
            return false;
        result = TextValue(std::to_string(n));
        return true;
    case Internal::Val:
        if (!args.text(0, text) || !ParseNumber(*text, args, n))
            return false;
        result = IntegerValue(n);
        return true;
    case Internal::Len:
        if (!args.text(0, text))
            return false;
        result = IntegerValue(static_cast<int32_t>(text->size()));
        return true;
    case Internal::Chr:
        // Recording writes characters from 128 up as negative numbers: both forms work.
        if (!args.integer(0, n))
            return false;
        if (n == 0 || n < -128 || n > 255)
            return args.fail("code out of range (1 to 255, or -128 to -1)");
        result = TextValue(std::string(1, static_cast<char>(n)));
        return true;
    case Internal::Asc:
        if (!args.text(0, text))
            return false;
        result = IntegerValue(text->empty() ? 0 : static_cast<unsigned char>((*text)[0]));
        return true;
    case Internal::Mid: {
        if (!args.text(0, text) || !args.integer(1, n) || !args.integer(2, m))
            return false;
        size_t from = n < 1 ? 0 : static_cast<size_t>(n) - 1;
        if (from >= text->size() || m <= 0)
            result = TextValue(std::string());
        else
            result = TextValue(text->substr(from, static_cast<size_t>(m)));
        return true;
    }
    case Internal::Pos: {
        if (!args.text(0, other) || !args.text(1, text))
            return false;
        size_t at = other->empty() ? std::string::npos : text->find(*other);
        result = IntegerValue(at == std::string::npos ? 0 : static_cast<int32_t>(at + 1));
        return true;
    }
    case Internal::Upper:
    case Internal::Lower:
        if (!args.text(0, text))
            return false;
        result = TextValue(ChangeCase(*text, static_cast<Internal>(id) == Internal::Upper));
        return true;
    case Internal::Beep: {
        const MacroLibInstance* instance = Instance(hooks);
        if (instance && instance->Beep)
            instance->Beep(instance->Context);
        return true;
    }
    case Internal::SendCommand: {
        if (!args.integer(0, n))
            return false;
        const MacroLibInstance* instance = Instance(hooks);
        result = IntegerValue(instance && instance->SendCommand
                                  ? instance->SendCommand(instance->Context, hooks.mainWindow, n)
                                  : -1);
        return true;
    }
    case Internal::Count:
        break;
    }
    error = "internal function out of range";
    return false;
}

}  // namespace macrolib
